// The way back to login, for parts that must not know the login scene.
#pragma once

// Replaces the running scene by a new login scene; scenes pushed below it go too.
void goToLogin();
