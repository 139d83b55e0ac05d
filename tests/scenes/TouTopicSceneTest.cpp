#include <SDL.h>
#include <SDL_image.h>

#include <filesystem>
#include <functional>

#include "NavigationFixture.h"
#include "audio/AudioEngine.h"
#include "base/StringUtils.h"
#include "common/AudioManager.h"
#include "common/GDataManager.h"
#include "common/PlistManager.h"
#include "common/UITools.h"
#include "common/FileManager.h"
#include "render/TextureCache.h"
#include "scenes/TouTopicScene.h"
#include "support/DemoTopics.h"
#include "support/Headless.h"
#include "tools/DrawBoardLayer.h"
#include "tools/MusicLayer.h"
#include "tools/TeachLayer.h"
#include "ui/ImageView.h"

using engine::StringUtils::format;

namespace {

class PageViewer : public navigation::NavigationTest {
protected:
    // Picture lecture 0204010101 with pages 1.png to pages.png, each of its own colour.
    std::string writeLecture(int pages) {
        const std::string folder = support::chooseLecture("0204010101");
        std::filesystem::create_directories(folder);
        for (int p = 1; p <= pages; ++p) {
            writePage(folder + format("%d.png", p), 320, 180, static_cast<uint8_t>(20 * p));
        }
        return folder;
    }
    static void writePage(const std::string& path, int w, int h, uint8_t shade) {
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGBA32);
        SDL_FillRect(surface, nullptr, SDL_MapRGBA(surface->format, shade, 120, 200, 255));
        // A pale card with a block that moves along the pages, so the screenshots show pages, not plain boxes.
        SDL_Rect card{w / 8, h / 6, w * 3 / 4, h * 2 / 3};
        SDL_FillRect(surface, &card, SDL_MapRGBA(surface->format, 250, 246, 232, 255));
        SDL_Rect block{w / 8 + (shade / 20 % 6) * w / 8, h / 3, w / 8, h / 3};
        SDL_FillRect(surface, &block, SDL_MapRGBA(surface->format, 240, 160, 40, 255));
        IMG_SavePNG(surface, path.c_str());
        SDL_FreeSurface(surface);
    }
    // The first node of kind T on the running scene.
    template <class T> static T* findLayer(engine::Node* node = nullptr) {
        node = node ? node : engine::Director::getInstance()->getRunningScene();
        if (auto* match = dynamic_cast<T*>(node)) {
            return match;
        }
        for (engine::Node* child : node->getChildren()) {
            if (T* found = findLayer<T>(child)) {
                return found;
            }
        }
        return nullptr;
    }
    // A lecture without questions: "Btn_Game" stays hidden.
    TouTopicScene* open(int pages) {
        writeLecture(pages);
        enter(TouTopicScene::create());
        return runningAs<TouTopicScene>();
    }
    static std::string shownFile(const std::string& name) {
        auto* image = dynamic_cast<engine::ui::ImageView*>(support::findByName(name));
        return image && image->isVisible() ? image->getTextureFile() : "";
    }
};

TEST_F(PageViewer, PagingMovesTheMarkerThenTheStripAndStopsAtBothEnds) {
    TouTopicScene* viewer = open(10);
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->pageCount, 10);
    struct Step {
        char action; // 'n' next, 'p' previous, '1'..'6' a thumbnail
        int page, slot, first;
    };
    const Step steps[] = {
        {'n', 2, 2, 1}, {'n', 3, 3, 1}, {'n', 4, 4, 1},  {'n', 5, 5, 1},  {'n', 6, 6, 1}, {'n', 7, 6, 2},
        {'n', 8, 6, 3}, {'n', 9, 6, 4}, {'n', 10, 6, 5}, {'n', 10, 6, 5}, {'p', 9, 5, 5}, {'p', 8, 4, 5},
        {'p', 7, 3, 5}, {'p', 6, 2, 5}, {'p', 5, 1, 5},  {'p', 4, 1, 4},  {'2', 5, 2, 4}, {'p', 4, 1, 4},
        {'p', 3, 1, 3}, {'p', 2, 1, 2}, {'p', 1, 1, 1},  {'p', 1, 1, 1},  {'6', 6, 6, 1},
    };
    int index = 0;
    for (const Step& step : steps) {
        if (step.action == 'n') {
            support::click("Btn_Next");
        } else if (step.action == 'p') {
            support::click("Btn_NavLeft");
        } else {
            support::click(support::findByName(format("Img_Nav%c", step.action)));
        }
        // A page still decoding on the loader thread is drawn when it arrives.
        EXPECT_TRUE(support::waitFor([&] { return shownFile("Img_Content") == viewer->pagePath(viewer->page); }));
        SCOPED_TRACE(index++);
        EXPECT_EQ(viewer->page, step.page);
        EXPECT_EQ(viewer->thumbSlot, step.slot);
        EXPECT_EQ(viewer->firstThumb, step.first);
        EXPECT_EQ(shownFile("Img_Content"), viewer->pagePath(step.page));
        EXPECT_EQ(shownFile("Img_Nav1"), viewer->pagePath(step.first));
        EXPECT_EQ(support::findByName("Img_Select")->getPosition(),
                  support::findByName(format("Img_Nav%d", step.slot))->getPosition());
        const bool end = (step.slot == 1 && step.page == 1) || (step.slot == 6 && step.page == 10);
        EXPECT_EQ(shownFile("Img_Bg1"), end ? "TouTopic/TouTopic_Img_Bg1.png" : "TouTopic/TouTopic_Img_Bg2.png");
    }
    // Only the pictures on screen and the pages either side of the shown one stay cached.
    auto* cache = engine::Director::getInstance()->getTextureCache();
    for (int p = 8; p <= 10; ++p) {
        EXPECT_EQ(cache->getTextureForKey(viewer->pagePath(p)), nullptr) << p;
    }
}

TEST_F(PageViewer, FewOrNoPagesLeaveTheMissingOnesOut) {
    struct Case {
        int pages;
        bool content;
        int thumbs;
    };
    for (const Case c : {Case{3, true, 3}, Case{0, false, 0}}) {
        SCOPED_TRACE(c.pages);
        std::filesystem::remove_all(FileManager::getInstance()->getNetResPath() + "0204010101");
        TouTopicScene* viewer = open(c.pages);
        ASSERT_NE(viewer, nullptr);
        EXPECT_EQ(support::findByName("Img_Content")->isVisible(), c.content);
        for (int slot = 1; slot <= 6; ++slot) {
            EXPECT_EQ(support::findByName(format("Img_Nav%d", slot))->isVisible(), slot <= c.thumbs) << slot;
        }
        viewer->onThumbnailClicked(nullptr, 5);
        support::click("Btn_Next");
        support::click("Btn_Next");
        support::click("Btn_Next");
        support::stepFrames(1);
        EXPECT_EQ(viewer->page, std::max(c.pages, 1));
    }
}

TEST_F(PageViewer, ToolsFoldThePanelAndTheNextSetClickUnfoldsIt) {
    engine::AudioEngine::stopAll();
    AudioManager::getInstance()->playBackgroundMusic();
    TouTopicScene* viewer = open(2);
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(AudioManager::getInstance()->backgroundMusicId, engine::AudioEngine::INVALID_AUDIO_ID);
    EXPECT_FALSE(support::findByName("Btn_Game")->isVisible());
    engine::Node* panel = support::findByName("Img_SetBg");
    auto openPanel = [&] {
        support::click("Btn_Set");
        support::stepFrames(30);
        EXPECT_TRUE(viewer->settingsOpen);
        EXPECT_FLOAT_EQ(panel->getScaleX(), 1.f);
    };
    const struct {
        const char* tool;
        std::function<engine::Node*()> opened; // the layer the tool adds, if any
    } tools[] = {{"Btn_Draw", [] { return findLayer<DrawBoardLayer>(); }},
                 {"Btn_Music", [] { return findLayer<MusicLayer>(); }},
                 {"Btn_Nav", [] { return nullptr; }},
                 {"Btn_Teaching", [] { return findLayer<TeachLayer>(); }}};
    for (const auto& t : tools) {
        SCOPED_TRACE(t.tool);
        openPanel();
        support::click(t.tool);
        support::stepFrames(30);
        EXPECT_FALSE(viewer->settingsOpen);
        EXPECT_FLOAT_EQ(panel->getScaleX(), 0.f);
        if (engine::Node* layer = t.opened()) {
            if (std::string(t.tool) == "Btn_Draw") {
                support::saveScreenshot("TouTopicScene_drawboard");
            }
            UITools::removeSelf(layer);
        } else {
            EXPECT_TRUE(std::string(t.tool) == "Btn_Nav" || std::string(t.tool) == "Btn_Teaching");
        }
    }
    // Without teaching pictures the guide button only tells so.
    EXPECT_EQ(findLayer<TeachLayer>(), nullptr);
    EXPECT_EQ(tipText(), PlistManager::getInstance()->getText("TeachStr1"));
    EXPECT_FALSE(support::findByName("Img_NavBg")->isVisible());
    support::saveScreenshot("TouTopicScene_tools");
}

TEST_F(PageViewer, TallWindowKeepsTheStripAtTheBottomAndTheButtonsAtTheTop) {
    support::startHeadless(engine::Size(1280, 960));
    GDataManager::getInstance()->screenOffsetY = 120.f;
    ASSERT_NE(open(7), nullptr);
    const auto world = [](const char* name) { return support::worldCenter(support::findByName(name)); };
    EXPECT_FLOAT_EQ(support::findByName("Panel_Tab")->convertToWorldSpace(engine::Vec2::ZERO).y, 0.f);
    EXPECT_FLOAT_EQ(world("Img_Content").y, 480.f);
    EXPECT_GT(world("Btn_Return").y, 880.f);
    support::saveScreenshot("TouTopicScene_tall");
}

} // namespace
