#include "render/TextureCache.h"

#include <SDL.h>
#include <SDL_image.h>

#include "base/Director.h"
#include "base/Log.h"
#include "base/Scheduler.h"
#include "platform/FileUtils.h"
#include "render/Texture2D.h"

namespace engine {

namespace {
SDL_Surface* loadSurface(const std::string& fullPath) {
    static bool initialised = false;
    if (!initialised) {
        IMG_Init(IMG_INIT_PNG | IMG_INIT_JPG);
        initialised = true;
    }
    return IMG_Load(fullPath.c_str());
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

Texture2D* TextureCache::getTextureForKey(const std::string& path) const {
    auto it = _textures.find(path);
    if (it != _textures.end()) {
        return it->second;
    }
    const std::string full = resolve(path);
    it = _textures.find(full);
    return it == _textures.end() ? nullptr : it->second;
}

Texture2D* TextureCache::addImage(const std::string& path) {
    const std::string full = resolve(path);
    if (full.empty()) {
        log("image not found: %s", path.c_str());
        return nullptr;
    }
    auto it = _textures.find(full);
    if (it != _textures.end()) {
        return it->second;
    }
    SDL_Surface* surface = loadSurface(full);
    if (!surface) {
        log("cannot decode image: %s", full.c_str());
        return nullptr;
    }
    auto* texture = new Texture2D();
    const bool ok = texture->initWithSurface(surface);
    SDL_FreeSurface(surface);
    if (!ok) {
        texture->release();
        return nullptr;
    }
    texture->setPath(full);
    _textures[full] = texture;
    return texture;
}

void TextureCache::addImageAsync(const std::string& path, const std::function<void(Texture2D*)>& callback) {
    const std::string full = resolve(path);
    if (!full.empty()) {
        auto it = _textures.find(full);
        if (it != _textures.end()) {
            if (callback) {
                callback(it->second);
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
        _jobs.push_back({full, path, id});
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
        SDL_Surface* surface = loadSurface(job.fullPath);
        Director::getInstance()->getScheduler()->performFunctionInMainThread([this, job, surface]() {
            Texture2D* texture = nullptr;
            auto existing = _textures.find(job.fullPath);
            if (existing != _textures.end()) {
                texture = existing->second;
            } else if (surface) {
                texture = new Texture2D();
                if (texture->initWithSurface(surface)) {
                    texture->setPath(job.fullPath);
                    _textures[job.fullPath] = texture;
                } else {
                    texture->release();
                    texture = nullptr;
                }
            } else {
                log("cannot decode image: %s", job.fullPath.c_str());
            }
            if (surface) {
                SDL_FreeSurface(surface);
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

void TextureCache::unbindAllImageAsync() { _pendingCallbacks.clear(); }

void TextureCache::removeTextureForKey(const std::string& path) {
    auto it = _textures.find(path);
    if (it == _textures.end()) {
        it = _textures.find(resolve(path));
    }
    if (it != _textures.end()) {
        it->second->release();
        _textures.erase(it);
    }
}

void TextureCache::removeUnusedTextures() {
    for (auto it = _textures.begin(); it != _textures.end();) {
        if (it->second->getReferenceCount() == 1) {
            it->second->release();
            it = _textures.erase(it);
        } else {
            ++it;
        }
    }
}

void TextureCache::removeAllTextures() {
    for (auto& [path, texture] : _textures) {
        texture->release();
    }
    _textures.clear();
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
