#pragma once

#include "scene/Node.h"

namespace engine {

// A screen: content size = window size at (0, 0), anchor ignored.
class Scene : public Node {
public:
    static Scene* create();
    bool init() override;

protected:
    Scene();
};

} // namespace engine
