// The demo server's catalogue holds together, and the demo pages' stems say what their answers are.
#include <gtest/gtest.h>

#include <rapidjson/document.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <regex>
#include <set>

#include "base/Value.h"
#include "platform/FileUtils.h"
#include "support/DemoTopics.h"

using namespace engine;

namespace {

rapidjson::Document catalogueFile(const std::string& name) {
    rapidjson::Document document;
    document.Parse(FileUtils::getInstance()->getStringFromFile(TEST_SOURCE_DIR "/server/data/" + name).c_str());
    return document;
}

bool isFile(const std::string& path) {
    return std::filesystem::is_regular_file(path);
}

// "type/subject/grade/" of every enabled grade, "type/subject/grade/phase/" of every enabled phase, and
// "type/subject/" of every enabled subject.
std::set<std::string> enabledStages() {
    std::set<std::string> stages;
    const rapidjson::Document permissions = catalogueFile("permissions.json");
    for (const auto& type : permissions.GetArray()) {
        for (const auto& subject : type["children"].GetArray()) {
            if (!type["enabled"].GetInt() || !subject["enabled"].GetInt()) {
                continue;
            }
            const std::string path =
                std::to_string(type["typeCode"].GetInt()) + "/" + std::to_string(subject["subjectCode"].GetInt()) + "/";
            stages.insert(path);
            for (const auto& grade : subject["children"].GetArray()) {
                const std::string gradePath = path + std::to_string(grade["gradeCode"].GetInt()) + "/";
                for (const auto& phase : grade["children"].GetArray()) {
                    if (grade["enabled"].GetInt() && phase["enabled"].GetInt()) {
                        stages.insert(gradePath);
                        stages.insert(gradePath + std::to_string(phase["phaseCode"].GetInt()) + "/");
                    }
                }
            }
        }
    }
    return stages;
}

// The picture's number or letter by its file name ("shape3.png" shows 3, "letter_o.png" o); "" when none.
std::string shownBy(const std::string& file) {
    static const std::regex named("(?:shape|small|tile|block)(\\d+)\\.png|letter_(\\w)\\.png");
    std::smatch match;
    return std::regex_match(file, match, named) ? match[1].str() + match[2].str() : "";
}

// The answer groups of a topic: [[2, 4]] or [3] (one group).
std::vector<std::vector<int>> answerGroups(const ValueMap& topic) {
    std::vector<std::vector<int>> groups;
    for (const Value& entry : valueOrNull(topic, "Answers").asValueVector()) {
        if (entry.getType() == Value::Type::VECTOR) {
            groups.emplace_back();
            for (const Value& value : entry.asValueVector()) {
                groups.back().push_back(value.asInt());
            }
        } else {
            groups.resize(1);
            groups[0].push_back(entry.asInt());
        }
    }
    return groups;
}

} // namespace

TEST(DemoData, EveryEnabledGradeHasAClassAndLecturesAndEveryLectureItsContent) {
    const std::set<std::string> stages = enabledStages();
    std::set<int> gradesWithClasses;
    const rapidjson::Document schools = catalogueFile("classes.json");
    for (const auto& school : schools.GetArray()) {
        for (const auto& grade : school["children"].GetArray()) {
            if (!grade["children"].Empty()) {
                gradesWithClasses.insert(grade["gradeCode"].GetInt());
            }
        }
    }
    const rapidjson::Document questions = catalogueFile("questions.json");
    std::set<std::string> stagesWithLectures;
    for (const support::CatalogueLecture& lecture : support::demoCatalogue()) {
        const std::string& id = lecture.package;
        const std::string package = support::demoPackage(id) + "/";
        SCOPED_TRACE(id);
        int type = 0, subject = 0, grade = 0, phase = 0;
        std::sscanf(lecture.stage.c_str(), "%d/%d/%d/%d/", &type, &subject, &grade, &phase);
        // A subject without grades lists its lectures under grade 0.
        const std::string subjectPath = std::to_string(type) + "/" + std::to_string(subject) + "/";
        EXPECT_TRUE(stages.count(grade == 0 ? subjectPath : lecture.stage)) << "its stage is not enabled";
        for (size_t end = lecture.stage.size() - 1; end != std::string::npos; end = lecture.stage.rfind('/', end - 1)) {
            stagesWithLectures.insert(lecture.stage.substr(0, end + 1));
        }
        const ValueMap plist = FileUtils::getInstance()->getValueMapFromFile(package + "Topic.plist");
        EXPECT_TRUE(isFile(package + "Topic.plist"));
        if (lecture.type == 2) {
            // A picture book: its pages and its questions, each with an answer among its options.
            EXPECT_TRUE(isFile(package + "1.png"));
            int count = 0;
            for (const auto& entry : questions.GetArray()) {
                if (entry["subject"].GetInt() == subject && entry["grade"].GetInt() == grade &&
                    entry["phase"].GetInt() == phase && entry["lesson"].GetInt() == std::stoi(id.substr(8, 2))) {
                    for (const auto& question : entry["questions"].GetArray()) {
                        ++count;
                        const int answer = std::stoi(question["answers"][0].GetString());
                        EXPECT_TRUE(answer >= 1 && answer <= static_cast<int>(question["operImgs"].Size()));
                        for (const auto& option : question["operImgs"].GetArray()) {
                            EXPECT_TRUE(isFile(TEST_SOURCE_DIR "/server/data" + std::string(option.GetString())));
                        }
                    }
                }
            }
            EXPECT_GT(count, 0) << "a picture book without questions";
            continue;
        }
        // A lesson: its game and the movies and stills its navigation opens.
        EXPECT_GT(valueOrNull(valueOrNull(plist, "Game").asValueMap(), "QNum").asInt(), 0) << "no game";
        std::vector<std::string> movies = {"LecMovie", "SumMovie"};
        if (!valueOrNull(plist, "Addition").asValueVector().empty()) {
            movies.push_back("AddMovie");
        }
        for (const std::string& movie : movies) {
            EXPECT_TRUE(isFile(package + "mp4/" + movie + ".mp4") && isFile(package + "mp4/" + movie + ".png"))
                << movie;
        }
    }
    for (const std::string& stage : stages) {
        SCOPED_TRACE(stage);
        EXPECT_TRUE(stagesWithLectures.count(stage)) << "an enabled stage without lectures";
        if (std::count(stage.begin(), stage.end(), '/') == 3) {
            EXPECT_TRUE(gradesWithClasses.count(std::stoi(stage.substr(stage.rfind('/', stage.size() - 2) + 1))))
                << "no class has this grade";
        }
    }
}

// A stem that names a rule (even or odd numbers, the number N, the letters) is answered by the pictures it names.
TEST(DemoData, StemsThatNameARuleAreAnsweredByThePicturesTheyName) {
    static const std::regex number("the number (\\d+)"), letters("the letters? (\\w)(?: and (\\w))?");
    for (const support::CatalogueLecture& lecture : support::demoCatalogue()) {
        const ValueMap plist =
            FileUtils::getInstance()->getValueMapFromFile(support::demoPackage(lecture.package) + "/Topic.plist");
        for (const auto& [kind, topics] : valueOrNull(plist, "Subject").asValueMap()) {
            for (const Value& entry : topics.asValueVector()) {
                const ValueMap& topic = entry.asValueMap();
                std::string stem = valueOrNull(topic, "Stem").asString();
                SCOPED_TRACE(lecture.package + " kind " + kind + ": " + stem);
                std::transform(stem.begin(), stem.end(), stem.begin(), [](unsigned char c) { return std::tolower(c); });
                std::vector<std::string> shown;
                for (const Value& name :
                     valueOrNull(valueOrNull(topic, "Images").asValueMap(), "OperImgs").asValueVector()) {
                    shown.push_back(shownBy(name.asString()));
                }
                // Per answer group, the numbers or letters its pictures must show; parity rules by the word's place.
                std::vector<std::function<bool(const std::string&)>> rules;
                const size_t even = stem.find("even"), odd = stem.find("odd");
                auto parity = [](int rest) {
                    return [rest](const std::string& s) {
                        return !s.empty() && std::isdigit(s[0]) && std::stoi(s) % 2 == rest;
                    };
                };
                if (even != std::string::npos && odd != std::string::npos) {
                    rules = odd < even ? decltype(rules){parity(1), parity(0)} : decltype(rules){parity(0), parity(1)};
                } else if (even != std::string::npos || odd != std::string::npos) {
                    rules = {parity(even != std::string::npos ? 0 : 1)};
                }
                std::smatch match;
                std::set<std::string> named;
                if (std::regex_search(stem, match, number)) {
                    named = {match[1].str()};
                } else if (std::regex_search(stem, match, letters)) {
                    named = {match[1].str()};
                    if (match[2].matched) {
                        named.insert(match[2].str());
                    }
                }
                if (!named.empty()) {
                    rules = {[named](const std::string& s) { return named.count(s) > 0; }};
                }
                const std::vector<std::vector<int>> groups = answerGroups(topic);
                ASSERT_EQ(groups.size(), rules.empty() ? groups.size() : rules.size());
                for (size_t g = 0; g < rules.size(); ++g) {
                    std::set<int> answered(groups[g].begin(), groups[g].end());
                    for (size_t i = 0; i < shown.size(); ++i) {
                        EXPECT_EQ(answered.count(static_cast<int>(i) + 1) > 0, rules[g](shown[i]))
                            << "picture " << i + 1 << " shows " << shown[i];
                    }
                }
            }
        }
    }
}
