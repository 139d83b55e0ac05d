#include <gtest/gtest.h>

#include <fstream>

#include "NavigationFixture.h"
#include "common/GDataManager.h"
#include "layout/CSLoader.h"
#include "scenes/CourseScene.h"
#include "scenes/LoginScene.h"
#include "scenes/SubjectScene.h"
#include "ui/Button.h"

namespace {

using support::click;
using support::findByName;

class CourseSceneTest : public navigation::NavigationTest {
protected:
    // Course types 1..count, all enabled, without icons.
    static void setCourseTypes(int count) {
        auto& types = GDataManager::getInstance()->courseTypes;
        types.clear();
        for (int code = 1; code <= count; ++code) {
            CourseTypeRecord type;
            type.typeCode = code;
            type.enabled = 1;
            types[code] = type;
        }
    }

    // Visibility of a widget as "CourseScene.csb" gives it.
    static bool visibleInLayout(const std::string& name) {
        engine::Node* layout = engine::CSLoader::createNode("CourseScene.csb");
        engine::Node* widget = layout ? support::findByName(name, layout) : nullptr;
        return widget && widget->isVisible();
    }

    // x as a fraction of "Panel_Layout"'s width, y of its height.
    static engine::Vec2 placeOnPanel(const engine::Node* button) {
        const engine::Size size = findByName("Panel_Layout")->getContentSize();
        return engine::Vec2(button->getPositionX() / size.width, button->getPositionY() / size.height);
    }
};

TEST_F(CourseSceneTest, PagesTheCatalogueFourToAPage) {
    loadCatalogue();
    auto* scene = CourseScene::create();
    enter(scene);
    EXPECT_EQ(scene->getPageCount(), 2);
    ASSERT_TRUE(findByName("Btn_Next") && findByName("Btn_Preview"));
    EXPECT_TRUE(findByName("Btn_Next")->isVisible());
    EXPECT_TRUE(findByName("Btn_Preview")->isVisible());

    auto buttons = courseButtons();
    ASSERT_EQ(buttons.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(buttons[i]->getTag(), i + 1);
        EXPECT_FLOAT_EQ(placeOnPanel(buttons[i]).x, 0.125f * static_cast<float>(2 * i + 1));
        EXPECT_FLOAT_EQ(placeOnPanel(buttons[i]).y, 0.5f);
        EXPECT_TRUE(dynamic_cast<engine::ui::Button*>(buttons[i])->isBright());
    }
    support::saveScreenshot("course");

    // Page 2: only the locked "Coming Soon", inert.
    ASSERT_TRUE(click("Btn_Next"));
    EXPECT_EQ(scene->getPage(), 2);
    buttons = courseButtons();
    ASSERT_EQ(buttons.size(), 1u);
    auto* locked = dynamic_cast<engine::ui::Button*>(buttons[0]);
    EXPECT_EQ(locked->getTag(), 5);
    EXPECT_FLOAT_EQ(placeOnPanel(locked).x, 0.125f);
    EXPECT_FALSE(locked->isBright());
    EXPECT_FALSE(locked->isTouchEnabled());
    click(locked);
    support::stepFrames(3);
    EXPECT_EQ(runningAs<CourseScene>(), scene);
    EXPECT_EQ(GDataManager::getInstance()->courseTypeCode, 0);

    // Past either end the page stays and is not rebuilt.
    ASSERT_TRUE(click("Btn_Next"));
    EXPECT_EQ(scene->getPage(), 2);
    EXPECT_EQ(courseButtons().front(), locked);
    ASSERT_TRUE(click("Btn_Preview"));
    EXPECT_EQ(scene->getPage(), 1);
    engine::Node* first = courseButtons().front();
    ASSERT_TRUE(click("Btn_Preview"));
    EXPECT_EQ(scene->getPage(), 1);
    EXPECT_EQ(courseButtons().front(), first);
    EXPECT_EQ(courseButtons().size(), 4u);
}

TEST_F(CourseSceneTest, EnteringClearsTheChoiceAndATypeOpensItsSubjects) {
    loadCatalogue();
    GDataManager* data = GDataManager::getInstance();
    data->courseTypeCode = 3;
    data->subjectCode = 4;
    data->gradeCode = 5;
    data->phaseCode = 2;
    data->lessonNumber = 6;
    data->classIdSelected = 101;
    enter(CourseScene::create());
    EXPECT_EQ(data->courseTypeCode, 0);
    EXPECT_EQ(data->subjectCode, 0);
    EXPECT_EQ(data->gradeCode, 0);
    EXPECT_EQ(data->phaseCode, 0);
    EXPECT_EQ(data->lessonNumber, 0);
    EXPECT_EQ(data->classIdSelected, 0);

    auto buttons = courseButtons();
    ASSERT_EQ(buttons.size(), 4u);
    click(buttons[1]);
    ASSERT_TRUE(waitForScene<SubjectScene>());
    EXPECT_EQ(data->courseTypeCode, 2);
}

TEST_F(CourseSceneTest, ReturnLeadsToTheLoginScene) {
    setCourseTypes(2);
    enter(CourseScene::create());
    ASSERT_TRUE(click("Btn_Return"));
    EXPECT_TRUE(waitForScene<LoginScene>());
}

TEST_F(CourseSceneTest, SmallCataloguesLeaveThePagingButtonsAsLaidOut) {
    setCourseTypes(0);
    auto* empty = CourseScene::create();
    enter(empty);
    EXPECT_EQ(empty->getPageCount(), 0);
    EXPECT_TRUE(courseButtons().empty());
    ASSERT_TRUE(findByName("Btn_Next"));
    EXPECT_EQ(findByName("Btn_Next")->isVisible(), visibleInLayout("Btn_Next"));
    EXPECT_EQ(findByName("Btn_Preview")->isVisible(), visibleInLayout("Btn_Preview"));

    setCourseTypes(4);
    auto* single = CourseScene::create();
    enter(single);
    EXPECT_EQ(single->getPageCount(), 1);
    EXPECT_EQ(courseButtons().size(), 4u);
    EXPECT_EQ(findByName("Btn_Next")->isVisible(), visibleInLayout("Btn_Next"));
    ASSERT_TRUE(click("Btn_Next"));
    EXPECT_EQ(single->getPage(), 1);
}

TEST_F(CourseSceneTest, WidgetsMissingFromTheLayoutAreLoggedAndSkipped) {
    // The program folder is searched before the pack: this layout has a return button only.
    std::ofstream(programFolder() + "CourseScene.csb")
        << R"({ "format": "classroom-layout", "version": 1, "root": { "kind": "Node", "children": [
               { "kind": "Button", "name": "Btn_Return", "size": [80, 80] } ] } })";
    setCourseTypes(5);
    auto* scene = CourseScene::create();
    enter(scene);
    EXPECT_TRUE(logged("error widget: Panel_Layout"));
    EXPECT_TRUE(logged("error widget: Btn_Next"));
    scene->changePage(1);
    EXPECT_EQ(scene->getPage(), 2);
    EXPECT_EQ(runningAs<CourseScene>(), scene);
}

} // namespace
