// Frames paced as the client paces them: while a PacedFrames lives, every frame the director runs (whoever steps
// it: the bench, support::waitFor, stepFrames) starts at least one animation interval after the one before, with the
// program's own FramePacer. Work done one piece a frame then costs what it costs a teacher, 16.7 ms a piece.
#pragma once

#include <chrono>

#include "base/Director.h"
#include "base/Scheduler.h"
#include "platform/FramePacer.h"

namespace bench {

class PacedFrames {
public:
    PacedFrames() {
        s_current = this;
        engine::Director::getInstance()->getScheduler()->schedule(
            [this](float) {
                const auto start = std::chrono::steady_clock::now();
                _pacer.waitForNextFrame(engine::Director::getInstance()->getAnimationInterval());
                _sleptMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            },
            this, 0.f, false, "bench.pace");
    }
    ~PacedFrames() {
        engine::Director::getInstance()->getScheduler()->unschedule("bench.pace", this);
        s_current = nullptr;
    }
    PacedFrames(const PacedFrames&) = delete;
    PacedFrames& operator=(const PacedFrames&) = delete;

    // The milliseconds slept for the pace since the last call (0 while frames are not paced): a frame's own work is
    // its wall time less this.
    static double takeSleptMs() {
        if (!s_current) {
            return 0;
        }
        const double slept = s_current->_sleptMs;
        s_current->_sleptMs = 0;
        return slept;
    }

private:
    engine::FramePacer _pacer;
    double _sleptMs = 0;
    static inline PacedFrames* s_current = nullptr;
};

inline const char* pacingName(bool paced) {
    return paced ? "paced" : "unpaced";
}

// Runs measure(paced) twice: frames as fast as they go, then paced at the program's 60 a second (the user's figure).
template <class Measure> void unpacedThenPaced(Measure&& measure) {
    measure(false);
    PacedFrames pace;
    measure(true);
}

} // namespace bench
