#include <filesystem>

#include "NetFixture.h"
#include "ZipBuilder.h"
#include "common/GDataManager.h"
#include "net/CoursewareData.h"
#include "net/FileManager.h"

namespace fs = std::filesystem;
using nettest::NetFolderTest;

namespace {

FileManager* files() {
    return FileManager::getInstance();
}

} // namespace

using FileLayout = NetFolderTest;

TEST_F(FileLayout, FixedFoldersLieUnderTheResourceRootAndAreMadeWhenMissing) {
    EXPECT_EQ(files()->getExeFolder(), programFolder());
    EXPECT_EQ(files()->getResRoot(), programFolder() + "res/");
    const std::pair<std::string, std::string> folders[] = {
        {files()->getCourseIconsPath(), "CourseIcons/"},
        {files()->getHeadImgsPath(), "HeadImgs/"},
        {files()->getNetResPath(), "NetRes/"},
        {files()->getSimpleGamePath(), "SimpleGame/"},
    };
    for (const auto& [path, name] : folders) {
        EXPECT_EQ(path, programFolder() + "res/" + name);
        EXPECT_TRUE(fs::is_directory(path)) << path;
    }
}

TEST_F(FileLayout, ExistingFolderIsLeftAsItIs) {
    fs::create_directories(netRes());
    nettest::writeFile(netRes() + "keep.txt", "x");
    EXPECT_EQ(files()->getNetResPath(), netRes());
    EXPECT_EQ(nettest::readFile(netRes() + "keep.txt"), "x");
}

TEST_F(FileLayout, FolderThatCannotBeMadeStillGivesItsPath) {
    fs::remove_all(programFolder() + "res");
    nettest::writeFile(programFolder() + "res", "a file in the way");
    EXPECT_EQ(files()->getHeadImgsPath(), programFolder() + "res/HeadImgs/");
    EXPECT_FALSE(fs::exists(programFolder() + "res/HeadImgs"));
}

TEST_F(FileLayout, ResourceRootIsNeverCreated) {
    fs::remove_all(programFolder() + "res");
    EXPECT_EQ(files()->getResRoot(), programFolder() + "res/");
    EXPECT_FALSE(fs::exists(programFolder() + "res"));
}

TEST_F(FileLayout, PackagePathsUseTheCurrentIdentifyCode) {
    GDataManager* data = GDataManager::getInstance();
    data->courseTypeCode = 2;
    data->subjectCode = 3;
    data->gradeCode = 5;
    data->phaseCode = 1;
    data->lessonNumber = 12;
    const std::string package = netRes() + "0203050112";
    EXPECT_EQ(files()->getTopicPlistPath(), package + "/Topic.plist");
    EXPECT_EQ(files()->getCurrentSumMoviePath(), package + "/mp4/SumMovie");
    EXPECT_EQ(files()->getLecMoviePath(), package + "/mp4/LecMovie");
    EXPECT_EQ(files()->getAddMoviePath(), package + "/mp4/AddMovie");
    EXPECT_EQ(files()->getTopicAniPath(), package + "/TopicAni/");
    EXPECT_EQ(files()->getTopicImgPath(), package + "/TopicImg/");
    EXPECT_EQ(files()->getMp3Path(), package + "/mp3/");
    EXPECT_EQ(files()->getGameImgPath(), package + "/GameImg/");
    EXPECT_TRUE(fs::is_directory(netRes()));
    EXPECT_FALSE(fs::exists(package));
}

TEST_F(FileLayout, SummaryVideoOfARecordFollowsTheCourseTypeRules) {
    CoursewareData record;
    record.CourseCode = 4;
    record.SubjectCode = 25;
    record.GradeCode = 3;
    record.StageCode = 2;
    record.LectureCode = 9;
    GDataManager::getInstance()->courseTypeCode = 7;
    GDataManager::getInstance()->subjectCode = 6;
    EXPECT_EQ(files()->getSumMoviePath(record), netRes() + "0325030209/mp4/SumMovie");
    GDataManager::getInstance()->courseTypeCode = 4;
    GDataManager::getInstance()->subjectCode = 25;
    EXPECT_EQ(files()->getSumMoviePath(record), netRes() + "0101030209/mp4/SumMovie");
}

TEST(FileNames, NameAndExtensionOfPathsAndAddresses) {
    struct Case {
        const char* path;
        const char* name;
        const char* suffix;
    };
    const Case cases[] = {
        {"http://host/b/logo.v2.png", "logo", ".v2.png"},
        {"x/pack.tar.zip", "pack", ".tar.zip"},
        {"x/README", "README", ""},
        {"a/.hidden", "", ".hidden"},
        {"bare.txt", "bare", ".txt"},
        {"plain", "plain", ""},
        {"dir/", "", ""},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FileManager::getFileName(c.path), c.name) << c.path;
        EXPECT_EQ(FileManager::getFileSuffix(c.path), c.suffix) << c.path;
    }
}
