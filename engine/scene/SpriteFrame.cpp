#include "scene/SpriteFrame.h"

#include "render/Texture2D.h"

namespace engine {

SpriteFrame* SpriteFrame::createWithTexture(Texture2D* texture, const Rect& rectInPixels) {
    if (!texture) {
        return nullptr;
    }
    auto* frame = new SpriteFrame();
    frame->_texture = texture;
    texture->retain();
    frame->_rectInPixels = rectInPixels;
    frame->autorelease();
    return frame;
}

SpriteFrame::~SpriteFrame() {
    if (_texture) {
        _texture->release();
    }
}

SpriteFrame* SpriteFrame::clone() const { return createWithTexture(_texture, _rectInPixels); }

SpriteFrameCache* SpriteFrameCache::getInstance() {
    static SpriteFrameCache* cache = new SpriteFrameCache();
    return cache;
}

void SpriteFrameCache::addSpriteFrame(SpriteFrame* frame, const std::string& name) {
    if (!frame) {
        return;
    }
    frame->retain();
    removeSpriteFrameByName(name);
    _frames[name] = frame;
}

SpriteFrame* SpriteFrameCache::getSpriteFrameByName(const std::string& name) const {
    auto it = _frames.find(name);
    return it == _frames.end() ? nullptr : it->second;
}

void SpriteFrameCache::removeSpriteFrameByName(const std::string& name) {
    auto it = _frames.find(name);
    if (it != _frames.end()) {
        it->second->release();
        _frames.erase(it);
    }
}

void SpriteFrameCache::removeUnusedSpriteFrames() {
    for (auto it = _frames.begin(); it != _frames.end();) {
        if (it->second->getReferenceCount() == 1) {
            it->second->release();
            it = _frames.erase(it);
        } else {
            ++it;
        }
    }
}

void SpriteFrameCache::removeSpriteFrames() {
    for (auto& [name, frame] : _frames) {
        frame->release();
    }
    _frames.clear();
}

} // namespace engine
