// Tap-to-play pages (codes 101-103): 101 plays each tapped picture's animation and sound; 102 and 103 take the one
// picture that answers, which reveals the answer picture and moves on to the next content voice.
#pragma once

#include "topics/TopicTypeLayer.h"

namespace engine::ui {
class Widget;
}

class ClickPlay : public TopicTypeLayer {
public:
    static ClickPlay* create() { return createLayer<ClickPlay>(); }

    void initData() override { busy = false; }
    void initRes() override;

    // Code 101; index is the picture's 0-based place among the visible "AniImg" pictures.
    void onAniClick(engine::ui::Widget* sender, int index);
    // Codes 102 and 103; number is the picture's 1-based place among the visible "OperImg" pictures.
    void onOperClick(engine::ui::Widget* sender, int number);
    // End of a tap's animation: one step done, taps taken again.
    void onAniEnd();

    bool isBusy() const { return busy; }

private:
    friend class BaseLayer;
    ClickPlay() = default;

    // True when a host can start the wrong feedback now, so that its end will come.
    bool feedbackFree() const;

    bool busy = false;
};
