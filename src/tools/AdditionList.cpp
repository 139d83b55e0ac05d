#include "tools/AdditionList.h"

#include "base/StringUtils.h"
#include "common/PlistManager.h"
#include "common/UITools.h"
#include "common/FileManager.h"
#include "tools/AdditionLayer.h"
#include "tools/BoardRows.h"
#include "tools/ExaminationLayer.h"
#include "ui/Widget.h"

namespace {

constexpr int kTitlesPerPage = 3;

} // namespace

AdditionList::~AdditionList() {
    ExaminationLayer::dropUnusedPictures();
}

void AdditionList::initData() {
    page = 1;
}

void AdditionList::initRes() {
    engine::Node* root = UITools::createCsbNode("AdditionList.csb");
    if (!root) {
        return;
    }
    addChild(root);
    UITools::addClickListener(
        root, [this] { UITools::removeSelf(this); }, false, "BtnClick.mp3", "Btn_Close");
    const engine::ValueVector items =
        PlistManager::getInstance()->getValueVector(FileManager::getInstance()->getTopicPlistPath(), "Addition");
    for (int k = 0; k < kTitlesPerPage; ++k) {
        auto* button = dynamic_cast<engine::ui::Widget*>(
            UITools::seekChildByName(root, engine::StringUtils::format("TitleBtn%d", k + 1)));
        if (!button) {
            continue;
        }
        button->setEnabled(false);
        const int index = kTitlesPerPage * (page - 1) + k;
        if (index >= static_cast<int>(items.size())) {
            BoardRows::setText(button, "TitleText", "");
            continue;
        }
        button->setEnabled(true);
        button->addClickEventListener([this, index](engine::Ref*) { onTitleClicked(index); });
        BoardRows::setText(button, "TitleText",
                           ExaminationLayer::itemString(ExaminationLayer::itemAt(items, index), "Title"));
    }
}

void AdditionList::onTitleClicked(int index) {
    engine::Node* parent = getParent();
    AdditionLayer* viewer = AdditionLayer::create(index);
    retain();
    if (parent && viewer) {
        parent->addChild(viewer);
    }
    removeFromParentAndCleanup(true);
    release();
}
