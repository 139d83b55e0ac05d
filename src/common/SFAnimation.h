// The frame-animation player: preloads the pictures of a screen's animations behind a loading layer, plays
// animations described in "Animations.plist", and plays the common right/wrong feedback.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base/Geometry.h"
#include "base/Value.h"
#include "scene/Node.h"

namespace engine {
class Sprite;
namespace ui {
class LoadingBar;
}
} // namespace engine

class AnimationSprite;

class SFAnimation : public engine::Node {
public:
    using Callback = std::function<void()>;

    // Made on first use and never released.
    static SFAnimation* getInstance();

    bool init() override;

    // Loads every frame of the animations of kind ("Login", "Subject", "Game", ...) into the texture cache
    // while the loading layer shows the progress; done runs once when all have arrived (at once when there is
    // nothing to load). A new preload replaces the one still running.
    void preloadAnimations(const std::string& kind, const Callback& done);

    // Plays name on a new sprite at pos, added to posNode's parent at z-order 105, over a full-window mask
    // when withMask. Frames "Begin" to the last one found, or firstFrame to lastFrame (1-based positions in
    // the frame list, clamped to it) when both are non-zero. At the end a still of the last frame (tag 10086)
    // stays unless clearAtEnd, the sprite and its mask go, and onEnd runs. Null when nothing can be played:
    // onEnd then runs on the next frame and nothing is left behind.
    engine::Sprite* playAnimation(engine::Node* posNode, const std::string& name, bool clearAtEnd,
                                  const Callback& onEnd, bool withMask, int firstFrame, int lastFrame,
                                  const engine::Vec2& pos);
    // playAnimation at posNode's own position.
    engine::Sprite* playAnimationAtNode(engine::Node* posNode, const std::string& name, bool clearAtEnd,
                                        const Callback& onEnd, bool withMask, int firstFrame, int lastFrame);
    // "RightCommon" or "WrongCommon" with its sound at the window centre; ignored (done dropped) while one plays.
    void playResultAnimation(bool right, const Callback& done);
    bool isResultBusy() const { return resultBusy; }

    // The "Animations.plist" entry of the name's file name; empty when missing.
    engine::ValueMap getAnimationInfo(const std::string& name) const;
    // "name/base1.png", "name/base2.png", ...: the first "Frames" files that exist, numbers without a file
    // skipped; the search gives up 64 numbers past "Frames".
    std::vector<std::string> getFrameFiles(const std::string& name) const;

    void setAnimationCallback(const std::string& name, const Callback& onEnd);
    Callback getAnimationCallback(const std::string& name) const;

    // The names a preload of kind loads. "Subject" adds the animations of the lecture's topic data, "Game" those
    // of its game; topicPlist and topicAniFolder locate that data.
    std::vector<std::string> getPreloadList(const std::string& kind, const std::string& topicPlist,
                                            const std::string& topicAniFolder) const;

private:
    SFAnimation() = default;

    std::vector<std::string> getFrameFiles(const std::string& name, const engine::ValueMap& info) const;
    void getSubjectAnimations(std::vector<std::string>& names, const std::string& topicPlist,
                              const std::string& topicAniFolder) const;
    void getGameAnimations(std::vector<std::string>& names, const std::string& topicPlist) const;
    void loadAnimationList(const std::vector<std::string>& names);
    void showLoadingLayer();
    void onTextureLoaded(uint64_t generation);
    void finishPreload();

    // Nothing to show: a stand-in that runs onEnd on the next frame and leaves nothing behind.
    AnimationSprite* endLater(engine::Node* parent, const Callback& onEnd);
    AnimationSprite* startAnimation(engine::Node* posNode, const std::string& name, bool clearAtEnd,
                                    const Callback& onEnd, bool withMask, int firstFrame, int lastFrame,
                                    const engine::Vec2& pos, bool& played);
    void onAnimationEnd(AnimationSprite* sprite, bool clearAtEnd, const std::string& name, const Callback& onEnd);
    void onResultEnd(uint64_t token);
    void onResultGone(uint64_t token);

    std::vector<std::pair<std::string, Callback>> animationCallbacks;

    Callback preloadDone;
    int loadedCount = 0;
    int totalFrames = 0;
    // Reports of an earlier preload carry an older generation and are ignored.
    uint64_t preloadGeneration = 0;
    bool preloading = false;
    engine::Node* loadingLayer = nullptr; // retained while shown
    engine::ui::LoadingBar* loadingBar = nullptr;

    Callback resultDone;
    bool resultBusy = false;
    uint64_t resultToken = 0;
};
