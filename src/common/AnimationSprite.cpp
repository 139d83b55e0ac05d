#include "common/AnimationSprite.h"

#include <new>
#include <utility>

AnimationSprite* AnimationSprite::create(const std::string& file) {
    auto* sprite = new (std::nothrow) AnimationSprite();
    if (sprite && (file.empty() ? sprite->init() : sprite->initWithFile(file))) {
        sprite->autorelease();
        return sprite;
    }
    delete sprite;
    return nullptr;
}

AnimationSprite::~AnimationSprite() {
    // When the parent itself is being destroyed its children have no parent any more and the mask goes with it.
    removeMask();
    reportGone();
}

void AnimationSprite::setMask(engine::Node* mask) {
    if (mask) {
        mask->retain();
    }
    removeMask();
    _mask = mask;
}

void AnimationSprite::finish() {
    _onGone = nullptr;
    removeMask();
}

void AnimationSprite::cleanup() {
    engine::Sprite::cleanup();
    removeMask();
    reportGone();
}

void AnimationSprite::removeMask() {
    engine::Node* mask = std::exchange(_mask, nullptr);
    if (!mask) {
        return;
    }
    if (mask->getParent()) {
        mask->removeFromParentAndCleanup(true);
    }
    mask->release();
}

void AnimationSprite::reportGone() {
    if (std::function<void()> onGone = std::exchange(_onGone, nullptr)) {
        onGone();
    }
}
