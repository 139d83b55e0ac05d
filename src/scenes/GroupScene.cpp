// Index of this file:
// [SECTION] Small helpers
// [SECTION] Making the screen
// [SECTION] Counts, pages and the pupils' list
// [SECTION] Dragging a pupil into a group
// [SECTION] Group counts and random groups
// [SECTION] The confirm and the opening video
// [SECTION] The lecture's file list and the lesson

#include "scenes/GroupScene.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "base/Director.h"
#include "base/Log.h"
#include "base/StringUtils.h"
#include "base/Touch.h"
#include "common/AudioManager.h"
#include "common/CommonTools.h"
#include "common/DragTools.h"
#include "common/GDataManager.h"
#include "common/JsonManager.h"
#include "common/TipsManager.h"
#include "common/UITools.h"
#include "lesson/DownloadLayer.h"
#include "lesson/LogicTopicScene.h"
#include "net/CoursewareManager.h"
#include "net/DownManager.h"
#include "common/FileManager.h"
#include "net/HttpManager.h"
#include "platform/FileUtils.h"
#include "scene/Scene.h"
#include "scenes/SceneWidgets.h"
#include "scenes/SignScene.h"
#include "ui/Text.h"
#include "ui/Widget.h"

using engine::Node;
using engine::StringUtils::format;

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Small helpers
//----------------------------------------------------------------------------------------------------------------------

namespace {

constexpr int kPerPage = 4;
constexpr int kOverlayZOrder = 105;
const char* const kOpeningVideo = "opening video";

bool isGroupCount(int count) {
    return count >= 2 && count <= 4;
}

// Scale of a head in a group slot, by group count.
float groupIconScale(int count) {
    return count == 2 ? 0.83f : 0.8f;
}

} // namespace

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Making the screen
//----------------------------------------------------------------------------------------------------------------------

GroupScene::~GroupScene() {
    if (returnCallback) {
        returnCallback();
    }
}

bool GroupScene::init() {
    if (!BaseScene::init()) {
        return false;
    }
    AudioManager::getInstance()->playBackgroundMusic();
    returnCallback = nullptr;
    DragTools::listenToTouches(this);
    refreshList();
    refreshGroups();
    schedule([this](float dt) { updatePageButtons(dt); }, "GroupPageButtons");
    startOpeningVideoCheck();
    return true;
}

void GroupScene::initData() {
    groupPanel = nullptr;
    page = 1;
    GDataManager* data = GDataManager::getInstance();
    if (!isGroupCount(data->groupCount)) {
        data->groupCount = 2;
    }
}

void GroupScene::initRes() {
    rootNode = UITools::createCsbNode("GroupScene.csb");
    if (!rootNode) {
        return;
    }
    addChild(rootNode);
    SceneWidgets::bindClick(
        rootNode, "Btn_Return", [this] { onReturn(); }, true);
    SceneWidgets::bindClick(
        rootNode, "ConfirmBtn", [this] { onConfirm(); }, false);
    SceneWidgets::bindClick(
        rootNode, "RandomBtn", [this] { randomGroup(); }, false);
    SceneWidgets::bindClick(
        rootNode, "ResetBtn", [this] { resetGroups(); }, false);
    for (int count = 2; count <= 4; ++count) {
        SceneWidgets::bindClick(
            rootNode, format("GroupBtn%d", count), [this, count] { onGroupCount(count); }, false);
    }
    const int count = GDataManager::getInstance()->groupCount;
    groupButton = SceneWidgets::find<engine::ui::Widget>(rootNode, format("GroupBtn%d", count));
    if (groupButton) {
        groupButton->setHighlighted(true);
    }
    groupPanel = SceneWidgets::find(rootNode, format("GroupPanel%d", count));
    if (groupPanel) {
        groupPanel->setVisible(true);
    }
    SceneWidgets::bindClick(
        rootNode, "PageUpBtn", [this] { onPage(-1); }, false);
    SceneWidgets::bindClick(
        rootNode, "PageDownBtn", [this] { onPage(1); }, false);
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Counts, pages and the pupils' list
//----------------------------------------------------------------------------------------------------------------------

int GroupScene::countSigned() const {
    int count = 0;
    for (const StudentRecord& pupil : GDataManager::getInstance()->students) {
        count += pupil.isSign ? 1 : 0;
    }
    return count;
}

int GroupScene::countUnassigned() const {
    return static_cast<int>(getGroupMembers(0).size());
}

std::vector<int> GroupScene::getGroupMembers(int group) const {
    std::vector<int> members;
    const auto& students = GDataManager::getInstance()->students;
    for (size_t i = 0; i < students.size(); ++i) {
        if (students[i].isSign && students[i].group == group) {
            members.push_back(static_cast<int>(i));
        }
    }
    return members;
}

int GroupScene::pageCount() const {
    // Only the pupils still to group are listed.
    return SceneWidgets::pageCountOf(static_cast<size_t>(countUnassigned()), kPerPage);
}

int GroupScene::clampedPage() const {
    return std::clamp(page, 1, std::max(1, pageCount()));
}

Node* GroupScene::addHeadIcon(int index, const engine::Vec2& pos, float scale) {
    Node* icon = UITools::createHeadItem(GDataManager::getInstance()->students[static_cast<size_t>(index)]);
    if (!icon) {
        return nullptr;
    }
    // By its place in the list: ids need not be unique (pupils of "Student.plist" next to the server's).
    icon->setTag(index);
    icon->setPosition(pos);
    icon->setScale(scale);
    rootNode->addChild(icon);
    return icon;
}

void GroupScene::refreshList() {
    SceneWidgets::removeAll(listIcons);
    if (!rootNode) {
        return;
    }
    page = clampedPage();
    updatePageText();
    const std::vector<int> list = getGroupMembers(0);
    SceneWidgets::show(rootNode, "ListPanel", !list.empty());
    SceneWidgets::show(rootNode, "ListNonePanel", list.empty());
    for (int i = 0; i < kPerPage; ++i) {
        const int index = (page - 1) * kPerPage + i;
        Node* slot = index >= 0 && index < static_cast<int>(list.size())
                         ? SceneWidgets::find(rootNode, format("ListPos%d", i + 1))
                         : nullptr;
        if (Node* icon = slot ? addHeadIcon(list[static_cast<size_t>(index)], slot->getPosition(), 1.f) : nullptr) {
            listIcons.push_back(icon);
        }
    }
}

void GroupScene::updatePageText() {
    SceneWidgets::setText(rootNode, "PageText11", format("%d", page));
    SceneWidgets::setText(rootNode, "PageText12", format("%d", pageCount()));
}

void GroupScene::refreshGroups() {
    SceneWidgets::removeAll(groupIcons);
    if (!groupPanel) {
        return;
    }
    const int count = GDataManager::getInstance()->groupCount;
    const float offsetY = GDataManager::getInstance()->screenOffsetY;
    for (int group = 1; group <= count; ++group) {
        const std::vector<int> members = getGroupMembers(group);
        for (size_t k = 0; k < members.size(); ++k) {
            // A group with more members than slots shows the ones that fit.
            Node* slot = UITools::seekChildByName(groupPanel, format("GroupPos%d%d%d", count, group, int(k) + 1));
            if (!slot) {
                break;
            }
            const engine::Vec2 pos(slot->getPositionX(), slot->getPositionY() + offsetY);
            if (Node* icon = addHeadIcon(members[k], pos, groupIconScale(count))) {
                groupIcons.push_back(icon);
            }
        }
    }
}

void GroupScene::onPage(int delta) {
    page += delta;
    refreshList();
}

void GroupScene::updatePageButtons(float) {
    const int count = pageCount();
    if (page != clampedPage()) {
        refreshList();
    }
    Node* up = UITools::seekChildByName(rootNode, "PageUpBtn");
    Node* down = UITools::seekChildByName(rootNode, "PageDownBtn");
    if (!up || !down) {
        return;
    }
    if (page == 1) {
        up->setVisible(false);
        down->setVisible(true);
    }
    if (page == count) {
        up->setVisible(true);
        down->setVisible(false);
    }
    if (count <= 1) {
        up->setVisible(false);
        down->setVisible(false);
    }
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Dragging a pupil into a group
//----------------------------------------------------------------------------------------------------------------------

bool GroupScene::onTouchBegan(engine::Touch* touch, engine::Event*) {
    draggedIcon = nullptr;
    dragStartPos = engine::Vec2::ZERO;
    const engine::Vec2 location = touch->getLocation();
    for (const std::vector<Node*>* icons : {&listIcons, &groupIcons}) {
        draggedIcon = DragTools::firstHit(*icons, location);
        if (draggedIcon) {
            dragStartPos = draggedIcon->getPosition();
            return true;
        }
    }
    return false;
}

void GroupScene::onTouchMoved(engine::Touch* touch, engine::Event*) {
    if (draggedIcon) {
        DragTools::placeAt(draggedIcon, touch->getLocation());
    }
}

void GroupScene::onTouchEnded(engine::Touch* touch, engine::Event*) {
    if (!draggedIcon) {
        return;
    }
    auto& students = GDataManager::getInstance()->students;
    const int index = draggedIcon->getTag();
    StudentRecord* pupil =
        index >= 0 && index < static_cast<int>(students.size()) ? &students[static_cast<size_t>(index)] : nullptr;
    const engine::Vec2 location = touch->getLocation();
    if (DragTools::hits(UITools::seekChildByName(rootNode, "ListPanel"), location)) {
        if (pupil) {
            pupil->group = 0;
        }
        draggedIcon = nullptr;
    } else if (groupPanel) {
        const int count = GDataManager::getInstance()->groupCount;
        for (int group = 1; group <= count; ++group) {
            if (DragTools::hits(UITools::seekChildByName(groupPanel, format("GroupBg%d", group)), location)) {
                if (pupil) {
                    pupil->group = group;
                }
                draggedIcon = nullptr;
                break;
            }
        }
    }
    if (draggedIcon) {
        draggedIcon->setPosition(dragStartPos);
        draggedIcon = nullptr;
    }
    refreshList();
    refreshGroups();
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Group counts and random groups
//----------------------------------------------------------------------------------------------------------------------

void GroupScene::onGroupCount(int count) {
    if (!isGroupCount(count)) {
        engine::log("error group count: %d", count);
        return;
    }
    GDataManager::getInstance()->groupCount = count;
    if (groupButton) {
        groupButton->setHighlighted(false);
    }
    groupButton = SceneWidgets::find<engine::ui::Widget>(rootNode, format("GroupBtn%d", count));
    if (groupButton) {
        groupButton->setHighlighted(true);
    }
    if (groupPanel) {
        groupPanel->setVisible(false);
    }
    groupPanel = SceneWidgets::find(rootNode, format("GroupPanel%d", count));
    if (groupPanel) {
        groupPanel->setVisible(true);
    }
    resetGroups();
}

void GroupScene::resetGroups() {
    for (StudentRecord& pupil : GDataManager::getInstance()->students) {
        pupil.group = 0;
    }
    page = 1;
    refreshList();
    refreshGroups();
}

void GroupScene::randomGroup() {
    const int groups = GDataManager::getInstance()->groupCount;
    if (!isGroupCount(groups)) {
        engine::log("error group count: %d", groups);
        return;
    }
    resetGroups();
    const int signedCount = countSigned();
    const int base = signedCount / groups;
    const int rest = signedCount - groups * base;
    // Pupils still to place in each group: the sizes differ by at most one, the larger groups as listed.
    std::array<int, 4> quotas{};
    for (int g = 0; g < groups; ++g) {
        quotas[static_cast<size_t>(g)] = base;
    }
    static const std::array<std::array<int, 4>, 9> kExtra{{
        {0, 0, 0, 0},
        {0, 1, 0, 0}, // 2 groups, rest 0 and 1
        {0, 0, 0, 0},
        {0, 0, 1, 0},
        {1, 1, 0, 0}, // 3 groups, rest 0 to 2
        {0, 0, 0, 0},
        {0, 0, 0, 1},
        {1, 1, 0, 0},
        {1, 1, 1, 0}, // 4 groups, rest 0 to 3
    }};
    const int row = (groups == 2 ? 0 : groups == 3 ? 2 : 5) + rest;
    for (size_t g = 0; g < quotas.size(); ++g) {
        quotas[g] += kExtra[static_cast<size_t>(row)][g];
    }
    // Seeded once: every draw picks among the groups that still have room.
    std::srand(static_cast<unsigned>(CommonTools::getInstance()->getCurrentTime() & 0xffffffff));
    auto& students = GDataManager::getInstance()->students;
    for (StudentRecord& pupil : students) {
        if (!pupil.isSign) {
            continue;
        }
        std::vector<int> open;
        for (int g = 0; g < groups; ++g) {
            if (quotas[static_cast<size_t>(g)] > 0) {
                open.push_back(g);
            }
        }
        if (open.empty()) {
            break;
        }
        const int chosen = open[static_cast<size_t>(std::rand()) % open.size()];
        --quotas[static_cast<size_t>(chosen)];
        pupil.group = chosen + 1;
    }
    refreshList();
    refreshGroups();
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] The confirm and the opening video
//----------------------------------------------------------------------------------------------------------------------

void GroupScene::onConfirm() {
    if (countUnassigned() >= 1) {
        TipsManager::getInstance()->showTipsByKey("GroupStr1", lifeToken.guard([this] { onUnassignedConfirmed(); }),
                                                  nullptr);
        return;
    }
    enterLessonWithOpeningVideo();
}

void GroupScene::startOpeningVideoCheck() {
    const std::string movie = openingVideoPath();
    if (!movie.empty() && engine::FileUtils::getInstance()->isFileExist(movie)) {
        openingVideoCheck = std::make_unique<MovieCheck>(movie, kOpeningVideo);
    }
}

bool GroupScene::isOpeningVideoChecked() const {
    return openingVideoCheck && openingVideoCheck->isDone();
}

void GroupScene::enterLessonWithOpeningVideo() {
    if (awaitingOpeningVideo) {
        return;
    }
    const std::string movie = openingVideoPath();
    if (movie.empty()) {
        enterLesson();
        return;
    }
    const auto fetch = [this] {
        wantedFileTypes = {5, 6};
        requestCourseFileList();
    };
    if (!engine::FileUtils::getInstance()->isFileExist(movie)) {
        // A check begun on a file gone since is not the check of the one fetched.
        openingVideoCheck.reset();
        fetch();
        return;
    }
    // A file on disk gets the check of a download: one that does not play is removed and fetched again.
    checkOpeningVideo(movie, [this, fetch](bool kept) { kept ? enterLesson() : fetch(); });
}

std::string GroupScene::openingVideoPath() const {
    const CoursewareManager* courseware = CoursewareManager::getInstance();
    const int index = courseware->getCoursewareIndex(CoursewareManager::getCurrentIdentify());
    if (index <= 0) {
        return "";
    }
    const CoursewareData& previous = courseware->currentList[static_cast<size_t>(index - 1)];
    return FileManager::getInstance()->getSumMoviePath(previous) + ".mp4";
}

void GroupScene::checkOpeningVideo(const std::string& movie, const std::function<void(bool kept)>& then) {
    if (!openingVideoCheck) {
        openingVideoCheck = std::make_unique<MovieCheck>(movie, kOpeningVideo);
    }
    awaitingOpeningVideo = true;
    const auto end = [this, then] {
        const bool kept = openingVideoCheck->finish();
        openingVideoCheck.reset();
        awaitingOpeningVideo = false;
        then(kept);
    };
    // A file checked before is done at once.
    if (openingVideoCheck->isDone()) {
        end();
        return;
    }
    schedule(
        [this, end](float) {
            if (openingVideoCheck->isDone()) {
                unschedule("openingVideoCheck");
                end();
            }
        },
        "openingVideoCheck");
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] The lecture's file list and the lesson
//----------------------------------------------------------------------------------------------------------------------

void GroupScene::requestCourseFileList() {
    const CoursewareManager* courseware = CoursewareManager::getInstance();
    const int index = courseware->getCoursewareIndex(CoursewareManager::getCurrentIdentify());
    if (index < 1) {
        return;
    }
    const CoursewareData previous = courseware->currentList[static_cast<size_t>(index - 1)];
    engine::FileUtils* files = engine::FileUtils::getInstance();
    const std::string folder = FileManager::getInstance()->getNetResPath() + CoursewareManager::getIdentify(previous);
    for (const std::string& path : {folder + "/", folder + "/mp4/"}) {
        if (!files->isDirectoryExist(path)) {
            files->createDirectory(path);
        }
    }
    const std::string basePath = FileManager::getInstance()->getSumMoviePath(previous);
    HttpManager::getInstance()->sendRequest(
        "getCourseFileList", lifeToken.guard([this, basePath](const std::string& name, rapidjson::Value& data) {
            onCourseFileListReply(name, data, basePath);
        }),
        true, "union", nullptr,
        {{"lesson", format("%d", previous.LectureCode)},
         {"typeCode", format("%d", previous.CourseCode)},
         {"subjectCode", format("%d", previous.SubjectCode)},
         {"gradeCode", format("%d", previous.GradeCode)},
         {"phaseCode", format("%d", previous.StageCode)}});
}

void GroupScene::onCourseFileListReply(const std::string&, rapidjson::Value& data, const std::string& basePath) {
    JsonManager* json = JsonManager::getInstance();
    DownloadLayer* overlay = DownloadLayer::create();
    if (!overlay) {
        enterLesson();
        return;
    }
    // Anything but an array lists no files.
    const rapidjson::Value* items = json->asArray(data, "getCourseFileList");
    for (int type : wantedFileTypes) {
        json->forEachObject(items, "getCourseFileList", [&](const rapidjson::Value& item) {
            if (json->getInt(item, "type") != type) {
                return;
            }
            DownloadRecord record;
            record.url = json->getString(item, "url");
            record.identifier = "." + json->getString(item, "format");
            // The format becomes part of a path.
            if (!DownManager::isSafeExtension(record.identifier)) {
                engine::log("error file format: %s", record.identifier.c_str());
                return;
            }
            record.storagePath = basePath + record.identifier;
            overlay->addTask(record);
        });
    }
    overlay->finishCallback = lifeToken.guard([this, basePath] {
        // A file that does not play goes, so the next entry fetches it again.
        const std::string movie = basePath + ".mp4";
        if (engine::FileUtils::getInstance()->isFileExist(movie)) {
            checkOpeningVideo(movie, [this](bool) { enterLesson(); });
        } else {
            enterLesson();
        }
    });
    overlay->setLocalZOrder(kOverlayZOrder);
    // On the screen before it starts: with nothing to fetch it finishes and goes at once.
    if (engine::Scene* running = engine::Director::getInstance()->getRunningScene()) {
        running->addChild(overlay);
    }
    overlay->startNext();
}

void GroupScene::enterLesson() {
    AudioManager::getInstance()->stopBackgroundMusic();
    GDataManager* data = GDataManager::getInstance();
    switch (data->enteredFrom) {
    case 0:
    case 2:
        data->enteredFrom = 0;
        if (LogicTopicScene* scene = LogicTopicScene::create()) {
            engine::Director::getInstance()->replaceScene(scene);
        }
        break;
    case 3:
        data->enteredFrom = 0;
        engine::Director::getInstance()->popScene();
        break;
    default:
        break;
    }
}

void GroupScene::onUnassignedConfirmed() {
    if (countUnassigned() == countSigned()) {
        GDataManager::getInstance()->groupCount = 0;
    }
    enterLessonWithOpeningVideo();
}

void GroupScene::onReturn() {
    GDataManager* data = GDataManager::getInstance();
    switch (data->enteredFrom) {
    case 0:
    case 2:
        if (SignScene* scene = SignScene::create()) {
            engine::Director::getInstance()->replaceScene(scene);
        }
        break;
    case 3:
        AudioManager::getInstance()->stopBackgroundMusic();
        data->enteredFrom = 0;
        engine::Director::getInstance()->popScene();
        break;
    default:
        break;
    }
}
