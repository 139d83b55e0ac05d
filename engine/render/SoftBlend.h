// Translucent drawing on the software renderer by our own vector loops (SSE2, or AVX2 where the CPU has it,
// chosen at start-up), giving exactly the pixels SDL's blitters give: translucent pictures copied 1:1, stretched
// or modulated, and translucent colour rectangles. Each case checks itself against SDL's blit on first use and,
// when the two differ, says no and the caller takes SDL's road.
#pragma once

#include <cstdint>
#include <vector>

struct SDL_Rect;

namespace engine {

class SoftBlend {
public:
    // What a case blends: a picture 1:1 in the target's format or the other byte order, a stretched or modulated
    // picture, a colour.
    enum class Case : uint8_t { SameFormat, OtherFormat, Divided, Colour, Count };

    // 32-bit pixels with alpha in the top byte; pitch in pixels.
    struct Pixels {
        uint32_t* data = nullptr;
        int pitch = 0;
        int width = 0, height = 0;
    };
    struct Picture {
        const uint32_t* data = nullptr; // the region's top left pixel, in the target's channel order
        int pitch = 0;
        int width = 0, height = 0;
        uint32_t format = 0; // SDL's format of the texture the pixels come from
    };

    explicit SoftBlend(uint32_t targetFormat);

    // True when pictures of that SDL format can be blended onto the target (both 8888 with alpha, either order).
    bool supports(uint32_t pictureFormat) const;
    // The case a picture takes: 1:1 without modulation in its own or the other byte order, else Divided.
    Case caseFor(uint32_t pictureFormat, bool stretchedOrModulated) const;
    // True when the case matched SDL on its first use (checked then, once).
    bool ready(Case which, uint32_t pictureFormat);

    // The picture stretched over `rect` (target pixels) with SDL's sampling, modulated by `modulation` (target
    // channel order, alpha on top; white leaves it), blended where `rect` meets `visible`.
    void blendPicture(const Pixels& target, const SDL_Rect& rect, const SDL_Rect& visible, const Picture& picture,
                      uint32_t modulation, Case which);
    // The colour (target channel order, alpha 1 to 254) blended over `rect` where it meets `visible`.
    void blendColour(const Pixels& target, const SDL_Rect& rect, const SDL_Rect& visible, uint32_t colour);

    // A colour in the target's channel order.
    uint32_t mapColour(uint8_t r, uint8_t g, uint8_t b, uint8_t a) const;
    uint32_t getTargetFormat() const { return _targetFormat; }

    static bool hasAvx2();
    // Tests: the AVX2 loops off (or on again where the CPU has them); results of earlier checks are kept.
    static void useAvx2(bool use);
    // Tests: every check from now on sees a one-level difference from SDL, as a fault in the loops would show.
    static void setMismatchForTesting(bool mismatch);

private:
    struct Check {
        Case which;
        uint32_t format;
        bool passed;
    };
    bool runCheck(Case which, uint32_t pictureFormat);

    uint32_t _targetFormat = 0;
    std::vector<Check> _checks;
    std::vector<uint32_t> _row; // a stretched row of the source
    std::vector<int> _columns;  // the source column of each target column
};

} // namespace engine
