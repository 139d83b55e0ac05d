#include "topics/ShowAnswer.h"

#include <algorithm>

#include "common/AudioManager.h"
#include "common/UITools.h"
#include "topics/TopicManage.h"
#include "ui/Widget.h"

namespace {

TopicManage* topicData() {
    return TopicManage::getInstance();
}

} // namespace

void ShowAnswer::initRes() {
    if (!loadPage()) {
        return;
    }
    TopicManage* data = topicData();
    data->loadTopicImages(rootNode, true);
    const int code = data->getLayoutModel();
    if (code == 201 && data->getWidget(rootNode, "ContImg", 1).empty()) {
        if (engine::Node* panel = UITools::seekChildByName(rootNode, "Panel_Content")) {
            for (engine::ui::Widget* picture : data->getWidget(rootNode, "OperImg", 1)) {
                picture->setPositionY(panel->getPositionY());
            }
        }
    } else if (code == 205) {
        data->initContentPanel(rootNode, "ContImg", 1, 1, 1, 1);
    } else if (code == 206 || code == 211) {
        const int rows = static_cast<int>(data->getWidget(rootNode, "ContImg", 1).size());
        data->initContentPanel(rootNode, "ContImg", 1, 2, 1, rows);
    }
    if (code != 213) {
        data->initContentPanel(rootNode, "OperImg", 1, 0, 0, 0);
    }
    const auto pictures = data->getWidget(rootNode, "OperImg", 1);
    for (size_t k = 0; k < pictures.size(); ++k) {
        bindClick(pictures[k],
                  [this, k](engine::ui::Widget* picture) { onOperClick(picture, static_cast<int>(k) + 1); });
    }
}

void ShowAnswer::onOperClick(engine::ui::Widget* picture, int number) {
    TopicManage* data = topicData();
    if (data->isStepDone()) {
        return;
    }
    revealAnswer(picture, number);
    playAnswerAnimation(picture);
    const int code = data->getLayoutModel();
    if (!among(code, {201, 202, 205, 206, 207, 208, 210, 211})) {
        return;
    }
    if (code == 208 && data->isStepDone()) {
        data->playRightFeedback(getParent());
        return;
    }
    const bool right = data->isInFirstAnswers(picture);
    report(right, [this, right] { onFeedbackEnd(right, right); });
}

void ShowAnswer::revealAnswer(engine::ui::Widget* picture, int number) {
    TopicManage* data = topicData();
    const int code = data->getLayoutModel();
    engine::ui::Widget* answer = nullptr;
    if (among(code, {201, 202, 206, 210, 211})) {
        answer = numbered("AnswerImg", data->stepCount + 1);
    } else if (among(code, {203, 208, 209, 212, 204, 213})) {
        answer = numbered("AnswerImg", number);
    }
    if (code == 204 || code == 213) {
        picture->setVisible(false);
        AudioManager::getInstance()->playVoice(data->getAniDubbing(number - 1), nullptr, false);
    }
    const bool right = data->isInFirstAnswers(picture);
    // A right picture counts once: tapping it again never completes the topic.
    if (!answer || answer->isVisible() || !right ||
        std::find(counted.begin(), counted.end(), picture) != counted.end()) {
        return;
    }
    if (code == 208) {
        if (engine::Node* content = numbered("ContImg", 1)) {
            answer->setPosition(content->getPosition());
        }
    } else if (code == 209) {
        if (engine::Node* content = numbered("ContImg", 1)) {
            content->setVisible(false);
        }
        for (engine::ui::Widget* shown : data->getWidget(rootNode, "AnswerImg", 1)) {
            shown->setVisible(false);
        }
    } else {
        answer->setPosition(picture->getPosition());
    }
    answer->setVisible(true);
    counted.push_back(picture);
    ++data->stepCount;
}

void ShowAnswer::playAnswerAnimation(engine::ui::Widget* picture) {
    TopicManage* data = topicData();
    const int code = data->getLayoutModel();
    engine::Node* node = nullptr;
    std::string name;
    if (code == 203 || code == 212) {
        const int own = picture->getTag() - TopicManage::kPieceTagBase;
        node = numbered("OperImg", own);
        name = data->getAnimations(own - 1);
    } else if (among(code, {201, 202, 204, 205, 210, 213}) && data->isInFirstAnswers(picture)) {
        node = numbered("AniImg", 1);
        name = data->getAnimations(0);
    }
    if (!node || !node->isVisible() || name.empty()) {
        return;
    }
    node->setVisible(false);
    playAt(node, name, false, nullptr);
}

void ShowAnswer::onFeedbackEnd(bool right, bool celebrate) {
    TopicManage* data = topicData();
    const int code = data->getLayoutModel();
    if (code == 205 && right) {
        if (engine::Node* final = numbered("AnswerImg", 1)) {
            for (engine::Node* child : rootNode->getChildren()) {
                child->setVisible(false);
            }
            final->setVisible(true);
        }
    } else if (code == 207 && right) {
        engine::Node* content = numbered("ContImg", 1);
        engine::Node* final = numbered("AnswerImg", 1);
        if (content) {
            content->setVisible(false);
        }
        if (final && content) {
            final->setPosition(content->getPosition());
            final->setVisible(true);
        }
    }
    if (celebrate) {
        data->playRightFeedback(getParent());
    }
}
