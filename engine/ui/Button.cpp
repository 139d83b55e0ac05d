#include "ui/Button.h"

#include "render/Renderer.h"
#include "scene/Label.h"

namespace engine::ui {

namespace {
constexpr float kDefaultTitleFontSize = 24.f;
// The normal picture stands in for a missing pressed one darker, for a missing disabled one grey.
const Color4B kPressedShade(190, 190, 190, 255);
const Color4B kDisabledShade(140, 140, 140, 255);
} // namespace

Button* Button::create(const std::string& normal, const std::string& pressed, const std::string& disabled,
                       TextureResType type) {
    auto* button = new (std::nothrow) Button();
    if (button && button->init() && button->initButton()) {
        button->loadTextures(normal, pressed, disabled, type);
        button->autorelease();
        return button;
    }
    delete button;
    return nullptr;
}

bool Button::initButton() {
    _title = Label::create("", "", kDefaultTitleFontSize);
    if (!_title) {
        return false;
    }
    _title->retain();
    setTouchEnabled(true);
    return true;
}

Button::~Button() {
    if (_title) {
        _title->release();
    }
}

void Button::loadTextures(const std::string& normal, const std::string& pressed, const std::string& disabled,
                          TextureResType type) {
    loadTextureNormal(normal, type);
    loadTexturePressed(pressed, type);
    loadTextureDisabled(disabled, type);
}

void Button::loadTextureNormal(const std::string& file, TextureResType) {
    _normal.load(file, "Button");
    updateContentSize();
}

void Button::loadTexturePressed(const std::string& file, TextureResType) {
    _pressed.load(file, "Button");
}

void Button::loadTextureDisabled(const std::string& file, TextureResType) {
    _disabled.load(file, "Button");
}

void Button::setScale9Enabled(bool enabled) {
    _normal.setScale9Enabled(enabled);
    _pressed.setScale9Enabled(enabled);
    _disabled.setScale9Enabled(enabled);
}

void Button::setCapInsets(const Rect& insets) {
    _normal.setCapInsets(insets);
    _pressed.setCapInsets(insets);
    _disabled.setCapInsets(insets);
}

void Button::setTitleText(const std::string& text) {
    _title->setString(text);
}

const std::string& Button::getTitleText() const {
    return _title->getString();
}

void Button::setTitleColor(const Color3B& color) {
    _titleColor = color;
    _title->setTextColor(Color4B(color));
}

void Button::setTitleFontSize(float size) {
    _title->setFontSize(size);
}

float Button::getTitleFontSize() const {
    return _title->getFontSize();
}

void Button::setTitleFontName(const std::string& font) {
    _title->setFontName(font);
}

const std::string& Button::getTitleFontName() const {
    return _title->getFontName();
}

bool Button::getContentAdaptSize(Size& size) const {
    if (!_normal.hasTexture()) {
        return false;
    }
    size = _normal.getSizeInPoints();
    return true;
}

void Button::draw(Renderer* renderer, const Mat4& transform, uint32_t flags) {
    const Size& size = getContentSize();
    const Color4B tint = getTint();
    const bool disabledLook = !isBright() || !isEnabled();
    const Picture* picture = &_normal;
    Color4B shade = Color4B::WHITE;
    if (disabledLook) {
        if (_disabled.isSet()) {
            picture = &_disabled;
        } else {
            shade = kDisabledShade;
        }
    } else if (isHighlighted()) {
        if (_pressed.isSet()) {
            picture = &_pressed;
        } else {
            shade = kPressedShade;
        }
    }
    if (picture->isSet()) {
        picture->draw(renderer, transform, size, Picture::modulate(tint, shade));
    } else if (_fillColor.a > 0) {
        renderer->drawSolidRect(transform, Rect(0, 0, size.width, size.height),
                                Picture::modulate(Picture::modulate(_fillColor, tint), shade));
    }

    if (!_title->getString().empty()) {
        _title->updateDisplayedColor(getDisplayedColor());
        _title->updateDisplayedOpacity(getDisplayedOpacity());
        const Size& titleSize = _title->getContentSize();
        const Mat4 centred =
            transform * Mat4::translation((size.width - titleSize.width) / 2, (size.height - titleSize.height) / 2);
        _title->draw(renderer, centred, flags);
    }
}

Widget* Button::createCloneInstance() const {
    return Button::create();
}

void Button::copySpecialProperties(const Widget* model) {
    if (auto* button = dynamic_cast<const Button*>(model)) {
        _normal = button->_normal;
        _pressed = button->_pressed;
        _disabled = button->_disabled;
        _fillColor = button->_fillColor;
        setTitleFontName(button->getTitleFontName());
        setTitleFontSize(button->getTitleFontSize());
        setTitleColor(button->_titleColor);
        setTitleText(button->getTitleText());
    }
}

} // namespace engine::ui
