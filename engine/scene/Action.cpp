#include "scene/Action.h"

#include <algorithm>

namespace engine {

namespace {
// Float frame times rarely sum to a duration exactly: 3 x 0.1f falls short of 0.3f.
constexpr double kTimeEpsilon = 1e-5;
} // namespace

void Action::startWithTarget(Node* target) {
    _target = target;
}

void Action::stop() {
    _target = nullptr;
}

void ActionInterval::initWithDuration(float duration) {
    _duration = std::max(0.f, duration);
}

void ActionInterval::startWithTarget(Node* target) {
    Action::startWithTarget(target);
    _elapsed = 0;
    _stepped = false;
}

void ActionInterval::advance(float dt) {
    _elapsed += std::max(0.f, dt);
    _stepped = true;
}

bool ActionInterval::reachedEnd() const {
    return _elapsed + kTimeEpsilon >= _duration;
}

void ActionInterval::step(float dt) {
    advance(dt);
    if (reachedEnd()) {
        update(1.f);
    } else {
        update(static_cast<float>(std::clamp(_elapsed / _duration, 0.0, 1.0)));
    }
}

bool ActionInterval::isDone() const {
    return _stepped && reachedEnd();
}

float ActionInterval::getLeftoverTime() const {
    return static_cast<float>(std::max(0.0, _elapsed - _duration));
}

void ActionInstant::startWithTarget(Node* target) {
    Action::startWithTarget(target);
    _done = false;
    _leftover = 0;
}

void ActionInstant::step(float dt) {
    _done = true;
    _leftover = std::max(0.f, dt);
    update(1.f);
}

} // namespace engine
