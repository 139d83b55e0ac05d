// Timed actions on one property of a node: scale, position, rotation, opacity, colour, visibility.
#pragma once

#include "base/Geometry.h"
#include "scene/Action.h"

namespace engine {

// To an absolute scale, from the scale the node has when the action starts.
class ScaleTo : public ActionInterval {
public:
    static ScaleTo* create(float duration, float scale);
    static ScaleTo* create(float duration, float scaleX, float scaleY);
    ScaleTo* clone() const override;
    void startWithTarget(Node* target) override;
    void update(float t) override;

protected:
    ScaleTo() = default;

private:
    float _startX = 1, _startY = 1;
    float _endX = 1, _endY = 1;
};

class MoveTo : public ActionInterval {
public:
    static MoveTo* create(float duration, const Vec2& position);
    MoveTo* clone() const override;
    void startWithTarget(Node* target) override;
    void update(float t) override;

protected:
    MoveTo() = default;

private:
    Vec2 _start;
    Vec2 _end;
};

// A zero delta still lasts its duration.
class MoveBy : public ActionInterval {
public:
    static MoveBy* create(float duration, const Vec2& delta);
    MoveBy* clone() const override;
    void startWithTarget(Node* target) override;
    void update(float t) override;

protected:
    MoveBy() = default;

private:
    Vec2 _start;
    Vec2 _delta;
};

// Adds degrees to the rotation the node has at the start; never wraps.
class RotateBy : public ActionInterval {
public:
    static RotateBy* create(float duration, float deltaAngle);
    RotateBy* clone() const override;
    void startWithTarget(Node* target) override;
    void update(float t) override;

protected:
    RotateBy() = default;

private:
    float _start = 0;
    float _delta = 0;
};

// Opacity from its value at the start to a fixed end.
class Fade : public ActionInterval {
public:
    void startWithTarget(Node* target) override;
    void update(float t) override;

protected:
    explicit Fade(GLubyte endOpacity) : _end(endOpacity) {}

private:
    GLubyte _start = 255;
    GLubyte _end;
};

class FadeIn : public Fade {
public:
    static FadeIn* create(float duration);
    FadeIn* clone() const override;

protected:
    FadeIn() : Fade(255) {}
};

class FadeOut : public Fade {
public:
    static FadeOut* create(float duration);
    FadeOut* clone() const override;

protected:
    FadeOut() : Fade(0) {}
};

class TintTo : public ActionInterval {
public:
    static TintTo* create(float duration, GLubyte red, GLubyte green, GLubyte blue);
    TintTo* clone() const override;
    void startWithTarget(Node* target) override;
    void update(float t) override;

protected:
    TintTo() = default;

private:
    Color3B _start;
    Color3B _end;
};

// Blinks `blinks` times over the duration: each of the equal slices hides the node for its first half and
// shows it for the second. The visibility found at the start comes back when done or stopped.
class Blink : public ActionInterval {
public:
    static Blink* create(float duration, int blinks);
    Blink* clone() const override;
    void startWithTarget(Node* target) override;
    void stop() override;
    void update(float t) override;

protected:
    Blink() = default;

private:
    int _blinks = 0;
    bool _originalVisible = true;
};

} // namespace engine
