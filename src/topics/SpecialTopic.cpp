#include "topics/SpecialTopic.h"

#include <algorithm>

#include "base/Touch.h"
#include "common/AudioManager.h"
#include "common/DragTools.h"
#include "common/UITools.h"
#include "topics/TopicManage.h"
#include "ui/Widget.h"

namespace {

TopicManage* topicData() {
    return TopicManage::getInstance();
}

} // namespace

void SpecialTopic::initData() {
    DragTopicLayer::initData();
    busy = false;
    selectedTag = 0;
    keyValid = false;
    celebrated = false;
    pupilValues.clear();
    dropValues.clear();
    tappedNodes.clear();
    // 101505 counts its second group here, which must start empty to hold exactly its five pictures.
    if (topicData()->getLayoutModel() != 101505) {
        pupilValues.assign(topicData()->getImages("PanelImgs").size(), 0);
    }
}

void SpecialTopic::initRes() {
    if (!loadPage()) {
        return;
    }
    topicData()->loadTopicImages(rootNode, true);
    collectPictures();
    setUpByCode(topicData()->getLayoutModel());
}

void SpecialTopic::bindOperClicks() {
    for (engine::Node* picture : operImgs) {
        bindClick(dynamic_cast<engine::ui::Widget*>(picture), [this](engine::ui::Widget* w) { onOperClick(w); });
    }
}

void SpecialTopic::setUpByCode(int code) {
    TopicManage* data = topicData();
    auto arrange = [this, data] { data->initContentPanel(rootNode, "OperImg", 1, 0, 0, 0); };
    auto hide = [this](const char* name) {
        if (engine::Node* node = named(name)) {
            node->setVisible(false);
        }
    };
    if (code == 101801 || code == 101202 || code == 101515 || code == 101525 || code == 101537) {
        arrange();
    }
    if (among(code, {101101, 101201, 101401, 101402})) {
        bindOperClicks();
        for (size_t k = 0; k < panelImgs.size(); ++k) {
            bindClick(dynamic_cast<engine::ui::Widget*>(panelImgs[k]),
                      [this, k](engine::ui::Widget* w) { onPanelClick(w, static_cast<int>(k)); });
        }
    } else if ((code >= 101202 && code <= 101213) || among(code, {101601, 101701, 101801, 101802})) {
        bindOperClicks();
        if (code == 101203) {
            for (size_t k = 1; k < operImgs.size(); ++k) {
                operImgs[k]->setVisible(false);
            }
        } else if (code == 101802) {
            hide("AniImg1");
        }
    } else if (code == 101301) {
        if (engine::Node* background = named("BgImg1")) {
            background->setLocalZOrder(2);
        }
        for (engine::Node* picture : operImgs) {
            picture->setLocalZOrder(3);
        }
    } else if (code == 101507) {
        for (int i = 1; i <= 3; ++i) {
            bindClick(numbered("ContImg", i), [i](engine::ui::Widget*) {
                AudioManager::getInstance()->playVoice(topicData()->getContentDubbing(i - 1), nullptr, false);
            });
        }
    } else if (code == 101537) {
        for (size_t k = 21; k < operImgs.size(); ++k) {
            operImgs[k]->setVisible(false);
        }
        bindClick(named("ContImg2"), [this](engine::ui::Widget* w) { onOperClick(w); });
    } else if (code == 101901) {
        hide("ContImg2");
        bindClick(named("PanelImg1"), [this](engine::ui::Widget*) {
            if (engine::Node* keypad = named("ContImg2")) {
                keypad->setVisible(true);
            }
        });
        bindOperClicks();
    } else if (code == 101902 || code == 101903) {
        hide("ContImg2");
        for (int k = 1; k <= static_cast<int>(panelImgs.size()); ++k) {
            bindClick(numbered("PanelImg", k), [this](engine::ui::Widget* w) { onOperClick(w); });
        }
    }
}

bool SpecialTopic::onTouchBegan(engine::Touch* touch, engine::Event* event) {
    return pickAt(touch->getLocation(), PickRule::FirstRaised) && !busy;
}

void SpecialTopic::onTouchEnded(engine::Touch* touch, engine::Event* event) {
    if (!dragged) {
        return;
    }
    const engine::Vec2 location = touch->getLocation();
    const int code = topicData()->getLayoutModel();
    engine::Node* target = DragTools::firstHit(panelImgs, location);
    if (target) {
        checkDrop(target);
    }
    afterDrop(code, target != nullptr, location);
    if (code == 101303 && target) {
        auto it = std::find(operImgs.begin(), operImgs.end(), dragged);
        if (it != operImgs.end()) {
            operImgs.erase(it);
        }
    }
    dragged = nullptr;
}

void SpecialTopic::afterDrop(int code, bool hit, const engine::Vec2& location) {
    if (among(code, {101521, 101523, 101534, 101546, 101547})) {
        cloneAt(location);
        returnDragged();
    } else if (among(code, {101522, 101540, 101541, 101550})) {
        DragTools::placeAt(dragged, location);
    } else if (code == 101533 || code == 101536 || code == 101537) {
        bool any = false;
        for (engine::Node* target : panelImgs) {
            if (target->isVisible() && DragTools::hits(target, location)) {
                any = true;
            }
        }
        if (!any) {
            returnDragged();
        } else if (code == 101537) {
            dragged->setVisible(false);
        } else {
            DragTools::placeAt(dragged, location);
        }
    } else if (!hit) {
        returnDragged();
    }
}

void SpecialTopic::showAnswer() {
    const int code = topicData()->getLayoutModel();
    if (among(code, {101601, 101801})) {
        const engine::ValueVector answers = topicData()->getFirstAnswers();
        bool right = answers.size() == pupilValues.size();
        for (size_t i = 0; right && i < answers.size(); ++i) {
            right = answers[i].asInt() == pupilValues[i];
        }
        report(right, code == 101801 ? Callback([this, right] { onFeedbackEnd(right); }) : Callback());
    } else if (code == 101802) {
        showSwapAnswer();
    } else {
        showSlotAnswers();
    }
}

void SpecialTopic::onFeedbackEnd(bool right) {
    busy = false;
    if (right) {
        celebrate();
    }
}

void SpecialTopic::onResultAnimationEnd(engine::Node* node) {
    busy = false;
    if (node) {
        node->setVisible(true);
    }
}

void SpecialTopic::celebrate() {
    if (celebrated || !topicData()->isStepDone()) {
        return;
    }
    celebrated = true;
    topicData()->playRightFeedback(getParent());
}

void SpecialTopic::moveTo(engine::Node* node, const engine::Node* place) {
    if (node && place) {
        const engine::Node* parent = place->getParent();
        DragTools::placeAt(node, parent ? parent->convertToWorldSpace(place->getPosition()) : place->getPosition());
    }
}

engine::ui::Widget* SpecialTopic::named(const std::string& name) const {
    return dynamic_cast<engine::ui::Widget*>(UITools::seekChildByName(rootNode, name));
}
