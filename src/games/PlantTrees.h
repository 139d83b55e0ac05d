// The tree-planting game: choice pictures as targets; every second right answer waters the tree, which grows a
// stage.
#pragma once

#include "games/GameLayer.h"

namespace engine {
class Sprite;
}

class PlantTrees : public GameLayer {
public:
    ~PlantTrees() override;
    void onEnter() override;

    void showQuestion();
    void onOperClick(engine::Ref* sender, int index);
    void onEffectEnd();
    void onWateringEnd();
    void onGrowEnd();
    void resumeTimer();

    static GameLayer* frame;

    // The growth stage last started: its last frame stays beside the tree until the next stage.
    engine::Sprite* growSprite = nullptr;
};
