// The lucky wheel game: a wheel turns without end; the pupil stops it with a button, and the quarter of the
// turn where it stops is the answer to the question shown.
#pragma once

#include <array>

#include "base/Geometry.h"
#include "games/GameLayer.h"

namespace engine {
namespace ui {
class Widget;
}
} // namespace engine

class LuckyTurn : public GameLayer {
public:
    ~LuckyTurn() override;
    void onEnter() override;

    void initGame();
    void nextQuestion();
    void onStopWheel();
    void onSpinResult(int quarter);
    void onRightEnd();
    void onWrongEnd();

    // The quarter (1 to 4) of a rotation in degrees, 5 on a boundary or below zero.
    static int quarterOf(float rotation);

    static GameLayer* frame;

    // Home places of "OperImg1" to "OperImg4"; (0, 0) until first recorded.
    std::array<engine::Vec2, 4> operImgHomes{};
    engine::Node* wheel = nullptr;

protected:
    bool answerable(int slot) const override;

private:
    // The wheel's endless turn, alone: one turn added to another would double its speed.
    void spin();
};
