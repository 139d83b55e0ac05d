#include "ui/CheckBox.h"

#include "render/Renderer.h"

namespace engine::ui {

namespace {
const Color4B kDisabledShade(140, 140, 140, 255);
constexpr float kCheckInset = 0.2f;
} // namespace

CheckBox* CheckBox::create() {
    auto* box = new (std::nothrow) CheckBox();
    if (box && box->init()) {
        box->setTouchEnabled(true);
        box->autorelease();
        return box;
    }
    delete box;
    return nullptr;
}

void CheckBox::loadTextures(const std::string& box, const std::string& boxSelected, const std::string& check,
                            TextureResType type) {
    loadTextureBackGround(box, type);
    loadTextureBackGroundSelected(boxSelected, type);
    loadTextureFrontCross(check, type);
}

void CheckBox::loadTextureBackGround(const std::string& file, TextureResType) {
    _box.load(file, "CheckBox");
    updateContentSize();
}

void CheckBox::loadTextureBackGroundSelected(const std::string& file, TextureResType) {
    _boxSelected.load(file, "CheckBox");
}

void CheckBox::loadTextureFrontCross(const std::string& file, TextureResType) {
    _check.load(file, "CheckBox");
}

bool CheckBox::getContentAdaptSize(Size& size) const {
    if (!_box.hasTexture()) {
        return false;
    }
    size = _box.getSizeInPoints();
    return true;
}

void CheckBox::draw(Renderer* renderer, const Mat4& transform, uint32_t) {
    const Size& size = getContentSize();
    Color4B tint = getTint();
    if (!isEnabled() || !isBright()) {
        tint = Picture::modulate(tint, kDisabledShade);
    }
    const Picture& box = (isHighlighted() && _boxSelected.isSet()) ? _boxSelected : _box;
    if (box.isSet()) {
        box.draw(renderer, transform, size, tint);
    } else if (_fillColor.a > 0) {
        renderer->drawSolidRect(transform, Rect(0, 0, size.width, size.height), Picture::modulate(_fillColor, tint));
    }
    if (!_selected) {
        return;
    }
    if (_check.isSet()) {
        _check.draw(renderer, transform, size, tint);
    } else if (_checkFillColor.a > 0) {
        const Rect inner(size.width * kCheckInset, size.height * kCheckInset, size.width * (1 - 2 * kCheckInset),
                         size.height * (1 - 2 * kCheckInset));
        renderer->drawSolidRect(transform, inner, Picture::modulate(_checkFillColor, tint));
    }
}

Widget* CheckBox::createCloneInstance() const {
    return CheckBox::create();
}

void CheckBox::copySpecialProperties(const Widget* model) {
    if (auto* box = dynamic_cast<const CheckBox*>(model)) {
        _box = box->_box;
        _boxSelected = box->_boxSelected;
        _check = box->_check;
        _fillColor = box->_fillColor;
        _checkFillColor = box->_checkFillColor;
        _selected = box->_selected;
    }
}

} // namespace engine::ui
