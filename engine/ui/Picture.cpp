#include "ui/Picture.h"

#include <algorithm>

#include "base/Director.h"
#include "base/Log.h"
#include "platform/FileUtils.h"
#include "render/Renderer.h"
#include "render/Texture2D.h"
#include "render/TextureCache.h"

namespace engine::ui {

Picture::Picture(const Picture& other)
    : _file(other._file), _texture(other._texture), _missing(other._missing), _scale9(other._scale9),
      _capInsets(other._capInsets) {
    if (_texture) {
        _texture->retain();
    }
}

Picture& Picture::operator=(const Picture& other) {
    if (this != &other) {
        if (other._texture) {
            other._texture->retain();
        }
        if (_texture) {
            _texture->release();
        }
        _file = other._file;
        _texture = other._texture;
        _missing = other._missing;
        _scale9 = other._scale9;
        _capInsets = other._capInsets;
    }
    return *this;
}

Picture::~Picture() {
    clear();
}

void Picture::clear() {
    if (_texture) {
        _texture->release();
        _texture = nullptr;
    }
    _file.clear();
    _missing = false;
}

void Picture::load(const std::string& file, const char* owner) {
    if (file.empty()) {
        clear();
        return;
    }
    Texture2D* texture = nullptr;
    // Resolve first: the cache would log a missing file again on every load.
    if (FileUtils::getInstance()->fullPathForFilename(file).empty()) {
        log("%s: picture not found: %s", owner, file.c_str());
    } else if (TextureCache* cache = Director::getInstance()->getTextureCache()) {
        texture = cache->addImage(file);
    }
    if (texture) {
        texture->retain();
    }
    clear();
    _file = file;
    _texture = texture;
    _missing = texture == nullptr;
}

Size Picture::getSizeInPoints() const {
    return _texture ? _texture->getContentSize() : Size::ZERO;
}

Size Picture::getSizeInPixels() const {
    return _texture ? _texture->getContentSizeInPixels() : Size::ZERO;
}

Color4B Picture::modulate(const Color4B& a, const Color4B& b) {
    return Color4B(static_cast<GLubyte>(a.r * b.r / 255), static_cast<GLubyte>(a.g * b.g / 255),
                   static_cast<GLubyte>(a.b * b.b / 255), static_cast<GLubyte>(a.a * b.a / 255));
}

void Picture::drawPlaceholder(Renderer* renderer, const Mat4& transform, const Size& size, GLubyte opacity) {
    if (size.width <= 0 || size.height <= 0) {
        return;
    }
    const Rect box(0, 0, size.width, size.height);
    renderer->drawSolidRect(transform, box, Color4B(208, 208, 208, opacity));
    const float outline = std::min({2.f, size.width / 2, size.height / 2});
    renderer->drawRectOutline(transform, box, Color4B(64, 64, 64, opacity), outline);
}

void Picture::draw(Renderer* renderer, const Mat4& transform, const Size& size, const Color4B& tint) const {
    if (!renderer || size.width <= 0 || size.height <= 0) {
        return;
    }
    if (!_texture) {
        if (_missing) {
            drawPlaceholder(renderer, transform, size, tint.a);
        }
        return;
    }
    if (_scale9) {
        drawNineSlice(renderer, transform, size, tint);
        return;
    }
    const Size pixels = getSizeInPixels();
    renderer->drawTexture(_texture, Rect(0, 0, pixels.width, pixels.height), transform, size, tint);
}

void Picture::drawPart(Renderer* renderer, const Mat4& transform, const Size& size, const Color4B& tint, float from,
                       float to) const {
    from = std::clamp(from, 0.f, 1.f);
    to = std::clamp(to, from, 1.f);
    if (!renderer || to <= from || size.width <= 0 || size.height <= 0) {
        return;
    }
    const Mat4 partTransform = transform * Mat4::translation(size.width * from, 0);
    const Size partSize(size.width * (to - from), size.height);
    if (!_texture) {
        if (_missing) {
            drawPlaceholder(renderer, partTransform, partSize, tint.a);
        }
        return;
    }
    const Size pixels = getSizeInPixels();
    const Rect source(pixels.width * from, 0, pixels.width * (to - from), pixels.height);
    renderer->drawTexture(_texture, source, partTransform, partSize, tint);
}

void Picture::drawNineSlice(Renderer* renderer, const Mat4& transform, const Size& size, const Color4B& tint) const {
    const Size pixels = getSizeInPixels();
    Rect centre = _capInsets;
    if (centre.equals(Rect::ZERO)) {
        centre = Rect(pixels.width / 3, pixels.height / 3, pixels.width / 3, pixels.height / 3);
    }
    const float left = std::clamp(centre.getMinX(), 0.f, pixels.width);
    const float top = std::clamp(centre.getMinY(), 0.f, pixels.height);
    const float right = std::clamp(pixels.width - centre.getMaxX(), 0.f, pixels.width - left);
    const float bottom = std::clamp(pixels.height - centre.getMaxY(), 0.f, pixels.height - top);

    // Corners keep their size in points, shrunk together when the box is smaller than they are.
    const float csf = Director::getInstance()->getContentScaleFactor();
    float leftPt = left / csf, rightPt = right / csf, topPt = top / csf, bottomPt = bottom / csf;
    if (leftPt + rightPt > size.width) {
        const float k = size.width / (leftPt + rightPt);
        leftPt *= k;
        rightPt *= k;
    }
    if (topPt + bottomPt > size.height) {
        const float k = size.height / (topPt + bottomPt);
        topPt *= k;
        bottomPt *= k;
    }
    const float srcX[4] = {0, left, pixels.width - right, pixels.width};
    const float dstX[4] = {0, leftPt, size.width - rightPt, size.width};
    // Source rows run top-down, node space bottom-up.
    const float srcY[4] = {0, top, pixels.height - bottom, pixels.height};
    const float dstY[4] = {size.height, size.height - topPt, bottomPt, 0};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            const float sw = srcX[col + 1] - srcX[col], sh = srcY[row + 1] - srcY[row];
            const float dw = dstX[col + 1] - dstX[col], dh = dstY[row] - dstY[row + 1];
            if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) {
                continue;
            }
            renderer->drawTexture(_texture, Rect(srcX[col], srcY[row], sw, sh),
                                  transform * Mat4::translation(dstX[col], dstY[row + 1]), Size(dw, dh), tint);
        }
    }
}

} // namespace engine::ui
