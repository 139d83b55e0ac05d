// The download overlay against the demo server: its counter and bar, the completion call, extraction of the
// zips that arrived, and the download service's callbacks when overlays overlap.
#include <gtest/gtest.h>
#include <httplib.h>

#include <filesystem>
#include <future>
#include <mutex>
#include <thread>

#include "CoursewareServer.h"
#include "base/Director.h"
#include "base/Log.h"
#include "common/BaseScene.h"
#include "common/GDataManager.h"
#include "lesson/DownloadLayer.h"
#include "net/DownManager.h"
#include "net/SqManager.h"
#include "platform/FileUtils.h"
#include "support/Headless.h"
#include "ui/Button.h"
#include "ui/Layout.h"
#include "ui/LoadingBar.h"
#include "ui/Text.h"

namespace fs = std::filesystem;
using engine::Node;

namespace {

// Holds back "/held.bin" until the test opens the gate, so that a download is certain to be running.
class GateServer {
public:
    GateServer() {
        _server.Get("/held.bin", [this](const httplib::Request&, httplib::Response& res) {
            _opened.wait();
            res.set_content(std::string(3000, 'h'), "application/octet-stream");
        });
        _port = _server.bind_to_any_port("127.0.0.1");
        _thread = std::thread([this] { _server.listen_after_bind(); });
    }
    ~GateServer() {
        open();
        _server.stop();
        _thread.join();
    }
    void open() {
        std::call_once(_once, [this] { _gate.set_value(); });
    }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(_port) + "/held.bin"; }

private:
    httplib::Server _server;
    std::promise<void> _gate;
    std::shared_future<void> _opened = _gate.get_future().share();
    std::once_flag _once;
    std::thread _thread;
    int _port = -1;
};

class DownloadOverlay : public ::testing::Test {
protected:
    void SetUp() override { start(engine::Size(1280, 720), 0.f); }

    void start(const engine::Size& frame, float offsetY) {
        support::startHeadless(frame);
        engine::FileUtils* files = engine::FileUtils::getInstance();
        savedRoot = files->getDefaultResourceRootPath();
        savedSearchPaths = files->getSearchPaths();
        // Writable files go to the scratch folder; the resource pack is read from the program folder.
        files->setDefaultResourceRootPath(scratch.path() + "/");
        files->setSearchPaths({});
        for (const char* folder : {"", "Plist/", "Layouts/", "Images/", "Animations/", "Sounds/", "Fonts/"}) {
            files->addSearchPath(std::string(TEST_PROGRAM_DIR "/") + folder);
        }
        GDataManager::getInstance()->screenOffsetY = offsetY;
        engine::setLogSink([this](const std::string& line) { logLines.push_back(line); });
        DownManager::destroyInstance();
        SqManager::getInstance()->init();
        ASSERT_GT(server.start(0), 0);
        support::runScene(BaseScene::create());
    }

    void TearDown() override {
        DownManager::destroyInstance();
        support::stopHeadless();
        engine::setLogSink(nullptr);
        GDataManager::getInstance()->screenOffsetY = 0.f;
        engine::FileUtils* files = engine::FileUtils::getInstance();
        files->setDefaultResourceRootPath(savedRoot);
        files->setSearchPaths(savedSearchPaths);
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
    int logged(const std::string& text) const {
        return static_cast<int>(std::count_if(logLines.begin(), logLines.end(), [&](const std::string& line) {
            return line.find(text) != std::string::npos;
        }));
    }
    static std::string counterOf(Node* layer) {
        auto* text = dynamic_cast<engine::ui::Text*>(support::findByName("Text_Progress", layer));
        return text ? text->getString() : "<no counter>";
    }
    static float barOf(Node* layer) {
        auto* bar = dynamic_cast<engine::ui::LoadingBar*>(support::findByName("LoadingBar", layer));
        return bar ? bar->getPercent() : -1.f;
    }

    support::ScratchDir scratch;
    courseware::CoursewareServer server;
    std::vector<std::string> logLines;

private:
    std::string savedRoot;
    std::vector<std::string> savedSearchPaths;
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
    ASSERT_TRUE(support::stepUntil([&] {
        if (counterOf(layer) != counters.back()) {
            counters.push_back(counterOf(layer));
            // Each file starts from an empty bar.
            EXPECT_TRUE(completions > 0 || barOf(layer) == 0.f) << counters.back();
        }
        return completions > 0;
    }));
    EXPECT_EQ(counters, (std::vector<std::string>{"1/3", "2/3", "3/3", "4/3"}));
    EXPECT_EQ(layer->getParent(), nullptr);
    EXPECT_EQ(logged("onTaskErroronTaskError"), 1);
    EXPECT_TRUE(fs::exists(scratch.file("mp4/SumMovie.mp4")));

    // The arrived zip is extracted beside itself and deleted; the missing one never reaches the extraction queue.
    ASSERT_TRUE(support::stepUntil([&] { return !fs::exists(scratch.file("ui/ui20240901.zip")); }, 60));
    support::stepFrames(30);
    EXPECT_FALSE(fs::is_empty(scratch.file("ui")));
    EXPECT_EQ(logged("start uncompressing"), 1);
    EXPECT_EQ(completions, 1);
    layer->release();
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

    ASSERT_TRUE(support::stepUntil([&] { return secondCompletions == 1; }));
    // The overlay that owned them has gone now, and took its callbacks with it.
    EXPECT_TRUE(DownManager::getInstance()->finishCallback == nullptr);
    EXPECT_TRUE(DownManager::getInstance()->progressCallback == nullptr);

    gate.open();
    ASSERT_TRUE(support::stepUntil([&] { return fs::exists(scratch.file("held.bin")); }));
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
    EXPECT_EQ(barOf(layer), 45.f);
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
