// Paces the frame loop: frames start at least one animation interval apart, and the time left is slept.
#pragma once

#include <chrono>

namespace engine {

class FramePacer {
public:
    FramePacer();
    // Sleeps until the next frame is due, one interval after the last was. A frame that overran lets the next start
    // at once and the count starts again from it: late frames are not made up with a burst.
    void waitForNextFrame(double intervalSeconds);

private:
    std::chrono::steady_clock::time_point _next;
};

} // namespace engine
