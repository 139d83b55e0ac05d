// A check box: a box picture (or fill) with a check mark picture (or fill) drawn while selected.
#pragma once

#include <string>

#include "ui/Picture.h"
#include "ui/Widget.h"

namespace engine::ui {

class CheckBox : public Widget {
public:
    static CheckBox* create();

    // The box picture sets the size while adaptation is on; the selected box shows while pressed.
    void loadTextures(const std::string& box, const std::string& boxSelected, const std::string& check,
                      TextureResType type = TextureResType::LOCAL);
    void loadTextureBackGround(const std::string& file, TextureResType type = TextureResType::LOCAL);
    void loadTextureBackGroundSelected(const std::string& file, TextureResType type = TextureResType::LOCAL);
    void loadTextureFrontCross(const std::string& file, TextureResType type = TextureResType::LOCAL);
    Size getVirtualRendererSize() const { return _box.getSizeInPoints(); }
    // Drawn where there is no picture; the check fill is an inset square.
    void setFillColor(const Color4B& color) { _fillColor = color; }
    void setCheckFillColor(const Color4B& color) { _checkFillColor = color; }

    // A click toggles it (only a touch-enabled box takes clicks).
    void setSelected(bool selected) { _selected = selected; }
    bool isSelected() const { return _selected; }

    void draw(Renderer* renderer, const Mat4& transform, uint32_t flags) override;

protected:
    CheckBox() = default;
    void onReleasedInside() override { _selected = !_selected; }
    bool getContentAdaptSize(Size& size) const override;
    Widget* createCloneInstance() const override;
    void copySpecialProperties(const Widget* model) override;

private:
    Picture _box;
    Picture _boxSelected;
    Picture _check;
    Color4B _fillColor = Color4B(0, 0, 0, 0);
    Color4B _checkFillColor = Color4B(0, 0, 0, 0);
    bool _selected = false;
};

} // namespace engine::ui
