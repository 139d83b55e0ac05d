// Actions made of actions: one after another, together, and endlessly repeated.
#pragma once

#include <vector>

#include "base/Vector.h"
#include "scene/Action.h"

namespace engine {

// Runs its actions one after another. Each starts only when reached; one that ends inside a step hands the
// rest of that step to the next, so a CallFunc after a timed action runs in the step that ends it.
class Sequence : public ActionInterval {
public:
    // The list ends at the first null: Sequence::create(a, b, nullptr).
    template <class... Actions> static Sequence* create(FiniteTimeAction* first, Actions... rest) {
        return create(std::vector<FiniteTimeAction*>{first, static_cast<FiniteTimeAction*>(rest)...});
    }
    static Sequence* create(const std::vector<FiniteTimeAction*>& actions);
    static Sequence* createWithTwoActions(FiniteTimeAction* first, FiniteTimeAction* second);

    Sequence* clone() const override;
    void startWithTarget(Node* target) override;
    void stop() override;
    void step(float dt) override;
    bool isDone() const override;
    float getLeftoverTime() const override { return _leftover; }

protected:
    Sequence() = default;

private:
    Vector<FiniteTimeAction*> _actions;
    size_t _current = 0;
    float _leftover = 0;
};

// Runs its actions together; lasts as long as the longest.
class Spawn : public ActionInterval {
public:
    // The list ends at the first null: Spawn::create(a, b, nullptr).
    template <class... Actions> static Spawn* create(FiniteTimeAction* first, Actions... rest) {
        return create(std::vector<FiniteTimeAction*>{first, static_cast<FiniteTimeAction*>(rest)...});
    }
    static Spawn* create(const std::vector<FiniteTimeAction*>& actions);

    Spawn* clone() const override;
    void startWithTarget(Node* target) override;
    void stop() override;
    void step(float dt) override;
    bool isDone() const override;

protected:
    Spawn() = default;

private:
    Vector<FiniteTimeAction*> _actions;
};

// Restarts its action each time it ends, carrying the time left over; never done.
class RepeatForever : public ActionInterval {
public:
    // Null gives null (logged).
    static RepeatForever* create(ActionInterval* action);

    RepeatForever* clone() const override;
    void startWithTarget(Node* target) override;
    void stop() override;
    void step(float dt) override;
    bool isDone() const override { return false; }
    ~RepeatForever() override;

protected:
    RepeatForever() = default;

private:
    ActionInterval* _inner = nullptr;
};

} // namespace engine
