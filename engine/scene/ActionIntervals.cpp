#include "scene/ActionIntervals.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "base/Log.h"
#include "scene/Node.h"

namespace engine {

namespace {

// Exactly b at t = 1, so a finished action leaves its precise end state.
float lerp(float a, float b, float t) {
    return t >= 1.f ? b : a + (b - a) * t;
}

GLubyte lerpByte(GLubyte a, GLubyte b, float t) {
    return static_cast<GLubyte>(std::clamp(std::lround(lerp(a, b, t)), 0L, 255L));
}

} // namespace

// ScaleTo

ScaleTo* ScaleTo::create(float duration, float scale) {
    return create(duration, scale, scale);
}

ScaleTo* ScaleTo::create(float duration, float scaleX, float scaleY) {
    auto* action = new (std::nothrow) ScaleTo();
    if (!action) {
        return nullptr;
    }
    action->initWithDuration(duration);
    action->_endX = scaleX;
    action->_endY = scaleY;
    action->autorelease();
    return action;
}

ScaleTo* ScaleTo::clone() const {
    return create(_duration, _endX, _endY);
}

void ScaleTo::startWithTarget(Node* target) {
    ActionInterval::startWithTarget(target);
    if (target) {
        _startX = target->getScaleX();
        _startY = target->getScaleY();
    }
}

void ScaleTo::update(float t) {
    if (_target) {
        _target->setScale(lerp(_startX, _endX, t), lerp(_startY, _endY, t));
    }
}

// MoveTo

MoveTo* MoveTo::create(float duration, const Vec2& position) {
    auto* action = new (std::nothrow) MoveTo();
    if (!action) {
        return nullptr;
    }
    action->initWithDuration(duration);
    action->_end = position;
    action->autorelease();
    return action;
}

MoveTo* MoveTo::clone() const {
    return create(_duration, _end);
}

void MoveTo::startWithTarget(Node* target) {
    ActionInterval::startWithTarget(target);
    if (target) {
        _start = target->getPosition();
    }
}

void MoveTo::update(float t) {
    if (_target) {
        _target->setPosition(Vec2(lerp(_start.x, _end.x, t), lerp(_start.y, _end.y, t)));
    }
}

// MoveBy

MoveBy* MoveBy::create(float duration, const Vec2& delta) {
    auto* action = new (std::nothrow) MoveBy();
    if (!action) {
        return nullptr;
    }
    action->initWithDuration(duration);
    action->_delta = delta;
    action->autorelease();
    return action;
}

MoveBy* MoveBy::clone() const {
    return create(_duration, _delta);
}

void MoveBy::startWithTarget(Node* target) {
    ActionInterval::startWithTarget(target);
    if (target) {
        _start = target->getPosition();
    }
}

void MoveBy::update(float t) {
    if (_target) {
        const Vec2 end = _start + _delta;
        _target->setPosition(Vec2(lerp(_start.x, end.x, t), lerp(_start.y, end.y, t)));
    }
}

// RotateBy

RotateBy* RotateBy::create(float duration, float deltaAngle) {
    auto* action = new (std::nothrow) RotateBy();
    if (!action) {
        return nullptr;
    }
    action->initWithDuration(duration);
    action->_delta = deltaAngle;
    action->autorelease();
    return action;
}

RotateBy* RotateBy::clone() const {
    return create(_duration, _delta);
}

void RotateBy::startWithTarget(Node* target) {
    ActionInterval::startWithTarget(target);
    if (target) {
        _start = target->getRotation();
    }
}

void RotateBy::update(float t) {
    if (_target) {
        _target->setRotation(lerp(_start, _start + _delta, t));
    }
}

// FadeIn, FadeOut

void Fade::startWithTarget(Node* target) {
    ActionInterval::startWithTarget(target);
    if (target) {
        _start = target->getOpacity();
    }
}

void Fade::update(float t) {
    if (_target) {
        _target->setOpacity(lerpByte(_start, _end, t));
    }
}

FadeIn* FadeIn::create(float duration) {
    auto* action = new (std::nothrow) FadeIn();
    if (!action) {
        return nullptr;
    }
    action->initWithDuration(duration);
    action->autorelease();
    return action;
}

FadeIn* FadeIn::clone() const {
    return create(_duration);
}

FadeOut* FadeOut::create(float duration) {
    auto* action = new (std::nothrow) FadeOut();
    if (!action) {
        return nullptr;
    }
    action->initWithDuration(duration);
    action->autorelease();
    return action;
}

FadeOut* FadeOut::clone() const {
    return create(_duration);
}

// TintTo

TintTo* TintTo::create(float duration, GLubyte red, GLubyte green, GLubyte blue) {
    auto* action = new (std::nothrow) TintTo();
    if (!action) {
        return nullptr;
    }
    action->initWithDuration(duration);
    action->_end = Color3B(red, green, blue);
    action->autorelease();
    return action;
}

TintTo* TintTo::clone() const {
    return create(_duration, _end.r, _end.g, _end.b);
}

void TintTo::startWithTarget(Node* target) {
    ActionInterval::startWithTarget(target);
    if (target) {
        _start = target->getColor();
    }
}

void TintTo::update(float t) {
    if (_target) {
        _target->setColor(
            Color3B(lerpByte(_start.r, _end.r, t), lerpByte(_start.g, _end.g, t), lerpByte(_start.b, _end.b, t)));
    }
}

// Blink

Blink* Blink::create(float duration, int blinks) {
    auto* action = new (std::nothrow) Blink();
    if (!action) {
        return nullptr;
    }
    if (blinks < 0) {
        log("Blink: negative blink count %d, using 0", blinks);
        blinks = 0;
    }
    action->initWithDuration(duration);
    action->_blinks = blinks;
    action->autorelease();
    return action;
}

Blink* Blink::clone() const {
    return create(_duration, _blinks);
}

void Blink::startWithTarget(Node* target) {
    ActionInterval::startWithTarget(target);
    if (target) {
        _originalVisible = target->isVisible();
    }
}

void Blink::stop() {
    if (_target) {
        _target->setVisible(_originalVisible);
    }
    ActionInterval::stop();
}

void Blink::update(float t) {
    if (!_target) {
        return;
    }
    if (t >= 1.f || _blinks == 0) {
        _target->setVisible(_originalVisible);
        return;
    }
    const float slice = 1.f / static_cast<float>(_blinks);
    _target->setVisible(std::fmod(t, slice) > slice / 2);
}

} // namespace engine
