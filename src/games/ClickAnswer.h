// The click-the-answer game: a question as text or picture, option pictures; the pupil clicks the right one.
#pragma once

#include "games/GameLayer.h"

class ClickAnswer : public GameLayer {
public:
    ~ClickAnswer() override;
    void onEnter() override;

    void showQuestion();
    void onOperClick(engine::Ref* sender, int index);
    void onEffectEnd();
    void resumeTimer();

    static GameLayer* frame;
};
