// Copies of texture regions prepared for the software renderer: with a colour and opacity already multiplied in
// (it blends such a copy about six times faster than it modulates the original while drawing), or, for opaque
// regions, already stretched to the size they are drawn at (a plain row copy instead of a stretch every frame).
// Only what stays the same from frame to frame gets a copy; a fade or a growing picture is not worth one. Where
// the renderer blends pictures itself (SoftBlend), copies also keep their pixels, and whole pictures get a copy
// of their pixels alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "base/Geometry.h"

struct SDL_Rect;
struct SDL_Renderer;
struct SDL_Texture;

namespace engine {

class Texture2D;

class CopyCache {
public:
    // A copy is made once a tint has been asked for on this many frames in a row.
    static constexpr uint64_t kSteadyFrames = 3;
    // Copies and candidates not asked for in this many frames are dropped.
    static constexpr uint64_t kKeepFrames = 60;

    CopyCache(SDL_Renderer* renderer, size_t budgetBytes);
    ~CopyCache();
    CopyCache(const CopyCache&) = delete;
    CopyCache& operator=(const CopyCache&) = delete;

    // Starts a frame and drops what was not used lately.
    void beginFrame();
    // The copy of the texture's region (whole pixels) with the tint multiplied in, or null when the tint is not
    // steady yet, the texture cannot be copied (render targets) or the copy does not fit the budget. The copy is the
    // size of the region. Making one switches the SDL render target for a moment; the target and its clip
    // rectangle are put back.
    SDL_Texture* find(const Texture2D* texture, const SDL_Rect& region, const Color4B& tint,
                      const uint32_t** pixels = nullptr);
    // The opaque region stretched to width x height pixels, as the renderer stretches it; null as for find().
    SDL_Texture* findScaled(const Texture2D* texture, const SDL_Rect& region, int width, int height);
    // With a format set, copies keep their pixels in it (`pixels` of find(), rows of the copy's width) and
    // findPixels() serves; 0 (the default) keeps none.
    void setPixelFormat(uint32_t format);
    // The texture's pixels in that format, rows of its width, once it has been asked for on kSteadyFrames frames in a
    // row; null before, and for textures that cannot be copied.
    const uint32_t* findPixels(const Texture2D* texture);
    void clear();

    size_t getCopyCount() const { return _copyCount; }
    size_t getBytes() const { return _bytes; }
    uint64_t getCopiesMade() const { return _copiesMade; }

private:
    struct Key {
        uint64_t contentId;
        uint32_t tint;
        int x, y, w, h;
        int width, height; // of the copy
        bool operator==(const Key& o) const {
            return contentId == o.contentId && tint == o.tint && x == o.x && y == o.y && w == o.w && h == o.h &&
                   width == o.width && height == o.height;
        }
    };
    struct KeyHash {
        size_t operator()(const Key& k) const {
            const auto pair = [](int a, int b) {
                return static_cast<uint64_t>(static_cast<uint32_t>(a)) << 32 | static_cast<uint32_t>(b);
            };
            uint64_t h = k.contentId;
            for (const uint64_t part :
                 {static_cast<uint64_t>(k.tint), pair(k.x, k.y), pair(k.w, k.h), pair(k.width, k.height)}) {
                h = (h ^ part) * 0x9E3779B97F4A7C15ull;
            }
            return std::hash<uint64_t>()(h);
        }
    };
    struct Entry {
        SDL_Texture* copy = nullptr;
        std::vector<uint32_t> pixels;
        size_t bytes = 0;
        uint64_t firstFrame = 0; // first of the run of frames in a row the tint was asked for
        uint64_t lastFrame = 0;
    };

    Entry* lookUp(const Texture2D* texture, const SDL_Rect& region, const Color4B& tint, int width, int height,
                  bool pixelsOnly);
    // The copy with its pixels when a format is set; with `pixelsOnly`, the pixels without the copy.
    bool makeCopy(Entry& entry, const Texture2D* texture, const SDL_Rect& region, const Color4B& tint, int width,
                  int height, bool pixelsOnly);
    // Drops the least recently used copies, but none drawn in this frame or the last, until `bytes` more fit the
    // budget; false when they cannot.
    bool makeRoom(size_t bytes);
    void drop(Entry& entry);

    SDL_Renderer* _renderer = nullptr;
    size_t _budget = 0;
    size_t _bytes = 0;
    size_t _copyCount = 0;
    uint64_t _copiesMade = 0;
    uint64_t _frame = 1;
    uint32_t _pixelFormat = 0;
    std::unordered_map<Key, Entry, KeyHash> _entries;
};

} // namespace engine
