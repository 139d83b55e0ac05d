#include "render/TextureCache.h"

#include <SDL.h>

#include <algorithm>
#include <functional>
#include <utility>

#include "base/Director.h"
#include "base/Log.h"
#include "base/Scheduler.h"
#include "platform/FileUtils.h"
#include "door/PictureDoor.h"
#include "render/ImageDecoder.h"
#include "render/Texture2D.h"

namespace engine {

namespace {
// The decoded picture scaled to fit keptSide; sourceSide its longer side as the file holds it.
SDL_Surface* decode(const std::string& fullPath, const std::string& first, int maxSide, int keptSide,
                    int& sourceSide) {
    SDL_Surface* surface = ImageDecoder::load(fullPath, maxSide);
    if (!surface) {
        log("cannot decode image: %s", fullPath.c_str());
        return nullptr;
    }
    if (fullPath != first) {
        log("image %s used instead of %s", fullPath.c_str(), first.c_str());
    }
    sourceSide = std::max(surface->w, surface->h);
    return door::fitWithin(surface, keptSide);
}

// The first of the files that decodes, with its path; a file that cannot be used gives way to the next one.
SDL_Surface* decodeFirstOf(const std::vector<std::string>& fullPaths, int maxSide, int keptSide, std::string& used,
                           int& sourceSide) {
    for (const std::string& fullPath : fullPaths) {
        if (SDL_Surface* surface = decode(fullPath, fullPaths.front(), maxSide, keptSide, sourceSide)) {
            used = fullPath;
            return surface;
        }
    }
    return nullptr;
}
} // namespace

TextureCache::TextureCache() = default;

TextureCache::~TextureCache() {
    waitForQuit();
    removeAllTextures();
}

std::string TextureCache::resolve(const std::string& path) const {
    if (path.empty()) {
        return {};
    }
    return FileUtils::getInstance()->fullPathForFilename(path);
}

std::vector<std::string> TextureCache::candidates(const std::string& path) const {
    return path.empty() ? std::vector<std::string>{} : FileUtils::getInstance()->fullPathsForFilename(path);
}

Texture2D* TextureCache::getTextureForKey(const std::string& path) const {
    auto it = _textures.find(path);
    if (it != _textures.end()) {
        return it->second;
    }
    const std::string full = resolve(path);
    it = _textures.find(full);
    return it == _textures.end() ? nullptr : it->second;
}

TextureCache::Use TextureCache::useOf(const std::string& path, int maxSide, int keptSide) {
    Use& use = _uses[path];
    use.maxSide = std::min(use.maxSide, maxSide);
    if (keptSide > 0 && (use.keptSide == 0 || keptSide < use.keptSide)) {
        use.keptSide = keptSide;
    }
    if (use.maxSide == limits::kPictureSide && use.keptSide == 0) {
        _uses.erase(path);
        return {};
    }
    return use;
}

bool TextureCache::fits(const std::string& fullPath, int maxSide) const {
    auto it = _sourceSides.find(fullPath);
    if (it == _sourceSides.end() || it->second <= maxSide) {
        return true;
    }
    log("image of side %d is larger than %d: %s", it->second, maxSide, fullPath.c_str());
    return false;
}

Texture2D* TextureCache::addImage(const std::string& path, int maxSide, int keptSide) {
    const std::string full = resolve(path);
    if (full.empty()) {
        log("image not found: %s", path.c_str());
        return nullptr;
    }
    const Use use = useOf(path, maxSide, keptSide);
    auto it = _textures.find(full);
    if (it != _textures.end()) {
        return fits(full, use.maxSide) ? it->second : nullptr;
    }
    const std::vector<std::string> fullPaths = candidates(path);
    for (const std::string& fullPath : fullPaths) {
        it = _textures.find(fullPath);
        if (it != _textures.end()) {
            return fits(fullPath, use.maxSide) ? it->second : nullptr;
        }
        int sourceSide = 0;
        if (SDL_Surface* surface = decode(fullPath, fullPaths.front(), use.maxSide, use.keptSide, sourceSide)) {
            return keep(surface, fullPath, sourceSide);
        }
    }
    return nullptr;
}

Texture2D* TextureCache::keep(SDL_Surface* surface, const std::string& fullPath, int sourceSide) {
    auto* texture = new Texture2D();
    const bool ok = texture->initWithSurface(surface);
    SDL_FreeSurface(surface);
    if (!ok) {
        texture->release();
        return nullptr;
    }
    texture->setPath(fullPath);
    _textures[fullPath] = texture;
    _sourceSides[fullPath] = sourceSide;
    _lastInUse[fullPath] = _trims;
    return texture;
}

void TextureCache::addImageAsync(const std::string& path, const std::function<void(Texture2D*)>& callback,
                                 int maxSide, int keptSide) {
    const std::string full = resolve(path);
    const Use use = useOf(path, maxSide, keptSide);
    if (!full.empty()) {
        auto it = _textures.find(full);
        if (it != _textures.end()) {
            Texture2D* texture = fits(full, use.maxSide) ? it->second : nullptr;
            if (callback) {
                callback(texture);
            }
            return;
        }
    }
    const uint64_t id = _nextJobId++;
    _pendingCallbacks[id] = {path, callback};
    if (full.empty()) {
        log("image not found: %s", path.c_str());
        // Still answered, with null, in a later frame.
        Director::getInstance()->getScheduler()->performFunctionInMainThread([this, id]() {
            auto it = _pendingCallbacks.find(id);
            if (it == _pendingCallbacks.end()) {
                return;
            }
            auto callback = it->second.second;
            _pendingCallbacks.erase(it);
            if (callback) {
                callback(nullptr);
            }
        });
        return;
    }
    {
        std::lock_guard<std::mutex> lock(_mutex);
        if (!_worker.joinable()) {
            _quit = false;
            _worker = std::thread(&TextureCache::workerLoop, this);
        }
        _jobs.push_back({candidates(path), path, id, use.maxSide, use.keptSide});
    }
    _condition.notify_one();
}

void TextureCache::workerLoop() {
    for (;;) {
        AsyncJob job;
        {
            std::unique_lock<std::mutex> lock(_mutex);
            _condition.wait(lock, [this] { return _quit || !_jobs.empty(); });
            if (_quit) {
                return;
            }
            job = _jobs.front();
            _jobs.pop_front();
        }
        std::string used;
        int sourceSide = 0;
        SDL_Surface* surface = decodeFirstOf(job.fullPaths, job.maxSide, job.keptSide, used, sourceSide);
        Director::getInstance()->getScheduler()->performFunctionInMainThread([this, job, surface, used,
                                                                              sourceSide]() {
            Texture2D* texture = nullptr;
            const std::string path = surface || job.fullPaths.empty() ? used : job.fullPaths.front();
            auto existing = _textures.find(path);
            if (existing != _textures.end()) {
                texture = fits(path, job.maxSide) ? existing->second : nullptr;
                if (surface) {
                    SDL_FreeSurface(surface);
                }
            } else if (surface) {
                texture = keep(surface, used, sourceSide);
            }
            auto it = _pendingCallbacks.find(job.id);
            if (it == _pendingCallbacks.end()) {
                return;
            }
            auto callback = it->second.second;
            _pendingCallbacks.erase(it);
            if (callback) {
                callback(texture);
            }
        });
    }
}

void TextureCache::unbindImageAsync(const std::string& path) {
    for (auto it = _pendingCallbacks.begin(); it != _pendingCallbacks.end();) {
        if (it->second.first == path) {
            it = _pendingCallbacks.erase(it);
        } else {
            ++it;
        }
    }
}

void TextureCache::unbindAllImageAsync() {
    _pendingCallbacks.clear();
}

void TextureCache::removeTextureForKey(const std::string& path) {
    auto it = _textures.find(path);
    if (it == _textures.end()) {
        it = _textures.find(resolve(path));
    }
    if (it != _textures.end()) {
        _lastInUse.erase(it->first);
        _sourceSides.erase(it->first);
        it->second->release();
        _textures.erase(it);
    }
}

std::vector<std::pair<std::string, int>> TextureCache::removeUnusedTextures() {
    std::vector<std::pair<std::string, int>> dropped;
    for (auto it = _textures.begin(); it != _textures.end();) {
        if (it->second->getReferenceCount() == 1) {
            dropped.emplace_back(it->first, std::max(it->second->getPixelsWide(), it->second->getPixelsHigh()));
            _lastInUse.erase(it->first);
            _sourceSides.erase(it->first);
            it->second->release();
            it = _textures.erase(it);
        } else {
            ++it;
        }
    }
    return dropped;
}

void TextureCache::trimUnusedTextures() {
    ++_trims;
    std::vector<std::pair<uint64_t, std::string>> unused;
    for (const auto& [path, texture] : _textures) {
        if (texture->getReferenceCount() > 1) {
            _lastInUse[path] = _trims;
        } else {
            unused.emplace_back(_lastInUse[path], path);
        }
    }
    // The most recently used first; the rest past the budget go.
    std::sort(unused.begin(), unused.end(), std::greater<>());
    size_t kept = 0;
    for (const auto& [trim, path] : unused) {
        auto it = _textures.find(path);
        const size_t bytes = static_cast<size_t>(it->second->getPixelsWide()) * it->second->getPixelsHigh() * 4;
        if (kept + bytes <= _keptUnusedBytes) {
            kept += bytes;
            continue;
        }
        _lastInUse.erase(path);
        _sourceSides.erase(path);
        it->second->release();
        _textures.erase(it);
    }
}

void TextureCache::removeAllTextures() {
    for (auto& [path, texture] : _textures) {
        texture->release();
    }
    _textures.clear();
    _lastInUse.clear();
    _sourceSides.clear();
    _uses.clear();
}

void TextureCache::waitForQuit() {
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _quit = true;
        _jobs.clear();
    }
    _condition.notify_all();
    if (_worker.joinable()) {
        _worker.join();
    }
    _pendingCallbacks.clear();
}

} // namespace engine
