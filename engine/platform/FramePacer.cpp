#include "platform/FramePacer.h"

#include <thread>

namespace engine {

FramePacer::FramePacer() : _next(std::chrono::steady_clock::now()) {}

void FramePacer::waitForNextFrame(double intervalSeconds) {
    using Clock = std::chrono::steady_clock;
    const double interval = intervalSeconds > 0 ? intervalSeconds : 1.0 / 60;
    _next += std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(interval));
    const Clock::time_point now = Clock::now();
    if (_next <= now) {
        _next = now;
        return;
    }
    std::this_thread::sleep_until(_next);
}

} // namespace engine
