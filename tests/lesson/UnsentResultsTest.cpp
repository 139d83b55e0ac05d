// Kept class results: each tried on its own after its teacher's login and sent once at a time, an accepted one
// never sent again, a damaged file moved aside with what reads carried over, the file written whole for its owner.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "base/StringUtils.h"
#include "common/PlistManager.h"
#include "lesson/UnsentResults.h"
#include "lesson/UnsentResultsFile.h"
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
    // The tip told on the scene after the login scene, a line each, then closed.
    static std::vector<std::string> toldAfterLogin() {
        support::runScene(engine::Scene::create());
        support::stepFrames(2);
        std::vector<std::string> told;
        std::istringstream lines(tipText());
        for (std::string line; std::getline(lines, line);) {
            told.push_back(line);
        }
        if (!told.empty()) {
            support::saveScreenshot("kept_results_told");
            support::click("Button1");
            support::stepFrames(3);
        }
        return told;
    }
    static std::string tip(const char* key, int count) {
        return engine::StringUtils::format(PlistManager::getInstance()->getText(key).c_str(), count);
    }
    // Logs the teacher in on the login scene and runs the round of that login to its end; the classes the server took.
    std::vector<std::string> sendAfterLogin(const std::string& teacher, int logins = 1) {
        support::runScene(LoginScene::create());
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
    EXPECT_EQ(toldAfterLogin(), (std::vector<std::string>{tip("ScoreStr5", 1), tip("ScoreStr3", 1)}));
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
        EXPECT_EQ(toldAfterLogin(), std::vector<std::string>{tip("ScoreStr5", 2)});
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

// What reads is sent and what was set aside or may go twice is told: a cut, a stretch lost inside the file, bytes
// after its end, a byte-order mark, both files cut once all was stored, a damaged record of accepted uploads.
TEST_F(KeptUploads, WhatReadsIsSentAndWhatDoesNotIsToldAsItIs) {
    const std::string e1 = entry("teacher", "101"), e2 = entry("teacher", "102"), e3 = entry("teacher", "103");
    const std::string three = "[" + e1 + "," + e2 + "," + e3 + "]", cut = three.substr(0, three.size() - 40);
    struct Row {
        std::string file, record;
        std::vector<std::string> sent;
        int unread, twice;  // told counts; 0 for no tip
        bool aside;
    } rows[] = {
        {cut, "", {"101", "102"}, 1, 0, true},
        {"[" + e1 + "," + e2.substr(0, 60) + "," + e3 + "," + entry("teacher", "104") + "]", "", {"101"}, 3, 0, true},
        {"[" + e1 + "]x", "", {"101"}, 0, 0, true},
        {"\xEF\xBB\xBF[" + e1 + "]", "", {"101"}, 0, 0, false},
        {cut, cut, {}, 0, 0, true},
        {"[" + e1 + "," + e2 + "]", "[" + e1 + ",{\"teach", {"102"}, 0, 1, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file + " | " + row.record);
        keepFile(row.file);
        if (!row.record.empty()) {
            std::ofstream(UnsentResults::filePath() + ".sent") << row.record;
        }
        EXPECT_EQ(sendAfterLogin("teacher"), row.sent);
        const std::vector<fs::path> aside = setAside();
        ASSERT_EQ(aside.size(), row.aside ? 1u : 0u);
        std::vector<std::string> told;
        if (!row.sent.empty()) {
            told.push_back(tip("ScoreStr5", static_cast<int>(row.sent.size())));
        }
        if (row.unread > 0) {
            told.push_back(engine::StringUtils::format(PlistManager::getInstance()->getText("ScoreStr4").c_str(),
                                                       row.unread, ("res/" + aside[0].filename().string()).c_str()));
        }
        if (row.twice > 0) {
            told.push_back(tip("ScoreStr6", row.twice));
        }
        EXPECT_EQ(toldAfterLogin(), told);
        sendAfterLogin("teacher");
        EXPECT_EQ(toldAfterLogin(), std::vector<std::string>{});
        fs::remove_all(resRoot());
        UnsentResults::forget();
    }
}

// A read that fails (EMFILE, EIO) is not damage: the file stays as it is and sends nothing until it reads; one that
// fails right after an acceptance never sends that upload again.
TEST_F(KeptUploads, AReadThatFailsLeavesTheFileAndSendsNothingTwice) {
    const std::string kept = "[" + entry("teacher", "101") + "," + entry("teacher", "102") + "]";
    const UnsentResults::Fields third = {{"classId", "103"}, {"gradeCode", "1"},   {"lesson", "2"},   {"phaseCode", "1"},
                                         {"score", "[]"},    {"subjectCode", "1"}, {"typeCode", "1"}};
    enum When { EVERY_TIME, ONCE, AFTER_ACCEPTED };
    const struct {
        const char* file;
        int error;
        When when;
        std::vector<std::string> sent;
    } rows[] = {
        {"UnsentResults.json", EIO, EVERY_TIME, {}},
        {"UnsentResults.json", EMFILE, ONCE, {"101", "102"}},
        {"UnsentResults.json.sent", EIO, EVERY_TIME, {}},
        {"UnsentResults.json", EIO, AFTER_ACCEPTED, {"101", "102"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.file) + " " + std::to_string(row.when));
        keepFile(kept);
        int failures = row.when == EVERY_TIME ? 1000 : 1;
        UnsentResults::setKeptFileRead([&](const std::string& path, uint64_t cap) {
            const bool now = row.when != AFTER_ACCEPTED || server.scores().size() == 1;
            if (fs::path(path).filename() == row.file && now && failures > 0) {
                --failures;
                return engine::door::FileRead{engine::door::FileRead::Status::FAILED, {}, row.error};
            }
            return engine::door::readFile(path, cap);
        });
        EXPECT_EQ(sendAfterLogin("teacher"), row.sent);
        EXPECT_TRUE(setAside().empty());
        EXPECT_EQ(fs::exists(UnsentResults::filePath()), row.sent.empty());
        if (row.sent.empty()) {
            EXPECT_EQ(read(UnsentResults::filePath()), kept);
            EXPECT_FALSE(UnsentResults::keep("teacher", third));
            EXPECT_EQ(read(UnsentResults::filePath()), kept);
            // Read again at the next login.
            UnsentResults::setKeptFileRead(nullptr);
            EXPECT_EQ(sendAfterLogin("teacher"), (std::vector<std::string>{"101", "102", "103"}));
        }
        UnsentResults::setKeptFileRead(nullptr);
        fs::remove_all(resRoot());
        UnsentResults::forget();
    }
}

// A stale login ends the round of the teacher it answers only: a reply of another teacher's upload goes on with the
// round, and the teacher's own refused upload is told as still waiting.
TEST_F(KeptUploads, AStaleLoginEndsOnlyTheRoundOfItsTeacher) {
    expectTip("Your session has ended."); // the stale login's reply, whenever it comes
    keepFile("[" + entry("teacher", "101") + "," + entry("teacher2", "102") + "]");
    support::runScene(LoginScene::create());
    logIn("teacher");
    const std::string live = HttpManager::getInstance()->token;
    HttpManager::getInstance()->token = "stale";
    UnsentResults::sendFor("teacher");
    HttpManager::getInstance()->token = live;
    UnsentResults::sendFor("teacher2");
    ASSERT_TRUE(waitFor([this] { return server.scores().size() == 1; }, 10));
    EXPECT_EQ(server.scores()[0].request.field("classId"), "102");
    support::click("Button1");
    support::stepFrames(3);
    EXPECT_EQ(toldAfterLogin(), std::vector<std::string>{tip("ScoreStr5", 1)});
    support::runScene(LoginScene::create());
    HttpManager::getInstance()->token = "stale";
    UnsentResults::sendFor("teacher");
    EXPECT_TRUE(waitFor([] { return !HttpManager::getInstance()->isAwaitingReply("saveScore"); }));
    support::click("Button1");
    support::stepFrames(3);
    EXPECT_EQ(toldAfterLogin(), std::vector<std::string>{tip("ScoreStr3", 1)});
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
    // Removals reach the disk as the rename does: the folder is synced once the file, then the record, is gone.
    const std::string& path = UnsentResults::filePath();
    std::ofstream(path + ".sent") << now;
    synced.clear();
    engine::setWholeFileSync([&synced, &path](int fd) {
        synced.push_back(fs::read_symlink("/proc/self/fd/" + std::to_string(fd)).string() + " " +
                         std::to_string(fs::exists(path)) + std::to_string(fs::exists(path + ".sent")));
        return fsync(fd);
    });
    UnsentResults::sendFor("teacher");
    engine::setWholeFileSync(nullptr);
    const std::string folder = fs::path(resRoot()).parent_path().string();
    EXPECT_EQ(synced, (std::vector<std::string>{folder + " 01", folder + " 00"}));
}

} // namespace
