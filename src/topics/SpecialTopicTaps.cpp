// The taps and keypads of the special topic pages and the show-answer check of the swap code.
#include <algorithm>
#include <string>

#include "common/TipsManager.h"
#include "topics/SpecialTopic.h"
#include "topics/TopicManage.h"
#include "ui/Text.h"
#include "ui/Widget.h"

namespace {

TopicManage* topicData() {
    return TopicManage::getInstance();
}

void show(engine::Node* node, bool visible = true) {
    if (node) {
        node->setVisible(visible);
    }
}

// Shows node at place's position, above the pictures.
void showAt(engine::Node* node, const engine::Node* place) {
    if (node && place) {
        node->setPosition(place->getPosition());
    }
    if (node) {
        node->setLocalZOrder(3);
        node->setVisible(true);
    }
}

} // namespace

void SpecialTopic::highlight(engine::Node* tapped) {
    for (engine::Node* picture : operImgs) {
        picture->setScale(1.f);
    }
    tapped->setScale(1.2f);
}

void SpecialTopic::onOperClick(engine::Ref* sender) {
    auto* tapped = dynamic_cast<engine::Node*>(sender);
    if (!tapped) {
        return;
    }
    TopicManage* data = topicData();
    const int code = data->getLayoutModel();
    const int k = tapped->getTag() - TopicManage::kPieceTagBase;
    engine::ui::Widget* answer = numbered("AnswerImg", k);
    if (code == 101101 || code == 101701) {
        highlight(tapped);
        if (code == 101101) {
            selectedTag = tapped->getTag();
        }
    } else if (code == 101201) {
        for (int n = 1; engine::Node* shown = numbered("AnswerImg", n); ++n) {
            shown->setVisible(false);
        }
        show(answer);
    } else if (among(code, {101202, 101204, 101205, 101206, 101207, 101211, 101213})) {
        showAt(answer, tapped);
    } else if (code == 101210) {
        showAt(answer, named("BgImg1"));
    } else if (code == 101212) {
        showAt(answer, nullptr);
    } else if (code == 101208) {
        engine::Node* content = numbered("ContImg", k);
        if (answer && !answer->isVisible()) {
            showAt(answer, content);
        } else if (answer) {
            showAt(numbered("AnswerImg", k + 4), content);
        }
    } else if (code == 101209) {
        pupilValues.push_back(k);
        const engine::ValueVector answers = data->getAnswers();
        bool right = answers.size() == pupilValues.size();
        for (size_t i = 0; right && i < answers.size(); ++i) {
            right = answers[i].asInt() == pupilValues[i];
        }
        report(right, nullptr);
    } else if (code == 101203) {
        show(tapped, false);
        show(k < static_cast<int>(operImgs.size()) ? numbered("OperImg", k + 1) : numbered("AnswerImg", 1));
    } else if (code == 101401 || code == 101402) {
        const engine::ValueVector answers = data->getFirstAnswers();
        if (data->stepCount >= static_cast<int>(answers.size())) {
            return;
        }
        const bool right = k == answers[data->stepCount].asInt();
        if (right) {
            ++data->stepCount;
            show(numbered("AnswerImg", data->stepCount));
        }
        report(right, [this, right] { onFeedbackEnd(right); });
    } else if (code == 101601) {
        if (!data->voiceBusy) {
            TipsManager::getInstance()->showTipsByKey("SubjectStr1", nullptr, nullptr);
        } else if (std::find(pupilValues.begin(), pupilValues.end(), k) == pupilValues.end()) {
            pupilValues.push_back(k);
            ++data->stepCount;
            tapped->setScale(1.2f);
            data->voiceBusy = false;
        }
    } else if (code == 101537) {
        auto hidden = std::find_if(operImgs.begin(), operImgs.end(), [](engine::Node* n) { return !n->isVisible(); });
        if (hidden != operImgs.end()) {
            (*hidden)->setVisible(true);
        }
    } else if (code == 101801) {
        pupilValues.erase(std::remove(pupilValues.begin(), pupilValues.end(), k), pupilValues.end());
        pupilValues.push_back(k);
        showOrderMarks();
    } else if (code == 101802) {
        highlight(tapped);
        if (tappedNodes.empty() || tappedNodes.front() != tapped) {
            tappedNodes.push_back(tapped);
            swapPair();
        }
    } else if (code == 101901) {
        onKeypad101901(k);
    } else if (code == 101902 || code == 101903) {
        const int text = tapped->getTag() - TopicManage::kTargetTagBase;
        show(named("ContImg2"));
        for (engine::Node* key : operImgs) {
            bindClick(dynamic_cast<engine::ui::Widget*>(key),
                      [this, text](engine::ui::Widget* w) { onKeypadKey(w, text); });
        }
    }
}

void SpecialTopic::showOrderMarks() {
    const int count = static_cast<int>(operImgs.size());
    for (size_t i = 0; i < pupilValues.size(); ++i) {
        const int v = pupilValues[i];
        // The leading zeros of a topic with target pictures, and numbers beyond the pictures, mark nothing.
        if (v < 1 || v > count) {
            continue;
        }
        engine::ui::Widget* mark = numbered("AnswerImg", static_cast<int>(i) + 1);
        if (mark) {
            mark->setVisible(true);
            mark->setLocalZOrder(3);
            mark->setPosition(operImgs[v - 1]->getPosition());
        }
    }
}

void SpecialTopic::swapPair() {
    if (tappedNodes.size() < 2) {
        return;
    }
    engine::Node* a = tappedNodes[0];
    engine::Node* b = tappedNodes[1];
    const engine::Vec2 at = a->getPosition();
    const int tag = a->getTag();
    a->setPosition(b->getPosition());
    a->setTag(b->getTag());
    b->setPosition(at);
    b->setTag(tag);
    a->setScale(1.f);
    b->setScale(1.f);
    tappedNodes.clear();
}

void SpecialTopic::onKeypad101901(int k) {
    auto* entered = dynamic_cast<engine::ui::Text*>(named("Content1"));
    auto* result = dynamic_cast<engine::ui::Text*>(named("Content2"));
    if (k >= 1 && k <= 10) {
        if (entered) {
            entered->setString(std::to_string(k - 1));
        }
        keyValid = k - 1 >= 1 && k - 1 <= 5;
        if (keyValid) {
            selectedTag = k - 1;
        }
    } else if (k == 11) {
        // The chosen digit itself is shown.
        if (result) {
            result->setString(keyValid ? std::to_string(selectedTag) : "");
        }
        if (!keyValid) {
            report(false, nullptr);
        }
    } else if (k >= 12) {
        if (entered) {
            entered->setString("");
        }
        keyValid = false;
    }
}

void SpecialTopic::onKeypadKey(engine::Ref* sender, int text) {
    auto* key = dynamic_cast<engine::Node*>(sender);
    auto* field = dynamic_cast<engine::ui::Text*>(named("Content" + std::to_string(text)));
    if (!key) {
        return;
    }
    const int t = key->getTag();
    if (t == TopicManage::kPieceTagBase + 11) {
        show(named("ContImg2"), false);
    } else if (!field) {
        return;
    } else if (t == TopicManage::kPieceTagBase + 12) {
        field->setString("");
    } else if (field->getString().size() <= 2 && t > TopicManage::kPieceTagBase &&
               t <= TopicManage::kPieceTagBase + 10) {
        field->setString(field->getString() + std::to_string(t - TopicManage::kPieceTagBase - 1));
    }
}

void SpecialTopic::onPanelClick(engine::Ref* sender, int index) {
    if (topicData()->getLayoutModel() != 101101) {
        return;
    }
    const engine::ValueVector answers = topicData()->getFirstAnswers();
    // A place beyond the answers is wrong.
    const bool right = index >= 0 && index < static_cast<int>(answers.size()) &&
                       answers[index].asInt() + TopicManage::kPieceTagBase == selectedTag;
    if (right) {
        show(numbered("AnswerImg", index + 1));
    }
    report(right, nullptr);
}

void SpecialTopic::showSwapAnswer() {
    TopicManage* data = topicData();
    // One value per picture: the order after the swaps.
    pupilValues.resize(operImgs.size());
    for (size_t i = 0; i < operImgs.size(); ++i) {
        pupilValues[i] = operImgs[i]->getTag() - TopicManage::kPieceTagBase;
    }
    const engine::ValueVector answers = data->getFirstAnswers();
    bool right = answers.size() <= pupilValues.size();
    for (size_t i = 0; right && i < answers.size(); ++i) {
        right = answers[i].asInt() == pupilValues[i];
    }
    if (data->isStepDone()) {
        return;
    }
    if (!right) {
        report(false, nullptr);
        return;
    }
    engine::Node* stage = named("AniImg1");
    if (stage) {
        stage->setVisible(true);
        playAt(stage, data->getAnimations(0), false, nullptr);
    }
    ++data->stepCount;
}
