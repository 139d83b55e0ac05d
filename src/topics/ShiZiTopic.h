// Character pages: tapping a character plays its animation and sound, or reveals its answer picture.
#pragma once

#include "topics/TopicTypeLayer.h"

namespace engine::ui {
class Widget;
}

class ShiZiTopic : public TopicTypeLayer {
public:
    static ShiZiTopic* create() { return createLayer<ShiZiTopic>(); }

    bool onTouchBegan(engine::Touch* touch, engine::Event* event) override { return true; }
    void onTouchMoved(engine::Touch* touch, engine::Event* event) override {}
    void onTouchEnded(engine::Touch* touch, engine::Event* event) override {}
    void initData() override { aniPlaying = false; }
    void initRes() override;

    // number is 1-based, index 0-based.
    void onOperClick(engine::ui::Widget* sender, int number);
    void onAniClick(engine::ui::Widget* sender, int index);
    void onAniEnd();

private:
    friend class BaseLayer;
    ShiZiTopic() = default;

    bool aniPlaying = false;
};
