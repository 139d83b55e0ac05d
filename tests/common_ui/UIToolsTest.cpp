#include <gtest/gtest.h>

#include "CommonUiFixture.h"
#include "base/Director.h"
#include "common/BaseScene.h"
#include "common/ClassroomRecords.h"
#include "common/UITools.h"
#include "layout/CSLoader.h"
#include "net/CoursewareData.h"
#include "scene/Sprite.h"
#include "ui/Button.h"
#include "ui/ImageView.h"
#include "ui/Text.h"

using common_ui::CommonUiTest;
using common_ui::layoutJson;
using engine::Node;

namespace {

Node* named(const std::string& name, Node* parent = nullptr, int tag = Node::INVALID_TAG) {
    Node* node = Node::create();
    node->setName(name);
    node->setTag(tag);
    if (parent) {
        parent->addChild(node);
    }
    return node;
}

const char* const kTwoButtons = R"(
    { "kind": "Button", "name": "Btn_A", "pos": [300, 300], "size": [160, 80], "fill": "#3aa3e6" },
    { "kind": "Button", "name": "Btn_B", "pos": [700, 300], "size": [160, 80], "fill": "#9eaab4" })";

} // namespace

// ---- Finding nodes

TEST(UIToolsSeek, ShallowerLevelWinsThenEarlierParent) {
    Node* root = named("root");
    Node* a = named("a", root);
    Node* b = named("b", root);
    Node* deep = named("x", named("a1", a));
    Node* underA = named("y", a);
    Node* underB = named("y", b);
    named("x", b);
    (void)deep;
    (void)underB;

    EXPECT_EQ(UITools::seekChildByName(root, "root"), root);
    EXPECT_EQ(UITools::seekChildByName(root, "y"), underA);
    EXPECT_EQ(UITools::seekChildByName(root, "x"), b->getChildByName("x"));
    EXPECT_EQ(UITools::seekChildByName(root, "nothing"), nullptr);
    EXPECT_EQ(UITools::seekChildByName(nullptr, "a"), nullptr);
    EXPECT_EQ(UITools::seekChildByName(root, "Y"), nullptr);
}

TEST(UIToolsSeek, ByTagSearchesTheSameWay) {
    Node* root = named("root", nullptr, 1);
    Node* a = named("a", root, 2);
    Node* deep = named("deep", a, 7);
    Node* shallow = named("shallow", root, 7);
    (void)deep;
    EXPECT_EQ(UITools::seekChildByTag(root, 1), root);
    EXPECT_EQ(UITools::seekChildByTag(root, 7), shallow);
    EXPECT_EQ(UITools::seekChildByTag(root, 9), nullptr);
    EXPECT_EQ(UITools::seekChildByTag(nullptr, 1), nullptr);
}

TEST(UIToolsSeek, PrefixStopsAtTheFirstMissingNumber) {
    Node* root = named("root");
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

// ---- Loading and adapting layouts

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
            { "kind": "Button", "name": "Btn_Return", "pos": [60, 300], "size": [80, 80], "anchor": [0.5, 1] }
        ] },
        { "kind": "Panel", "name": "Panel4", "pos": [0, 10], "size": [100, 100] })"));

    Node* root = UITools::createCsbNode("Adapt.csb");
    ASSERT_NE(root, nullptr);

    EXPECT_FLOAT_EQ(root->getChildByName("Child")->getPositionY(), 220.f);
    EXPECT_FLOAT_EQ(root->getChildByName("Child")->getPositionX(), 10.f);
    EXPECT_FLOAT_EQ(root->getChildByName("Group")->getPositionY(), 160.f);
    Node* panel1 = root->getChildByName("Panel1");
    EXPECT_EQ(panel1->getPosition(), engine::Vec2::ZERO);
    EXPECT_EQ(panel1->getAnchorPoint(), engine::Vec2::ZERO);
    EXPECT_EQ(panel1->getContentSize(), engine::Size(1280, 960));
    Node* panel2 = UITools::seekChildByName(root, "Panel2");
    EXPECT_EQ(panel2->getPosition(), engine::Vec2::ZERO);
    EXPECT_EQ(panel2->getContentSize(), engine::Size(1280, 960));
    // Numbering stops at the missing 3: Panel4 is only shifted.
    Node* panel4 = root->getChildByName("Panel4");
    EXPECT_EQ(panel4->getContentSize(), engine::Size(100, 100));
    EXPECT_FLOAT_EQ(panel4->getPositionY(), 130.f);
    Node* back = UITools::seekChildByName(root, "Btn_Return");
    EXPECT_FLOAT_EQ(back->getPositionY(), 960.f);
    EXPECT_FLOAT_EQ(back->getPositionX(), 60.f);
}

TEST_F(UIToolsLayout, ListItemLayoutsKeepTheirPositionsByExactName) {
    GDataManager::getInstance()->screenOffsetY = 120.f;
    Node* raw = engine::CSLoader::createNode("Head1.csb");
    Node* exempt = UITools::createCsbNode("Head1.csb");
    ASSERT_NE(raw, nullptr);
    ASSERT_NE(exempt, nullptr);
    EXPECT_EQ(exempt->getChildByName("NameText")->getPosition(), raw->getChildByName("NameText")->getPosition());

    writeScratch("head1.csb", engine::FileUtils::getInstance()->getStringFromFile("Head1.csb"));
    Node* adapted = UITools::createCsbNode("head1.csb");
    ASSERT_NE(adapted, nullptr);
    EXPECT_FLOAT_EQ(adapted->getChildByName("NameText")->getPositionY(),
                    raw->getChildByName("NameText")->getPositionY() + 120.f);
}

TEST_F(UIToolsLayout, MissingLayoutGivesNullAndALogLine) {
    EXPECT_EQ(UITools::createCsbNode("NoSuchLayout.csb"), nullptr);
    EXPECT_TRUE(logged("NoSuchLayout.csb"));
}

TEST_F(UIToolsLayout, ClientBackgroundFollowsTheClientId) {
    Node* root = UITools::createCsbNode("LoadingLayer.csb");
    ASSERT_NE(root, nullptr);
    ASSERT_FALSE(UITools::seekChildByName(root, "Img_Bg9")->isVisible());
    UITools::showClientBackground(root);
    EXPECT_TRUE(UITools::seekChildByName(root, "Img_Bg9")->isVisible());
}

TEST_F(UIToolsLayout, CenterNodeGoesToTheRunningSceneOrTheParent) {
    support::runScene(BaseScene::create());
    Node* scene = engine::Director::getInstance()->getRunningScene();
    Node* centre = UITools::createCenterNode(nullptr);
    EXPECT_EQ(centre->getParent(), scene);
    EXPECT_EQ(centre->getPosition(), engine::Vec2(640, 360));
    Node* parent = named("parent", scene);
    EXPECT_EQ(UITools::createCenterNode(parent)->getParent(), parent);
    UITools::removeSelf(parent);
    EXPECT_EQ(parent->getParent(), nullptr);
    UITools::removeSelf(nullptr);
}

// ---- Click handler

class UIToolsClick : public CommonUiTest {
protected:
    void SetUp() override {
        CommonUiTest::SetUp();
        writeScratch("Clicks.csb", layoutJson(kTwoButtons));
        support::runScene(BaseScene::create());
        root = UITools::createCsbNode("Clicks.csb");
        ASSERT_NE(root, nullptr);
        engine::Director::getInstance()->getRunningScene()->addChild(root);
    }

    Node* root = nullptr;
};

TEST_F(UIToolsClick, UnknownWidgetBindsNothing) {
    EXPECT_EQ(UITools::addClickListener(
                  root, [] {}, false, "BtnClick.mp3", "Btn_None"),
              nullptr);
}

TEST_F(UIToolsClick, PlaysTheSoundThenRunsTheCallbackAtOnce) {
    size_t soundsBeforeCallback = 0;
    int runs = 0;
    ASSERT_NE(UITools::addClickListener(
                  root,
                  [&] {
                      ++runs;
                      soundsBeforeCallback = playedSounds.size();
                  },
                  false, "BtnClick.mp3", "Btn_A"),
              nullptr);
    support::click("Btn_A");
    EXPECT_EQ(runs, 1);
    ASSERT_EQ(soundsBeforeCallback, 1u);
    EXPECT_EQ(playedSounds[0], "BtnClick.mp3");
}

TEST_F(UIToolsClick, PressEffectDelaysTheCallbackAndLeavesTheButtonPressed) {
    int runs = 0;
    auto* button = UITools::addClickListener(
        root, [&] { ++runs; }, true, "BtnClick.mp3", "Btn_A");
    support::click("Btn_A");
    support::stepFrames(15); // 0.25 s
    EXPECT_EQ(runs, 0);
    support::stepFrames(4);
    EXPECT_EQ(runs, 1);
    EXPECT_FLOAT_EQ(button->getScale(), 1.02f);
    EXPECT_TRUE(button->isHighlighted());
}

TEST_F(UIToolsClick, SecondClickDuringThePressEffectIsIgnored) {
    int runs = 0;
    UITools::addClickListener(
        root, [&] { ++runs; }, true, "BtnClick.mp3", "Btn_A");
    support::click("Btn_A");
    support::stepFrames(6); // 0.1 s
    support::click("Btn_A");
    support::stepFrames(60);
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

// ---- List items

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
    auto* frame = dynamic_cast<engine::ui::ImageView*>(UITools::seekChildByName(item, "IconFrame"));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->getTextureFile(), "HeadImage/HeadFrame13.png");
    auto* head = dynamic_cast<engine::ui::ImageView*>(UITools::seekChildByName(item, "HeadImg"));
    EXPECT_EQ(head->getTextureFile(), "HeadImg1.png");
    auto* name = dynamic_cast<engine::ui::Text*>(UITools::seekChildByName(item, "NameText"));
    EXPECT_EQ(name->getString(), "Chloe");

    Node* item2 = UITools::createHeadItem2(pupil);
    ASSERT_NE(item2, nullptr);
    EXPECT_EQ(item2->getTag(), 1003);
    frame = dynamic_cast<engine::ui::ImageView*>(UITools::seekChildByName(item2, "IconFrame"));
    EXPECT_EQ(frame->getTextureFile(), "HeadImage/HeadFrame23.png");
}

TEST_F(UIToolsItems, HeadItemListenerClicksWithoutSound) {
    support::runScene(BaseScene::create());
    StudentRecord pupil;
    pupil.id = 5;
    int clicks = 0;
    Node* item = UITools::addHeadItemListener(pupil, [&] { ++clicks; });
    ASSERT_NE(item, nullptr);
    item->setPosition(640, 360);
    engine::Director::getInstance()->getRunningScene()->addChild(item);
    support::click("IconFrame");
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(playedSounds.empty());
}

TEST_F(UIToolsItems, LectureButtonShowsTheCoursewareState) {
    Node* parent = Node::create();
    CoursewareData courseware;
    courseware.Identify = "0101010102";

    struct Case {
        int state;
        const char* mark;
    };
    for (const Case& c : {Case{5, "Img_Download"}, Case{4, "Img_New"}, Case{2, "Loading"}, Case{1, nullptr}}) {
        courseware.state = c.state;
        engine::ui::Button* button = UITools::createLectureButton(parent, courseware, engine::Vec2(100, 50));
        ASSERT_NE(button, nullptr) << c.state;
        Node* root = parent->getChildren().back();
        EXPECT_EQ(root->getTag(), 101010102);
        EXPECT_EQ(root->getPosition(), engine::Vec2(100, 50));
        EXPECT_EQ(button->isBright(), c.state != 5) << c.state;
        for (const char* mark : {"Img_Download", "Img_New", "Loading"}) {
            const bool shown = c.mark && std::string(c.mark) == mark;
            EXPECT_EQ(UITools::seekChildByName(root, mark)->isVisible(), shown) << c.state << " " << mark;
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
    engine::Sprite* probe = engine::Sprite::create(picture);
    ASSERT_NE(probe, nullptr);
    EXPECT_FLOAT_EQ(button->getContentSize().width, static_cast<float>(probe->getTexture()->getPixelsWide()));
    EXPECT_FLOAT_EQ(button->getContentSize().height, static_cast<float>(probe->getTexture()->getPixelsHigh()));
}
