#include "scenes/ResourceScene.h"

#include <array>
#include <cctype>
#include <cstdlib>

#include "base/Director.h"
#include "base/Log.h"
#include "base/StringUtils.h"
#include "common/AudioManager.h"
#include "common/GDataManager.h"
#include "common/PlistManager.h"
#include "common/TipsManager.h"
#include "common/UITools.h"
#include "net/CoursewareManager.h"
#include "net/SqManager.h"
#include "scenes/GradeScene.h"
#include "scenes/ManageScene.h"
#include "scenes/SceneWidgets.h"
#include "ui/Widget.h"

using engine::Node;
using engine::StringUtils::format;

namespace {

// Panel p shows the p-th of these grades; there is no grade 4.
constexpr std::array<int, 5> kPanelGrades{1, 2, 3, 5, 6};

// Packages of the grade on this computer and on the server.
std::pair<size_t, size_t> packageCounts(int grade) {
    return {SqManager::getInstance()->getCoursewareList(grade).size(),
            CoursewareManager::getInstance()->getCoursewareList(grade).size()};
}

std::string progressName(int grade) {
    return format("Panel%02d", grade);
}

} // namespace

ResourceScene::~ResourceScene() {
    SceneWidgets::stopFollowingDownloads();
}

bool ResourceScene::init() {
    if (!BaseScene::init()) {
        return false;
    }
    AudioManager::getInstance()->playBackgroundMusic();
    SceneWidgets::followDownloads(this, lifeToken);
    return true;
}

void ResourceScene::initRes() {
    rootNode = UITools::createCsbNode("ResourceScene.csb");
    if (!rootNode) {
        return;
    }
    addChild(rootNode);
    SceneWidgets::bindClick(
        rootNode, "Btn_Return", [this] { goToGrade(); }, true);
    SceneWidgets::bindClick(
        rootNode, "DownAllBtn", [this] { onDownAll(); }, false);
    for (int panelNumber = 1; panelNumber <= static_cast<int>(kPanelGrades.size()); ++panelNumber) {
        if (Node* card = SceneWidgets::find(rootNode, format("GradePanel%d", panelNumber))) {
            cardSlots[panelNumber - 1] = card->getPosition();
        }
        if (Node* progress = SceneWidgets::find(rootNode, progressName(gradeOfPanel(panelNumber)))) {
            progressSlots[panelNumber - 1] = progress->getPosition();
        }
    }
    refreshPanels();
}

int ResourceScene::gradeOfPanel(int panel) {
    return panel >= 1 && panel <= static_cast<int>(kPanelGrades.size()) ? kPanelGrades[panel - 1] : 0;
}

void ResourceScene::refreshPanels() {
    const SubjectRecord subject = GDataManager::getInstance()->getSubject(0, 0);
    for (int panelNumber = 1; panelNumber <= static_cast<int>(kPanelGrades.size()); ++panelNumber) {
        const int grade = gradeOfPanel(panelNumber);
        Node* panel = SceneWidgets::find(rootNode, format("GradePanel%d", panelNumber));
        auto record = subject.grades.find(grade);
        if (!panel || record == subject.grades.end() || record->second.enabled == 0) {
            continue;
        }
        panel->setVisible(true);
        const auto [local, server] = packageCounts(grade);
        SceneWidgets::setText(panel, "LocalNum", format("%lu", static_cast<unsigned long>(local)));
        SceneWidgets::setText(panel, "ServerNum", format("%lu", static_cast<unsigned long>(server)));
        if (auto* manage = dynamic_cast<engine::ui::Widget*>(UITools::seekChildByName(panel, "ManageBtn"))) {
            manage->addClickEventListener(
                [this, panelNumber](engine::Ref* sender) { onManageClicked(sender, panelNumber); });
        }
        if (auto* download = dynamic_cast<engine::ui::Widget*>(UITools::seekChildByName(panel, "DownloadBg"))) {
            download->setTouchEnabled(true);
            download->addClickEventListener(
                [this, panelNumber](engine::Ref* sender) { onDownloadGrade(sender, panelNumber); });
        }
        if (server <= local) {
            SceneWidgets::setText(panel, "Text", PlistManager::getInstance()->getText("Str_Finish"));
        }
    }
    packPanels();
}

void ResourceScene::packPanels() {
    size_t slot = 0;
    for (int panelNumber = 1; panelNumber <= static_cast<int>(kPanelGrades.size()); ++panelNumber) {
        Node* card = SceneWidgets::find(rootNode, format("GradePanel%d", panelNumber));
        if (!card || !card->isVisible()) {
            continue;
        }
        const engine::Vec2 shift = cardSlots[slot] - cardSlots[panelNumber - 1];
        card->setPosition(cardSlots[slot]);
        if (Node* progress = SceneWidgets::find(rootNode, progressName(gradeOfPanel(panelNumber)))) {
            progress->setPosition(progressSlots[panelNumber - 1] + shift);
        }
        ++slot;
    }
}

void ResourceScene::onManageClicked(engine::Ref*, int panel) {
    GDataManager::getInstance()->gradeCode = gradeOfPanel(panel);
    if (ManageScene* scene = ManageScene::create()) {
        engine::Director::getInstance()->replaceScene(scene);
    }
}

void ResourceScene::onDownloadGrade(engine::Ref*, int panel) {
    CoursewareManager* courseware = CoursewareManager::getInstance();
    courseware->currentList = courseware->getCoursewareList(gradeOfPanel(panel));
    for (const CoursewareData& record : courseware->currentList) {
        if (!record.downloaded && !record.Url.empty()) {
            DownloadRecord download;
            download.key = record.Identify;
            download.url = record.Url;
            courseware->addDownloadTask(download);
        }
    }
    refreshPanels();
    TipsManager::getInstance()->showTipsByKey("ResourceStr2", nullptr, nullptr);
}

void ResourceScene::onDownAll() {
    refreshPanels();
    TipsManager::getInstance()->showTipsByKey("ResourceStr1", nullptr, nullptr);
}

Node* ResourceScene::progressNode(const std::string& identify) const {
    if (identify.size() < 6 || !std::isdigit(static_cast<unsigned char>(identify[4])) ||
        !std::isdigit(static_cast<unsigned char>(identify[5]))) {
        engine::log("resource progress: no grade in identify \"%s\"", identify.c_str());
        return nullptr;
    }
    return UITools::seekChildByName(rootNode, "Panel" + identify.substr(4, 2));
}

void ResourceScene::onDownloadProgress(const std::string& identify, double received, double expected) {
    Node* node = progressNode(identify);
    if (!node) {
        return;
    }
    const int percent = SceneWidgets::downloadPercent(received, expected);
    node->setVisible(true);
    SceneWidgets::setPercent(node, percent);
    SceneWidgets::setText(node, "Text", PlistManager::getInstance()->getText("Str_Downloading"));
}

void ResourceScene::onDownloadFinished(const std::string&, const std::string& identify) {
    Node* node = progressNode(identify);
    if (node) {
        node->setVisible(true);
        SceneWidgets::setPercent(node, 100);
    }
    refreshPanels();
    // The grade's last package leaves no "Downloading" behind.
    if (node) {
        const auto [local, server] = packageCounts(std::atoi(identify.substr(4, 2).c_str()));
        if (server <= local) {
            SceneWidgets::setText(node, "Text", PlistManager::getInstance()->getText("Str_Finish"));
        }
    }
}

void ResourceScene::goToGrade() {
    if (GradeScene* scene = GradeScene::create()) {
        engine::Director::getInstance()->replaceScene(scene);
    }
}
