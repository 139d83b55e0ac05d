#include "games/AutoChess.h"

#include "base/StringUtils.h"
#include "common/SFAnimation.h"
#include "common/UITools.h"
#include "games/GameManager.h"
#include "scene/ActionIntervals.h"
#include "scene/Sprite.h"

namespace {

// The still that the animation service leaves where a walk ended.
constexpr int kLastFrameTag = 10086;

} // namespace

GameLayer* AutoChess::frame = nullptr;

AutoChess::~AutoChess() = default;

void AutoChess::onEnter() {
    Node::onEnter();
    if (!entered) {
        pieceHome = engine::Vec2::ZERO;
        moveSprite = nullptr;
    }
    enterGame(
        frame, [this] { showQuestion(); }, [this](engine::Node* option, int index) { onOperClick(option, index); });
}

void AutoChess::showQuestion() {
    resetBoard();
    showCommonQuestion(frame);
}

void AutoChess::resetBoard() {
    GameManager* manager = GameManager::getInstance();
    std::vector<engine::Node*> cells;
    UITools::seekChildrenByPrefix(cells, gameNode, "ContImg");
    const engine::ValueVector pictures = manager->getContImgs();
    for (size_t k = 0; k < cells.size() && k < pictures.size(); ++k) {
        GameManager::setPicture(cells[k], pictures[k].asString());
    }
    if (engine::Node* piece = UITools::seekChildByName(gameNode, "AniImg")) {
        GameManager::setPicture(piece, GameManager::entryAt(manager->getAniImgs(), 0).asString());
    }
}

void AutoChess::onOperClick(engine::Ref* sender, int /*index*/) {
    answerOption(frame, sender, [this] { onEffectEnd(); });
}

void AutoChess::onEffectEnd() {
    if (!frame || frame->ended()) {
        return;
    }
    movePiece(frame->answeredCount + 1);
    rightAnswerTail(frame, [this] { showQuestion(); });
}

void AutoChess::movePiece(int n) {
    const char* action = n < 6 ? "Action1" : n == 6 ? "Action2" : "Action3";
    const float duration = n == 6 ? 0.8f : 0.5f;
    engine::Node* piece = UITools::seekChildByName(gameNode, "AniImg");
    if (!piece || !piece->getParent()) {
        return;
    }
    engine::Node* cell = UITools::seekChildByName(gameNode, engine::StringUtils::format("ContImg%d", n));
    if (!cell) {
        // No cell to walk to: the piece stays where it stands, the answer still counts.
        return;
    }
    if (moveSprite) {
        if (engine::Node* still = piece->getParent()->getChildByTag(kLastFrameTag)) {
            still->removeFromParentAndCleanup(true);
        }
        moveSprite = nullptr;
    }
    if (pieceHome == engine::Vec2::ZERO) {
        pieceHome = piece->getPosition();
    }
    const engine::Vec2 target(cell->getPositionX(), cell->getPositionY() + piece->getContentSize().height * 0.5f);
    auto arrived = life.guard([this, target] { pieceHome = target; });
    const std::string name = GameManager::getInstance()->getAnimation(action);
    moveSprite = name.empty()
                     ? nullptr
                     : SFAnimation::getInstance()->playAnimation(piece, name, false, arrived, true, 0, 0, pieceHome);
    if (!moveSprite) {
        // Nothing to play: the piece widget walks itself.
        piece->setVisible(true);
        piece->stopAllActions();
        piece->setPosition(pieceHome);
        piece->runAction(engine::MoveTo::create(duration, target));
        return;
    }
    piece->setVisible(false);
    moveSprite->runAction(engine::MoveTo::create(duration, target));
}

void AutoChess::resumeTimer() {
    resume(frame);
}
