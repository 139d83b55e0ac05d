// Text drawn with SDL_ttf at the view's pixel density, laid out and rendered by the text door: cut to what its box
// shows, at most the text limits' characters, side and area, and sizes past the font limit drawn at it.
#pragma once

#include <string>

#include "scene/Node.h"

namespace engine {

class Texture2D;

enum class TextHAlignment { LEFT, CENTER, RIGHT };
enum class TextVAlignment { TOP, CENTER, BOTTOM };

// The font every text falls back to when its own is empty or cannot be opened.
void setDefaultFont(const std::string& fontFile);
const std::string& getDefaultFont();

class Label : public Node {
public:
    // Null when the font file cannot be opened. Content width = the rendered width of the text.
    static Label* createWithTTF(const std::string& text, const std::string& fontFile, float fontSize,
                                const Size& dimensions = Size::ZERO, TextHAlignment hAlignment = TextHAlignment::LEFT,
                                TextVAlignment vAlignment = TextVAlignment::TOP);
    // Falls back to the default font.
    static Label* create(const std::string& text, const std::string& fontFile, float fontSize);
    ~Label() override;

    void setString(const std::string& text);
    const std::string& getString() const { return _text; }
    void setFontName(const std::string& fontFile);
    const std::string& getFontName() const { return _fontFile; }
    void setFontSize(float size);
    float getFontSize() const { return _fontSize; }
    void setTextColor(const Color4B& color);
    const Color4B& getTextColor() const { return _textColor; }
    // Fixed box with wrapping and alignment; Size::ZERO = size follows the text.
    void setDimensions(const Size& dimensions);
    const Size& getDimensions() const { return _dimensions; }
    void setAlignment(TextHAlignment h, TextVAlignment v);
    void setHorizontalAlignment(TextHAlignment h);
    void setVerticalAlignment(TextVAlignment v);
    // One character shown per character of the text (password fields).
    void setMaskCharacter(const std::string& mask);

    void draw(Renderer* renderer, const Mat4& transform, uint32_t flags) override;
    // Size of the text alone (without the box).
    Size getTextSize();
    // What is drawn, a line each: the text cut to what the box shows and to the text limits.
    const std::string& getShownString();

protected:
    Label();
    bool initLabel(const std::string& text, const std::string& fontFile, float fontSize, bool strictFont);
    void updateTexture();
    void markDirty() { _dirty = true; }

    std::string _text;
    std::string _fontFile;
    std::string _resolvedFont;
    float _fontSize = 24.f;
    Color4B _textColor = Color4B::WHITE;
    Size _dimensions;
    TextHAlignment _hAlign = TextHAlignment::LEFT;
    TextVAlignment _vAlign = TextVAlignment::TOP;
    std::string _mask;
    std::string _shown;
    Texture2D* _texture = nullptr;
    Size _textSize;
    float _renderedScale = 0.f;
    bool _dirty = true;
};

} // namespace engine
