// The demo server's catalogue holds together, and the demo pages' stems say what their answers are.
#include <gtest/gtest.h>

#include <rapidjson/document.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
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

// "1/2/" of the item's codes under those keys.
static std::string codes(const rapidjson::Value& item, std::initializer_list<const char*> keys) {
    std::string text;
    for (const char* key : keys) {
        text += std::to_string(item[key].GetInt()) + "/";
    }
    return text;
}

TEST(DemoData, EveryEnabledGradeHasAClassAndLecturesAndEveryLectureItsContent) {
    std::set<std::string> grades, classGrades, stages, questioned; // "type/subject/grade/"; grades with a class
    const rapidjson::Document permissions = catalogueFile("permissions.json"), schools = catalogueFile("classes.json"),
                              questions = catalogueFile("questions.json"), courses = catalogueFile("courses.json");
    for (const auto& type : permissions.GetArray()) {
        for (const auto& subject : type["children"].GetArray()) {
            for (const auto& grade : subject["children"].GetArray()) {
                if (type["enabled"].GetInt() && subject["enabled"].GetInt() && grade["enabled"].GetInt()) {
                    grades.insert(codes(type, {"typeCode"}) + codes(subject, {"subjectCode"}) +
                                  codes(grade, {"gradeCode"}));
                }
            }
        }
    }
    for (const auto& school : schools.GetArray()) {
        for (const auto& grade : school["children"].GetArray()) {
            if (!grade["children"].Empty()) {
                classGrades.insert(codes(grade, {"gradeCode"}));
            }
        }
    }
    for (const auto& lecture : questions.GetArray()) {
        if (!lecture["questions"].Empty()) {
            questioned.insert(codes(lecture, {"type", "subject", "grade", "phase", "lesson"}));
        }
    }
    for (const auto& lecture : courses.GetArray()) {
        const std::string id = lecture["package"].GetString(), package = support::demoPackage(id) + "/";
        SCOPED_TRACE(id);
        stages.insert(codes(lecture, {"type", "subject", "grade"}));
        if (lecture["type"].GetInt() == 2) { // a picture book: its pages, its guide's pictures and its questions
            EXPECT_TRUE(std::filesystem::is_regular_file(package + "1.png"));
            EXPECT_TRUE(std::filesystem::is_regular_file(package + "Teach1.png")) << "its guide shows nothing";
            EXPECT_TRUE(questioned.count(codes(lecture, {"type", "subject", "grade", "phase", "lesson"})));
            continue;
        }
        // A lesson: its game and the movies and stills its navigation opens.
        const ValueMap plist = FileUtils::getInstance()->getValueMapFromFile(package + "Topic.plist");
        EXPECT_GT(valueOrNull(valueOrNull(plist, "Game").asValueMap(), "QNum").asInt(), 0) << "no game";
        const bool addition = !valueOrNull(plist, "Addition").asValueVector().empty();
        for (const std::string file : {"LecMovie", "SumMovie", "AddMovie"}) {
            for (const char* suffix : {".mp4", ".png"}) {
                EXPECT_TRUE((!addition && file == "AddMovie") ||
                            std::filesystem::is_regular_file(package + "mp4/" + file + suffix))
                    << file << suffix;
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
    const auto follows = [](const std::smatch& rule, const std::string& s) {
        if (rule[1].matched) {
            return !s.empty() && std::isdigit(s[0]) && std::stoi(s) % 2 == (std::tolower(rule.str(1)[0]) == 'o');
        }
        return s == rule.str(2) || (rule[3].matched && (s == rule.str(3) || s == rule.str(4)));
    };
    for (const support::CatalogueLecture& lecture : support::demoCatalogue()) {
        const ValueMap plist =
            FileUtils::getInstance()->getValueMapFromFile(support::demoPackage(lecture.package) + "/Topic.plist");
        for (const auto& [kind, topics] : valueOrNull(plist, "Subject").asValueMap()) {
            for (const Value& entry : topics.asValueVector()) {
                const ValueMap& topic = entry.asValueMap();
                const std::string stem = valueOrNull(topic, "Stem").asString();
                SCOPED_TRACE(lecture.package + ": " + stem);
                // One rule per answer group, in the order the stem names them ("odd ..., even ...").
                const std::vector<std::smatch> rules(std::sregex_iterator(stem.begin(), stem.end(), named), {});
                const ValueVector& answers = valueOrNull(topic, "Answers").asValueVector();
                const ValueVector& pictures =
                    valueOrNull(valueOrNull(topic, "Images").asValueMap(), "OperImgs").asValueVector();
                ASSERT_TRUE(rules.empty() || answers.size() == rules.size());
                for (size_t g = 0; g < rules.size(); ++g) {
                    const ValueVector& group = answers[g].asValueVector();
                    for (size_t i = 0; i < pictures.size(); ++i) {
                        std::smatch m;
                        const std::string file = pictures[i].asString();
                        const std::string shown = std::regex_match(file, m, shows) ? m.str(1) + m.str(2) : "";
                        const bool answered = std::any_of(group.begin(), group.end(),
                                                          [&](const Value& k) { return k.asInt() == int(i) + 1; });
                        EXPECT_EQ(answered, follows(rules[g], shown)) << file;
                    }
                }
            }
        }
    }
}
