// Every test program draws off-screen and plays sound nowhere, also when started by hand: the variables are set
// before main unless the caller set them.
#include <cstdlib>

namespace {

const bool g_headless = [] {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("ENGINE_HEADLESS", "1", 0);
    return true;
}();

} // namespace
