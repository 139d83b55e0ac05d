// A node backed by a target texture that unparented nodes can be drawn into (the drawing board).
#pragma once

#include <string>

#include "render/Texture2D.h"
#include "scene/Node.h"

namespace engine {

class RenderTexture : public Node {
public:
    // w x h points; the texture is w x h times the content scale factor in pixels, transparent when new.
    // The texture is always R, G, B, A; the format is accepted for the familiar signature.
    static RenderTexture* create(int w, int h, Texture2D::PixelFormat format = Texture2D::PixelFormat::RGBA8888);
    ~RenderTexture() override;

    // Between begin() and end(), visit() of an unparented node draws it into the texture at once, point (x, y)
    // landing at (x, y) of the texture whatever this node's position. A second begin() before end() is refused.
    void begin();
    void beginWithClear(float r, float g, float b, float a);
    void end();
    bool isDrawing() const { return _drawing; }
    // Fills the whole texture with the colour (components 0..1).
    void clear(float r, float g, float b, float a);

    Texture2D* getTexture() const { return _texture; }

    // (ours) A texture pixel, y from the bottom; transparent black when out of range.
    Color4B readPixel(int x, int y);
    // (ours) Writes the texture as a PNG; false on failure.
    bool saveToFile(const std::string& path);

    // Shows the texture stretched over the content size.
    void draw(Renderer* renderer, const Mat4& transform, uint32_t flags) override;

protected:
    RenderTexture();
    bool initWithSize(int w, int h);

    Texture2D* _texture = nullptr;
    bool _drawing = false;
};

} // namespace engine
