#include "scenes/GradeScene.h"

#include <array>

#include "base/Director.h"
#include "base/Log.h"
#include "base/StringUtils.h"
#include "common/AudioManager.h"
#include "common/GDataManager.h"
#include "common/JsonManager.h"
#include "common/SFAnimation.h"
#include "common/TipsManager.h"
#include "common/UITools.h"
#include "net/CoursewareManager.h"
#include "net/HttpManager.h"
#include "scene/Actions.h"
#include "scenes/ClassScene.h"
#include "scenes/ResourceScene.h"
#include "scenes/SceneWidgets.h"
#include "scenes/SubjectScene.h"
#include "ui/Button.h"

namespace {

constexpr int kGradeTagBase = 40000;
// The layout has a button for each of these grades; there is no grade 4.
constexpr std::array<int, 5> kGradeButtons{1, 2, 3, 5, 6};

} // namespace

void GradeScene::initData() {
    GDataManager::getInstance()->classList.clear();
    CoursewareManager::getInstance()->currentList.clear();
}

void GradeScene::initRes() {
    root = UITools::createCsbNode("GradeScene.csb");
    if (!root) {
        return;
    }
    addChild(root);
    SceneWidgets::bindClick(
        root, "Btn_Return", [this] { onReturn(); }, true);
    SceneWidgets::bindClick(
        root, "ResManageBtn", [this] { onResManageClicked(); }, true);
    setupGradeButtons();
}

void GradeScene::onEnterTransitionDidFinish() {
    BaseScene::onEnterTransitionDidFinish();
    SFAnimation::getInstance()->preloadAnimations("Grade", lifeToken.guard([this] { onGradeAnimationsLoaded(); }));
    AudioManager::getInstance()->playBackgroundMusic();
}

void GradeScene::setupGradeButtons() {
    const SubjectRecord subject = GDataManager::getInstance()->getSubject(0, 0);
    for (int gradeCode : kGradeButtons) {
        auto* button =
            SceneWidgets::find<engine::ui::Button>(root, engine::StringUtils::format("Btn_Grade%d", gradeCode));
        auto grade = subject.grades.find(gradeCode);
        if (!button || grade == subject.grades.end()) {
            continue;
        }
        button->setBright(grade->second.enabled != 0);
        button->setTag(gradeCode + kGradeTagBase);
        button->addClickEventListener([this](engine::Ref* sender) { onGradeClicked(sender); });
    }
}

void GradeScene::onGradeClicked(engine::Ref* sender) {
    auto* button = dynamic_cast<engine::ui::Button*>(sender);
    if (!button) {
        return;
    }
    // One grade at a time; a request that ended without reaching this scene (a failed transfer, a refusal) lets
    // another grade be chosen.
    const bool requestOpen =
        classListState == ClassListState::Waiting && HttpManager::getInstance()->isAwaitingReply("getClassList");
    if (classListState == ClassListState::Pressing || requestOpen) {
        engine::log("grade click ignored: class list pending");
        return;
    }
    classListState = ClassListState::Pressing;
    GDataManager::getInstance()->gradeCode = button->getTag() - kGradeTagBase;
    button->runAction(engine::Sequence::create(engine::ScaleTo::create(0.3f, 1.02f),
                                               engine::CallFunc::create(lifeToken.guard([this] { onGradeChosen(); })),
                                               nullptr));
    button->setHighlighted(true);
}

void GradeScene::onGradeChosen() {
    CoursewareManager* courseware = CoursewareManager::getInstance();
    auto list = courseware->lists.find(GDataManager::getInstance()->gradeCode);
    if (list != courseware->lists.end()) {
        courseware->currentList = list->second;
    }
    requestClassList();
}

void GradeScene::requestClassList() {
    classListState = ClassListState::Waiting;
    HttpManager::getInstance()->sendRequest(
        "getClassList",
        lifeToken.guard([this](const std::string& name, rapidjson::Value& data) { onClassListReply(name, data); }),
        true, "union", nullptr, {});
}

void GradeScene::onClassListReply(const std::string&, rapidjson::Value& data) {
    classListState = ClassListState::Idle;
    GDataManager* global = GDataManager::getInstance();
    // The reply replaces the schools of an earlier choice.
    global->classList.clear();
    JsonManager* json = JsonManager::getInstance();
    bool found = false;
    json->forEachObject(json->asArray(data, "data"), "data", [&](const rapidjson::Value& schoolItem) {
        SchoolRecord school;
        school.schoolId = json->getInt(schoolItem, "schoolId");
        school.schoolName = json->getString(schoolItem, "schoolName");
        json->forEachObject(json->getArray(schoolItem, "children"), "children", [&](const rapidjson::Value& gradeItem) {
            if (json->getInt(gradeItem, "gradeCode") != global->gradeCode) {
                return;
            }
            found = true;
            json->forEachObject(json->getArray(gradeItem, "children"), "children",
                                [&](const rapidjson::Value& classItem) {
                                    school.classes.push_back(
                                        {json->getInt(classItem, "classId"), json->getString(classItem, "className")});
                                });
        });
        if (!school.classes.empty()) {
            global->classList.push_back(school);
        }
    });
    if (!found) {
        TipsManager::getInstance()->showTipsByKey("ClassStr1", nullptr, nullptr);
        return;
    }
    if (ClassScene* scene = ClassScene::create()) {
        engine::Director::getInstance()->replaceScene(scene);
    }
}

void GradeScene::onReturn() {
    if (SubjectScene* scene = SubjectScene::create()) {
        engine::Director::getInstance()->replaceScene(scene);
    }
}

void GradeScene::onResManageClicked() {
    if (ResourceScene* scene = ResourceScene::create()) {
        engine::Director::getInstance()->replaceScene(scene);
    }
}

void GradeScene::onGradeAnimationsLoaded() {
    SceneWidgets::playListedAnimations(root, "Grade");
}
