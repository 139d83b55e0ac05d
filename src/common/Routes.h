// The ways to other screens for the parts below the scenes (services, lesson layers, tools), which must not know
// the scenes: start-up installs them (installSceneRoutes in scenes/SceneRoutes.h).
#pragma once

#include <functional>

namespace Routes {

struct Table {
    // Replaces the running scene by a new login scene; scenes pushed below it go too.
    void (*toLogin)() = nullptr;
    // Pushes the grouping scene over the running one; onReturn runs when it is popped again.
    void (*toGrouping)(std::function<void()> onReturn) = nullptr;
};

void install(const Table& table);

// Each does nothing, with a log line, while no route is installed.
void toLogin();
void toGrouping(std::function<void()> onReturn);

} // namespace Routes
