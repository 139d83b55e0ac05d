// The drops of the special topic pages and the show-answer checks of the drag codes.
#include <algorithm>

#include "common/AudioManager.h"
#include "common/DragTools.h"
#include "common/UITools.h"
#include "topics/SpecialTopic.h"
#include "topics/TopicManage.h"
#include "ui/ImageView.h"
#include "ui/Widget.h"

namespace {

TopicManage* topicData() {
    return TopicManage::getInstance();
}

bool isSlotCode(int code) {
    return (code >= 101507 && code <= 101515) || code == 101525 || code == 101526 ||
           (code >= 101529 && code <= 101531) || code == 101535 || code == 101538 || code == 101539;
}

bool isCloneCode(int code) {
    return (code >= 101516 && code <= 101520) || code == 101524 || code == 101528 || code == 101532 || code == 101551;
}

bool sameValues(const engine::ValueVector& expected, const std::vector<int>& values) {
    if (expected.size() != values.size()) {
        return false;
    }
    for (size_t i = 0; i < values.size(); ++i) {
        if (expected[i].asInt() != values[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

void SpecialTopic::checkDrop(engine::Node* target) {
    TopicManage* data = topicData();
    const int code = data->getLayoutModel();
    const int t = dragged->getTag();
    const int u = target->getTag();
    const int k = t - TopicManage::kPieceTagBase;
    const int j = u - TopicManage::kTargetTagBase;
    auto atTarget = [this, target] { moveTo(dragged, target); };

    if (code == 101501) {
        const bool right = k == j;
        if (right) {
            busy = true;
            fillRight(target, dragged);
            dragged->setVisible(false);
            target->setVisible(false);
            playAt(target, data->getAnimations(0), false, nullptr);
        } else {
            returnDragged();
        }
        showDropResult(right);
    } else if (code == 101502) {
        if (j > 0) {
            atTarget();
            dropValues.push_back(k);
        } else {
            returnDragged();
        }
    } else if (code == 101503) {
        if (t != u) {
            returnDragged();
            return;
        }
        atTarget();
        if (fillRight(target, dragged) && data->isStepDone()) {
            engine::Node* stage = named("AniImg1");
            for (engine::Node* picture : operImgs) {
                picture->setVisible(false);
            }
            if (stage) {
                stage->setVisible(false);
                playAt(stage, data->getAnimations(0), false, nullptr);
            }
        }
    } else if (code == 101504 || code == 101506) {
        const bool right = t == u;
        if (right) {
            fillRight(target, dragged);
            atTarget();
        } else {
            returnDragged();
        }
        report(right, [this, right] { onFeedbackEnd(right); });
        if (right) {
            celebrate();
        }
    } else if (code == 101505) {
        dropGrouped(target);
    } else if (isSlotCode(code)) {
        dropOnSlot(target);
    } else if (isCloneCode(code)) {
        if (j > 0) {
            cloneAt(target->getParent()->convertToWorldSpace(target->getPosition()));
            dropValues.push_back(k);
        }
        returnDragged();
    } else if (code == 101527) {
        if (t == u) {
            placeAround(target, k);
        } else {
            returnDragged();
        }
    } else if (code >= 101542 && code <= 101549 && code != 101546 && code != 101547) {
        if (k - 1 != j) {
            returnDragged();
            return;
        }
        fillRight(target, dragged);
        if (code == 101542) {
            atTarget();
            return;
        }
        cloneAt(target->getParent()->convertToWorldSpace(target->getPosition()));
        if (code == 101543) {
            target->setVisible(false);
        }
        returnDragged();
    } else if (code == 101301 || code == 101302) {
        if (t != u) {
            returnDragged();
        } else if (engine::Node* place = UITools::seekChildByName(rootNode, "PosNode" + std::to_string(k))) {
            dragged->setLocalZOrder(1);
            moveTo(dragged, place);
        } else {
            atTarget();
        }
    } else if (code == 101303) {
        // The target under the finger takes the picture.
        atTarget();
        if (u == 0) {
            target->setTag(t);
        }
        dropValues.push_back(k);
    } else if (code == 101304) {
        const bool right = t == u;
        if (right) {
            atTarget();
        } else {
            returnDragged();
        }
        report(right, [this, right] { onFeedbackEnd(right); });
    } else {
        returnDragged();
    }
}

void SpecialTopic::dropOnSlot(engine::Node* target) {
    const int k = dragged->getTag() - TopicManage::kPieceTagBase;
    const int slot = target->getTag() - TopicManage::kTargetTagBase - 1;
    // A target beyond the slots the topic has (or numbered 0 or less) takes nothing.
    if (slot < 0 || slot >= static_cast<int>(pupilValues.size()) || pupilValues[slot] > 0) {
        returnDragged();
        return;
    }
    moveTo(dragged, target);
    pupilValues[slot] = k;
}

void SpecialTopic::dropGrouped(engine::Node* target) {
    const int t = dragged->getTag();
    if (t != target->getTag()) {
        returnDragged();
    } else {
        moveTo(dragged, target);
        // A picture put back on its target again is not counted twice.
        if (fillRight(target, dragged)) {
            (t <= TopicManage::kPieceTagBase + 5 ? dropValues : pupilValues).push_back(t);
        }
    }
    runGroupRule();
}

void SpecialTopic::runGroupRule() {
    struct Group {
        std::vector<int>& values;
        const char* image;
        int animation;
    };
    for (const Group& group : {Group{dropValues, "ResultImg1", 0}, Group{pupilValues, "ResultImg2", 1}}) {
        if (group.values.size() != 5) {
            continue;
        }
        group.values.clear();
        if (engine::Node* image = named(group.image)) {
            image->setVisible(false);
            playAt(image, topicData()->getAnimations(group.animation), true, [image] { image->setVisible(true); });
        }
    }
}

void SpecialTopic::showDropResult(bool right) {
    engine::Node* stage = named("AniImg1");
    if (stage) {
        stage->setVisible(false);
        playAt(stage, topicData()->getResultAnimation(right), true, [this, stage] { onResultAnimationEnd(stage); });
    } else {
        busy = false;
    }
    AudioManager::getInstance()->playVoice(right ? "RightCommon.mp3" : "WrongCommon.mp3", nullptr, false);
}

void SpecialTopic::placeAround(engine::Node* target, int k) {
    const engine::Vec2 at = target->getPosition();
    const engine::Size size = target->getContentSize();
    const engine::Vec2 offsets[] = {
        {0, size.height * 0.5f}, {0, -size.height * 0.5f}, {0, 0}, {size.width * 0.5f, 0}, {-size.width * 0.5f, 0}};
    if (k < 1 || k > 5) {
        return;
    }
    const engine::Vec2 place = at + offsets[k - 1];
    const engine::Node* parent = target->getParent();
    DragTools::placeAt(dragged, parent ? parent->convertToWorldSpace(place) : place);
}

void SpecialTopic::cloneAt(const engine::Vec2& worldPoint) {
    auto* picture = dynamic_cast<engine::ui::Widget*>(dragged);
    if (!picture) {
        return;
    }
    engine::ui::Widget* copy = picture->clone();
    copy->setVisible(true);
    addChild(copy);
    DragTools::placeAt(copy, worldPoint);
}

void SpecialTopic::showSlotAnswers() {
    TopicManage* data = topicData();
    const int code = data->getLayoutModel();
    if (code == 101502 || code == 101303) {
        const engine::ValueVector answers = data->getAnswers();
        const bool right =
            answers.empty() || std::any_of(answers.begin(), answers.end(), [this](const engine::Value& v) {
                return sameValues(v.asValueVector(), dropValues);
            });
        report(right, [this, right] { onFeedbackEnd(right); });
    } else if (code == 101507) {
        if (data->isStepDone()) {
            return;
        }
        const engine::ValueVector answers = data->getFirstAnswers();
        const engine::ValueVector marks = data->getImages("AnswerImgs");
        bool right = true;
        for (size_t i = 0; i < answers.size(); ++i) {
            // A slot without a target or a value is wrong.
            const bool match = i < panelImgs.size() && i < pupilValues.size() && answers[i].asInt() == pupilValues[i];
            right = right && match;
            const size_t mark = match ? 1 : 0;
            auto* image = i < panelImgs.size() ? dynamic_cast<engine::ui::ImageView*>(panelImgs[i]) : nullptr;
            if (image && mark < marks.size()) {
                image->loadTexture(marks[mark].asString());
            }
        }
        report(right, nullptr);
    } else {
        report(sameValues(data->getAnswers(), pupilValues), nullptr);
    }
}
