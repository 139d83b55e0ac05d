// The headless driver: the director on an off-screen surface, stepped with a fixed dt, driven by touches.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/Geometry.h"

namespace engine {
class Node;
class Scene;
} // namespace engine

namespace support {

constexpr float kFrame = 1.f / 60.f;

// The wall-time guard of a wait on another thread: a last resort against a hang, far above what a machine busy
// with other work takes, and below the time-out that CTest gives one case (300 s; 600 s in the sanitizer build).
#if defined(__SANITIZE_THREAD__)
constexpr double kWaitGuardSeconds = 900.0;
#elif defined(__SANITIZE_ADDRESS__)
constexpr double kWaitGuardSeconds = 480.0;
#else
constexpr double kWaitGuardSeconds = 180.0;
#endif

// An off-screen view of that frame size with the 1280x720 fixed-width design resolution.
void startHeadless(const engine::Size& frame = engine::Size(1280, 720), float contentScale = 1.f);
// Drops every scene, timer, action, cache and the view.
void stopHeadless();

void stepFrames(int frames, float dt = kFrame);
// Steps until the condition holds; false when maxFrames passed first. For what the director's clock decides.
bool stepUntil(const std::function<bool()>& condition, int maxFrames = 600, float dt = kFrame);
// Steps frames of dt until the condition holds; false when guardSeconds of wall time passed first. For what other
// threads do (replies, downloads, extraction, texture loading, libvlc), which takes real time however fast the
// frames go. A shorter guard only for a check that something does NOT happen soon.
// A wait also ends, as a failed check naming it, on a failure event the watch reports (a tip, a refusal).
bool waitFor(const std::function<bool()>& condition, double guardSeconds = kWaitGuardSeconds, float dt = kFrame);
// The program's failure events that end every waitFor: "" while there is none, else what happened. Fixtures set
// it for a test and clear it after (stopHeadless clears it too).
void setWaitWatch(std::function<std::string()> watch);

// The program's failure events over a fixture's captured log and the running scene: a tip or a refusal ("refused"
// in a log line) the test did not expect.
struct FailureEvents {
    std::vector<std::string> expectedTips; // a tip holding one of these ("" for any) is expected
    bool refusalExpected = false;
    size_t linesRead = 0;
    // "" while none happened, else what did.
    std::string next(const std::vector<std::string>& logLines);
};
// The text of the tip dialog on the running scene; "" when none shows.
std::string tipText();
// Runs the scene and steps until it is the running one.
void runScene(engine::Scene* scene);

// Breadth-first search below root (the running scene by default).
engine::Node* findByName(const std::string& name, engine::Node* root = nullptr);
engine::Vec2 worldCenter(const engine::Node* node);

// A touch began and ended at the node's centre through the real dispatcher; false when not found.
bool click(const std::string& name, engine::Node* root = nullptr);
void click(const engine::Node* node);
void tapAt(const engine::Vec2& point);
void drag(const engine::Vec2& from, const engine::Vec2& to, int steps = 8);

// Saves the next frame as build/screenshots/<name>.png and returns the path ("" on failure).
std::string saveScreenshot(const std::string& name);
// RGBA of one pixel of the last drawn frame, in window pixels from the top left.
engine::Color4B readPixel(int x, int y);

// A fresh folder under /tmp, removed with the object.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& path() const { return _path; }
    std::string file(const std::string& name) const { return _path + "/" + name; }

private:
    std::string _path;
};

// Fixture: a headless 1280x720 director for each test.
class HeadlessTest : public ::testing::Test {
protected:
    void SetUp() override { startHeadless(); }
    void TearDown() override { stopHeadless(); }
};

} // namespace support
