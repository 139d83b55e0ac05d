// The opening video the grouping fetches is kept only when the player can play it, after its download and when it
// lies on disk already.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <memory>
#include <string>

#include "NavigationFixture.h"
#include "common/GDataManager.h"
#include "lesson/LogicTopicScene.h"
#include "net/CoursewareManager.h"
#include "common/FileManager.h"
#include "net/HttpManager.h"
#include "net/MovieCheck.h"
#include "scenes/GroupScene.h"
#include "support/Headless.h"

namespace {

namespace fs = std::filesystem;

using OpeningVideoTest = navigation::NavigationTest;

TEST_F(OpeningVideoTest, AFileThatOnlyStartsLikeAMovieIsRemovedAndFetchedAgain) {
    // Lecture 2 of phase 1 chosen, no pupils: confirming fetches lecture 1's summary video, then opens the lesson.
    loadCatalogue();
    GDataManager* data = GDataManager::getInstance();
    data->students.clear();
    navigation::chooseSubject({});
    data->gradeCode = data->phaseCode = 1;
    data->lessonNumber = 2;
    CoursewareManager::getInstance()->currentList = {navigation::lecture(1, 1), navigation::lecture(1, 2)};
    const std::string movie = FileManager::getInstance()->getNetResPath() + "0101010101/mp4/SumMovie.mp4";
    const auto confirmFrom = [&](const std::string& base) {
        HttpManager::getInstance()->baseUrl = server.origin() + base;
        data->enteredFrom = 2;
        enter(GroupScene::create());
        support::click("ConfirmBtn");
        return waitForScene<LogicTopicScene>();
    };
    const char* const kinds[] = {"freehtml", "ftyp",   "ftypjunk",  "mkvjunk",
                                 "oggjunk",  "tssync", "halfmovie", "hugemovie"};
    for (const char* kind : kinds) {
        ASSERT_TRUE(confirmFrom(std::string("/fault/") + kind + "/")) << kind;
        EXPECT_FALSE(fs::exists(movie)) << kind;
    }
    EXPECT_EQ(countLogged("opening video is not a movie"), static_cast<int>(std::size(kinds)));

    // One on disk (kept by an older client) gets the same check: removed, fetched again, the good one kept.
    fs::create_directories(fs::path(movie).parent_path());
    std::ofstream(movie, std::ios::binary) << std::string("\0\0\0\x20"
                                                          "ftypisom",
                                                          12)
                                           << std::string(4096, 'x');
    server.clearRecords();
    ASSERT_TRUE(confirmFrom("/api/"));
    EXPECT_EQ(requestsNamed("getCourseFileList").size(), 1u);
    EXPECT_EQ(fs::file_size(movie), fs::file_size(courseware::CoursewareServer::defaultDataDir() /
                                                  "files/coursefiles/0101010101/SumMovie.mp4"));

    // Checked once, unchanged: the next entry does not wait for a check again.
    data->enteredFrom = 2;
    enter(GroupScene::create());
    support::click("ConfirmBtn");
    support::stepFrames(1);
    EXPECT_NE(runningAs<LogicTopicScene>(), nullptr);
}

TEST_F(OpeningVideoTest, AMovieOnDiskIsCheckedWhileTheClassIsGroupedAndTheConfirmDoesNotWait) {
    loadCatalogue();
    GDataManager* data = GDataManager::getInstance();
    data->students.clear();
    navigation::chooseSubject({});
    data->gradeCode = data->phaseCode = 1;
    data->lessonNumber = 2;
    CoursewareManager::getInstance()->currentList = {navigation::lecture(1, 1), navigation::lecture(1, 2)};
    HttpManager::getInstance()->baseUrl = server.origin() + "/api/";
    // A file this process has not checked: a fresh copy.
    const std::string movie = FileManager::getInstance()->getNetResPath() + "0101010101/mp4/SumMovie.mp4";
    fs::remove(movie);
    fs::create_directories(fs::path(movie).parent_path());
    fs::copy_file(courseware::CoursewareServer::defaultDataDir() / "files/coursefiles/0101010101/SumMovie.mp4", movie);
    data->enteredFrom = 2;
    auto* group = GroupScene::create();
    enter(group);
    ASSERT_TRUE(support::waitFor([group] { return group->isOpeningVideoChecked(); }));
    support::click("ConfirmBtn");
    support::stepFrames(1);
    EXPECT_NE(runningAs<LogicTopicScene>(), nullptr);
    EXPECT_TRUE(fs::exists(movie));
}

TEST_F(OpeningVideoTest, ACheckLeftBeforeItsEndDoesNotHoldTheMainThread) {
    // A pipe that gives the check's read nothing until the test writes: the check runs while its owner goes.
    support::ScratchDir scratch;
    const std::string pipe = scratch.file("SumMovie.mp4");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    auto check = std::make_unique<MovieCheck>(pipe, "opening video");
    int writer = -1;
    ASSERT_TRUE(support::waitFor([&] { return (writer = open(pipe.c_str(), O_WRONLY | O_NONBLOCK)) >= 0; }));

    // A last guard far above the time of a leave: an owner that waits for the check is freed by the end of its file.
    std::promise<void> left;
    auto guard = std::async(std::launch::async, [&writer, leaving = left.get_future()] {
        return leaving.wait_for(std::chrono::seconds(20)) == std::future_status::timeout && close(writer) == 0;
    });
    check.reset();
    left.set_value();
    EXPECT_FALSE(guard.get() || close(writer) != 0);
}

} // namespace
