#include "games/ClickAnswer.h"

#include "common/AudioManager.h"
#include "games/GameManager.h"

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
    if (!takeClick(frame)) {
        return;
    }
    auto* option = dynamic_cast<engine::Node*>(sender);
    if (!isRightOption(frame, option)) {
        wrongAnswer(frame);
        return;
    }
    GameManager* manager = GameManager::getInstance();
    const engine::Vec2 at(option->getPositionX(), option->getPositionY() + option->getContentSize().height * 0.5f);
    playThen(option, manager->getAnimation("Effect"), at, [this] { onEffectEnd(); });
    const std::string sound = manager->getMusic("Effect");
    if (!sound.empty()) {
        AudioManager::getInstance()->playVoice(sound, nullptr, false);
    }
}

void ClickAnswer::onEffectEnd() {
    rightAnswerTail(frame, [this] { showQuestion(); });
}

void ClickAnswer::resumeTimer() {
    resume(frame);
}
