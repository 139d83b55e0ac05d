// A panel: a widget with a solid background colour or picture that can clip its children to its box.
#pragma once

#include <string>

#include "ui/Picture.h"
#include "ui/Widget.h"

namespace engine::ui {

class Layout : public Widget {
public:
    enum class BackGroundColorType { NONE, SOLID, GRADIENT };

    static Layout* create();

    // GRADIENT is drawn as SOLID.
    void setBackGroundColorType(BackGroundColorType type) { _colorType = type; }
    BackGroundColorType getBackGroundColorType() const { return _colorType; }
    void setBackGroundColor(const Color3B& color) { _backGroundColor = color; }
    const Color3B& getBackGroundColor() const { return _backGroundColor; }
    void setBackGroundColorOpacity(GLubyte opacity) { _backGroundOpacity = opacity; }
    GLubyte getBackGroundColorOpacity() const { return _backGroundOpacity; }

    // Stretched over the panel; a missing file draws the placeholder.
    void setBackGroundImage(const std::string& file, TextureResType type = TextureResType::LOCAL);
    void removeBackGroundImage() { _backGroundImage.clear(); }
    const std::string& getBackGroundImageFile() const { return _backGroundImage.getFile(); }
    Size getBackGroundImageTextureSize() const { return _backGroundImage.getSizeInPoints(); }
    void setBackGroundImageScale9Enabled(bool enabled) { _backGroundImage.setScale9Enabled(enabled); }
    bool isBackGroundImageScale9Enabled() const { return _backGroundImage.isScale9Enabled(); }
    void setBackGroundImageCapInsets(const Rect& insets) { _backGroundImage.setCapInsets(insets); }
    const Rect& getBackGroundImageCapInsets() const { return _backGroundImage.getCapInsets(); }

    // Children draw only inside the panel's world bounding box, and touches outside it miss them.
    void setClippingEnabled(bool enabled) { _clippingEnabled = enabled; }
    bool isClippingEnabled() const { return _clippingEnabled; }
    Rect getClippingRect() const;

    void visit(Renderer* renderer, const Mat4& parentTransform, uint32_t parentFlags) override;
    void draw(Renderer* renderer, const Mat4& transform, uint32_t flags) override;

protected:
    Layout();
    Widget* createCloneInstance() const override;
    void copySpecialProperties(const Widget* model) override;

private:
    BackGroundColorType _colorType = BackGroundColorType::NONE;
    Color3B _backGroundColor = Color3B::WHITE;
    GLubyte _backGroundOpacity = 255;
    Picture _backGroundImage;
    bool _clippingEnabled = false;
};

} // namespace engine::ui
