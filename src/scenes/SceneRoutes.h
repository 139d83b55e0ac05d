// The scenes behind common/Routes.h.
#pragma once

// Replaces the running scene by a new login scene; scenes pushed below it go too.
void goToLogin();

// Installs the routes of common/Routes.h: called by start-up (and the tests' headless start).
void installSceneRoutes();
