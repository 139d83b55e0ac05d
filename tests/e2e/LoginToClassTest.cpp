// The teacher's road from start-up to a chosen class, against the demo server: the program's own delegate starts
// it, the account is typed on the on-screen keyboard, and every screen passed is saved as a screenshot.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/AppDelegate.h"
#include "base/Director.h"
#include "common/GDataManager.h"
#include "lesson/DownloadLayer.h"
#include "net/HttpManager.h"
#include "network/HttpClient.h"
#include "scene/Scene.h"
#include "scenes/ClassScene.h"
#include "scenes/CourseScene.h"
#include "scenes/GradeScene.h"
#include "scenes/LectureScene.h"
#include "scenes/LoginScene.h"
#include "scenes/SubjectScene.h"
#include "support/ClientTest.h"
#include "ui/Text.h"

using engine::Node;
using support::click;
using support::findByName;
using support::stepFrames;

namespace {

template <class T> bool sceneIs() {
    return dynamic_cast<T*>(engine::Director::getInstance()->getRunningScene()) != nullptr;
}

class LoginToClass : public support::ClientTest {
protected:
    void TearDown() override {
        engine::network::HttpClient::destroyInstance();
        support::ClientTest::TearDown();
    }

    void launch() {
        ASSERT_TRUE(app.applicationDidFinishLaunching());
        ASSERT_TRUE(waitFor(sceneIs<LoginScene>));
        // The start-up chores (version check, animations) have settled when no panel stands over the screen.
        ASSERT_TRUE(
            waitFor([] { return !HttpManager::getInstance()->getLoadingPanel() && !findByName("Img_LoadingBg"); }));
        stepFrames(10);
    }

    // The key of the open on-screen keyboard that shows this label.
    static Node* key(const std::string& label) {
        for (int n = 1;; ++n) {
            Node* node = findByName("KeyBtn" + std::to_string(n));
            if (!node) {
                return nullptr;
            }
            auto* text = dynamic_cast<engine::ui::Text*>(node->getChildByName("Text"));
            if (text && text->getString() == label) {
                return node;
            }
        }
    }

    void typeInto(const std::string& field, const std::string& text) {
        ASSERT_TRUE(click(field));
        stepFrames(3);
        for (char c : text) {
            Node* node = key(std::string(1, c));
            ASSERT_NE(node, nullptr) << "no key " << c;
            click(node);
            stepFrames(1);
        }
    }

    // A touch beside the keyboard, on the hills, closes it.
    void closeKeyboard() {
        ASSERT_NE(findByName("KeyBtn1"), nullptr);
        support::tapAt(engine::Vec2(1000, 40));
        stepFrames(3);
        EXPECT_EQ(findByName("KeyBtn1"), nullptr);
    }

    // The buttons that the course and subject scenes put on "Panel_Layout", in slot order.
    static std::vector<Node*> panelButtons() {
        std::vector<Node*> buttons;
        if (Node* panel = findByName("Panel_Layout")) {
            for (Node* item : panel->getChildren()) {
                if (Node* button = findByName("Btn_Course", item)) {
                    buttons.push_back(button);
                }
            }
        }
        return buttons;
    }

    std::string fieldText(const std::string& name) const {
        auto* text = dynamic_cast<engine::ui::Text*>(findByName(name));
        return text ? text->getString() : "";
    }

    AppDelegate app;
};

TEST_F(LoginToClass, TheTeacherLogsInAndChoosesCourseSubjectGradeAndClass) {
    launch();
    support::saveScreenshot("e2e_1_login");

    typeInto("UserName", "teacher");
    support::saveScreenshot("e2e_2_keyboard");
    typeInto("PassWord", "1234");
    closeKeyboard();

    server.clearRecords();
    ASSERT_TRUE(click("Btn_Login"));
    ASSERT_TRUE(waitFor([] { return findByName("Layout_LoadPanel") != nullptr || sceneIs<CourseScene>(); }));
    if (findByName("Layout_LoadPanel")) {
        support::saveScreenshot("e2e_3_download_overlay");
    }
    ASSERT_TRUE(waitFor(sceneIs<CourseScene>));
    stepFrames(20);
    support::saveScreenshot("e2e_4_course");

    const auto logins = requestsNamed("login");
    ASSERT_EQ(logins.size(), 1u);
    EXPECT_EQ(logins[0].field("username"), "teacher");
    EXPECT_EQ(logins[0].field("password"), "1234");
    EXPECT_FALSE(HttpManager::getInstance()->token.empty());

    std::vector<Node*> types = panelButtons();
    ASSERT_FALSE(types.empty());
    click(types[0]);
    ASSERT_TRUE(waitFor(sceneIs<SubjectScene>));
    EXPECT_EQ(GDataManager::getInstance()->courseTypeCode, 1);
    ASSERT_TRUE(waitFor([] { return !HttpManager::getInstance()->getLoadingPanel(); }));
    stepFrames(20);
    support::saveScreenshot("e2e_5_subject");

    std::vector<Node*> subjects = panelButtons();
    ASSERT_FALSE(subjects.empty());
    click(subjects[0]);
    ASSERT_TRUE(waitFor(sceneIs<GradeScene>));
    EXPECT_EQ(GDataManager::getInstance()->subjectCode, 1);
    const auto courseLists = requestsNamed("getCourseList");
    ASSERT_FALSE(courseLists.empty());
    for (const auto& request : courseLists) {
        EXPECT_EQ(request.field("typeCode"), "1");
        EXPECT_EQ(request.field("subjectCode"), "1");
        EXPECT_EQ(request.token, HttpManager::getInstance()->token);
    }
    stepFrames(30);
    support::saveScreenshot("e2e_6_grade");

    ASSERT_TRUE(click("Btn_Grade1"));
    ASSERT_TRUE(waitFor(sceneIs<ClassScene>));
    EXPECT_EQ(GDataManager::getInstance()->gradeCode, 1);
    EXPECT_EQ(requestsNamed("getClassList").size(), 1u);
    stepFrames(30);
    support::saveScreenshot("e2e_7_class");

    EXPECT_EQ(fieldText("ClassName"), "Class 1A");
    ASSERT_TRUE(click("ClassImg1"));
    ASSERT_TRUE(waitFor(sceneIs<LectureScene>));
    EXPECT_EQ(GDataManager::getInstance()->classIdSelected, 101);
    stepFrames(40);
    support::saveScreenshot("e2e_8_lecture");
}

TEST_F(LoginToClass, AnExpiredSessionLeadsBackToTheLoginScreen) {
    launch();
    typeInto("UserName", "expired");
    typeInto("PassWord", "1234");
    closeKeyboard();
    ASSERT_TRUE(click("Btn_Login"));
    // The token is refused at the first request after login; either tip button returns to a new login screen.
    ASSERT_TRUE(waitFor([] { return findByName("BgImage1") != nullptr; }));
    ASSERT_TRUE(click("Button2"));
    ASSERT_TRUE(waitFor([] {
        auto* scene = dynamic_cast<LoginScene*>(engine::Director::getInstance()->getRunningScene());
        return scene && !findByName("BgImage1");
    }));
    EXPECT_EQ(requestsNamed("login").size(), 1u);
}

} // namespace
