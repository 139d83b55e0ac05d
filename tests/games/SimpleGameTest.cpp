#include <filesystem>

#include "games/SimpleGame.h"
#include "games/SimpleGameManager.h"
#include "lesson/DownloadLayer.h"
#include "net/HttpManager.h"
#include "net/ReplyDoor.h"
#include "tools/ToolsFixture.h"

namespace {

class SimpleGameRound : public tools_test::ToolsTest {
protected:
    // Asks the demo server for the questions of picture lecture 1 and hands them to the game's data.
    void loadQuestions() {
        logIn();
        bool done = false;
        HttpManager::getInstance()->sendRequest(
            "getCourseQuestionList",
            [&](const std::string&, rapidjson::Value& data) {
                SimpleGameManager::getInstance()->buildLists(data);
                done = true;
            },
            true, "union", nullptr,
            {{"gradeCode", "1"}, {"lesson", "1"}, {"phaseCode", "1"}, {"subjectCode", "4"}, {"typeCode", "2"}});
        ASSERT_TRUE(waitFor([&] { return done; }));
    }
    static std::string title() { return textOf(engine::Director::getInstance()->getRunningScene(), "Text_Title"); }
    // Clicks option box k (1-based) and lets its feedback end.
    static void answer(SimpleGame* game, int k) {
        support::click(support::findByName("Img_SelectBg" + std::to_string(k), game));
        EXPECT_TRUE(game->locked);
        support::click(support::findByName("Img_SelectBg" + std::to_string(k), game)); // ignored while it plays
        ASSERT_TRUE(support::stepUntil([game] { return !game->locked; }));
    }
};

TEST_F(SimpleGameRound, MissingFilesArriveThenRightAndWrongAnswersRunToTheEnd) {
    loadQuestions();
    ASSERT_EQ(SimpleGameManager::getInstance()->getItems().size(), 3u);
    // Six files of question 1, seven of question 2, five of question 3 (no sound).
    EXPECT_EQ(SimpleGameManager::getInstance()->getMissingFiles().size(), 18u);
    // They fail while the server is away; the game opened again once it is back fetches them.
    const int port = server.port();
    server.stop();
    open<SimpleGame>(105);
    ASSERT_TRUE(waitFor([] { return title() == "Which one is the cat?"; }));
    EXPECT_TRUE(support::click("Btn_Return"));
    ASSERT_TRUE(waitFor([] { return support::findByName("Text_Title") == nullptr; }));
    ASSERT_EQ(server.start(port), port);
    auto* game = open<SimpleGame>(105);
    game->retain();
    EXPECT_NE(support::findByName("Layout_LoadPanel"), nullptr);
    ASSERT_TRUE(waitFor([] { return title() == "Which one is the cat?"; }));
    EXPECT_TRUE(SimpleGameManager::getInstance()->getMissingFiles().empty());
    for (const SimpleGameItem& item : SimpleGameManager::getInstance()->getItems()) {
        for (const std::string& picture : item.operImgs) {
            EXPECT_TRUE(std::filesystem::exists(picture)) << picture;
        }
    }
    support::stepFrames(2);
    support::saveScreenshot("SimpleGame_question1");

    const struct {
        int option;
        const char* titleAfter;
    } answers[] = {{1, "Which one is the cat?"}, {3, "Which one is the cat?"}, {2, "Which one is red?"},
                   {4, "Which one is red?"},     {1, "Which one is bigger?"},  {3, nullptr}};
    for (const auto& a : answers) {
        SCOPED_TRACE(a.option);
        answer(game, a.option);
        if (a.titleAfter) {
            EXPECT_EQ(title(), a.titleAfter);
            EXPECT_NE(game->getParent(), nullptr);
        }
    }
    EXPECT_EQ(game->getParent(), nullptr);
    game->release();

    // The files that arrived are kept: the next round asks for none.
    loadQuestions();
    EXPECT_TRUE(SimpleGameManager::getInstance()->getMissingFiles().empty());
    open<SimpleGame>(105);
    ASSERT_TRUE(waitFor([] { return title() == "Which one is the cat?"; }));
    EXPECT_TRUE(support::click("Btn_Return"));
    support::stepFrames(30);
    EXPECT_EQ(support::findByName("Text_Title"), nullptr);
}

TEST_F(SimpleGameRound, AnOptionWithoutItsPictureStillAnswers) {
    rapidjson::Document reply = ReplyDoor::parse(
        R"([{"title":"One","operImgs":["",""],"answers":["2"]},{"title":"Two","operImgs":[""],"answers":["1"]}])");
    SimpleGameManager::getInstance()->buildLists(reply);
    auto* game = open<SimpleGame>(105);
    support::saveScreenshot("SimpleGame_options_without_pictures");
    answer(game, 2);
    EXPECT_EQ(title(), "Two");
}

TEST_F(SimpleGameRound, AMissingFeedbackAnimationStillLetsTheGameGoOn) {
    // An animation list without the feedback animations, found before the pack's own.
    engine::FileUtils::getInstance()->writeStringToFile(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict/></plist>\n",
        programFolder() + "Animations.plist");
    rapidjson::Document reply = ReplyDoor::parse(
        R"([{"title":"One","operImgs":["",""],"answers":["1"]},{"title":"Two","operImgs":[""],"answers":["1"]}])");
    SimpleGameManager::getInstance()->buildLists(reply);
    auto* game = open<SimpleGame>(105);
    EXPECT_EQ(title(), "One");
    game->checkAnswer(nullptr, 1);
    ASSERT_TRUE(support::stepUntil([game] { return !game->locked; }, 5));
    game->checkAnswer(nullptr, 0);
    ASSERT_TRUE(support::stepUntil([game] { return !game->locked; }, 5));
    EXPECT_EQ(title(), "Two");
    EXPECT_TRUE(logged("error animation: RightCommon"));
}

TEST_F(SimpleGameRound, FilesThatDoNotDecodeAreRemovedAndAskedForAgain) {
    // Pictures claiming 30000x30000 in PNG and SVG, an HTML page as a picture and as a sound, one good picture.
    const auto at = [this](const std::string& route, const char* file) {
        return "\"" + server.origin() + route + "/files/simple/" + file + "\"";
    };
    rapidjson::Document reply = ReplyDoor::parse(
        R"([{"title":"One","answers":["3"],"music":)" + at("/fault/notpicture", "q.mp3") + R"(,"contImgs":[)" +
        at("/fault/hugepng", "c.png") + R"(],"operImgs":[)" + at("/fault/hugesvg", "a.png") + "," +
        at("/fault/notpicture", "b.png") + "," + at("", "q1a.png") + "]}]");
    SimpleGameManager* games = SimpleGameManager::getInstance();
    games->buildLists(reply);
    ASSERT_EQ(games->getMissingFiles().size(), 5u);
    open<SimpleGame>(105);
    ASSERT_TRUE(waitFor([] { return title() == "One"; }));
    ASSERT_EQ(games->getMissingFiles().size(), 4u);
    for (const DownloadRecord& record : games->getMissingFiles()) {
        EXPECT_FALSE(std::filesystem::exists(record.storagePath)) << record.storagePath;
    }
    EXPECT_TRUE(logged("question sound is not a sound"));
    EXPECT_TRUE(logged("picture of 30000x30000 is larger than 4096x4096"));
}

} // namespace
