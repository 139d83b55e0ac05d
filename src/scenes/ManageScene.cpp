#include "scenes/ManageScene.h"

#include <set>
#include <string>
#include <vector>

#include "base/Director.h"
#include "base/StringUtils.h"
#include "common/AudioManager.h"
#include "common/GDataManager.h"
#include "common/UITools.h"
#include "net/CoursewareManager.h"
#include "net/SqManager.h"
#include "scenes/ResourceScene.h"
#include "scenes/SceneWidgets.h"
#include "ui/ImageView.h"
#include "ui/Widget.h"

using engine::Node;
using engine::StringUtils::format;

namespace {

constexpr int kStageTagBase = 50000;
constexpr int kStages = 4;
constexpr int kRows = 12;

} // namespace

bool ManageScene::init() {
    if (!BaseScene::init()) {
        return false;
    }
    AudioManager::getInstance()->playBackgroundMusic();
    return true;
}

void ManageScene::initRes() {
    rootNode = UITools::createCsbNode("ManageScene.csb");
    if (!rootNode) {
        return;
    }
    addChild(rootNode);
    GDataManager* data = GDataManager::getInstance();
    if (auto* title = SceneWidgets::find<engine::ui::ImageView>(rootNode, "TitleImg")) {
        title->loadTexture(format("Resouse/img_Title%d.png", data->gradeCode));
    }
    SceneWidgets::bindClick(
        rootNode, "Btn_Return", [this] { onReturn(); }, true);
    SceneWidgets::bindClick(
        rootNode, "DownAllBtn", [] {}, false);
    for (int stage = 1; stage <= kStages; ++stage) {
        if (auto* tab = SceneWidgets::find<engine::ui::Widget>(rootNode, format("StageBtn%d", stage))) {
            tab->addClickEventListener([this](engine::Ref* sender) { onStageClicked(sender); });
            tab->setHighlighted(stage == 1);
        }
    }
    data->phaseCode = 1;
    refreshRows();
}

void ManageScene::refreshRows() {
    const GDataManager* data = GDataManager::getInstance();
    // The grade's lectures of the chosen stage, in list order, and the packages on this computer.
    std::vector<CoursewareData> lectures;
    for (const CoursewareData& record : CoursewareManager::getInstance()->getCoursewareList(data->gradeCode)) {
        if (record.StageCode == data->phaseCode) {
            lectures.push_back(record);
        }
    }
    std::set<std::string> local;
    for (const CoursewareData& record : SqManager::getInstance()->getCoursewareList(data->gradeCode)) {
        local.insert(record.Identify);
    }
    for (int row = 1; row <= kRows; ++row) {
        if (auto* remove = SceneWidgets::find<engine::ui::Widget>(rootNode, format("DeleteBtn%d", row))) {
            remove->setVisible(false);
            remove->addClickEventListener([this, row](engine::Ref* sender) { onDeleteClicked(sender, row); });
        }
        auto* rowNode = SceneWidgets::find<engine::ui::Widget>(rootNode, format("DownloadBg%d", row));
        if (!rowNode) {
            continue;
        }
        rowNode->setTouchEnabled(true);
        rowNode->addClickEventListener([this, row](engine::Ref* sender) { onRowClicked(sender, row); });
        if (Node* image = UITools::seekChildByName(rowNode, "Image")) {
            image->setVisible(false);
        }
        const bool shown = row <= static_cast<int>(lectures.size());
        rowNode->setVisible(shown);
        if (!shown) {
            continue;
        }
        const CoursewareData& lecture = lectures[row - 1];
        SceneWidgets::setText(rowNode, "Text", format("%d. %s", lecture.LectureCode, lecture.LectureName.c_str()));
        SceneWidgets::setPercent(rowNode, local.count(lecture.Identify) ? 100 : 0);
    }
}

void ManageScene::onStageClicked(engine::Ref* sender) {
    for (int stage = 1; stage <= kStages; ++stage) {
        if (auto* tab =
                dynamic_cast<engine::ui::Widget*>(UITools::seekChildByName(rootNode, format("StageBtn%d", stage)))) {
            tab->setHighlighted(false);
        }
    }
    auto* clicked = dynamic_cast<engine::ui::Widget*>(sender);
    if (!clicked) {
        return;
    }
    clicked->setHighlighted(true);
    GDataManager::getInstance()->phaseCode = clicked->getTag() - kStageTagBase;
    refreshRows();
}

void ManageScene::onRowClicked(engine::Ref*, int) {
    refreshRows();
}

void ManageScene::onDeleteClicked(engine::Ref*, int) {}

void ManageScene::onReturn() {
    if (ResourceScene* scene = ResourceScene::create()) {
        engine::Director::getInstance()->replaceScene(scene);
    }
}
