#include <gtest/gtest.h>

#include "CommonTestSupport.h"
#include "common/PlistManager.h"

using engine::Value;
using engine::ValueMap;
using engine::ValueVector;

namespace {

class PlistFixture : public ::testing::Test {
protected:
    void SetUp() override {
        resources.writePlist("Configs.plist",
                             ValueMap{{"WindowType", Value("FrameWindow")},
                                      {"Build", Value(35)},
                                      {"SearchPaths", Value(ValueVector{Value("Plist/"), Value("LocalRes/")})},
                                      {"UnusedFile", Value(ValueMap{{"UnusedFiles", Value(ValueVector{})}})}});
    }

    PlistManager* plist = PlistManager::getInstance();
    commontest::ScratchResources resources;
};

class PlistLookup : public PlistFixture {};
class PlistMissing : public PlistFixture {};
class PlistReread : public PlistFixture {};

TEST_F(PlistLookup, ReadsEachKindUnderItsKey) {
    EXPECT_EQ(plist->getString("Configs.plist", "WindowType"), "FrameWindow");
    EXPECT_EQ(plist->getString("Configs.plist", "Build"), "35");
    ValueVector paths = plist->getValueVector("Configs.plist", "SearchPaths");
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_EQ(paths[1].asString(), "LocalRes/");
    EXPECT_EQ(plist->getValueMap("Configs.plist", "UnusedFile").count("UnusedFiles"), 1u);
}

TEST_F(PlistLookup, FilesAreFoundThroughTheSearchPaths) {
    engine::FileUtils::getInstance()->createDirectory(resources.file("Plist"));
    resources.writePlist("Plist/Nav.plist", ValueMap{{"Title", Value("Lesson")}});
    EXPECT_EQ(plist->getString("Nav.plist", "Title"), "");
    engine::FileUtils::getInstance()->addSearchPath("Plist/");
    EXPECT_EQ(plist->getString("Nav.plist", "Title"), "Lesson");
}

TEST_F(PlistLookup, ValueOfAnotherKindGivesTheEmptyResultAndALogLine) {
    commontest::LogCapture log;
    EXPECT_TRUE(plist->getValueMap("Configs.plist", "SearchPaths").empty());
    EXPECT_TRUE(plist->getValueVector("Configs.plist", "WindowType").empty());
    EXPECT_EQ(plist->getString("Configs.plist", "UnusedFile"), "");
    EXPECT_EQ(log.lines.size(), 3u);
}

TEST_F(PlistMissing, MissingFileOrKeyGivesEmptyResults) {
    EXPECT_EQ(plist->getString("Nothing.plist", "WindowType"), "");
    EXPECT_TRUE(plist->getValueMap("Nothing.plist", "UnusedFile").empty());
    EXPECT_TRUE(plist->getValueVector("Nothing.plist", "SearchPaths").empty());
    EXPECT_EQ(plist->getString("Configs.plist", "ClientId"), "");
    EXPECT_TRUE(plist->getValueMap("Configs.plist", "ClientId").empty());
    EXPECT_TRUE(plist->getValueVector("Configs.plist", "ClientId").empty());
    EXPECT_EQ(plist->getText("HttpStr1"), "");
}

TEST_F(PlistMissing, EmptyOrMalformedFilesGiveEmptyResults) {
    resources.writePlist("Empty.plist", ValueMap{});
    resources.writeText("Blank.plist", "");
    resources.writeText("Broken.plist", "<plist><dict><key>A</key><string>x");
    for (const char* file : {"Empty.plist", "Blank.plist", "Broken.plist"}) {
        EXPECT_EQ(plist->getString(file, "A"), "") << file;
        EXPECT_TRUE(plist->getValueVector(file, "A").empty()) << file;
    }
}

TEST_F(PlistReread, AnEditedFileIsSeenAtTheNextCall) {
    EXPECT_EQ(plist->getString("Configs.plist", "WindowType"), "FrameWindow");
    resources.writePlist("Configs.plist", ValueMap{{"WindowType", Value("FullScreen")}});
    EXPECT_EQ(plist->getString("Configs.plist", "WindowType"), "FullScreen");
    engine::FileUtils::getInstance()->removeFile(resources.file("Configs.plist"));
    EXPECT_EQ(plist->getString("Configs.plist", "WindowType"), "");

    resources.writePlist("Strings.plist", ValueMap{{"HttpStr1", Value("Cannot reach the server.")}});
    EXPECT_EQ(plist->getText("HttpStr1"), "Cannot reach the server.");
    EXPECT_EQ(plist->getText("HttpStr9"), "");
}

} // namespace
