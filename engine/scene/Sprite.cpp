#include "scene/Sprite.h"

#include <algorithm>

#include "base/Director.h"
#include "base/Log.h"
#include "render/Renderer.h"
#include "render/TextureCache.h"

namespace engine {

Sprite::Sprite() { _anchorPoint = Vec2::ANCHOR_MIDDLE; }

Sprite::~Sprite() {
    if (_texture) {
        _texture->release();
    }
}

static Sprite* finish(Sprite* sprite, bool ok) {
    if (sprite && ok) {
        sprite->autorelease();
        return sprite;
    }
    delete sprite;
    return nullptr;
}

Sprite* Sprite::create() {
    auto* sprite = new (std::nothrow) Sprite();
    return finish(sprite, sprite && sprite->init());
}

Sprite* Sprite::create(const std::string& filename) {
    auto* sprite = new (std::nothrow) Sprite();
    return finish(sprite, sprite && sprite->initWithFile(filename));
}

Sprite* Sprite::create(const std::string& filename, const Rect& rect) {
    auto* sprite = new (std::nothrow) Sprite();
    if (!sprite || !sprite->initWithFile(filename)) {
        return finish(sprite, false);
    }
    const float csf = Director::getInstance()->getContentScaleFactor();
    const float w = static_cast<float>(sprite->_texture->getPixelsWide());
    const float h = static_cast<float>(sprite->_texture->getPixelsHigh());
    // Clip the source to the picture, keep the requested size.
    const float x0 = std::clamp(rect.getMinX() * csf, 0.f, w), x1 = std::clamp(rect.getMaxX() * csf, 0.f, w);
    const float y0 = std::clamp(rect.getMinY() * csf, 0.f, h), y1 = std::clamp(rect.getMaxY() * csf, 0.f, h);
    sprite->_rectInPixels = Rect(x0, y0, x1 - x0, y1 - y0);
    sprite->setContentSize(rect.size);
    return finish(sprite, true);
}

Sprite* Sprite::createWithTexture(Texture2D* texture) {
    auto* sprite = new (std::nothrow) Sprite();
    return finish(sprite, sprite && texture && sprite->initWithTexture(texture));
}

Sprite* Sprite::createWithSpriteFrame(SpriteFrame* frame) {
    auto* sprite = new (std::nothrow) Sprite();
    if (!sprite || !frame || !sprite->init()) {
        return finish(sprite, false);
    }
    sprite->setSpriteFrame(frame);
    return finish(sprite, true);
}

bool Sprite::init() { return true; }

bool Sprite::initWithFile(const std::string& filename) {
    if (filename.empty()) {
        return false;
    }
    Texture2D* texture = Director::getInstance()->getTextureCache()->addImage(filename);
    return texture && initWithTexture(texture);
}

bool Sprite::initWithTexture(Texture2D* texture) {
    setTexture(texture);
    return true;
}

void Sprite::setTexture(Texture2D* texture) {
    if (texture) {
        texture->retain();
    }
    if (_texture) {
        _texture->release();
    }
    _texture = texture;
    if (_texture) {
        _rectInPixels = Rect(0, 0, static_cast<float>(_texture->getPixelsWide()),
                             static_cast<float>(_texture->getPixelsHigh()));
        setContentSize(_texture->getContentSize());
    }
}

void Sprite::setTexture(const std::string& filename) {
    if (Texture2D* texture = Director::getInstance()->getTextureCache()->addImage(filename)) {
        setTexture(texture);
    }
}

void Sprite::setTextureRectInPixels(const Rect& rect) {
    _rectInPixels = rect;
    const float csf = Director::getInstance()->getContentScaleFactor();
    setContentSize(rect.size / csf);
}

void Sprite::setSpriteFrame(SpriteFrame* frame) {
    if (!frame) {
        return;
    }
    setTexture(frame->getTexture());
    setTextureRectInPixels(frame->getRectInPixels());
}

SpriteFrame* Sprite::getSpriteFrame() const {
    if (!_texture) {
        return nullptr;
    }
    SpriteFrame* frame = SpriteFrame::createWithTexture(_texture, _rectInPixels);
    return frame;
}

void Sprite::draw(Renderer* renderer, const Mat4& transform, uint32_t) {
    if (!_texture) {
        return;
    }
    Rect src = _rectInPixels;
    Mat4 t = transform;
    if (_flippedX || _flippedY) {
        t = t * Mat4::translation(_flippedX ? _contentSize.width : 0.f, _flippedY ? _contentSize.height : 0.f) *
            Mat4::scaling(_flippedX ? -1.f : 1.f, _flippedY ? -1.f : 1.f);
    }
    const Color4B color(_displayedColor.r, _displayedColor.g, _displayedColor.b, _displayedOpacity);
    renderer->drawTexture(_texture, src, t, _contentSize, color, _blendFunc);
}

} // namespace engine
