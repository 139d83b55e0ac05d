// The board game: each right answer walks the piece one picture cell further along the board.
#pragma once

#include "base/Geometry.h"
#include "games/GameLayer.h"

class AutoChess : public GameLayer {
public:
    ~AutoChess() override;
    void onEnter() override;

    void showQuestion();
    void resetBoard();
    void onOperClick(engine::Ref* sender, int index);
    void onEffectEnd();
    void movePiece(int cell);
    void resumeTimer();

    static GameLayer* frame;

    // Where the next walk starts; zero until the first walk.
    engine::Vec2 pieceHome;
    // The sprite of the last walk; null before the first.
    engine::Node* moveSprite = nullptr;
};
