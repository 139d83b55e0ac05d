// The demo lectures' games and number pages: the number games' Game maps name pictures, animations and sounds
// that the client has and each opens ready to play; no game asks a question twice; number pages take true sums.
#include <filesystem>
#include <set>

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

// The slots are asked in a random order: a question kept twice in a lecture can follow itself.
TEST_F(GameTest, NoDemoLectureAsksAQuestionTwice) {
    namespace fs = std::filesystem;
    int games = 0;
    for (const char* folder : {TEST_SOURCE_DIR "/server/packages", TEST_PROGRAM_DIR "/demo-topics"}) {
        for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
            if (!fs::exists(entry.path() / "Topic.plist")) {
                continue;
            }
            const std::string identify = entry.path().filename().string();
            useDemoGame(identify, entry.path().parent_path().string());
            std::set<std::string> asked;
            const engine::ValueVector questions = GameManager::getInstance()->getGameMap()["Questions"].asValueVector();
            for (const engine::Value& question : questions) {
                EXPECT_TRUE(asked.insert(question.asString()).second) << identify << ": " << question.asString();
            }
            games += questions.empty() ? 0 : 1;
        }
    }
    EXPECT_GT(games, 30);
}

// A number page checks one sum: when its tiles make another true one (4 + 3 = 7, 2 + 5 = 7), its stem names it.
TEST_F(GameTest, DemoNumberPagesNameTheSumTheirTilesCanMakeTwice) {
    namespace fs = std::filesystem;
    int pages = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(TEST_SOURCE_DIR "/server/packages")) {
        const std::string path = (entry.path() / "Topic.plist").string();
        engine::ValueMap lecture = engine::FileUtils::getInstance()->getValueMapFromFile(path);
        const engine::ValueMap subject = lecture["Subject"].asValueMap();
        for (const auto& [kind, topics] : subject) {
            for (const engine::Value& value : topics.asValueVector()) {
                engine::ValueMap topic = value.asValueMap();
                const engine::ValueVector answers = topic["Answers"].asValueVector();
                const int code = topic["LayoutModel"].asInt();
                if (code / 100 != 7 || answers.size() != 1 || answers[0].asValueVector().size() != 3) {
                    continue;
                }
                std::vector<int> tiles;
                engine::ValueMap images = topic["Images"].asValueMap();
                for (const engine::Value& name : images["OperImgs"].asValueVector()) {
                    tiles.push_back(std::atoi(name.asString().c_str() + 4)); // "tile<n>.png"
                }
                int sums = 0;
                for (size_t a = 0; a < tiles.size(); ++a) {
                    for (size_t b = 0; b < tiles.size(); ++b) {
                        sums += a != b && std::count(tiles.begin(), tiles.end(), tiles[a] + tiles[b]) > 0 ? 1 : 0;
                    }
                }
                const engine::ValueVector sum = answers[0].asValueVector();
                const std::string named = std::to_string(sum[0].asInt()) + " + " + std::to_string(sum[1].asInt()) +
                                          " = " + std::to_string(sum[2].asInt());
                ++pages;
                EXPECT_TRUE(sums <= 1 || topic["Stem"].asString().find(named) != std::string::npos)
                    << entry.path().filename().string() << " " << code << ": " << topic["Stem"].asString();
            }
        }
    }
    EXPECT_GT(pages, 5);
}
