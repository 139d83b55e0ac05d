// The balloon game: up to four balloons carry the choices; the right one flies up and bursts.
#pragma once

#include <array>

#include "base/Geometry.h"
#include "games/GameLayer.h"

class BalloonHit : public GameLayer {
public:
    ~BalloonHit() override;
    void onEnter() override;

    void showQuestion();
    void onOperClick(engine::Ref* sender, int index);
    void onBalloonUp(engine::Node* balloon);
    void onEffectEnd();
    void resumeTimer();

    static GameLayer* frame;
    static constexpr int kBalloons = 4;

    // Resting places of balloons 1 to 4; (0, 0) until the first question records them.
    std::array<engine::Vec2, kBalloons> balloonHomes{};
};
