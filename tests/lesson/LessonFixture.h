// Shared fixture of the lesson player tests: the client fixture with the global data and the courseware list of
// a chosen lecture set up as the grouping scene leaves them, and the lecture's package unpacked under "NetRes/".
#pragma once

#include <string>

#include "base/Director.h"
#include "lesson/LogicTopicScene.h"
#include "support/ClientTest.h"
#include "support/LectureChoice.h"

namespace lesson {

using support::childOf;
using support::Lecture;

// The node of that name below root (the running scene by default) exists and is visible.
bool shown(const std::string& name, engine::Node* root = nullptr);
std::string textOf(const std::string& name, engine::Node* root = nullptr);

class LessonTest : public support::ClientTest {
protected:
    void SetUp() override;
    void TearDown() override;

    static void choose(const Lecture& lecture) { support::chooseLecture(lecture); }
    // Nine pupils of class 101, some signed in, with scores and game results; group scores 4, 2, 0, 1.
    static void seatPupils();
    // Replaces the running scene by a new lesson player and steps until it opened its first content.
    LogicTopicScene* openLessonPlayer();
    static LogicTopicScene* player() {
        return dynamic_cast<LogicTopicScene*>(engine::Director::getInstance()->getRunningScene());
    }
};

} // namespace lesson
