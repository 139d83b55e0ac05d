// A picture on the renderer. Its size in points is its pixel size divided by the content scale factor.
#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>

#include "base/Geometry.h"
#include "base/Ref.h"

struct SDL_Texture;
struct SDL_Surface;

namespace engine {

class Texture2D : public Ref {
public:
    enum class PixelFormat { RGBA8888, BGRA8888 };

    Texture2D();
    ~Texture2D() override;

    // Takes a copy of the surface's pixels.
    bool initWithSurface(SDL_Surface* surface);
    // Bytes in R, G, B, A order (or B, G, R, A). Re-initialising with the same size reuses the streaming
    // texture, so a video can upload a frame every draw without reallocating.
    bool initWithData(const void* data, ssize_t dataLen, PixelFormat format, int pixelsWide, int pixelsHigh,
                      const Size& contentSizeInPixels);
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
    void setPath(const std::string& path) { _path = path; }
    const std::string& getPath() const { return _path; }

private:
    void releaseTexture();

    SDL_Texture* _texture = nullptr;
    bool _ownsTexture = true;
    bool _streaming = false;
    uint64_t _contentId = 0;
    int _pixelsWide = 0;
    int _pixelsHigh = 0;
    std::string _path;
};

} // namespace engine
