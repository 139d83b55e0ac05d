// The full-screen video player: a movie sprite in the middle of the window under a panel of controls (play,
// pause, skip, replay, progress). A tap on the panel hides or shows the controls; a control touched while they
// are hidden only shows them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base/Vector.h"
#include "scene/Layer.h"
#include "ui/Slider.h"

class VideoPlaySprite;

namespace engine::ui {
class Button;
class Layout;
} // namespace engine::ui

class SFVideoPlayer : public engine::Layer {
public:
    static SFVideoPlayer* create();
    ~SFVideoPlayer() override;
    void update(float dt) override;
    bool init() override;
    void onEnter() override;
    void onExit() override;

    // Builds the sprite and the controls and starts the movie; the callback runs when the movie ends. The pictures
    // no screen holds leave the cache while the movie plays and are decoded again, on the worker, when it goes.
    void initPlayer(const std::string& path, const std::function<void()>& finished);
    void initUI();

    void onPlay();
    void onPause();
    void onSkip();
    void onReplay();
    void onPanelTouched(engine::Ref* sender);
    void onSliderEvent(engine::Ref* sender, engine::ui::Slider::EventType type);

    // Percent played for libvlc's time and length (ms), 0 while either is unknown.
    static int progressPercent(int64_t time, int64_t length);
    // Null when the movie sprite could not be made.
    VideoPlaySprite* getVideoSprite() const { return videoSprite; }

private:
    SFVideoPlayer() = default;
    // False, after showing the controls, when they were hidden.
    bool controlsShown();
    // Play and pause: the buttons show the other action; hidden controls are only shown.
    void setPaused(bool paused);
    // The opaque backdrop covers the window: what lies under the player is hidden while it is open, so it is
    // neither drawn nor prepared for drawing, and shown again when the player goes.
    void hideCovered();
    void showCovered();

    VideoPlaySprite* videoSprite = nullptr;
    engine::Node* rootNode = nullptr;
    engine::ui::Button* playButton = nullptr;
    engine::ui::Button* pauseButton = nullptr;
    engine::ui::Button* skipButton = nullptr;
    engine::ui::Button* replayButton = nullptr;
    engine::ui::Slider* progressSlider = nullptr;
    engine::ui::Layout* uiPanel = nullptr;
    bool hasBackdrop = false;
    // Asks the pictures set aside for the movie back on the texture cache's worker.
    void restoreSetAside();

    // Paths and longer sides of the pictures dropped when the movie opened.
    std::vector<std::pair<std::string, int>> setAside;
    // Siblings hidden by hideCovered, retained until they are shown again.
    engine::Vector<engine::Node*> covered;
};
