#include "scenes/TouGradeScene.h"

#include "base/Director.h"
#include "base/StringUtils.h"
#include "common/AudioManager.h"
#include "common/GDataManager.h"
#include "common/UITools.h"
#include "scenes/CourseButtonPages.h"
#include "scenes/SceneWidgets.h"
#include "scenes/SubjectScene.h"
#include "scenes/TouLectureScene.h"

void TouGradeScene::initData() {
    GDataManager* data = GDataManager::getInstance();
    data->gradeCode = 0;
    data->phaseCode = 0;
}

void TouGradeScene::initRes() {
    engine::Node* root = UITools::createCsbNode("TouGradeScene.csb");
    if (!root) {
        return;
    }
    addChild(root);
    clientPanel = SceneWidgets::showClientPanel(root);
    if (!clientPanel) {
        return;
    }
    SceneWidgets::bindClick(
        clientPanel, "Btn_Return", [this] { goToSubject(); }, true);

    const SubjectRecord subject = GDataManager::getInstance()->getSubject(0, 0);
    engine::Node* panel = CourseButtonPages::clearPanel(clientPanel);
    if (!panel) {
        return;
    }
    const engine::Size size = panel->getContentSize();
    // Three columns at the odd sixths of the panel, rows from the top at every other quarter of its height; a
    // grade's enabled flag is not looked at.
    int i = 0;
    for (const auto& [gradeCode, grade] : subject.grades) {
        const engine::Vec2 position(static_cast<float>(2 * (i % 3) + 1) * size.width / 6.0f,
                                    size.height - static_cast<float>(2 * (i / 3) + 1) * size.height * 0.25f);
        const std::string image = engine::StringUtils::format("TouGrade/TouGrade_Btn%d", gradeCode);
        CourseButtonPages::addButton(panel, image + "1.png", image + "2.png", image + "3.png", gradeCode, true,
                                     position, [this](engine::Ref* sender) { onGradeClicked(sender); });
        ++i;
    }
}

void TouGradeScene::screenAdaptation() {
    engine::Node* back = clientPanel ? UITools::seekChildByName(clientPanel, "Btn_Return") : nullptr;
    if (back && back->getParent()) {
        const float top = engine::Director::getInstance()->getWinSize().height;
        back->setPositionY(back->getParent()->convertToNodeSpace(engine::Vec2(0.f, top)).y);
    }
}

void TouGradeScene::onEnterTransitionDidFinish() {
    BaseScene::onEnterTransitionDidFinish();
    AudioManager::getInstance()->playBackgroundMusic();
}

void TouGradeScene::onGradeClicked(engine::Ref* sender) {
    auto* node = dynamic_cast<engine::Node*>(sender);
    if (!node) {
        return;
    }
    GDataManager::getInstance()->gradeCode = node->getTag();
    if (TouLectureScene* scene = TouLectureScene::create()) {
        engine::Director::getInstance()->replaceScene(scene);
    }
}

void TouGradeScene::goToSubject() {
    if (SubjectScene* scene = SubjectScene::create()) {
        engine::Director::getInstance()->replaceScene(scene);
    }
}
