#include "scenes/LectureScene.h"

#include <algorithm>
#include <array>

#include "base/Director.h"
#include "base/Log.h"
#include "base/StringUtils.h"
#include "common/AudioManager.h"
#include "common/CommonTools.h"
#include "common/GDataManager.h"
#include "common/SFAnimation.h"
#include "common/TipsManager.h"
#include "common/UITools.h"
#include "net/CoursewareManager.h"
#include "net/HttpManager.h"
#include "scene/Actions.h"
#include "scene/Sprite.h"
#include "scenes/ClassScene.h"
#include "scenes/SceneWidgets.h"
#include "scenes/SignScene.h"
#include "ui/Button.h"
#include "ui/ImageView.h"
#include "ui/Text.h"

using engine::Node;
using engine::StringUtils::format;

namespace {

constexpr int kLectureTagBase = 70000;
constexpr int kStages = 4;
constexpr int kPagesPerStage = 2;
constexpr int kSlotsPerPage = 6;
constexpr float kPageMoveSeconds = 0.5f;
// The number colour of each stage's lectures.
const std::array<const char*, kStages> lectureNumberColors{"2C9368", "4DAEFC", "E75714", "7094BD"};

// Leaves the pressed look of a lecture whose click keeps the teacher on this screen.
void releaseButton(engine::ui::Button* button) {
    button->stopAllActions();
    button->setScale(1.f);
    button->setHighlighted(false);
}

} // namespace

LectureScene::~LectureScene() {
    SceneWidgets::stopFollowingDownloads();
}

void LectureScene::initData() {
    GDataManager* data = GDataManager::getInstance();
    data->students.clear();
    data->phaseCode = 0;
    pageIdle = true;
    currentPage = 1;
    lectureState = LectureState::Idle;
}

void LectureScene::initRes() {
    root = UITools::createCsbNode("LectureScene.csb");
    if (!root) {
        return;
    }
    addChild(root);
    pageText = SceneWidgets::find<engine::ui::Text>(root, "PageText");
    SceneWidgets::bindClick(
        root, "Btn_Return", [this] { onReturn(); }, true);
    initStageButtons();
    initLectureButtons();
    float x = 0.f;
    for (Node* page : pages) {
        page->setPositionX(x);
        x += page->getContentSize().width;
    }
    SceneWidgets::bindClick(
        root, "LeftBtn", [this] { turnPage(-1); }, false);
    SceneWidgets::bindClick(
        root, "RightBtn", [this] { turnPage(1); }, false);
    turnPage(2 * GDataManager::getInstance()->phaseCode - 2);
}

void LectureScene::screenAdaptation() {
    if (!root) {
        return;
    }
    if (Node* layout = SceneWidgets::find(root, "Layout_Page")) {
        layout->setPositionY(engine::Director::getInstance()->getWinSize().height);
    }
}

void LectureScene::onEnterTransitionDidFinish() {
    BaseScene::onEnterTransitionDidFinish();
    AudioManager::getInstance()->playBackgroundMusic();
    SFAnimation::getInstance()->preloadAnimations("Lecture", lifeToken.guard([this] { onPreloadDone(); }));
    SceneWidgets::followDownloads(this, lifeToken);
}

void LectureScene::initStageButtons() {
    GDataManager* data = GDataManager::getInstance();
    const GradeRecord grade = data->getGrade();
    UITools::seekChildrenByPrefix(stageButtons, root, "StageBtn");
    for (int i = 1; i <= static_cast<int>(stageButtons.size()); ++i) {
        auto* button = dynamic_cast<engine::ui::Widget*>(stageButtons[static_cast<size_t>(i - 1)]);
        if (!button) {
            continue;
        }
        auto phase = grade.phases.find(i);
        if (phase != grade.phases.end()) {
            button->setBright(phase->second.enabled != 0);
            button->setTouchEnabled(phase->second.enabled != 0);
        }
        button->addClickEventListener([this, i](engine::Ref* sender) { onStageClicked(sender, i - 1); });
        if (data->phaseCode == 0) {
            data->phaseCode = i;
            button->setHighlighted(true);
        }
    }
}

void LectureScene::initLectureButtons() {
    const CoursewareList& list = CoursewareManager::getInstance()->currentList;
    const GradeRecord grade = GDataManager::getInstance()->getGrade();
    const float contentScale = engine::Director::getInstance()->getContentScaleFactor();
    size_t cursor = 0;
    for (int stage = 1; stage <= kStages; ++stage) {
        auto phase = grade.phases.find(stage);
        if (phase == grade.phases.end() || phase->second.enabled == 0) {
            continue;
        }
        for (int pageNumber = 1; pageNumber <= kPagesPerStage; ++pageNumber) {
            Node* page = SceneWidgets::find(root, format("Img_Bg%d%d", stage, pageNumber));
            for (int slot = 1; slot <= kSlotsPerPage; ++slot) {
                if (cursor >= list.size()) {
                    return;
                }
                const CoursewareData& record = list[cursor];
                if (record.StageCode != stage) {
                    break;
                }
                ++cursor;
                const int lecture = kSlotsPerPage * (pageNumber - 1) + slot;
                // A record the server gave no id has no button; its slot stays empty so the numbers keep their
                // places.
                if (record.CoursewareId <= 0) {
                    engine::log("lecture %s without id skipped", record.Identify.c_str());
                    continue;
                }
                Node* marker = page ? SceneWidgets::find(page, format("BtnPos%d", slot)) : nullptr;
                if (!marker) {
                    continue;
                }
                engine::ui::Button* button = UITools::createLectureButton(page, record, marker->getPosition());
                if (!button) {
                    continue;
                }
                const std::string normal = format("Lecture/LectureBtn%.2d1.png", lecture);
                button->loadTextures(normal, format("Lecture/LectureBtn%.2d2.png", lecture),
                                     format("Lecture/LectureBtn%.2d3.png", lecture));
                if (engine::Sprite* probe = engine::Sprite::create(normal)) {
                    const engine::Size size = probe->getContentSize();
                    button->setContentSize(engine::Size(size.width * contentScale, size.height * contentScale));
                }
                if (!page->isVisible()) {
                    page->setTag(stage * 10 + pageNumber);
                    page->setVisible(true);
                    pages.push_back(page);
                }
                button->setTag(lecture + kLectureTagBase);
                button->addClickEventListener([this](engine::Ref* sender) { onLectureClicked(sender); });
                SceneWidgets::show(button, "BgImg", true);
                if (auto* badge = dynamic_cast<engine::ui::ImageView*>(UITools::seekChildByName(button, "NumBg"))) {
                    badge->loadTexture(format("Lecture/LectureNumBg%d.png", stage));
                }
                if (auto* number = dynamic_cast<engine::ui::Text*>(UITools::seekChildByName(button, "NumText"))) {
                    number->setString(format("%d", lecture));
                    number->setTextColor(
                        CommonTools::getInstance()->hexToColor4B(lectureNumberColors[static_cast<size_t>(stage - 1)]));
                }
            }
        }
    }
}

void LectureScene::turnPage(int shift) {
    if (!pageIdle || pages.empty()) {
        return;
    }
    currentPage += shift;
    const int pageCount = static_cast<int>(pages.size());
    if (currentPage < 1) {
        currentPage = 1;
        return;
    }
    if (currentPage > pageCount) {
        currentPage = pageCount;
        return;
    }
    pageIdle = false;
    const float width = pages.front()->getContentSize().width;
    for (Node* page : pages) {
        page->runAction(engine::Sequence::create(
            engine::MoveBy::create(kPageMoveSeconds, engine::Vec2(-width * static_cast<float>(shift), 0.f)),
            engine::CallFunc::create(lifeToken.guard([this] { onPageMoved(); })), nullptr));
    }
}

void LectureScene::onPageMoved() {
    pageIdle = true;
    if (pageText) {
        pageText->setString(format("%d/%d", currentPage, static_cast<int>(pages.size())));
    }
    GDataManager* data = GDataManager::getInstance();
    data->phaseCode = pages[static_cast<size_t>(currentPage - 1)]->getTag() / 10;
    for (size_t i = 0; i < stageButtons.size(); ++i) {
        if (auto* button = dynamic_cast<engine::ui::Widget*>(stageButtons[i])) {
            button->setHighlighted(static_cast<int>(i) == data->phaseCode - 1);
        }
    }
}

void LectureScene::onStageClicked(engine::Ref*, int stageIndex) {
    const int firstPageTag = stageIndex * 10 + 11;
    auto page = std::find_if(pages.begin(), pages.end(), [&](Node* p) { return p->getTag() == firstPageTag; });
    // A stage without lectures has no page to show.
    if (page == pages.end()) {
        engine::log("stage %d has no lectures", stageIndex + 1);
        return;
    }
    for (size_t i = 0; i < stageButtons.size(); ++i) {
        auto* button = dynamic_cast<engine::ui::Widget*>(stageButtons[i]);
        if (button && button->isBright()) {
            button->setHighlighted(static_cast<int>(i) == stageIndex);
        }
    }
    turnPage(static_cast<int>(page - pages.begin()) + 1 - currentPage);
}

bool LectureScene::isLectureBusy() const {
    switch (lectureState) {
    case LectureState::Pressing:
    case LectureState::LoadingPupils:
        return true;
    case LectureState::Requesting:
        // A request that ended without reaching this scene (a failed transfer, a refusal) frees the lectures.
        return HttpManager::getInstance()->isAwaitingReply("getStudentList");
    case LectureState::Idle:
        break;
    }
    return false;
}

void LectureScene::chooseLectureOf(engine::ui::Button* button) {
    GDataManager* data = GDataManager::getInstance();
    data->lessonNumber = button->getTag() - kLectureTagBase;
    Node* buttonRoot = button->getParent();
    if (Node* page = buttonRoot ? buttonRoot->getParent() : nullptr) {
        data->phaseCode = page->getTag() / 10;
    }
}

void LectureScene::onLectureClicked(engine::Ref* sender) {
    auto* button = dynamic_cast<engine::ui::Button*>(sender);
    if (!button || isLectureBusy()) {
        return;
    }
    lectureState = LectureState::Pressing;
    chooseLectureOf(button);
    button->runAction(engine::Sequence::create(
        engine::ScaleTo::create(0.3f, 1.02f),
        engine::CallFunc::create(lifeToken.guard([this, button] { openLecture(button); })), nullptr));
    button->setHighlighted(true);
}

void LectureScene::openLecture(engine::ui::Button* button) {
    lectureState = LectureState::Idle;
    // Again: a page move that ended during the press has set the stage of the page it shows.
    chooseLectureOf(button);
    CoursewareManager* courseware = CoursewareManager::getInstance();
    const std::string identify = CoursewareManager::getCurrentIdentify();
    const int index = courseware->getCoursewareIndex(identify);
    if (index < 0) {
        engine::log("error lecture: %s is not in the list", identify.c_str());
        releaseButton(button);
        return;
    }
    const CoursewareData record = courseware->currentList[static_cast<size_t>(index)];
    if (record.state != 1) {
        releaseButton(button);
    }
    switch (record.state) {
    case 1:
        requestStudentList();
        break;
    case 4:
        if (!CommonTools::getInstance()->checkClientVersion(record.Version)) {
            CommonTools::getInstance()->showSysUpdateTip();
            break;
        }
        TipsManager::getInstance()->showTipsByKey(
            "LectureStr3", lifeToken.guard([this, record, button] { downloadLecture(record, button); }),
            lifeToken.guard([this] { requestStudentList(); }));
        break;
    case 2:
    case 3:
        TipsManager::getInstance()->showTipsByKey("LectureStr5", nullptr, nullptr);
        break;
    case 5:
        downloadLecture(record, button);
        break;
    default:
        engine::log("error topic state : %d", record.state);
        break;
    }
}

void LectureScene::downloadLecture(CoursewareData record, engine::ui::Button*) {
    lectureState = LectureState::Idle;
    if (!SceneWidgets::queueLecture(record)) {
        return;
    }
    if (Node* loading = findLoadingNode(record.Identify)) {
        loading->setVisible(true);
    }
}

Node* LectureScene::findLectureItem(const std::string& identify) const {
    const int tag = CoursewareData::identifyTag(identify);
    return tag >= 0 ? UITools::seekChildByTag(root, tag) : nullptr;
}

Node* LectureScene::findLoadingNode(const std::string& identify) const {
    Node* item = findLectureItem(identify);
    return item ? UITools::seekChildByName(item, "Loading") : nullptr;
}

void LectureScene::onDownloadProgress(const std::string& identify, double received, double expected) {
    const int percent = SceneWidgets::downloadPercent(received, expected);
    Node* loading = findLoadingNode(identify);
    if (!loading) {
        return;
    }
    loading->setVisible(true);
    SceneWidgets::setPercent(loading, percent);
    SceneWidgets::setText(loading, "LoadText", format("%d%%", percent));
}

void LectureScene::onDownloadFinished(const std::string&, const std::string& identify) {
    if (Node* loading = findLoadingNode(identify)) {
        loading->setVisible(false);
    }
    auto* button = dynamic_cast<engine::ui::Button*>(UITools::seekChildByName(findLectureItem(identify), "LectBtn"));
    if (button) {
        button->setBright(true);
        SceneWidgets::show(button, "Img_New", false);
        SceneWidgets::show(button, "Img_Download", false);
    }
}

void LectureScene::requestStudentList() {
    // Each chain starts from no pupils.
    GDataManager::getInstance()->students.clear();
    lectureState = LectureState::Requesting;
    HttpManager::getInstance()->sendRequest(
        "getStudentList",
        lifeToken.guard([this](const std::string& name, rapidjson::Value& data) { onStudentListReply(name, data); }),
        true, "union", nullptr,
        {{"classId", format("%d", GDataManager::getInstance()->classIdSelected)}});
}

void LectureScene::onStudentListReply(const std::string&, rapidjson::Value& data) {
    lectureState = LectureState::LoadingPupils;
    pupils.start(data, [this] {
        lectureState = LectureState::Idle;
        SignScene::openFromLectureList();
    });
}

void LectureScene::onPreloadDone() {
    SceneWidgets::playListedAnimations(root, "Lecture");
}

void LectureScene::onReturn() {
    if (ClassScene* scene = ClassScene::create()) {
        engine::Director::getInstance()->replaceScene(scene);
    }
}
