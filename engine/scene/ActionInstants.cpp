#include "scene/ActionInstants.h"

#include <new>

namespace engine {

CallFunc* CallFunc::create(const std::function<void()>& func) {
    auto* action = new (std::nothrow) CallFunc();
    if (!action) {
        return nullptr;
    }
    action->_function = func;
    action->autorelease();
    return action;
}

CallFunc* CallFunc::clone() const {
    return create(_function);
}

void CallFunc::update(float t) {
    if (_target && _function) {
        _function();
    }
}

} // namespace engine
