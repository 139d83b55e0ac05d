// The application delegate: opens the window, fixes the design resolution, content scale, layout offset and
// search paths, and runs the first scene.
#pragma once

#include "platform/Application.h"

class AppDelegate : public engine::Application {
public:
    ~AppDelegate() override;

    void initGLContextAttrs() override;
    bool applicationDidFinishLaunching() override;
    void applicationDidEnterBackground() override;
    void applicationWillEnterForeground() override;
};
