// Every lecture of the demo catalogue can be reached, and its pages and game show something to answer.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "base/Value.h"
#include "platform/FileUtils.h"
#include "support/DemoTopics.h"

using namespace engine;

// A file of the package's folder, else one of the program's pictures.
static bool fileExists(const std::string& identify, const std::string& folder, const Value& name) {
    return std::filesystem::is_regular_file(support::demoPackage(identify) + "/" + folder + "/" + name.asString()) ||
           std::filesystem::is_regular_file(TEST_PROGRAM_DIR "/Images/" + name.asString());
}

// Fill pages count a step per place filled right (100105: per answer picture shown): a "Step" beyond never completes.
const struct {
    int first, last;
    const char* places;
} kFillKinds[] = {{501, 511, "PanelImgs"},        {601, 601, "OperImgs"},        {701, 714, "PanelImgs"},
                  {100105, 100105, "AnswerImgs"}, {100110, 100111, "PanelImgs"}, {319501, 319502, "OperImgs"},
                  {319503, 319506, "PanelImgs"}};

TEST(DemoCatalogue, EveryLectureShowsPagesAndGameToAnswerAndComplete) {
    std::map<std::string, int> perStage;
    std::map<std::pair<int, std::string>, std::string> pagesShown; // (course type, every page's stem): lecture
    for (const support::CatalogueLecture& lecture : support::demoCatalogue()) {
        const std::string& id = lecture.package;
        SCOPED_TRACE(id);
        EXPECT_LE(++perStage[lecture.stage], 12) << lecture.stage;
        const ValueMap plist = FileUtils::getInstance()->getValueMapFromFile(support::demoPackage(id) + "/Topic.plist");
        int topicCount = 0, answerable = 0;
        std::string stems;
        for (const auto& [kind, topics] : valueOrNull(plist, "Subject").asValueMap()) {
            for (const Value& entry : topics.asValueVector()) {
                const ValueMap& topic = entry.asValueMap();
                stems += kind + ": " + valueOrNull(topic, "Stem").asString() + "\n";
                const int code = valueOrNull(topic, "LayoutModel").asInt(), steps = valueOrNull(topic, "Step").asInt();
                const ValueMap& images = valueOrNull(topic, "Images").asValueMap();
                const ValueVector& voices = valueOrNull(topic, "ContentDubbing").asValueVector();
                const bool answers = !valueOrNull(topic, "Answers").asValueVector().empty();
                SCOPED_TRACE("kind " + kind + " code " + std::to_string(code));
                EXPECT_FALSE(valueOrNull(topic, "Stem").asString().empty());
                int pictures = 0;
                std::map<std::string, std::string> rowOf; // a picture: the row it shows in
                for (const auto& [family, names] : images) {
                    for (const Value& name : names.asValueVector()) {
                        pictures += !name.asString().empty();
                        // Line pages join pictures to the same ones; elsewhere a picture shows in one row.
                        const std::string& row = rowOf.emplace(name.asString(), family).first->second;
                        EXPECT_TRUE(row == family || (code >= 301 && code <= 303)) << name.asString() << " twice";
                        EXPECT_TRUE(name.asString().empty() || fileExists(id, "TopicImg", name)) << name.asString();
                    }
                }
                EXPECT_GT(pictures, 0);
                EXPECT_TRUE(answers || valueOrNull(topic, "FuncBtns").asString().find('3') == std::string::npos)
                    << "its Answer button shows nothing";
                answerable += answers, ++topicCount;
                EXPECT_TRUE(voices.empty() || steps > 0) << "its voice plays nothing";
                for (const Value& voice : voices) {
                    EXPECT_TRUE(fileExists(id, "mp3", voice)) << voice.asString();
                }
                for (const auto& fill : kFillKinds) {
                    EXPECT_TRUE(code < fill.first || code > fill.last ||
                                steps <= static_cast<int>(valueOrNull(images, fill.places).asValueVector().size()))
                        << "a step beyond its places";
                }
            }
        }
        EXPECT_TRUE(topicCount == 0 || answerable > 0) << "no page to answer";
        const auto added = pagesShown.emplace(std::make_pair(lecture.type, stems), id);
        EXPECT_TRUE(topicCount == 0 || added.second) << "the same pages as " << added.first->second;
        // Pairs and sorting show "OperImgs", whack-a-mole "AnswerImgs", the other games "SelectImgs" per question.
        const ValueMap& game = valueOrNull(plist, "Game").asValueMap();
        const int model = valueOrNull(game, "GameModel").asInt();
        const bool pairs = model == 11 || model == 21;
        const Value& shown = valueOrNull(game, pairs ? "OperImgs" : model == 31 ? "AnswerImgs" : "SelectImgs");
        const ValueVector options = pairs ? ValueVector{shown} : shown.asValueVector();
        EXPECT_GE(options.size(), size_t(pairs ? 1 : valueOrNull(game, "QNum").asInt()));
        for (const Value& question : options) {
            EXPECT_FALSE(question.asValueVector().empty());
            for (const Value& name : question.asValueVector()) {
                EXPECT_TRUE(fileExists(id, "GameImg", name)) << name.asString();
            }
        }
    }
}
