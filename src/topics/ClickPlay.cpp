#include "topics/ClickPlay.h"

#include <algorithm>

#include "common/AudioManager.h"
#include "common/SFAnimation.h"
#include "topics/TopicLayer.h"
#include "topics/TopicManage.h"
#include "ui/Widget.h"

namespace {

constexpr int kAniCode = 101;

} // namespace

void ClickPlay::initRes() {
    if (!loadPage()) {
        return;
    }
    TopicManage* data = TopicManage::getInstance();
    data->loadTopicImages(rootNode, true);
    const bool animated = data->getLayoutModel() == kAniCode;
    const char* prefix = animated ? "AniImg" : "OperImg";
    data->initContentPanel(rootNode, prefix, 1, 0, 0, 0);
    const auto pictures = data->getWidget(rootNode, prefix, 1);
    for (size_t k = 0; k < pictures.size(); ++k) {
        const int place = static_cast<int>(k);
        bindClick(pictures[k], [this, animated, place](engine::ui::Widget* sender) {
            if (animated) {
                onAniClick(sender, place);
            } else {
                onOperClick(sender, place + 1);
            }
        });
    }
}

void ClickPlay::onAniClick(engine::ui::Widget* sender, int index) {
    TopicManage* data = TopicManage::getInstance();
    if (busy || data->isStepDone()) {
        return;
    }
    busy = true;
    sender->setVisible(false);
    // An animation that cannot play ends on the next frame, so its step still counts once.
    playAt(sender, data->getAnimations(index), false, [this] { onAniEnd(); });
    AudioManager::getInstance()->playVoice(data->getAniDubbing(index), nullptr, false);
}

void ClickPlay::onOperClick(engine::ui::Widget* sender, int number) {
    TopicManage* data = TopicManage::getInstance();
    if (busy || data->isStepDone()) {
        return;
    }
    const engine::ValueVector answers = data->getFirstAnswers();
    const bool right =
        std::any_of(answers.begin(), answers.end(), [number](const engine::Value& v) { return v.asInt() == number; });
    if (!right) {
        // A wrong tap only waits for its feedback and never counts a step. While other feedback still plays the
        // host would drop this one, and its end with it: the tap is ignored instead of locking the page.
        if (feedbackFree()) {
            busy = true;
            report(false, [this] { busy = false; });
        }
        return;
    }
    busy = true;
    ++data->stepCount;
    if (engine::ui::Widget* answer = numbered("AnswerImg", 1)) {
        sender->setVisible(false);
        answer->setVisible(true);
    }
    AudioManager::getInstance()->playVoice(data->getContentDubbing(-1), nullptr, false);
    if (engine::ui::Widget* stage = numbered("AniImg", 1)) {
        stage->setVisible(false);
        playAt(stage, data->getAnimations(0), false, [this] { onAniEnd(); });
    } else {
        // No stage to play at: the step ends at once instead of leaving the page locked.
        onAniEnd();
    }
}

bool ClickPlay::feedbackFree() const {
    const TopicLayer* page = host();
    return page && !page->isResultShowing() && !SFAnimation::getInstance()->isResultBusy();
}

void ClickPlay::onAniEnd() {
    TopicManage* data = TopicManage::getInstance();
    ++data->stepCount;
    busy = false;
    data->playRightFeedback(getParent());
}
