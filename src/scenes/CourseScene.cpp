#include "scenes/CourseScene.h"

#include "base/Director.h"
#include "common/AudioManager.h"
#include "common/GDataManager.h"
#include "common/UITools.h"
#include "scenes/CourseButtonPages.h"
#include "scenes/SceneRoutes.h"
#include "scenes/SceneWidgets.h"
#include "scenes/SubjectScene.h"

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
    CourseButtonPages::bindTurnButtons(root, pageCount, [this](int delta) { changePage(delta); });
}

void CourseScene::onEnterTransitionDidFinish() {
    BaseScene::onEnterTransitionDidFinish();
    AudioManager::getInstance()->playBackgroundMusic();
    showCourseTypes();
}

void CourseScene::showCourseTypes() {
    // One row: the buttons at 1/8, 3/8, 5/8 and 7/8 of the panel's width.
    const auto place = [](int index, const engine::Size& size) {
        return engine::Vec2(size.width * 0.125f * static_cast<float>(2 * index + 1), size.height * 0.5f);
    };
    CourseButtonPages::show(root, GDataManager::getInstance()->courseTypes, &CourseTypeRecord::typeCode, page,
                            kTypesPerPage, place, [this](engine::Ref* sender) { onCourseClicked(sender); });
}

void CourseScene::changePage(int delta) {
    if (CourseButtonPages::turn(page, delta, pageCount)) {
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
