#include "ui/Text.h"

namespace engine::ui {

namespace {
constexpr float kDefaultFontSize = 24.f;
}

Text* Text::create(const std::string& text, const std::string& font, float size) {
    auto* widget = new (std::nothrow) Text();
    if (widget && widget->init() && widget->initText(text, font, size)) {
        widget->autorelease();
        return widget;
    }
    delete widget;
    return nullptr;
}

Text::~Text() {
    if (_label) {
        _label->release();
    }
}

bool Text::initText(const std::string& text, const std::string& font, float size) {
    _text = text;
    _fontName = font;
    _fontSize = size > 0 ? size : kDefaultFontSize;
    _label = Label::create(_text, _fontName, _fontSize);
    if (!_label) {
        return false;
    }
    _label->retain();
    _label->setTextColor(_textColor);
    updateContentSize();
    return true;
}

void Text::setString(const std::string& text) {
    _text = text;
    _label->setString(text);
    updateContentSize();
}

void Text::setFontSize(float size) {
    if (size <= 0) {
        return;
    }
    _fontSize = size;
    _label->setFontSize(size);
    updateContentSize();
}

void Text::setFontName(const std::string& font) {
    _fontName = font;
    _label->setFontName(font);
    updateContentSize();
}

void Text::setTextColor(const Color4B& color) {
    _textColor = color;
    _label->setTextColor(color);
}

void Text::setTextAreaSize(const Size& size) {
    if (size.width <= 0 && size.height <= 0) {
        ignoreContentAdaptWithSize(true);
        return;
    }
    setContentSize(size);
}

Size Text::getTextAreaSize() const {
    return _label->getDimensions();
}

void Text::setTextHorizontalAlignment(TextHAlignment alignment) {
    _hAlignment = alignment;
    _label->setHorizontalAlignment(alignment);
}

void Text::setTextVerticalAlignment(TextVAlignment alignment) {
    _vAlignment = alignment;
    _label->setVerticalAlignment(alignment);
}

void Text::ignoreContentAdaptWithSize(bool ignore) {
    if (ignore) {
        _label->setDimensions(Size::ZERO);
    }
    Widget::ignoreContentAdaptWithSize(ignore);
}

bool Text::getContentAdaptSize(Size& size) const {
    size = _label->getContentSize();
    return true;
}

void Text::onSizeChanged() {
    const Size wanted = isIgnoreContentAdaptWithSize() ? Size::ZERO : getContentSize();
    if (_label->getDimensions() != wanted) {
        _label->setDimensions(wanted);
    }
}

void Text::draw(Renderer* renderer, const Mat4& transform, uint32_t flags) {
    _label->updateDisplayedColor(getDisplayedColor());
    _label->updateDisplayedOpacity(getDisplayedOpacity());
    _label->draw(renderer, transform, flags);
}

Widget* Text::createCloneInstance() const {
    return Text::create();
}

void Text::copySpecialProperties(const Widget* model) {
    if (auto* text = dynamic_cast<const Text*>(model)) {
        setFontName(text->_fontName);
        setFontSize(text->_fontSize);
        setTextColor(text->_textColor);
        setTextHorizontalAlignment(text->_hAlignment);
        setTextVerticalAlignment(text->_vAlignment);
        setString(text->_text);
    }
}

} // namespace engine::ui
