#include "support/DemoTopics.h"

#include <rapidjson/document.h>

#include <algorithm>
#include <filesystem>

#include "base/Director.h"
#include "common/GDataManager.h"
#include "common/FileManager.h"
#include "platform/FileUtils.h"
#include "scene/Scene.h"
#include "support/Headless.h"
#include "topics/TopicLayer.h"
#include "topics/TopicManage.h"

namespace support {

void useResourceRoot(const std::string& folder) {
    engine::FileUtils* files = engine::FileUtils::getInstance();
    files->setDefaultResourceRootPath(folder + "/");
    files->setSearchPaths({folder + "/"});
    for (const char* pack : {"Plist/", "Layouts/", "Images/", "Animations/", "Sounds/", "Fonts/"}) {
        files->addSearchPath(std::string(TEST_PROGRAM_DIR "/") + pack);
    }
}

std::string packagePath() {
    const std::string plist = FileManager::getInstance()->getTopicPlistPath();
    return plist.substr(0, plist.size() - std::string("Topic.plist").size());
}

std::string chooseLecture(const std::string& identify) {
    GDataManager* data = GDataManager::getInstance();
    int* codes[] = {&data->courseTypeCode, &data->subjectCode, &data->gradeCode, &data->phaseCode, &data->lessonNumber};
    for (int k = 0; k < 5; ++k) {
        *codes[k] = std::stoi(identify.substr(2 * k, 2));
    }
    return packagePath();
}

void useDemoLecture(const std::string& identify) {
    namespace fs = std::filesystem;
    fs::copy(demoPackage(identify), chooseLecture(identify),
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

std::vector<std::string> demoLectures() {
    namespace fs = std::filesystem;
    std::vector<std::string> identifies;
    for (const auto& entry : fs::directory_iterator(TEST_PROGRAM_DIR "/demo-topics")) {
        const std::string name = entry.path().filename().string();
        if (entry.is_directory() && name.size() == 10 && name[0] != '.') {
            identifies.push_back(name);
        }
    }
    std::sort(identifies.begin(), identifies.end());
    return identifies;
}

std::string lectureWith(int code) {
    for (const std::string& identify : demoLectures()) {
        const engine::ValueMap plist = engine::FileUtils::getInstance()->getValueMapFromFile(
            std::string(TEST_PROGRAM_DIR "/demo-topics/") + identify + "/Topic.plist");
        for (const auto& [kind, topics] : engine::valueOrNull(plist, "Subject").asValueMap()) {
            for (const engine::Value& topic : topics.asValueVector()) {
                if (engine::valueOrNull(topic.asValueMap(), "LayoutModel").asInt() == code) {
                    return identify;
                }
            }
        }
    }
    return "";
}

int findTopic(int code) {
    TopicManage* topics = TopicManage::getInstance();
    for (int kind = 1; kind <= 3; ++kind) {
        topics->contentKind = kind;
        topics->loadTopics();
        for (topics->currentTopic = 0; topics->currentTopic < topics->getTopicCount(); ++topics->currentTopic) {
            if (topics->getLayoutModel() == code) {
                return topics->currentTopic;
            }
        }
    }
    return -1;
}

TopicLayer* openTopicHost() {
    runScene(engine::Scene::create());
    TopicLayer* host = TopicLayer::create();
    engine::Director::getInstance()->getRunningScene()->addChild(host);
    stepFrames(2);
    return host;
}

std::vector<CatalogueLecture> demoCatalogue() {
    rapidjson::Document document;
    document.Parse(
        engine::FileUtils::getInstance()->getStringFromFile(TEST_SOURCE_DIR "/server/data/courses.json").c_str());
    std::vector<CatalogueLecture> lectures;
    for (const auto& item : document.GetArray()) {
        std::string stage;
        for (const char* key : {"type", "subject", "grade", "phase"}) {
            stage += std::to_string(item[key].GetInt()) + "/";
        }
        lectures.push_back({item["type"].GetInt(), stage, item["package"].GetString()});
    }
    return lectures;
}

std::string demoPackage(const std::string& identify) {
    const std::string source = TEST_SOURCE_DIR "/server/packages/" + identify;
    const std::string withMovies = TEST_PROGRAM_DIR "/server-data/packages/" + identify;
    return std::filesystem::is_directory(withMovies) ? withMovies
           : std::filesystem::is_directory(source)   ? source
                                                     : TEST_PROGRAM_DIR "/demo-topics/" + identify;
}

} // namespace support
