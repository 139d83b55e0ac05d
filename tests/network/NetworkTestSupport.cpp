#include "NetworkTestSupport.h"

#include <fstream>
#include <sstream>
#include <thread>

#include "base/Director.h"
#include "support/Headless.h"

namespace {
bool g_insideFrameStep = false;

void stepOneFrame() {
    g_insideFrameStep = true;
    engine::Director::getInstance()->mainLoop(1 / 60.f);
    g_insideFrameStep = false;
}
} // namespace

bool pumpFramesUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline =
        std::chrono::steady_clock::now() +
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(limit * support::kSanitizerSlowdown);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        stepOneFrame();
        // Lets the workers run between frames.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void pumpFrames(int count) {
    for (int i = 0; i < count; ++i) {
        stepOneFrame();
    }
}

bool isInsideFrameStep() {
    return g_insideFrameStep;
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void NetworkTest::SetUp() {
    engine::Director::getInstance()->reset();
}

void NetworkTest::TearDown() {
    engine::Director::getInstance()->reset();
}
