// The dragon game: the pupil clicks the right target; the dragon at rest makes way for the animation of the
// chosen target, or for its own failure animation and sound on a wrong click.
#pragma once

#include "games/GameLayer.h"

class Dragon : public GameLayer {
public:
    ~Dragon() override;
    void onEnter() override;

    void initUI();
    void showQuestion();
    void onOperClick(engine::Ref* sender, int index);
    void onEffectEnd();
    void resumeTimer();

    static GameLayer* frame;

    engine::Node* restFigure = nullptr;
};
