// Kept class results: each tried on its own after its teacher's login and sent once at a time, an accepted one
// never sent again, a damaged file moved aside with what reads carried over, the file written whole for its owner.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "base/StringUtils.h"
#include "common/PlistManager.h"
#include "lesson/UnsentResults.h"
#include "net/HttpManager.h"
#include "platform/FileUtils.h"
#include "platform/WholeFile.h"
#include "scene/Scene.h"
#include "scenes/LoginScene.h"
#include "support/ClientTest.h"

namespace {

namespace fs = std::filesystem;

class KeptUploads : public support::ClientTest {
protected:
    // An upload of lecture 1-1-1-1-2; one without a class is refused for good.
    static std::string entry(const std::string& teacher, const std::string& classId) {
        return R"({"teacher":")" + teacher + R"(","fields":{)" +
               (classId.empty() ? "" : R"("classId":")" + classId + "\",") +
               R"("gradeCode":"1","lesson":"2","phaseCode":"1","score":"[]","subjectCode":"1","typeCode":"1"}})";
    }
    void keepFile(const std::string& text) {
        fs::create_directories(resRoot());
        std::ofstream(UnsentResults::filePath()) << text;
    }
    static std::string read(const std::string& path) {
        return engine::FileUtils::getInstance()->getStringFromFile(path);
    }
    // The files a damaged one was moved to.
    std::vector<fs::path> setAside() const {
        std::vector<fs::path> aside;
        for (const auto& item : fs::directory_iterator(resRoot())) {
            if (item.path().filename().string().rfind("UnsentResults.json.damaged-", 0) == 0) {
                aside.push_back(item.path());
            }
        }
        return aside;
    }
    // The tip told on the scene after the login scene, then closed; "" when none.
    static std::string toldAfterLogin() {
        support::runScene(engine::Scene::create());
        support::stepFrames(2);
        const std::string told = tipText();
        if (!told.empty()) {
            support::saveScreenshot("kept_results_told");
            support::click("Button1");
            support::stepFrames(3);
        }
        return told;
    }
    // Logs the teacher in and runs the round of that login to its end; the classes the server took.
    std::vector<std::string> sendAfterLogin(const std::string& teacher, int logins = 1) {
        logIn(teacher);
        for (int i = 0; i < logins; ++i) {
            UnsentResults::sendFor(teacher);
        }
        EXPECT_TRUE(waitFor([] { return !HttpManager::getInstance()->isAwaitingReply("saveScore"); }));
        support::stepFrames(2);
        std::vector<std::string> classes;
        for (const auto& score : server.scores()) {
            classes.push_back(score.request.field("classId"));
        }
        return classes;
    }
};

TEST_F(KeptUploads, ARefusedUploadHoldsBackNoneAndWhatWaitsIsToldOnce) {
    support::runScene(LoginScene::create());
    const std::string refused = entry("teacher", ""), other = entry("teacher2", "102");
    keepFile("[" + refused + "," + entry("teacher", "101") + "," + other + "]");
    EXPECT_EQ(sendAfterLogin("teacher"), std::vector<std::string>{"101"});
    EXPECT_EQ(requestsNamed("saveScore").size(), 2u);
    EXPECT_EQ(read(UnsentResults::filePath()), "[" + refused + "," + other + "]");
    // Told on the scene after the login scene, which would take the tip with it.
    EXPECT_EQ(tipText(), "");
    EXPECT_EQ(toldAfterLogin(),
              engine::StringUtils::format(PlistManager::getInstance()->getText("ScoreStr3").c_str(), 1));
    EXPECT_EQ(tipText(), "");
}

// A second login whose reply comes while the first kept upload is out.
TEST_F(KeptUploads, OverlappingLoginsSendEachUploadOnce) {
    keepFile("[" + entry("teacher", "101") + "," + entry("teacher", "102") + "]");
    EXPECT_EQ(sendAfterLogin("teacher", 2), (std::vector<std::string>{"101", "102"}));
    EXPECT_EQ(requestsNamed("saveScore").size(), 2u);
    EXPECT_FALSE(fs::exists(UnsentResults::filePath()));
}

// Accepted, but the file cannot be rewritten (its temporary name taken): left out from the record beside the file at
// the next start, or from memory when that cannot be written either; removed once the file can be written.
TEST_F(KeptUploads, AnAcceptedUploadIsNeverSentAgainNorToldAsWaiting) {
    const std::string path = UnsentResults::filePath(), other = entry("teacher2", "103");
    const std::string kept = "[" + entry("teacher", "101") + "," + entry("teacher", "102") + "," + other + "]";
    for (const bool recordWritable : {true, false}) {
        SCOPED_TRACE(recordWritable);
        keepFile(kept);
        fs::create_directories(path + ".part");
        if (!recordWritable) {
            fs::create_directories(path + ".sent.part");
        }
        EXPECT_EQ(sendAfterLogin("teacher"), (std::vector<std::string>{"101", "102"}));
        EXPECT_EQ(toldAfterLogin(), "");
        if (recordWritable) {
            UnsentResults::forget();
        }
        EXPECT_EQ(sendAfterLogin("teacher"), std::vector<std::string>{});
        EXPECT_EQ(read(path), kept);
        fs::remove_all(path + ".part");
        fs::remove_all(path + ".sent.part");
        EXPECT_EQ(sendAfterLogin("teacher"), std::vector<std::string>{});
        EXPECT_EQ(read(path), "[" + other + "]");
        EXPECT_FALSE(fs::exists(path + ".sent"));
    }
}

// A file cut in its third lesson: the two before are sent, and the teacher is told once what was set aside.
TEST_F(KeptUploads, ACutFileSendsTheLessonsBeforeTheCutAndTellsWhatWasSetAside) {
    const std::string whole =
        "[" + entry("teacher", "101") + "," + entry("teacher", "102") + "," + entry("teacher", "103") + "]";
    keepFile(whole.substr(0, whole.size() - 40));
    EXPECT_EQ(sendAfterLogin("teacher"), (std::vector<std::string>{"101", "102"}));
    const std::vector<fs::path> aside = setAside();
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(toldAfterLogin(), engine::StringUtils::format(PlistManager::getInstance()->getText("ScoreStr4").c_str(),
                                                            1, ("res/" + aside[0].filename().string()).c_str()));
    // The next round runs on a scene that would show a tip at once.
    sendAfterLogin("teacher");
    EXPECT_EQ(tipText(), "");
}

TEST_F(KeptUploads, AFileThatDoesNotReadIsMovedAsideAndWhatReadsIsKept) {
    const std::pair<std::string, std::string> cases[] = {
        {R"([{"teacher":"teacher","fields":{"classId":"101")", ""},
        {R"([7,{"teacher":"teacher","fields":{"classId":101,"lesson":"2"}}])",
         R"({"teacher":"teacher","fields":{"lesson":"2","classId":101}},)"},
    };
    for (const auto& [old, kept] : cases) {
        keepFile(old);
        EXPECT_TRUE(UnsentResults::keep("teacher", {{"classId", "103"}}));
        EXPECT_EQ(read(UnsentResults::filePath()), "[" + kept + R"({"teacher":"teacher","fields":{"classId":"103"}}])");
        const std::vector<fs::path> aside = setAside();
        ASSERT_EQ(aside.size(), 1u);
        EXPECT_EQ(read(aside[0].string()), old);
        fs::remove(aside[0]);
    }
    // One that cannot be replaced stays in place, with the entries that read.
    const std::string cut = "[" + entry("teacher", "101") + ",{";
    keepFile(cut);
    fs::create_directories(UnsentResults::filePath() + ".part");
    EXPECT_FALSE(UnsentResults::keep("teacher", {{"classId", "103"}}));
    EXPECT_EQ(read(UnsentResults::filePath()), cut);
}

// The part synced while the file still reads as before, the folder after the rename.
TEST_F(KeptUploads, TheFileIsWrittenWholeAndReadableByItsOwnerOnly) {
    keepFile("[]");
    fs::permissions(UnsentResults::filePath(), fs::perms(0644));
    std::vector<std::string> synced;
    engine::setWholeFileSync([&synced](int fd) {
        synced.push_back(fs::read_symlink("/proc/self/fd/" + std::to_string(fd)).string() + " " +
                         read(UnsentResults::filePath()));
        return fsync(fd);
    });
    EXPECT_TRUE(UnsentResults::keep("teacher", {{"classId", "101"}}));
    engine::setWholeFileSync(nullptr);
    const std::string now = read(UnsentResults::filePath());
    EXPECT_EQ(synced, (std::vector<std::string>{UnsentResults::filePath() + ".part []",
                                                fs::path(resRoot()).parent_path().string() + " " + now}));
    EXPECT_EQ(fs::status(UnsentResults::filePath()).permissions(), fs::perms(0600));
}

} // namespace
