#include "base/Director.h"

#include <SDL.h>

#include <algorithm>

#include "base/Log.h"
#include "base/Scheduler.h"
#include "base/Touch.h"
#include "platform/GLView.h"
#include "render/Capture.h"
#include "render/Renderer.h"
#include "render/TextureCache.h"
#include "scene/ActionManager.h"
#include "scene/Scene.h"
#include "scene/SpriteFrame.h"

namespace engine {

Director* Director::getInstance() {
    // Never destroyed: nodes released during static destruction still reach it.
    static Director* instance = new Director();
    return instance;
}

Director::Director() {
    markMainThread();
    _scheduler = new Scheduler();
    _actionManager = new ActionManager();
    _eventDispatcher = new EventDispatcher();
    _textureCache = new TextureCache();
}

void Director::setOpenGLView(GLView* view) {
    if (view == _view) {
        return;
    }
    if (view) {
        view->retain();
    }
    // Textures belong to the renderer they were made on.
    _textureCache->removeAllTextures();
    SpriteFrameCache::getInstance()->removeSpriteFrames();
    delete _renderer;
    _renderer = nullptr;
    destroyFallbackRenderer();
    if (_view) {
        _view->release();
    }
    _view = view;
    if (_view && _view->getSDLRenderer()) {
        _renderer = new Renderer(_view->getSDLRenderer(), _view->getFrameSize(), _view->getScaleX());
        _renderer->setTargetFormat(_view->getPixelFormat());
        _renderer->setTargetSurface(_view->getOffscreenSurface());
    }
}

Renderer* Director::getRenderer() {
    if (!_renderer && !_view) {
        if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
            SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
            SDL_InitSubSystem(SDL_INIT_VIDEO);
        }
        _fallbackSurface = SDL_CreateRGBSurfaceWithFormat(0, 1280, 720, 32, SDL_PIXELFORMAT_RGBA32);
        _fallbackRenderer = _fallbackSurface ? SDL_CreateSoftwareRenderer(_fallbackSurface) : nullptr;
        if (_fallbackRenderer) {
            _renderer = new Renderer(_fallbackRenderer, Size(1280, 720), 1.f);
            _renderer->setTargetFormat(SDL_PIXELFORMAT_RGBA32);
            _renderer->setTargetSurface(_fallbackSurface);
        } else {
            log("off-screen renderer: %s", SDL_GetError());
        }
    }
    return _renderer;
}

void Director::destroyFallbackRenderer() {
    if (_fallbackRenderer) {
        SDL_DestroyRenderer(_fallbackRenderer);
        _fallbackRenderer = nullptr;
    }
    if (_fallbackSurface) {
        SDL_FreeSurface(_fallbackSurface);
        _fallbackSurface = nullptr;
    }
}

void Director::setContentScaleFactor(float scale) {
    if (scale > 0.f) {
        _contentScaleFactor = scale;
    }
}

Size Director::getWinSize() const {
    if (_view && _view->getResolutionPolicy() != ResolutionPolicy::UNKNOWN) {
        return _view->getVisibleSize();
    }
    if (_view) {
        return _view->getFrameSize();
    }
    return Size(1280, 720);
}

Size Director::getWinSizeInPixels() const {
    if (_view) {
        return _view->getFrameSize();
    }
    return Size(1280, 720);
}

void Director::runWithScene(Scene* scene) {
    if (!scene) {
        log("runWithScene: null scene");
        return;
    }
    if (!_sceneStack.empty() || _sceneChangePending) {
        log("runWithScene: a scene already runs; replacing it");
    }
    replaceScene(scene);
}

static void beginChange(bool& pending, std::vector<Scene*>& after, const Vector<Scene*>& stack) {
    if (!pending) {
        after.assign(stack.begin(), stack.end());
        pending = true;
    }
}

void Director::replaceScene(Scene* scene) {
    if (!scene) {
        log("replaceScene: null scene");
        return;
    }
    beginChange(_sceneChangePending, _sceneStackAfterChange, _sceneStack);
    _pendingRetained.pushBack(scene);
    if (_sceneStackAfterChange.empty()) {
        _sceneStackAfterChange.push_back(scene);
    } else {
        _sceneStackAfterChange.back() = scene;
    }
}

void Director::pushScene(Scene* scene) {
    if (!scene) {
        log("pushScene: null scene");
        return;
    }
    beginChange(_sceneChangePending, _sceneStackAfterChange, _sceneStack);
    _pendingRetained.pushBack(scene);
    _sceneStackAfterChange.push_back(scene);
}

void Director::popScene() {
    beginChange(_sceneChangePending, _sceneStackAfterChange, _sceneStack);
    if (!_sceneStackAfterChange.empty()) {
        _sceneStackAfterChange.pop_back();
    }
    if (_sceneStackAfterChange.empty()) {
        log("popScene: the last scene was popped; ending");
        end();
    }
}

void Director::popToRootScene() {
    beginChange(_sceneChangePending, _sceneStackAfterChange, _sceneStack);
    if (_sceneStackAfterChange.size() > 1) {
        _sceneStackAfterChange.resize(1);
    }
}

void Director::applyPendingSceneChanges() {
    if (!_sceneChangePending) {
        return;
    }
    _sceneChangePending = false;
    Vector<Scene*> newStack;
    for (Scene* scene : _sceneStackAfterChange) {
        newStack.pushBack(scene);
    }
    _sceneStackAfterChange.clear();
    _pendingRetained.clear();

    Scene* oldTop = _runningScene;
    Scene* newTop = newStack.back();
    if (oldTop == newTop) {
        // Scenes dropped from below the top were exited when covered.
        for (Scene* scene : _sceneStack) {
            if (!newStack.contains(scene)) {
                scene->cleanup();
            }
        }
        _sceneStack = newStack;
        return;
    }
    if (oldTop) {
        oldTop->onExitTransitionDidStart();
        oldTop->onExit();
    }
    for (Scene* scene : _sceneStack) {
        if (!newStack.contains(scene)) {
            scene->cleanup();
        }
    }
    _runningScene = nullptr;
    // Dropping the old stack runs the destructors of scenes that left it, before the new scene enters.
    _sceneStack = newStack;
    newStack.clear();
    _runningScene = newTop;
    if (newTop) {
        newTop->retain();
        newTop->onEnter();
        newTop->onEnterTransitionDidFinish();
        newTop->release();
    }
}

void Director::mainLoop() {
    const uint64_t now = SDL_GetTicks64();
    float dt = _lastTicks == 0 ? static_cast<float>(_animationInterval) : (now - _lastTicks) / 1000.f;
    _lastTicks = now;
    mainLoop(std::min(dt, 0.1f));
}

void Director::mainLoop(float dt) {
    if (_ended) {
        return;
    }
    if (_view) {
        _view->pollEvents();
    }
    if (_animationStopped) {
        return;
    }
    _deltaTime = dt;
    ++_totalFrames;

    _scheduler->runFunctionsFromMainThread();
    _scheduler->update(dt);
    _actionManager->update(dt);
    applyPendingSceneChanges();
    drawScene();
    AutoreleasePool::getInstance().clear();

    if (_endPending) {
        shutdown();
    }
}

void Director::drawScene() {
    if (!_view || !_renderer) {
        return;
    }
    _renderer->resize(_view->getFrameSize(), _view->getScaleX());
    _renderer->setTargetSurface(_view->getOffscreenSurface());
    // A frame that would draw what the last one drew is not drawn again; the target still shows it.
    _renderer->beginFrame(Color4B(0, 0, 0, 255));
    if (_runningScene) {
        _runningScene->visit(_renderer, Mat4::IDENTITY, 0);
    }
    if (hasPendingScreenCaptures()) {
        _renderer->redrawFrame();
    }
    const bool drawn = _renderer->endFrame();
    serveScreenCaptures(_renderer);
    if (drawn) {
        _view->present();
    }
}

void Director::end() {
    _endPending = true;
    _ending = true;
}

void Director::addShutdownHook(std::function<void()> hook) { _shutdownHooks.push_back(std::move(hook)); }

void Director::shutdown() {
    _endPending = false;
    _sceneChangePending = false;
    _sceneStackAfterChange.clear();
    _pendingRetained.clear();
    if (_runningScene) {
        _runningScene->onExit();
    }
    for (Scene* scene : _sceneStack) {
        scene->cleanup();
    }
    _runningScene = nullptr;
    _sceneStack.clear();
    AutoreleasePool::getInstance().clear();

    auto hooks = std::move(_shutdownHooks);
    _shutdownHooks.clear();
    for (auto& hook : hooks) {
        hook();
    }
    _scheduler->runFunctionsFromMainThread();
    _scheduler->unscheduleAll();
    _actionManager->removeAllActions();
    AutoreleasePool::getInstance().clear();
    SpriteFrameCache::getInstance()->removeSpriteFrames();
    _textureCache->removeAllTextures();
    _ended = true;
}

void Director::reset() {
    shutdown();
    _eventDispatcher->removeAllEventListeners();
    setOpenGLView(nullptr);
    _ended = false;
    _ending = false;
    _animationStopped = false;
    _contentScaleFactor = 1.f;
    _animationInterval = 1.0 / 60;
    _totalFrames = 0;
    _lastTicks = 0;
}

} // namespace engine
