#include "topics/PinYinTopic.h"

#include <algorithm>

#include "base/Director.h"
#include "base/Touch.h"
#include "common/AudioManager.h"
#include "common/DragTools.h"
#include "common/SFAnimation.h"
#include "common/UITools.h"
#include "common/FileManager.h"
#include "scene/Sprite.h"
#include "topics/TopicManage.h"
#include "ui/Widget.h"

namespace {

TopicManage* topicData() {
    return TopicManage::getInstance();
}

int code() {
    return topicData()->getLayoutModel();
}

bool inGroups() {
    return code() == 319501 || code() == 319502;
}

bool inSlots() {
    return code() >= 319503 && code() <= 319506;
}

bool numbersEqual(const std::vector<int>& numbers, const engine::ValueVector& answers) {
    if (numbers.size() != answers.size()) {
        return false;
    }
    for (size_t i = 0; i < numbers.size(); ++i) {
        if (numbers[i] != answers[i].asInt()) {
            return false;
        }
    }
    return true;
}

} // namespace

bool PinYinTopic::init() {
    return BaseLayer::init();
}

void PinYinTopic::initData() {
    DragTopicLayer::initData();
    for (auto& group : groupContents) {
        group.clear();
    }
    markedNumbers.clear();
    slotContents.clear();
    playing = false;
}

void PinYinTopic::initRes() {
    if (!loadPage()) {
        return;
    }
    topicData()->loadTopicImages(rootNode, true);
    layoutWidgets();
    if (code() == 319001 || code() == 319002 || code() == 319101 || (code() >= 319201 && code() <= 319222)) {
        bindOperImgs();
    }
    if (code() == 319102) {
        for (int i = 1; engine::ui::Widget* picture = numbered("AniImg", i); ++i) {
            if (picture->isVisible()) {
                bindClick(picture, [this, i](engine::ui::Widget* sender) { onAniImgClick(sender, i - 1); });
            }
        }
    }
    if (inGroups() || inSlots()) {
        DragTools::listenToTouches(this);
    }
}

void PinYinTopic::layoutWidgets() {
    TopicManage* data = topicData();
    collectPictures();
    if (code() == 319101) {
        data->initContentPanel(rootNode, "OperImg", 1, 0, 0, 0);
    } else if (code() == 319102) {
        engine::Node* background = UITools::seekChildByName(rootNode, "BgImg1");
        data->initContentPanel(rootNode, "AniImg", background && background->isVisible() ? 2 : 1, 0, 0, 0);
    } else if (inSlots()) {
        slotContents.assign(panelImgs.size(), -1);
        data->initContentPanel(rootNode, "OperImg", 1, 0, 0, 0);
    }
}

void PinYinTopic::bindOperImgs() {
    for (size_t i = 0; i < operImgs.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        bindClick(dynamic_cast<engine::ui::Widget*>(operImgs[i]),
                  [this, number](engine::ui::Widget* card) { onOperImgClick(card, number); });
    }
}

void PinYinTopic::onOperImgClick(engine::Ref* sender, int cardNumber) {
    TopicManage* data = topicData();
    auto* card = dynamic_cast<engine::Node*>(sender);
    if (!card || data->isStepDone()) {
        return;
    }
    if (code() == 319001) {
        if (engine::Node* mark = numbered("HighlightImg", cardNumber)) {
            mark->setPosition(card->getPosition());
            mark->setVisible(!mark->isVisible());
        }
        return;
    }
    checkOperClick(sender, cardNumber);
    const std::string voice = data->getAniDubbing(cardNumber - 1);
    if (!voice.empty()) {
        AudioManager::getInstance()->playVoice(voice, nullptr, false);
    }
}

void PinYinTopic::checkOperClick(engine::Ref* sender, int cardNumber) {
    TopicManage* data = topicData();
    auto* card = dynamic_cast<engine::ui::Widget*>(sender);
    const bool right = card && data->isInFirstAnswers(card);
    if (code() == 319002 || (code() >= 319201 && code() <= 319222)) {
        SFAnimation::getInstance()->playResultAnimation(right, nullptr);
    }
    engine::Node* answer = numbered("AnswerImg", cardNumber);
    if (answer && !answer->isVisible() && right) {
        answer->setPosition(card->getPosition());
        answer->setVisible(true);
        ++data->stepCount;
    }
}

void PinYinTopic::onAniImgClick(engine::Ref* sender, int index) {
    auto* picture = dynamic_cast<engine::Node*>(sender);
    if (!picture || playing || topicData()->isStepDone()) {
        return;
    }
    playing = true;
    picture->setVisible(false);
    // An animation that cannot play ends on the next frame, so the step still counts once.
    playAt(picture, topicData()->getAnimations(index), false, [this] { onAniEnd(); });
    AudioManager::getInstance()->playVoice(topicData()->getAniDubbing(index), nullptr, false);
}

void PinYinTopic::onAniEnd() {
    ++topicData()->stepCount;
    playing = false;
    topicData()->playRightFeedback(getParent());
}

void PinYinTopic::onTouchEnded(engine::Touch* touch, engine::Event* event) {
    if (!dragged) {
        return;
    }
    if (engine::Node* target = dropOnTargets(touch->getLocation())) {
        onDropToSlot(target);
    }
    dragged = nullptr;
}

void PinYinTopic::onDropToSlot(engine::Node* slot) {
    if (!dragged || !slot) {
        return;
    }
    TopicManage* data = topicData();
    const int s = slot->getTag() - TopicManage::kTargetTagBase;
    const int tag = dragged->getTag();
    if (inGroups()) {
        if (s < 1 || s > kGroupCount) {
            returnDragged();
            return;
        }
        for (int k = 0; k < 2; ++k) {
            auto found = std::find(groupContents[k].begin(), groupContents[k].end(), tag);
            if (found != groupContents[k].end()) {
                groupContents[k].erase(found);
            }
        }
        groupContents[s - 1].push_back(tag);
        // A card counts while it lies in the box its group names.
        const engine::ValueVector groups = data->getAnswers();
        const engine::ValueVector group =
            s <= static_cast<int>(groups.size()) ? groups[s - 1].asValueVector() : engine::ValueVector();
        if (std::any_of(group.begin(), group.end(),
                        [tag](const engine::Value& v) { return v.asInt() == tag - TopicManage::kPieceTagBase; })) {
            fillRight(dragged, dragged);
        } else {
            leavePlace(dragged);
        }
        return;
    }
    if (!inSlots()) {
        returnDragged();
        return;
    }
    const int m = tag - TopicManage::kPieceTagBase;
    if (s >= 1 && s <= static_cast<int>(slotContents.size()) && slotContents[s - 1] < 0) {
        const engine::ValueVector letters = data->getImages("OperImgs");
        const std::string file =
            m >= 1 && m <= static_cast<int>(letters.size()) ? letters[m - 1].asString() : std::string();
        engine::Sprite* copy =
            file.empty() ? nullptr : engine::Sprite::create(FileManager::getInstance()->getTopicImgPath() + file);
        // A letter without a picture still fills its slot; only its copy is not shown.
        if (copy) {
            copy->setScale(engine::Director::getInstance()->getContentScaleFactor());
            dragged->setPositionY(slot->getPositionY());
            copy->setPosition(dragged->getPosition());
            dragged->getParent()->addChild(copy);
        }
        slotContents[s - 1] = m;
        // Only a slot filled with its own letter counts, so wrong letters never complete the page.
        const engine::ValueVector answers = data->getFirstAnswers();
        if (s <= static_cast<int>(answers.size()) && answers[s - 1].asInt() == m) {
            fillRight(slot, nullptr);
        }
    }
    returnDragged();
}

void PinYinTopic::showAnswer() {
    TopicManage* data = topicData();
    bool right = false;
    if (inGroups()) {
        const engine::ValueVector groups = data->getAnswers();
        right = true;
        for (size_t k = 0; right && k < groups.size(); ++k) {
            // No box beyond the twelfth: such a group matches only when it is empty.
            static const std::vector<int> kNone;
            right = holdsExactly(k < groupContents.size() ? groupContents[k] : kNone, groups[k].asValueVector());
        }
    } else if (inSlots()) {
        right = numbersEqual(slotContents, data->getFirstAnswers());
    } else if (code() == 319001) {
        markedNumbers.clear();
        for (int i = 1; engine::Node* mark = numbered("HighlightImg", i); ++i) {
            if (mark->isVisible()) {
                markedNumbers.push_back(i);
            }
        }
        right = numbersEqual(markedNumbers, data->getFirstAnswers());
        if (right) {
            if (engine::Node* answer = numbered("AnswerImg", 1)) {
                answer->setVisible(true);
            }
        }
    }
    report(right, nullptr);
}
