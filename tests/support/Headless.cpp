#include "support/Headless.h"

#include <chrono>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <vector>

#include "base/Director.h"
#include "base/Scheduler.h"
#include "platform/GLView.h"
#include "render/Capture.h"
#include "render/Renderer.h"
#include "scene/Node.h"
#include "scene/Scene.h"
#include "scenes/SceneRoutes.h"
#include "support/ProgramState.h"
#include "ui/Text.h"

using namespace engine;

namespace support {

void startHeadless(const Size& frame, float contentScale) {
    Director* director = Director::getInstance();
    director->reset();
    GLViewImpl* view = GLViewImpl::createHeadless(frame);
    ASSERT_NE(view, nullptr);
    director->setOpenGLView(view);
    view->setDesignResolutionSize(1280, 720, ResolutionPolicy::FIXED_WIDTH);
    director->setContentScaleFactor(contentScale);
    installSceneRoutes();
}

namespace {
std::function<std::string()> s_waitWatch;
} // namespace

void stopHeadless() {
    s_waitWatch = nullptr;
    Director::getInstance()->reset();
    resetProgramState();
}

void stepFrames(int frames, float dt) {
    for (int i = 0; i < frames; ++i) {
        Director::getInstance()->mainLoop(dt);
    }
}

bool stepUntil(const std::function<bool()>& condition, int maxFrames, float dt) {
    for (int i = 0; i < maxFrames; ++i) {
        if (condition()) {
            return true;
        }
        Director::getInstance()->mainLoop(dt);
    }
    return condition();
}

void setWaitWatch(std::function<std::string()> watch) { s_waitWatch = std::move(watch); }

std::string FailureEvents::next(const std::vector<std::string>& logLines) {
    for (; !refusalExpected && linesRead < logLines.size(); ++linesRead) {
        if (logLines[linesRead].find("refused") != std::string::npos) {
            return "a refusal the test did not expect: \"" + logLines[linesRead] + "\"";
        }
    }
    if (!findByName("Content")) {
        return "";
    }
    const std::string tip = tipText();
    for (const std::string& expected : expectedTips) {
        if (tip.find(expected) != std::string::npos) {
            return "";
        }
    }
    return "a tip the test did not expect: \"" + tip + "\"";
}

std::string tipText() {
    auto* content = dynamic_cast<ui::Text*>(findByName("Content"));
    return content ? content->getString() : "";
}

bool waitFor(const std::function<bool()>& condition, double guardSeconds, float dt) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(guardSeconds);
    while (!condition()) {
        if (const std::string event = s_waitWatch ? s_waitWatch() : std::string(); !event.empty()) {
            ADD_FAILURE() << "the wait ended on " << event;
            return false;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        Director::getInstance()->mainLoop(dt);
    }
    return true;
}

void runScene(Scene* scene) {
    Director* director = Director::getInstance();
    if (director->getRunningScene()) {
        director->replaceScene(scene);
    } else {
        director->runWithScene(scene);
    }
    stepUntil([&] { return director->getRunningScene() == scene; }, 5);
}

Node* findByName(const std::string& name, Node* root) {
    if (!root) {
        root = Director::getInstance()->getRunningScene();
    }
    if (!root) {
        return nullptr;
    }
    std::deque<Node*> queue{root};
    while (!queue.empty()) {
        Node* node = queue.front();
        queue.pop_front();
        if (node->getName() == name) {
            return node;
        }
        for (Node* child : node->getChildren()) {
            queue.push_back(child);
        }
    }
    return nullptr;
}

Vec2 worldCenter(const Node* node) {
    const Size size = node->getContentSize();
    return node->convertToWorldSpace(Vec2(size.width / 2, size.height / 2));
}

void tapAt(const Vec2& point) {
    GLView* view = Director::getInstance()->getOpenGLView();
    view->injectTouch(TouchPhase::BEGAN, point);
    view->injectTouch(TouchPhase::ENDED, point);
}

void click(const Node* node) {
    tapAt(worldCenter(node));
}

bool click(const std::string& name, Node* root) {
    Node* node = findByName(name, root);
    if (!node) {
        ADD_FAILURE() << "no node named " << name;
        return false;
    }
    click(node);
    return true;
}

void drag(const Vec2& from, const Vec2& to, int steps) {
    GLView* view = Director::getInstance()->getOpenGLView();
    view->injectTouch(TouchPhase::BEGAN, from);
    for (int i = 1; i <= steps; ++i) {
        view->injectTouch(TouchPhase::MOVED, from + (to - from) * (static_cast<float>(i) / steps));
    }
    view->injectTouch(TouchPhase::ENDED, to);
}

std::string saveScreenshot(const std::string& name) {
    std::filesystem::create_directories(TEST_SCREENSHOT_DIR);
    const std::string path = std::string(TEST_SCREENSHOT_DIR) + "/" + name + ".png";
    bool done = false, saved = false;
    utils::captureScreen(
        [&](bool ok, const std::string&) {
            done = true;
            saved = ok;
        },
        path);
    stepUntil([&] { return done; }, 3);
    return saved ? path : std::string();
}

Color4B readPixel(int x, int y) {
    std::vector<uint8_t> rgba;
    int w = 0, h = 0;
    Renderer* renderer = Director::getInstance()->getRenderer();
    if (!renderer || !renderer->readPixels(rgba, w, h) || x < 0 || y < 0 || x >= w || y >= h) {
        return Color4B(0, 0, 0, 0);
    }
    const size_t i = (static_cast<size_t>(y) * w + x) * 4;
    return Color4B(rgba[i], rgba[i + 1], rgba[i + 2], rgba[i + 3]);
}

ScratchDir::ScratchDir() {
    char pattern[] = "/tmp/classroom-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    _path = made ? made : "/tmp/classroom-test";
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(_path, ec);
}

} // namespace support
