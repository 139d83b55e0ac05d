#include "topics/DirOperate.h"

#include <cmath>

#include "common/AudioManager.h"
#include "common/CommonTools.h"
#include "common/TipsManager.h"
#include "common/UITools.h"
#include "common/FileManager.h"
#include "scene/ActionComposites.h"
#include "scene/ActionInstants.h"
#include "scene/ActionIntervals.h"
#include "topics/TopicManage.h"
#include "ui/Widget.h"

namespace {

constexpr int kNodeTagBase = 30000;
constexpr int kChoiceTagBase = 40000;

// Change of (first, second) index by direction.
const int kDeltas[8][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}, {-1, -1}, {1, -1}, {-1, 1}, {1, 1}};

TopicManage* topicData() {
    return TopicManage::getInstance();
}

bool walking() {
    const int code = topicData()->getLayoutModel();
    return code >= 801 && code <= 803;
}

} // namespace

void DirOperate::initData() {
    piece = nullptr;
    moving = false;
    first = second = 1;
    route = {1};
    items.clear();
    questionOrder.clear();
    reachedItem = 0;
    if (topicData()->getLayoutModel() == 804) {
        topicData()->contentVoiceHandler = life.guard([this] { playQuestionVoice(); });
    }
}

void DirOperate::initRes() {
    TopicManage* data = topicData();
    if (loadPage()) {
        piece = UITools::seekChildByName(rootNode, "OperImg1");
        data->loadTopicImages(rootNode, true);
        if (walking()) {
            data->initContentPanel(rootNode, "DirImg", 1, 0, 0, 0);
        }
        for (int i = 1; engine::ui::Widget* button = numbered("DirImg", i); ++i) {
            const auto direction = static_cast<DirType>(i - 1);
            bindClick(button, [this, direction](engine::ui::Widget* sender) { onDirClick(sender, direction); });
        }
        for (engine::ui::Widget* item : data->getWidget(rootNode, "ContImg", 1)) {
            items.push_back(item);
        }
    }
    std::vector<int> remaining;
    for (int i = 0; i < static_cast<int>(data->getFirstAnswers().size()); ++i) {
        remaining.push_back(i);
    }
    while (!remaining.empty()) {
        const int k = CommonTools::getInstance()->drawIndex(static_cast<int>(remaining.size()));
        questionOrder.push_back(remaining[k]);
        remaining.erase(remaining.begin() + k);
    }
}

void DirOperate::onDirClick(engine::Ref* sender, DirType direction) {
    if (topicData()->isStepDone() || direction < DirFirst || direction > DirLast) {
        return;
    }
    if (walking()) {
        movePiece(kDeltas[direction][0], kDeltas[direction][1]);
    } else if (topicData()->getLayoutModel() == 804 && direction <= 3) {
        checkChoice(sender);
    }
}

void DirOperate::movePiece(int firstDelta, int secondDelta) {
    if (moving || !piece) {
        return;
    }
    engine::Node* target = UITools::seekChildByName(rootNode, "PosNode" + std::to_string(first + firstDelta) +
                                                                  std::to_string(second + secondDelta));
    if (!target) {
        return;
    }
    const int item = topicData()->getLayoutModel() == 803 ? checkItem(target) : 0;
    if (item < 0) {
        report(false, nullptr);
        return;
    }
    first += firstDelta;
    second += secondDelta;
    route.push_back(target->getTag() - kNodeTagBase);
    moving = true;
    const engine::Vec2 to = piece->getParent()->convertToNodeSpace(
        target->getParent() ? target->getParent()->convertToWorldSpace(target->getPosition()) : target->getPosition());
    piece->runAction(engine::Sequence::create(engine::MoveTo::create(0.5f, to),
                                              engine::CallFunc::create(life.guard([this, item] { onMoveEnd(item); })),
                                              nullptr));
}

int DirOperate::checkItem(engine::Node* target) {
    if (topicData()->getLayoutModel() != 803) {
        return 0;
    }
    auto truncated = [](const engine::Vec2& p) { return std::make_pair(std::trunc(p.x), std::trunc(p.y)); };
    for (engine::Node* item : items) {
        if (truncated(item->getPosition()) != truncated(target->getPosition())) {
            continue;
        }
        const engine::ValueVector answers = topicData()->getFirstAnswers();
        for (size_t u = 0; u < answers.size(); ++u) {
            if (answers[u].asInt() == target->getTag() - kNodeTagBase) {
                reachedItem = static_cast<int>(u);
                return 1;
            }
        }
        return -1;
    }
    return 0;
}

void DirOperate::onMoveEnd(int itemResult) {
    moving = false;
    TopicManage* data = topicData();
    if (data->getLayoutModel() != 803 || itemResult != 1) {
        return;
    }
    ++data->stepCount;
    piece->setVisible(false);
    for (engine::Node* item : items) {
        item->setVisible(false);
    }
    engine::Node* stage = numbered("AniImg", reachedItem + 1);
    const std::string firstContent = data->getAnimations(0);
    if (stage && !firstContent.empty() && firstContent != FileManager::getInstance()->getTopicAniPath()) {
        AudioManager::getInstance()->playVoice("RightCommon.mp3", nullptr, false);
        playAt(stage, data->getAnimations(reachedItem), false, nullptr);
    }
}

void DirOperate::playQuestionVoice() {
    TopicManage* data = topicData();
    const int step = data->stepCount;
    if (data->isStepDone() || step < 0 || step >= static_cast<int>(questionOrder.size())) {
        return;
    }
    AudioManager::getInstance()->playVoice(data->getContentDubbing(questionOrder[step]),
                                           life.guard([this](float) { markVoiceHeard(); }), false);
}

void DirOperate::markVoiceHeard() {
    topicData()->voiceBusy = true;
}

void DirOperate::checkChoice(engine::Ref* sender) {
    TopicManage* data = topicData();
    auto* button = dynamic_cast<engine::Node*>(sender);
    if (!data->voiceBusy) {
        TipsManager::getInstance()->showTipsByKey("SubjectStr1", nullptr, nullptr);
        return;
    }
    const engine::ValueVector answers = data->getFirstAnswers();
    const int step = data->stepCount;
    if (!button || step < 0 || step >= static_cast<int>(answers.size()) ||
        step >= static_cast<int>(questionOrder.size())) {
        report(false, nullptr);
        return;
    }
    if (entryAt(answers, questionOrder[step]) == button->getTag() - kChoiceTagBase) {
        report(true, nullptr);
        ++data->stepCount;
        data->voiceBusy = false;
    } else {
        report(false, nullptr);
    }
}

void DirOperate::showAnswer() {
    const engine::ValueVector answers = topicData()->getFirstAnswers();
    bool right = route.size() == answers.size();
    for (size_t i = 0; right && i < route.size(); ++i) {
        right = answers[i].asInt() == route[i];
    }
    report(right, nullptr);
    for (size_t i = 1; i < route.size(); ++i) {
        if (engine::Node* segment = UITools::seekChildByName(rootNode, "AnswerImg" + std::to_string(route[i - 1]) +
                                                                           std::to_string(route[i]))) {
            segment->setVisible(true);
        }
    }
}
