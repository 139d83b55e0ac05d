#include <gtest/gtest.h>

#include <string>

#include "NavigationFixture.h"
#include "common/GDataManager.h"
#include "net/CoursewareManager.h"
#include "net/SqManager.h"
#include "scenes/GradeScene.h"
#include "scenes/ManageScene.h"
#include "scenes/ResourceScene.h"
#include "scenes/SubjectScene.h"
#include "ui/LoadingBar.h"

namespace {

using engine::Node;
using navigation::shown;
using navigation::textOf;
using support::click;
using support::findByName;

float percentOf(Node* root) {
    auto* bar = dynamic_cast<engine::ui::LoadingBar*>(findByName("LoadingBar", root));
    return bar ? bar->getPercent() : -1.f;
}

class ResourceSceneTest : public navigation::NavigationTest {
protected:
    // Logs in, chooses Mathematics of "Classroom Lessons" (grades 1, 2 and 5) and opens the resource scene from
    // the grade scene.
    void openResources() {
        loadCatalogue();
        SqManager::getInstance()->initCoursewareTable();
        GDataManager::getInstance()->courseTypeCode = 1;
        enter(SubjectScene::create());
        Node* maths = nullptr;
        for (Node* button : courseButtons()) {
            maths = button->getTag() == 1 ? button : maths;
        }
        ASSERT_NE(maths, nullptr);
        click(maths);
        ASSERT_TRUE(waitForScene<GradeScene>());
        ASSERT_TRUE(support::waitFor([] { return findByName("Img_LoadingBg") == nullptr; }));
        ASSERT_TRUE(click("ResManageBtn"));
        ASSERT_TRUE(waitForScene<ResourceScene>());
        support::stepFrames(5);
    }

    // The tip's text; its OK button closes it.
    static std::string closeTip() {
        const std::string content = tipText();
        click("Button2");
        support::stepFrames(5);
        return content;
    }
};

TEST_F(ResourceSceneTest, AGradesMissingPackagesAreQueuedShownWithProgressThenReady) {
    openResources();
    // Panel p shows the p-th of grades 1, 2, 3, 5, 6; grades the subject lacks keep their hidden panels. The shown
    // cards take the first slots side by side, each grade's progress node under its card.
    const struct {
        int panel;
        bool visible;
        const char* server;
        float cardX;
        const char* progress;
        float progressX;
    } panels[] = {{1, true, "20", 148, "Panel01", 48},
                  {2, true, "1", 394, "Panel02", 294},
                  {3, false, "0", 640, "Panel03", 540},
                  {4, true, "9", 640, "Panel05", 540},
                  {5, false, "0", 1132, "Panel06", 1032}};
    for (const auto& expected : panels) {
        Node* panel = findByName("GradePanel" + std::to_string(expected.panel));
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(panel->isVisible(), expected.visible) << expected.panel;
        EXPECT_EQ(textOf("ServerNum", panel), expected.server) << expected.panel;
        EXPECT_FLOAT_EQ(panel->getPositionX(), expected.cardX) << expected.panel;
        EXPECT_FLOAT_EQ(findByName(expected.progress)->getPositionX(), expected.progressX) << expected.progress;
        if (expected.visible) {
            EXPECT_EQ(textOf("LocalNum", panel), "0");
            EXPECT_EQ(textOf("Text", panel), "Download");
        }
    }

    CoursewareManager* courseware = CoursewareManager::getInstance();

    // The refresh button is a hint and queues nothing.
    ASSERT_TRUE(click("DownAllBtn"));
    support::stepFrames(5);
    EXPECT_NE(closeTip().find("Download button"), std::string::npos);
    EXPECT_TRUE(courseware->queue.empty());

    Node* gradeTwo = findByName("GradePanel2");
    ASSERT_TRUE(click("DownloadBg", gradeTwo));
    // Told on the press, while the grade's package still waits in the queue.
    EXPECT_EQ(courseware->queue.size(), 1u);
    EXPECT_EQ(closeTip(), "Missing lectures of this grade are queued.");
    ASSERT_TRUE(support::waitFor([] { return shown("Panel02"); }));
    support::saveScreenshot("resource_downloading");
    ASSERT_TRUE(support::waitFor([&] { return textOf("LocalNum", gradeTwo) == "1"; }));
    EXPECT_EQ(textOf("Text", gradeTwo), "Complete");
    EXPECT_FLOAT_EQ(percentOf(findByName("Panel02")), 100.f);
    EXPECT_EQ(textOf("Text", findByName("Panel02")), "Complete");
    // Grade 1 still misses its packages.
    EXPECT_EQ(textOf("Text", findByName("GradePanel1")), "Download");
    support::stepFrames(5);
    support::saveScreenshot("resource_ready");

    // Progress reaches the node of the code's grade; 0 expected bytes is 0 %; a short code is no grade.
    courseware->progressCallback("0101050101", 256, 1024);
    EXPECT_TRUE(shown("Panel05"));
    EXPECT_FLOAT_EQ(percentOf(findByName("Panel05")), 25.f);
    EXPECT_EQ(textOf("Text", findByName("Panel05")), "Downloading\u2026");
    courseware->progressCallback("0101050101", 10, 0);
    EXPECT_FLOAT_EQ(percentOf(findByName("Panel05")), 0.f);
    courseware->progressCallback("01010", 1, 2);
    EXPECT_TRUE(logged("no grade in identify \"01010\""));
    EXPECT_FALSE(shown("Panel01"));
    EXPECT_FLOAT_EQ(percentOf(findByName("Panel02")), 100.f);

    // The callbacks never reach a scene that has gone.
    ASSERT_TRUE(click("Btn_Return"));
    ASSERT_TRUE(waitForScene<GradeScene>());
    EXPECT_FALSE(courseware->progressCallback);
    EXPECT_FALSE(courseware->finishCallback);
}

TEST_F(ResourceSceneTest, ManagePagesShowTheGradesLecturesByStage) {
    openResources();
    ASSERT_TRUE(click("ManageBtn", findByName("GradePanel4")));
    ASSERT_TRUE(waitForScene<ManageScene>());
    support::stepFrames(5);
    GDataManager* data = GDataManager::getInstance();
    EXPECT_EQ(data->gradeCode, 5);
    EXPECT_EQ(data->phaseCode, 1);
    for (int row = 1; row <= 12; ++row) {
        EXPECT_EQ(shown("DownloadBg" + std::to_string(row)), row <= 6) << row;
        EXPECT_FALSE(shown("DeleteBtn" + std::to_string(row))) << row;
    }
    EXPECT_EQ(textOf("Text", findByName("DownloadBg6")), "6. Unit test");
    support::saveScreenshot("resource_manage");

    ASSERT_TRUE(click("StageBtn2"));
    EXPECT_EQ(data->phaseCode, 2);
    EXPECT_TRUE(shown("DownloadBg1"));
    EXPECT_FALSE(shown("DownloadBg2"));
    ASSERT_TRUE(click("Btn_Return"));
    EXPECT_TRUE(waitForScene<ResourceScene>());
}

} // namespace
