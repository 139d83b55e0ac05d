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
#include "common/ClassroomRecords.h"
#include "common/CoursewareData.h"
#include "support/ClientTest.h"
#include "support/LocalHttpServer.h"

namespace engine {
class Node;
class Scene;
} // namespace engine

namespace navigation {

// The string of the Text of that name below root (the running scene when null); "<none>" when there is none.
std::string textOf(const std::string& name, engine::Node* root = nullptr);
// The node of that name below root is there and visible.
bool shown(const std::string& name, engine::Node* root = nullptr);
// Course type 1 and its subject 1 (play mode 1) chosen in the global data; the subject offers these grades.
void chooseSubject(const std::vector<GradeRecord>& grades);
// Lecture `number` of stage `stage`, course type 1, subject 1, grade 1, in package state `state`; its address
// is on a closed port.
CoursewareData lecture(int stage, int number, int state = 1);

class NavigationTest : public support::ClientTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Logs the demo teacher in, then reads "getCourseIcon" and "getCoursePermission" into the global data as
    // the login chain does; the icon fields name the server's own copies of the icon files.
    void loadCatalogue();
    // Runs the scene and lets its entry (music, page building) happen.
    void enter(engine::Scene* scene);
    // enter, then waits until the scene's animations are loaded: their loading layer takes every touch.
    void enterLoaded(engine::Scene* scene);
    template <class T> T* runningAs() const {
        return dynamic_cast<T*>(engine::Director::getInstance()->getRunningScene());
    }
    // Steps until the running scene is a T (the step to it often follows a reply).
    template <class T> bool waitForScene() {
        return support::waitFor([this] { return runningAs<T>() != nullptr; });
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
