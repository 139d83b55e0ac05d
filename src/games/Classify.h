// The sorting game: a carrier brings one item at a time to a waiting point; the pupil clicks the class it belongs
// to, and on a right choice the carrier takes it over that target and drops it in.
#pragma once

#include "base/Geometry.h"
#include "games/GameLayer.h"

namespace engine {
class MoveTo;
}

class Classify : public GameLayer {
public:
    ~Classify() override;
    void onEnter() override;

    void showQuestion();
    engine::MoveTo* createMoveToPos();
    void onOperClick(engine::Ref* sender, int index);
    void onCarried(engine::Node* target);
    void onEffectEnd(engine::Node* target);
    void onDropped(engine::Node* target);
    void resumeTimer();

    static GameLayer* frame;

    // First places of "AniImg1" and "QImg"; zero until recorded.
    engine::Vec2 carrierHome;
    engine::Vec2 itemHome;
protected:
    bool answerable(int slot) const override;
};
