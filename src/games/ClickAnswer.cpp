#include "games/ClickAnswer.h"

GameLayer* ClickAnswer::frame = nullptr;

ClickAnswer::~ClickAnswer() = default;

void ClickAnswer::onEnter() {
    Node::onEnter();
    enterGame(
        frame, [this] { showQuestion(); }, [this](engine::Node* option, int index) { onOperClick(option, index); });
}

void ClickAnswer::showQuestion() {
    showCommonQuestion(frame);
}

void ClickAnswer::onOperClick(engine::Ref* sender, int /*index*/) {
    answerOption(frame, sender, [this] { onEffectEnd(); });
}

void ClickAnswer::onEffectEnd() {
    rightAnswerTail(frame, [this] { showQuestion(); });
}

void ClickAnswer::resumeTimer() {
    resume(frame);
}
