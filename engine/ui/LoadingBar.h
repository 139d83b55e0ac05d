// A progress bar: shows the part of its picture (or fill) up to the percent, cut rather than squeezed.
#pragma once

#include <string>

#include "ui/Picture.h"
#include "ui/Widget.h"

namespace engine::ui {

class LoadingBar : public Widget {
public:
    // LEFT fills from the left edge, RIGHT from the right edge.
    enum class Direction { LEFT, RIGHT };

    static LoadingBar* create(const std::string& file = "", float percent = 0.f);

    void loadTexture(const std::string& file, TextureResType type = TextureResType::LOCAL);
    const std::string& getTextureFile() const { return _picture.getFile(); }
    Size getVirtualRendererSize() const { return _picture.getSizeInPoints(); }
    // Drawn when there is no picture.
    void setFillColor(const Color4B& color) { _fillColor = color; }
    const Color4B& getFillColor() const { return _fillColor; }

    // Clamped to 0..100.
    void setPercent(float percent);
    float getPercent() const { return _percent; }
    void setDirection(Direction direction) { _direction = direction; }
    Direction getDirection() const { return _direction; }

    void draw(Renderer* renderer, const Mat4& transform, uint32_t flags) override;

protected:
    LoadingBar() = default;
    bool getContentAdaptSize(Size& size) const override;
    Widget* createCloneInstance() const override;
    void copySpecialProperties(const Widget* model) override;

private:
    Picture _picture;
    Color4B _fillColor = Color4B(0, 0, 0, 0);
    float _percent = 0.f;
    Direction _direction = Direction::LEFT;
};

} // namespace engine::ui
