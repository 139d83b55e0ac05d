#include "NavigationFixture.h"

#include <filesystem>

#include "common/GDataManager.h"
#include "common/JsonManager.h"
#include "net/CoursewareManager.h"
#include "common/FileManager.h"
#include "net/HttpManager.h"
#include "platform/FileUtils.h"
#include "scene/Scene.h"
#include "ui/Text.h"

namespace navigation {

std::string textOf(const std::string& name, engine::Node* root) {
    auto* text = dynamic_cast<engine::ui::Text*>(support::findByName(name, root));
    return text ? text->getString() : "<none>";
}

bool shown(const std::string& name, engine::Node* root) {
    engine::Node* node = support::findByName(name, root);
    return node && node->isVisible();
}

void chooseSubject(const std::vector<GradeRecord>& grades) {
    SubjectRecord subject;
    subject.subjectCode = 1;
    subject.enabled = 1;
    subject.playMode = 1;
    for (const GradeRecord& grade : grades) {
        subject.grades[grade.gradeCode] = grade;
    }
    CourseTypeRecord type;
    type.typeCode = 1;
    type.enabled = 1;
    type.subjects[1] = subject;
    GDataManager* data = GDataManager::getInstance();
    data->courseTypes = {{1, type}};
    data->courseTypeCode = 1;
    data->subjectCode = 1;
}

CoursewareData lecture(int stage, int number, int state) {
    CoursewareData record;
    record.CoursewareId = stage * 100 + number;
    record.CourseCode = 1;
    record.SubjectCode = 1;
    record.GradeCode = 1;
    record.StageCode = stage;
    record.LectureCode = number;
    record.Identify = CoursewareData::makeIdentify(1, 1, 1, 1, 1, stage, number);
    record.Url = "http://127.0.0.1:1/files/courseware/" + record.Identify + ".zip";
    record.state = state;
    return record;
}

void NavigationTest::SetUp() {
    support::ClientTest::SetUp();
    GDataManager* data = GDataManager::getInstance();
    data->courseTypes.clear();
    data->classList.clear();
    data->students.clear();
    data->screenOffsetY = 0.f;
    CoursewareManager::destroyInstance();
    // As the end of the login chain: downloaded packages are found through the search paths.
    engine::FileUtils::getInstance()->addSearchPath(FileManager::getInstance()->getNetResPath());
}

void NavigationTest::TearDown() {
    support::ClientTest::TearDown();
    CoursewareManager::destroyInstance();
    GDataManager* data = GDataManager::getInstance();
    data->courseTypes.clear();
    data->classList.clear();
    data->students.clear();
}

void NavigationTest::loadCatalogue() {
    logIn();
    HttpManager* http = HttpManager::getInstance();
    int replies = 0;
    http->sendRequest("getCourseIcon",
                      [this, &replies](const std::string&, rapidjson::Value& data) {
                          readCourseIcons(data);
                          ++replies;
                      },
                      true, "union", nullptr, {{"appId", "9"}});
    ASSERT_TRUE(support::waitFor([&] { return replies == 1; }));
    http->sendRequest("getCoursePermission",
                      [this, &replies](const std::string&, rapidjson::Value& data) {
                          readPermissions(data);
                          ++replies;
                      },
                      true, "union", nullptr, {});
    ASSERT_TRUE(support::waitFor([&] { return replies == 2; }));
    server.clearRecords();
}

void NavigationTest::readCourseIcons(rapidjson::Value& data) {
    JsonManager* json = JsonManager::getInstance();
    auto& courseTypes = GDataManager::getInstance()->courseTypes;
    ASSERT_TRUE(data.IsObject() && data["typeList"].IsArray() && data["subjectList"].IsArray());
    for (const rapidjson::Value& item : data["typeList"].GetArray()) {
        CourseTypeRecord type;
        type.typeCode = json->getInt(item, "typeCode");
        type.typeName = json->getString(item, "typeName");
        type.iconNormal = localIcon(json->getString(item, "iconNormal"));
        type.iconSelected = localIcon(json->getString(item, "iconSelected"));
        type.iconLocked = localIcon(json->getString(item, "iconLocked"));
        courseTypes[type.typeCode] = type;
    }
    for (const rapidjson::Value& item : data["subjectList"].GetArray()) {
        SubjectRecord subject;
        subject.subjectCode = json->getInt(item, "subjectCode");
        subject.playMode = json->getInt(item, "playMode");
        subject.subjectName = json->getString(item, "subjectName");
        subject.iconNormal = localIcon(json->getString(item, "iconNormal"));
        subject.iconSelected = localIcon(json->getString(item, "iconSelected"));
        subject.iconLocked = localIcon(json->getString(item, "iconLocked"));
        courseTypes[json->getInt(item, "typeCode")].subjects[subject.subjectCode] = subject;
    }
}

void NavigationTest::readPermissions(rapidjson::Value& data) {
    JsonManager* json = JsonManager::getInstance();
    auto& courseTypes = GDataManager::getInstance()->courseTypes;
    ASSERT_TRUE(data.IsArray());
    for (const rapidjson::Value& typeItem : data.GetArray()) {
        auto type = courseTypes.find(json->getInt(typeItem, "typeCode"));
        if (type == courseTypes.end()) {
            continue;
        }
        type->second.enabled = json->getInt(typeItem, "enabled");
        for (const rapidjson::Value& subjectItem : typeItem["children"].GetArray()) {
            SubjectRecord& subject = type->second.subjects[json->getInt(subjectItem, "subjectCode")];
            subject.enabled = json->getInt(subjectItem, "enabled");
            for (const rapidjson::Value& gradeItem : subjectItem["children"].GetArray()) {
                GradeRecord grade;
                grade.enabled = json->getInt(gradeItem, "enabled");
                grade.gradeCode = json->getInt(gradeItem, "gradeCode");
                grade.gradeName = json->getString(gradeItem, "gradeName");
                for (const rapidjson::Value& phaseItem : gradeItem["children"].GetArray()) {
                    PhaseRecord phase;
                    phase.enabled = json->getInt(phaseItem, "enabled");
                    phase.phaseCode = json->getInt(phaseItem, "phaseCode");
                    phase.phaseName = json->getString(phaseItem, "phaseName");
                    grade.phases[phase.phaseCode] = phase;
                }
                subject.grades[grade.gradeCode] = grade;
            }
        }
    }
}

std::string NavigationTest::localIcon(const std::string& url) const {
    // The login chain would download the file; the server's own copy is the same picture.
    const std::string origin = server.origin();
    const std::string path = url.rfind(origin, 0) == 0 ? url.substr(origin.size()) : url;
    return (courseware::CoursewareServer::defaultDataDir() / path.substr(1)).string();
}

void NavigationTest::enter(engine::Scene* scene) {
    ASSERT_NE(scene, nullptr);
    support::runScene(scene);
    support::stepFrames(2);
}

void NavigationTest::enterLoaded(engine::Scene* scene) {
    enter(scene);
    ASSERT_TRUE(waitFor([] { return support::findByName("Img_LoadingBg") == nullptr; }));
}

std::vector<engine::Node*> NavigationTest::courseButtons() const {
    std::vector<engine::Node*> buttons;
    engine::Node* panel = support::findByName("Panel_Layout");
    if (!panel) {
        return buttons;
    }
    for (engine::Node* item : panel->getChildren()) {
        if (engine::Node* button = support::findByName("Btn_Course", item)) {
            buttons.push_back(button);
        }
    }
    return buttons;
}

ScriptedServer::ScriptedServer()
    : _server([this](httplib::Server& server) {
          server.Post(".*", [this](const httplib::Request&, httplib::Response& response) {
              std::unique_lock<std::mutex> lock(_mutex);
              ++_received;
              _condition.wait(lock, [this] { return _stopping || !_replies.empty(); });
              if (_replies.empty()) {
                  response.status = 503;
                  return;
              }
              response.set_content(_replies.front(), "application/json");
              _replies.pop_front();
          });
      }) {}

ScriptedServer::~ScriptedServer() {
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _stopping = true;
    }
    _condition.notify_all();
}

std::string ScriptedServer::baseUrl() const {
    return _server.url("/api/");
}

void ScriptedServer::answer(const std::string& data) {
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _replies.push_back(R"({"code":0,"status":0,"msg":"","data":)" + data + "}");
    }
    _condition.notify_all();
}

int ScriptedServer::received() const {
    std::lock_guard<std::mutex> lock(_mutex);
    return _received;
}

} // namespace navigation
