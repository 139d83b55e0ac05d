// The topic host: its type table, the road through the topics and out to the lesson player, the feedback and
// what happens to a type's callbacks when the host replaces the type.
#include <gtest/gtest.h>

#include "TopicFixture.h"
#include "topics/DownPage.h"
#include "topics/ShiZiTopic.h"
#include "topics/TopicTypeTable.h"
#include "ui/Button.h"
#include "ui/Text.h"

using namespace topics_test;

namespace {

bool shown(const std::string& name, Node* root = nullptr) {
    Node* node = support::findByName(name, root);
    return node && node->isVisibleInTree();
}

class TopicHost : public TopicTest {
protected:
    // A host on a plain scene for the topics of kind, from the given "Subject" map.
    TopicLayer* openHost(int kind, const ValueMap& subject) {
        manage()->contentKind = kind;
        writeTopics(subject);
        return support::openTopicHost();
    }

    // A lesson player on the demo lecture, stepped to navigation nav.
    LogicTopicScene* openLesson(int nav) {
        LogicTopicScene* lesson = TopicTest::openLesson();
        lesson->selectNav(nav);
        support::stepFrames(2);
        return lesson;
    }

    static TopicLayer* hostOf(LogicTopicScene* lesson) { return dynamic_cast<TopicLayer*>(lesson->getContentLayer()); }
};

ValueMap plainTopic(int code, const std::string& stem) {
    return {{"LayoutModel", Value(code)},
            {"Stem", Value(stem)},
            {"FuncBtns", Value("0&1&2&3&4&5")},
            {"ContentDubbing", Value(ValueVector{Value("c1.mp3")})},
            {"Images", Value(ValueMap{{"ContImgs", Value(ValueVector{Value("scene1.png")})}})},
            {"Animations", Value(ValueMap{})}};
}

} // namespace

TEST(TopicTypeTableTest, CodesMakeTheTypesTheTableNames) {
    support::startHeadless();
    const std::pair<int, const char*> named[] = {
        {101, "ClickPlay"},      {213, "ShowAnswer"},     {303, "LineImage"},       {511, "DragImage"},
        {601, "Jigsaw"},         {714, "FillNumSymbol"},  {804, "DirOperate"},      {902, "DragSort"},
        {100124, "DemoTopic"},   {101001, "SingleTopic"}, {101551, "SpecialTopic"}, {101903, "SpecialTopic"},
        {319506, "PinYinTopic"}, {320201, "ShiZiTopic"},  {401, "ClickColor"},
    };
    for (const auto& [code, type] : named) {
        EXPECT_EQ(TopicTypeTable::typeName(code), type) << code;
    }
    for (int code : {100,    104,    214,    512,    602,    715,    805,    903,    100125, 101002, 101214,
                     101552, 319003, 319507, 320103, 320202, 101100, 101305, 101403, 101602, 101803, 101904}) {
        EXPECT_EQ(TopicTypeTable::typeName(code), "") << code;
        EXPECT_EQ(TopicTypeTable::createType(code), nullptr) << code;
    }
    EXPECT_FALSE(TopicTypeTable::showAnswer(502, nullptr, nullptr));
    support::stopHeadless();
}

TEST_F(TopicHost, StepsThroughTheTopicsAndLeavesTheLessonOnAtEitherEnd) {
    LogicTopicScene* lesson = openLesson(NavTopics2);
    host = hostOf(lesson);
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(manage()->contentKind, 2);
    ASSERT_EQ(host->getTopicButtons().size(), static_cast<size_t>(manage()->getTopicCount()));
    EXPECT_TRUE(host->getTopicButtons()[0]->isHighlighted());
    EXPECT_FALSE(shown("Btn_Left")) << "the page's own buttons step between topics";
    EXPECT_EQ(dynamic_cast<engine::ui::Text*>(support::findByName("Text_Content"))->getString(), manage()->getStem());
    support::saveScreenshot("topics_host_kind2");

    const int last = manage()->getTopicCount() - 1;
    support::click(host->getTopicButtons()[last]);
    support::stepFrames(2);
    EXPECT_EQ(manage()->currentTopic, last);
    EXPECT_FALSE(host->getTopicButtons()[0]->isHighlighted());
    EXPECT_TRUE(host->getTopicButtons()[last]->isHighlighted());
    ASSERT_TRUE(support::click("Btn_Func1"));
    support::stepFrames(2);
    EXPECT_EQ(lesson->getCurrentNav(), NavTopics3) << "past the last topic of kind 2";

    host = hostOf(lesson);
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(manage()->contentKind, 3);
    ASSERT_TRUE(support::click("Btn_Func0"));
    support::stepFrames(2);
    EXPECT_EQ(lesson->getCurrentNav(), NavTopics2) << "before the first topic of kind 3";

    lesson->selectNav(NavTopics1);
    support::stepFrames(2);
    manage()->currentTopic = manage()->getTopicCount() - 1;
    ASSERT_TRUE(support::click("Btn_Func1"));
    support::stepFrames(2);
    EXPECT_EQ(lesson->getCurrentNav(), NavTopics1) << "kind 1 rests first";
    EXPECT_NE(support::findByName("Layout_RestStart"), nullptr);
}

TEST_F(TopicHost, SingleTopicLeavesByTheTopicCountAndShowsItsPage) {
    host = openHost(1, {{"1", Value(ValueVector{Value(plainTopic(101001, "Only one"))})}});
    EXPECT_TRUE(host->getTopicButtons().empty()) << "one topic: no bar";
    EXPECT_NE(host->getTypeLayer(), nullptr);
    EXPECT_TRUE(shown("Btn_ContVoice"));
    EXPECT_TRUE(shown("Btn_Func3"));
    // Outside a lesson player leaving only logs; the emptied page stays.
    ASSERT_TRUE(support::click("Btn_Func1"));
    support::stepFrames(2);
    EXPECT_TRUE(logged("error topic leave: no lesson player for 4"));
    EXPECT_EQ(host->getTypeLayer(), nullptr);
    EXPECT_FALSE(shown("Btn_Func1"));
    EXPECT_FALSE(shown("Btn_ContVoice"));
}

TEST_F(TopicHost, ConfiguredFeedbackOrTheCommonOneAndCallbacksOfARemovedType) {
    ValueMap configured = plainTopic(101001, "Configured");
    configured["Animations"] = Value(ValueMap{{"Right", Value("TopicRight")}, {"Wrong", Value("TopicWrong")}});
    configured["Images"] = Value(ValueMap{{"ResultImgs", Value(ValueVector{Value("Topic/ResultFrame.png")})}});
    ValueMap unknown = configured;
    unknown["Animations"] = Value(ValueMap{{"Right", Value("NoSuchAnimation")}});
    host = openHost(1, {{"1", Value(ValueVector{Value(configured), Value(unknown)})}});
    ASSERT_EQ(host->getTopicButtons().size(), 2u);
    EXPECT_TRUE(shown("Img_IP"));

    int ran = 0;
    host->showResult(true, [&] { ++ran; });
    EXPECT_TRUE(host->isResultShowing());
    EXPECT_FALSE(shown("Img_IP"));
    ASSERT_FALSE(playedSounds.empty());
    EXPECT_NE(playedSounds.back().find("RightCommon.mp3"), std::string::npos);
    host->showResult(false, [&] { ran += 100; });
    host->onResetTopic();
    EXPECT_TRUE(host->isResultShowing()) << "reports and reset wait for the feedback";
    ASSERT_TRUE(support::stepUntil([&] { return !host->isResultShowing(); }));
    EXPECT_EQ(ran, 1);
    EXPECT_TRUE(shown("Img_IP"));

    // A reload during the feedback removes the type layer: its continuation never runs.
    host->showResult(true, [&] { ran += 10; });
    host->onReloadTopic();
    ASSERT_TRUE(support::stepUntil([&] { return !host->isResultShowing(); }));
    support::stepFrames(2);
    EXPECT_EQ(ran, 1);

    // An animation the service does not know falls back to the common feedback, once.
    host->selectTopic(1);
    host->showResult(true, [&] { ran += 1000; });
    EXPECT_FALSE(host->isResultShowing());
    EXPECT_TRUE(SFAnimation::getInstance()->isResultBusy());
    ASSERT_TRUE(support::stepUntil([] { return !SFAnimation::getInstance()->isResultBusy(); }));
    support::stepFrames(3);
    EXPECT_EQ(ran, 1001);
    // Nor does the common feedback's, once its type layer has gone.
    host->showResult(true, [&] { ran += 10000; });
    host->onReloadTopic();
    ASSERT_TRUE(support::stepUntil([] { return !SFAnimation::getInstance()->isResultBusy(); }));
    support::stepFrames(3);
    EXPECT_EQ(ran, 1001);
}

TEST_F(TopicHost, NextPageContentVoiceAndShowAnswerWithoutOne) {
    ValueMap page = plainTopic(320201, "Characters");
    page["Images"] = Value(ValueMap{{"OperImgs", Value(ValueVector{Value("char1.png"), Value("char2.png")})}});
    page["Step"] = Value(3);
    host = openHost(1, {{"1", Value(ValueVector{Value(page)})}});
    support::useDemoLecture("0101010207");
    host->loadTopic();
    int heard = 0;
    manage()->contentVoiceHandler = [&] { ++heard; };
    ASSERT_TRUE(support::click("Btn_ContVoice"));
    EXPECT_EQ(heard, 1);

    ASSERT_TRUE(support::click("Btn_Func3"));
    EXPECT_NE(dynamic_cast<ShiZiTopic*>(host->getTypeLayer()), nullptr) << "no show-answer: nothing changes";
    ASSERT_TRUE(support::click("Btn_Func5"));
    support::stepFrames(1);
    auto* next = dynamic_cast<DownPage*>(host->getTypeLayer());
    ASSERT_NE(next, nullptr);
    EXPECT_FALSE(manage()->contentVoiceHandler) << "the handler went with its layer";
    EXPECT_TRUE(shown("NextImg1", next));
    EXPECT_FALSE(shown("OperImg1", next));
    support::click("Btn_ContVoice");
    EXPECT_EQ(heard, 1);
}

TEST_F(TopicHost, TallerWindowKeepsThePageTogetherAndDropsUnderTheFinger) {
    support::startHeadless(engine::Size(1280, 960));
    const engine::Size win = engine::Director::getInstance()->getWinSize();
    GDataManager::getInstance()->screenOffsetY = (win.height - 720.f) * 0.5f;
    host = hostOf(openLesson(NavTopics3));
    ASSERT_NE(host, nullptr);
    // 508 of the third kind: free drops, one step each.
    host->selectTopic(support::findTopic(508));
    support::stepFrames(2);
    EXPECT_EQ(dragTo(1, 2), widget("PanelImg2")->getPosition());
    EXPECT_EQ(manage()->stepCount, 1);
    support::saveScreenshot("topics_host_taller_window");
}
