#include "common/SFAnimation.h"

#include <algorithm>
#include <new>

#include "base/Director.h"
#include "base/Log.h"
#include "base/Scheduler.h"
#include "base/StringUtils.h"
#include "common/AnimationSprite.h"
#include "common/AudioManager.h"
#include "common/GDataManager.h"
#include "common/PlistManager.h"
#include "common/UITools.h"
#include "common/FileManager.h"
#include "platform/FileUtils.h"
#include "render/TextureCache.h"
#include "scene/Actions.h"
#include "scene/Scene.h"
#include "ui/LoadingBar.h"

using engine::Node;
using engine::ValueMap;

namespace {

SFAnimation* s_instance = nullptr;

constexpr int kOverlayZOrder = 105;
constexpr int kStillImageTag = 10086;
// How far past "Frames" the frame search goes on when numbers are missing.
constexpr int kMissingFrameAllowance = 64;

const engine::Value& entry(const ValueMap& map, const char* key) {
    return engine::valueOrNull(map, key);
}

void appendIfSet(std::vector<std::string>& names, const ValueMap& map, const char* key) {
    std::string name = entry(map, key).asString();
    if (!name.empty()) {
        names.push_back(std::move(name));
    }
}

} // namespace

SFAnimation* SFAnimation::getInstance() {
    if (!s_instance) {
        s_instance = new (std::nothrow) SFAnimation();
        if (s_instance) {
            s_instance->init();
        }
    }
    return s_instance;
}

bool SFAnimation::init() {
    if (!Node::init()) {
        return false;
    }
    loadingLayer = nullptr;
    loadingBar = nullptr;
    resultBusy = false;
    return true;
}

// ---- Descriptions and frame files

ValueMap SFAnimation::getAnimationInfo(const std::string& name) const {
    return PlistManager::getInstance()->getValueMap("Animations.plist", FileManager::getFileName(name));
}

std::vector<std::string> SFAnimation::getFrameFiles(const std::string& name) const {
    return getFrameFiles(name, getAnimationInfo(name));
}

std::vector<std::string> SFAnimation::getFrameFiles(const std::string& name, const ValueMap& info) const {
    std::vector<std::string> files;
    if (info.empty()) {
        return files;
    }
    const int frames = entry(info, "Frames").asInt();
    const std::string base = FileManager::getFileName(name);
    engine::FileUtils* fileUtils = engine::FileUtils::getInstance();
    for (int n = 1; static_cast<int>(files.size()) < frames && n <= frames + kMissingFrameAllowance; ++n) {
        std::string file = engine::StringUtils::format("%s/%s%d.png", name.c_str(), base.c_str(), n);
        if (fileUtils->isFileExist(file)) {
            files.push_back(std::move(file));
        }
    }
    if (static_cast<int>(files.size()) < frames) {
        engine::log("error animation frames: %s %d of %d", name.c_str(), static_cast<int>(files.size()), frames);
    }
    return files;
}

void SFAnimation::setAnimationCallback(const std::string& name, const Callback& onEnd) {
    for (auto& stored : animationCallbacks) {
        if (stored.first == name) {
            stored.second = onEnd;
            return;
        }
    }
    animationCallbacks.emplace_back(name, onEnd);
}

SFAnimation::Callback SFAnimation::getAnimationCallback(const std::string& name) const {
    for (const auto& stored : animationCallbacks) {
        if (stored.first == name) {
            return stored.second;
        }
    }
    return nullptr;
}

// ---- Preload

void SFAnimation::preloadAnimations(const std::string& kind, const Callback& done) {
    preloadDone = done;
    ++preloadGeneration;
    preloading = true;
    showLoadingLayer();
    // Only these kinds read the current lecture's package.
    std::string topicPlist, topicAniFolder;
    if (kind == "Subject" || kind == "Game") {
        topicPlist = FileManager::getInstance()->getTopicPlistPath();
        topicAniFolder = FileManager::getInstance()->getTopicAniPath();
    }
    loadAnimationList(getPreloadList(kind, topicPlist, topicAniFolder));
}

std::vector<std::string> SFAnimation::getPreloadList(const std::string& kind, const std::string& topicPlist,
                                                     const std::string& topicAniFolder) const {
    std::vector<std::string> names;
    if (kind == "Game") {
        getGameAnimations(names, topicPlist);
        return names;
    }
    for (const engine::Value& name : PlistManager::getInstance()->getValueVector("Perload.plist", kind)) {
        names.push_back(name.asString());
    }
    if (kind == "Subject") {
        getSubjectAnimations(names, topicPlist, topicAniFolder);
    }
    return names;
}

void SFAnimation::getSubjectAnimations(std::vector<std::string>& names, const std::string& topicPlist,
                                       const std::string& topicAniFolder) const {
    const ValueMap subject = PlistManager::getInstance()->getValueMap(topicPlist, "Subject");
    for (const char* key : {"1", "2", "3"}) {
        for (const engine::Value& item : entry(subject, key).asValueVector()) {
            const ValueMap& animations = entry(item.asValueMap(), "Animations").asValueMap();
            appendIfSet(names, animations, "Celebrate");
            appendIfSet(names, animations, "Right");
            appendIfSet(names, animations, "Wrong");
            for (const engine::Value& content : entry(animations, "Contents").asValueVector()) {
                names.push_back(topicAniFolder + content.asString());
            }
        }
    }
}

void SFAnimation::getGameAnimations(std::vector<std::string>& names, const std::string& topicPlist) const {
    const ValueMap game = PlistManager::getInstance()->getValueMap(topicPlist, "Game");
    const ValueMap& animations = entry(game, "Animations").asValueMap();
    appendIfSet(names, animations, "Celebrate");
    appendIfSet(names, animations, "Effect");
}

void SFAnimation::loadAnimationList(const std::vector<std::string>& names) {
    std::vector<std::string> files;
    for (const std::string& name : names) {
        if (name.empty()) {
            continue;
        }
        const ValueMap info = getAnimationInfo(name);
        if (info.empty()) {
            engine::log("error animation: %s", name.c_str());
            continue;
        }
        std::vector<std::string> frames = getFrameFiles(name, info);
        files.insert(files.end(), frames.begin(), frames.end());
    }
    // Count what is requested, not "Frames": a short folder must not keep the preload open. The total is known
    // before the first request, so pictures already cached (reported inside the request) cannot end it early.
    loadedCount = 0;
    totalFrames = static_cast<int>(files.size());
    if (totalFrames == 0) {
        finishPreload();
        return;
    }
    engine::TextureCache* cache = engine::Director::getInstance()->getTextureCache();
    const uint64_t generation = preloadGeneration;
    for (const std::string& file : files) {
        cache->addImageAsync(file, [this, generation](engine::Texture2D*) { onTextureLoaded(generation); });
    }
}

void SFAnimation::showLoadingLayer() {
    if (loadingLayer && loadingLayer->getParent()) {
        return;
    }
    if (loadingLayer) {
        loadingLayer->release();
        loadingLayer = nullptr;
        loadingBar = nullptr;
    }
    Node* scene = engine::Director::getInstance()->getRunningScene();
    if (!scene) {
        engine::log("error loading layer: no running scene");
        return;
    }
    loadingLayer = UITools::createCsbNode("LoadingLayer.csb");
    if (!loadingLayer) {
        return;
    }
    loadingLayer->retain();
    scene->addChild(loadingLayer, kOverlayZOrder);
    UITools::showClientBackground(loadingLayer);
    if (Node* background = UITools::seekChildByName(loadingLayer, "Img_LoadingBg")) {
        background->setPositionY(background->getPositionY() - GDataManager::getInstance()->screenOffsetY);
    }
    loadingBar = dynamic_cast<engine::ui::LoadingBar*>(UITools::seekChildByName(loadingLayer, "LoadingBar"));
    if (loadingBar) {
        loadingBar->setPercent(0.f);
    }
}

void SFAnimation::onTextureLoaded(uint64_t generation) {
    if (!preloading || generation != preloadGeneration) {
        return;
    }
    ++loadedCount;
    if (loadingBar) {
        loadingBar->setPercent(std::min(static_cast<float>(loadedCount) / totalFrames * 100.f, 100.f));
    }
    if (loadedCount >= totalFrames) {
        finishPreload();
    }
}

void SFAnimation::finishPreload() {
    preloading = false;
    loadingBar = nullptr;
    if (loadingLayer) {
        loadingLayer->removeFromParentAndCleanup(true);
        loadingLayer->release();
        loadingLayer = nullptr;
    }
    Callback done = std::move(preloadDone);
    preloadDone = nullptr;
    if (done) {
        done();
    }
}

// ---- Play

engine::Sprite* SFAnimation::playAnimation(Node* posNode, const std::string& name, bool clearAtEnd,
                                           const Callback& onEnd, bool withMask, int firstFrame, int lastFrame,
                                           const engine::Vec2& pos) {
    bool played = false;
    AnimationSprite* sprite =
        startAnimation(posNode, name, clearAtEnd, onEnd, withMask, firstFrame, lastFrame, pos, played);
    return played ? sprite : nullptr;
}

engine::Sprite* SFAnimation::playAnimationAtNode(Node* posNode, const std::string& name, bool clearAtEnd,
                                                 const Callback& onEnd, bool withMask, int firstFrame, int lastFrame) {
    const engine::Vec2 pos = posNode ? posNode->getPosition() : engine::Vec2::ZERO;
    return playAnimation(posNode, name, clearAtEnd, onEnd, withMask, firstFrame, lastFrame, pos);
}

AnimationSprite* SFAnimation::startAnimation(Node* posNode, const std::string& name, bool clearAtEnd,
                                             const Callback& onEnd, bool withMask, int firstFrame, int lastFrame,
                                             const engine::Vec2& pos, bool& played) {
    played = false;
    setAnimationCallback(name, onEnd);
    Node* parent = posNode ? posNode->getParent() : nullptr;
    const ValueMap info = getAnimationInfo(name);
    if (info.empty()) {
        engine::log("error animation: %s", name.c_str());
        return endLater(parent, onEnd);
    }
    const std::vector<std::string> files = getFrameFiles(name, info);
    if (files.empty() || !parent) {
        engine::log("error animation play: %s", name.c_str());
        return endLater(parent, onEnd);
    }

    const int count = static_cast<int>(files.size());
    int first = entry(info, "Begin").asInt();
    int last = count;
    if (firstFrame != 0 && lastFrame != 0) {
        first = firstFrame;
        last = lastFrame;
    }
    last = std::clamp(last, 1, count);
    first = std::clamp(first, 1, last);

    engine::Animation* animation = engine::Animation::create();
    for (int i = first; i <= last; ++i) {
        animation->addSpriteFrameWithFile(files[i - 1]);
    }
    animation->setDelayPerUnit(entry(info, "Delay").asFloat());
    animation->setLoops(entry(info, "Loop").asInt());
    animation->setRestoreOriginalFrame(true);

    AnimationSprite* sprite = AnimationSprite::create(files[first - 1]);
    if (!sprite) {
        return endLater(parent, onEnd);
    }
    if (withMask) {
        if (Node* mask = UITools::createCsbNode("Panels.csb")) {
            if (Node* panel = UITools::seekChildByName(mask, "Panel1")) {
                panel->setVisible(true);
            }
            parent->addChild(mask, kOverlayZOrder);
            sprite->setMask(mask);
        }
    }
    sprite->setAnchorPoint(engine::Vec2::ANCHOR_MIDDLE);
    sprite->setScale(engine::Director::getInstance()->getContentScaleFactor());
    sprite->setPosition(pos);
    auto* atEnd = engine::CallFunc::create(
        [this, sprite, clearAtEnd, name, onEnd] { onAnimationEnd(sprite, clearAtEnd, name, onEnd); });
    sprite->runAction(engine::Sequence::create(engine::Animate::create(animation), atEnd, nullptr));
    parent->addChild(sprite, kOverlayZOrder);
    played = true;
    return sprite;
}

AnimationSprite* SFAnimation::endLater(Node* parent, const Callback& onEnd) {
    if (!parent) {
        // Nothing to tie the call to: it runs on the next frame whatever happens.
        engine::Director::getInstance()->getScheduler()->performFunctionInMainThread([onEnd] {
            if (onEnd) {
                onEnd();
            }
        });
        return nullptr;
    }
    // Like a real animation, the call is dropped when the parent goes first.
    AnimationSprite* standIn = AnimationSprite::create("");
    if (!standIn) {
        return nullptr;
    }
    standIn->setVisible(false);
    standIn->runAction(engine::CallFunc::create([this, standIn, onEnd] { onAnimationEnd(standIn, true, "", onEnd); }));
    parent->addChild(standIn);
    return standIn;
}

void SFAnimation::onAnimationEnd(AnimationSprite* sprite, bool clearAtEnd, const std::string& name,
                                 const Callback& onEnd) {
    Node* parent = sprite->getParent();
    if (!clearAtEnd && parent) {
        const ValueMap info = getAnimationInfo(name);
        const std::string base = FileManager::getFileName(name);
        std::string still = engine::StringUtils::format("%s/%s%s.png", name.c_str(), base.c_str(),
                                                        entry(info, "Frames").asString().c_str());
        if (!engine::FileUtils::getInstance()->isFileExist(still)) {
            const std::vector<std::string> files = getFrameFiles(name, info);
            still = files.empty() ? std::string() : files.back();
        }
        if (engine::Sprite* image = still.empty() ? nullptr : engine::Sprite::create(still)) {
            image->setAnchorPoint(engine::Vec2::ANCHOR_MIDDLE);
            image->setScale(engine::Director::getInstance()->getContentScaleFactor());
            image->setPosition(sprite->getPosition());
            image->setTag(kStillImageTag);
            parent->addChild(image);
        }
    }
    sprite->finish();
    sprite->removeFromParentAndCleanup(true);
    if (onEnd) {
        Callback callback = onEnd;
        callback();
    }
}

// ---- Right/wrong feedback

void SFAnimation::playResultAnimation(bool right, const Callback& done) {
    if (resultBusy) {
        return;
    }
    resultBusy = true;
    resultDone = done;
    const uint64_t token = ++resultToken;
    const std::string name = right ? "RightCommon" : "WrongCommon";

    // The centre node only gives the parent and the place; it is not kept.
    Node* centre = UITools::createCenterNode(nullptr);
    const engine::Vec2 pos = centre->getPosition();
    bool played = false;
    AnimationSprite* sprite = startAnimation(
        centre, name, true, [this, token] { onResultEnd(token); }, true, 0, 0, pos, played);
    centre->removeFromParentAndCleanup(true);
    if (sprite) {
        sprite->setOnGone([this, token] { onResultGone(token); });
    }
    AudioManager::getInstance()->playVoice(right ? "RightCommon.mp3" : "WrongCommon.mp3", nullptr, false);
}

void SFAnimation::onResultEnd(uint64_t token) {
    if (token != resultToken || !resultBusy) {
        return;
    }
    resultBusy = false;
    Callback done = std::move(resultDone);
    resultDone = nullptr;
    if (done) {
        done();
    }
}

void SFAnimation::onResultGone(uint64_t token) {
    if (token != resultToken) {
        return;
    }
    resultBusy = false;
    resultDone = nullptr;
}
