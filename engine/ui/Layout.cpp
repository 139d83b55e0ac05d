#include "ui/Layout.h"

#include <algorithm>

#include "render/Renderer.h"

namespace engine::ui {

namespace {
Rect boundingBoxOf(const Mat4& transform, const Size& size) {
    const Vec2 corners[4] = {transform.transformPoint(Vec2(0, 0)), transform.transformPoint(Vec2(size.width, 0)),
                             transform.transformPoint(Vec2(0, size.height)),
                             transform.transformPoint(Vec2(size.width, size.height))};
    float minX = corners[0].x, maxX = corners[0].x, minY = corners[0].y, maxY = corners[0].y;
    for (const Vec2& c : corners) {
        minX = std::min(minX, c.x);
        maxX = std::max(maxX, c.x);
        minY = std::min(minY, c.y);
        maxY = std::max(maxY, c.y);
    }
    return Rect(minX, minY, maxX - minX, maxY - minY);
}
} // namespace

Layout::Layout() {
    _anchorPoint = Vec2::ANCHOR_BOTTOM_LEFT;
    // A panel keeps its own size whatever its background picture.
    ignoreContentAdaptWithSize(false);
}

Layout* Layout::create() {
    auto* layout = new (std::nothrow) Layout();
    if (layout && layout->init()) {
        layout->autorelease();
        return layout;
    }
    delete layout;
    return nullptr;
}

void Layout::setBackGroundImage(const std::string& file, TextureResType) {
    _backGroundImage.load(file, "Layout");
}

Rect Layout::getClippingRect() const {
    return boundingBoxOf(getNodeToWorldTransform(), getContentSize());
}

void Layout::visit(Renderer* renderer, const Mat4& parentTransform, uint32_t parentFlags) {
    if (!_clippingEnabled || !renderer || !isVisible()) {
        Widget::visit(renderer, parentTransform, parentFlags);
        return;
    }
    renderer->pushClipRect(boundingBoxOf(parentTransform * getNodeToParentTransform(), getContentSize()));
    Widget::visit(renderer, parentTransform, parentFlags);
    renderer->popClipRect();
}

void Layout::draw(Renderer* renderer, const Mat4& transform, uint32_t) {
    const Size& size = getContentSize();
    const Color4B tint = getTint();
    if (_colorType != BackGroundColorType::NONE) {
        const Color4B fill(_backGroundColor, static_cast<GLubyte>(_backGroundOpacity));
        renderer->drawSolidRect(transform, Rect(0, 0, size.width, size.height), Picture::modulate(fill, tint));
    }
    _backGroundImage.draw(renderer, transform, size, tint);
}

Widget* Layout::createCloneInstance() const {
    return Layout::create();
}

void Layout::copySpecialProperties(const Widget* model) {
    if (auto* layout = dynamic_cast<const Layout*>(model)) {
        _colorType = layout->_colorType;
        _backGroundColor = layout->_backGroundColor;
        _backGroundOpacity = layout->_backGroundOpacity;
        _backGroundImage = layout->_backGroundImage;
        _clippingEnabled = layout->_clippingEnabled;
    }
}

} // namespace engine::ui
