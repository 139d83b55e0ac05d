// Upload of one 1280x720 RGBA video frame into a streaming texture, as the video sprite does every draw.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "render/Texture2D.h"
#include "support/Headless.h"

using namespace engine;

int main() {
    constexpr int kWidth = 1280, kHeight = 720, kIterations = 500;
    support::startHeadless(Size(kWidth, kHeight));
    {
        std::vector<uint8_t> frame(static_cast<size_t>(kWidth) * kHeight * 4);
        for (size_t i = 0; i < frame.size(); ++i) {
            frame[i] = static_cast<uint8_t>(i * 7);
        }
        auto* texture = new Texture2D();
        const Size pixels(kWidth, kHeight);
        // The first call makes the streaming texture; the timed ones reuse it.
        texture->initWithData(frame.data(), static_cast<ssize_t>(frame.size()), Texture2D::PixelFormat::RGBA8888,
                              kWidth, kHeight, pixels);
        double total = 0;
        int failed = 0;
        for (int i = 0; i < kIterations; ++i) {
            frame[static_cast<size_t>(i) * 4] ^= 0xff; // a new frame each time
            const auto start = std::chrono::steady_clock::now();
            failed += texture->initWithData(frame.data(), static_cast<ssize_t>(frame.size()),
                                            Texture2D::PixelFormat::RGBA8888, kWidth, kHeight, pixels)
                          ? 0
                          : 1;
            total += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        }
        texture->release();
        std::printf("stream texture upload (%dx%d RGBA, %d iterations): mean %.3f ms (goal < 1 ms)%s\n", kWidth,
                    kHeight, kIterations, total / kIterations, failed ? ", some uploads failed" : "");
    }
    support::stopHeadless();
    return 0;
}
