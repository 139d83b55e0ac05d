// The stand-in for a layout sprite whose picture is missing: a sprite that draws the placeholder box.
#pragma once

#include "scene/Sprite.h"

namespace engine {

class PlaceholderSprite : public Sprite {
public:
    static PlaceholderSprite* create(const Size& size);
    void draw(Renderer* renderer, const Mat4& transform, uint32_t flags) override;

protected:
    PlaceholderSprite() = default;
};

} // namespace engine
