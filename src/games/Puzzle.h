// The puzzle game: a picture of tiles, ten of them darkened; every right answer uncovers the next dark tile.
#pragma once

#include <vector>

#include "games/GameLayer.h"

class Puzzle : public GameLayer {
public:
    ~Puzzle() override;
    void onEnter() override;

    void initPicture();
    void showQuestion();
    void onOperClick(engine::Ref* sender, int optionNumber);
    void onEffectEnd();
    void resumeTimer();

    static GameLayer* frame;

    // "ContImg1", "ContImg2", ...; the tiles are entries 1 to 16.
    std::vector<engine::Node*> contImgs;
    // Entries of contImgs still dark, in the order they are uncovered.
    std::vector<int> hiddenTiles;

private:
    bool pictureReady = false;
};
