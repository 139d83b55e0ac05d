// Base classes of the actions nodes run: the action, its timed and instant kinds.
#pragma once

#include "base/Ref.h"

namespace engine {

class Node;

class Action : public Ref {
public:
    static const int INVALID_TAG = -1;

    // A fresh, unstarted copy with the same parameters (autoreleased).
    virtual Action* clone() const = 0;
    // Captures the start values from the target.
    virtual void startWithTarget(Node* target);
    // Ends the action and forgets the target. Safe from inside the action's own step: composites stop
    // driving their children once their target is gone.
    virtual void stop();
    // Advances the action by dt seconds.
    virtual void step(float dt) = 0;
    // Applies progress t in [0, 1]; 1 is the exact end state.
    virtual void update(float t) {}
    virtual bool isDone() const { return true; }

    Node* getTarget() const { return _target; }
    void setTag(int tag) { _tag = tag; }
    int getTag() const { return _tag; }

protected:
    Action() = default;

    Node* _target = nullptr; // not retained: the manager keeps the node alive during a step
    int _tag = INVALID_TAG;
};

class FiniteTimeAction : public Action {
public:
    FiniteTimeAction* clone() const override = 0;
    float getDuration() const { return _duration; }
    // Time of the last step that lay past the action's end; a following action starts with it.
    virtual float getLeftoverTime() const = 0;

protected:
    float _duration = 0;
};

class ActionInterval : public FiniteTimeAction {
public:
    ActionInterval* clone() const override = 0;
    void startWithTarget(Node* target) override;
    void step(float dt) override;
    // Done once it has stepped and its time has reached the duration (duration 0: at the first step).
    bool isDone() const override;
    float getLeftoverTime() const override;
    float getElapsed() const { return static_cast<float>(_elapsed); }

protected:
    // A negative duration counts as 0.
    void initWithDuration(float duration);
    // Adds dt to the elapsed time; composites that drive children themselves call this from step().
    void advance(float dt);
    bool reachedEnd() const;

    double _elapsed = 0;
    bool _stepped = false;
};

// Happens at its first step, then is done; its whole step is left over for what follows.
class ActionInstant : public FiniteTimeAction {
public:
    ActionInstant* clone() const override = 0;
    void startWithTarget(Node* target) override;
    void step(float dt) override;
    bool isDone() const override { return _done; }
    float getLeftoverTime() const override { return _leftover; }

private:
    bool _done = false;
    float _leftover = 0;
};

} // namespace engine
