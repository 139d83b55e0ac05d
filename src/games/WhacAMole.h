// The whack-a-mole game: moles with the answer pictures pop up from random holes; the pupil hits the right one.
#pragma once

#include <vector>

#include "base/Geometry.h"
#include "games/GameLayer.h"

class WhacAMole : public GameLayer {
public:
    ~WhacAMole() override;
    void onEnter() override;

    void showQuestion();
    void onOperClick(engine::Ref* sender, int index);
    void onEffectEnd();
    void resumeTimer();

    static GameLayer* frame;

    std::vector<int> moleHoles;
    std::vector<engine::Vec2> moleHomes;
protected:
    bool answerable(int slot) const override;
};
