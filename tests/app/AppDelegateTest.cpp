// Start-up: window choice, content scale bands, layout offset, search paths, first scene, background.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "app/AppDelegate.h"
#include "base/Director.h"
#include "base/Log.h"
#include "common/GDataManager.h"
#include "net/HttpManager.h"
#include "network/HttpClient.h"
#include "platform/FileUtils.h"
#include "platform/GLView.h"
#include "scene/Actions.h"
#include "scene/Scene.h"
#include "scenes/LoginScene.h"
#include "support/Headless.h"
#include "ui/Text.h"

using namespace engine;

namespace {

const std::vector<std::string> kPackSearchPaths = {"",        "Plist/",      "res/LocalRes/", "Layouts/",
                                                   "Images/", "Animations/", "Sounds/",       "Fonts/"};

// Sets (nullptr: unsets) an environment variable for the test's life and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : _name(name) {
        if (const char* old = std::getenv(name)) {
            _old = old;
        }
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnv() {
        if (_old) {
            setenv(_name, _old->c_str(), 1);
        } else {
            unsetenv(_name);
        }
    }

private:
    const char* _name;
    std::optional<std::string> _old;
};

class Startup : public ::testing::Test {
protected:
    void SetUp() override {
        FileUtils* files = FileUtils::getInstance();
        _savedRoot = files->getDefaultResourceRootPath();
        _savedSearchPaths = files->getSearchPaths();
        // The pack of the build, with a writable "res/" of its own: the first scene writes there when it enters.
        for (const char* folder : {"Plist", "Layouts", "Images", "Animations", "Sounds", "Fonts"}) {
            const std::filesystem::path pack = std::filesystem::path(TEST_PROGRAM_DIR) / folder;
            if (std::filesystem::exists(pack)) {
                std::filesystem::create_directory_symlink(pack, _program.file(folder));
            }
        }
        std::filesystem::create_directories(_program.file("res"));
        files->setDefaultResourceRootPath(_program.path());
        files->setSearchPaths({""});
        Director::getInstance()->reset();
        GDataManager::getInstance()->screenOffsetY = 0.f;
    }

    void TearDown() override {
        Director::getInstance()->reset();
        // The first scene's version request must not answer into a later test.
        network::HttpClient::destroyInstance();
        HttpManager::destroyInstance();
        GDataManager::getInstance()->screenOffsetY = 0.f;
        FileUtils::getInstance()->setDefaultResourceRootPath(_savedRoot);
        FileUtils::getInstance()->setSearchPaths(_savedSearchPaths);
    }

    // Launches with an existing headless view of that frame, as the engine's loop would after creating it.
    static bool launchWithFrame(const Size& frame) {
        Director::getInstance()->setOpenGLView(GLViewImpl::createHeadless(frame));
        AppDelegate app;
        return app.applicationDidFinishLaunching();
    }

    // Makes the scratch folder the program folder, its Configs.plist holding that dict body (nullptr: no file).
    static void useScratchConfig(const support::ScratchDir& scratch, const char* dictBody) {
        if (dictBody) {
            std::filesystem::create_directories(scratch.file("Plist"));
            std::ofstream(scratch.file("Plist/Configs.plist"))
                << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" << dictBody
                << "</dict></plist>\n";
        }
        FileUtils::getInstance()->setDefaultResourceRootPath(scratch.path());
    }

    static void resetBetweenLaunches() {
        Director::getInstance()->reset();
        FileUtils::getInstance()->setSearchPaths({""});
    }

private:
    support::ScratchDir _program;
    std::string _savedRoot;
    std::vector<std::string> _savedSearchPaths;
};

struct FrameCase {
    Size frame;
    float expected;
};

} // namespace

TEST_F(Startup, ContentScaleFollowsTheFrameHeightBand) {
    const std::vector<FrameCase> cases = {
        {Size(1280, 720), 0.8f},  {Size(1024, 768), 0.8f},  {Size(1366, 768), 0.8f},
        {Size(1920, 1080), 1.6f}, {Size(1280, 1024), 1.6f}, {Size(1280, 769), 1.6f},
        {Size(640, 321), 0.8f},   {Size(480, 320), 0.375f}, {Size(320, 200), 0.375f},
    };
    for (const FrameCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.frame.width << "x" << c.frame.height);
        ASSERT_TRUE(launchWithFrame(c.frame));
        EXPECT_FLOAT_EQ(Director::getInstance()->getContentScaleFactor(), c.expected);
        resetBetweenLaunches();
    }
}

TEST_F(Startup, LayoutOffsetIsHalfTheHeightBeyondTheDesign) {
    const std::vector<FrameCase> cases = {
        {Size(1280, 720), 0.f},    {Size(1920, 1080), 0.f},   {Size(1024, 768), 120.f},
        {Size(1280, 1024), 152.f}, {Size(2560, 1080), -90.f},
    };
    for (const FrameCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.frame.width << "x" << c.frame.height);
        GDataManager::getInstance()->screenOffsetY = 999.f;
        ASSERT_TRUE(launchWithFrame(c.frame));
        EXPECT_FLOAT_EQ(GDataManager::getInstance()->screenOffsetY, c.expected);
        EXPECT_FLOAT_EQ(Director::getInstance()->getWinSize().width, 1280.f);
        EXPECT_FLOAT_EQ(Director::getInstance()->getWinSize().height, 720.f + 2 * c.expected);
        resetBetweenLaunches();
    }
}

TEST_F(Startup, KeepsAnExistingViewAndUsesFixedWidth) {
    GLView* view = GLViewImpl::createHeadless(Size(1024, 768));
    Director::getInstance()->setOpenGLView(view);
    AppDelegate app;
    ASSERT_TRUE(app.applicationDidFinishLaunching());
    EXPECT_EQ(Director::getInstance()->getOpenGLView(), view);
    EXPECT_EQ(view->getResolutionPolicy(), ResolutionPolicy::FIXED_WIDTH);
    EXPECT_FLOAT_EQ(view->getDesignResolutionSize().width, 1280.f);
    EXPECT_FLOAT_EQ(view->getDesignResolutionSize().height, 720.f);
    EXPECT_DOUBLE_EQ(Director::getInstance()->getAnimationInterval(), 1.0 / 60);
}

TEST_F(Startup, SearchPathsOfThePackAreAppendedInOrder) {
    ASSERT_TRUE(launchWithFrame(Size(1280, 720)));
    EXPECT_EQ(FileUtils::getInstance()->getSearchPaths(), kPackSearchPaths);
    // The names the program uses without a folder are found through them.
    EXPECT_TRUE(FileUtils::getInstance()->isFileExist("Configs.plist"));
    EXPECT_TRUE(FileUtils::getInstance()->isFileExist("Tips.csb"));
    EXPECT_TRUE(FileUtils::getInstance()->isFileExist("BtnClick.mp3"));
}

TEST_F(Startup, SearchPathsGoBehindTheOnesAlreadySet) {
    support::ScratchDir scratch;
    useScratchConfig(scratch, "<key>WindowType</key><string>FrameWindow</string><key>SearchPaths</key>"
                              "<array><string>A/</string><string>B</string><string>C/</string></array>");
    FileUtils::getInstance()->setSearchPaths({"", "Z/"});
    ASSERT_TRUE(launchWithFrame(Size(1280, 720)));
    EXPECT_EQ(FileUtils::getInstance()->getSearchPaths(), (std::vector<std::string>{"", "Z/", "A/", "B/", "C/"}));
}

TEST_F(Startup, NoSearchPathsLeavesTheListAlone) {
    support::ScratchDir scratch;
    useScratchConfig(scratch, "<key>WindowType</key><string>FrameWindow</string><key>SearchPaths</key><array/>");
    ASSERT_TRUE(launchWithFrame(Size(1280, 720)));
    EXPECT_EQ(FileUtils::getInstance()->getSearchPaths(), std::vector<std::string>{""});
    resetBetweenLaunches();

    useScratchConfig(scratch, "<key>WindowType</key><string>FrameWindow</string>");
    ASSERT_TRUE(launchWithFrame(Size(1280, 720)));
    EXPECT_EQ(FileUtils::getInstance()->getSearchPaths(), std::vector<std::string>{""});
}

TEST_F(Startup, FrameWindowOpensTheFixedWindow) {
    ScopedEnv headless("ENGINE_HEADLESS", "1");
    ScopedEnv fullScreen("ENGINE_FRAME_SIZE", "1024x768");
    support::ScratchDir scratch;
    useScratchConfig(scratch, "<key>WindowType</key><string>FrameWindow</string>");
    AppDelegate app;
    ASSERT_TRUE(app.applicationDidFinishLaunching());
    GLView* view = Director::getInstance()->getOpenGLView();
    ASSERT_NE(view, nullptr);
    EXPECT_FLOAT_EQ(view->getFrameSize().width, 1280.f);
    EXPECT_FLOAT_EQ(view->getFrameSize().height, 720.f);
    EXPECT_FLOAT_EQ(Director::getInstance()->getContentScaleFactor(), 0.8f);
}

TEST_F(Startup, AnyOtherWindowTypeOpensFullScreen) {
    ScopedEnv headless("ENGINE_HEADLESS", "1");
    ScopedEnv fullScreen("ENGINE_FRAME_SIZE", "1024x768");
    const std::vector<const char*> configs = {
        "<key>WindowType</key><string>framewindow</string>",
        "<key>WindowType</key><string>FrameWindow </string>",
        "<key>WindowType</key><string>FullScreen</string>",
        "<key>ClientId</key><string>9</string>",
        nullptr,
    };
    for (const char* config : configs) {
        SCOPED_TRACE(config ? config : "no Configs.plist");
        support::ScratchDir scratch;
        useScratchConfig(scratch, config);
        AppDelegate app;
        ASSERT_TRUE(app.applicationDidFinishLaunching());
        GLView* view = Director::getInstance()->getOpenGLView();
        ASSERT_NE(view, nullptr);
        EXPECT_FLOAT_EQ(view->getFrameSize().width, 1024.f);
        EXPECT_FLOAT_EQ(view->getFrameSize().height, 768.f);
        EXPECT_FLOAT_EQ(GDataManager::getInstance()->screenOffsetY, 120.f);
        resetBetweenLaunches();
    }
}

TEST_F(Startup, WithoutADisplayItSaysThatItDrawsOffScreen) {
    std::vector<std::string> lines;
    setLogSink([&](const std::string& line) { lines.push_back(line); });
    const auto offScreenLines = [&] {
        return std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
            return line.find("drawing off-screen") != std::string::npos;
        });
    };
    {
        ScopedEnv headless("ENGINE_HEADLESS", nullptr);
        ScopedEnv driver("SDL_VIDEODRIVER", nullptr);
        ScopedEnv x11("DISPLAY", nullptr);
        ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
        GLViewImpl* view = GLViewImpl::createWithRect("classroom", Rect(0, 0, 640, 360));
        ASSERT_NE(view, nullptr);
        EXPECT_FLOAT_EQ(view->getFrameSize().width, 640.f);
        EXPECT_EQ(offScreenLines(), 1);
    }
    // Asked for on purpose: nothing to explain.
    ScopedEnv headless("ENGINE_HEADLESS", "1");
    ASSERT_NE(GLViewImpl::createWithRect("classroom", Rect(0, 0, 640, 360)), nullptr);
    EXPECT_EQ(offScreenLines(), 1);
    setLogSink(nullptr);
}

TEST_F(Startup, RunsTheLoginSceneWithTheVersion) {
    ASSERT_TRUE(launchWithFrame(Size(1280, 720)));
    EXPECT_EQ(Director::getInstance()->getRunningScene(), nullptr);
    support::stepFrames(1);
    auto* scene = dynamic_cast<LoginScene*>(Director::getInstance()->getRunningScene());
    ASSERT_NE(scene, nullptr);
    auto* version = dynamic_cast<ui::Text*>(support::findByName("Text_Version", scene));
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->getString(), "Version:1.0.0(1)");
}

TEST_F(Startup, BackgroundStopsAndForegroundRestartsTheFrameStep) {
    Director::getInstance()->setOpenGLView(GLViewImpl::createHeadless(Size(1280, 720)));
    AppDelegate app;
    ASSERT_TRUE(app.applicationDidFinishLaunching());
    support::stepFrames(1);
    Node* mover = Node::create();
    Director::getInstance()->getRunningScene()->addChild(mover);
    mover->runAction(MoveBy::create(1.f, Vec2(100, 0)));

    app.applicationDidEnterBackground();
    EXPECT_TRUE(Director::getInstance()->isAnimationStopped());
    support::stepFrames(30);
    EXPECT_FLOAT_EQ(mover->getPositionX(), 0.f);

    app.applicationWillEnterForeground();
    EXPECT_FALSE(Director::getInstance()->isAnimationStopped());
    support::stepFrames(30);
    EXPECT_GT(mover->getPositionX(), 0.f);
}
