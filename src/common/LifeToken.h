// Lets a callback that may run late find out whether its owner still exists.
#pragma once
#include <memory>
#include <utility>

class LifeToken {
public:
    LifeToken() : _alive(std::make_shared<char>(0)) {}
    LifeToken(const LifeToken&) = delete;
    LifeToken& operator=(const LifeToken&) = delete;

    // Wraps a callable so that it does nothing once this token (and so its owner) is gone.
    template <class F> auto guard(F function) const {
        return [alive = std::weak_ptr<char>(_alive), function = std::move(function)](auto&&... args) {
            if (!alive.expired())
                function(std::forward<decltype(args)>(args)...);
        };
    }
    // A weak handle to compare or test later (expired once the owner is gone).
    std::weak_ptr<char> handle() const { return _alive; }

private:
    std::shared_ptr<char> _alive;
};
