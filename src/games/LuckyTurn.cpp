#include "games/LuckyTurn.h"

#include "common/UITools.h"
#include "scene/ActionComposites.h"
#include "scene/ActionIntervals.h"
#include "ui/Widget.h"

namespace {

constexpr float kTurnTime = 3.f;
// The quarter of a stop on a boundary.
constexpr int kBoundary = 5;

} // namespace

GameLayer* LuckyTurn::frame = nullptr;

LuckyTurn::~LuckyTurn() = default;

void LuckyTurn::onEnter() {
    Node::onEnter();
    initGame();
}

void LuckyTurn::initGame() {
    if (entered) {
        return;
    }
    // The options only show the choices: the stop button answers.
    enterGame(
        frame, [this] { nextQuestion(); }, nullptr);
    wheel = UITools::seekChildByName(gameNode, "ContImg");
    if (auto* stop = dynamic_cast<engine::ui::Widget*>(UITools::seekChildByName(gameNode, "Button1"))) {
        stop->setTouchEnabled(true);
        stop->addClickEventListener(life.guard([this](engine::Ref*) { onStopWheel(); }));
    }
}

int LuckyTurn::quarterOf(float rotation) {
    const int a = static_cast<int>(rotation) % 360;
    if (a <= 0 || a % 90 == 0) {
        return kBoundary;
    }
    return a / 90 + 1;
}

void LuckyTurn::spin() {
    if (!wheel) {
        return;
    }
    wheel->stopAllActions();
    wheel->runAction(engine::RepeatForever::create(engine::RotateBy::create(kTurnTime, 360.f)));
}

void LuckyTurn::nextQuestion() {
    spin();
    showCommonQuestion(frame, [this](engine::Node* option, size_t j) {
        option->setVisible(true);
        // Only the four places the wheel has quarters for are kept.
        if (j >= operImgHomes.size()) {
            return;
        }
        if (operImgHomes[j] == engine::Vec2::ZERO) {
            operImgHomes[j] = option->getPosition();
        } else {
            option->setPosition(operImgHomes[j]);
        }
    });
}

void LuckyTurn::onStopWheel() {
    if (!wheel) {
        return;
    }
    wheel->stopAllActions();
    onSpinResult(quarterOf(wheel->getRotation()));
}

void LuckyTurn::onSpinResult(int quarter) {
    if (!takeClick(frame)) {
        return;
    }
    if (currentAnswer(frame) == quarter) {
        resultThen(true, [this] { onRightEnd(); });
        playEffectSound();
    } else {
        resultThen(false, [this] { onWrongEnd(); });
    }
}

void LuckyTurn::onRightEnd() {
    rightAnswerTail(frame, [this] { nextQuestion(); });
}

bool LuckyTurn::answerable(int slot) const {
    const int quarter = answerAt(slot);
    return wheel && UITools::seekChildByName(gameNode, "Button1") && hasQuestion(slot) && quarter >= 1 &&
           quarter <= kBoundary;
}

void LuckyTurn::onWrongEnd() {
    if (!frame || frame->ended()) {
        return;
    }
    spin();
    resume(frame);
}
