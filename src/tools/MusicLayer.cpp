#include "tools/MusicLayer.h"

#include "audio/AudioEngine.h"
#include "base/Director.h"
#include "base/Log.h"
#include "common/AudioManager.h"
#include "common/GDataManager.h"
#include "common/UITools.h"
#include "ui/Slider.h"

namespace {

using engine::AudioEngine;

void setBright(engine::ui::Widget* button, float volume) {
    if (button) {
        button->setBright(volume != 0.f);
    }
}

void setPercent(engine::ui::Slider* slider, float volume) {
    if (slider) {
        slider->setPercent(static_cast<int>(volume * 100));
    }
}

// The playing sound takes the new volume at once; nothing else happens while none plays.
void applyVolume(int audioId, float volume) {
    if (audioId > AudioEngine::INVALID_AUDIO_ID) {
        AudioEngine::setVolume(audioId, volume);
    }
}

} // namespace

MusicLayer::~MusicLayer() = default;

void MusicLayer::initData() {
    closeCallback = nullptr;
}

void MusicLayer::initRes() {
    root = UITools::createCsbNode("MusicLayer.csb");
    if (!root) {
        return;
    }
    addChild(root);
    UITools::addClickListener(
        root, [this] { runCallbackAndClose(); }, false, "BtnClick.mp3", "Btn_Close");
    effectButton = UITools::addClickListener(
        root, [this] { onEffectClicked(); }, false, "BtnClick.mp3", "Btn_Effect");
    bgButton = UITools::addClickListener(
        root, [this] { onBgClicked(); }, false, "BtnClick.mp3", "Btn_Bg");
    const GDataManager* data = GDataManager::getInstance();
    setBright(effectButton, data->voiceVolume);
    setBright(bgButton, data->musicVolume);
    effectSlider = dynamic_cast<engine::ui::Slider*>(UITools::seekChildByName(root, "Slider_Effect"));
    bgSlider = dynamic_cast<engine::ui::Slider*>(UITools::seekChildByName(root, "Slider_Bg"));
    const float scale = engine::Director::getInstance()->getContentScaleFactor();
    for (engine::ui::Slider* slider : {effectSlider, bgSlider}) {
        if (slider) {
            if (engine::Node* ball = slider->getSlidBallRenderer()) {
                ball->setScale(scale);
            }
            slider->addEventListener(
                [this](engine::Ref* sender, engine::ui::Slider::EventType) { onSliderEvent(sender); });
        }
    }
    setPercent(effectSlider, data->voiceVolume);
    setPercent(bgSlider, data->musicVolume);
}

void MusicLayer::runCallbackAndClose() {
    retain();
    if (closeCallback) {
        closeCallback();
    }
    removeFromParentAndCleanup(true);
    release();
}

void MusicLayer::onEffectClicked() {
    float& volume = GDataManager::getInstance()->voiceVolume;
    volume = volume == 0.f ? 1.f : 0.f;
    setBright(effectButton, volume);
    setPercent(effectSlider, volume);
    applyVolume(AudioManager::getInstance()->voiceId, volume);
}

void MusicLayer::onBgClicked() {
    float& volume = GDataManager::getInstance()->musicVolume;
    volume = volume == 0.f ? 1.f : 0.f;
    setBright(bgButton, volume);
    setPercent(bgSlider, volume);
    applyVolume(AudioManager::getInstance()->backgroundMusicId, volume);
}

void MusicLayer::onSliderEvent(engine::Ref* sender) {
    auto* slider = dynamic_cast<engine::ui::Slider*>(sender);
    if (!slider) {
        return;
    }
    const int percent = slider->getPercent();
    engine::log("percent: %d", percent);
    const float volume = static_cast<float>(percent / 100.0);
    GDataManager* data = GDataManager::getInstance();
    if (slider == effectSlider) {
        data->voiceVolume = volume;
        setBright(effectButton, volume);
        applyVolume(AudioManager::getInstance()->voiceId, volume);
    } else if (slider == bgSlider) {
        data->musicVolume = volume;
        setBright(bgButton, volume);
        applyVolume(AudioManager::getInstance()->backgroundMusicId, volume);
    }
}
