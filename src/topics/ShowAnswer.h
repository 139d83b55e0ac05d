// Tap-to-reveal pages (codes 201-213): a right picture reveals an answer picture and, by code, plays an animation,
// a sound or ends on a final picture.
#pragma once

#include <vector>

#include "topics/TopicTypeLayer.h"

namespace engine::ui {
class Widget;
}

class ShowAnswer : public TopicTypeLayer {
public:
    static ShowAnswer* create() { return createLayer<ShowAnswer>(); }

    void initData() override {}
    void initRes() override;

    // number: the picture's 1-based place among the visible "OperImg" pictures.
    void onOperClick(engine::ui::Widget* picture, int number);
    void revealAnswer(engine::ui::Widget* picture, int number);
    void playAnswerAnimation(engine::ui::Widget* picture);
    void onFeedbackEnd(bool right, bool celebrate);

private:
    friend class BaseLayer;
    ShowAnswer() = default;

    // Right pictures that have already counted a step.
    std::vector<engine::ui::Widget*> counted;
};
