#include "scene/Animation.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "base/Director.h"
#include "base/Log.h"
#include "render/Texture2D.h"
#include "render/TextureCache.h"
#include "scene/Sprite.h"

namespace engine {

// Animation

Animation* Animation::create() {
    auto* animation = new (std::nothrow) Animation();
    if (animation) {
        animation->autorelease();
    }
    return animation;
}

void Animation::addSpriteFrameWithFile(const std::string& filename) {
    Texture2D* texture = Director::getInstance()->getTextureCache()->addImage(filename);
    if (!texture) {
        log("Animation: cannot load frame %s, skipped", filename.c_str());
        return;
    }
    // Frames made from files live in the frame cache, so a purge of unused frames can drop them.
    SpriteFrameCache* cache = SpriteFrameCache::getInstance();
    SpriteFrame* frame = cache->getSpriteFrameByName(filename);
    if (!frame || frame->getTexture() != texture) {
        const Rect rect(0, 0, static_cast<float>(texture->getPixelsWide()),
                        static_cast<float>(texture->getPixelsHigh()));
        frame = SpriteFrame::createWithTexture(texture, rect);
        if (!frame) {
            return;
        }
        cache->addSpriteFrame(frame, filename);
    }
    _frames.pushBack(frame);
}

void Animation::addSpriteFrame(SpriteFrame* frame) {
    if (!frame) {
        log("Animation: null frame, skipped");
        return;
    }
    _frames.pushBack(frame);
}

void Animation::setDelayPerUnit(float delay) {
    _delayPerUnit = std::max(0.f, delay);
}

void Animation::setLoops(int loops) {
    _loops = std::max(1, loops);
}

float Animation::getDuration() const {
    return static_cast<float>(_frames.size()) * _delayPerUnit * static_cast<float>(_loops);
}

// Animate

Animate* Animate::create(Animation* animation) {
    if (!animation) {
        log("Animate: null animation");
        return nullptr;
    }
    auto* animate = new (std::nothrow) Animate();
    if (!animate) {
        return nullptr;
    }
    animation->retain();
    animate->_animation = animation;
    animate->initWithDuration(animation->getDuration());
    animate->autorelease();
    return animate;
}

Animate::~Animate() {
    releaseOriginal();
    if (_animation) {
        _animation->release();
    }
}

Animate* Animate::clone() const {
    return create(_animation);
}

void Animate::releaseOriginal() {
    if (_originalTexture) {
        _originalTexture->release();
        _originalTexture = nullptr;
    }
}

void Animate::startWithTarget(Node* target) {
    ActionInterval::startWithTarget(target);
    releaseOriginal();
    _frameShown = false;
    _sprite = dynamic_cast<Sprite*>(target);
    if (!_sprite) {
        log("Animate: the target is not a sprite; nothing is shown");
        return;
    }
    _originalTexture = _sprite->getTexture();
    if (_originalTexture) {
        _originalTexture->retain();
    }
    _originalRect = _sprite->getTextureRectInPixels();
    _originalContentSize = _sprite->getContentSize();
}

// The original picture comes back only at the end: a stop may come from the sprite's own destructor.
void Animate::stop() {
    releaseOriginal();
    _sprite = nullptr;
    ActionInterval::stop();
}

void Animate::showFrame(size_t index) {
    if (_frameShown && _shownIndex == index) {
        return;
    }
    _sprite->setSpriteFrame(_animation->getFrames().at(index));
    _shownIndex = index;
    _frameShown = true;
}

void Animate::update(float t) {
    if (!_target || !_sprite) {
        return;
    }
    const auto& frames = _animation->getFrames();
    if (t >= 1.f) {
        if (_animation->getRestoreOriginalFrame()) {
            if (_frameShown) {
                _sprite->setTexture(_originalTexture);
                _sprite->setTextureRectInPixels(_originalRect);
                _sprite->setContentSize(_originalContentSize);
                _frameShown = false;
            }
        } else if (!frames.empty()) {
            showFrame(frames.size() - 1);
        }
        return;
    }
    const float delay = _animation->getDelayPerUnit();
    if (frames.empty() || delay <= 0) {
        return;
    }
    const float loopLength = static_cast<float>(frames.size()) * delay;
    // The epsilon keeps a frame from showing one step late when float time lands just short of its start.
    const float inLoop = std::fmod(t * _duration + 1e-5f, loopLength);
    showFrame(std::min(frames.size() - 1, static_cast<size_t>(inLoop / delay)));
}

} // namespace engine
