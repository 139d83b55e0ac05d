// The opening video the grouping fetches is kept only when the player can play it, after its download and when it
// lies on disk already.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "NavigationFixture.h"
#include "common/GDataManager.h"
#include "lesson/LogicTopicScene.h"
#include "net/CoursewareManager.h"
#include "net/FileManager.h"
#include "net/HttpManager.h"
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
    const char* const kinds[] = {"freehtml", "ftyp", "ftypjunk", "mkvjunk", "oggjunk", "tssync", "halfmovie"};
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
}

} // namespace
