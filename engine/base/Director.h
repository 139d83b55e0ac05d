// The director: scene stack, design resolution, frame step and the engine's shared services.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "base/Geometry.h"
#include "base/Vector.h"

struct SDL_Surface;
struct SDL_Renderer;

namespace engine {

class Scene;
class Scheduler;
class ActionManager;
class EventDispatcher;
class TextureCache;
class GLView;
class Renderer;

class Director {
public:
    static Director* getInstance();

    GLView* getOpenGLView() const { return _view; }
    void setOpenGLView(GLView* view);
    void setDisplayStats(bool) {}
    void setAnimationInterval(double interval) { _animationInterval = interval; }
    double getAnimationInterval() const { return _animationInterval; }

    void setContentScaleFactor(float scale);
    float getContentScaleFactor() const { return _contentScaleFactor; }

    // The visible size under the fixed-width policy (1280 x visible height); 1280x720 with no view.
    Size getWinSize() const;
    Size getVisibleSize() const { return getWinSize(); }
    Vec2 getVisibleOrigin() const { return Vec2::ZERO; }
    Size getWinSizeInPixels() const;

    void runWithScene(Scene* scene);
    // Scene changes are recorded and applied at the scene-switch point of the next frame step.
    void replaceScene(Scene* scene);
    void pushScene(Scene* scene);
    void popScene();
    void popToRootScene();
    Scene* getRunningScene() const { return _runningScene; }
    size_t getSceneStackSize() const { return _sceneStack.size(); }

    Scheduler* getScheduler() const { return _scheduler; }
    ActionManager* getActionManager() const { return _actionManager; }
    EventDispatcher* getEventDispatcher() const { return _eventDispatcher; }
    TextureCache* getTextureCache() const { return _textureCache; }
    // The view's renderer; with no view, an off-screen 1280x720 one so textures can still be made.
    Renderer* getRenderer();

    void stopAnimation() { _animationStopped = true; }
    void startAnimation() { _animationStopped = false; }
    bool isAnimationStopped() const { return _animationStopped; }

    // One frame step with the measured (real loop) or given (tests) dt.
    void mainLoop();
    void mainLoop(float dt);
    float getDeltaTime() const { return _deltaTime; }
    uint64_t getTotalFrames() const { return _totalFrames; }

    // Ends the run after the current step: empties the scene stack, purges caches, stops services.
    void end();
    bool isEnding() const { return _ending; }
    bool hasEnded() const { return _ended; }

    // Engine services register what must stop at shutdown (network workers, audio).
    void addShutdownHook(std::function<void()> hook);

    // Tests: drop every scene, timer, action, cache and the view; the director is as new.
    void reset();

private:
    Director();
    void applyPendingSceneChanges();
    void drawScene();
    void shutdown();

    GLView* _view = nullptr;
    Renderer* _renderer = nullptr;
    ::SDL_Surface* _fallbackSurface = nullptr;
    ::SDL_Renderer* _fallbackRenderer = nullptr;
    void destroyFallbackRenderer();
    Scheduler* _scheduler = nullptr;
    ActionManager* _actionManager = nullptr;
    EventDispatcher* _eventDispatcher = nullptr;
    TextureCache* _textureCache = nullptr;

    Vector<Scene*> _sceneStack;
    Scene* _runningScene = nullptr; // retained
    bool _sceneChangePending = false;
    std::vector<Scene*> _sceneStackAfterChange; // not retained; members are retained in _pendingRetained
    Vector<Scene*> _pendingRetained;
    bool _endPending = false;

    double _animationInterval = 1.0 / 60;
    float _contentScaleFactor = 1.f;
    bool _animationStopped = false;
    float _deltaTime = 0;
    uint64_t _totalFrames = 0;
    uint64_t _lastTicks = 0;
    bool _ending = false;
    bool _ended = false;
    std::vector<std::function<void()>> _shutdownHooks;
};

} // namespace engine
