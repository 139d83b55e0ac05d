#include "topics/ShiZiTopic.h"

#include "common/AudioManager.h"
#include "topics/TopicManage.h"
#include "ui/Widget.h"

namespace {

constexpr int kSoundCode = 320101;
constexpr int kRevealCode = 320201;

} // namespace

void ShiZiTopic::initRes() {
    if (!loadPage()) {
        return;
    }
    TopicManage* data = TopicManage::getInstance();
    data->loadTopicImages(rootNode, true);
    const auto opers = data->getWidget(rootNode, "OperImg", 1);
    for (size_t k = 0; k < opers.size(); ++k) {
        bindClick(opers[k], [this, k](engine::ui::Widget* sender) { onOperClick(sender, static_cast<int>(k) + 1); });
    }
    const auto anis = data->getWidget(rootNode, "AniImg", 1);
    for (size_t k = 0; k < anis.size(); ++k) {
        bindClick(anis[k], [this, k](engine::ui::Widget* sender) { onAniClick(sender, static_cast<int>(k)); });
    }
}

void ShiZiTopic::onOperClick(engine::ui::Widget* sender, int number) {
    TopicManage* data = TopicManage::getInstance();
    if (data->isStepDone()) {
        return;
    }
    const int code = data->getLayoutModel();
    if (code == kSoundCode) {
        AudioManager::getInstance()->playVoice(data->getAniDubbing(-1), nullptr, false);
    } else if (code == kRevealCode) {
        engine::ui::Widget* answer = numbered("AnswerImg", number);
        if (!answer) {
            return;
        }
        sender->setVisible(false);
        answer->setVisible(true);
        answer->setPosition(sender->getPosition());
        ++data->stepCount;
    }
}

void ShiZiTopic::onAniClick(engine::ui::Widget* sender, int index) {
    TopicManage* data = TopicManage::getInstance();
    if (aniPlaying || data->isStepDone()) {
        return;
    }
    aniPlaying = true;
    sender->setVisible(false);
    // An animation that cannot play still ends, on the next frame, so the page never locks.
    playAt(sender, data->getAnimations(index), false, [this] { onAniEnd(); });
    if (data->getLayoutModel() != kSoundCode) {
        AudioManager::getInstance()->playVoice(data->getAniDubbing(index), nullptr, false);
    }
}

void ShiZiTopic::onAniEnd() {
    TopicManage* data = TopicManage::getInstance();
    ++data->stepCount;
    aniPlaying = false;
    data->playRightFeedback(getParent());
}
