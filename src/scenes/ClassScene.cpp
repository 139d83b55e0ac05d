#include "scenes/ClassScene.h"

#include <array>

#include "base/Director.h"
#include "base/Log.h"
#include "base/StringUtils.h"
#include "common/AudioManager.h"
#include "common/CommonTools.h"
#include "common/GDataManager.h"
#include "common/UITools.h"
#include "scenes/GradeScene.h"
#include "scenes/LectureScene.h"
#include "scenes/SceneWidgets.h"
#include "ui/Text.h"
#include "ui/Widget.h"

namespace {

constexpr int kSlots = 4;
// The class in slot n of a page has colour n.
const std::array<const char*, kSlots> classSceneColors{"6c9b2b", "3787c7", "d36169", "616bcc"};
constexpr const char* kSchoolColor = "3aa3e6";
constexpr const char* kChosenSchoolColor = "f94f0d";

void setPageText(engine::Node* root, const char* name, int page, int pageCount) {
    SceneWidgets::setText(root, name, engine::StringUtils::format("%d/%d", page, pageCount));
}

// Brings page into 1..pageCount; with no pages it ends at 0.
int clampPage(int page, int pageCount) {
    if (page < 1) {
        page = 1;
    }
    return page > pageCount ? pageCount : page;
}

} // namespace

bool ClassScene::init() {
    if (!BaseScene::init()) {
        return false;
    }
    AudioManager::getInstance()->playBackgroundMusic();
    return true;
}

void ClassScene::initData() {
    classPage = classPageCount = schoolPage = schoolPageCount = 1;
    const auto& schools = GDataManager::getInstance()->classList;
    selectedSchoolId = schools.empty() ? 0 : schools.front().schoolId;
}

void ClassScene::initRes() {
    root = UITools::createCsbNode("ClassScene.csb");
    if (!root) {
        return;
    }
    addChild(root);
    SceneWidgets::bindClick(
        root, "Btn_Return", [this] { goToGrade(); }, true);
    SceneWidgets::bindClick(
        root, "BtnUp", [this] { changePage(1, -1); }, false);
    SceneWidgets::bindClick(
        root, "BtnDown", [this] { changePage(1, 1); }, false);
    SceneWidgets::bindClick(
        root, "BtnLeft", [this] { changePage(2, -1); }, false);
    SceneWidgets::bindClick(
        root, "BtnRight", [this] { changePage(2, 1); }, false);
    showSchools();
    showClasses();
}

void ClassScene::showSchools() {
    const auto& schools = GDataManager::getInstance()->classList;
    schoolPageCount = SceneWidgets::pageCountOf(schools.size(), kSlots);
    schoolPage = clampPage(schoolPage, schoolPageCount);
    setPageText(root, "ListPageText", schoolPage, schoolPageCount);
    CommonTools* tools = CommonTools::getInstance();
    for (int slot = 1; slot <= kSlots; ++slot) {
        auto* button = SceneWidgets::find<engine::ui::Widget>(root, engine::StringUtils::format("SchoolBtn%d", slot));
        if (!button) {
            continue;
        }
        button->setVisible(false);
        button->setHighlighted(false);
        auto* title = SceneWidgets::find<engine::ui::Text>(button, "TitleText");
        if (title) {
            title->setTextColor(tools->hexToColor4B(kSchoolColor));
        }
        const int index = (schoolPage - 1) * kSlots + (slot - 1);
        if (index < 0 || index >= static_cast<int>(schools.size())) {
            continue;
        }
        const SchoolRecord& school = schools[static_cast<size_t>(index)];
        button->setVisible(true);
        if (school.schoolId == selectedSchoolId && school.schoolId > 0) {
            button->setHighlighted(true);
            if (title) {
                title->setTextColor(tools->hexToColor4B(kChosenSchoolColor));
            }
        }
        if (title) {
            title->setString(school.schoolName);
        }
        button->setTag(school.schoolId);
        button->addClickEventListener([this](engine::Ref* sender) { onSchoolClicked(sender); });
    }
}

void ClassScene::showClasses() {
    if (selectedSchoolId < 1) {
        return;
    }
    std::vector<ClassRecord> classes;
    for (const SchoolRecord& school : GDataManager::getInstance()->classList) {
        if (school.schoolId == selectedSchoolId) {
            classes = school.classes;
            break;
        }
    }
    classPageCount = SceneWidgets::pageCountOf(classes.size(), kSlots);
    classPage = clampPage(classPage, classPageCount);
    setPageText(root, "PageText", classPage, classPageCount);
    CommonTools* tools = CommonTools::getInstance();
    for (int slot = 1; slot <= kSlots; ++slot) {
        auto* image = SceneWidgets::find<engine::ui::Widget>(root, engine::StringUtils::format("ClassImg%d", slot));
        if (!image) {
            continue;
        }
        image->setVisible(false);
        const int index = (classPage - 1) * kSlots + (slot - 1);
        if (index < 0 || index >= static_cast<int>(classes.size())) {
            continue;
        }
        const ClassRecord& entry = classes[static_cast<size_t>(index)];
        image->setVisible(true);
        image->setTouchEnabled(true);
        image->setTag(entry.classId);
        image->addClickEventListener([this](engine::Ref* sender) { onClassClicked(sender); });
        if (auto* name = SceneWidgets::find<engine::ui::Text>(image, "ClassName")) {
            name->setString(entry.className);
            name->setTextColor(tools->hexToColor4B(classSceneColors[static_cast<size_t>(slot - 1)]));
        }
    }
}

void ClassScene::changePage(int list, int delta) {
    if (list == 1) {
        schoolPage += delta;
        showSchools();
    } else if (list == 2) {
        classPage += delta;
        showClasses();
    }
}

void ClassScene::onSchoolClicked(engine::Ref* sender) {
    auto* node = dynamic_cast<engine::Node*>(sender);
    if (!node) {
        return;
    }
    selectedSchoolId = node->getTag();
    classPage = 1;
    showSchools();
    showClasses();
}

void ClassScene::onClassClicked(engine::Ref* sender) {
    auto* node = dynamic_cast<engine::Node*>(sender);
    if (!node) {
        return;
    }
    if (engine::Node* mark = SceneWidgets::find(node, "SelectImg")) {
        mark->setVisible(true);
    }
    GDataManager::getInstance()->classIdSelected = node->getTag();
    if (LectureScene* scene = LectureScene::create()) {
        engine::Director::getInstance()->replaceScene(scene);
    }
}

void ClassScene::goToGrade() {
    if (GradeScene* scene = GradeScene::create()) {
        engine::Director::getInstance()->replaceScene(scene);
    }
}
