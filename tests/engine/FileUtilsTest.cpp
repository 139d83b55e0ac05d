#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/InputLimits.h"
#include "base/Log.h"
#include "platform/FileUtils.h"

using engine::FileUtils;
using engine::Value;
using engine::ValueMap;
using engine::ValueVector;

namespace {

// Points the resource root at a fresh scratch folder with the search paths [""], captures log lines, and puts
// everything back afterwards.
class ScratchRoot : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/fileutils-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        scratch = pattern;
        root = scratch + "/";
        files = FileUtils::getInstance();
        savedRoot = files->getDefaultResourceRootPath();
        savedPaths = files->getSearchPaths();
        files->setDefaultResourceRootPath(scratch);
        files->setSearchPaths({""});
        engine::setLogSink([this](const std::string& line) { logLines.push_back(line); });
    }

    void TearDown() override {
        engine::setLogSink(nullptr);
        files->setDefaultResourceRootPath(savedRoot);
        files->setSearchPaths(savedPaths);
        std::error_code ec;
        std::filesystem::remove_all(scratch, ec);
    }

    // Writes a file under the scratch folder, making its folders.
    std::string put(const std::string& relative, const std::string& content) {
        std::string full = root + relative;
        std::filesystem::create_directories(std::filesystem::path(full).parent_path());
        std::ofstream(full, std::ios::binary) << content;
        return full;
    }

    FileUtils* files = nullptr;
    std::string scratch;
    std::string root;
    std::string savedRoot;
    std::vector<std::string> savedPaths;
    std::vector<std::string> logLines;
};

class FileSearchPaths : public ScratchRoot {};
class FileResolution : public ScratchRoot {};
class FileFolders : public ScratchRoot {};
class FileReadWrite : public ScratchRoot {};
class PropertyList : public ScratchRoot {};

const char* kPlistHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n";

} // namespace

TEST_F(FileSearchPaths, NormalisedWithoutDuplicates) {
    EXPECT_EQ(files->getDefaultResourceRootPath(), root);
    files->addSearchPath("GameImg");
    files->addSearchPath("GameImg/");
    files->addSearchPath("");
    files->addSearchPath("Front", true);
    EXPECT_EQ(files->getSearchPaths(), (std::vector<std::string>{"Front/", "", "GameImg/"}));

    files->setSearchPaths({"a", "b/", "a/"});
    EXPECT_EQ(files->getSearchPaths(), (std::vector<std::string>{"a/", "b/"}));
}

TEST_F(FileSearchPaths, EarlierEntriesWin) {
    put("one/pic.png", "1");
    put("two/pic.png", "2");
    files->addSearchPath("one");
    files->addSearchPath("two");
    EXPECT_EQ(files->fullPathForFilename("pic.png"), root + "one/pic.png");

    files->addSearchPath("two", true); // already listed: order unchanged
    EXPECT_EQ(files->fullPathForFilename("pic.png"), root + "one/pic.png");

    files->setSearchPaths({"two", "one"});
    EXPECT_EQ(files->getStringFromFile("pic.png"), "2");

    put("pic.png", "root");
    files->addSearchPath("", true);
    EXPECT_EQ(files->getStringFromFile("pic.png"), "root");
}

TEST_F(FileSearchPaths, RelativePathsFollowTheRootAbsoluteStay) {
    put("A/res/x.txt", "a");
    put("B/res/x.txt", "b");
    put("abs/y.txt", "y");
    files->setSearchPaths({"res", root + "abs"});
    files->setDefaultResourceRootPath(root + "A");
    EXPECT_EQ(files->getStringFromFile("x.txt"), "a");
    EXPECT_EQ(files->fullPathForFilename("y.txt"), root + "abs/y.txt");
    files->setDefaultResourceRootPath(root + "B/");
    EXPECT_EQ(files->getStringFromFile("x.txt"), "b");
    EXPECT_EQ(files->fullPathForFilename("y.txt"), root + "abs/y.txt");
}

TEST_F(FileResolution, EmptyWhenNotFound) {
    EXPECT_EQ(files->fullPathForFilename("missing.png"), "");
    EXPECT_EQ(files->fullPathForFilename(""), "");
    EXPECT_EQ(files->fullPathForFilename(root + "missing.png"), "");
    EXPECT_FALSE(files->isFileExist("missing.png"));

    std::filesystem::create_directories(root + "folder");
    EXPECT_EQ(files->fullPathForFilename("folder"), "");
    EXPECT_FALSE(files->isFileExist("folder"));
    EXPECT_FALSE(files->isFileExist(root + "folder"));
}

TEST_F(FileResolution, AbsoluteNameUsedAsGiven) {
    std::string full = put("sub/file.txt", "x");
    EXPECT_EQ(files->fullPathForFilename(full), full);
    EXPECT_TRUE(files->isFileExist(full));
    EXPECT_FALSE(files->isFileExist("file.txt"));
}

TEST_F(FileResolution, NothingIsCached) {
    EXPECT_EQ(files->fullPathForFilename("later.plist"), "");
    std::string full = put("later.plist", "x");
    EXPECT_EQ(files->fullPathForFilename("later.plist"), full);
    EXPECT_TRUE(files->isFileExist("later.plist"));

    std::filesystem::remove(full);
    EXPECT_EQ(files->fullPathForFilename("later.plist"), "");

    put("GameImg/later.plist", "y");
    EXPECT_FALSE(files->isFileExist("later.plist"));
    files->addSearchPath("GameImg");
    EXPECT_EQ(files->fullPathForFilename("later.plist"), root + "GameImg/later.plist");
    files->setSearchPaths({""});
    EXPECT_FALSE(files->isFileExist("later.plist"));
}

TEST_F(FileFolders, IsDirectoryExistThroughSearchPaths) {
    std::filesystem::create_directories(root + "NetRes/1234");
    put("NetRes/file.txt", "x");
    EXPECT_FALSE(files->isDirectoryExist("1234"));
    files->addSearchPath("NetRes");
    EXPECT_TRUE(files->isDirectoryExist("1234"));
    EXPECT_TRUE(files->isDirectoryExist("NetRes"));
    EXPECT_TRUE(files->isDirectoryExist(root + "NetRes/1234"));
    EXPECT_FALSE(files->isDirectoryExist("file.txt"));
    EXPECT_FALSE(files->isDirectoryExist(root + "NetRes/5678"));
}

TEST_F(FileFolders, CreateDirectoryMakesIntermediateFolders) {
    EXPECT_TRUE(files->createDirectory("res/a/b"));
    EXPECT_TRUE(std::filesystem::is_directory(root + "res/a/b"));
    EXPECT_TRUE(files->createDirectory(root + "res/a/b/")); // already there
    put("blocker", "x");
    EXPECT_FALSE(files->createDirectory("blocker/c"));
    EXPECT_EQ(logLines.size(), 1u);
}

TEST_F(FileFolders, RemoveFileFalseWhenMissing) {
    std::string full = put("gone.txt", "x");
    std::filesystem::create_directories(root + "dir");
    EXPECT_TRUE(files->removeFile(full));
    EXPECT_FALSE(std::filesystem::exists(full));
    EXPECT_FALSE(files->removeFile(full));
    EXPECT_FALSE(files->removeFile("dir"));
    EXPECT_TRUE(std::filesystem::is_directory(root + "dir"));
}

TEST_F(FileFolders, RemoveDirectoryKeepsLinkTargets) {
    std::string kept = put("outside/keep.txt", "keep");
    put("course/a/b/file.txt", "x");
    std::filesystem::create_directory_symlink(root + "outside", root + "course/a/link");
    std::filesystem::create_directory_symlink(root + "outside", root + "alias");

    EXPECT_TRUE(files->removeDirectory(root + "course"));
    EXPECT_FALSE(std::filesystem::exists(root + "course"));
    EXPECT_TRUE(files->removeDirectory("alias"));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(root + "alias")));
    EXPECT_TRUE(std::filesystem::exists(kept));

    EXPECT_FALSE(files->removeDirectory("course"));
    EXPECT_FALSE(files->removeDirectory(kept));
    EXPECT_FALSE(files->removeDirectory(""));
    EXPECT_TRUE(std::filesystem::exists(kept));
}

TEST_F(FileFolders, ListFilesSortedWithFolderSlash) {
    put("list/b.txt", "b");
    put("list/a.txt", "a");
    std::filesystem::create_directories(root + "list/sub");
    EXPECT_EQ(files->listFiles("list"),
              (std::vector<std::string>{root + "list/a.txt", root + "list/b.txt", root + "list/sub/"}));
    EXPECT_TRUE(files->listFiles("nothing").empty());
}

TEST_F(FileReadWrite, RoundTripsTextAndBytes) {
    std::string text("line\0with nul\n", 14);
    EXPECT_TRUE(files->writeStringToFile(text, root + "t.bin"));
    EXPECT_EQ(files->getStringFromFile("t.bin"), text);
    EXPECT_EQ(files->getFileSize("t.bin"), 14);

    std::vector<unsigned char> bytes{0, 255, 10, 13, 0};
    EXPECT_TRUE(files->writeDataToFile(bytes, "d.bin"));
    EXPECT_EQ(files->getDataFromFile(root + "d.bin"), bytes);

    EXPECT_TRUE(files->writeStringToFile("", root + "empty.txt"));
    EXPECT_EQ(files->getFileSize("empty.txt"), 0);
}

TEST_F(FileReadWrite, MissingGivesEmptyAndOneLogLine) {
    EXPECT_EQ(files->getStringFromFile("none.txt"), "");
    EXPECT_EQ(logLines.size(), 1u);
    EXPECT_TRUE(files->getDataFromFile("none.txt").empty());
    EXPECT_EQ(files->getFileSize("none.txt"), -1);
    EXPECT_FALSE(files->writeStringToFile("x", root + "no/folder/file.txt"));
    EXPECT_EQ(logLines.size(), 4u);
}

TEST_F(FileReadWrite, WholeReadsStopAtTheCap) {
    const size_t cap = static_cast<size_t>(engine::limits::kWholeFileBytes);
    put("at.bin", std::string(cap, 'a'));
    put("past.bin", std::string(cap + 1, 'a'));
    EXPECT_EQ(files->getStringFromFile("at.bin").size(), cap);
    EXPECT_EQ(files->getStringFromFile("past.bin"), "");
    EXPECT_TRUE(files->getDataFromFile("past.bin").empty());
}

TEST_F(FileReadWrite, RenameReplacesTarget) {
    put("dl/file.tmp", "new");
    put("dl/file.zip", "old");
    EXPECT_TRUE(files->renameFile(root + "dl", "file.tmp", "file.zip"));
    EXPECT_EQ(files->getStringFromFile("dl/file.zip"), "new");
    EXPECT_FALSE(files->isFileExist("dl/file.tmp"));

    EXPECT_TRUE(files->renameFile(root + "dl/file.zip", root + "moved.zip"));
    EXPECT_EQ(files->getStringFromFile("moved.zip"), "new");
    EXPECT_FALSE(files->renameFile(root + "dl/file.zip", root + "again.zip"));
}

TEST_F(PropertyList, ReadsEveryElementType) {
    put("Configs.plist", std::string(kPlistHead) + R"(<dict>
    <key>Name</key><string>Tom &amp; Jerry</string>
    <key>Blank</key><string/>
    <key>Space</key><string> </string>
    <key>Count</key><integer>-42</integer>
    <key>Scale</key><real>0.5</real>
    <key>On</key><true/>
    <key>Off</key><false/>
    <key>When</key><date>2020-01-02T03:04:05Z</date>
    <key>Blob</key><data>AAEC</data>
    <key>List</key>
    <array>
        <string>a</string>
        <integer>7</integer>
        <dict><key>Inner</key><array><real>2</real></array></dict>
        <array/>
    </array>
    <key>Child</key><dict><key>Deep</key><dict><key>Leaf</key><string>yes</string></dict></dict>
</dict>
</plist>)");
    ValueMap map = files->getValueMapFromFile("Configs.plist");
    EXPECT_TRUE(logLines.empty());
    ASSERT_EQ(map.size(), 11u);
    EXPECT_EQ(map["Name"], Value("Tom & Jerry"));
    EXPECT_EQ(map["Blank"], Value(""));
    EXPECT_EQ(map["Space"], Value(" "));
    EXPECT_EQ(map["Count"], Value(-42));
    EXPECT_EQ(map["Scale"], Value(0.5));
    EXPECT_EQ(map["On"], Value(true));
    EXPECT_EQ(map["Off"], Value(false));
    EXPECT_EQ(map["When"], Value("2020-01-02T03:04:05Z"));
    EXPECT_EQ(map["Blob"], Value("AAEC"));

    const ValueVector& list = map["List"].asValueVector();
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0], Value("a"));
    EXPECT_EQ(list[1], Value(7));
    EXPECT_EQ(list[2].asValueMap().at("Inner").asValueVector().at(0), Value(2.0));
    EXPECT_EQ(list[3], Value(ValueVector{}));
    EXPECT_EQ(map["Child"].asValueMap().at("Deep").asValueMap().at("Leaf").asString(), "yes");
}

TEST_F(PropertyList, TopLevelArray) {
    put("list.plist", std::string(kPlistHead) + "<array><string>x</string><integer>1</integer></array></plist>");
    EXPECT_EQ(files->getValueVectorFromFile("list.plist"), (ValueVector{Value("x"), Value(1)}));
    EXPECT_TRUE(files->getValueMapFromFile("list.plist").empty());
    EXPECT_EQ(logLines.size(), 1u);
}

TEST_F(PropertyList, BadFilesGiveEmptyAndOneLogLine) {
    put("broken.plist", std::string(kPlistHead) + "<dict><key>a</key><string>unclosed</dict>");
    put("empty.plist", "");
    put("bare.plist", std::string(kPlistHead) + "</plist>");
    std::string nested;
    for (int i = 0; i < 1000; ++i) {
        nested += "<array>";
    }
    for (int i = 0; i < 1000; ++i) {
        nested += "</array>";
    }
    put("deep.plist", std::string(kPlistHead) + "<dict><key>k</key>" + nested + "</dict></plist>");

    for (const char* name : {"missing.plist", "broken.plist", "empty.plist", "bare.plist", "deep.plist"}) {
        logLines.clear();
        EXPECT_TRUE(files->getValueMapFromFile(name).empty()) << name;
        EXPECT_EQ(logLines.size(), 1u) << name;
        EXPECT_TRUE(files->getValueVectorFromFile(name).empty()) << name;
    }
}

TEST_F(PropertyList, WriteThenReadRoundTrips) {
    ValueMap pupil{{"Name", Value("Zoë <3 & \"friends\"")}, {"Score", Value(98)}, {"Ratio", Value(0.125)}};
    ValueMap map{
        {"Pupils", Value(ValueVector{Value(pupil), Value(ValueMap{}), Value(ValueVector{})})},
        {"Enabled", Value(true)},
        {"Muted", Value(false)},
        {"Lines", Value("one\ntwo")},
        {"Count", Value(-3)},
        {"Nothing", Value("")},
    };
    EXPECT_TRUE(files->writeValueMapToFile(map, root + "out.plist"));
    EXPECT_EQ(files->getValueMapFromFile("out.plist"), map);

    // A float comes back as a double of the same shortest text.
    EXPECT_TRUE(files->writeToFile(ValueMap{{"f", Value(0.1f)}}, root + "out.plist"));
    EXPECT_EQ(files->getValueMapFromFile("out.plist").at("f"), Value(0.1));

    ValueVector array{Value(1), Value("two"), Value(ValueMap{{"k", Value(2.5)}})};
    EXPECT_TRUE(files->writeValueVectorToFile(array, "arr.plist"));
    EXPECT_EQ(files->getValueVectorFromFile("arr.plist"), array);

    EXPECT_FALSE(files->writeValueMapToFile(map, root + "no/such/folder.plist"));
    EXPECT_TRUE(logLines.size() == 1u);
}
