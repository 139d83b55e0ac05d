// Every answering game: a right answer, Pause and Start during its effect and the same answer again count once.
#include "games/GamesFixture.h"
#include "games/LuckyTurn.h"

using games_test::GameTest;

TEST_F(GameTest, AnswerCountsOnceWhateverPauseAndStartDoDuringItsEffect) {
    struct Case {
        std::vector<const char*> lectures;
        std::function<void(GameLayer*)> answer;
        std::function<bool(GameLayer*)> inEffect = {}; // after the flight or carry that leads to the effect
        bool masked = false; // the common feedback's mask holds the touches: the frame's handlers are called
    };
    const auto clickRight = [](GameLayer* frame) { support::click(option(frame, rightChoice(frame))); };
    const Case cases[] = {
        // click the answer, puzzle, trees, dragon, board, cannon; balloons, moles, sorting, wheel
        {{"0101010101", "0101010105", "0101010203", "0101010204", "0101010106", "0101010202"}, clickRight},
        {{"0101010104"}, clickRight, [](GameLayer* frame) { return !option(frame, rightChoice(frame))->isVisible(); }},
        {{"0101010103"},
         [](GameLayer* frame) {
             if (engine::Node* mole = moleOf(frame, rightChoice(frame))) {
                 support::click(mole);
             }
         }},
        {{"0101010102"}, // the target of the item's class
         [](GameLayer* frame) {
             support::click(find(frame, find(frame, "QImg")->getTag() % 2 ? "OperImg1" : "OperImg2"));
         },
         [](GameLayer* frame) { return !find(frame, "AniImg1")->isVisible(); }},
        {{"0101010201"}, // stopped in the answer's quarter
         [](GameLayer* frame) {
             engine::Node* wheel = gameOf<LuckyTurn>(frame)->wheel;
             ASSERT_TRUE(
                 support::stepUntil([&] { return LuckyTurn::quarterOf(wheel->getRotation()) == rightChoice(frame); }));
             press(frame, "Button1");
         },
         {},
         true},
    };
    makeClass(2);
    for (const Case& c : cases) {
        for (const char* lecture : c.lectures) {
            SCOPED_TRACE(lecture);
            useDemoGame(lecture);
            GameLayer* frame = startGame();
            support::stepFrames(40);
            c.answer(frame);
            // The effect's frames may still be loading on their thread.
            ASSERT_TRUE(!c.inEffect || support::stepUntil([&] { return c.inEffect(frame); }));
            if (c.masked) {
                frame->onPauseBtn();
                frame->onStartBtn();
            } else {
                press(frame, "PauseBtn");
                press(frame, "StartBtn");
            }
            EXPECT_FALSE(frame->running()) << "the answer in its effect goes first";
            c.answer(frame);
            // The effect's frames may still be loading on their thread.
            ASSERT_TRUE(waitFor([&] { return frame->answeredCount > 0 && frame->running(); }));
            support::stepFrames(150);
            EXPECT_EQ(frame->answeredCount, 1);
            EXPECT_TRUE(frame->running());
            frame->removeFromParentAndCleanup(true);
        }
    }
}
