#include "lesson/SFVideoPlayer.h"

#include <algorithm>
#include <new>
#include <vlc/vlc.h>

#include "base/Director.h"
#include "common/UITools.h"
#include "lesson/VideoPlaySprite.h"
#include "render/Renderer.h"
#include "render/TextureCache.h"
#include "scene/Scene.h"
#include "ui/Button.h"
#include "ui/Layout.h"

using namespace engine;

namespace {

constexpr GLubyte kShown = 255;
constexpr GLubyte kHidden = 0;

} // namespace

int SFVideoPlayer::progressPercent(int64_t time, int64_t length) {
    if (time <= 0 || length <= 0) {
        return 0;
    }
    return std::clamp(static_cast<int>(static_cast<double>(time) / static_cast<double>(length) * 100.0), 0, 100);
}

SFVideoPlayer* SFVideoPlayer::create() {
    auto* player = new (std::nothrow) SFVideoPlayer();
    if (player && player->init()) {
        player->autorelease();
        return player;
    }
    delete player;
    return nullptr;
}

SFVideoPlayer::~SFVideoPlayer() = default;

bool SFVideoPlayer::init() {
    return Layer::init();
}

void SFVideoPlayer::onEnter() {
    Layer::onEnter();
    hideCovered();
}

void SFVideoPlayer::onExit() {
    showCovered();
    restoreSetAside();
    Layer::onExit();
}

void SFVideoPlayer::hideCovered() {
    Node* parent = getParent();
    // The backdrop covers the window only when the player stands on a scene.
    if (!hasBackdrop || !dynamic_cast<Scene*>(parent)) {
        return;
    }
    for (Node* sibling : parent->getChildren()) {
        const bool below =
            sibling->getLocalZOrder() < getLocalZOrder() ||
            (sibling->getLocalZOrder() == getLocalZOrder() && sibling->getOrderOfArrival() < getOrderOfArrival());
        if (sibling != this && below && sibling->isVisible()) {
            sibling->setVisible(false);
            covered.pushBack(sibling);
        }
    }
}

void SFVideoPlayer::showCovered() {
    for (Node* sibling : covered) {
        if (sibling->getParent() == getParent()) {
            sibling->setVisible(true);
        }
    }
    covered.clear();
}

void SFVideoPlayer::restoreSetAside() {
    TextureCache* cache = Director::getInstance()->getTextureCache();
    size_t bytes = 0;
    for (const auto& [picture, side] : setAside) {
        // No more than the cache keeps unused; each at most the side it had, so a file grown since stays out.
        bytes += static_cast<size_t>(side) * static_cast<size_t>(side) * 4;
        if (bytes > TextureCache::kKeptUnusedBytes) {
            break;
        }
        cache->addImageAsync(picture, nullptr, side);
    }
    setAside.clear();
}

void SFVideoPlayer::initPlayer(const std::string& path, const std::function<void()>& finished) {
    // The movie needs the memory more than a screen entered again.
    setAside = Director::getInstance()->getTextureCache()->removeUnusedTextures();
    // Black behind the movie, taking the touches that would reach the lesson underneath.
    ui::Layout* backdrop = ui::Layout::create();
    backdrop->setContentSize(Director::getInstance()->getWinSize());
    backdrop->setBackGroundColorType(ui::Layout::BackGroundColorType::SOLID);
    backdrop->setBackGroundColor(Color3B::BLACK);
    backdrop->setTouchEnabled(true);
    addChild(backdrop);
    hasBackdrop = true;
    auto* sprite = new (std::nothrow) VideoPlaySprite();
    if (sprite && sprite->init(path, finished)) {
        sprite->autorelease();
        videoSprite = sprite;
    } else {
        delete sprite;
        videoSprite = nullptr;
    }
    if (videoSprite) {
        Director* director = Director::getInstance();
        videoSprite->setScale(director->getContentScaleFactor());
        const Size winSize = director->getWinSize();
        videoSprite->setPosition(Vec2(winSize.width / 2, winSize.height / 2));
        videoSprite->play();
        addChild(videoSprite);
        // The movie covers the window: what the lesson had prepared for drawing is not needed while it plays.
        director->getRenderer()->dropCopies();
    }
    initUI();
    scheduleUpdate();
}

void SFVideoPlayer::initUI() {
    rootNode = UITools::createCsbNode("VideoPlayer.csb");
    if (!rootNode) {
        return;
    }
    addChild(rootNode);
    uiPanel = dynamic_cast<ui::Layout*>(UITools::seekChildByName(rootNode, "Panel_UI"));
    if (uiPanel) {
        uiPanel->setTouchEnabled(true);
        uiPanel->addClickEventListener([this](Ref* sender) { onPanelTouched(sender); });
    }
    auto bind = [this](void (SFVideoPlayer::*handler)(), const char* name) {
        return dynamic_cast<ui::Button*>(UITools::addClickListener(
            rootNode, [this, handler] { (this->*handler)(); }, false, "BtnClick.mp3", name));
    };
    playButton = bind(&SFVideoPlayer::onPlay, "Btn_Play");
    pauseButton = bind(&SFVideoPlayer::onPause, "Btn_Pause");
    skipButton = bind(&SFVideoPlayer::onSkip, "Btn_Skip");
    replayButton = bind(&SFVideoPlayer::onReplay, "Btn_RePlay");
    progressSlider = dynamic_cast<ui::Slider*>(UITools::seekChildByName(rootNode, "Slider"));
    if (progressSlider) {
        progressSlider->setPercent(0);
        progressSlider->setTouchEnabled(true);
        progressSlider->addEventListener(
            [this](Ref* sender, ui::Slider::EventType type) { onSliderEvent(sender, type); });
    }
}

bool SFVideoPlayer::controlsShown() {
    if (uiPanel && uiPanel->getOpacity() != kShown) {
        uiPanel->setOpacity(kShown);
        return false;
    }
    return true;
}

void SFVideoPlayer::onPanelTouched(Ref*) {
    if (uiPanel) {
        uiPanel->setOpacity(uiPanel->getOpacity() == kShown ? kHidden : kShown);
    }
}

void SFVideoPlayer::onPlay() {
    setPaused(false);
}

// Pauses whatever the state: libvlc's own pause is a toggle, so a second press would resume.
void SFVideoPlayer::onPause() {
    setPaused(true);
}

void SFVideoPlayer::setPaused(bool paused) {
    if (!controlsShown()) {
        return;
    }
    if (pauseButton) {
        pauseButton->setVisible(!paused);
    }
    if (playButton) {
        playButton->setVisible(paused);
    }
    if (videoSprite && videoSprite->getMediaPlayer()) {
        libvlc_media_player_set_pause(videoSprite->getMediaPlayer(), paused ? 1 : 0);
    }
}

void SFVideoPlayer::onSkip() {
    if (!controlsShown()) {
        return;
    }
    if (videoSprite) {
        videoSprite->stop();
    } else {
        removeFromParentAndCleanup(true);
    }
}

void SFVideoPlayer::onReplay() {
    if (!controlsShown()) {
        return;
    }
    if (videoSprite) {
        videoSprite->play();
    }
}

void SFVideoPlayer::onSliderEvent(Ref*, ui::Slider::EventType type) {
    if (type != ui::Slider::EventType::ON_PERCENTAGE_CHANGED || !controlsShown() || !progressSlider) {
        return;
    }
    const float position = std::min(static_cast<float>(progressSlider->getPercent()) / 100.f, 1.f);
    if (videoSprite && videoSprite->getMediaPlayer()) {
        libvlc_media_player_set_position(videoSprite->getMediaPlayer(), position);
    }
}

void SFVideoPlayer::update(float) {
    if (!progressSlider) {
        return;
    }
    int percent = 0;
    if (videoSprite && videoSprite->getMediaPlayer()) {
        libvlc_media_player_t* player = videoSprite->getMediaPlayer();
        const int64_t length = libvlc_media_player_get_length(player);
        percent = progressPercent(libvlc_media_player_get_time(player), length);
        // After a seek close to the end libvlc may end without reporting a later time: a movie that played to its
        // end shows a full bar.
        if (length > 0 && libvlc_media_player_get_state(player) == libvlc_Ended) {
            percent = 100;
        }
    }
    progressSlider->setPercent(percent);
}
