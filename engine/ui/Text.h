// A text widget. Its size follows the text unless a text area is set; the text colour is multiplied by the node
// colour.
#pragma once

#include <string>

#include "scene/Label.h"
#include "ui/Widget.h"

namespace engine::ui {

class Text : public Widget {
public:
    // A font size of 0 or less means 24.
    static Text* create(const std::string& text = "", const std::string& font = "", float size = 0);
    ~Text() override;

    void setString(const std::string& text);
    const std::string& getString() const { return _text; }
    void setFontSize(float size);
    float getFontSize() const { return _fontSize; }
    // A font file; an empty or unreadable one gives the default font.
    void setFontName(const std::string& font);
    const std::string& getFontName() const { return _fontName; }
    void setTextColor(const Color4B& color);
    const Color4B& getTextColor() const { return _textColor; }

    // A fixed box: the text wraps inside it and aligns as set. Size::ZERO goes back to following the text.
    void setTextAreaSize(const Size& size);
    Size getTextAreaSize() const;
    void setTextHorizontalAlignment(TextHAlignment alignment);
    TextHAlignment getTextHorizontalAlignment() const { return _hAlignment; }
    void setTextVerticalAlignment(TextVAlignment alignment);
    TextVAlignment getTextVerticalAlignment() const { return _vAlignment; }

    void ignoreContentAdaptWithSize(bool ignore) override;
    void draw(Renderer* renderer, const Mat4& transform, uint32_t flags) override;

protected:
    Text() = default;
    bool initText(const std::string& text, const std::string& font, float size);
    bool getContentAdaptSize(Size& size) const override;
    void onSizeChanged() override;
    Widget* createCloneInstance() const override;
    void copySpecialProperties(const Widget* model) override;

private:
    Label* _label = nullptr;
    std::string _text;
    std::string _fontName;
    float _fontSize = 24.f;
    Color4B _textColor = Color4B::WHITE;
    TextHAlignment _hAlignment = TextHAlignment::LEFT;
    TextVAlignment _vAlignment = TextVAlignment::TOP;
};

} // namespace engine::ui
