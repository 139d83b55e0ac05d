#include "topics/DemoTopic.h"

#include <algorithm>

#include "base/Director.h"
#include "base/StringUtils.h"
#include "base/Touch.h"
#include "common/AudioManager.h"
#include "common/DragTools.h"
#include "common/GDataManager.h"
#include "common/SFAnimation.h"
#include "common/UITools.h"
#include "common/FileManager.h"
#include "scene/Sprite.h"
#include "topics/TopicManage.h"
#include "ui/Text.h"
#include "ui/Widget.h"

const std::array<const char*, 21> TopicNumberTable = {"0",  "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9", "10",
                                                      "11", "12", "13", "14", "15", "16", "17", "18", "19", "20"};
const std::array<const char*, 9> TopicNumberTable3 = {"3", "4", "5", "6", "7", "8", "9", "10", "11"};

namespace {

constexpr float kRaisedDrop = 30.f;

TopicManage* topicData() {
    return TopicManage::getInstance();
}

void setTouch(engine::Node* node, bool enabled) {
    if (auto* widget = dynamic_cast<engine::ui::Widget*>(node)) {
        widget->setTouchEnabled(enabled);
    }
}

void removeFrom(std::vector<engine::Node*>& list, engine::Node* node) {
    list.erase(std::remove(list.begin(), list.end(), node), list.end());
}

} // namespace

DemoTopic::~DemoTopic() {
    AudioManager::getInstance()->voiceCallback = nullptr;
}

void DemoTopic::initData() {
    DragTopicLayer::initData();
    busy = false;
    placedItems.clear();
    lastFrameSprite = nullptr;
    pickedItem = lastTarget = stepSnapshot = pairIndex = clickedItem = 0;
    slotItems.fill(0);
    targetItems.fill(0);
}

void DemoTopic::initRes() {
    if (!loadPage()) {
        return;
    }
    topicData()->loadTopicImages(rootNode, true);
    arrangeWidgets();
    initOperClick();
    collectPictures();
    const int code = topicData()->getLayoutModel();
    auto hide = [this](const char* prefix, int first, int last) {
        for (int k = first; k <= last; ++k) {
            if (engine::Node* node = numbered(prefix, k)) {
                node->setVisible(false);
            }
        }
    };
    if (code == 100107) {
        hide("AniImg", 2, 6);
    } else if (code == 100108) {
        hide("OperImg", 3, 6);
    } else if (code == 100114) {
        hide("AniImg", 1, 1);
    }
}

void DemoTopic::arrangeWidgets() {
    TopicManage* data = topicData();
    const int code = data->getLayoutModel();
    if (among(code, {100101, 100111, 100122, 100110})) {
        data->initContentPanel(rootNode, "OperImg", 1, 0, 0, 0);
    }
    if (code == 100110 || code == 100116) {
        data->initContentPanel(rootNode, "PanelImg", 1, 0, 0, 0);
    }
}

void DemoTopic::initOperClick() {
    const int code = topicData()->getLayoutModel();
    if (!among(code, {100102, 100105, 100109, 100107, 100108})) {
        return;
    }
    const auto pictures = topicData()->getWidget(rootNode, "OperImg", 1);
    for (size_t k = 0; k < pictures.size(); ++k) {
        bindClick(pictures[k], [this](engine::ui::Widget* sender) { onOperClick(sender); });
        if ((code == 100107 && k >= 1) || (code == 100108 && k >= 2)) {
            pictures[k]->setTouchEnabled(false);
        }
    }
}

bool DemoTopic::onTouchBegan(engine::Touch* touch, engine::Event* event) {
    return DragTopicLayer::onTouchBegan(touch, event) && !busy;
}

void DemoTopic::onTouchEnded(engine::Touch* touch, engine::Event* event) {
    if (!dragged) {
        return;
    }
    const engine::Vec2 location = touch->getLocation();
    engine::Node* target = DragTools::firstHit(panelImgs, location);
    if (!target) {
        returnDragged();
        return;
    }
    const int i = static_cast<int>(std::find(panelImgs.begin(), panelImgs.end(), target) - panelImgs.begin());
    const int n = target->getTag() - TopicManage::kTargetTagBase;
    const int m = dragged->getTag() - TopicManage::kPieceTagBase;
    if (!dropOnTarget(target, n, i, m, location)) {
        returnDragged();
    }
}

bool DemoTopic::dropOnTarget(engine::Node* target, int n, int i, int m, const engine::Vec2& location) {
    TopicManage* data = topicData();
    const int code = data->getLayoutModel();
    const engine::ValueVector answers = data->getFirstAnswers();
    auto snap = [this, target] { dragged->setPosition(target->getPosition()); };
    auto markRight = [this, target, snap](bool raised) {
        dragged->setLocalZOrder(1);
        target->setLocalZOrder(2);
        snap();
        if (raised) {
            dragged->setPositionY(target->getPositionY() + kRaisedDrop);
        }
        fillRight(target, dragged);
        report(true, nullptr);
    };
    switch (code) {
    case 100105:
        if (m < 1 || entryAt(answers, m - 1) != n) {
            return false;
        }
        markRight(false);
        return true;
    case 100110:
    case 100111:
        if (n < 1 || entryAt(answers, n - 1) != m) {
            return false;
        }
        markRight(code == 100111);
        return true;
    case 100104:
    case 100112:
    case 100117:
    case 100119:
    case 100120:
    case 100121:
    case 100122:
    case 100123:
    case 100124:
        DragTools::placeAt(dragged, location);
        return true;
    case 100118:
        if (auto* picture = dynamic_cast<engine::ui::Widget*>(dragged)) {
            engine::ui::Widget* copy = picture->clone();
            copy->setVisible(true);
            addChild(copy);
            DragTools::placeAt(copy, location);
        }
        return false;
    case 100106:
        if (n < 1 || n >= static_cast<int>(slotItems.size()) || slotItems[n] > 0) {
            return false;
        }
        snap();
        slotItems[n] = m;
        return true;
    case 100113:
    case 100114:
    case 100115:
    case 100116:
        if (n < 1 || entryAt(answers, n - 1) <= 0 || i >= static_cast<int>(targetItems.size()) || targetItems[i] != 0) {
            return false;
        }
        if ((code == 100113 && (m < 0 || m >= static_cast<int>(TopicNumberTable.size()))) ||
            (code == 100115 && (m < 1 || m > static_cast<int>(TopicNumberTable3.size())))) {
            return false;
        }
        targetItems[i] = m;
        snap();
        removeFrom(operImgs, dragged);
        if (code == 100113 || code == 100115) {
            dragged->setVisible(false);
            writeNumber(target, m);
        } else if (code == 100114) {
            placedItems.push_back(dragged);
        }
        return true;
    default:
        if (n == lastTarget) {
            return false;
        }
        lastTarget = n;
        DragTools::placeAt(dragged, location);
        demoStep(m);
        return true;
    }
}

void DemoTopic::writeNumber(engine::Node* target, int m) {
    auto* text = dynamic_cast<engine::ui::Text*>(UITools::seekChildByName(target, "Content"));
    if (!text) {
        return;
    }
    const float factor = engine::Director::getInstance()->getContentScaleFactor();
    const engine::Size size = target->getContentSize();
    text->setTextAreaSize(engine::Size(size.width * factor, size.height * factor));
    text->setPosition(size.width * 0.5f, size.height * 0.5f);
    text->setString(topicData()->getLayoutModel() == 100113 ? TopicNumberTable[m] : TopicNumberTable3[m - 1]);
}

void DemoTopic::demoStep(int m) {
    TopicManage* data = topicData();
    ++data->stepCount;
    if (pickedItem > 0) {
        pairIndex = getPairIndex(pickedItem, m);
    }
    pickedItem = m;
    stepSnapshot = data->stepCount;
    playDemoAnimation();
}

int DemoTopic::getPairIndex(int a, int b) {
    switch (a * 10 + b) {
    case 12:
    case 21:
        return 1;
    case 13:
    case 31:
        return 2;
    case 23:
    case 32:
        return 3;
    default:
        return 0;
    }
}

std::string DemoTopic::demoAnimationName() const {
    const GDataManager* global = GDataManager::getInstance();
    const TopicManage* data = topicData();
    const std::string id = engine::StringUtils::format("%d%d%.2d%d%d-%d%d%d%d", global->gradeCode, global->phaseCode,
                                                       global->lessonNumber, data->contentKind, data->currentTopic + 1,
                                                       pickedItem, lastTarget, stepSnapshot, pairIndex);
    return FileManager::getInstance()->getTopicAniPath() + id;
}

void DemoTopic::playDemoAnimation() {
    if (busy) {
        return;
    }
    const std::string name = demoAnimationName();
    if (lastFrameSprite) {
        lastFrameSprite->removeFromParentAndCleanup(true);
        lastFrameSprite = nullptr;
    }
    if (dragged) {
        dragged->setVisible(false);
    }
    engine::Node* stage = numbered("AniImg", 1);
    if (!stage) {
        return;
    }
    busy = true;
    stage->setVisible(false);
    playAt(stage, name, true, [this] { onDemoAnimationEnd(); });
    const std::string frames =
        engine::valueOrNull(SFAnimation::getInstance()->getAnimationInfo(name), "Frames").asString();
    const std::string file = name + "/" + FileManager::getFileName(name) + frames + ".png";
    engine::Sprite* last = frames.empty() ? nullptr : engine::Sprite::create(file);
    // A missing last frame leaves the place empty.
    if (last && stage->getParent()) {
        last->setAnchorPoint(engine::Vec2(0.5f, 0.5f));
        last->setScale(engine::Director::getInstance()->getContentScaleFactor());
        last->setPosition(stage->getPosition());
        last->setVisible(false);
        stage->getParent()->addChild(last);
        lastFrameSprite = last;
    }
}

void DemoTopic::onDemoAnimationEnd() {
    busy = false;
    if (lastFrameSprite) {
        lastFrameSprite->setVisible(true);
    }
}

void DemoTopic::onChainAnimationEnd() {
    if (clickedItem >= 0 && clickedItem < static_cast<int>(operImgs.size())) {
        setTouch(operImgs[clickedItem], true);
    }
}

void DemoTopic::onOperClick(engine::ui::Widget* sender) {
    TopicManage* data = topicData();
    if (data->isStepDone()) {
        return;
    }
    const int code = data->getLayoutModel();
    const int m = sender->getTag() - TopicManage::kPieceTagBase;
    auto reveal = [this, data](int number, engine::Node* at) {
        engine::Node* answer = numbered("AnswerImg", number);
        if (!answer || answer->isVisible()) {
            return false;
        }
        if (at) {
            answer->setPosition(at->getPosition());
        }
        answer->setVisible(true);
        ++data->stepCount;
        return true;
    };
    auto showPicture = [this](int index, bool touch) {
        if (index < 0 || index >= static_cast<int>(operImgs.size())) {
            return false;
        }
        operImgs[index]->setVisible(true);
        if (touch) {
            setTouch(operImgs[index], true);
        }
        return true;
    };
    switch (code) {
    case 100105: {
        const bool right = data->isInFirstAnswers(sender);
        engine::Node* answer = numbered("AnswerImg", data->stepCount + 1);
        // A right picture counts once: tapped again it reveals no further answer.
        if (right && answer && !answer->isVisible() && fillRight(sender, sender)) {
            answer->setPosition(sender->getPosition());
            answer->setVisible(true);
        }
        report(right, nullptr);
        break;
    }
    case 100102:
        if (!data->isInFirstAnswers(sender)) {
            report(false, nullptr);
        } else if (!busy) {
            sender->setVisible(false);
            demoStep(m);
        }
        break;
    case 100107:
        if (m < 1 || m > static_cast<int>(operImgs.size())) {
            break;
        }
        clickedItem = m;
        setTouch(operImgs[m - 1], false);
        SFAnimation::getInstance()->playAnimationAtNode(numbered("AniImg", m), data->getAnimations(m - 1), false,
                                                        life.guard([this] { onChainAnimationEnd(); }), true, 0, 0);
        ++data->stepCount;
        break;
    case 100108:
        if (m == 1 || m == 2) {
            reveal(m, nullptr);
        } else if ((m == 3 || m == 4) && m - 1 < static_cast<int>(operImgs.size()) && !operImgs[m - 1]->isVisible()) {
            showPicture(m - 1, true);
            showPicture(m + 1, false);
            ++data->stepCount;
        }
        break;
    case 100109:
        if (engine::Node* answer = numbered("AnswerImg", m); answer && !answer->isVisible()) {
            answer->setVisible(true);
            sender->setVisible(false);
            ++data->stepCount;
            if (data->isStepDone()) {
                if (engine::Node* background = numbered("BgImg", 1)) {
                    background->setVisible(false);
                }
            }
        }
        break;
    default:
        break;
    }
}

void DemoTopic::showAnswer() {
    TopicManage* data = topicData();
    const int code = data->getLayoutModel();
    if (!among(code, {100106, 100113, 100114, 100115, 100116})) {
        return;
    }
    const engine::ValueVector answers = data->getFirstAnswers();
    bool right = true;
    for (size_t i = 0; right && i < answers.size(); ++i) {
        if (code == 100106) {
            right = i + 1 < slotItems.size() && answers[i].asInt() == slotItems[i + 1];
        } else {
            right = i < targetItems.size() && answers[i].asInt() == targetItems[i];
        }
    }
    if (right && (code == 100113 || code == 100115)) {
        const engine::Color4B colour =
            code == 100113 ? engine::Color4B(104, 179, 225, 255) : engine::Color4B(255, 173, 55, 255);
        for (engine::Node* target : panelImgs) {
            if (auto* text = dynamic_cast<engine::ui::Text*>(UITools::seekChildByName(target, "Content"))) {
                text->setTextColor(colour);
            }
        }
    } else if (right && code == 100114) {
        if (engine::Node* content = numbered("ContImg", 1)) {
            content->setVisible(false);
        }
        for (engine::Node* placed : placedItems) {
            placed->setVisible(false);
        }
        SFAnimation::getInstance()->playAnimationAtNode(numbered("AniImg", 1), data->getAnimations(0), false, nullptr,
                                                        false, 0, 0);
    }
    report(right, nullptr);
}
