#include "ui/TextField.h"

#include "base/StringUtils.h"
#include "scene/Label.h"

namespace engine::ui {

TextField* TextField::s_attached = nullptr;

namespace {
constexpr int kDefaultFontSize = 24;
}

TextField* TextField::create() {
    return create("", "", kDefaultFontSize);
}

TextField* TextField::create(const std::string& placeholder, const std::string& fontName, int fontSize) {
    auto* field = new (std::nothrow) TextField();
    if (field && field->init() && field->initTextField(placeholder, fontName, fontSize)) {
        field->autorelease();
        return field;
    }
    delete field;
    return nullptr;
}

TextField::~TextField() {
    if (s_attached == this) {
        s_attached = nullptr;
    }
    if (_label) {
        _label->release();
    }
}

bool TextField::initTextField(const std::string& placeholder, const std::string& fontName, int fontSize) {
    _placeholder = placeholder;
    _fontName = fontName;
    _fontSize = fontSize > 0 ? fontSize : kDefaultFontSize;
    _label = Label::create("", _fontName, static_cast<float>(_fontSize));
    if (!_label) {
        return false;
    }
    _label->retain();
    setTouchEnabled(true);
    refreshLabel();
    return true;
}

std::string TextField::cutToMaxLength(const std::string& text, long room) const {
    if (room <= 0) {
        return {};
    }
    long characters = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if ((c & 0xC0) != 0x80 && ++characters > room) {
            return text.substr(0, i);
        }
    }
    return text;
}

void TextField::setString(const std::string& text) {
    _text = (_maxLengthEnabled && _maxLength > 0) ? cutToMaxLength(text, _maxLength) : text;
    refreshLabel();
}

int TextField::getStringLength() const {
    return static_cast<int>(StringUtils::getCharacterCountInUTF8String(_text));
}

void TextField::setPlaceHolder(const std::string& placeholder) {
    _placeholder = placeholder;
    refreshLabel();
}

void TextField::setFontSize(int size) {
    if (size > 0) {
        _fontSize = size;
        _label->setFontSize(static_cast<float>(size));
        refreshLabel();
    }
}

void TextField::setFontName(const std::string& font) {
    _fontName = font;
    _label->setFontName(font);
    refreshLabel();
}

void TextField::setMaxLengthEnabled(bool enabled) {
    _maxLengthEnabled = enabled;
    setString(_text);
}

void TextField::setMaxLength(int length) {
    _maxLength = length > 0 ? length : 0;
    setString(_text);
}

void TextField::setPasswordEnabled(bool enabled) {
    _passwordEnabled = enabled;
    refreshLabel();
}

void TextField::setPasswordStyleText(const char* mask) {
    _passwordStyle = (mask && *mask) ? mask : "*";
    refreshLabel();
}

void TextField::refreshLabel() {
    const bool showText = !_text.empty();
    _label->setMaskCharacter(showText && _passwordEnabled ? _passwordStyle : std::string());
    _label->setString(showText ? _text : _placeholder);
    updateContentSize();
}

bool TextField::getContentAdaptSize(Size& size) const {
    size = _label->getContentSize();
    return true;
}

void TextField::raiseEvent(EventType type) {
    if (!_eventCallback) {
        return;
    }
    // The handler may remove the field or replace the listener.
    retain();
    ccTextFieldCallback callback = _eventCallback;
    callback(this, type);
    release();
}

void TextField::attachWithIME() {
    if (s_attached == this) {
        return;
    }
    if (TextField* previous = s_attached) {
        s_attached = nullptr;
        previous->raiseEvent(EventType::DETACH_WITH_IME);
    }
    s_attached = this;
    raiseEvent(EventType::ATTACH_WITH_IME);
}

void TextField::detachWithIME() {
    if (s_attached != this) {
        return;
    }
    s_attached = nullptr;
    raiseEvent(EventType::DETACH_WITH_IME);
}

void TextField::onReleasedInside() {
    attachWithIME();
}

void TextField::onExit() {
    detachWithIME();
    Widget::onExit();
}

void TextField::insertText(const std::string& utf8) {
    std::string added = utf8;
    if (_maxLengthEnabled && _maxLength > 0) {
        added = cutToMaxLength(utf8, _maxLength - StringUtils::getCharacterCountInUTF8String(_text));
    }
    if (added.empty()) {
        return;
    }
    _text += added;
    refreshLabel();
    raiseEvent(EventType::INSERT_TEXT);
}

void TextField::deleteBackward() {
    if (_text.empty()) {
        return;
    }
    StringUtils::popBackUTF8(_text);
    refreshLabel();
    raiseEvent(EventType::DELETE_BACKWARD);
}

void TextField::dispatchTextInput(const std::string& utf8) {
    if (s_attached) {
        s_attached->insertText(utf8);
    }
}

void TextField::dispatchBackspace() {
    if (s_attached) {
        s_attached->deleteBackward();
    }
}

void TextField::draw(Renderer* renderer, const Mat4& transform, uint32_t flags) {
    _label->setTextColor(_text.empty() ? _placeholderColor : _textColor);
    _label->updateDisplayedColor(getDisplayedColor());
    _label->updateDisplayedOpacity(getDisplayedOpacity());
    const float y = (getContentSize().height - _label->getContentSize().height) / 2;
    _label->draw(renderer, transform * Mat4::translation(0, y), flags);
}

Widget* TextField::createCloneInstance() const {
    return TextField::create();
}

void TextField::copySpecialProperties(const Widget* model) {
    if (auto* field = dynamic_cast<const TextField*>(model)) {
        _fontName = field->_fontName;
        _label->setFontName(_fontName);
        _fontSize = field->_fontSize;
        _label->setFontSize(static_cast<float>(_fontSize));
        _placeholder = field->_placeholder;
        _placeholderColor = field->_placeholderColor;
        _textColor = field->_textColor;
        _maxLengthEnabled = field->_maxLengthEnabled;
        _maxLength = field->_maxLength;
        _passwordEnabled = field->_passwordEnabled;
        _passwordStyle = field->_passwordStyle;
        _eventCallback = field->_eventCallback;
        setString(field->_text);
    }
}

} // namespace engine::ui
