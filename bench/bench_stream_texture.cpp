// Upload of one 1280x720 video frame into a streaming texture, as the video sprite does for each new picture: an
// RGBA frame copied in (initWithData), a planar YUV 4:2:0 frame converted in (initWithYUV, what the sprite does),
// and, for comparison, the same YUV frame through an SDL IYUV texture, which keeps its own copy of the planes and
// converts on update. Then the copy of the uploaded texture onto the software target, as the sprite draws it. As the
// machine is and again with 8 busy processes sharing the CPUs.
#include <SDL.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

#include "BenchFrames.h"
#include "base/Director.h"
#include "render/Renderer.h"
#include "render/Texture2D.h"
#include "support/Headless.h"

using namespace engine;

namespace {

constexpr int kWidth = 1280, kHeight = 720, kIterations = 500;

// Runs the work kIterations times after one untimed call; prints the spread of the timed calls.
void time(const char* what, bool loaded, const std::function<bool(int)>& work) {
    bool ok = work(0);
    bench::Times times;
    for (int i = 1; i <= kIterations; ++i) {
        times.time([&] { ok = work(i) && ok; });
    }
    bench::printTimes(what, loaded, times, 0, 3);
    if (!ok) {
        std::printf("  (some calls failed)\n");
    }
}

// Every upload and copy timed, printed for this run.
void measure(bool loaded) {
    std::vector<uint8_t> rgba(static_cast<size_t>(kWidth) * kHeight * 4);
    for (size_t i = 0; i < rgba.size(); ++i) {
        rgba[i] = static_cast<uint8_t>(i * 7);
    }
    // Y, then U and V at half the width and height, as libvlc hands them to the sprite.
    const size_t lumaBytes = static_cast<size_t>(kWidth) * kHeight, chromaBytes = lumaBytes / 4;
    std::vector<uint8_t> yuv(lumaBytes + 2 * chromaBytes);
    for (size_t i = 0; i < yuv.size(); ++i) {
        yuv[i] = static_cast<uint8_t>(16 + i * 13 % 220);
    }
    const Size pixels(kWidth, kHeight);
    auto* texture = new Texture2D();
    time("RGBA copied in (initWithData)", loaded, [&](int i) {
        rgba[static_cast<size_t>(i) * 4] ^= 0xff; // a new frame each time
        return texture->initWithData(rgba.data(), static_cast<ssize_t>(rgba.size()), Texture2D::PixelFormat::RGBA8888,
                                     kWidth, kHeight, pixels);
    });
    texture->release();

    texture = new Texture2D();
    time("YUV 4:2:0 converted in (initWithYUV)", loaded, [&](int i) {
        yuv[static_cast<size_t>(i)] ^= 0xff;
        return texture->initWithYUV(yuv.data(), kWidth, kWidth, kHeight);
    });
    Renderer* renderer = Director::getInstance()->getRenderer();
    SDL_Renderer* sdl = renderer->getSDLRenderer();
    const SDL_Rect whole{0, 0, kWidth, kHeight};
    time("the converted texture copied onto the target", loaded, [&](int) {
        SDL_SetTextureBlendMode(texture->getSDLTexture(), SDL_BLENDMODE_NONE);
        return SDL_RenderCopy(sdl, texture->getSDLTexture(), &whole, &whole) == 0 && SDL_RenderFlush(sdl) == 0;
    });
    texture->release();

    SDL_Texture* iyuv = SDL_CreateTexture(sdl, SDL_PIXELFORMAT_IYUV, SDL_TEXTUREACCESS_STREAMING, kWidth, kHeight);
    const uint8_t* u = yuv.data() + lumaBytes;
    const uint8_t* v = u + chromaBytes;
    time("YUV through an SDL IYUV texture", loaded, [&](int i) {
        yuv[static_cast<size_t>(i)] ^= 0xff;
        return iyuv && SDL_UpdateYUVTexture(iyuv, nullptr, yuv.data(), kWidth, u, kWidth / 2, v, kWidth / 2) == 0;
    });
    time("the IYUV texture copied onto the target", loaded, [&](int) {
        SDL_SetTextureBlendMode(iyuv, SDL_BLENDMODE_NONE);
        return SDL_RenderCopy(sdl, iyuv, &whole, &whole) == 0 && SDL_RenderFlush(sdl) == 0;
    });
    if (iyuv) {
        SDL_DestroyTexture(iyuv);
    }
}

} // namespace

int main() {
    support::startHeadless(Size(kWidth, kHeight));
    std::printf("one %dx%d video frame a call, %d calls a run (goal: upload and draw < 1 ms)\n", kWidth, kHeight,
                kIterations);
    bench::printMachineLoad("at the start");
    bench::printTimesHeader("per frame (ms)");
    bench::quietThenLoaded(measure);
    bench::printMachineLoad("at the end");
    support::stopHeadless();
    return 0;
}
