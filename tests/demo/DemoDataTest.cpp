// The demo server's catalogue holds together, and the demo pages' stems say what their answers are.
#include <gtest/gtest.h>

#include <rapidjson/document.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>
#include <regex>
#include <set>

#include "base/Value.h"
#include "platform/FileUtils.h"
#include "support/DemoTopics.h"

using namespace engine;

static rapidjson::Document catalogueFile(const std::string& name) {
    rapidjson::Document document;
    document.Parse(FileUtils::getInstance()->getStringFromFile(TEST_SOURCE_DIR "/server/data/" + name).c_str());
    return document;
}

static std::string code(const rapidjson::Value& item, const char* key) {
    return std::to_string(item[key].GetInt()) + "/";
}

TEST(DemoData, EveryEnabledGradeHasAClassAndLecturesAndEveryLectureItsContent) {
    std::set<std::string> grades, classGrades, stages, questioned; // "type/subject/grade/"; grades with a class
    const rapidjson::Document permissions = catalogueFile("permissions.json"), schools = catalogueFile("classes.json"),
                              questions = catalogueFile("questions.json"), courses = catalogueFile("courses.json");
    for (const auto& type : permissions.GetArray()) {
        for (const auto& subject : type["children"].GetArray()) {
            for (const auto& grade : subject["children"].GetArray()) {
                if (type["enabled"].GetInt() && subject["enabled"].GetInt() && grade["enabled"].GetInt()) {
                    grades.insert(code(type, "typeCode") + code(subject, "subjectCode") + code(grade, "gradeCode"));
                }
            }
        }
    }
    for (const auto& school : schools.GetArray()) {
        for (const auto& grade : school["children"].GetArray()) {
            if (!grade["children"].Empty()) {
                classGrades.insert(code(grade, "gradeCode"));
            }
        }
    }
    for (const auto& lecture : questions.GetArray()) {
        if (!lecture["questions"].Empty()) {
            questioned.insert(code(lecture, "type") + code(lecture, "subject") + code(lecture, "grade") +
                              code(lecture, "phase") + code(lecture, "lesson"));
        }
    }
    for (const auto& lecture : courses.GetArray()) {
        const std::string id = lecture["package"].GetString(), package = support::demoPackage(id) + "/";
        const std::string grade = code(lecture, "type") + code(lecture, "subject") + code(lecture, "grade");
        SCOPED_TRACE(id);
        stages.insert(grade);
        const ValueMap plist = FileUtils::getInstance()->getValueMapFromFile(package + "Topic.plist");
        if (lecture["type"].GetInt() == 2) {
            // A picture book: its pages and its questions.
            EXPECT_TRUE(std::filesystem::is_regular_file(package + "1.png"));
            EXPECT_TRUE(questioned.count(grade + code(lecture, "phase") + code(lecture, "lesson"))) << "no questions";
            continue;
        }
        // A lesson: its game and the movies and stills its navigation opens.
        EXPECT_GT(valueOrNull(valueOrNull(plist, "Game").asValueMap(), "QNum").asInt(), 0) << "no game";
        std::vector<std::string> movies = {"LecMovie", "SumMovie"};
        if (!valueOrNull(plist, "Addition").asValueVector().empty()) {
            movies.push_back("AddMovie");
        }
        for (const std::string& file : movies) {
            for (const char* suffix : {".mp4", ".png"}) {
                EXPECT_TRUE(std::filesystem::is_regular_file(package + "mp4/" + file + suffix)) << file << suffix;
            }
        }
    }
    for (const std::string& grade : grades) {
        EXPECT_TRUE(stages.count(grade)) << grade << " has no lectures";
        EXPECT_TRUE(classGrades.count(grade.substr(grade.find('/', 2) + 1))) << grade << " has no class";
    }
}

// A stem that names a rule (even or odd numbers, the number N, letters) is answered by exactly the pictures that
// follow it; a picture shows the number or letter of its file name ("shape3.png" 3, "letter_o.png" o).
TEST(DemoData, StemsThatNameARuleAreAnsweredByThePicturesTheyName) {
    static const std::regex shows("(?:shape|small|tile|block)(\\d+)\\.png|letter_(\\w)\\.png"),
        named("(even|odd)|the number (\\d+)|the letters? (\\w)(?: and (\\w))?", std::regex::icase);
    for (const support::CatalogueLecture& lecture : support::demoCatalogue()) {
        const ValueMap plist =
            FileUtils::getInstance()->getValueMapFromFile(support::demoPackage(lecture.package) + "/Topic.plist");
        for (const auto& [kind, topics] : valueOrNull(plist, "Subject").asValueMap()) {
            for (const Value& entry : topics.asValueVector()) {
                const ValueMap& topic = entry.asValueMap();
                const std::string stem = valueOrNull(topic, "Stem").asString();
                SCOPED_TRACE(lecture.package + ": " + stem);
                // One rule per answer group, in the order the stem names them ("odd ..., even ...").
                std::vector<std::function<bool(const std::string&)>> rules;
                for (auto rule = std::sregex_iterator(stem.begin(), stem.end(), named); rule != std::sregex_iterator();
                     ++rule) {
                    const std::smatch m = *rule;
                    const std::string word = m[1].str(), number = m[2].str(), first = m[3].str(), second = m[4].str();
                    rules.push_back([=](const std::string& s) {
                        if (!word.empty()) {
                            return !s.empty() && std::isdigit(s[0]) &&
                                   std::stoi(s) % 2 == (word[0] == 'o' || word[0] == 'O');
                        }
                        return s == number || (!first.empty() && (s == first || s == second));
                    });
                }
                const ValueVector& answers = valueOrNull(topic, "Answers").asValueVector();
                const ValueVector& pictures =
                    valueOrNull(valueOrNull(topic, "Images").asValueMap(), "OperImgs").asValueVector();
                ASSERT_TRUE(rules.empty() || answers.size() == rules.size());
                for (size_t g = 0; g < rules.size(); ++g) {
                    std::set<int> answered;
                    for (const Value& k : answers[g].asValueVector()) {
                        answered.insert(k.asInt());
                    }
                    for (size_t i = 0; i < pictures.size(); ++i) {
                        std::smatch m;
                        const std::string file = pictures[i].asString();
                        const std::string shown = std::regex_match(file, m, shows) ? m[1].str() + m[2].str() : "";
                        EXPECT_EQ(answered.count(static_cast<int>(i) + 1) > 0, rules[g](shown)) << file;
                    }
                }
            }
        }
    }
}
