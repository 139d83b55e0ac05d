// Timers on any Ref, per-frame engine ticks and the thread-safe main-thread queue.
#pragma once

#include <functional>
#include <list>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "base/Ref.h"

namespace engine {

class Scheduler : public Ref {
public:
    Scheduler();
    ~Scheduler() override;

    // A timer fires at most once per frame, once the time accumulated since it last fired reaches its
    // interval, and receives that time as dt. Interval 0 fires every frame. Scheduling an existing
    // (target, selector) pair only updates its interval. repeat counts extra firings (UINT_MAX = forever);
    // delay is the first wait.
    void schedule(SEL_SCHEDULE selector, Ref* target, float interval, bool paused);
    void schedule(SEL_SCHEDULE selector, Ref* target, float interval, unsigned int repeat, float delay, bool paused);
    // Lambda timers are keyed by (target, key).
    void schedule(const std::function<void(float)>& callback, void* target, float interval, bool paused,
                  const std::string& key);
    void schedule(const std::function<void(float)>& callback, void* target, float interval, unsigned int repeat,
                  float delay, bool paused, const std::string& key);
    void unschedule(SEL_SCHEDULE selector, Ref* target);
    void unschedule(const std::string& key, void* target);
    void unscheduleAllForTarget(void* target);
    void unscheduleAll();
    bool isScheduled(SEL_SCHEDULE selector, const Ref* target) const;
    bool isScheduled(const std::string& key, const void* target) const;
    void pauseTarget(void* target);
    void resumeTarget(void* target);
    bool isTargetPaused(void* target) const;

    // Thread-safe: runs fn on the main thread at the start of a later frame, in FIFO order.
    void performFunctionInMainThread(std::function<void()> fn);
    // Runs what is queued for the main thread now (frame step 2).
    void runFunctionsFromMainThread();

    // Engine services that need the frame clock (audio, downloads) register a tick that runs every
    // frame before the timers. Not paused by anything but a stopped animation.
    void addSystemTick(const std::string& key, std::function<void(float)> tick);
    void removeSystemTick(const std::string& key);

    // Frame step 3, before the actions.
    void update(float dt);

    size_t timerCount() const { return _timers.size(); }

private:
    struct Timer {
        void* target = nullptr;
        Ref* refTarget = nullptr; // retained during its callback
        SEL_SCHEDULE selector = nullptr;
        std::string key;
        std::function<void(float)> callback;
        float interval = 0;
        float elapsed = 0;
        float delay = 0;
        bool useDelay = false;
        unsigned int repeat = 0;
        unsigned int timesExecuted = 0;
        bool forever = true;
        bool paused = false;
        bool removed = false;
        bool addedThisFrame = false;
    };

    Timer* find(void* target, SEL_SCHEDULE selector, const std::string& key);
    const Timer* find(const void* target, SEL_SCHEDULE selector, const std::string& key) const;
    void add(Timer timer);

    std::list<Timer> _timers;
    std::vector<void*> _pausedTargets;
    bool _updating = false;

    std::map<std::string, std::function<void(float)>> _systemTicks;

    std::mutex _queueMutex;
    std::vector<std::function<void()>> _mainThreadQueue;
};

} // namespace engine
