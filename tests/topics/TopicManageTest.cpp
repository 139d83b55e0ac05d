// The topic data service: its readers and their defaults, the topic bar, the function buttons, the layout file, the
// picture families, the content panel's arrangements and the celebration.
#include <gtest/gtest.h>

#include <functional>

#include "TopicFixture.h"
#include "layout/CSLoader.h"
#include "ui/Button.h"
#include "ui/ImageView.h"
#include "ui/Text.h"

using namespace topics_test;

namespace {

std::string joined(const ValueVector& values) {
    std::string text;
    for (const Value& v : values) {
        text += (text.empty() ? "" : ",") + v.asString();
    }
    return text;
}

ValueMap fullTopic() {
    return {{"LayoutModel", Value(201)},
            {"Title", Value("First")},
            {"Stem", Value("Which one?")},
            {"FuncBtns", Value("0&1&9")},
            {"Dubbing", Value("q.mp3")},
            {"ContentDubbing", Value(ValueVector{Value("c1"), Value("c2"), Value("c3")})},
            {"AniDubbing", Value(ValueVector{Value("a1"), Value("a2")})},
            {"Animations", Value(ValueMap{{"Contents", Value(ValueVector{Value("Spin")})},
                                          {"Right", Value("TopicRight")},
                                          {"Wrong", Value("TopicWrong")},
                                          {"Celebrate", Value("TopicCelebrate")}})},
            {"Answers", Value(ValueVector{Value(ValueVector{Value(2), Value(4)}), Value(3)})},
            {"AutoLayout", Value(ValueMap{{"Type", Value(3)}, {"RowNum", Value(2)}, {"ColNum", Value(3)}})},
            {"Step", Value(2)}};
}

// Keys of the wrong kind: an int first answer, "Images" as a number, "LayoutModel" as text.
ValueMap damagedTopic() {
    return {{"LayoutModel", Value("320101")}, {"Answers", Value(ValueVector{Value(5)})}, {"Images", Value(7)}};
}

class TopicManageTest : public TopicTest {};

} // namespace

TEST_F(TopicManageTest, ReadersGiveTheValueOrTheirDefault) {
    writeKindTopics({Value(fullTopic()), Value(damagedTopic())});
    ASSERT_EQ(manage()->getTopicCount(), 2);
    const std::string mp3 = FileManager::getInstance()->getMp3Path();
    const std::string ani = FileManager::getInstance()->getTopicAniPath();
    struct Case {
        int topic;
        int steps;
        const char* what;
        std::function<std::string()> read;
        std::string expected;
    };
    auto text = [](int v) { return std::to_string(v); };
    const Case cases[] = {
        {0, 2, "content dubbing at the step", [] { return manage()->getContentDubbing(-1); }, mp3 + "c3"},
        {0, 3, "content dubbing past the end", [] { return manage()->getContentDubbing(-1); }, ""},
        {0, 0, "content dubbing by index", [] { return manage()->getContentDubbing(1); }, mp3 + "c2"},
        {0, 0, "negative ani dubbing", [] { return manage()->getAniDubbing(-5); }, mp3 + "a1"},
        {0, 0, "ani dubbing past the end", [] { return manage()->getAniDubbing(2); }, ""},
        {0, 0, "dubbing", [] { return manage()->getDubbing(); }, mp3 + "q.mp3"},
        {0, 0, "animation", [] { return manage()->getAnimations(0); }, ani + "Spin"},
        {0, 0, "missing animation", [] { return manage()->getAnimations(1); }, ""},
        {0, 0, "wrong animation", [] { return manage()->getResultAnimation(false); }, "TopicWrong"},
        {0, 0, "stem", [] { return manage()->getStem(); }, "Which one?"},
        {0, 0, "layout code", [=] { return text(manage()->getLayoutModel()); }, "201"},
        {0, 0, "first answers", [] { return joined(manage()->getFirstAnswers()); }, "2,4"},
        {0, 0, "grid",
         [=] { return text(manage()->getAutoLayoutType() * 100 + manage()->getRowNum() * 10 + manage()->getColNum()); },
         "323"},
        {0, 1, "one of two steps", [=] { return text(manage()->isStepDone()); }, "0"},
        {0, 2, "two of two steps", [=] { return text(manage()->isStepDone()); }, "1"},
        {1, 0, "no dubbing: the bare folder", [] { return manage()->getDubbing(); }, mp3},
        {1, 0, "layout code as text", [=] { return text(manage()->getLayoutModel()); }, "320101"},
        {1, 0, "an int first answer", [] { return joined(manage()->getFirstAnswers()); }, ""},
        {1, 0, "images of the wrong kind", [] { return joined(manage()->getImages("OperImgs")); }, ""},
        {1, 0, "no step: done at once", [=] { return text(manage()->isStepDone()); }, "1"},
        {1, 0, "no animations", [] { return manage()->getCelebrateAnimation(); }, ""},
        {-1, 0, "no topic: layout code", [=] { return text(manage()->getLayoutModel()); }, "0"},
        {-1, 0, "no topic: rows and columns", [=] { return text(manage()->getRowNum() * 10 + manage()->getColNum()); },
         "11"},
        {-1, 0, "no topic: dubbing", [] { return manage()->getDubbing(); }, ""},
        {-1, 1, "no topic: done", [=] { return text(manage()->isStepDone()); }, "1"},
        {2, 0, "past the end: result", [] { return manage()->getResultAnimation(true); }, ""},
        {2, 0, "past the end: answers", [] { return joined(manage()->getAnswers()); }, ""},
    };
    for (const Case& c : cases) {
        manage()->currentTopic = c.topic;
        manage()->stepCount = c.steps;
        EXPECT_EQ(c.read(), c.expected) << c.what;
    }
    EXPECT_TRUE(logged("error topic key: Images"));

    manage()->currentTopic = 0;
    auto piece = [](int tag) {
        engine::ui::Widget* widget = engine::ui::Widget::create();
        widget->setTag(tag);
        return widget;
    };
    EXPECT_TRUE(manage()->isInFirstAnswers(piece(10004)));
    EXPECT_FALSE(manage()->isInFirstAnswers(piece(10003)));
    manage()->currentTopic = 1;
    EXPECT_TRUE(manage()->isInFirstAnswers(piece(10003))) << "an empty list takes every piece";
}

TEST_F(TopicManageTest, MissingOrDamagedTopicDataGivesNoTopics) {
    struct Case {
        const char* what;
        ValueMap subject;
        int count;
    };
    const Case cases[] = {
        {"kind missing", {{"2", Value(ValueVector{Value(fullTopic())})}}, 0},
        {"kind not a list", {{"1", Value("topics")}}, 0},
        {"one topic not a map", {{"1", Value(ValueVector{Value(4), Value(fullTopic())})}}, 2},
    };
    for (const Case& c : cases) {
        logLines.clear();
        manage()->topics = {Value(fullTopic())};
        writeTopics(c.subject);
        EXPECT_EQ(manage()->getTopicCount(), c.count) << c.what;
        EXPECT_TRUE(logged("error topic")) << c.what;
    }
    manage()->currentTopic = 0;
    EXPECT_EQ(manage()->getLayoutModel(), 0) << "a damaged topic reads as empty";

    engine::FileUtils::getInstance()->removeFile(FileManager::getInstance()->getTopicPlistPath());
    manage()->loadTopics();
    EXPECT_EQ(manage()->getTopicCount(), 0);
}

TEST_F(TopicManageTest, DefaultTitleFillsOnlyItsFirstNumber) {
    ValueMap untitled = fullTopic();
    untitled["Title"] = Value("");
    writeKindTopics({Value(fullTopic()), Value(untitled), Value(untitled)});
    EXPECT_EQ(manage()->getTitle(0), "First");
    EXPECT_EQ(manage()->getTitle(2), "Practice 3");
    EXPECT_EQ(manage()->getTitle(3), "");
    EXPECT_EQ(manage()->getTitle(-1), "");
    writeScratch("Configs.plist", R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict><key>TopicDefaultTitle</key><dict>
<key>1</key><string>%s No. %d of %d %n</string></dict></dict></plist>)");
    EXPECT_EQ(manage()->getTitle(1), "%s No. 2 of %d %n");
}

TEST_F(TopicManageTest, ContentPanelArrangesRowsColumnsAndGrids) {
    writeScratch("Area.csb", common_ui::layoutJson(R"(
        { "kind": "ImageView", "name": "BgImg1", "pos": [640, 360], "size": [600, 400], "visible": false },
        { "kind": "Panel", "name": "Panel_Content", "pos": [640, 360], "size": [600, 400], "anchor": [0.5, 0.5] },
        { "kind": "ImageView", "name": "OperImg1", "pos": [0, 50], "size": [40, 40] },
        { "kind": "ImageView", "name": "OperImg2", "pos": [0, 50], "size": [40, 40] },
        { "kind": "ImageView", "name": "OperImg3", "pos": [0, 50], "size": [40, 40] },
        { "kind": "ImageView", "name": "OperImg4", "pos": [0, 50], "size": [40, 40] },
        { "kind": "ImageView", "name": "OperImg5", "pos": [0, 50], "size": [40, 40] },
        { "kind": "ImageView", "name": "OperImg6", "pos": [0, 50], "size": [40, 40], "visible": false })"));
    writeKindTopics({Value(fullTopic())});
    struct Case {
        int type, columns, rows;
        std::vector<engine::Vec2> expected;
    };
    const Case cases[] = {
        // A short last row spreads over the full width.
        {3, 3, 2, {{440, 460}, {640, 460}, {840, 460}, {490, 260}, {790, 260}}},
        // 0 takes the AutoLayout grid of the topic.
        {0, 0, 0, {{440, 460}, {640, 460}, {840, 460}, {490, 260}, {790, 260}}},
        {1, 5, 1, {{400, 50}, {520, 50}, {640, 50}, {760, 50}, {880, 50}}},
        {2, 1, 5, {{0, 520}, {0, 440}, {0, 360}, {0, 280}, {0, 200}}},
    };
    for (const Case& c : cases) {
        Node* root = engine::CSLoader::createNode("Area.csb");
        const auto widgets = manage()->initContentPanel(root, "OperImg", 1, c.type, c.columns, c.rows);
        ASSERT_EQ(widgets.size(), 5u) << "the hidden sixth is left out";
        for (size_t k = 0; k < widgets.size(); ++k) {
            EXPECT_NEAR(widgets[k]->getPositionX(), c.expected[k].x, 0.01) << "type " << c.type << " widget " << k;
            EXPECT_NEAR(widgets[k]->getPositionY(), c.expected[k].y, 0.01) << "type " << c.type << " widget " << k;
        }
    }
    ValueMap flat = fullTopic();
    flat["AutoLayout"] = Value(ValueMap{{"Type", Value(3)}, {"RowNum", Value(0)}, {"ColNum", Value(0)}});
    writeKindTopics({Value(flat)});
    Node* root = engine::CSLoader::createNode("Area.csb");
    const auto widgets = manage()->initContentPanel(root, "OperImg", 1, 0, 0, 0);
    EXPECT_FLOAT_EQ(widgets[4]->getPositionX(), 640.f) << "0 columns clamp to one";
}

TEST_F(TopicManageTest, TopicBarButtonsTakeTexturesTitlesAndWidth) {
    writeScratch("NavSubBtns.csb", common_ui::layoutJson(R"(
        { "kind": "ImageView", "name": "Img_SubNavBg1", "size": [200, 70], "visible": false, "children": [
            { "kind": "Button", "name": "Btn_NavSub1", "pos": [60, 35], "size": [80, 50], "visible": false,
              "children": [ { "kind": "Text", "name": "Text_Title" } ] },
            { "kind": "Button", "name": "Btn_NavSub2", "pos": [160, 35], "size": [80, 50], "visible": false,
              "children": [ { "kind": "Text", "name": "Text_Title" } ] },
            { "kind": "Button", "name": "Btn_NavSub3", "pos": [260, 35], "size": [80, 50], "visible": false,
              "children": [ { "kind": "Text", "name": "Text_Title" } ] } ] })"));
    for (const char* name : {"Nav/n.png", "Nav/p.png", "Nav/d.png"}) {
        writePicture(scratch.file(name), 100, 50);
    }
    ValueMap untitled = fullTopic();
    untitled["Title"] = Value("");
    writeKindTopics({Value(fullTopic()), Value(untitled), Value(untitled)});
    support::runScene(engine::Scene::create());

    auto makeHost = [] {
        Node* host = Node::create();
        Node* marker = Node::create();
        marker->setName("SubNavPos1");
        marker->setPosition(400, 650);
        host->addChild(marker);
        engine::Director::getInstance()->getRunningScene()->addChild(host);
        return host;
    };
    int chosen = -1;
    std::vector<engine::ui::Button*> buttons;
    manage()->createSubNav(makeHost(), buttons, [&](int i) { chosen = i; });
    ASSERT_EQ(buttons.size(), 3u);
    Node* background = support::findByName("Img_SubNavBg1");
    EXPECT_TRUE(background->isVisible());
    EXPECT_EQ(background->getPosition(), engine::Vec2(400, 650));
    EXPECT_FLOAT_EQ(background->getContentSize().width, 80.f * 3 + 6 * 2 + 36) << "no NavConfig entry: layout sizes";

    writeScratch("NavConfig.plist", R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict><key>101</key><dict><key>SubNavBtns</key><dict><key>1</key><dict>
<key>1</key><string>Nav/n.png</string><key>2</key><string>Nav/p.png</string><key>3</key><string>Nav/d.png</string>
</dict></dict></dict></dict></plist>)");
    buttons.clear();
    Node* host = makeHost();
    manage()->createSubNav(host, buttons, [&](int i) { chosen = i; });
    ASSERT_EQ(buttons.size(), 3u);
    background = UITools::seekChildByName(host, "Img_SubNavBg1");
    EXPECT_EQ(buttons[0]->getNormalFile(), "Nav/n.png");
    EXPECT_EQ(buttons[2]->getDisabledFile(), "Nav/d.png");
    EXPECT_FLOAT_EQ(buttons[1]->getContentSize().width, 100.f);
    EXPECT_FLOAT_EQ(background->getContentSize().width, 100.f * 3 + 6 * 2 + 36);
    auto title = [](Node* button) {
        return dynamic_cast<engine::ui::Text*>(UITools::seekChildByName(button, "Text_Title"))->getString();
    };
    EXPECT_EQ(title(buttons[0]), "First");
    EXPECT_EQ(title(buttons[2]), "Practice 3");
    support::stepFrames(2);
    support::click(buttons[1]);
    support::stepFrames(2);
    EXPECT_EQ(chosen, 1);
}

TEST_F(TopicManageTest, FunctionButtonsFollowTheList) {
    const std::pair<const char*, const char*> cases[] = {{"0&1&9", "110000"}, {"", "000000"}, {"5&2", "001001"}};
    for (const auto& [list, shown] : cases) {
        ValueMap topic = fullTopic();
        topic["FuncBtns"] = Value(list);
        manage()->topics = {Value(topic)};
        Node* root = Node::create();
        for (int k = 0; k < 6; ++k) {
            Node* button = engine::ui::Button::create();
            button->setName("Btn_Func" + std::to_string(k));
            root->addChild(button);
        }
        manage()->showFuncBtns(root);
        std::string seen;
        for (int k = 0; k < 6; ++k) {
            seen += root->getChildByName("Btn_Func" + std::to_string(k))->isVisible() ? '1' : '0';
        }
        EXPECT_EQ(seen, shown) << list;
    }
}

TEST_F(TopicManageTest, TopicLayoutFileOrTheMissingFileTip) {
    support::runScene(engine::Scene::create());
    ValueMap topic = fullTopic();
    topic["LayoutModel"] = Value(104);
    manage()->topics = {Value(topic), Value(fullTopic())};
    EXPECT_EQ(manage()->loadTopicCsb(), nullptr);
    auto* tip = dynamic_cast<engine::ui::Text*>(support::findByName("Content"));
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->getString(), "File not found:Topic000104.csb");

    writeScratch("Topic000201.csb", common_ui::layoutJson(R"({ "kind": "ImageView", "name": "OperImg1" })"));
    manage()->currentTopic = 1;
    Node* page = manage()->loadTopicCsb();
    ASSERT_NE(page, nullptr);
    EXPECT_NE(UITools::seekChildByName(page, "OperImg1"), nullptr);
}

TEST_F(TopicManageTest, ImageListsFillTheirWidgetFamilies) {
    writePicture(support::packagePath() + "TopicImg/a.png", 60, 40);
    writePicture(scratch.file("b.png"), 30, 30);
    ValueMap topic = fullTopic();
    topic["Images"] = Value(ValueMap{
        {"OperImgs", Value(ValueVector{Value("a.png"), Value(""), Value("missing.png")})},
        {"AnswerImgs", Value(ValueVector{Value("b.png")})},
        {"PanelImgs", Value(ValueVector{Value("a.png")})},
    });
    manage()->topics = {Value(topic)};
    writeScratch("Images.csb", common_ui::layoutJson(R"(
        { "kind": "ImageView", "name": "OperImg1", "size": [10, 10], "visible": false },
        { "kind": "ImageView", "name": "OperImg2", "size": [10, 10], "visible": false },
        { "kind": "ImageView", "name": "OperImg3", "size": [10, 10], "visible": false },
        { "kind": "ImageView", "name": "AnswerImg1", "size": [10, 10] },
        { "kind": "Text", "name": "PanelImg1" })"));
    Node* root = engine::CSLoader::createNode("Images.csb");
    manage()->loadTopicImages(root, true);
    auto image = [root](const char* name) {
        return dynamic_cast<engine::ui::ImageView*>(UITools::seekChildByName(root, name));
    };
    EXPECT_EQ(image("OperImg1")->getTextureFile(), FileManager::getInstance()->getTopicImgPath() + "a.png");
    EXPECT_TRUE(image("OperImg1")->isVisible());
    EXPECT_EQ(image("OperImg1")->getContentSize(), engine::Size(60, 40));
    EXPECT_FALSE(image("OperImg2")->isVisible()) << "an empty entry leaves the widget alone";
    EXPECT_TRUE(image("OperImg3")->isVisible());
    EXPECT_EQ(image("OperImg3")->getContentSize(), engine::Size(10, 10)) << "no picture, no new size";
    EXPECT_EQ(image("AnswerImg1")->getTextureFile(), "b.png") << "a name found as it stands is used so";
    EXPECT_FALSE(image("AnswerImg1")->isVisible()) << "answers start hidden";
    EXPECT_TRUE(logged("error topic image widget: PanelImg1"));
    manage()->loadTopicImages(nullptr, true);
}

TEST_F(TopicManageTest, CelebrationOnlyOnceTheStepsAreDone) {
    manage()->topics = {Value(fullTopic())};
    support::runScene(engine::Scene::create());
    Node* parent = Node::create();
    Node* page = Node::create();
    parent->addChild(page);
    engine::Director::getInstance()->getRunningScene()->addChild(parent);
    manage()->stepCount = 1;
    manage()->playRightFeedback(page);
    EXPECT_EQ(parent->getChildrenCount(), 1);
    EXPECT_TRUE(playedSounds.empty());
    manage()->stepCount = 2;
    manage()->playRightFeedback(page);
    EXPECT_EQ(parent->getChildrenCount(), 3) << "the page, the centre node and the animation beside it";
    ASSERT_FALSE(playedSounds.empty());
    EXPECT_NE(playedSounds.back().find("RightCommon.mp3"), std::string::npos);
}
