// The demo catalogue and its packages: every lecture a teacher is offered can be reached, and its pages and game
// show something to answer.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "base/Value.h"
#include "platform/FileUtils.h"
#include "support/DemoTopics.h"

using namespace engine;
namespace fs = std::filesystem;

namespace {

ValueMap topicPlist(const std::string& identify) {
    return FileUtils::getInstance()->getValueMapFromFile(support::demoPackage(identify) + "/Topic.plist");
}

// A file of the package's folder, else one of the program's pictures.
bool fileExists(const std::string& identify, const std::string& folder, const std::string& name) {
    return fs::is_regular_file(support::demoPackage(identify) + "/" + folder + "/" + name) ||
           fs::is_regular_file(TEST_PROGRAM_DIR "/Images/" + name);
}

// Calls check(topic, where) for every topic of every catalogue lecture; where names the lecture, kind and code.
template <class Check> void forEveryTopic(Check check) {
    for (const support::CatalogueLecture& lecture : support::demoCatalogue()) {
        const ValueMap plist = topicPlist(lecture.package);
        for (const auto& [kind, topics] : valueOrNull(plist, "Subject").asValueMap()) {
            for (const Value& topic : topics.asValueVector()) {
                const ValueMap& map = topic.asValueMap();
                check(lecture.package, map,
                      lecture.package + " kind " + kind + " code " +
                          std::to_string(valueOrNull(map, "LayoutModel").asInt()));
            }
        }
    }
}

TEST(DemoCatalogue, StagesHoldTwelveLecturesAtMost) {
    std::map<std::string, int> perStage;
    for (const support::CatalogueLecture& lecture : support::demoCatalogue()) {
        EXPECT_LE(++perStage[lecture.stage], 12) << lecture.stage;
    }
}

TEST(DemoCatalogue, TopicPagesShowStemPicturesAndAnswers) {
    std::map<std::string, bool> answerable;
    forEveryTopic([&](const std::string& identify, const ValueMap& topic, const std::string& where) {
        EXPECT_FALSE(valueOrNull(topic, "Stem").asString().empty()) << where;
        int pictures = 0;
        for (const auto& [family, names] : valueOrNull(topic, "Images").asValueMap()) {
            for (const Value& name : names.asValueVector()) {
                pictures += name.asString().empty() ? 0 : 1;
                EXPECT_TRUE(name.asString().empty() || fileExists(identify, "TopicImg", name.asString())) << where;
            }
        }
        EXPECT_GT(pictures, 0) << where;
        const bool answers = !valueOrNull(topic, "Answers").asValueVector().empty();
        const bool answerButton = valueOrNull(topic, "FuncBtns").asString().find('3') != std::string::npos;
        EXPECT_TRUE(answers || !answerButton) << where << ": its Answer button shows nothing";
        answerable[identify] = answerable[identify] || answers;
    });
    for (const auto& [identify, any] : answerable) {
        EXPECT_TRUE(any) << identify << " has no page to answer";
    }
}

TEST(DemoCatalogue, ContentVoicesPlayOnAStep) {
    forEveryTopic([](const std::string& identify, const ValueMap& topic, const std::string& where) {
        const ValueVector& voices = valueOrNull(topic, "ContentDubbing").asValueVector();
        EXPECT_TRUE(voices.empty() || valueOrNull(topic, "Step").asInt() > 0) << where << ": its voice plays nothing";
        for (const Value& voice : voices) {
            EXPECT_TRUE(fileExists(identify, "mp3", voice.asString())) << where;
        }
    });
}

// Drag and fill pages count a step per place filled right (100105 per answer picture a right tap shows), so a
// "Step" beyond those places leaves the topic never complete.
TEST(DemoCatalogue, StepsNeverExceedThePlacesToFill) {
    const struct {
        int first, last;
        const char* places;
    } kinds[] = {{501, 511, "PanelImgs"},      {601, 601, "OperImgs"},         {701, 714, "PanelImgs"},
                 {100105, 100105, "AnswerImgs"}, {100110, 100111, "PanelImgs"}, {319501, 319502, "OperImgs"},
                 {319503, 319506, "PanelImgs"}};
    forEveryTopic([&](const std::string&, const ValueMap& topic, const std::string& where) {
        const int code = valueOrNull(topic, "LayoutModel").asInt();
        for (const auto& kind : kinds) {
            if (code >= kind.first && code <= kind.last) {
                const ValueVector& places =
                    valueOrNull(valueOrNull(topic, "Images").asValueMap(), kind.places).asValueVector();
                EXPECT_LE(valueOrNull(topic, "Step").asInt(), static_cast<int>(places.size())) << where;
            }
        }
    });
}

TEST(DemoCatalogue, GamesShowTheirOptions) {
    for (const support::CatalogueLecture& lecture : support::demoCatalogue()) {
        const ValueMap game = valueOrNull(topicPlist(lecture.package), "Game").asValueMap();
        if (game.empty()) {
            continue;
        }
        // The pair and sorting games show "OperImgs"; whack-a-mole its moles' "AnswerImgs"; the other question
        // games four "SelectImgs" a question.
        const int model = valueOrNull(game, "GameModel").asInt();
        ValueVector options = valueOrNull(game, model == 31 ? "AnswerImgs" : "SelectImgs").asValueVector();
        if (model == 11 || model == 21) {
            options = {valueOrNull(game, "OperImgs")};
        } else {
            EXPECT_GE(options.size(), size_t(valueOrNull(game, "QNum").asInt())) << lecture.package;
        }
        for (const Value& question : options) {
            EXPECT_FALSE(question.asValueVector().empty()) << lecture.package;
            for (const Value& name : question.asValueVector()) {
                EXPECT_TRUE(fileExists(lecture.package, "GameImg", name.asString()))
                    << lecture.package << " " << name.asString();
            }
        }
    }
}

} // namespace
