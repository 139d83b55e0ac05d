// The pair game: all pieces pop in at shuffled places; the pupil clicks two pieces, and two that belong together
// (equal tags) fly to each other and vanish.
#pragma once

#include <vector>

#include "base/Geometry.h"
#include "games/GameLayer.h"

namespace engine {
class Action;
class Texture2D;
} // namespace engine

class Supperzzle : public GameLayer {
public:
    ~Supperzzle() override;
    void onEnter() override;

    void initLayout();
    void onTextureLoaded(engine::Texture2D* texture);
    void scatterPieces();
    engine::Action* createPopAction();
    void popNext(float dt);
    void onPieceClick(engine::Ref* sender, int index);
    void movePairTogether();
    void onPairMatched(const engine::Vec2& meetingPoint);

    static GameLayer* frame;

    std::vector<engine::ui::Widget*> pieces;
    int popIndex = 0;
    std::vector<engine::ui::Widget*> selectedPieces;
    int loadedCount = 0;

protected:
    bool answerable(int slot) const override;

private:
    // Pieces shuffled and popping in, one every 0.08 s.
    void startPopIn();
    // The frame's StartBtn and ResetBtn shown: the game can start.
    void showReady();
};
