// A picture on the renderer. Its size in points is its pixel size divided by the content scale factor.
#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

#include "base/Geometry.h"
#include "base/Ref.h"

struct SDL_Rect;
struct SDL_Texture;
struct SDL_Surface;

namespace engine {

class Texture2D : public Ref {
public:
    enum class PixelFormat { RGBA8888, BGRA8888 };

    Texture2D();
    ~Texture2D() override;

    // Takes a copy of the surface's pixels. On the software renderer a picture without translucent pixels is kept
    // in the renderer's own pixel format, which it then copies without converting.
    bool initWithSurface(SDL_Surface* surface);
    // Bytes in R, G, B, A order (or B, G, R, A). Re-initialising with the same size reuses the streaming
    // texture, so a video can upload a frame every draw without reallocating.
    bool initWithData(const void* data, ssize_t dataLen, PixelFormat format, int pixelsWide, int pixelsHigh,
                      const Size& contentSizeInPixels);
    // A planar YUV 4:2:0 picture laid out as SDL's IYUV: the Y plane of `pitch` bytes a row, then the U and the V
    // plane of (pitch + 1) / 2 bytes a row and half the rows. Converted once, straight into the streaming texture,
    // in the target's own format; the same size reuses the texture, as initWithData does.
    bool initWithYUV(const void* planes, int pitch, int pixelsWide, int pixelsHigh);
    // Wraps a render target texture (render textures).
    bool initWithTarget(SDL_Texture* target, int pixelsWide, int pixelsHigh);

    int getPixelsWide() const { return _pixelsWide; }
    int getPixelsHigh() const { return _pixelsHigh; }
    Size getContentSizeInPixels() const { return Size(static_cast<float>(_pixelsWide), static_cast<float>(_pixelsHigh)); }
    Size getContentSize() const;

    // Change the pixels only through this class: copies made from them are keyed by the content id.
    SDL_Texture* getSDLTexture() const { return _texture; }
    // A number given to each new content (load, upload), never reused; 0 when the pixels can change without this
    // class knowing (render targets) or there are none.
    uint64_t getContentId() const { return _contentId; }
    // A number renewed whenever the pixels change, render targets drawn into included; drawn frames are compared
    // by it. Code that changes the pixels of the SDL texture itself calls markChanged().
    uint64_t getRevision() const { return _revision; }
    void markChanged();

    // True when every pixel of the region (whole texture pixels) is fully opaque; known for loaded pictures only.
    bool isOpaque(const SDL_Rect& region) const;
    bool isOpaque() const { return _opaque; }

    void setPath(const std::string& path) { _path = path; }
    const std::string& getPath() const { return _path; }

private:
    void releaseTexture();
    // Makes (or keeps, when it has that format and size) the streaming texture and gives it a new content id.
    bool prepareStreaming(uint32_t sdlFormat, int pixelsWide, int pixelsHigh);
    // Scans the surface's alpha: sets _opaque, or keeps one bit per pixel (set = opaque) when only some are.
    void readOpacity(SDL_Surface* surface);

    SDL_Texture* _texture = nullptr;
    bool _ownsTexture = true;
    bool _streaming = false;
    uint64_t _contentId = 0;
    uint64_t _revision = 0;
    bool _opaque = false;
    std::vector<uint64_t> _opaqueBits; // row-major, rows padded to whole words
    struct OpaqueRegion {
        int x, y, w, h;
        bool opaque;
    };
    mutable std::vector<OpaqueRegion> _opaqueRegions; // answers given, a few kept
    int _pixelsWide = 0;
    int _pixelsHigh = 0;
    std::string _path;
};

} // namespace engine
