#include "topics/ClickColor.h"

#include "topics/TopicManage.h"
#include "ui/Widget.h"

namespace {

constexpr int kRowCode = 403;
constexpr float kChosenScale = 1.2f;

} // namespace

void ClickColor::initRes() {
    if (!loadPage()) {
        return;
    }
    TopicManage* data = TopicManage::getInstance();
    data->loadTopicImages(rootNode, true);
    data->initContentPanel(rootNode, "PanelImg", 1, 0, 0, 0);
    const int swatchCount = static_cast<int>(data->getImages("OperImgs").size());
    if (data->getLayoutModel() == kRowCode) {
        data->initContentPanel(rootNode, "OperImg", 1, 1, swatchCount, 1);
    } else {
        data->initContentPanel(rootNode, "OperImg", 1, 2, 1, swatchCount);
    }
    for (engine::ui::Widget* swatch : data->getWidget(rootNode, "OperImg", 1)) {
        bindClick(swatch, [this](engine::ui::Widget* sender) { onSwatchClick(sender); });
    }
    const engine::ValueVector answers = data->getFirstAnswers();
    const auto regions = data->getWidget(rootNode, "PanelImg", 1);
    for (size_t i = 0; i < regions.size(); ++i) {
        if (i < answers.size()) {
            regions[i]->setTag(TopicManage::kTargetTagBase + answers[i].asInt());
        }
        const int place = static_cast<int>(i);
        bindClick(regions[i], [this, place](engine::ui::Widget* sender) { onRegionClick(sender, place); });
    }
}

void ClickColor::onSwatchClick(engine::ui::Widget* sender) {
    TopicManage* data = TopicManage::getInstance();
    if (data->isStepDone()) {
        return;
    }
    selectedColor = sender->getTag() - TopicManage::kPieceTagBase;
    for (engine::ui::Widget* swatch : data->getWidget(rootNode, "OperImg", 1)) {
        swatch->setScale(1.f);
    }
    sender->setScale(kChosenScale);
}

void ClickColor::onRegionClick(engine::ui::Widget* sender, int index) {
    TopicManage* data = TopicManage::getInstance();
    if (data->isStepDone()) {
        return;
    }
    const bool right = selectedColor == sender->getTag() - TopicManage::kTargetTagBase;
    if (right) {
        engine::ui::Widget* answer = numbered("AnswerImg", index + 1);
        if (answer && !answer->isVisible()) {
            sender->setVisible(false);
            answer->setVisible(true);
            answer->setPosition(sender->getPosition());
            ++data->stepCount;
        }
    }
    report(right, [this] { onFeedbackEnd(); });
}

void ClickColor::onFeedbackEnd() {
    TopicManage::getInstance()->playRightFeedback(getParent());
}
