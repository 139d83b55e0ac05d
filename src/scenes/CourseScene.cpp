#include "scenes/CourseScene.h"

#include "base/Director.h"
#include "common/AudioManager.h"
#include "common/GDataManager.h"
#include "common/UITools.h"
#include "scenes/LoginScene.h"
#include "scenes/SceneWidgets.h"
#include "scenes/SubjectScene.h"
#include "ui/Button.h"

namespace {
constexpr int kTypesPerPage = 4;
}

void CourseScene::initData() {
    GDataManager* data = GDataManager::getInstance();
    data->courseTypeCode = 0;
    data->subjectCode = 0;
    data->gradeCode = 0;
    data->phaseCode = 0;
    data->lessonNumber = 0;
    data->classIdSelected = 0;
    page = 1;
    pageCount = SceneWidgets::pageCountOf(data->courseTypes.size(), kTypesPerPage);
}

void CourseScene::initRes() {
    root = UITools::createCsbNode("CourseScene.csb");
    if (!root) {
        return;
    }
    addChild(root);
    UITools::showClientBackground(root);
    SceneWidgets::bindClick(
        root, "Btn_Return", [] { goToLogin(); }, true);
    engine::Node* previous = SceneWidgets::bindClick(
        root, "Btn_Preview", [this] { changePage(-1); }, false);
    engine::Node* next = SceneWidgets::bindClick(
        root, "Btn_Next", [this] { changePage(1); }, false);
    if (pageCount > 1) {
        if (previous) {
            previous->setVisible(true);
        }
        if (next) {
            next->setVisible(true);
        }
    }
}

void CourseScene::onEnterTransitionDidFinish() {
    BaseScene::onEnterTransitionDidFinish();
    AudioManager::getInstance()->playBackgroundMusic();
    showCourseTypes();
}

void CourseScene::showCourseTypes() {
    auto* panel = SceneWidgets::find(root, "Panel_Layout");
    if (!panel) {
        return;
    }
    panel->removeAllChildren();
    const engine::Size size = panel->getContentSize();
    const auto& courseTypes = GDataManager::getInstance()->courseTypes;
    int skip = (page - 1) * kTypesPerPage;
    int slot = 1;
    for (const auto& [typeCode, entry] : courseTypes) {
        if (skip > 0) {
            --skip;
            continue;
        }
        const CourseTypeRecord courseType = entry;
        engine::ui::Button* button =
            UITools::createCourseButton(panel, courseType.iconNormal, courseType.iconSelected, courseType.iconLocked);
        if (button) {
            button->setPosition(size.width * 0.125f * static_cast<float>(slot), size.height * 0.5f);
            button->setTag(courseType.typeCode);
            button->setBright(courseType.enabled != 0);
            button->setTouchEnabled(courseType.enabled != 0);
            button->addClickEventListener([this](engine::Ref* sender) { onCourseClicked(sender); });
        }
        slot += 2;
        if (slot > 2 * kTypesPerPage) {
            break;
        }
    }
}

void CourseScene::changePage(int delta) {
    page += delta;
    if (page < 1) {
        page = 1;
    } else if (page > pageCount) {
        page = pageCount;
    } else {
        showCourseTypes();
    }
}

void CourseScene::onCourseClicked(engine::Ref* sender) {
    auto* node = dynamic_cast<engine::Node*>(sender);
    if (!node) {
        return;
    }
    GDataManager::getInstance()->courseTypeCode = node->getTag();
    if (SubjectScene* scene = SubjectScene::create()) {
        engine::Director::getInstance()->replaceScene(scene);
    }
}
