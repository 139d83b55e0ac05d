#include "games/Dragon.h"

#include "base/StringUtils.h"
#include "common/UITools.h"
#include "games/GameManager.h"

namespace {

// The right answer that also plays the closing animation.
constexpr int kClosingCount = 10;

void setShown(engine::Node* node, bool shown) {
    if (node) {
        node->setVisible(shown);
    }
}

} // namespace

GameLayer* Dragon::frame = nullptr;

Dragon::~Dragon() = default;

void Dragon::onEnter() {
    Node::onEnter();
    initUI();
}

void Dragon::initUI() {
    if (entered) {
        return;
    }
    enterGame(
        frame, [this] { showQuestion(); }, [this](engine::Node* target, int index) { onOperClick(target, index); });
    restFigure = UITools::seekChildByName(gameNode, "ContImg1");
}

void Dragon::showQuestion() {
    showCommonQuestion(frame);
}

void Dragon::onOperClick(engine::Ref* sender, int /*index*/) {
    if (!takeClick(frame)) {
        return;
    }
    auto* target = dynamic_cast<engine::Node*>(sender);
    engine::Node* point = UITools::seekChildByName(gameNode, "AniImg1");
    const engine::Vec2 at = point ? point->getPosition() : engine::Vec2::ZERO;
    setShown(restFigure, false);
    GameManager* manager = GameManager::getInstance();
    if (isRightOption(frame, target)) {
        const int choice = target->getTag() - 10000;
        playThen(point, manager->getAnimation(engine::StringUtils::format("Effect%d", choice)), at,
                 [this] { onEffectEnd(); });
        playEffectSound();
    } else {
        playThen(point, manager->getAnimation("Effect"), at, [this] { resumeTimer(); });
        playEffectSound("Effect1");
    }
}

void Dragon::onEffectEnd() {
    setShown(restFigure, true);
    if (!frame || frame->ended()) {
        return;
    }
    if (frame->answeredCount + 1 == kClosingCount) {
        setShown(restFigure, false);
        engine::Node* point = UITools::seekChildByName(gameNode, "AniImg1");
        playThen(point, GameManager::getInstance()->getAnimation("Effect5"),
                 point ? point->getPosition() : engine::Vec2::ZERO, [] {});
    }
    rightAnswerTail(frame, [this] { showQuestion(); });
}

void Dragon::resumeTimer() {
    setShown(restFigure, true);
    resume(frame);
}
