// The cannon game: choice pictures as targets; a hit on the right one fires the cannon's shot for that choice.
#pragma once

#include "games/GameLayer.h"

class BigGun : public GameLayer {
public:
    ~BigGun() override;
    void onEnter() override;

    void initUI();
    void showQuestion();
    void onOperClick(engine::Ref* sender, int index);
    void onEffectEnd();
    void resumeTimer();

    static GameLayer* frame;

    // "ContImg1": the cannon at rest, hidden while it fires.
    engine::Node* restFigure = nullptr;
};
