// A widget's picture: a texture drawn into a box, stretched or nine-sliced, or the placeholder box when its file is
// missing. A value type shared by the widgets; it is not a node.
#pragma once

#include <string>

#include "base/Geometry.h"

namespace engine {

class Renderer;
class Texture2D;

namespace ui {

class Picture {
public:
    Picture() = default;
    Picture(const Picture& other);
    Picture& operator=(const Picture& other);
    ~Picture();

    // Loads a file through the search paths. An empty name clears the picture. A missing or undecodable file logs
    // one line (naming `owner`) and leaves the picture "missing": it then draws the placeholder.
    void load(const std::string& file, const char* owner);
    void clear();

    const std::string& getFile() const { return _file; }
    Texture2D* getTexture() const { return _texture; }
    bool hasTexture() const { return _texture != nullptr; }
    bool isMissing() const { return _missing; }
    // True when it draws something: a texture or the placeholder.
    bool isSet() const { return _texture || _missing; }
    // Pixels / content scale factor; zero without a texture.
    Size getSizeInPoints() const;
    Size getSizeInPixels() const;

    // Nine-slice: corners keep their size, edges and centre stretch. The cap insets are the stretched centre
    // rectangle in picture pixels (origin at the picture's top-left); Rect::ZERO means a third of each side.
    void setScale9Enabled(bool enabled) { _scale9 = enabled; }
    bool isScale9Enabled() const { return _scale9; }
    void setCapInsets(const Rect& insets) { _capInsets = insets; }
    const Rect& getCapInsets() const { return _capInsets; }

    // Draws into [0, size] of the node space under the transform, tinted by the colour (its alpha = opacity).
    void draw(Renderer* renderer, const Mat4& transform, const Size& size, const Color4B& tint) const;
    // Draws a horizontal part [from, to] (fractions 0..1) of the picture into the same part of the box, uncut in
    // height and unstretched in width (progress bars).
    void drawPart(Renderer* renderer, const Mat4& transform, const Size& size, const Color4B& tint, float from,
                  float to) const;

    // Light grey box with a dark outline: what a picture that failed to load shows.
    static void drawPlaceholder(Renderer* renderer, const Mat4& transform, const Size& size, GLubyte opacity);
    // Colour multiplied component by component (node colour into a tint).
    static Color4B modulate(const Color4B& a, const Color4B& b);

private:
    void drawNineSlice(Renderer* renderer, const Mat4& transform, const Size& size, const Color4B& tint) const;

    std::string _file;
    Texture2D* _texture = nullptr;
    bool _missing = false;
    bool _scale9 = false;
    Rect _capInsets;
};

} // namespace ui
} // namespace engine
