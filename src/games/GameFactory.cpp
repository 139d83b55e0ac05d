// The game factory: the tens digit of the game model chooses the game class.
#include "base/Log.h"
#include "games/AutoChess.h"
#include "games/BalloonHit.h"
#include "games/BigGun.h"
#include "games/Classify.h"
#include "games/ClickAnswer.h"
#include "games/Dragon.h"
#include "games/GameLayer.h"
#include "games/GameManager.h"
#include "games/LuckyTurn.h"
#include "games/PlantTrees.h"
#include "games/Puzzle.h"
#include "games/Supperzzle.h"
#include "games/WhacAMole.h"
#include "ui/Widget.h"

namespace {

template <class Game> GameLayer* makeGame(GameLayer* frame) {
    Game::frame = frame;
    auto* game = new Game();
    if (!game->init()) {
        delete game;
        return nullptr;
    }
    game->autorelease();
    return game;
}

} // namespace

void GameLayer::createGame() {
    const int classNumber = GameManager::getInstance()->getGameModel() / 10;
    game = nullptr;
    switch (classNumber) {
    case 1:
        game = makeGame<Supperzzle>(this);
        break;
    case 2:
        game = makeGame<Classify>(this);
        break;
    case 3:
        game = makeGame<WhacAMole>(this);
        break;
    case 4:
        game = makeGame<ClickAnswer>(this);
        break;
    case 5:
        game = makeGame<BalloonHit>(this);
        break;
    case 7:
        game = makeGame<AutoChess>(this);
        break;
    case 9:
        game = makeGame<BigGun>(this);
        break;
    case 10:
        game = makeGame<PlantTrees>(this);
        break;
    // Puzzle, lucky wheel and dragon.
    case 6:
        game = makeGame<Puzzle>(this);
        break;
    case 8:
        game = makeGame<LuckyTurn>(this);
        break;
    case 11:
        game = makeGame<Dragon>(this);
        break;
    default:
        engine::log("no game class for game model %d", GameManager::getInstance()->getGameModel());
        break;
    }
    if (!game) {
        // The layout hides StartBtn for the games to show it; without a game the frame shows it.
        if (startBtn) {
            startBtn->setVisible(true);
        }
        return;
    }
    game->setLocalZOrder(2);
    addChild(game);
}
