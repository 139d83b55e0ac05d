#include "games/BalloonHit.h"

#include "base/Director.h"
#include "base/StringUtils.h"
#include "common/UITools.h"
#include "scene/ActionComposites.h"
#include "scene/ActionInstants.h"
#include "scene/ActionIntervals.h"

namespace {

constexpr float kFlightTime = 1.0f;

} // namespace

GameLayer* BalloonHit::frame = nullptr;

BalloonHit::~BalloonHit() = default;

void BalloonHit::onEnter() {
    Node::onEnter();
    enterGame(
        frame, [this] { showQuestion(); }, [this](engine::Node* balloon, int index) { onOperClick(balloon, index); });
}

void BalloonHit::showQuestion() {
    const int slot = currentSlot(frame);
    if (slot < 0 || !gameNode) {
        return;
    }
    // Every balloon, also one whose question names no picture (it keeps the layout's).
    for (int k = 0; k < kBalloons; ++k) {
        engine::Node* balloon = UITools::seekChildByName(gameNode, engine::StringUtils::format("OperImg%d", k + 1));
        if (!balloon) {
            continue;
        }
        balloon->setVisible(true);
        if (balloonHomes[k] == engine::Vec2::ZERO) {
            balloonHomes[k] = balloon->getPosition();
        } else {
            // The balloon that flew up for the last answer comes back home.
            balloon->stopAllActions();
            balloon->setPosition(balloonHomes[k]);
        }
    }
    showCommonQuestion(frame);
}

void BalloonHit::onOperClick(engine::Ref* sender, int /*index*/) {
    engine::Node* balloon = takeOptionClick(frame, sender);
    if (!balloon) {
        return;
    }
    const float dy = engine::Director::getInstance()->getWinSize().height - balloon->getContentSize().height;
    balloon->runAction(engine::Sequence::create(
        engine::MoveBy::create(kFlightTime, engine::Vec2(0.f, dy)),
        engine::CallFunc::create(life.guard([this, balloon] { onBalloonUp(balloon); })), nullptr));
}

void BalloonHit::onBalloonUp(engine::Node* balloon) {
    balloon->setVisible(false);
    playEffectOver(balloon, [this] { onEffectEnd(); });
}

void BalloonHit::onEffectEnd() {
    rightAnswerTail(frame, [this] { showQuestion(); });
}

void BalloonHit::resumeTimer() {
    resume(frame);
}
