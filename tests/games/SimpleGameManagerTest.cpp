#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <tuple>

#include "games/SimpleGameManager.h"
#include "net/ReplyDoor.h"
#include "tools/ToolsFixture.h"

namespace {

using SimpleGameLists = tools_test::ToolsTest;

std::string crcOf(const std::string& url) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08lx",
                  crc32(0L, reinterpret_cast<const Bytef*>(url.data()), static_cast<uInt>(url.size())));
    return hex;
}

TEST_F(SimpleGameLists, LocalNamesKeepTheBaseNameAndTellAddressesApart) {
    const std::string folder = resRoot() + "SimpleGame/";
    struct Case {
        const char* url;
        const char* extension;
        std::string expected;
    };
    const Case cases[] = {
        {"http://h/path/abc.def.mp3", ".mp3", "abc_"},
        {"http://h/a/q1.png", ".png", "q1_"},
        {"http://h/b/q1.png", ".png", "q1_"},
        {"http://h/get?f=x\\y", ".png", "get_f_x_y_"},
        {"", ".png", ""},
    };
    for (const Case& c : cases) {
        const std::string expected = *c.url ? folder + c.expected + crcOf(c.url) + c.extension : "";
        EXPECT_EQ(SimpleGameManager::localPathOf(c.url, c.extension), expected) << c.url;
    }
    EXPECT_NE(SimpleGameManager::localPathOf("http://h/a/q1.png", ".png"),
              SimpleGameManager::localPathOf("http://h/b/q1.png", ".png"));
}

TEST_F(SimpleGameLists, MissingFilesAreQueuedOnceAndPathsReplaceAddresses) {
    SimpleGameManager* games = SimpleGameManager::getInstance();
    const std::string onDisk = SimpleGameManager::localPathOf("http://h/s/have.png", ".png");
    writePicture(onDisk, 4, 4, {1, 2, 3, 255});
    rapidjson::Document reply = ReplyDoor::parse(R"([
        {"id":1,"title":"Cat?","music":"http://h/s/q1.mp3","lookImg":"http://h/s/have.png",
         "contImgs":["http://h/s/c.png"],"operImgs":["http://h/s/a.png","http://h/s/c.png"],"answers":[2]},
        7,
        {"id":2,"music":"","contImgs":"http://h/s/c.png","operImgs":["http://h/s/a.png"],"answers":["1"]}])");
    games->buildLists(reply);

    ASSERT_EQ(games->getItems().size(), 2u);
    const SimpleGameItem& first = games->getItems()[0];
    EXPECT_EQ(first.music, SimpleGameManager::localPathOf("http://h/s/q1.mp3", ".mp3"));
    EXPECT_EQ(first.lookImg, onDisk);
    EXPECT_EQ(first.operImgs[1], first.contImgs[0]);
    EXPECT_EQ(first.answers, std::vector<std::string>{"2"});
    const SimpleGameItem& second = games->getItems()[1];
    EXPECT_TRUE(second.music.empty());
    EXPECT_TRUE(second.contImgs.empty());

    std::vector<std::string> queued;
    for (const DownloadRecord& record : games->getMissingFiles()) {
        queued.push_back(record.url + " " + record.identifier);
        EXPECT_EQ(record.storagePath, SimpleGameManager::localPathOf(record.url, record.identifier));
    }
    EXPECT_EQ(queued,
              (std::vector<std::string>{"http://h/s/q1.mp3 .mp3", "http://h/s/c.png .png", "http://h/s/a.png .png"}));

    games->buildLists(ReplyDoor::parse(R"({"not":"an array"})"));
    EXPECT_TRUE(games->getItems().empty());
    EXPECT_TRUE(games->getMissingFiles().empty());
}

TEST_F(SimpleGameLists, QuestionsNoShownOptionAnswersAreLeftOut) {
    // The page shows four option boxes at most.
    const std::tuple<int, const char*, bool> cases[] = {
        {3, R"(["3"])", true},  {3, "[]", false},      {3, R"(["4"])", false}, {3, R"(["0"])", false},
        {3, R"(["x"])", false}, {5, R"(["4"])", true}, {5, R"(["5"])", false}, {0, R"(["1"])", false}};
    for (const auto& [count, answers, kept] : cases) {
        SCOPED_TRACE(std::to_string(count) + " " + answers);
        std::string options;
        for (int k = 0; k < count; ++k) {
            options += (k ? ",\"http://h/o" : "\"http://h/o") + std::to_string(k) + ".png\"";
        }
        SimpleGameManager* games = SimpleGameManager::getInstance();
        games->buildLists(ReplyDoor::parse("[{\"operImgs\":[" + options + "],\"answers\":" + answers + "}]"));
        EXPECT_EQ(games->getItems().size(), kept ? 1u : 0u);
        EXPECT_EQ(games->getMissingFiles().size(), kept ? size_t(count) : 0u);
    }
}

} // namespace
