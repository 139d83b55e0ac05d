// The game factory: the tens digit of the game model chooses the game class.
#include "base/Log.h"
#include "games/ClickAnswer.h"
#include "games/GameLayer.h"
#include "games/GameManager.h"
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
    GameLayer* game = nullptr;
    switch (classNumber) {
    case 3:
        game = makeGame<WhacAMole>(this);
        break;
    case 4:
        game = makeGame<ClickAnswer>(this);
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
