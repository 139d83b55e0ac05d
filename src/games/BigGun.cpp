#include "games/BigGun.h"

#include "base/StringUtils.h"
#include "common/UITools.h"
#include "games/GameManager.h"

GameLayer* BigGun::frame = nullptr;

BigGun::~BigGun() = default;

void BigGun::onEnter() {
    Node::onEnter();
    initUI();
}

void BigGun::initUI() {
    if (entered) {
        return;
    }
    enterGame(
        frame, [this] { showQuestion(); }, [this](engine::Node* target, int index) { onOperClick(target, index); });
    restFigure = UITools::seekChildByName(gameNode, "ContImg1");
}

void BigGun::showQuestion() {
    showCommonQuestion(frame);
}

void BigGun::onOperClick(engine::Ref* sender, int /*index*/) {
    engine::Node* target = takeOptionClick(frame, sender);
    if (!target) {
        return;
    }
    const int choice = choiceOf(target);
    if (restFigure) {
        restFigure->setVisible(false);
    }
    // Without the firing point the shot is skipped and the answer still counts.
    engine::Node* muzzle = UITools::seekChildByName(gameNode, "AniImg1");
    playThen(muzzle, GameManager::getInstance()->getAnimation(engine::StringUtils::format("Effect%d", choice)),
             muzzle ? muzzle->getPosition() : engine::Vec2::ZERO, [this] { onEffectEnd(); });
    playEffectSound();
}

void BigGun::onEffectEnd() {
    if (restFigure) {
        restFigure->setVisible(true);
    }
    rightAnswerTail(frame, [this] { showQuestion(); });
}

void BigGun::resumeTimer() {
    resume(frame);
}
