#include "games/Classify.h"

#include <algorithm>
#include <climits>

#include "common/UITools.h"
#include "games/GameManager.h"
#include "scene/ActionComposites.h"
#include "scene/ActionInstants.h"
#include "scene/ActionIntervals.h"

namespace {

constexpr float kMoveTime = 0.5f;

// Item and target belong together when their numbers have the same parity.
bool sameClass(int target, int item) {
    return target % 2 == item % 2;
}

// A home is recorded the first time, and the node put back there every later time.
void goHome(engine::Node* node, engine::Vec2& home) {
    node->stopAllActions();
    if (home == engine::Vec2::ZERO) {
        home = node->getPosition();
    } else {
        node->setPosition(home);
    }
}

} // namespace

GameLayer* Classify::frame = nullptr;

Classify::~Classify() = default;

void Classify::onEnter() {
    Node::onEnter();
    if (entered) {
        return;
    }
    carrierHome = engine::Vec2::ZERO;
    itemHome = engine::Vec2::ZERO;
    enterGame(
        frame, [this] { showQuestion(); }, [this](engine::Node* target, int index) { onOperClick(target, index); });
    std::vector<engine::Node*> targets;
    UITools::seekChildrenByPrefix(targets, gameNode, "OperImg");
    for (engine::Node* target : targets) {
        target->setLocalZOrder(1);
    }
}

void Classify::showQuestion() {
    engine::Node* carrier = UITools::seekChildByName(gameNode, "AniImg1");
    engine::Node* item = UITools::seekChildByName(gameNode, "QImg");
    const int slot = currentSlot(frame);
    if (slot < 0) {
        return;
    }
    if (carrier) {
        carrier->setVisible(true);
        goHome(carrier, carrierHome);
        carrier->runAction(createMoveToPos());
    }
    if (item) {
        item->setVisible(true);
        goHome(item, itemHome);
        GameManager::setPicture(item,
                                GameManager::entryAt(GameManager::getInstance()->getQuestions(), slot).asString());
        item->setTag(currentAnswer(frame) == INT_MIN ? 0 : currentAnswer(frame));
        item->runAction(createMoveToPos());
    }
}

engine::MoveTo* Classify::createMoveToPos() {
    engine::Node* waiting = UITools::seekChildByName(gameNode, "PosNode");
    return engine::MoveTo::create(kMoveTime, waiting ? waiting->getPosition() : engine::Vec2::ZERO);
}

void Classify::onOperClick(engine::Ref* sender, int /*index*/) {
    if (!takeClick(frame)) {
        return;
    }
    auto* target = dynamic_cast<engine::Node*>(sender);
    const int answer = currentAnswer(frame);
    if (!target || answer == INT_MIN || !sameClass(target->getTag(), answer)) {
        wrongAnswer(frame);
        return;
    }
    engine::Node* carrier = UITools::seekChildByName(gameNode, "AniImg1");
    engine::Node* item = UITools::seekChildByName(gameNode, "QImg");
    const float dx = target->getPositionX() - (item ? item->getPositionX() : target->getPositionX());
    auto carried = engine::CallFunc::create(life.guard([this, target] { onCarried(target); }));
    if (item) {
        item->runAction(engine::MoveBy::create(kMoveTime, engine::Vec2(dx, 0)));
    }
    if (carrier) {
        carrier->runAction(
            engine::Sequence::create(engine::MoveBy::create(kMoveTime, engine::Vec2(dx, 0)), carried, nullptr));
    } else {
        onCarried(target);
    }
}

void Classify::onCarried(engine::Node* target) {
    engine::Node* carrier = UITools::seekChildByName(gameNode, "AniImg1");
    engine::Node* at = carrier ? carrier : target;
    if (carrier) {
        carrier->setVisible(false);
    }
    playThen(at, GameManager::getInstance()->getAnimation("Effect"), at->getPosition(),
             [this, target] { onEffectEnd(target); });
    playEffectSound();
}

void Classify::onEffectEnd(engine::Node* target) {
    engine::Node* item = UITools::seekChildByName(gameNode, "QImg");
    if (!item) {
        onDropped(target);
        return;
    }
    item->runAction(
        engine::Sequence::create(engine::MoveTo::create(kMoveTime, target->getPosition()),
                                 engine::CallFunc::create(life.guard([this, target] { onDropped(target); })), nullptr));
}

void Classify::onDropped(engine::Node* /*target*/) {
    if (engine::Node* item = UITools::seekChildByName(gameNode, "QImg")) {
        item->setVisible(false);
    }
    rightAnswerTail(frame, [this] { showQuestion(); });
}

bool Classify::answerable(int slot) const {
    const int answer = answerAt(slot);
    if (answer == INT_MIN || !hasQuestion(slot)) {
        return false;
    }
    std::vector<engine::Node*> targets;
    UITools::seekChildrenByPrefix(targets, gameNode, "OperImg");
    return std::any_of(targets.begin(), targets.end(),
                       [answer](const engine::Node* target) { return sameClass(target->getTag(), answer); });
}

void Classify::resumeTimer() {
    resume(frame);
}
