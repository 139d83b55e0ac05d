#include "scenes/TouLectureScene.h"

#include <algorithm>
#include <cmath>

#include "base/Director.h"
#include "base/Log.h"
#include "base/StringUtils.h"
#include "common/AudioManager.h"
#include "common/CommonTools.h"
#include "common/GDataManager.h"
#include "common/TipsManager.h"
#include "common/UITools.h"
#include "games/SimpleGameManager.h"
#include "lesson/LogicTopicScene.h"
#include "net/CoursewareManager.h"
#include "net/HttpManager.h"
#include "net/SqManager.h"
#include "platform/FileUtils.h"
#include "scene/Sprite.h"
#include "scenes/SceneWidgets.h"
#include "scenes/SignScene.h"
#include "scenes/SubjectScene.h"
#include "scenes/TouTopicScene.h"
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/Slider.h"

using engine::Node;
using engine::StringUtils::format;

namespace {

constexpr int kLectureTagBase = 70000;
constexpr int kPerPage = 8;
constexpr int kButtonDesigns = 12;

// The 1-based page that shows list index k.
int pageOf(int k) {
    return static_cast<int>(std::ceil(static_cast<float>(k + 1) * (1.0f / kPerPage)));
}

void openLessonPlayer() {
    if (LogicTopicScene* scene = LogicTopicScene::create()) {
        engine::Director::getInstance()->replaceScene(scene);
    }
}

} // namespace

TouLectureScene::~TouLectureScene() {
    SceneWidgets::stopFollowingDownloads();
}

void TouLectureScene::initData() {
    page = 1;
    pageCount = 0;
    enterState = EnterState::Idle;
    takeCurrentList();
}

void TouLectureScene::takeCurrentList() {
    CoursewareManager* courseware = CoursewareManager::getInstance();
    GDataManager* data = GDataManager::getInstance();
    // Checked first: coming back from a lesson, gradeCode holds that lecture's grade, not the list's.
    if (data->getSubject(0, 0).grades.empty() && !courseware->lists.empty() && !courseware->lists.count(0)) {
        courseware->currentList.clear();
        for (const auto& [grade, records] : courseware->lists) {
            courseware->currentList.insert(courseware->currentList.end(), records.begin(), records.end());
        }
        return;
    }
    auto list = courseware->lists.find(data->gradeCode);
    if (list != courseware->lists.end()) {
        courseware->currentList = list->second;
    }
}

void TouLectureScene::initRes() {
    root = UITools::createCsbNode("TouLectureScene.csb");
    if (!root) {
        return;
    }
    addChild(root);
    UITools::showClientBackground(root);
    SceneWidgets::bindClick(
        root, "Btn_Return", [this] { goToSubject(); }, true);
    SceneWidgets::bindClick(
        root, "Btn_Prev", [this] { onPrevPage(); }, false);
    SceneWidgets::bindClick(
        root, "Btn_Next", [this] { onNextPage(); }, false);
}

void TouLectureScene::onEnterTransitionDidFinish() {
    BaseScene::onEnterTransitionDidFinish();
    SceneWidgets::followDownloads(this, lifeToken);
    AudioManager::getInstance()->playBackgroundMusic();
    showLectures();
}

void TouLectureScene::showLectures() {
    CoursewareList& list = CoursewareManager::getInstance()->currentList;
    const int n = static_cast<int>(list.size());
    pageCount = SceneWidgets::pageCountOf(list.size(), kPerPage);
    updatePageText();
    Node* panel = root ? SceneWidgets::find(root, "Panel_Layout") : nullptr;
    if (!panel) {
        return;
    }
    panel->removeAllChildren();
    const engine::Size size = panel->getContentSize();
    const float contentScale = engine::Director::getInstance()->getContentScaleFactor();
    for (int i = 0; i < kPerPage; ++i) {
        const int k = i + (page - 1) * kPerPage;
        if (k >= n) {
            break;
        }
        const CoursewareData record = list[static_cast<size_t>(k)];
        const std::string prefix = format("TouLecture/TouLecture_Btn%.2d", k % kButtonDesigns + 1);
        Node* item = UITools::createCsbNode("TouLectureBtn.csb");
        if (!item) {
            continue;
        }
        panel->addChild(item);
        auto* button = SceneWidgets::find<engine::ui::Button>(item, "Btn_TouLecture");
        if (!button) {
            continue;
        }
        const std::string normal = prefix + "1.png";
        button->loadTextures(normal, prefix + "2.png", prefix + "3.png");
        if (engine::Sprite* probe = engine::Sprite::create(normal)) {
            const engine::Size picture = probe->getContentSize();
            button->setContentSize(engine::Size(picture.width * contentScale, picture.height * contentScale));
        }
        button->setPosition(engine::Vec2(static_cast<float>(2 * (i % 4) + 1) * size.width * 0.125f,
                                         size.height - static_cast<float>(2 * (i / 4) + 1) * size.height * 0.25f));
        button->setTag(k + kLectureTagBase);
        button->addClickEventListener([this](engine::Ref* sender) { onLectureClicked(sender); });
        SceneWidgets::setText(item, "Text_Title", record.LectureName);

        const CoursewareData row = SqManager::getInstance()->getCoursewareByIdentify(record.Identify);
        const bool downloaded = row.downloaded && engine::FileUtils::getInstance()->isDirectoryExist(record.Identify);
        list[static_cast<size_t>(k)].downloaded = downloaded;
        if (auto* box = SceneWidgets::find<engine::ui::CheckBox>(item, "cb_State")) {
            box->setSelected(downloaded);
        }
        if (record.state == 4) {
            SceneWidgets::show(button, "Img_Update", true);
        } else if (record.state == 2) {
            SceneWidgets::show(button, "Slider_Progress", true);
        }
    }
}

void TouLectureScene::updatePageText() {
    SceneWidgets::setText(root, "Text_Page", format("%d/%d", page, pageCount));
}

void TouLectureScene::onPrevPage() {
    page = std::max(page - 1, 1);
    showLectures();
    updatePageText();
}

void TouLectureScene::onNextPage() {
    // An empty list keeps page 1.
    page = std::max(std::min(page + 1, pageCount), 1);
    showLectures();
    updatePageText();
}

Node* TouLectureScene::findLectureButton(int k) const {
    if (k < 0 || pageOf(k) != page || !root) {
        return nullptr;
    }
    Node* panel = UITools::seekChildByName(root, "Panel_Layout");
    return panel ? UITools::seekChildByTag(panel, k + kLectureTagBase) : nullptr;
}

bool TouLectureScene::isEntering() const {
    switch (enterState) {
    case EnterState::LoadingPupils:
        return true;
    case EnterState::Requesting:
        // A request that ended without reaching this scene (a failed transfer, a refusal) frees the lectures.
        return HttpManager::getInstance()->isAwaitingReply(pendingRequest);
    case EnterState::Idle:
        break;
    }
    return false;
}

void TouLectureScene::onLectureClicked(engine::Ref* sender) {
    auto* node = dynamic_cast<Node*>(sender);
    if (!node || isEntering()) {
        return;
    }
    const int k = node->getTag() - kLectureTagBase;
    GDataManager::getInstance()->lessonNumber = k + 1;
    const CoursewareList& list = CoursewareManager::getInstance()->currentList;
    if (k < 0 || k >= static_cast<int>(list.size())) {
        return;
    }
    const CoursewareData record = list[static_cast<size_t>(k)];
    switch (record.state) {
    case 1:
        enterLesson(record);
        break;
    case 4:
        if (!CommonTools::getInstance()->checkClientVersion(record.Version)) {
            CommonTools::getInstance()->showSysUpdateTip();
            break;
        }
        TipsManager::getInstance()->showTipsByKey(
            "LectureStr3", lifeToken.guard([this, record, k] { downloadLecture(record, findLectureButton(k)); }),
            lifeToken.guard([this, record] { enterLesson(record); }));
        break;
    case 2:
    case 3:
        // Already on its way: queued again it would only be logged.
        TipsManager::getInstance()->showTipsByKey("LectureStr5", nullptr, nullptr);
        break;
    default:
        downloadLecture(record, node);
        break;
    }
}

void TouLectureScene::downloadLecture(const CoursewareData& record, Node* clicked) {
    if (SceneWidgets::queueLecture(record) && clicked) {
        SceneWidgets::show(clicked, "Slider_Progress", true);
    }
}

void TouLectureScene::enterLesson(const CoursewareData& record) {
    GDataManager* data = GDataManager::getInstance();
    if (!record.text1.empty()) {
        const CoursewareData::LessonCode code = CoursewareData::readLessonCode(record.text1);
        data->gradeCode = code.grade;
        data->phaseCode = code.stage;
        data->lessonNumber = code.lecture;
    } else {
        // The package's own codes, so the lesson finds the folder it was filed under.
        data->gradeCode = record.GradeCode;
        data->phaseCode = record.StageCode;
        data->lessonNumber = record.LectureCode;
    }
    const int playMode = data->getSubject(0, 0).playMode;
    switch (playMode) {
    case 2:
        requestCourseQuestionList();
        break;
    case 3:
        requestStudentList();
        break;
    case 4:
        openLessonPlayer();
        break;
    default:
        engine::log("error subject playmodel : %d", playMode);
        break;
    }
}

void TouLectureScene::onDownloadProgress(const std::string& identify, double received, double expected) {
    Node* button = findLectureButton(CoursewareManager::getInstance()->getCoursewareIndex(identify));
    auto* slider =
        button ? dynamic_cast<engine::ui::Slider*>(UITools::seekChildByName(button, "Slider_Progress")) : nullptr;
    if (slider) {
        slider->setVisible(true);
        slider->setPercent(SceneWidgets::downloadPercent(received, expected));
    }
}

void TouLectureScene::onDownloadFinished(const std::string&, const std::string& identify) {
    Node* button = findLectureButton(CoursewareManager::getInstance()->getCoursewareIndex(identify));
    Node* item = button ? button->getParent() : nullptr;
    if (!item) {
        return;
    }
    if (auto* box = dynamic_cast<engine::ui::CheckBox*>(UITools::seekChildByName(item, "cb_State"))) {
        box->setSelected(true);
    }
    for (const char* name : {"Slider_Progress", "Img_Update"}) {
        if (Node* node = UITools::seekChildByName(item, name)) {
            node->setVisible(false);
        }
    }
}

void TouLectureScene::requestStudentList() {
    enterState = EnterState::Requesting;
    pendingRequest = "getStudentList";
    HttpManager::getInstance()->sendRequest(
        pendingRequest,
        lifeToken.guard([this](const std::string& name, rapidjson::Value& data) { onStudentListReply(name, data); }),
        true, "union", nullptr,
        {{"classId", format("%d", GDataManager::getInstance()->classIdSelected)}});
}

void TouLectureScene::onStudentListReply(const std::string&, rapidjson::Value& data) {
    enterState = EnterState::LoadingPupils;
    // The server's pupils follow those of "Student.plist", once: an earlier entry's pupils go.
    GDataManager::getInstance()->loadStudentsFromPlist();
    pupils.start(data, [this] {
        enterState = EnterState::Idle;
        SignScene::openFromLectureList();
    });
}

void TouLectureScene::requestCourseQuestionList() {
    GDataManager* data = GDataManager::getInstance();
    enterState = EnterState::Requesting;
    pendingRequest = "getCourseQuestionList";
    HttpManager::getInstance()->sendRequest(pendingRequest,
                                            lifeToken.guard([this](const std::string& name, rapidjson::Value& reply) {
                                                onCourseQuestionListReply(name, reply);
                                            }),
                                            true, "union", nullptr,
                                            {{"typeCode", format("%d", data->courseTypeCode)},
                                             {"subjectCode", format("%d", data->subjectCode)},
                                             {"gradeCode", format("%d", data->gradeCode)},
                                             {"phaseCode", format("%d", data->phaseCode)},
                                             {"lesson", format("%d", data->lessonNumber)}});
}

void TouLectureScene::onCourseQuestionListReply(const std::string&, rapidjson::Value& data) {
    enterState = EnterState::Idle;
    SimpleGameManager::getInstance()->buildLists(data);
    const int playMode = GDataManager::getInstance()->getSubject(0, 0).playMode;
    switch (playMode) {
    case 2:
        if (TouTopicScene* scene = TouTopicScene::create()) {
            engine::Director::getInstance()->replaceScene(scene);
        }
        break;
    case 3:
        break;
    case 4:
        openLessonPlayer();
        break;
    default:
        engine::log("error subject playmodel : %d", playMode);
        break;
    }
}

void TouLectureScene::goToSubject() {
    if (SubjectScene* scene = SubjectScene::create()) {
        engine::Director::getInstance()->replaceScene(scene);
    }
}
