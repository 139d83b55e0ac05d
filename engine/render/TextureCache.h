// Textures keyed by full path, loaded at once or decoded on a worker thread.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/InputLimits.h"
#include "base/Ref.h"

struct SDL_Surface;

namespace engine {

class Texture2D;

class TextureCache : public Ref {
public:
    TextureCache();
    ~TextureCache() override;

    // Null (logged) when missing or undecodable. A file that cannot be used (not a picture, or one ImageDecoder
    // refuses, maxSide its side cap) gives way to the next file of that name through the search paths, so a
    // pack's broken picture leaves the program's own; the texture is then kept under that file's path. A cached
    // texture whose picture was larger than maxSide is refused as its file would be. keptSide > 0 keeps the
    // picture scaled down to fit that square. A path once asked for with a smaller cap or a kept side keeps them
    // for later calls that give none, so a small picture dropped from the cache comes back small.
    Texture2D* addImage(const std::string& path, int maxSide = limits::kPictureSide, int keptSide = 0);
    // As addImage, decoded (and scaled) on the worker thread. The callback runs on the main thread; at once
    // (inside the call) when cached or refused by its cached size; with null on failure.
    void addImageAsync(const std::string& path, const std::function<void(Texture2D*)>& callback,
                       int maxSide = limits::kPictureSide, int keptSide = 0);
    void unbindImageAsync(const std::string& path);
    void unbindAllImageAsync();
    Texture2D* getTextureForKey(const std::string& path) const;
    void removeTextureForKey(const std::string& path);
    // Drops the textures whose only reference is the cache; returns their paths with their longer sides.
    std::vector<std::pair<std::string, int>> removeUnusedTextures();
    // The same, but the unused pictures last seen in use keep their place up to kKeptUnusedBytes of pixels, so a
    // screen entered again (the lecture road's sign-in, grouping and lesson) does not decode them again.
    void trimUnusedTextures();
    static constexpr size_t kKeptUnusedBytes = 24u << 20;
    void setKeptUnusedBytes(size_t bytes) { _keptUnusedBytes = bytes; }
    void removeAllTextures();
    size_t getTextureCount() const { return _textures.size(); }
    // Loads asked with addImageAsync whose callback has not run yet.
    size_t getAsyncLoadCount() const { return _pendingCallbacks.size(); }
    // Stops the decoder thread; pending loads are dropped.
    void waitForQuit();

private:
    struct AsyncJob {
        std::vector<std::string> fullPaths; // every file of the name through the search paths, in order
        std::string key;
        uint64_t id = 0;
        int maxSide = limits::kPictureSide;
        int keptSide = 0;
    };
    // The caps a path is decoded under: the smallest asked for it so far.
    struct Use {
        int maxSide = limits::kPictureSide;
        int keptSide = 0;
    };
    Use useOf(const std::string& path, int maxSide, int keptSide);
    // False (logged) when the picture cached under fullPath was larger than maxSide.
    bool fits(const std::string& fullPath, int maxSide) const;
    void workerLoop();
    std::string resolve(const std::string& path) const;
    std::vector<std::string> candidates(const std::string& path) const;
    // Makes the texture, frees the surface and caches the texture under fullPath; null when it cannot be made.
    Texture2D* keep(SDL_Surface* surface, const std::string& fullPath, int sourceSide);

    std::map<std::string, Texture2D*> _textures;
    // By path: the longer side of the picture as decoded, before any scaling.
    std::map<std::string, int> _sourceSides;
    // By path as asked: the caps of a small use.
    std::map<std::string, Use> _uses;
    // By path: the count of trims when the texture was last seen in use (or made).
    std::map<std::string, uint64_t> _lastInUse;
    uint64_t _trims = 0;
    size_t _keptUnusedBytes = kKeptUnusedBytes;
    std::map<uint64_t, std::pair<std::string, std::function<void(Texture2D*)>>> _pendingCallbacks;
    uint64_t _nextJobId = 1;

    std::thread _worker;
    std::mutex _mutex;
    std::condition_variable _condition;
    std::deque<AsyncJob> _jobs;
    bool _quit = false;
};

} // namespace engine
