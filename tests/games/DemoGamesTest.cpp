// The demo lectures of the number games (puzzle, lucky wheel, dragon, click-the-answer, whack-a-mole): their Game
// maps name pictures, animations and sounds that the client has, and each opens its game ready to play.
#include "common/SFAnimation.h"
#include "games/ClickAnswer.h"
#include "games/Dragon.h"
#include "games/GameManager.h"
#include "games/GamesFixture.h"
#include "games/LuckyTurn.h"
#include "games/Puzzle.h"
#include "games/WhacAMole.h"

using games_test::GameTest;

TEST_F(GameTest, DemoNumberGameLecturesHaveWhatTheyName) {
    const std::pair<std::string, bool (*)(GameLayer*)> cases[] = {
        {"0101010105", [](GameLayer* frame) { return gameOf<Puzzle>(frame) != nullptr; }},
        {"0101010201", [](GameLayer* frame) { return gameOf<LuckyTurn>(frame) != nullptr; }},
        {"0101010204", [](GameLayer* frame) { return gameOf<Dragon>(frame) != nullptr; }},
        {"0101010101", [](GameLayer* frame) { return gameOf<ClickAnswer>(frame) != nullptr; }},
        {"0101010103", [](GameLayer* frame) { return gameOf<WhacAMole>(frame) != nullptr; }},
    };
    makeClass(6);
    for (const auto& [identify, isItsGame] : cases) {
        SCOPED_TRACE(identify);
        useDemoGame(identify);
        GameManager* game = GameManager::getInstance();
        EXPECT_EQ(game->getAnswers().size(), 10u);
        engine::ValueVector pictures = game->getContImgs();
        for (const engine::Value& options : game->getSelectImgs()) {
            pictures.insert(pictures.end(), options.asValueVector().begin(), options.asValueVector().end());
        }
        engine::ValueMap map = game->getGameMap();
        for (const auto& [role, sound] : map["Music"].asValueMap()) {
            pictures.push_back(sound);
        }
        for (const engine::Value& file : pictures) {
            EXPECT_TRUE(engine::FileUtils::getInstance()->isFileExist(file.asString())) << file.asString();
        }
        for (const auto& [role, name] : map["Animations"].asValueMap()) {
            EXPECT_FALSE(SFAnimation::getInstance()->getAnimationInfo(name.asString()).empty()) << role;
        }
        GameLayer* frame = openFrame();
        EXPECT_TRUE(isItsGame(frame));
        choosePupil(frame, 0);
        press(frame, "StartBtn");
        support::stepFrames(20);
        support::saveScreenshot("games_demo_" + identify);
        frame->removeFromParentAndCleanup(true);
    }
}

TEST_F(GameTest, DemoWheelKeepsBetweenBoardAndPupilsOnATallerWindow) {
    support::startHeadless(engine::Size(1280, 960));
    GDataManager::getInstance()->screenOffsetY = 120.f;
    support::runScene(BaseScene::create());
    makeClass(3);
    useDemoGame("0101010201");
    GameLayer* frame = openFrame();
    choosePupil(frame, 0);
    press(frame, "StartBtn");
    support::saveScreenshot("games_demo_tall");
    const float wheel = support::worldCenter(find(frame, "ContImg")).y;
    EXPECT_GT(support::worldCenter(find(frame, "BoardImage")).y, wheel);
    EXPECT_LT(support::worldCenter(find(frame, "PosNode1")).y, wheel - 165.f);
}

TEST_F(GameTest, AGameWithoutBackgroundOrAnimationsCoversTheLessonAndPlaysToItsResult) {
    makeClass(2);
    writeGame("<key>BgImg</key><string></string><key>Animations</key><dict></dict>", 5, 51);
    GameLayer* frame = startGame();
    support::saveScreenshot("games_club_play");
    const engine::Color4B backdrop = support::readPixel(20, 300);
    EXPECT_EQ(std::vector<int>({backdrop.r, backdrop.g, backdrop.b}), std::vector<int>({214, 236, 250}));
    winRound(frame, "games_club_result");
    EXPECT_EQ(countLogged("error animation: "), 0);
}
