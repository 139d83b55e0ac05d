// Draws in design points onto the view's SDL renderer (or a render texture target).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Geometry.h"
#include "render/FrameRecord.h"
#include "render/SoftBlend.h"

struct SDL_Rect;
struct SDL_Vertex;
struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Surface;

namespace engine {

class Texture2D;
class CopyCache;

class Renderer {
public:
    explicit Renderer(SDL_Renderer* renderer, Size targetPixels, float pixelsPerPoint);
    ~Renderer();

    SDL_Renderer* getSDLRenderer() const { return _renderer; }
    float getPixelsPerPoint() const { return _targetStack.back().pixelsPerPoint; }
    void resize(Size targetPixels, float pixelsPerPoint);

    // A frame of the main target: between beginFrame and endFrame the drawing calls aimed at it are recorded, and
    // endFrame draws them (cleared to the colour first) unless they are exactly those of the frame drawn last and
    // nothing else touched the target since; it returns whether it drew. Drawing into render targets happens at
    // once, as outside a frame.
    void beginFrame(const Color4B& clearColor);
    bool endFrame();
    // The next frame is drawn in full: for anything that changes the picture behind the renderer's back (window
    // exposed, settings, a node that must be drawn every frame).
    void invalidate();
    // Drops the prepared copies of pictures at once, for a screen that covers everything drawn so far (they would
    // otherwise age out only after a second of frames, beside the new screen's own).
    void dropCopies();
    // The next frame is drawn again though nothing under its drawing calls changed (the window was exposed, a
    // screenshot waits): unlike invalidate(), a dimmed frame kept from before may be used.
    void redrawFrame() { _invalidated = true; }
    // The pixel format of the main target on the software renderer (textures in it are copied without converting);
    // 0 on a graphics card.
    uint32_t getTargetFormat() const { return _softwareRaster ? _targetFormat : 0; }
    void setTargetFormat(uint32_t format);
    // The pixels of the main target on the software renderer, which the renderer then blends translucent pictures
    // and colours into itself; null leaves all drawing to SDL. Handed again before every frame: another surface
    // (a window's after a size change) is taken and the next frame drawn in full.
    void setTargetSurface(SDL_Surface* surface);
    void present();

    // A textured quad: the source rectangle (texture pixels) stretched over [0, size] of the node space.
    void drawTexture(Texture2D* texture, const Rect& sourcePixels, const Mat4& transform, const Size& size,
                     const Color4B& color, const BlendFunc& blend = BlendFunc::ALPHA_PREMULTIPLIED);
    void drawSolidRect(const Mat4& transform, const Rect& rect, const Color4B& color);
    void drawRectOutline(const Mat4& transform, const Rect& rect, const Color4B& color, float widthPoints);
    // A line as a quad of the given width in points (node space).
    void drawLine(const Mat4& transform, const Vec2& from, const Vec2& to, float widthPoints, const Color4B& color);
    void drawSolidPolygon(const Mat4& transform, const std::vector<Vec2>& points, const Color4B& color);
    void drawSolidPolygon(const Mat4& transform, const Vec2* points, size_t count, const Color4B& color);
    void drawDot(const Mat4& transform, const Vec2& center, float radius, const Color4B& color);
    // Clears the axis-aligned box of the quad to transparent (the eraser).
    void eraseRect(const Mat4& transform, const Size& size);

    // Clipping in world points; nested clips intersect.
    void pushClipRect(const Rect& worldRect);
    void popClipRect();

    // Render targets (render textures): point (x, y) lands at (x, y) of the target.
    bool pushTarget(SDL_Texture* target, Size targetPoints, float pixelsPerPoint);
    void popTarget();

    // True when the box [0, size] under the transform lies at least partly in the visible window.
    static bool checkVisibility(const Mat4& transform, const Size& size);

    // Read-back of the current main target, RGBA bytes, top row first.
    bool readPixels(std::vector<uint8_t>& rgba, int& width, int& height);
    bool savePNG(const std::string& path);

    // On the software renderer, textured quads take faster roads with the same pictures: a rotated one without a
    // tint is blitted by SDL_RenderCopyEx instead of the triangle rasteriser, a tint that stays the same is drawn
    // from a tinted copy of the texture, an opaque region is copied without blending and, when stretched the same
    // way frame after frame, from a copy stretched once, and an opaque upright rectangle of colour on whole pixels
    // is filled rather than rasterised. Tests switch them off to compare with the plain road.
    void setShortcutsEnabled(bool enabled);
    // With the shortcuts, translucent pictures and colour rectangles upright on the main target are blended by
    // SoftBlend instead of SDL, and a frame under a full-window translucent colour that did not change is not drawn
    // again; off, SDL blends them (the pictures are the same to the bit).
    void setSoftBlendEnabled(bool enabled);
    struct Stats {
        uint64_t rotatedCopies = 0;    // quads drawn with SDL_RenderCopyEx
        uint64_t tintedCopyDraws = 0;  // quads drawn from a tinted copy
        uint64_t tintedCopiesMade = 0; // copies made (the cache holds at most kCopyBudgetBytes of them)
        size_t tintedCopyBytes = 0;    // all copies, tinted and stretched
        uint64_t opaqueCopies = 0;     // quads copied without blending
        uint64_t scaledCopyDraws = 0;  // quads drawn from a stretched copy
        uint64_t opaqueFills = 0;      // opaque rectangles filled without the rasteriser
        uint64_t softPictures = 0;     // translucent pictures blended by SoftBlend
        uint64_t softColours = 0;      // translucent colour rectangles blended by SoftBlend
        uint64_t dimmedReuses = 0;     // frames drawn on the kept frame under a full-window translucent colour
        uint64_t clearsSkipped = 0;    // frames whose first drawing covers the window opaquely
        uint64_t framesDrawn = 0;
        uint64_t framesSkipped = 0; // frames that were those drawn last
    };
    Stats getStats() const;
    static constexpr size_t kCopyBudgetBytes = 32 * 1024 * 1024;

private:
    struct Target {
        SDL_Texture* texture = nullptr;
        Size pixels;
        float pixelsPerPoint = 1.f;
    };
    // World point to target pixel (y flipped).
    void toPixels(const Mat4& transform, const Vec2& p, float& px, float& py) const;
    void applyClip();
    // Draws the quad with SDL_RenderCopyEx when it is a rectangle on screen; false when it is not.
    bool copyRotated(SDL_Texture* texture, const SDL_Rect& sourcePixels, const float (&xs)[4], const float (&ys)[4]);
    // True while calls aimed at the main target are recorded rather than drawn.
    bool recording() const { return _recording && _targetStack.size() == 1; }
    // A drawing call went to the main target outside a frame.
    void touchedMainTarget();
    void drawTextureNow(Texture2D* texture, const Rect& src, const Mat4& transform, const Size& size,
                        const Color4B& color, const BlendFunc& blend);
    void drawSolidPolygonNow(const Mat4& transform, const Vec2* points, size_t count, const Color4B& color);
    // Fills an opaque upright rectangle on whole pixels without the rasteriser; false when the corners are not one.
    bool fillOpaqueRect(const SDL_Vertex* corners, size_t count);
    // A translucent picture upright on the main target through SoftBlend; false leaves it to SDL.
    bool blendPicture(Texture2D* texture, SDL_Texture* drawn, const uint32_t* copyPixels, const SDL_Rect& region,
                      const Color4B& modulation, const float (&xs)[4], const float (&ys)[4]);
    // A translucent colour rectangle through SoftBlend; false leaves it to SDL.
    bool blendColour(const SDL_Vertex* corners, size_t count, const Color4B& color);
    // The clip rectangle (there must be one) and the target's pixels inside it.
    SDL_Rect clipPixels() const;
    SDL_Rect visiblePixels() const;
    SoftBlend::Pixels surfacePixels() const;
    // The polygon's corners on the target.
    void polygonPixels(const Mat4& transform, const Vec2* points, size_t count);
    // The last full-window translucent colour outside clips of the frame, or kNoMask.
    size_t findMask(const FrameRecord& frame);
    // True when the command paints every pixel of the main target opaquely (no clearing needed under it).
    bool paintsTarget(const FrameRecord& frame, const FrameRecord::Command& command);
    bool coversTarget(const SDL_Rect& rect) const;
    void keepDimmed();
    void putBackDimmed();
    static constexpr size_t kNoMask = ~size_t{0};
    void eraseRectNow(const Mat4& transform, const Size& size);
    void pushClipRectNow(const Rect& worldRect);
    void popClipRectNow();
    void replay(const FrameRecord& frame);

    SDL_Renderer* _renderer = nullptr;
    std::vector<Target> _targetStack;
    std::vector<Rect> _clipStack;
    bool _softwareRaster = false;
    bool _shortcuts = false;
    uint32_t _targetFormat = 0;
    std::unique_ptr<CopyCache> _copyCache;
    std::unique_ptr<SoftBlend> _softBlend;
    bool _softBlendEnabled = true;
    SDL_Surface* _surface = nullptr;
    // _surface's pixels and size as it was handed.
    void* _surfacePixels = nullptr;
    int _surfaceWidth = 0, _surfaceHeight = 0;
    std::vector<uint32_t> _dimmed; // the target right after the last frame's full-window translucent colour
    std::vector<SDL_Vertex> _vertices;
    std::vector<int> _indices;
    Stats _stats;
    bool _recording = false;
    bool _invalidated = true;
    FrameRecord _frame;     // being recorded
    FrameRecord _lastDrawn; // compared by value only: its textures may be gone
};

} // namespace engine
