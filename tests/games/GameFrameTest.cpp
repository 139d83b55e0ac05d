// The game frame alone: pupil pages, the countdown text, results and best times, the result text, the game data
// and the search paths.
#include <tuple>

#include "games/GameManager.h"
#include "games/GamesFixture.h"
#include "net/FileManager.h"

using games_test::GameTest;

namespace {

class GameFrame : public GameTest {};

bool hasPath(const std::string& path) {
    const std::vector<std::string> paths = engine::FileUtils::getInstance()->getSearchPaths();
    return std::find(paths.begin(), paths.end(), path) != paths.end();
}

} // namespace

TEST_F(GameFrame, PupilPagesAndTheChosenPupilKeptById) {
    makeClass(3);
    writeGame();
    GameLayer* frame = openFrame();
    EXPECT_FALSE(shown(frame, "UpBtn") || shown(frame, "DownBtn")) << "one page from the first filling on";
    frame->removeFromParentAndCleanup(true);
    makeClass(7);
    frame = openFrame();
    EXPECT_EQ(textOf(frame, "PageNum2"), "2");
    EXPECT_EQ(frame->studentIcons.size(), 5u);
    EXPECT_FALSE(shown(frame, "UpBtn"));
    choosePupil(frame, 2);
    const int id = GDataManager::getInstance()->students[2].id;
    press(frame, "DownBtn");
    EXPECT_EQ(textOf(frame, "PageNum1"), "2");
    EXPECT_EQ(frame->studentIcons.size(), 2u);
    EXPECT_TRUE(shown(frame, "UpBtn"));
    EXPECT_FALSE(shown(frame, "DownBtn"));
    press(frame, "UpBtn");
    EXPECT_FALSE(shown(frame, "UpBtn"));
    EXPECT_TRUE(shown(frame, "DownBtn"));
    // A result moves the chosen pupil to the top of the next sort: the choice follows the pupil.
    GDataManager::getInstance()->students[2].gameScore = 50;
    GDataManager::getInstance()->students[2].gameTime = 5;
    frame->initStudentIcons();
    EXPECT_EQ(frame->selectedStudent, 0);
    EXPECT_EQ(GDataManager::getInstance()->students[0].id, id);
    EXPECT_TRUE(shown(frame->studentIcons[0], "IconSelect"));
    EXPECT_FALSE(shown(frame->studentIcons[2], "IconSelect"));
}

TEST_F(GameFrame, NoPupilsNoGameClassAndTheCountdown) {
    makeClass(0);
    writeGame("", 5, 125);
    GameLayer* frame = openFrame();
    EXPECT_EQ(textOf(frame, "PageNum2"), "0");
    EXPECT_TRUE(shown(frame, "StartBtn")) << "without a game the frame shows StartBtn itself";
    press(frame, "DownBtn");
    EXPECT_EQ(textOf(frame, "PageNum1"), "1");
    press(frame, "StartBtn");
    EXPECT_EQ(tipText(), "Choose a pupil first.");
    EXPECT_EQ(frame->state(), 1);
    closeTip();

    makeClass(1);
    frame->initStudentIcons();
    choosePupil(frame, 0);
    press(frame, "StartBtn");
    frame->elapsedTime = 0.f;
    engine::Director::getInstance()->mainLoop(0.4f);
    EXPECT_EQ(textOf(frame, "TimeText"), "00:59");
    frame->elapsedTime = 59.4f;
    engine::Director::getInstance()->mainLoop(0.5f);
    EXPECT_EQ(textOf(frame, "TimeText"), "00:00");
    engine::Director::getInstance()->mainLoop(0.2f);
    EXPECT_FALSE(frame->running());
    EXPECT_TRUE(frame->ended());
    EXPECT_EQ(GDataManager::getInstance()->students[0].gameTime, 60);
}

TEST_F(GameFrame, BestTimeAndTheResultTip) {
    makeClass(1);
    writeGame();
    struct Game {
        float elapsed, score;
        int answered, storedTime, storedScore;
        std::string tip;
    };
    // Five answers end a round; fewer end it when the minute is up (the tick adds 0.2 s), and the tip tells no win.
    const Game games[] = {{12.6f, 33.3333f, 5, 12, 33, "'s time: 12.6 s."},
                          {10.2f, 99.99f, 5, 10, 100, "'s time: 10.2 s. Previous best: 12 s."},
                          {15.f, 20.f, 5, 10, 20, "'s time: 15.0 s. Previous best: 10 s."},
                          {59.9f, 20.f, 1, 10, 20, "'s time: 60.1 s. Previous best: 10 s."}};
    for (const Game& game : games) {
        GameLayer* frame = startGame();
        frame->elapsedTime = game.elapsed;
        frame->score = game.score;
        frame->answeredCount = game.answered;
        if (!frame->checkFinish()) {
            engine::Director::getInstance()->mainLoop(0.2f);
        }
        ASSERT_TRUE(support::stepUntil([] { return !tipText().empty(); }));
        const StudentRecord pupil = GDataManager::getInstance()->students[0];
        EXPECT_EQ(tipText(), pupil.name + game.tip);
        support::saveScreenshot("games_result_tip_" + std::to_string(game.answered) + "_" +
                                std::to_string(game.storedScore));
        EXPECT_EQ(pupil.gameTime, game.storedTime) << game.elapsed;
        EXPECT_EQ(pupil.gameScore, game.storedScore) << game.elapsed;
        closeTip();
        frame->removeFromParentAndCleanup(true);
    }
}

TEST_F(GameFrame, ARoundBelongsToItsPupilAndDataWithoutAQuestionDoesNotStart) {
    // Pupil 1001 holds 80 points in 38 s and starts a round; then the round times out or has no question.
    for (const std::string map : {"", "<key>Time</key><integer>0</integer>"}) {
        makeClass(2);
        GDataManager::getInstance()->students[0].gameScore = 80;
        GDataManager::getInstance()->students[0].gameTime = 38;
        writeGame(map);
        GameLayer* frame = openFrame();
        choosePupil(frame, GDataManager::getInstance()->students[0].id == 1001 ? 0 : 1);
        press(frame, "StartBtn");
        if (map.empty()) { // another pupil tapped during the round does not take its result
            answerRight(frame);
            choosePupil(frame, frame->selectedStudent == 0 ? 1 : 0);
            ASSERT_TRUE(support::stepUntil([&] { return frame->ended(); }, 200, 0.5f));
        } else {
            EXPECT_EQ(tipText(), "This game has no questions to play.");
            support::stepFrames(60);
            EXPECT_EQ(frame->state(), 1);
        }
        EXPECT_EQ(pupilWithId(1001).gameScore, map.empty() ? 20 : 80) << map;
        EXPECT_EQ(pupilWithId(1001).gameTime, 38) << map;
        EXPECT_EQ(pupilWithId(1002).gameTime, 0) << map;
        closeTip();
        frame->removeFromParentAndCleanup(true);
    }
}

TEST_F(GameFrame, ResultTextIsNeverUsedAsAFormat) {
    struct Case {
        const char* text;
        const char* out;
    };
    const Case cases[] = {
        {"%s finished in %.1f s. Best time: %d s.", "Ann finished in 12.6 s. Best time: 13 s."},
        {"%d then %s", "%d then Ann"},
        {"%n%s%x %% %", "%nAnn%x % %"},
        {"%s %f", "Ann 12.600000"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GameLayer::formatResult(c.text, "Ann", 12.6, 13), c.out) << c.text;
    }
}

TEST_F(GameFrame, GameDataReadsAndScores) {
    struct Case {
        std::string map;
        int model;
        float perAnswer;
    };
    const Case cases[] = {
        {"<key>GameModel</key><integer>71</integer><key>GameType</key><integer>3</integer>"
         "<key>Score</key><real>100</real><key>QNum</key><integer>4</integer>",
         71, 25.f},
        {"<key>GameType</key><integer>3</integer><key>LayoutType</key><integer>2</integer>"
         "<key>Score</key><real>100</real><key>QNum</key><integer>0</integer>",
         32, 0.f},
        {"<key>Score</key><real>100</real><key>QNum</key><integer>20</integer>", 0, 10.f},
    };
    const std::string folder = chooseLecture();
    std::filesystem::create_directories(folder);
    for (const Case& c : cases) {
        engine::FileUtils::getInstance()->writeStringToFile(
            "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>Game</key><dict>" + c.map +
                "</dict></dict></plist>",
            folder + "Topic.plist");
        EXPECT_EQ(GameManager::getInstance()->getGameModel(), c.model) << c.map;
        EXPECT_FLOAT_EQ(GameManager::getInstance()->getScore(), c.perAnswer) << c.map;
    }
}

TEST_F(GameFrame, SearchPathsComeBackWhenTheLastFrameGoes) {
    makeClass(1);
    writeGame();
    FileManager::getInstance()->searchPaths = engine::FileUtils::getInstance()->getSearchPaths();
    const std::string own = FileManager::getInstance()->getGameImgPath();
    ASSERT_FALSE(hasPath(own));
    GameLayer* first = openFrame();
    EXPECT_TRUE(hasPath(own));
    first->retain();
    first->removeFromParentAndCleanup(true);
    // A new frame made before the old one is freed keeps its folder after the old one goes.
    GameLayer* second = openFrame();
    first->release();
    EXPECT_TRUE(hasPath(own));
    second->removeFromParentAndCleanup(true);
    EXPECT_FALSE(hasPath(own));
    EXPECT_EQ(engine::FileUtils::getInstance()->getSearchPaths(), FileManager::getInstance()->searchPaths);
    FileManager::getInstance()->searchPaths.clear();
}

TEST_F(GameFrame, ResultIsStoredAsTheRoundShowsIt) {
    // One right answer of eight for 100 points shows 12.5 as "12" (half to even), then the time is up; one question
    // answered at once is a round played for less than a second.
    const std::tuple<int, std::string, int> cases[] = {{8, "12", 60}, {1, "100", 1}};
    makeClass(1);
    for (const auto& [qnum, score, time] : cases) {
        writeGame("", qnum);
        GameLayer* frame = startGame();
        answerRight(frame);
        frame->elapsedTime = frame->ended() ? frame->elapsedTime : 59.9f;
        engine::Director::getInstance()->mainLoop(0.2f);
        ASSERT_TRUE(support::stepUntil([] { return !tipText().empty(); }));
        const StudentRecord pupil = GDataManager::getInstance()->students[0];
        EXPECT_EQ(textOf(frame, "ScoreText"), score);
        EXPECT_EQ(std::to_string(pupil.gameScore), score);
        EXPECT_EQ(pupil.gameTime, time);
        closeTip();
        expectTopRankRow(frame, pupil.id, score);
        frame->removeFromParentAndCleanup(true);
    }
}

TEST_F(GameFrame, DataThatCannotBeAnsweredRightDoesNotStart) {
    // Per game type, a question count that no right answer can serve.
    const std::string none = "<key>Answers</key><array/>",
                      seven = "<key>Answers</key><array><integer>7</integer></array>",
                      minusOne = "<key>Answers</key><array><integer>-1</integer></array>",
                      unnamed = "<key>Questions</key><array/>";
    const std::tuple<int, std::string, int> cases[] = {
        {41, "", 0},   {41, none, 5},    {41, seven, 5},    {41, unnamed, 5}, // no option answers 7
        {21, none, 5}, {21, unnamed, 5}, {21, minusOne, 5},                   // no target of the item's class
        {31, "", 5},   {81, seven, 5},   {11, "", 5}, // moles, pair pieces without pictures; no quarter 7
    };
    for (const auto& [model, map, qnum] : cases) {
        SCOPED_TRACE(std::to_string(model) + map);
        makeClass(1);
        writeGame(map, qnum, model);
        GameLayer* frame = openFrame();
        choosePupil(frame, 0);
        ASSERT_TRUE(support::stepUntil([&] { return shown(frame, "StartBtn"); }));
        press(frame, "StartBtn");
        EXPECT_EQ(tipText(), "This game has no questions to play.");
        EXPECT_EQ(frame->state(), 1);
        closeTip();
        frame->removeFromParentAndCleanup(true);
    }
}

TEST_F(GameFrame, TheRankBoardLeavesAPendingAnswerPending) {
    makeClass(1);
    writeGame();
    GameLayer* frame = startGame();
    support::click(option(frame, rightChoice(frame)));
    support::stepFrames(1);
    frame->onRankBtn(); // its button is disabled during a round; the round's phase refuses it as well
    EXPECT_EQ(frame->rankBoard, nullptr);
    EXPECT_EQ(support::findByName("RankPanel1"), nullptr);
    EXPECT_FALSE(frame->running());
}
