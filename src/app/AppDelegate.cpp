#include "app/AppDelegate.h"

#include <algorithm>

#include "base/Director.h"
#include "base/Log.h"
#include "common/GDataManager.h"
#include "common/PlistManager.h"
#include "platform/FileUtils.h"
#include "platform/GLView.h"
#include "scenes/LoginScene.h"
#include "scenes/SceneRoutes.h"

using namespace engine;

namespace {

// Read before any search path exists, hence the folder in the name.
const char* const kConfigFile = "Plist/Configs.plist";

const Size designResolutionSize(1280, 720);
const Size smallResolutionSize(480, 320);
const Size mediumResolutionSize(1024, 768);
const Size largeResolutionSize(2048, 1536);

float bandScale(const Size& band) {
    return std::min(band.width / designResolutionSize.width, band.height / designResolutionSize.height);
}

} // namespace

AppDelegate::~AppDelegate() = default;

void AppDelegate::initGLContextAttrs() {
    GLContextAttrs attrs;
    attrs.red = 8;
    attrs.green = 8;
    attrs.blue = 8;
    attrs.alpha = 8;
    attrs.depth = 24;
    attrs.stencil = 8;
    attrs.multisamplingCount = 0;
    GLView::setGLContextAttrs(attrs);
}

bool AppDelegate::applicationDidFinishLaunching() {
    installSceneRoutes();
    Director* director = Director::getInstance();
    GLView* view = director->getOpenGLView();
    if (!view) {
        const std::string windowType = PlistManager::getInstance()->getString(kConfigFile, "WindowType");
        if (windowType == "FrameWindow") {
            view = GLViewImpl::createWithRect("", Rect(0, 0, 1280, 720), 1.0f, false);
        } else {
            view = GLViewImpl::createWithFullScreen("");
        }
        director->setOpenGLView(view);
    }
    if (!view) {
        log("AppDelegate: no view could be made");
        return false;
    }

    director->setDisplayStats(false);
    director->setAnimationInterval(1.0 / 60);
    view->setDesignResolutionSize(designResolutionSize.width, designResolutionSize.height,
                                  ResolutionPolicy::FIXED_WIDTH);

    // Only the frame height picks the band, each test strictly greater.
    const float frameHeight = view->getFrameSize().height;
    if (frameHeight > mediumResolutionSize.height) {
        director->setContentScaleFactor(bandScale(largeResolutionSize));
    } else if (frameHeight > smallResolutionSize.height) {
        director->setContentScaleFactor(bandScale(mediumResolutionSize));
    } else {
        director->setContentScaleFactor(bandScale(smallResolutionSize));
    }

    GDataManager::getInstance()->screenOffsetY =
        (director->getVisibleSize().height - designResolutionSize.height) * 0.5f;

    const ValueVector searchPaths = PlistManager::getInstance()->getValueVector(kConfigFile, "SearchPaths");
    for (const Value& path : searchPaths) {
        FileUtils::getInstance()->addSearchPath(path.asString(), false);
    }

    director->runWithScene(LoginScene::create());
    return true;
}

void AppDelegate::applicationDidEnterBackground() {
    Director::getInstance()->stopAnimation();
}

void AppDelegate::applicationWillEnterForeground() {
    Director::getInstance()->startAnimation();
}
