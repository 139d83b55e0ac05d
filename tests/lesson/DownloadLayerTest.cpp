// The download overlay against the demo server: its counter and bar, the completion call, extraction of the
// zips that arrived, and the download service's callbacks when overlays overlap.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/Director.h"
#include "common/BaseScene.h"
#include "common/GDataManager.h"
#include "lesson/DownloadLayer.h"
#include "net/DownManager.h"
#include "net/SqManager.h"
#include "platform/FileUtils.h"
#include "support/ClientTest.h"
#include "support/GateServer.h"
#include "support/Headless.h"
#include "ui/Button.h"
#include "ui/Layout.h"
#include "ui/LoadingBar.h"
#include "ui/Text.h"

namespace fs = std::filesystem;
using engine::Node;

namespace {

using support::GateServer;

class DownloadOverlay : public support::ClientTest {
protected:
    void SetUp() override {
        ClientTest::SetUp();
        GDataManager::getInstance()->screenOffsetY = 0.f;
        DownManager::destroyInstance();
        SqManager::getInstance()->init();
        support::runScene(BaseScene::create());
    }

    void TearDown() override {
        DownManager::setWholeTimeScale(1);
        DownManager::setSlowTransferLimit(1024, 30.f);
        DownManager::destroyInstance();
        ClientTest::TearDown();
    }

    // A new overlay at z-order 105 on the running scene.
    static DownloadLayer* open() {
        DownloadLayer* layer = DownloadLayer::create();
        EXPECT_NE(layer, nullptr);
        engine::Director::getInstance()->getRunningScene()->addChild(layer, 105);
        return layer;
    }
    DownloadRecord file(const std::string& route, const std::string& name) const {
        return {"", server.origin() + "/files/" + route, scratch.file(name), ""};
    }
    static std::string counterOf(Node* layer) {
        auto* text = dynamic_cast<engine::ui::Text*>(support::findByName("Text_Progress", layer));
        return text ? text->getString() : "<no counter>";
    }
    static float barOf(Node* layer) {
        auto* bar = dynamic_cast<engine::ui::LoadingBar*>(support::findByName("LoadingBar", layer));
        return bar ? bar->getPercent() : -1.f;
    }
};

} // namespace

TEST_F(DownloadOverlay, WithoutFilesShowsOneOfNoneCompletesAndCloses) {
    DownloadLayer* layer = open();
    layer->retain();
    int completions = 0;
    layer->finishCallback = [&] { ++completions; };
    layer->startNext();
    EXPECT_EQ(counterOf(layer), "1/0");
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(layer->getParent(), nullptr);
    layer->startNext();
    support::stepFrames(3);
    EXPECT_EQ(completions, 1);
    layer->release();
}

TEST_F(DownloadOverlay, FetchesFilesInTurnAndExtractsOnlyTheZipsThatArrived) {
    DownloadLayer* layer = open();
    layer->retain();
    layer->addTask(file("ui/ui20240901.zip", "ui/ui20240901.zip"));
    layer->addTask(file("missing/courseware/0101010101.zip", "pack/0101010101.zip"));
    layer->addTask(file("coursefiles/SumMovie.mp4", "mp4/SumMovie.mp4"));
    int completions = 0;
    layer->finishCallback = [&] { ++completions; };
    layer->startNext();

    std::vector<std::string> counters{counterOf(layer)};
    EXPECT_EQ(barOf(layer), 0.f);
    ASSERT_TRUE(waitFor([&] {
        if (counterOf(layer) != counters.back()) {
            counters.push_back(counterOf(layer));
            // The bar counts the whole list: each file starts where the ones before it end.
            EXPECT_TRUE(completions > 0 || barOf(layer) == 100.f * (counters.size() - 1) / 3) << counters.back();
        }
        return completions > 0;
    }));
    EXPECT_EQ(counters, (std::vector<std::string>{"1/3", "2/3", "3/3", "4/3"}));
    EXPECT_EQ(layer->getParent(), nullptr);
    EXPECT_EQ(countLogged("onTaskError : "), 1);
    EXPECT_TRUE(fs::exists(scratch.file("mp4/SumMovie.mp4")));

    // The arrived zip is extracted beside itself and deleted; the missing one never reaches the extraction queue.
    ASSERT_TRUE(waitFor([&] { return !fs::exists(scratch.file("ui/ui20240901.zip")); }));
    support::stepFrames(30);
    EXPECT_FALSE(fs::is_empty(scratch.file("ui")));
    EXPECT_EQ(countLogged("start uncompressing"), 1);
    EXPECT_EQ(completions, 1);
    layer->release();
}

TEST_F(DownloadOverlay, MovesOnPastATrickleWithinItsWholeTime) {
    // 640 bytes a second, over the slow-transfer limit switched off: the icon's whole time, a hundredth of the one
    // in use (1.2 s), ends it, and the list goes on to the next file.
    DownManager::setSlowTransferLimit(0, 0.f);
    DownManager::setWholeTimeScale(0.01);
    DownloadLayer* layer = open();
    layer->addTask(file("trickle/icons/type1_normal.png", "icons/type1_normal.png"));
    layer->addTask(file("icons/type1_selected.png", "icons/type1_selected.png"));
    bool completed = false;
    layer->finishCallback = [&] { completed = true; };
    layer->startNext();
    const bool movedOn = waitFor([&] { return completed; });
    DownManager::setWholeTimeScale(1);
    DownManager::setSlowTransferLimit(1024, 30.f);
    ASSERT_TRUE(movedOn);
    EXPECT_EQ(countLogged("failed: still running after 1.2 seconds"), 1);
    EXPECT_FALSE(fs::exists(scratch.file("icons/type1_normal.png")));
    EXPECT_TRUE(fs::exists(scratch.file("icons/type1_selected.png")));
}

TEST_F(DownloadOverlay, ClosingLeavesTheCallbacksOfTheOverlayThatTookThemOver) {
    GateServer gate;
    DownloadLayer* first = open();
    int firstCompletions = 0;
    first->finishCallback = [&] { ++firstCompletions; };
    first->addTask({"", gate.url(), scratch.file("held.bin"), ""});
    first->startNext();
    support::stepFrames(1);

    DownloadLayer* second = open();
    int secondCompletions = 0;
    second->finishCallback = [&] { ++secondCompletions; };
    second->addTask(file("heads/p1001.png", "p1001.png"));
    second->startNext();
    // Held by its parent only: it goes at once, before the second overlay's file reports.
    first->removeFromParentAndCleanup(true);
    EXPECT_TRUE(DownManager::getInstance()->finishCallback != nullptr);

    ASSERT_TRUE(waitFor([&] { return secondCompletions == 1; }));
    // The overlay that owned them has gone now, and took its callbacks with it.
    EXPECT_TRUE(DownManager::getInstance()->finishCallback == nullptr);
    EXPECT_TRUE(DownManager::getInstance()->progressCallback == nullptr);

    gate.open();
    ASSERT_TRUE(waitFor([&] { return fs::exists(scratch.file("held.bin")); }));
    support::stepFrames(3);
    EXPECT_EQ(firstCompletions, 0);
    EXPECT_EQ(secondCompletions, 1);
}

TEST_F(DownloadOverlay, CoversTheScreenAndSwallowsTouches) {
    auto* backdrop = engine::ui::Layout::create();
    backdrop->setBackGroundColorType(engine::ui::Layout::BackGroundColorType::SOLID);
    backdrop->setBackGroundColor(engine::Color3B(234, 246, 253));
    backdrop->setContentSize(engine::Size(1280, 720));
    auto* under = engine::ui::Button::create();
    under->setFillColor(engine::Color4B(58, 163, 230, 255));
    under->setContentSize(engine::Size(240, 90));
    under->setTitleText("Lecture 1");
    under->setTitleFontSize(30);
    under->setPosition(engine::Vec2(200, 600));
    int clicks = 0;
    under->addClickEventListener([&](engine::Ref*) { ++clicks; });
    backdrop->addChild(under);
    engine::Director::getInstance()->getRunningScene()->addChild(backdrop);

    GateServer gate;
    DownloadLayer* layer = open();
    for (const char* name : {"a.bin", "b.bin", "c.bin"}) {
        layer->addTask({"", gate.url(), scratch.file(name), ""});
    }
    layer->startNext();
    layer->onProgress(45);
    support::stepFrames(10);
    EXPECT_EQ(counterOf(layer), "1/3");
    EXPECT_EQ(barOf(layer), 15.f);
    EXPECT_NE(support::saveScreenshot("download_overlay"), "");

    support::click(under);
    support::stepFrames(1);
    EXPECT_EQ(clicks, 0);
    gate.open();
}

TEST(DownloadOverlayLayout, PanelCoversATallerWindow) {
    support::startHeadless(engine::Size(1280, 800));
    engine::FileUtils* files = engine::FileUtils::getInstance();
    const auto savedPaths = files->getSearchPaths();
    files->addSearchPath(TEST_PROGRAM_DIR "/Layouts/");
    files->addSearchPath(TEST_PROGRAM_DIR "/Images/");
    GDataManager::getInstance()->screenOffsetY = 40.f;
    DownloadLayer* layer = DownloadLayer::create();
    ASSERT_NE(layer, nullptr);
    Node* panel = support::findByName("Layout_LoadPanel", layer);
    Node* card = support::findByName("Img_DownloadBg", layer);
    ASSERT_NE(panel, nullptr);
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(panel->getPositionY(), 0.f);
    EXPECT_EQ(panel->getContentSize().height, engine::Director::getInstance()->getWinSize().height);
    EXPECT_EQ(card->getPositionY(), 400.f);
    GDataManager::getInstance()->screenOffsetY = 0.f;
    files->setSearchPaths(savedPaths);
    support::stopHeadless();
}
