#include "games/WhacAMole.h"

#include <algorithm>

#include "base/StringUtils.h"
#include "common/UITools.h"
#include "games/GameManager.h"
#include "scene/ActionIntervals.h"

namespace {

constexpr int kHoles = 8;
constexpr float kPopTime = 0.25f;

engine::Node* numbered(engine::Node* root, const char* prefix, int number) {
    return UITools::seekChildByName(root, engine::StringUtils::format("%s%d", prefix, number));
}

} // namespace

GameLayer* WhacAMole::frame = nullptr;

WhacAMole::~WhacAMole() = default;

void WhacAMole::onEnter() {
    Node::onEnter();
    if (!entered) {
        moleHoles.clear();
        moleHomes.clear();
    }
    enterGame(
        frame, [this] { showQuestion(); }, [this](engine::Node* mole, int index) { onOperClick(mole, index); });
}

void WhacAMole::showQuestion() {
    for (size_t i = 0; i < moleHoles.size() && i < moleHomes.size(); ++i) {
        if (engine::Node* mole = numbered(gameNode, "OperImg", moleHoles[i])) {
            mole->stopAllActions();
            mole->setPosition(moleHomes[i]);
        }
    }
    moleHoles.clear();
    moleHomes.clear();
    const int slot = currentSlot(frame);
    if (slot < 0 || !gameNode) {
        return;
    }
    showQuestionOf(slot, false);
    const engine::Value entry = GameManager::entryAt(GameManager::getInstance()->getAnswerImgs(), slot);
    const engine::ValueVector pictures =
        entry.getType() == engine::Value::Type::VECTOR ? entry.asValueVector() : engine::ValueVector();
    // Moles that do not pop up for this question carry no answer number.
    for (int hole = 1; hole <= kHoles; ++hole) {
        if (engine::Node* mole = numbered(gameNode, "OperImg", hole)) {
            mole->setTag(0);
        }
    }
    const int n = std::min(static_cast<int>(pictures.size()), kHoles);
    moleHoles = drawDistinct(1, kHoles, n);
    for (int k = 0; k < n; ++k) {
        engine::Node* mole = numbered(gameNode, "OperImg", moleHoles[k]);
        if (!mole) {
            moleHomes.emplace_back();
            continue;
        }
        mole->setTag(k + 1);
        GameManager::setPicture(mole, pictures[k].asString());
        moleHomes.push_back(mole->getPosition());
        if (engine::Node* up = numbered(gameNode, "UpNode", moleHoles[k])) {
            mole->runAction(engine::MoveTo::create(kPopTime, up->getPosition()));
        }
    }
}

void WhacAMole::onOperClick(engine::Ref* sender, int /*index*/) {
    if (!takeClick(frame)) {
        return;
    }
    auto* mole = dynamic_cast<engine::Node*>(sender);
    if (!mole || mole->getTag() == 0 || mole->getTag() != currentAnswer(frame)) {
        wrongAnswer(frame);
        return;
    }
    playThen(mole, GameManager::getInstance()->getAnimation("Effect"), mole->getPosition(), [this] { onEffectEnd(); });
}

void WhacAMole::onEffectEnd() {
    rightAnswerTail(frame, [this] { showQuestion(); });
}

bool WhacAMole::answerable(int slot) const {
    const engine::Value entry = GameManager::entryAt(GameManager::getInstance()->getAnswerImgs(), slot);
    const int moles = entry.getType() == engine::Value::Type::VECTOR ? int(entry.asValueVector().size()) : 0;
    const int answer = answerAt(slot);
    return gameNode && hasQuestion(slot) && answer >= 1 && answer <= std::min(moles, kHoles);
}

void WhacAMole::resumeTimer() {
    resume(frame);
}
