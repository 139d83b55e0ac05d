// A picture node. Its content size follows its texture (pixels / content scale factor).
#pragma once

#include <string>

#include "render/Texture2D.h"
#include "scene/Node.h"
#include "scene/SpriteFrame.h"

namespace engine {

class Sprite : public Node {
public:
    // Null when the file is missing or cannot be decoded.
    static Sprite* create(const std::string& filename);
    // A sub-rectangle in points of the picture, clipped to it and stretched over the rectangle's size.
    static Sprite* create(const std::string& filename, const Rect& rect);
    static Sprite* create();
    static Sprite* createWithTexture(Texture2D* texture);
    static Sprite* createWithSpriteFrame(SpriteFrame* frame);

    bool init() override;
    virtual bool initWithTexture(Texture2D* texture);
    virtual bool initWithFile(const std::string& filename);
    ~Sprite() override;

    virtual void setTexture(Texture2D* texture);
    void setTexture(const std::string& filename);
    Texture2D* getTexture() const { return _texture; }
    // Source rectangle in texture pixels.
    void setTextureRectInPixels(const Rect& rect);
    const Rect& getTextureRectInPixels() const { return _rectInPixels; }
    void setSpriteFrame(SpriteFrame* frame);
    SpriteFrame* getSpriteFrame() const;

    void setBlendFunc(const BlendFunc& blend) { _blendFunc = blend; }
    const BlendFunc& getBlendFunc() const { return _blendFunc; }
    void setFlippedX(bool flipped) { _flippedX = flipped; }
    void setFlippedY(bool flipped) { _flippedY = flipped; }

    void draw(Renderer* renderer, const Mat4& transform, uint32_t flags) override;

protected:
    Sprite();

    Texture2D* _texture = nullptr;
    Rect _rectInPixels;
    BlendFunc _blendFunc = BlendFunc::ALPHA_PREMULTIPLIED;
    bool _flippedX = false, _flippedY = false;
};

} // namespace engine
