// The first screen until the login scene exists: the program's name and version on a calm background.
#pragma once

#include "scene/Scene.h"

class FirstScene : public engine::Scene {
public:
    static FirstScene* create();
    bool init() override;

private:
    FirstScene() = default;
};
