// The lesson video page: which still and movie each content kind shows, and its play button.
#include <gtest/gtest.h>

#include "LessonFixture.h"
#include "lesson/SFVideoPlayer.h"
#include "lesson/VideoLayer.h"
#include "net/FileManager.h"
#include "support/Headless.h"

namespace {

class VideoPage : public lesson::LessonTest {};

TEST_F(VideoPage, MovieOfEachContentKind) {
    const std::string netRes = FileManager::getInstance()->getNetResPath();
    struct Case {
        lesson::Lecture lecture;
        int kind;
        std::string base;
    } cases[] = {
        // The first lecture of the list, or one not in it, opens with the program's own movie.
        {{1, 1, 2, 1, 1}, 5, "movie/20000"},
        {{3, 5, 1, 1, 1}, 5, "movie/Login"},
        {{1, 1, 1, 1, 9}, 5, "movie/10000"},
        // Later lectures open with the summary of the one before.
        {{1, 1, 1, 1, 3}, 5, netRes + "0101010102/mp4/SumMovie"},
        {{1, 1, 1, 1, 3}, 7, netRes + "0101010103/mp4/LecMovie"},
        {{1, 1, 1, 1, 3}, 8, netRes + "0101010103/mp4/SumMovie"},
        {{1, 1, 1, 1, 3}, 4, ""},
    };
    for (const Case& c : cases) {
        choose(c.lecture);
        std::string picture, video;
        VideoLayer::moviePaths(c.kind, picture, video);
        EXPECT_EQ(picture, c.base.empty() ? "" : c.base + ".png") << c.kind << " " << c.base;
        EXPECT_EQ(video, c.base.empty() ? "" : c.base + ".mp4") << c.kind << " " << c.base;
    }
    EXPECT_TRUE(logged("error topic type: 4"));
}

TEST_F(VideoPage, PlayOpensThePlayerOverTheLessonOrTellsTheFileIsMissing) {
    choose({1, 1, 1, 1, 1});
    LogicTopicScene* scene = openLessonPlayer();
    ASSERT_NE(scene, nullptr);
    support::saveScreenshot("lesson_video_page");
    support::click("PlayBtn");
    support::stepFrames(2);
    SFVideoPlayer* player = nullptr;
    for (engine::Node* child : scene->getChildren()) {
        player = player ? player : dynamic_cast<SFVideoPlayer*>(child);
    }
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(player->getLocalZOrder(), 106);
    ASSERT_TRUE(waitFor([] { return support::findByName("Slider") != nullptr; }));
    support::stepFrames(30);
    support::saveScreenshot("lesson_video_playing");
    // One press closes the player.
    ASSERT_TRUE(support::click("Btn_Skip"));
    support::stepFrames(2);
    EXPECT_EQ(support::findByName("Btn_Skip"), nullptr);

    VideoLayer::playVideo(programFolder() + "missing.mp4");
    support::stepFrames(2);
    EXPECT_EQ(tipText(), "File not found");
}

} // namespace
