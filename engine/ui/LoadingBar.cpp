#include "ui/LoadingBar.h"

#include <algorithm>
#include <cmath>

#include "render/Renderer.h"

namespace engine::ui {

LoadingBar* LoadingBar::create(const std::string& file, float percent) {
    auto* bar = new (std::nothrow) LoadingBar();
    if (bar && bar->init()) {
        bar->loadTexture(file);
        bar->setPercent(percent);
        bar->autorelease();
        return bar;
    }
    delete bar;
    return nullptr;
}

void LoadingBar::loadTexture(const std::string& file, TextureResType) {
    _picture.load(file, "LoadingBar");
    updateContentSize();
}

void LoadingBar::setPercent(float percent) {
    _percent = std::isnan(percent) ? 0.f : std::clamp(percent, 0.f, 100.f);
}

bool LoadingBar::getContentAdaptSize(Size& size) const {
    if (!_picture.hasTexture()) {
        return false;
    }
    size = _picture.getSizeInPoints();
    return true;
}

void LoadingBar::draw(Renderer* renderer, const Mat4& transform, uint32_t) {
    const Size& size = getContentSize();
    const float fraction = _percent / 100.f;
    const float from = _direction == Direction::LEFT ? 0.f : 1.f - fraction;
    const float to = _direction == Direction::LEFT ? fraction : 1.f;
    if (fraction <= 0.f) {
        return;
    }
    const Color4B tint = getTint();
    if (_picture.isSet()) {
        _picture.drawPart(renderer, transform, size, tint, from, to);
    } else if (_fillColor.a > 0) {
        renderer->drawSolidRect(transform, Rect(size.width * from, 0, size.width * (to - from), size.height),
                                Picture::modulate(_fillColor, tint));
    }
}

Widget* LoadingBar::createCloneInstance() const {
    return LoadingBar::create();
}

void LoadingBar::copySpecialProperties(const Widget* model) {
    if (auto* bar = dynamic_cast<const LoadingBar*>(model)) {
        _picture = bar->_picture;
        _fillColor = bar->_fillColor;
        _percent = bar->_percent;
        _direction = bar->_direction;
    }
}

} // namespace engine::ui
