// A push button: normal, pressed and disabled pictures (or a fill colour) and its own centred title.
#pragma once

#include <string>

#include "ui/Picture.h"
#include "ui/Widget.h"

namespace engine {
class Label;
}

namespace engine::ui {

class Button : public Widget {
public:
    static Button* create(const std::string& normal = "", const std::string& pressed = "",
                          const std::string& disabled = "", TextureResType type = TextureResType::LOCAL);
    ~Button() override;

    // Local files through the search paths. An empty pressed or disabled picture falls back to the normal one,
    // drawn darker or grey; a missing normal picture draws the placeholder.
    void loadTextures(const std::string& normal, const std::string& pressed, const std::string& disabled = "",
                      TextureResType type = TextureResType::LOCAL);
    void loadTextureNormal(const std::string& file, TextureResType type = TextureResType::LOCAL);
    void loadTexturePressed(const std::string& file, TextureResType type = TextureResType::LOCAL);
    void loadTextureDisabled(const std::string& file, TextureResType type = TextureResType::LOCAL);
    const std::string& getNormalFile() const { return _normal.getFile(); }
    const std::string& getPressedFile() const { return _pressed.getFile(); }
    const std::string& getDisabledFile() const { return _disabled.getFile(); }
    // The normal picture's size in points; zero without one.
    Size getVirtualRendererSize() const { return _normal.getSizeInPoints(); }

    void setScale9Enabled(bool enabled);
    bool isScale9Enabled() const { return _normal.isScale9Enabled(); }
    // For all three pictures: the stretched centre in picture pixels, origin top-left.
    void setCapInsets(const Rect& insets);
    const Rect& getCapInsets() const { return _normal.getCapInsets(); }

    // Drawn when the button has no picture.
    void setFillColor(const Color4B& color) { _fillColor = color; }
    const Color4B& getFillColor() const { return _fillColor; }

    void setTitleText(const std::string& text);
    const std::string& getTitleText() const;
    void setTitleColor(const Color3B& color);
    const Color3B& getTitleColor() const { return _titleColor; }
    void setTitleFontSize(float size);
    float getTitleFontSize() const;
    void setTitleFontName(const std::string& font);
    const std::string& getTitleFontName() const;

    void draw(Renderer* renderer, const Mat4& transform, uint32_t flags) override;

protected:
    Button() = default;
    bool initButton();
    bool getContentAdaptSize(Size& size) const override;
    Widget* createCloneInstance() const override;
    void copySpecialProperties(const Widget* model) override;

private:
    Picture _normal;
    Picture _pressed;
    Picture _disabled;
    Color4B _fillColor = Color4B(0, 0, 0, 0);
    Label* _title = nullptr;
    Color3B _titleColor = Color3B::WHITE;
};

} // namespace engine::ui
