#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "CommonTestSupport.h"
#include "common/CommonTools.h"
#include "common/PlistManager.h"
#include "scene/Scene.h"
#include "ui/Text.h"

using commontest::pupil;
using Strings = std::vector<std::string>;
using Ints = std::vector<int>;

namespace {

CommonTools* tools() {
    return CommonTools::getInstance();
}

Strings split(const std::string& text, const std::string& delimiter) {
    Strings out;
    tools()->splitString(text, out, delimiter);
    return out;
}

Ints splitInts(const std::string& text, const std::string& delimiter) {
    Ints out;
    tools()->splitToInt(text, out, delimiter);
    return out;
}

TEST(SplitString, EmptyPiecesAreDropped) {
    EXPECT_EQ(split(",a,,b,", ","), (Strings{"a", "b"}));
    EXPECT_TRUE(split("", ",").empty());
    EXPECT_TRUE(split(",,,", ",").empty());
    // A long delimiter is matched whole; the leading skip takes its characters one by one.
    EXPECT_EQ(split("1&&2&3&&", "&&"), (Strings{"1", "2&3"}));
    EXPECT_EQ(split("&x&&y", "&&"), (Strings{"x", "y"}));
}

TEST(SplitString, EmptyDelimiterGivesTheWholeText) {
    EXPECT_EQ(split("a,b", ""), Strings{"a,b"});
    EXPECT_TRUE(split("", "").empty());
}

TEST(SplitString, OutputIsAppendedTo) {
    Strings out{"keep"};
    tools()->splitString("x y", out, " ");
    EXPECT_EQ(out, (Strings{"keep", "x", "y"}));
}

TEST(SplitToInt, PiecesReadLikeAtoi) {
    EXPECT_EQ(splitInts("1&2&3", "&"), (Ints{1, 2, 3}));
    EXPECT_EQ(splitInts("1.2.3", "&"), Ints{1});
    EXPECT_EQ(splitInts("x&7&-4& 5", "&"), (Ints{0, 7, -4, 5}));
    EXPECT_EQ(splitInts("12", ""), Ints{12});
}

TEST(SplitToInt, OutOfRangeNumbersAreClamped) {
    EXPECT_EQ(splitInts("99999999999999999999&-99999999999&2147483647", "&"), (Ints{INT_MAX, INT_MIN, INT_MAX}));
}

TEST(HexColour, SixDigitsGiveTheThreeChannels) {
    EXPECT_EQ(tools()->hexToColor4B("3aa3e6"), engine::Color4B(58, 163, 230, 255));
    EXPECT_EQ(tools()->hexToColor3B("E60012"), engine::Color3B(230, 0, 18));
}

TEST(HexColour, ShortOrNonHexTextGivesZeroForThoseChannels) {
    EXPECT_EQ(tools()->hexToColor3B("3aa"), engine::Color3B(58, 10, 0));
    EXPECT_EQ(tools()->hexToColor4B(""), engine::Color4B(0, 0, 0, 255));
    EXPECT_EQ(tools()->hexToColor3B("zz1234"), engine::Color3B(0, 0x12, 0x34));
    EXPECT_EQ(tools()->hexToColor3B("-11234"), engine::Color3B(0, 0x12, 0x34));
}

class ClientVersion : public ::testing::Test {
protected:
    void setClient(const std::string& version) {
        resources.writePlist("Configs.plist", engine::ValueMap{{"ClientVersion", engine::Value(version)}});
    }
    commontest::ScratchResources resources;
};

TEST_F(ClientVersion, HigherRequiredVersionAsksForAnUpdate) {
    setClient("1&9");
    EXPECT_FALSE(tools()->checkClientVersion("2&0"));
    EXPECT_FALSE(tools()->checkClientVersion("1&10"));
    EXPECT_TRUE(tools()->checkClientVersion("1&9"));
    EXPECT_TRUE(tools()->checkClientVersion("1&8"));
    EXPECT_TRUE(tools()->checkClientVersion("0&99"));
}

TEST_F(ClientVersion, DifferentPartCountsOrNoPartsPass) {
    setClient("1&0");
    EXPECT_TRUE(tools()->checkClientVersion("3"));
    EXPECT_TRUE(tools()->checkClientVersion("3&0&0"));
    EXPECT_TRUE(tools()->checkClientVersion(""));
    resources.writePlist("Configs.plist", engine::ValueMap{});
    EXPECT_TRUE(tools()->checkClientVersion("9&9"));
}

TEST_F(ClientVersion, DottedVersionsCompareByTheirLeadingNumber) {
    setClient("1.0.0");
    EXPECT_TRUE(tools()->checkClientVersion("1.9.9"));
    EXPECT_FALSE(tools()->checkClientVersion("2.0.0"));
}

class SortStudents : public ::testing::Test {
protected:
    void SetUp() override { data = commontest::freshGlobalData(); }
    void TearDown() override { data->students.clear(); }

    Ints ids() const {
        Ints out;
        for (const auto& s : data->students) {
            out.push_back(s.id);
        }
        return out;
    }

    GDataManager* data = nullptr;
};

TEST_F(SortStudents, GameScoreAscendingAndDescending) {
    data->students = {pupil(1, 3, 0), pupil(2, 1, 0), pupil(3, 2, 0)};
    tools()->sortStudents(1);
    EXPECT_EQ(ids(), (Ints{2, 3, 1}));
    tools()->sortStudents(2);
    EXPECT_EQ(ids(), (Ints{1, 3, 2}));
}

TEST_F(SortStudents, EqualValuesKeepTheirOrder) {
    data->students = {pupil(1, 5, 0), pupil(2, 2, 0), pupil(3, 5, 0), pupil(4, 2, 0), pupil(5, 5, 0)};
    tools()->sortStudents(2);
    EXPECT_EQ(ids(), (Ints{1, 3, 5, 2, 4}));
    tools()->sortStudents(1);
    EXPECT_EQ(ids(), (Ints{2, 4, 1, 3, 5}));
}

TEST_F(SortStudents, NegativeGameTimeNeverMovesAhead) {
    data->students = {pupil(1, 0, 5), pupil(2, 0, -1), pupil(3, 0, 3)};
    tools()->sortStudents(3);
    EXPECT_EQ(ids(), (Ints{1, 2, 3}));
    data->students = {pupil(1, 0, 5), pupil(2, 0, 3), pupil(3, 0, 0), pupil(4, 0, 4)};
    tools()->sortStudents(3);
    EXPECT_EQ(ids(), (Ints{3, 2, 4, 1}));
    data->students = {pupil(1, 0, 2), pupil(2, 0, -1), pupil(3, 0, 9)};
    tools()->sortStudents(4);
    EXPECT_EQ(ids(), (Ints{3, 1, 2}));
}

TEST_F(SortStudents, OtherModesAndShortListsChangeNothing) {
    data->students = {pupil(1, 3, 3), pupil(2, 1, 1)};
    for (int mode : {0, 5, -1}) {
        tools()->sortStudents(mode);
        EXPECT_EQ(ids(), (Ints{1, 2})) << mode;
    }
    data->students = {pupil(7, 1, 1)};
    tools()->sortStudents(1);
    EXPECT_EQ(ids(), Ints{7});
    data->students.clear();
    tools()->sortStudents(1);
    EXPECT_TRUE(data->students.empty());
}

class RandomDraw : public ::testing::Test {
protected:
    void TearDown() override { tools()->setTimeSource(nullptr); }
};

TEST_F(RandomDraw, NothingToDrawFromAnEmptyRange) {
    EXPECT_EQ(tools()->drawIndex(0), -1);
    EXPECT_EQ(tools()->drawIndex(-3), -1);
}

TEST_F(RandomDraw, IndexesStayInRangeAndCoverIt) {
    int64_t clock = 1700000000000000;
    tools()->setTimeSource([&clock] { return clock; });
    for (int n : {1, 2, 7, 1000000, INT_MAX}) {
        std::set<int> seen;
        for (int i = 0; i < 300; ++i) {
            clock += 137;
            int index = tools()->drawIndex(n);
            ASSERT_GE(index, 0) << n;
            ASSERT_LT(index, n) << n;
            seen.insert(index);
        }
        if (n <= 7) {
            EXPECT_EQ(seen.size(), static_cast<size_t>(n)) << n;
        } else {
            EXPECT_GT(seen.size(), 200u) << n;
        }
    }
}

TEST_F(RandomDraw, AFixedClockGivesTheSameIndex) {
    tools()->setTimeSource([] { return int64_t(42); });
    int first = tools()->drawIndex(1000);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(tools()->drawIndex(1000), first);
    }
    // Only the low 32 bits seed the generator.
    tools()->setTimeSource([] { return (int64_t(5) << 32) + 42; });
    EXPECT_EQ(tools()->drawIndex(1000), first);
}

TEST_F(RandomDraw, ClockFollowsTheWallClockUnlessFixed) {
    auto wall =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();
    EXPECT_NEAR(static_cast<double>(tools()->getCurrentTime()), static_cast<double>(wall), 5e6);
    tools()->setTimeSource([] { return int64_t(1234); });
    EXPECT_EQ(tools()->getCurrentTime(), 1234);
}

TEST(CommonToolsLists, IndexListAndGroupScores) {
    EXPECT_EQ(tools()->getIndexList(), (Ints{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(tools()->getIndexList(3, 9), (Ints{1, 2, 3, 4, 5, 6, 7, 8}));
    tools()->groupScores = {1, 2, 3, 4};
    tools()->init();
    EXPECT_EQ(tools()->groupScores, (std::array<int, 4>{0, 0, 0, 0}));
}

} // namespace

namespace {

// The program folder's resource pack on a headless director.
class UpdateTip : public support::HeadlessTest {
protected:
    void SetUp() override {
        support::HeadlessTest::SetUp();
        engine::FileUtils* files = engine::FileUtils::getInstance();
        savedRoot = files->getDefaultResourceRootPath();
        savedPaths = files->getSearchPaths();
        files->setDefaultResourceRootPath(TEST_PROGRAM_DIR "/");
        files->setSearchPaths({"", "Plist/", "Layouts/", "Images/", "Sounds/"});
    }
    void TearDown() override {
        support::HeadlessTest::TearDown();
        engine::FileUtils::getInstance()->setDefaultResourceRootPath(savedRoot);
        engine::FileUtils::getInstance()->setSearchPaths(savedPaths);
    }

    std::string savedRoot;
    std::vector<std::string> savedPaths;
};

void showTipAndClick(const char* button) {
    support::runScene(engine::Scene::create());
    tools()->showSysUpdateTip();
    support::stepFrames(2);
    if (!support::click(button)) {
        std::_Exit(2);
    }
    support::stepFrames(2);
}

TEST_F(UpdateTip, ShowsTheUpdateText) {
    support::runScene(engine::Scene::create());
    tools()->showSysUpdateTip();
    support::stepFrames(2);
    auto* content = dynamic_cast<engine::ui::Text*>(support::findByName("Content"));
    ASSERT_NE(content, nullptr);
    EXPECT_FALSE(content->getString().empty());
    EXPECT_EQ(content->getString(), PlistManager::getInstance()->getText("Str_SysUpdate"));
}

// The updater launch ends the process with status 0; the closing button must leave it running.
TEST_F(UpdateTip, Button2StartsTheUpdaterAndButton1OnlyCloses) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            showTipAndClick("Button2");
            std::_Exit(42);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(
        {
            showTipAndClick("Button1");
            std::_Exit(support::findByName("Content") ? 43 : 42);
        },
        ::testing::ExitedWithCode(42), "");
}

} // namespace
