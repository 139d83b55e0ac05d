#include "games/WhacAMole.h"

#include <algorithm>

#include "base/StringUtils.h"
#include "common/UITools.h"
#include "games/GameManager.h"
#include "scene/ActionIntervals.h"
#include "ui/Text.h"

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
    GameManager* manager = GameManager::getInstance();
    const std::string question = GameManager::entryAt(manager->getQuestions(), slot).asString();
    engine::Node* picture = UITools::seekChildByName(gameNode, "QImg");
    engine::Node* title = UITools::seekChildByName(gameNode, "TitleText");
    const int type = manager->getQuestionType();
    if (type == 2) {
        if (picture) {
            picture->setVisible(false);
        }
        if (auto* text = dynamic_cast<engine::ui::Text*>(title)) {
            text->setVisible(true);
            text->setString(question);
        }
    } else if (type == 1) {
        if (picture) {
            picture->setVisible(true);
            GameManager::setPicture(picture, question);
        }
        if (title) {
            title->setVisible(false);
        }
    }
    const engine::ValueMap map = manager->getGameMap();
    const auto found = map.find("AnswerImgs");
    const engine::Value entry = found != map.end() && found->second.getType() == engine::Value::Type::VECTOR
                                    ? GameManager::entryAt(found->second.asValueVector(), slot)
                                    : engine::Value();
    const engine::ValueVector pictures =
        entry.getType() == engine::Value::Type::VECTOR ? entry.asValueVector() : engine::ValueVector();
    // Moles that do not pop up for this question carry no answer number.
    for (int hole = 1; hole <= kHoles; ++hole) {
        if (engine::Node* mole = numbered(gameNode, "OperImg", hole)) {
            mole->setTag(0);
        }
    }
    const int n = std::min(static_cast<int>(pictures.size()), kHoles);
    std::vector<int> pool;
    for (int hole = 1; hole <= kHoles; ++hole) {
        pool.push_back(hole);
    }
    while (static_cast<int>(moleHoles.size()) < n) {
        const int k = drawIndex(static_cast<int>(pool.size()));
        moleHoles.push_back(pool[k]);
        pool.erase(pool.begin() + k);
    }
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
    const int slot = currentSlot(frame);
    const bool right = mole && slot >= 0 && slot < static_cast<int>(answers.size()) && mole->getTag() != 0 &&
                       mole->getTag() == answers[slot];
    if (!right) {
        wrongAnswer(frame);
        return;
    }
    playThen(mole, GameManager::getInstance()->getAnimation("Effect"), mole->getPosition(), [this] { onEffectEnd(); });
}

void WhacAMole::onEffectEnd() {
    rightAnswerTail(frame, [this] { showQuestion(); });
}

void WhacAMole::resumeTimer() {
    resume(frame);
}
