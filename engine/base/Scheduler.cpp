#include "base/Scheduler.h"

#include <algorithm>
#include <climits>

#include "base/Log.h"

namespace engine {

Scheduler::Scheduler() = default;
Scheduler::~Scheduler() = default;

Scheduler::Timer* Scheduler::find(void* target, SEL_SCHEDULE selector, const std::string& key) {
    for (auto& t : _timers) {
        if (!t.removed && t.target == target && t.selector == selector && t.key == key) {
            return &t;
        }
    }
    return nullptr;
}

const Scheduler::Timer* Scheduler::find(const void* target, SEL_SCHEDULE selector, const std::string& key) const {
    for (const auto& t : _timers) {
        if (!t.removed && t.target == target && t.selector == selector && t.key == key) {
            return &t;
        }
    }
    return nullptr;
}

void Scheduler::add(Timer timer) {
    if (Timer* existing = find(timer.target, timer.selector, timer.key)) {
        existing->interval = timer.interval;
        return;
    }
    timer.addedThisFrame = _updating;
    if (std::find(_pausedTargets.begin(), _pausedTargets.end(), timer.target) != _pausedTargets.end()) {
        timer.paused = true;
    }
    _timers.push_back(std::move(timer));
}

void Scheduler::schedule(SEL_SCHEDULE selector, Ref* target, float interval, bool paused) {
    schedule(selector, target, interval, UINT_MAX, 0.f, paused);
}

void Scheduler::schedule(SEL_SCHEDULE selector, Ref* target, float interval, unsigned int repeat, float delay,
                         bool paused) {
    if (!selector || !target) {
        return;
    }
    Timer t;
    t.target = target;
    t.refTarget = target;
    t.selector = selector;
    t.interval = std::max(0.f, interval);
    t.repeat = repeat;
    t.forever = repeat == UINT_MAX;
    t.delay = delay;
    t.useDelay = delay > 0.f;
    t.paused = paused;
    add(std::move(t));
}

void Scheduler::schedule(const std::function<void(float)>& callback, void* target, float interval, bool paused,
                         const std::string& key) {
    schedule(callback, target, interval, UINT_MAX, 0.f, paused, key);
}

void Scheduler::schedule(const std::function<void(float)>& callback, void* target, float interval, unsigned int repeat,
                         float delay, bool paused, const std::string& key) {
    if (!callback || !target) {
        return;
    }
    Timer t;
    t.target = target;
    t.key = key;
    t.callback = callback;
    t.interval = std::max(0.f, interval);
    t.repeat = repeat;
    t.forever = repeat == UINT_MAX;
    t.delay = delay;
    t.useDelay = delay > 0.f;
    t.paused = paused;
    add(std::move(t));
}

void Scheduler::unschedule(SEL_SCHEDULE selector, Ref* target) {
    if (Timer* t = find(target, selector, "")) {
        t->removed = true;
    }
}

void Scheduler::unschedule(const std::string& key, void* target) {
    if (Timer* t = find(target, nullptr, key)) {
        t->removed = true;
    }
}

void Scheduler::unscheduleAllForTarget(void* target) {
    for (auto& t : _timers) {
        if (t.target == target) {
            t.removed = true;
        }
    }
    _pausedTargets.erase(std::remove(_pausedTargets.begin(), _pausedTargets.end(), target), _pausedTargets.end());
}

void Scheduler::unscheduleAll() {
    for (auto& t : _timers) {
        t.removed = true;
    }
    _pausedTargets.clear();
    if (!_updating) {
        _timers.clear();
    }
}

bool Scheduler::isScheduled(SEL_SCHEDULE selector, const Ref* target) const {
    return find(target, selector, "") != nullptr;
}

bool Scheduler::isScheduled(const std::string& key, const void* target) const {
    return find(target, nullptr, key) != nullptr;
}

void Scheduler::pauseTarget(void* target) {
    if (std::find(_pausedTargets.begin(), _pausedTargets.end(), target) == _pausedTargets.end()) {
        _pausedTargets.push_back(target);
    }
    for (auto& t : _timers) {
        if (t.target == target) {
            t.paused = true;
        }
    }
}

void Scheduler::resumeTarget(void* target) {
    _pausedTargets.erase(std::remove(_pausedTargets.begin(), _pausedTargets.end(), target), _pausedTargets.end());
    for (auto& t : _timers) {
        if (t.target == target) {
            t.paused = false;
        }
    }
}

bool Scheduler::isTargetPaused(void* target) const {
    return std::find(_pausedTargets.begin(), _pausedTargets.end(), target) != _pausedTargets.end();
}

void Scheduler::performFunctionInMainThread(std::function<void()> fn) {
    std::lock_guard<std::mutex> lock(_queueMutex);
    _mainThreadQueue.push_back(std::move(fn));
}

void Scheduler::runFunctionsFromMainThread() {
    std::vector<std::function<void()>> functions;
    {
        std::lock_guard<std::mutex> lock(_queueMutex);
        functions.swap(_mainThreadQueue);
    }
    // A worker logs before it posts: its lines reach the sink before the functions it posted run.
    flushWorkerLogLines();
    for (auto& fn : functions) {
        fn();
    }
}

void Scheduler::addSystemTick(const std::string& key, std::function<void(float)> tick) {
    _systemTicks[key] = std::move(tick);
}

void Scheduler::removeSystemTick(const std::string& key) { _systemTicks.erase(key); }

void Scheduler::update(float dt) {
    // Copy: a tick may remove itself or another.
    auto ticks = _systemTicks;
    for (auto& [key, tick] : ticks) {
        tick(dt);
    }

    _updating = true;
    for (auto it = _timers.begin(); it != _timers.end(); ++it) {
        Timer& t = *it;
        if (t.removed || t.paused) {
            continue;
        }
        if (t.addedThisFrame) {
            t.addedThisFrame = false;
            continue;
        }
        t.elapsed += dt;
        float due = t.useDelay ? t.delay : t.interval;
        if (t.elapsed + 1e-6f < due) {
            continue;
        }
        const float fired = t.elapsed;
        t.elapsed = 0;
        if (t.useDelay) {
            t.useDelay = false;
        }
        bool last = false;
        if (!t.forever) {
            last = t.timesExecuted >= t.repeat;
            ++t.timesExecuted;
        }
        Ref* ref = t.refTarget;
        auto callback = t.callback;
        const SEL_SCHEDULE selector = t.selector;
        void* target = t.target;
        if (last) {
            t.removed = true;
        }
        if (ref) {
            ref->retain();
            (ref->*selector)(fired);
            ref->release();
        } else if (callback) {
            callback(fired);
        }
        (void)target;
    }
    _updating = false;
    _timers.remove_if([](const Timer& t) { return t.removed; });
    for (auto& t : _timers) {
        t.addedThisFrame = false;
    }
}

} // namespace engine
