#include "layout/PlaceholderSprite.h"

#include "ui/Picture.h"

namespace engine {

PlaceholderSprite* PlaceholderSprite::create(const Size& size) {
    auto* sprite = new (std::nothrow) PlaceholderSprite();
    if (sprite && sprite->init()) {
        sprite->setContentSize(size);
        sprite->autorelease();
        return sprite;
    }
    delete sprite;
    return nullptr;
}

void PlaceholderSprite::draw(Renderer* renderer, const Mat4& transform, uint32_t) {
    ui::Picture::drawPlaceholder(renderer, transform, getContentSize(), getDisplayedOpacity());
}

} // namespace engine
