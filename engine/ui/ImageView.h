// A picture widget; the placeholder box when its file is missing.
#pragma once

#include <string>

#include "ui/Picture.h"
#include "ui/Widget.h"

namespace engine::ui {

class ImageView : public Widget {
public:
    // Adaptation on: the size is the picture's size in points.
    static ImageView* create(const std::string& file = "", TextureResType type = TextureResType::LOCAL);

    // An absolute or search-path name. A missing file logs, keeps the size and draws the placeholder; an empty
    // name clears the picture.
    void loadTexture(const std::string& file, TextureResType type = TextureResType::LOCAL);
    const std::string& getTextureFile() const { return _picture.getFile(); }
    // The picture's size in points (pixels / content scale factor); zero without one.
    Size getVirtualRendererSize() const { return _picture.getSizeInPoints(); }

    void setScale9Enabled(bool enabled) { _picture.setScale9Enabled(enabled); }
    bool isScale9Enabled() const { return _picture.isScale9Enabled(); }
    // The stretched centre in picture pixels, origin top-left; Rect::ZERO = a third of each side.
    void setCapInsets(const Rect& insets) { _picture.setCapInsets(insets); }
    const Rect& getCapInsets() const { return _picture.getCapInsets(); }

    void draw(Renderer* renderer, const Mat4& transform, uint32_t flags) override;

protected:
    ImageView() = default;
    bool getContentAdaptSize(Size& size) const override;
    Widget* createCloneInstance() const override;
    void copySpecialProperties(const Widget* model) override;

private:
    Picture _picture;
};

} // namespace engine::ui
