#include "scenes/SubjectScene.h"

#include <vector>

#include "base/Director.h"
#include "base/Log.h"
#include "base/StringUtils.h"
#include "common/AudioManager.h"
#include "common/GDataManager.h"
#include "common/JsonManager.h"
#include "common/TipsManager.h"
#include "common/UITools.h"
#include "net/CoursewareManager.h"
#include "net/HttpManager.h"
#include "net/SqManager.h"
#include "platform/FileUtils.h"
#include "scenes/CourseButtonPages.h"
#include "scenes/CourseScene.h"
#include "scenes/GradeScene.h"
#include "scenes/SceneWidgets.h"
#include "scenes/TouGradeScene.h"
#include "scenes/TouLectureScene.h"
#include "ui/Text.h"

namespace {

constexpr int kSubjectsPerPage = 6;

} // namespace

SubjectScene::~SubjectScene() {
    endRound();
    removeOwnLoading();
}

void SubjectScene::initData() {
    GDataManager* data = GDataManager::getInstance();
    data->subjectCode = 0;
    data->gradeCode = 0;
    data->phaseCode = 0;
    data->lessonNumber = 0;
    data->classIdSelected = 0;
    CoursewareManager* courseware = CoursewareManager::getInstance();
    courseware->lists.clear();
    courseware->currentList.clear();
    pendingReplies = 0;
    subjects = data->getCourseType(0).subjects;
    page = 1;
    pageCount = SceneWidgets::pageCountOf(subjects.size(), kSubjectsPerPage);
}

void SubjectScene::initRes() {
    root = UITools::createCsbNode("SubjectScene.csb");
    if (!root) {
        return;
    }
    addChild(root);
    UITools::showClientBackground(root);
    SceneWidgets::bindClick(
        root, "Btn_Return", [this] { onReturn(); }, true);
    if (auto* title = SceneWidgets::find<engine::ui::Text>(root, "Text_Title")) {
        title->setString(GDataManager::getInstance()->getCourseType(0).typeName);
    }
    CourseButtonPages::bindTurnButtons(root, pageCount, [this](int delta) { changePage(delta); });
}

void SubjectScene::screenAdaptation() {
    if (!root) {
        return;
    }
    if (engine::Node* title = SceneWidgets::find(root, "Img_Title")) {
        title->setPositionY(engine::Director::getInstance()->getWinSize().height);
    }
}

void SubjectScene::onEnterTransitionDidFinish() {
    BaseScene::onEnterTransitionDidFinish();
    AudioManager::getInstance()->playBackgroundMusic();
    showSubjects();
}

void SubjectScene::showSubjects() {
    // Two rows of three, at the odd sixths of the panel's width and the first and third quarters of its height.
    const auto place = [](int index, const engine::Size& size) {
        const int column = index % 3;
        const int row = index / 3;
        return engine::Vec2(static_cast<float>(2 * column + 1) * (size.width / 6.0f),
                            size.height - static_cast<float>(2 * row + 1) * (size.height * 0.25f));
    };
    CourseButtonPages::show(root, subjects, &SubjectRecord::subjectCode, page, kSubjectsPerPage, place,
                            [this](engine::Ref* sender) { onSubjectClicked(sender); });
}

void SubjectScene::changePage(int delta) {
    if (CourseButtonPages::turn(page, delta, pageCount)) {
        showSubjects();
    }
}

void SubjectScene::onSubjectClicked(engine::Ref* sender) {
    auto* node = dynamic_cast<engine::Node*>(sender);
    if (!node) {
        return;
    }
    GDataManager::getInstance()->subjectCode = node->getTag();
    requestCourseList();
}

void SubjectScene::requestCourseList() {
    GDataManager* data = GDataManager::getInstance();
    const SubjectRecord subject = data->getSubject(0, 0);
    // A new round starts from empty lists, so records of an earlier, failed round are not filed twice.
    CoursewareManager* courseware = CoursewareManager::getInstance();
    courseware->lists.clear();
    courseware->currentList.clear();

    std::map<std::string, std::string> fields;
    fields["typeCode"] = engine::StringUtils::format("%d", data->courseTypeCode);
    fields["subjectCode"] = engine::StringUtils::format("%d", data->subjectCode);
    // The requests of an earlier round are dropped: none waits on the one connection, no late reply arrives.
    endRound();
    round = std::make_shared<std::atomic<bool>>(false);
    const auto onReply =
        lifeToken.guard([this](const std::string& name, rapidjson::Value& reply) { onCourseListReply(name, reply); });
    const auto onFailure =
        lifeToken.guard([this](int32_t code, const std::string& message) { onCourseListFailed(code, message); });
    // A subject without grades asks once, for grade 0.
    std::vector<int> gradeCodes;
    for (const auto& [gradeCode, grade] : subject.grades) {
        gradeCodes.push_back(gradeCode);
    }
    if (gradeCodes.empty()) {
        gradeCodes.push_back(0);
    }
    pendingReplies = static_cast<int>(gradeCodes.size());
    for (int gradeCode : gradeCodes) {
        fields["gradeCode"] = engine::StringUtils::format("%d", gradeCode);
        HttpManager::getInstance()->sendRequest("getCourseList", onReply, false, "union", onFailure, fields, nullptr,
                                                round);
    }
}

void SubjectScene::onCourseListReply(const std::string&, rapidjson::Value& data) {
    if (pendingReplies <= 0) {
        // The rest of a round that already failed.
        engine::log("getCourseList reply dropped: no request pending");
        return;
    }
    --pendingReplies;
    JsonManager* json = JsonManager::getInstance();
    json->forEachObject(json->asArray(data, "data"), "data",
                        [this](const rapidjson::Value& item) { fileCourseware(item); });
    if (pendingReplies > 0) {
        return;
    }
    openNextScene();
}

void SubjectScene::endRound() {
    if (round) {
        round->store(true);
    }
}

void SubjectScene::onCourseListFailed(int code, const std::string& message) {
    engine::log("getCourseList failed: %d %s", code, message.c_str());
    if (pendingReplies > 0) {
        TipsManager::getInstance()->showTips(message, nullptr, nullptr);
    }
    pendingReplies = 0;
    endRound();
    removeOwnLoading();
}

void SubjectScene::fileCourseware(const rapidjson::Value& item) {
    CoursewareData record = JsonManager::getInstance()->readCourseware(item);
    const int listGrade = record.GradeCode;
    if (!record.text1.empty()) {
        const CoursewareData::LessonCode code = CoursewareData::readLessonCode(record.text1);
        record.GradeCode = code.grade;
        record.StageCode = code.stage;
        record.LectureCode = code.lecture;
    }
    CoursewareManager* courseware = CoursewareManager::getInstance();
    record.Identify = CoursewareManager::getIdentify(record);

    const CoursewareData row = SqManager::getInstance()->getCoursewareByIdentify(record.Identify);
    if (row.downloaded && engine::FileUtils::getInstance()->isDirectoryExist(record.Identify)) {
        record.downloaded = true;
        record.state = record.Hash == row.Hash ? 1 : 4;
    } else {
        record.state = 5;
    }
    if (courseware->isQueued(record.Identify)) {
        record.state = 2;
    }
    courseware->getCoursewareList(listGrade).push_back(record);
}

void SubjectScene::openNextScene() {
    GDataManager* data = GDataManager::getInstance();
    const SubjectRecord subject = data->getSubject(0, 0);
    switch (subject.playMode) {
    case 1:
        if (GradeScene* scene = GradeScene::create()) {
            engine::Director::getInstance()->replaceScene(scene);
            return;
        }
        break;
    case 2:
    case 3:
    case 4:
        data->loadStudentsFromPlist();
        if (subject.grades.empty()) {
            if (TouLectureScene* scene = TouLectureScene::create()) {
                engine::Director::getInstance()->replaceScene(scene);
                return;
            }
        } else if (TouGradeScene* scene = TouGradeScene::create()) {
            engine::Director::getInstance()->replaceScene(scene);
            return;
        }
        break;
    default:
        engine::log("error course type : %d", subject.playMode);
        break;
    }
    // The scene stays: the teacher must reach its buttons again.
    removeOwnLoading();
}

void SubjectScene::onReturn() {
    if (CourseScene* scene = CourseScene::create()) {
        engine::Director::getInstance()->replaceScene(scene);
    }
}

void SubjectScene::removeOwnLoading() {
    HttpManager* http = HttpManager::getInstance();
    engine::Node* panel = http ? http->getLoadingPanel() : nullptr;
    if (panel && panel->getParent() == this) {
        http->removeLoading();
    }
}
