// The demo catalogue and its packages: every lecture a teacher is offered can be reached, and its pages and game
// show something to answer.
#include <gtest/gtest.h>

#include <rapidjson/document.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "base/Value.h"
#include "platform/FileUtils.h"

using namespace engine;
namespace fs = std::filesystem;

namespace {

struct Lecture {
    std::string stage; // "type/subject/grade/phase"
    std::string package;
};

std::vector<Lecture> catalogue() {
    std::ifstream in(TEST_SOURCE_DIR "/server/data/courses.json");
    std::stringstream text;
    text << in.rdbuf();
    rapidjson::Document document;
    document.Parse(text.str().c_str());
    std::vector<Lecture> lectures;
    for (const auto& item : document.GetArray()) {
        std::string stage;
        for (const char* key : {"type", "subject", "grade", "phase"}) {
            stage += std::to_string(item[key].GetInt()) + "/";
        }
        lectures.push_back({stage, item["package"].GetString()});
    }
    return lectures;
}

// The committed package, else the one drawn at build time.
fs::path packageOf(const std::string& identify) {
    const fs::path source = fs::path(TEST_SOURCE_DIR "/server/packages") / identify;
    return fs::is_directory(source) ? source : fs::path(TEST_PROGRAM_DIR "/demo-topics") / identify;
}

ValueMap topicPlist(const std::string& identify) {
    return FileUtils::getInstance()->getValueMapFromFile((packageOf(identify) / "Topic.plist").string());
}

// A picture of the package's folder, else of the program folder's pictures.
bool pictureExists(const std::string& identify, const std::string& folder, const std::string& name) {
    return fs::is_regular_file(packageOf(identify) / folder / name) ||
           fs::is_regular_file(fs::path(TEST_PROGRAM_DIR "/Images") / name);
}

// Every topic of the lecture with its kind.
std::vector<std::pair<std::string, ValueMap>> topicsOf(const std::string& identify) {
    std::vector<std::pair<std::string, ValueMap>> topics;
    const ValueMap plist = topicPlist(identify);
    for (const auto& [kind, list] : valueOrNull(plist, "Subject").asValueMap()) {
        for (const Value& topic : list.asValueVector()) {
            topics.emplace_back(kind, topic.asValueMap());
        }
    }
    return topics;
}

TEST(DemoCatalogue, StagesHoldTwelveLecturesAtMost) {
    std::map<std::string, int> perStage;
    for (const Lecture& lecture : catalogue()) {
        ++perStage[lecture.stage];
    }
    for (const auto& [stage, count] : perStage) {
        EXPECT_LE(count, 12) << stage;
    }
}

TEST(DemoCatalogue, TopicPagesShowStemPicturesAndAnswers) {
    for (const Lecture& lecture : catalogue()) {
        const auto topics = topicsOf(lecture.package);
        bool answerable = topics.empty();
        for (const auto& [kind, topic] : topics) {
            const std::string where = lecture.package + " kind " + kind + " page " +
                                      std::to_string(valueOrNull(topic, "LayoutModel").asInt());
            EXPECT_FALSE(valueOrNull(topic, "Stem").asString().empty()) << where;
            int pictures = 0;
            for (const auto& [family, names] : valueOrNull(topic, "Images").asValueMap()) {
                for (const Value& name : names.asValueVector()) {
                    if (!name.asString().empty()) {
                        ++pictures;
                        EXPECT_TRUE(pictureExists(lecture.package, "TopicImg", name.asString())) << where << " " << name.asString();
                    }
                }
            }
            EXPECT_GT(pictures, 0) << where;
            const bool answers = !valueOrNull(topic, "Answers").asValueVector().empty();
            if (valueOrNull(topic, "FuncBtns").asString().find('3') != std::string::npos) {
                EXPECT_TRUE(answers) << where << ": its Answer button shows nothing";
            }
            answerable = answerable || answers;
        }
        EXPECT_TRUE(answerable) << lecture.package << " has no page to answer";
    }
}

TEST(DemoCatalogue, ContentVoicesPlayOnAStep) {
    for (const Lecture& lecture : catalogue()) {
        for (const auto& [kind, topic] : topicsOf(lecture.package)) {
            const std::string where = lecture.package + " kind " + kind + " page " +
                                      std::to_string(valueOrNull(topic, "LayoutModel").asInt());
            const ValueVector voices = valueOrNull(topic, "ContentDubbing").asValueVector();
            if (!voices.empty()) {
                EXPECT_GT(valueOrNull(topic, "Step").asInt(), 0) << where << ": its voice button plays nothing";
            }
            for (const Value& voice : voices) {
                EXPECT_TRUE(fs::is_regular_file(packageOf(lecture.package) / "mp3" / voice.asString())) << where;
            }
        }
    }
}

TEST(DemoCatalogue, GamesShowTheirOptions) {
    for (const Lecture& lecture : catalogue()) {
        const ValueMap game = valueOrNull(topicPlist(lecture.package), "Game").asValueMap();
        if (game.empty()) {
            continue;
        }
        const int model = valueOrNull(game, "GameModel").asInt();
        // The pair and sorting games show "OperImgs"; the question games four "SelectImgs" a question.
        ValueVector options;
        if (model == 11 || model == 21) {
            options.push_back(valueOrNull(game, "OperImgs"));
        } else {
            options = valueOrNull(game, "SelectImgs").asValueVector();
            EXPECT_GE(options.size(), size_t(valueOrNull(game, "QNum").asInt())) << lecture.package;
        }
        EXPECT_FALSE(options.empty()) << lecture.package;
        for (const Value& question : options) {
            EXPECT_FALSE(question.asValueVector().empty()) << lecture.package;
            for (const Value& name : question.asValueVector()) {
                EXPECT_TRUE(pictureExists(lecture.package, "GameImg", name.asString()))
                    << lecture.package << " " << name.asString();
            }
        }
    }
}

} // namespace
