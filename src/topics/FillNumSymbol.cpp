#include "topics/FillNumSymbol.h"

#include "base/Touch.h"
#include "common/DragTools.h"
#include "common/UITools.h"
#include "topics/DemoTopic.h"
#include "topics/TopicManage.h"
#include "ui/Text.h"
#include "ui/Widget.h"

const std::array<const char*, 21>& TopicNumberTable2 = TopicNumberTable;
const std::array<const char*, 5> TopicSymbolTable = {"+", "-", "*", "\xC3\xB7", "="};

namespace {

constexpr int kNumberBlankTag = 20001;
constexpr int kSymbolBlankTag = 20002;
constexpr int kFirstSymbol = 101;

TopicManage* topicData() {
    return TopicManage::getInstance();
}

bool isFreeCode(int code) {
    return code == 701 || code == 708 || code == 713 || code == 714;
}

// The text of a number tile; null outside the table.
const char* numberText(int value) {
    return value >= 0 && value < static_cast<int>(TopicNumberTable2.size()) ? TopicNumberTable2[value] : nullptr;
}

const char* symbolText(int value) {
    const int index = value - kFirstSymbol;
    return index >= 0 && index < static_cast<int>(TopicSymbolTable.size()) ? TopicSymbolTable[index] : nullptr;
}

void showText(engine::Node* blank, const std::string& text) {
    if (auto* content = dynamic_cast<engine::ui::Text*>(UITools::seekChildByName(blank, "Content"))) {
        content->setString(text);
    }
}

} // namespace

void FillNumSymbol::initData() {
    DragTopicLayer::initData();
    filledValues.assign(topicData()->getImages("PanelImgs").size(), 0);
}

void FillNumSymbol::initRes() {
    if (!loadPage()) {
        return;
    }
    topicData()->loadTopicImages(rootNode, true);
    arrangeWidgets();
}

void FillNumSymbol::arrangeWidgets() {
    TopicManage* data = topicData();
    const int code = data->getLayoutModel();
    const int tiles = static_cast<int>(data->getWidget(rootNode, "OperImg", 1).size());
    if (code == 701 || code == 713) {
        data->initContentPanel(rootNode, "PanelImg", 1, 0, 0, 0);
        data->initContentPanel(rootNode, "OperImg", 1, 1, tiles, 1);
    } else if (code == 708) {
        data->initContentPanel(rootNode, "OperImg", 1, 1, tiles, 1);
    }
    collectPictures();
}

bool FillNumSymbol::onTouchBegan(engine::Touch* touch, engine::Event* event) {
    return !topicData()->isStepDone() && pickAt(touch->getLocation(), PickRule::First);
}

void FillNumSymbol::onTouchEnded(engine::Touch* touch, engine::Event* event) {
    if (!dragged) {
        return;
    }
    const engine::Vec2 location = touch->getLocation();
    DragTools::placeAt(dragged, location);
    for (size_t i = 0; i < panelImgs.size(); ++i) {
        if (panelImgs[i]->isVisible() && DragTools::hits(panelImgs[i], location)) {
            dropOnBlank(panelImgs[i], static_cast<int>(i), dragged->getTag() - TopicManage::kPieceTagBase);
            break;
        }
    }
    // Tiles are never used up.
    returnDragged();
    dragged = nullptr;
}

void FillNumSymbol::dropOnBlank(engine::Node* blank, int index, int value) {
    const int code = topicData()->getLayoutModel();
    if (isFreeCode(code)) {
        fillFreely(blank, index, value);
    } else if (code >= 702 && code <= 712) {
        fillChecked(blank, index, value);
    }
}

void FillNumSymbol::fillFreely(engine::Node* blank, int index, int value) {
    const char* text = nullptr;
    if (blank->getTag() == kNumberBlankTag && value < kFirstSymbol) {
        text = numberText(value);
    } else if (blank->getTag() == kSymbolBlankTag && value >= kFirstSymbol) {
        text = symbolText(value);
    }
    // A tile no table names, or a blank the picture list does not cover, is ignored.
    if (!text || index >= static_cast<int>(filledValues.size())) {
        return;
    }
    showText(blank, text);
    filledValues[index] = value;
}

void FillNumSymbol::fillChecked(engine::Node* blank, int index, int value) {
    TopicManage* data = topicData();
    const int code = data->getLayoutModel();
    const int answer = entryAt(data->getFirstAnswers(), index);
    if (answer < 0) {
        return;
    }
    if (code >= 709) {
        if (answer == value) {
            showText(blank, std::to_string(value));
            fillRight(blank, nullptr);
            data->playRightFeedback(getParent());
        }
        return;
    }
    // A tile outside the number table is judged wrong.
    const bool right = answer == value && numberText(value);
    if (right) {
        if (code != 707) {
            showText(blank, numberText(value));
        } else if (value == 2 || value == 6) {
            showText(blank, value == 2 ? "6" : "+4");
        }
        fillRight(blank, nullptr);
        data->playRightFeedback(getParent());
    }
    report(right, nullptr);
    playClosingAnimation();
}

void FillNumSymbol::playClosingAnimation() {
    TopicManage* data = topicData();
    const std::string name = data->getAnimations(0);
    engine::ui::Widget* stage = numbered("AniImg", 1);
    if (!data->isStepDone() || name.empty() || !stage) {
        return;
    }
    stage->setVisible(false);
    playAt(stage, name, true, nullptr);
}

void FillNumSymbol::showAnswer() {
    TopicManage* data = topicData();
    const engine::ValueVector answers = data->getFirstAnswers();
    // Blanks the answers do not cover make the equation wrong.
    bool right = filledValues.size() <= answers.size();
    for (size_t i = 0; right && i < filledValues.size(); ++i) {
        right = filledValues[i] == answers[i].asInt();
    }
    engine::ui::Widget* stage = numbered("AniImg", 1);
    const std::string name = data->getAnimations(0);
    if (right && stage && stage->isVisible() && !name.empty()) {
        stage->setVisible(false);
        playAt(stage, name, false, nullptr);
    }
    report(right, nullptr);
    if (right) {
        // The whole page is the one place show answer fills.
        fillRight(this, nullptr);
    }
}
