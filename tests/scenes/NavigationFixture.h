// Shared fixture of the navigation scene tests: the client fixture with the demo catalogue loaded the way the
// login chain loads it, and a server that answers only when the test says so.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include <httplib.h>
#include <rapidjson/document.h>

#include "base/Director.h"
#include "support/ClientTest.h"
#include "support/LocalHttpServer.h"

namespace engine {
class Node;
class Scene;
} // namespace engine

namespace navigation {

// Frames allowed for a reply of the loopback server.
constexpr int kReplyFrames = 3000;

class NavigationTest : public support::ClientTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Logs the demo teacher in, then reads "getCourseIcon" and "getCoursePermission" into the global data as
    // the login chain does; the icon fields name the server's own copies of the icon files.
    void loadCatalogue();
    // Runs the scene and lets its entry (music, page building) happen.
    void enter(engine::Scene* scene);
    template <class T> T* runningAs() const {
        return dynamic_cast<T*>(engine::Director::getInstance()->getRunningScene());
    }
    // Steps until the running scene is a T.
    template <class T> bool waitForScene(int frames = kReplyFrames) {
        return support::stepUntil([this] { return runningAs<T>() != nullptr; }, frames);
    }
    // The course buttons ("Btn_Course") on the scene's "Panel_Layout", in slot order.
    std::vector<engine::Node*> courseButtons() const;

private:
    void readCourseIcons(rapidjson::Value& data);
    void readPermissions(rapidjson::Value& data);
    std::string localIcon(const std::string& url) const;
};

// Answers every POST with the next body the test hands it, holding each request until then.
class ScriptedServer {
public:
    ScriptedServer();
    // Lets held requests go with a 503 and stops.
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    std::string baseUrl() const;
    // The reply {"code":0,"status":0,"msg":"","data":<data>} for the next request.
    void answer(const std::string& data);
    int received() const;

private:
    mutable std::mutex _mutex;
    std::condition_variable _condition;
    std::deque<std::string> _replies;
    int _received = 0;
    bool _stopping = false;
    // Last: it stops and joins its handlers before the members they use go.
    support::LocalHttpServer _server;
};

} // namespace navigation
