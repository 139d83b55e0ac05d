// Every game that answers, through real touches: a right answer, Pause and Start while its effect plays, and the
// same answer again count the question once.
#include "games/GamesFixture.h"
#include "games/LuckyTurn.h"

using games_test::GameTest;

TEST_F(GameTest, AnswerCountsOnceWhateverPauseAndStartDoDuringItsEffect) {
    struct Case {
        const char* lecture;
        std::function<void(GameLayer*)> answer;
        // The effect of the answer plays (after what leads to it, such as a flight or a carry).
        std::function<bool(GameLayer*)> inEffect;
    };
    const auto now = [](GameLayer*) { return true; };
    const auto clickRightOption = [](GameLayer* frame) { support::click(option(frame, rightChoice(frame))); };
    const Case cases[] = {
        {"0101010101", clickRightOption, now}, // click the answer
        {"0101010105", clickRightOption, now}, // puzzle
        {"0101010203", clickRightOption, now}, // trees
        {"0101010204", clickRightOption, now}, // dragon
        {"0101010106", clickRightOption, now}, // board
        {"0101010202", clickRightOption, now}, // cannon
        {"0101010104", clickRightOption,       // balloons: after the flight
         [](GameLayer* frame) { return !option(frame, rightChoice(frame))->isVisible(); }},
        {"0101010103", // moles: the popped-up mole of the answer
         [](GameLayer* frame) {
             for (int hole = 1; hole <= 8; ++hole) {
                 engine::Node* mole = find(frame, "OperImg" + std::to_string(hole));
                 if (mole->getTag() == rightChoice(frame)) {
                     support::click(mole);
                 }
             }
         },
         now},
        {"0101010102", // sorting: the target of the item's class, after the carry
         [](GameLayer* frame) {
             support::click(find(frame, find(frame, "QImg")->getTag() % 2 == 1 ? "OperImg1" : "OperImg2"));
         },
         [](GameLayer* frame) { return !find(frame, "AniImg1")->isVisible(); }},
        {"0101010201", // wheel: stopped in the answer's quarter
         [](GameLayer* frame) {
             engine::Node* wheel = gameOf<LuckyTurn>(frame)->wheel;
             ASSERT_TRUE(
                 support::stepUntil([&] { return LuckyTurn::quarterOf(wheel->getRotation()) == rightChoice(frame); }));
             press(frame, "Button1");
         },
         now},
    };
    makeClass(2);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lecture);
        useDemoGame(c.lecture);
        GameLayer* frame = startGame();
        support::stepFrames(40);
        c.answer(frame);
        ASSERT_TRUE(support::stepUntil([&] { return c.inEffect(frame); }));
        press(frame, "PauseBtn");
        press(frame, "StartBtn");
        c.answer(frame);
        // The effect's frames may still be loading on their thread.
        ASSERT_TRUE(waitFor([&] { return frame->answeredCount > 0 && frame->running; }));
        support::stepFrames(150);
        EXPECT_EQ(frame->answeredCount, 1);
        EXPECT_TRUE(frame->running);
        frame->removeFromParentAndCleanup(true);
    }
}
