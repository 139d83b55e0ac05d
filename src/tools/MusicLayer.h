// The music settings: the voice and the background music volumes, each with a mute button and a slider.
#pragma once

#include <functional>

#include "common/BaseLayer.h"

namespace engine::ui {
class Slider;
class Widget;
} // namespace engine::ui

class MusicLayer : public BaseLayer {
public:
    static MusicLayer* create() { return createLayer<MusicLayer>(); }
    MusicLayer() = default;
    ~MusicLayer() override;
    void initData() override;
    void initRes() override;
    void screenAdaptation() override {}

    void runCallbackAndClose();
    void onEffectClicked();
    void onBgClicked();
    void onSliderEvent(engine::Ref* sender);

    // Runs before the dialog removes itself; set by the opener after create.
    std::function<void()> closeCallback;

private:
    engine::Node* root = nullptr;
    engine::ui::Widget* effectButton = nullptr;
    engine::ui::Widget* bgButton = nullptr;
    engine::ui::Slider* effectSlider = nullptr;
    engine::ui::Slider* bgSlider = nullptr;
};
