// Scene building shared by the render tests.
#pragma once

#include "scene/Sprite.h"

namespace rendertest {

using namespace engine;

inline Sprite* addSprite(Node* parent, Texture2D* texture, const Vec2& at) {
    Sprite* sprite = Sprite::createWithTexture(texture);
    sprite->setPosition(at);
    parent->addChild(sprite);
    return sprite;
}

} // namespace rendertest
