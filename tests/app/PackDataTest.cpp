// The pack's property lists, pictures and sounds as the program reads them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "door/SoundDoor.h"
#include "base/Value.h"
#include "common/PlistManager.h"
#include "platform/FileUtils.h"
#include "scene/Sprite.h"
#include "support/Headless.h"
#include "support/PackResources.h"

using namespace engine;

namespace {

// The conversion letters of a printf format in order ("%%" is no conversion).
std::string conversions(const std::string& format) {
    std::string letters;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            continue;
        }
        ++i;
        while (i < format.size() && std::strchr("-+ #0123456789.hlLqjzt", format[i])) {
            ++i;
        }
        if (i < format.size() && format[i] != '%') {
            letters += format[i];
        }
    }
    return letters;
}

class PackData : public support::HeadlessTest {
protected:
    static ValueMap animation(const std::string& name) {
        return PlistManager::getInstance()->getValueMap("Animations.plist", name);
    }

    support::PackResources pack;
};

} // namespace

TEST_F(PackData, ConfigsHoldEveryKeyTheProgramReads) {
    PlistManager* plist = PlistManager::getInstance();
    EXPECT_EQ(plist->getString("Configs.plist", "WindowType"), "FrameWindow");
    EXPECT_FALSE(plist->getValueVector("Configs.plist", "SearchPaths").empty());
    EXPECT_EQ(plist->getString("Configs.plist", "ClientVersion"), "1.0.0");
    EXPECT_FALSE(plist->getString("Configs.plist", "ClientBuild").empty());
    EXPECT_EQ(plist->getString("Configs.plist", "ClientId"), "9");
    EXPECT_FALSE(plist->getString("Configs.plist", "UpdaterVersion").empty());

    const std::string domainKey = plist->getString("Configs.plist", "DomainType");
    const std::string base = plist->getString("Configs.plist", domainKey);
    ASSERT_FALSE(base.empty()) << "no base address under " << domainKey;
    EXPECT_EQ(base.back(), '/');

    const ValueMap unused = plist->getValueMap("Configs.plist", "UnusedFile");
    EXPECT_EQ(valueOrNull(unused, "UnusedFiles").getType(), Value::Type::VECTOR);
    EXPECT_EQ(valueOrNull(unused, "UnusedFolders").getType(), Value::Type::VECTOR);

    const ValueMap titles = plist->getValueMap("Configs.plist", "TopicDefaultTitle");
    for (const char* kind : {"1", "2", "3"}) {
        EXPECT_EQ(conversions(valueOrNull(titles, kind).asString()), "d") << "title of kind " << kind;
    }
}

TEST_F(PackData, StringsFormatsTakeExactlyTheirCallersArguments) {
    const std::vector<std::pair<std::string, std::string>> texts = {
        {"HttpStr1", ""},     {"HttpStr2", "s"},    {"Str_SysUpdate", ""}, {"ClassStr1", ""},   {"LectureStr3", ""},
        {"LectureStr5", ""},  {"LectureStr6", ""},  {"GroupStr1", ""},     {"Str_Finish", ""},  {"Str_Downloading", ""},
        {"ResourceStr1", ""}, {"ResourceStr2", ""}, {"TeachStr1", ""},     {"NoFileExist", ""}, {"SubjectStr1", ""},
        {"GameStr1", "sfd"},  {"GameStr2", ""},     {"GameStr3", "sf"},    {"GameStr4", ""},
    };
    for (const auto& [key, expected] : texts) {
        const std::string text = PlistManager::getInstance()->getText(key);
        EXPECT_FALSE(text.empty()) << key;
        EXPECT_EQ(conversions(text), expected) << key << ": " << text;
    }
    // Shown as "%s:%s" with a file name, so it must hold no "%" at all.
    EXPECT_EQ(PlistManager::getInstance()->getText("NoFileExist").find('%'), std::string::npos);
}

TEST_F(PackData, EveryPreloadedAnimationHasItsFramesWithoutGaps) {
    const ValueMap kinds = FileUtils::getInstance()->getValueMapFromFile("Perload.plist");
    ASSERT_FALSE(kinds.empty());
    for (const char* kind : {"Login", "Grade", "Lecture", "Sign", "TopicCommon"}) {
        EXPECT_FALSE(valueOrNull(kinds, kind).asValueVector().empty()) << kind;
    }
    for (const auto& [kind, names] : kinds) {
        for (const Value& name : names.asValueVector()) {
            const std::string base = name.asString();
            SCOPED_TRACE(kind + ": " + base);
            const ValueMap info = animation(base);
            ASSERT_FALSE(info.empty());
            const Value& frames = valueOrNull(info, "Frames");
            ASSERT_EQ(frames.getType(), Value::Type::INTEGER);
            for (int n = 1; n <= frames.asInt(); ++n) {
                EXPECT_TRUE(FileUtils::getInstance()->isFileExist(base + "/" + base + std::to_string(n) + ".png"))
                    << "frame " << n;
            }
            EXPECT_FALSE(
                FileUtils::getInstance()->isFileExist(base + "/" + base + std::to_string(frames.asInt() + 1) + ".png"));
        }
    }
}

TEST_F(PackData, AnimationEntriesAreWellFormed) {
    const ValueMap all = FileUtils::getInstance()->getValueMapFromFile("Animations.plist");
    ASSERT_FALSE(all.empty());
    for (const auto& [name, value] : all) {
        SCOPED_TRACE(name);
        const ValueMap& info = value.asValueMap();
        EXPECT_EQ(valueOrNull(info, "Frames").getType(), Value::Type::INTEGER);
        EXPECT_GT(valueOrNull(info, "Frames").asInt(), 0);
        EXPECT_EQ(valueOrNull(info, "Begin").asInt(), 1);
        EXPECT_GT(valueOrNull(info, "Delay").asFloat(), 0.f);
        EXPECT_GE(valueOrNull(info, "Loop").asInt(), 1);
    }
    // Loading overlays run until removed; the feedback and result animations must end.
    for (const char* endless : {"NetLoading", "Downloading", "BreakRest", "Balloon"}) {
        EXPECT_EQ(valueOrNull(animation(endless), "Loop").asInt(), 9999) << endless;
    }
    for (const char* ending :
         {"RightCommon", "WrongCommon", "WrongCommon2", "TopicRight", "TopicWrong", "BreakStart", "GameCelebrate"}) {
        EXPECT_EQ(valueOrNull(animation(ending), "Loop").asInt(), 1) << ending;
    }
    // The kept last frame of a chess move must land after the move.
    auto duration = [](const ValueMap& info) {
        return valueOrNull(info, "Frames").asInt() * valueOrNull(info, "Delay").asFloat();
    };
    EXPECT_GE(duration(animation("ChessAction1")), 0.5f);
    EXPECT_GE(duration(animation("ChessAction2")), 0.8f);
    EXPECT_GE(duration(animation("ChessAction3")), 0.5f);
}

TEST_F(PackData, FallbackPupilsHaveNamesSexesAndHeads) {
    const ValueVector pupils = PlistManager::getInstance()->getValueVector("Student.plist", "Students");
    ASSERT_EQ(pupils.size(), 6u);
    for (const Value& pupil : pupils) {
        const ValueMap& record = pupil.asValueMap();
        const std::string name = valueOrNull(record, "Name").asString();
        SCOPED_TRACE(name);
        EXPECT_FALSE(name.empty());
        EXPECT_EQ(valueOrNull(record, "Sex").getType(), Value::Type::INTEGER);
        const int sex = valueOrNull(record, "Sex").asInt();
        EXPECT_TRUE(sex == 1 || sex == 2);
        EXPECT_NE(Sprite::create(valueOrNull(record, "HeadImage").asString()), nullptr);
    }
}

TEST_F(PackData, FixedPicturesLoad) {
    std::vector<std::string> pictures = {"HeadImg0.png", "HeadImg1.png", "HeadImg2.png", "Common/TipBg.png"};
    for (int group = 0; group <= 4; ++group) {
        pictures.push_back("HeadImage/HeadFrame1" + std::to_string(group) + ".png");
        pictures.push_back("HeadImage/HeadFrame2" + std::to_string(group) + ".png");
    }
    for (const std::string& picture : pictures) {
        EXPECT_NE(Sprite::create(picture), nullptr) << picture;
    }
    Sprite* cursor = Sprite::create("Common/Image_Cursor.png");
    ASSERT_NE(cursor, nullptr);
    EXPECT_GE(cursor->getContentSize().width, 2.f);
    EXPECT_GE(cursor->getContentSize().height, 32.f);
}

TEST_F(PackData, SoundsAreShortAndOneLastsAboutTwoSeconds) {
    for (const char* sound : {"BtnClick.mp3", "RightCommon.mp3", "WrongCommon.mp3", "BGM_Login.mp3"}) {
        const std::string path = FileUtils::getInstance()->fullPathForFilename(sound);
        ASSERT_FALSE(path.empty()) << sound;
        const double seconds = engine::door::loadSound(path, engine::door::SoundUse::EFFECT).seconds;
        EXPECT_GT(seconds, 0.) << sound;
        EXPECT_LT(seconds, 6.) << sound;
    }
    const double chime = engine::door::loadSound(FileUtils::getInstance()->fullPathForFilename("RightCommon.mp3"),
                                                engine::door::SoundUse::EFFECT)
                             .seconds;
    EXPECT_NEAR(chime, 2.0, 0.15);
}
