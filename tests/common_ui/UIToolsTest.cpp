#include <gtest/gtest.h>

#include "CommonUiFixture.h"
#include "base/Director.h"
#include "common/BaseScene.h"
#include "common/ClassroomRecords.h"
#include "common/CoursewareData.h"
#include "common/UITools.h"
#include "layout/CSLoader.h"
#include "scene/Sprite.h"
#include "ui/Button.h"
#include "ui/ImageView.h"
#include "ui/Text.h"

using common_ui::CommonUiTest;
using common_ui::layoutJson;
using engine::Node;

namespace {

Node* named(const std::string& name, Node* parent, int tag = Node::INVALID_TAG) {
    Node* node = Node::create();
    node->setName(name);
    node->setTag(tag);
    if (parent) {
        parent->addChild(node);
    }
    return node;
}

std::string textureOf(Node* root, const std::string& name) {
    return dynamic_cast<engine::ui::ImageView*>(UITools::seekChildByName(root, name))->getTextureFile();
}

} // namespace

TEST(UIToolsSeek, BreadthFirstShallowerLevelThenEarlierParent) {
    Node* root = named("root", nullptr, 1);
    Node* a = named("a", root);
    Node* b = named("b", root);
    named("x", named("a1", a), 7);
    Node* underA = named("y", a);
    named("y", b);
    Node* shallowX = named("x", b, 7);

    EXPECT_EQ(UITools::seekChildByName(root, "root"), root);
    EXPECT_EQ(UITools::seekChildByName(root, "y"), underA);
    EXPECT_EQ(UITools::seekChildByName(root, "x"), shallowX);
    EXPECT_EQ(UITools::seekChildByName(root, "Y"), nullptr);
    EXPECT_EQ(UITools::seekChildByName(nullptr, "a"), nullptr);
    EXPECT_EQ(UITools::seekChildByTag(root, 1), root);
    EXPECT_EQ(UITools::seekChildByTag(root, 7), shallowX);
    EXPECT_EQ(UITools::seekChildByTag(root, 9), nullptr);
}

TEST(UIToolsSeek, PrefixStopsAtTheFirstMissingNumber) {
    Node* root = named("root", nullptr);
    for (int n : {1, 2, 3, 4, 5, 7}) {
        named("OperImg" + std::to_string(n), root);
    }
    std::vector<Node*> found{root};
    UITools::seekChildrenByPrefix(found, root, "OperImg");
    ASSERT_EQ(found.size(), 5u);
    EXPECT_EQ(found[4]->getName(), "OperImg5");
    UITools::seekChildrenByPrefix(found, root, "PanelImg");
    EXPECT_TRUE(found.empty());
}

class UIToolsLayout : public CommonUiTest {};

TEST_F(UIToolsLayout, AdaptsToATallerWindow) {
    support::startHeadless(engine::Size(1024, 768));
    ASSERT_FLOAT_EQ(engine::Director::getInstance()->getWinSize().height, 960.f);
    GDataManager::getInstance()->screenOffsetY = 120.f;
    writeScratch("Adapt.csb", layoutJson(R"(
        { "kind": "Node", "name": "Child", "pos": [10, 100] },
        { "kind": "Panel", "name": "Panel1", "pos": [5, 5], "size": [100, 100] },
        { "kind": "Node", "name": "Group", "pos": [0, 40], "children": [
            { "kind": "Panel", "name": "Panel2", "pos": [7, 7], "size": [100, 100] },
            { "kind": "Button", "name": "Btn_Return", "pos": [60, 300], "size": [80, 80], "anchor": [0.5, 1] } ] },
        { "kind": "Panel", "name": "Panel4", "pos": [0, 10], "size": [100, 100] })"));

    Node* root = UITools::createCsbNode("Adapt.csb");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->getChildByName("Child")->getPosition(), engine::Vec2(10, 220));
    EXPECT_FLOAT_EQ(root->getChildByName("Group")->getPositionY(), 160.f);
    for (const char* name : {"Panel1", "Panel2"}) {
        Node* panel = UITools::seekChildByName(root, name);
        EXPECT_EQ(panel->getPosition(), engine::Vec2::ZERO) << name;
        EXPECT_EQ(panel->getAnchorPoint(), engine::Vec2::ZERO) << name;
        EXPECT_EQ(panel->getContentSize(), engine::Size(1280, 960)) << name;
    }
    // Numbering stops at the missing 3: Panel4 is only shifted.
    EXPECT_EQ(root->getChildByName("Panel4")->getContentSize(), engine::Size(100, 100));
    EXPECT_FLOAT_EQ(root->getChildByName("Panel4")->getPositionY(), 130.f);
    EXPECT_EQ(UITools::seekChildByName(root, "Btn_Return")->getPosition(), engine::Vec2(60, 960));

    EXPECT_EQ(UITools::createCsbNode("NoSuchLayout.csb"), nullptr);
    EXPECT_TRUE(logged("NoSuchLayout.csb"));
}

TEST_F(UIToolsLayout, ListItemLayoutsKeepTheirPositionsByExactName) {
    GDataManager::getInstance()->screenOffsetY = 120.f;
    const auto firstChildY = [](Node* root) {
        return root && !root->getChildren().empty() ? root->getChildren().at(0)->getPositionY() : -1.f;
    };
    for (const std::string file : {"LectureBtn.csb", "Head1.csb", "Head2.csb"}) {
        SCOPED_TRACE(file);
        const float rawY = firstChildY(engine::CSLoader::createNode(file));
        ASSERT_GE(rawY, 0.f);
        EXPECT_FLOAT_EQ(firstChildY(UITools::createCsbNode(file)), rawY);
        // Another name for the same layout is adapted: the exemption goes by the exact name.
        const std::string copy = "copy-" + file;
        writeScratch(copy, engine::FileUtils::getInstance()->getStringFromFile(file));
        EXPECT_FLOAT_EQ(firstChildY(UITools::createCsbNode(copy)), rawY + 120.f);
    }
}

TEST_F(UIToolsLayout, ClientBackgroundFollowsTheClientId) {
    Node* root = UITools::createCsbNode("LoadingLayer.csb");
    ASSERT_FALSE(UITools::seekChildByName(root, "Img_Bg9")->isVisible());
    UITools::showClientBackground(root);
    EXPECT_TRUE(UITools::seekChildByName(root, "Img_Bg9")->isVisible());
}

class UIToolsClick : public CommonUiTest {
protected:
    void SetUp() override {
        CommonUiTest::SetUp();
        writeScratch("Clicks.csb", layoutJson(R"(
            { "kind": "Button", "name": "Btn_A", "pos": [300, 300], "size": [160, 80], "fill": "#3aa3e6" },
            { "kind": "Button", "name": "Btn_B", "pos": [700, 300], "size": [160, 80], "fill": "#9eaab4" })"));
        support::runScene(BaseScene::create());
        root = UITools::createCsbNode("Clicks.csb");
        engine::Director::getInstance()->getRunningScene()->addChild(root);
    }

    Node* root = nullptr;
};

TEST_F(UIToolsClick, PlaysTheSoundThenRunsTheCallbackAtOnce) {
    EXPECT_EQ(UITools::addClickListener(
                  root, [] {}, false, "BtnClick.mp3", "Btn_None"),
              nullptr);
    std::vector<std::string> soundsAtCallback;
    UITools::addClickListener(
        root, [&] { soundsAtCallback = playedSounds; }, false, "BtnClick.mp3", "Btn_A");
    support::click("Btn_A");
    EXPECT_EQ(soundsAtCallback, std::vector<std::string>{"BtnClick.mp3"});
}

TEST_F(UIToolsClick, PressEffectDelaysTheCallbackAndIgnoresClicksUntilItRuns) {
    int runs = 0;
    auto* button = UITools::addClickListener(
        root, [&] { ++runs; }, true, "BtnClick.mp3", "Btn_A");
    support::click("Btn_A");
    support::stepFrames(6); // 0.1 s
    support::click("Btn_A");
    support::stepFrames(9);
    EXPECT_EQ(runs, 0);
    support::stepFrames(4); // past 0.3 s
    EXPECT_EQ(runs, 1);
    EXPECT_FLOAT_EQ(button->getScale(), 1.02f);
    EXPECT_TRUE(button->isHighlighted());
    support::stepFrames(40);
    EXPECT_EQ(runs, 1);
    // Once the callback has run the button answers again.
    support::click("Btn_A");
    support::stepFrames(20);
    EXPECT_EQ(runs, 2);
}

TEST_F(UIToolsClick, ClickWhileAnotherHandlerRunsIsDropped) {
    int runsB = 0;
    UITools::addClickListener(
        root, [&] { ++runsB; }, false, "BtnClick.mp3", "Btn_B");
    UITools::addClickListener(
        root, [&] { support::click("Btn_B"); }, false, "BtnClick.mp3", "Btn_A");
    support::click("Btn_A");
    EXPECT_EQ(runsB, 0);
    support::click("Btn_B");
    EXPECT_EQ(runsB, 1);
}

class UIToolsItems : public CommonUiTest {};

TEST_F(UIToolsItems, HeadItemsShowThePupilWithTheFrameOfTheGroup) {
    StudentRecord pupil;
    pupil.id = 1003;
    pupil.group = 3;
    pupil.name = "Chloe";
    pupil.headImage = "HeadImg1.png";
    Node* item = UITools::createHeadItem(pupil);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->getTag(), 1003);
    EXPECT_EQ(item->getAnchorPoint(), engine::Vec2::ANCHOR_MIDDLE);
    EXPECT_EQ(textureOf(item, "IconFrame"), "HeadImage/HeadFrame13.png");
    EXPECT_EQ(textureOf(item, "HeadImg"), "HeadImg1.png");
    EXPECT_EQ(dynamic_cast<engine::ui::Text*>(UITools::seekChildByName(item, "NameText"))->getString(), "Chloe");
    Node* item2 = UITools::createHeadItem2(pupil);
    EXPECT_EQ(item2->getTag(), 1003);
    EXPECT_EQ(textureOf(item2, "IconFrame"), "HeadImage/HeadFrame23.png");

    // The listener version clicks on its frame, without sound.
    support::runScene(BaseScene::create());
    int clicks = 0;
    Node* clickable = UITools::addHeadItemListener(pupil, [&] { ++clicks; });
    clickable->setPosition(640, 360);
    engine::Director::getInstance()->getRunningScene()->addChild(clickable);
    support::click("IconFrame");
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(playedSounds.empty());
}

TEST_F(UIToolsItems, LectureButtonShowsTheCoursewareState) {
    Node* parent = Node::create();
    CoursewareData courseware;
    courseware.Identify = "0101010102";
    const std::vector<std::pair<int, std::string>> cases = {
        {5, "Img_Download"}, {4, "Img_New"}, {2, "Loading"}, {1, ""}};
    for (const auto& [state, mark] : cases) {
        courseware.state = state;
        engine::ui::Button* button = UITools::createLectureButton(parent, courseware, engine::Vec2(100, 50));
        ASSERT_NE(button, nullptr) << state;
        Node* root = parent->getChildren().back();
        EXPECT_EQ(root->getTag(), 101010102);
        EXPECT_EQ(root->getPosition(), engine::Vec2(100, 50));
        EXPECT_EQ(button->isBright(), state != 5) << state;
        for (const char* name : {"Img_Download", "Img_New", "Loading"}) {
            EXPECT_EQ(UITools::seekChildByName(root, name)->isVisible(), mark == name) << state << " " << name;
        }
    }
}

TEST_F(UIToolsItems, CourseButtonTakesThePictureSizeInPixels) {
    support::startHeadless(engine::Size(1280, 720), 2.f);
    Node* parent = Node::create();
    const std::string picture = "HeadImage/HeadFrame11.png";
    engine::ui::Button* button = UITools::createCourseButton(parent, picture, "", "");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(parent->getChildrenCount(), 1);
    EXPECT_EQ(button->getNormalFile(), picture);
    engine::Texture2D* texture = engine::Sprite::create(picture)->getTexture();
    EXPECT_EQ(button->getContentSize(), engine::Size(texture->getPixelsWide(), texture->getPixelsHigh()));
}
