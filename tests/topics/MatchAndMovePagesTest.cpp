// Line matching, jigsaw, direction and pinyin pages on the demo lectures, answered through the touch dispatcher:
// right and wrong answers, show answer and reset.
#include <gtest/gtest.h>

#include <algorithm>

#include "TopicFixture.h"
#include "topics/DirOperate.h"
#include "topics/Jigsaw.h"
#include "topics/LineImage.h"
#include "topics/PinYinTopic.h"
#include "ui/ImageView.h"

using namespace topics_test;

namespace {

class MatchAndMovePages : public TopicTest {
protected:
    template <class T> T* typed() const { return dynamic_cast<T*>(host->getTypeLayer()); }

    // Changes one key of the current topic and rebuilds its page ("Btn_Func4").
    void patchTopic(const std::string& key, const Value& value) {
        ValueMap map = manage()->topics[manage()->currentTopic].asValueMap();
        map[key] = value;
        manage()->topics[manage()->currentTopic] = Value(map);
        reload("Btn_Func4");
    }

    void reload(const std::string& button) {
        ASSERT_TRUE(support::click(button));
        support::stepFrames(2);
    }

    // Taps a picture and waits out its blink.
    void pick(const std::string& name) {
        tap(name);
        support::stepFrames(24);
    }

    std::string frameImage(const std::string& frame) const {
        auto* image = dynamic_cast<engine::ui::ImageView*>(widget(frame));
        return image ? image->getTextureFile() : "";
    }

    // Presses a direction button and waits for the piece to arrive.
    void press(int button) {
        tap("DirImg" + std::to_string(button));
        support::stepFrames(36);
    }
};

} // namespace

TEST_F(MatchAndMovePages, LinesAreJoinedInEitherOrderAndJudgedByShowAnswer) {
    ASSERT_TRUE(open(301));
    EXPECT_FALSE(judged()) << "no line drawn";
    pick("OperImg1");
    tap("LineImg3");
    tap("LineImg2");
    support::stepFrames(24);
    EXPECT_EQ(typed<LineImage>()->getLines().count("13"), 1u) << "the click during the blink is lost";
    pick("LineImg1");
    pick("OperImg2");
    pick("OperImg1");
    EXPECT_EQ(typed<LineImage>()->getLines().size(), 2u) << "a joined picture takes no clicks";
    EXPECT_FALSE(judged()) << "two of three lines";
    EXPECT_EQ(frameImage("Img_Frame11"), "Topic/Image_Line_Frame1.png");
    pick("OperImg3");
    pick("LineImg2");
    support::saveScreenshot("topics_line_301_right");
    EXPECT_TRUE(judged());

    reload("Btn_Func2");
    EXPECT_TRUE(typed<LineImage>()->getLines().empty());
    pick("OperImg1");
    pick("LineImg1");
    EXPECT_FALSE(judged());
    EXPECT_EQ(frameImage("Img_Frame11"), "Topic/Image_Line_Frame2.png") << "a wrong line's picture";
    EXPECT_EQ(frameImage("Img_Frame21"), "Topic/Image_Line_Frame2.png");
}

TEST_F(MatchAndMovePages, LinesSkipAMissingFrameAndKeysOfOtherLengths) {
    ASSERT_TRUE(open(302));
    widget("Img_Frame13")->removeFromParent();
    pick("LineImg1");
    pick("OperImg3");
    EXPECT_TRUE(typed<LineImage>()->getLines().empty()) << "no frame, no line";
    pick("OperImg3");
    EXPECT_FALSE(widget("Img_Frame21")->isVisible()) << "both selections were cleared";
    EXPECT_TRUE(widget("OperImg3")->isVisible());

    patchTopic("Answers", Value(ValueVector{Value(ValueVector{Value("12"), Value(1), Value("123")})}));
    pick("OperImg1");
    pick("LineImg2");
    EXPECT_FALSE(judged()) << "three answers, one line";
    EXPECT_EQ(frameImage("Img_Frame11"), "Topic/Image_Line_Frame1.png");
    support::saveScreenshot("topics_line_302");
}

TEST_F(MatchAndMovePages, JigsawCellsFollowTheGridAndEachPieceCountsOnce) {
    ASSERT_TRUE(open(601));
    const auto& cells = typed<Jigsaw>()->getCells();
    ASSERT_EQ(cells.size(), 6u);
    EXPECT_EQ(cells[0]->getPosition(), engine::Vec2(470, 492.5f));
    EXPECT_EQ(cells[5]->getPosition(), engine::Vec2(790, 357.5f));
    EXPECT_EQ(cells[0]->getContentSize(), engine::Size(160, 135));

    playedSounds.clear();
    const engine::Vec2 start = widget("OperImg1")->getPosition();
    EXPECT_EQ(dragTo(1, 1), start) << "piece 1 belongs to cell 3";
    EXPECT_TRUE(played("WrongCommon"));
    settle();
    EXPECT_EQ(dragTo(1, 3), cells[2]->getPosition());
    EXPECT_TRUE(played("RightCommon"));
    settle();
    dragTo(1, 3);
    EXPECT_EQ(manage()->stepCount, 1) << "the same piece in its cell again";
    settle();
    for (int piece = 2; piece <= 6; ++piece) {
        const int cell = std::array{0, 3, 1, 5, 2, 6, 4}[piece];
        dragTo(piece, cell);
        settle();
    }
    EXPECT_TRUE(manage()->isStepDone());
    support::saveScreenshot("topics_jigsaw_601_done");
    reload("Btn_Func2");
    EXPECT_EQ(manage()->stepCount, 0);
    EXPECT_EQ(widget("OperImg1")->getPosition(), start);
}

TEST_F(MatchAndMovePages, RoutesAreWalkedOnTheGridAndCheckedByShowAnswer) {
    for (int code : {801, 802}) {
        SCOPED_TRACE(code);
        ASSERT_TRUE(open(code));
        EXPECT_FALSE(judged()) << "the route [1] alone";
        EXPECT_FALSE(widget("AnswerImg12")->isVisible());
    }
    press(1);
    EXPECT_EQ(typed<DirOperate>()->getRoute(), std::vector<int>{1}) << "no node left of the start";
    tap("DirImg2");
    tap("DirImg4");
    support::stepFrames(36);
    EXPECT_EQ(typed<DirOperate>()->getRoute(), (std::vector<int>{1, 2})) << "a press while moving is lost";
    press(4);
    press(8);
    EXPECT_EQ(widget("OperImg1")->getPosition(), widget("PosNode33")->getPosition());
    EXPECT_TRUE(judged());
    for (const char* segment : {"AnswerImg12", "AnswerImg25", "AnswerImg59"}) {
        EXPECT_TRUE(widget(segment)->isVisible()) << segment;
    }
    support::saveScreenshot("topics_direction_802_route");
    reload("Btn_Func2");
    press(4);
    EXPECT_FALSE(judged());
    EXPECT_TRUE(widget("AnswerImg14")->isVisible());
}

TEST_F(MatchAndMovePages, ItemsBlockOrEndTheWalk) {
    ASSERT_TRUE(open(803));
    const engine::Vec2 start = widget("OperImg1")->getPosition();
    playedSounds.clear();
    press(8);
    EXPECT_TRUE(played("WrongCommon")) << "the square on node 5 is no answer";
    EXPECT_EQ(widget("OperImg1")->getPosition(), start);
    settle();
    for (int button : {4, 8, 2}) {
        press(button);
    }
    EXPECT_EQ(manage()->stepCount, 1);
    EXPECT_FALSE(widget("OperImg1")->isVisible());
    EXPECT_FALSE(widget("ContImg1")->isVisible());
    EXPECT_TRUE(played("RightCommon"));
}

TEST_F(MatchAndMovePages, ListeningQuizWantsTheVoiceBeforeEachAnswer) {
    ASSERT_TRUE(open(804));
    std::vector<int> order = typed<DirOperate>()->getQuestionOrder();
    std::sort(order.begin(), order.end());
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
    tap("DirImg2");
    EXPECT_NE(support::findByName("BgImage1"), nullptr) << "the tip: no voice heard yet";
    ASSERT_TRUE(support::click("Button2"));
    support::stepFrames(1);
    const int answers[] = {2, 4, 1};
    for (int step = 0; step < 3; ++step) {
        ASSERT_TRUE(support::click("Btn_ContVoice"));
        ASSERT_TRUE(support::stepUntil([] { return manage()->voiceBusy; }));
        const int right = answers[typed<DirOperate>()->getQuestionOrder()[step]];
        playedSounds.clear();
        tap("DirImg" + std::to_string(right % 4 + 1));
        EXPECT_TRUE(played("WrongCommon"));
        settle();
        tap("DirImg" + std::to_string(right));
        EXPECT_TRUE(played("RightCommon"));
        EXPECT_FALSE(manage()->voiceBusy);
        settle();
    }
    EXPECT_TRUE(manage()->isStepDone());
}

TEST_F(MatchAndMovePages, LetterCardsAreMarkedOrJudgedAtTheTap) {
    ASSERT_TRUE(open(319001));
    tap("OperImg3");
    tap("OperImg1");
    support::saveScreenshot("topics_pinyin_319001_marked");
    EXPECT_TRUE(judged());
    EXPECT_TRUE(judged()) << "the marks are counted anew";
    EXPECT_TRUE(widget("AnswerImg1")->isVisible());
    tap("OperImg3");
    EXPECT_FALSE(judged());

    for (int code : {319002, 319101, 319222}) {
        SCOPED_TRACE(code);
        ASSERT_TRUE(open(code));
        playedSounds.clear();
        tap("OperImg1");
        EXPECT_FALSE(widget("AnswerImg1")->isVisible());
        settle();
        tap("OperImg2");
        EXPECT_TRUE(widget("AnswerImg2")->isVisible());
        EXPECT_EQ(manage()->stepCount, 1);
        EXPECT_EQ(std::count_if(playedSounds.begin(), playedSounds.end(),
                                [](const std::string& s) { return s.find("Common") != std::string::npos; }),
                  code == 319101 ? 0 : 2)
            << "the common animations' sounds";
        settle();
    }
    support::saveScreenshot("topics_pinyin_319222");
}

TEST_F(MatchAndMovePages, AnimatedPicturesCountOneStepEachEvenUnknown) {
    ASSERT_TRUE(open(319102));
    tap("AniImg1");
    tap("AniImg2");
    EXPECT_TRUE(widget("AniImg2")->isVisible()) << "ignored while an animation plays";
    ASSERT_TRUE(support::stepUntil([] { return manage()->stepCount == 1; }));
    ValueMap animations{{"Contents", Value(ValueVector{Value("NoSuchAnimation")})}};
    patchTopic("Animations", Value(animations));
    tap("AniImg1");
    support::stepFrames(3);
    EXPECT_EQ(manage()->stepCount, 1) << "an animation that cannot play ends its step once";
    tap("AniImg2");
    support::stepFrames(3);
    EXPECT_EQ(manage()->stepCount, 2);
}

TEST_F(MatchAndMovePages, LettersDraggedIntoBoxesAndSlots) {
    ASSERT_TRUE(open(319501));
    // The topic is complete with the fourth card right, so the card moved out goes before it.
    for (auto [card, box] : {std::pair{1, 1}, {2, 2}, {3, 1}, {1, 2}}) {
        dragTo(card, box);
    }
    EXPECT_EQ(typed<PinYinTopic>()->getGroupContents()[0], std::vector<int>{10003});
    EXPECT_FALSE(judged());
    dragTo(4, 2);
    dragTo(1, 1);
    support::saveScreenshot("topics_pinyin_319501");
    EXPECT_TRUE(manage()->isStepDone());
    EXPECT_TRUE(judged());
    reload("Btn_Func2");
    EXPECT_TRUE(typed<PinYinTopic>()->getGroupContents()[1].empty()) << "reset";
    widget("PanelImg1")->setTag(20013);
    const engine::Vec2 at = widget("OperImg3")->getPosition();
    EXPECT_EQ(dragTo(3, 1), at) << "no thirteenth box";

    ASSERT_TRUE(open(319503));
    const size_t children = widget("OperImg1")->getParent()->getChildrenCount();
    const engine::Vec2 home = widget("OperImg2")->getPosition();
    EXPECT_EQ(dragTo(2, 1), home) << "the letter returns, its copy stays";
    dragTo(1, 2);
    dragTo(4, 1);
    EXPECT_EQ(typed<PinYinTopic>()->getSlotContents(), (std::vector<int>{2, 1, -1})) << "an occupied slot";
    EXPECT_FALSE(judged()) << "slot 3 is empty";
    dragTo(3, 3);
    EXPECT_EQ(widget("OperImg1")->getParent()->getChildrenCount(), children + 3);
    support::saveScreenshot("topics_pinyin_319503");
    EXPECT_TRUE(judged());

    ValueMap images = manage()->topics[manage()->currentTopic].asValueMap().at("Images").asValueMap();
    images["OperImgs"] = Value(ValueVector{Value("letter_a.png"), Value("missing.png"), Value("letter_m.png")});
    patchTopic("Images", Value(images));
    const size_t before = widget("OperImg1")->getParent()->getChildrenCount();
    widget("PanelImg3")->setTag(20009);
    dragTo(1, 3);
    dragTo(2, 1);
    EXPECT_EQ(typed<PinYinTopic>()->getSlotContents(), (std::vector<int>{2, -1, -1}))
        << "slot 9 is no slot; letter 2 has no picture and still fills its slot";
    EXPECT_EQ(widget("OperImg1")->getParent()->getChildrenCount(), before);
}

TEST_F(MatchAndMovePages, SlotPagesCountOnlyTheLettersTheyAskFor) {
    for (int code = 319503; code <= 319506; ++code) {
        SCOPED_TRACE(code);
        ASSERT_TRUE(open(code));
        const ValueVector answers = manage()->getFirstAnswers();
        int ones = 0;
        for (int s = 1; s <= static_cast<int>(answers.size()); ++s) {
            dragTo(1, s);
            ones += answers[s - 1].asInt() == 1;
        }
        EXPECT_EQ(manage()->stepCount, ones);
        EXPECT_FALSE(manage()->isStepDone()) << "letter 1 in every slot";
        reload("Btn_Func2");
        for (int s = 1; s <= static_cast<int>(answers.size()); ++s) {
            dragTo(answers[s - 1].asInt(), s);
        }
        EXPECT_TRUE(manage()->isStepDone());
    }
}

TEST_F(MatchAndMovePages, TallerWindowKeepsLinesPiecesAndCopiesInPlace) {
    support::startHeadless(engine::Size(1280, 960));
    GDataManager::getInstance()->screenOffsetY = 120.f;
    auto world = [](Node* node) { return node->getParent()->convertToWorldSpace(node->getPosition()); };
    ASSERT_TRUE(open(301));
    pick("OperImg2");
    pick("LineImg1");
    const LineRecord& line = typed<LineImage>()->getLines().at("21");
    EXPECT_EQ(page()->getRootNode()->convertToWorldSpace(line.start), world(widget("Img_Frame12")));
    EXPECT_EQ(page()->getRootNode()->convertToWorldSpace(line.end), world(widget("Img_Frame21")));
    support::saveScreenshot("topics_line_301_taller_window");

    ASSERT_TRUE(open(601));
    EXPECT_EQ(dragTo(2, 1), typed<Jigsaw>()->getCells()[0]->getPosition());
    EXPECT_EQ(manage()->stepCount, 1);

    ASSERT_TRUE(open(319503));
    dragTo(2, 1);
    Node* copy = widget("OperImg1")->getParent()->getChildren().back();
    EXPECT_FLOAT_EQ(world(copy).y, world(widget("PanelImg1")).y);
}
