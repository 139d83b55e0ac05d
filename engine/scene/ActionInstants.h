// Instant actions.
#pragma once

#include <functional>

#include "scene/Action.h"

namespace engine {

// Calls a function at its step. The target stays alive during the call, so the function may remove it.
class CallFunc : public ActionInstant {
public:
    static CallFunc* create(const std::function<void()>& func);
    CallFunc* clone() const override;
    void update(float t) override;

protected:
    CallFunc() = default;

private:
    std::function<void()> _function;
};

} // namespace engine
