// The sprite of one playing frame animation: it owns the mask laid under it and reports when it goes away
// before its animation has ended.
#pragma once

#include <functional>
#include <string>

#include "scene/Sprite.h"

class AnimationSprite : public engine::Sprite {
public:
    // A sprite of the picture; an empty name gives an empty sprite (a stand-in that shows nothing).
    static AnimationSprite* create(const std::string& file);

    ~AnimationSprite() override;

    // The mask is removed with the sprite, whichever way the sprite goes.
    void setMask(engine::Node* mask);
    engine::Node* getMask() const { return _mask; }
    // Called once when the sprite is cleaned up or destroyed before finish().
    void setOnGone(std::function<void()> onGone) { _onGone = std::move(onGone); }
    // The animation has ended: the mask goes and the gone callback is dropped.
    void finish();

    void cleanup() override;

protected:
    AnimationSprite() = default;

private:
    void removeMask();
    void reportGone();

    engine::Node* _mask = nullptr; // retained
    std::function<void()> _onGone;
};
