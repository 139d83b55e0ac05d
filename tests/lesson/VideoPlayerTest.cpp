// The movie sprite and the full-screen player on real libvlc, headless: decoded frames reach the screen, the end
// of a movie reaches the owner once on the main thread, the controls work through touches, and a movie that cannot
// be played closes cleanly.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>
#include <vlc/vlc.h>

#include "base/Director.h"
#include "common/BaseScene.h"
#include "common/GDataManager.h"
#include "lesson/SFVideoPlayer.h"
#include "lesson/VideoPlaySprite.h"
#include "render/CopyCache.h"
#include "render/Renderer.h"
#include "render/Texture2D.h"
#include "scene/Layer.h"
#include "scene/Sprite.h"
#include "support/Headless.h"
#include "support/PackResources.h"
#include "ui/Button.h"
#include "ui/Layout.h"
#include "ui/Slider.h"

using engine::Node;

namespace {

const std::string kShortMovie = TEST_MEDIA_DIR "/Short.mp4";

// Frames libvlc shows or decodes in real time: the sanitizer builds run too slowly to count on more than one.
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
constexpr uint64_t frames(uint64_t) {
    return 1;
}
#else
constexpr uint64_t frames(uint64_t realTime) {
    return realTime;
}
#endif

class VideoTest : public support::HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        GDataManager::getInstance()->screenOffsetY = 0.f;
        support::runScene(BaseScene::create());
    }

    static Node* scene() { return engine::Director::getInstance()->getRunningScene(); }

    // A player opened as the lesson video page opens it: empty end callback, z-order 106 on the running scene.
    static SFVideoPlayer* openPlayer(const std::string& path) {
        SFVideoPlayer* player = SFVideoPlayer::create();
        player->initPlayer(path, {});
        scene()->addChild(player, 106);
        return player;
    }
    static bool playerOpen() { return support::findByName("Panel_UI") != nullptr; }

    static libvlc_state_t stateOf(SFVideoPlayer* player) {
        VideoPlaySprite* sprite = player->getVideoSprite();
        return sprite && sprite->getMediaPlayer() ? libvlc_media_player_get_state(sprite->getMediaPlayer())
                                                  : libvlc_Error;
    }

    // A few pixels across the moving box's track and the clock, from the last drawn frame.
    static std::vector<uint32_t> samplePixels() {
        std::vector<uint32_t> pixels;
        for (int x = 40; x < 1280; x += 120) {
            for (int y : {160, 460, 580}) {
                const engine::Color4B c = support::readPixel(x, y);
                pixels.push_back(static_cast<uint32_t>(c.r) << 16 | static_cast<uint32_t>(c.g) << 8 | c.b);
            }
        }
        return pixels;
    }

    static VideoPlaySprite* addSprite(const std::function<void()>& ended = {}, const std::string& path = kShortMovie,
                                      Node* parent = scene()) {
        auto* sprite = new VideoPlaySprite();
        EXPECT_TRUE(sprite->init(path, ended));
        sprite->autorelease();
        sprite->setPosition(engine::Vec2(640, 360));
        parent->addChild(sprite);
        return sprite;
    }
    // The largest channel difference between the drawn pixel and want.
    static int offBy(int x, int y, const std::array<int, 3>& want) {
        const engine::Color4B c = support::readPixel(x, y);
        return std::max({std::abs(c.r - want[0]), std::abs(c.g - want[1]), std::abs(c.b - want[2])});
    }

    support::PackResources pack;
};

TEST_F(VideoTest, SpriteShowsChangingFramesAndReportsTheEndOnceOnTheMainThread) {
    int ends = 0;
    std::thread::id endThread;
    auto* layer = engine::Layer::create();
    scene()->addChild(layer);
    VideoPlaySprite* sprite = addSprite(
        [&] {
            ++ends;
            endThread = std::this_thread::get_id();
        },
        kShortMovie, layer);
    sprite->play();

    ASSERT_TRUE(support::waitFor([&] { return sprite->getShownFrameCount() >= frames(3); }));
    const std::vector<uint32_t> first = samplePixels();
    EXPECT_NE(first, std::vector<uint32_t>(first.size(), 0u)) << "the decoded picture is drawn";
    const uint64_t shown = sprite->getShownFrameCount();
    // A busy machine shows fewer of the second's pictures: the end, when it comes first, has shown the last one.
    ASSERT_TRUE(support::waitFor([&] { return sprite->getShownFrameCount() >= shown + frames(6) || ends > 0; }));
    EXPECT_GT(sprite->getShownFrameCount(), shown);
    EXPECT_NE(samplePixels(), first);

    ASSERT_TRUE(support::waitFor([&] { return ends > 0; }));
    EXPECT_EQ(endThread, std::this_thread::get_id());
    support::stepFrames(2);
    const uint64_t revision = sprite->getTexture()->getRevision();
    support::stepFrames(30);
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(sprite->getTexture()->getRevision(), revision) << "without a new picture nothing is uploaded";
}

// Planar pictures keep both halves' colours (planes and pitches read where libvlc wrote them); of two pictures
// written between draws only the later one is uploaded.
TEST_F(VideoTest, PlanarPicturesReachTheScreenInTheirColours) {
    VideoPlaySprite* sprite = addSprite();
    void* opaque = sprite;
    char chroma[4] = {'R', 'V', '3', '2'};
    unsigned width = 640, height = 360, pitches[3] = {}, lines[3] = {};
    ASSERT_EQ(VideoPlaySprite::setupFormat(&opaque, chroma, &width, &height, pitches, lines), 1u);
    ASSERT_EQ(std::string(chroma, 4) + std::to_string(width) + "x" + std::to_string(height), "I4201280x720");
    // Each half's studio-range BT.601 Y, U, V.
    auto write = [&](const std::array<uint8_t, 3>& left, const std::array<uint8_t, 3>& right) {
        void* planes[3] = {};
        VideoPlaySprite::lockFrame(sprite, planes);
        for (unsigned p = 0; p < 3; ++p) {
            const unsigned half = (p == 0 ? width : width / 2) / 2;
            for (unsigned i = 0; i < lines[p] * pitches[p]; ++i) {
                static_cast<uint8_t*>(planes[p])[i] = i % pitches[p] < half ? left[p] : right[p];
            }
        }
        VideoPlaySprite::unlockFrame(sprite, nullptr, planes);
    };
    write({81, 90, 240}, {41, 240, 110}); // red | blue
    support::stepFrames(1);
    EXPECT_LE(std::max(offBy(320, 360, {255, 0, 0}), offBy(960, 360, {0, 0, 255})), 3);
    const uint64_t shown = sprite->getShownFrameCount();
    write({81, 90, 240}, {41, 240, 110});
    write({145, 54, 34}, {235, 128, 128}); // green | white
    support::stepFrames(1);
    EXPECT_EQ(sprite->getShownFrameCount(), shown + 1);
    EXPECT_LE(std::max(offBy(320, 360, {0, 255, 0}), offBy(960, 360, {255, 255, 255})), 3);
}

// The first picture on the screen is one of the movie's pictures (a busy machine shows the newest decoded one
// first) in its colours, where the picture holds still.
TEST_F(VideoTest, FirstPictureMatchesTheMoviesStill) {
    const std::pair<int, int> points[] = {{1180, 100}, {1000, 300}, {1180, 400}, {1180, 680}, {100, 680}};
    VideoPlaySprite* sprite = addSprite();
    sprite->play();
    ASSERT_TRUE(support::waitFor([&] { return sprite->getShownFrameCount() >= 1; }));
    int worstOfBest = 256;
    for (int picture = 1; picture <= 30 && worstOfBest > 4; ++picture) {
        const std::string path = TEST_MEDIA_DIR "/frames/Short" + std::to_string(100 + picture).substr(1) + ".png";
        SDL_Surface* loaded = IMG_Load(path.c_str());
        ASSERT_NE(loaded, nullptr) << path;
        SDL_Surface* still = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB24, 0);
        SDL_FreeSurface(loaded);
        int worst = 0;
        for (const auto& [x, y] : points) {
            const uint8_t* want = static_cast<const uint8_t*>(still->pixels) + y * still->pitch + x * 3;
            worst = std::max(worst, offBy(x, y, {want[0], want[1], want[2]}));
        }
        SDL_FreeSurface(still);
        worstOfBest = std::min(worstOfBest, worst);
    }
    EXPECT_LE(worstOfBest, 4);
}

// Outside the view nothing is uploaded; stop tells the owner, and play afterwards sets libvlc up again.
TEST_F(VideoTest, SpriteOutsideTheViewUploadsNothingAndPlaysAgainAfterStop) {
    int ends = 0;
    VideoPlaySprite* sprite = addSprite([&] { ++ends; });
    sprite->setPosition(engine::Vec2(-2000, 360));
    sprite->play();
    ASSERT_TRUE(support::waitFor([&] { return sprite->getDecodedFrameCount() >= frames(5); }));
    EXPECT_EQ(sprite->getShownFrameCount(), 0u);

    sprite->stop();
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(sprite->getMediaPlayer(), nullptr);
    EXPECT_EQ(sprite->getParent(), scene()) << "with an end callback, stop closes nothing";
    const uint64_t decoded = sprite->getDecodedFrameCount();
    sprite->play();
    ASSERT_NE(sprite->getMediaPlayer(), nullptr);
    EXPECT_TRUE(support::waitFor([&] { return sprite->getDecodedFrameCount() >= decoded + frames(5); }));
}

// A missing file and a file that is no movie: nothing is drawn, the owner hears of it once, skip closes.
TEST_F(VideoTest, MovieThatCannotBePlayedEndsOnceAndSkipCloses) {
    support::ScratchDir scratch;
    std::ofstream(scratch.file("Broken.mp4")) << "this is not a movie";
    for (const std::string& path : {scratch.file("Missing.mp4"), scratch.file("Broken.mp4")}) {
        SCOPED_TRACE(path);
        int ends = 0;
        VideoPlaySprite* sprite = addSprite([&] { ++ends; }, path);
        sprite->play();
        ASSERT_TRUE(support::waitFor([&] { return ends > 0; }));
        support::stepFrames(10);
        EXPECT_EQ(ends, 1);
        EXPECT_EQ(sprite->getDecodedFrameCount(), 0u);
        sprite->removeFromParent();

        SFVideoPlayer* player = openPlayer(path);
        ASSERT_NE(player->getVideoSprite(), nullptr);
        ASSERT_TRUE(support::waitFor([&] { return player->getVideoSprite()->isEndReached(); }));
        support::stepFrames(2);
        EXPECT_EQ(dynamic_cast<engine::ui::Slider*>(support::findByName("Slider"))->getPercent(), 0);
        ASSERT_TRUE(support::click("Btn_Skip"));
        support::stepFrames(1);
        EXPECT_FALSE(playerOpen());
    }
}

TEST_F(VideoTest, PlayerControlsThroughTouches) {
    // The lesson's prepared copies of pictures go when the player covers it, not a second of frames later.
    engine::Sprite* tinted = engine::Sprite::create("HeadImg1.png");
    tinted->setColor(engine::Color3B(200, 100, 50));
    scene()->addChild(tinted);
    engine::Renderer* renderer = engine::Director::getInstance()->getRenderer();
    for (uint64_t frame = 0; frame <= engine::CopyCache::kSteadyFrames; ++frame) {
        renderer->invalidate();
        support::stepFrames(1);
    }
    ASSERT_GT(renderer->getStats().tintedCopyBytes, 0u);
    // What the player covers is not drawn while it is open; what was hidden before stays hidden after.
    Node* hidden = engine::Node::create();
    hidden->setVisible(false);
    scene()->addChild(hidden);
    SFVideoPlayer* player = openPlayer("movie/Login.mp4");
    EXPECT_EQ(renderer->getStats().tintedCopyBytes, 0u);
    EXPECT_FALSE(tinted->isVisible());
    ASSERT_NE(player->getVideoSprite(), nullptr);
    auto* panel = dynamic_cast<engine::ui::Layout*>(support::findByName("Panel_UI"));
    auto* slider = dynamic_cast<engine::ui::Slider*>(support::findByName("Slider"));
    auto* playButton = support::findByName("Btn_Play");
    auto* pauseButton = support::findByName("Btn_Pause");
    ASSERT_TRUE(panel && slider && playButton && pauseButton);
    ASSERT_TRUE(support::waitFor([&] { return slider->getPercent() > 0; }));
    support::saveScreenshot("video_player");

    // Hidden controls: the first touch on a control only shows them.
    support::tapAt(engine::Vec2(640, 400));
    EXPECT_EQ(panel->getOpacity(), 0);
    ASSERT_TRUE(support::click("Btn_Pause"));
    EXPECT_EQ(panel->getOpacity(), 255);
    EXPECT_TRUE(pauseButton->isVisible());
    EXPECT_EQ(stateOf(player), libvlc_Playing);

    // Pause pauses, and a second pause keeps it paused.
    ASSERT_TRUE(support::click("Btn_Pause"));
    EXPECT_TRUE(playButton->isVisible());
    EXPECT_FALSE(pauseButton->isVisible());
    ASSERT_TRUE(support::waitFor([&] { return stateOf(player) == libvlc_Paused; }));
    player->onPause();
    EXPECT_FALSE(support::waitFor([&] { return stateOf(player) == libvlc_Playing; }, 0.5));
    ASSERT_TRUE(support::click("Btn_Play"));
    EXPECT_TRUE(pauseButton->isVisible());
    ASSERT_TRUE(support::waitFor([&] { return stateOf(player) == libvlc_Playing; }));

    // Dragging the slider to its end seeks there; the movie ends and the slider follows the movie again.
    support::drag(support::worldCenter(slider), engine::Vec2(1100, support::worldCenter(slider).y));
    ASSERT_TRUE(support::waitFor([&] { return stateOf(player) == libvlc_Ended; }));
    support::stepFrames(2);
    EXPECT_GT(slider->getPercent(), 90);

    // Replay starts again from the beginning.
    ASSERT_TRUE(support::click("Btn_RePlay"));
    ASSERT_TRUE(support::waitFor([&] { return stateOf(player) == libvlc_Playing && slider->getPercent() < 50; }));

    ASSERT_TRUE(support::click("Btn_Skip"));
    support::stepFrames(1);
    EXPECT_FALSE(playerOpen());
    EXPECT_TRUE(tinted->isVisible());
    EXPECT_FALSE(hidden->isVisible());
}

// A window taller than 16:9: the movie keeps its shape in the middle, black above and below.
TEST_F(VideoTest, TallWindowShowsTheMovieBetweenBlackBars) {
    support::stopHeadless();
    support::startHeadless(engine::Size(1280, 1024));
    GDataManager::getInstance()->screenOffsetY = (engine::Director::getInstance()->getWinSize().height - 720) * 0.5f;
    support::runScene(BaseScene::create());
    SFVideoPlayer* player = openPlayer("movie/Login.mp4");
    ASSERT_TRUE(support::waitFor([&] { return player->getVideoSprite()->getShownFrameCount() >= frames(4); }));
    support::saveScreenshot("video_player_tall");
    EXPECT_EQ(player->getVideoSprite()->getContentSize().height, 720.f);
    for (int y : {40, 1000}) {
        const engine::Color4B bar = support::readPixel(640, y);
        EXPECT_EQ(bar.r + bar.g + bar.b, 0) << y;
    }
    const engine::Color4B movie = support::readPixel(640, 300);
    EXPECT_GT(movie.r + movie.g + movie.b, 0);
}

TEST(VideoProgress, UnknownTimeOrLengthReadsZero) {
    struct Case {
        libvlc_time_t time, length;
        int percent;
    };
    for (const Case& c : {Case{-1, 4000, 0}, Case{2000, 0, 0}, Case{2000, -1, 0}, Case{0, 4000, 0},
                          Case{1000, 4000, 25}, Case{4000, 4000, 100}, Case{5000, 4000, 100}}) {
        EXPECT_EQ(SFVideoPlayer::progressPercent(c.time, c.length), c.percent) << c.time << "/" << c.length;
    }
}

} // namespace
