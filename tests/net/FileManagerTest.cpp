#include <filesystem>

#include "NetFixture.h"
#include "ZipBuilder.h"
#include "common/CoursewareData.h"
#include "common/GDataManager.h"
#include "common/FileManager.h"

namespace fs = std::filesystem;

using FileLayout = nettest::NetFolderTest;

TEST_F(FileLayout, FixedFoldersLieUnderTheResourceRootAndAreMadeWhenMissing) {
    FileManager* files = FileManager::getInstance();
    nettest::writeFile(programFolder() + "res/keep.txt", "x");
    EXPECT_EQ(files->getExeFolder(), programFolder());
    EXPECT_EQ(files->getResRoot(), programFolder() + "res/");
    const std::string paths[] = {files->getCourseIconsPath(), files->getHeadImgsPath(), files->getNetResPath(),
                                 files->getSimpleGamePath()};
    const char* names[] = {"CourseIcons/", "HeadImgs/", "NetRes/", "SimpleGame/"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(paths[i], programFolder() + "res/" + names[i]);
        EXPECT_TRUE(fs::is_directory(paths[i])) << paths[i];
    }
    EXPECT_EQ(nettest::readFile(programFolder() + "res/keep.txt"), "x");
}

TEST_F(FileLayout, FolderThatCannotBeMadeStillGivesItsPath) {
    fs::remove_all(programFolder() + "res");
    nettest::writeFile(programFolder() + "res", "a file in the way");
    EXPECT_EQ(FileManager::getInstance()->getHeadImgsPath(), programFolder() + "res/HeadImgs/");
    EXPECT_FALSE(fs::is_directory(programFolder() + "res"));
}

TEST_F(FileLayout, PackagePathsUseTheIdentifyCode) {
    FileManager* files = FileManager::getInstance();
    GDataManager* data = GDataManager::getInstance();
    data->courseTypeCode = 7;
    data->subjectCode = 6;
    data->gradeCode = 5;
    data->phaseCode = 1;
    data->lessonNumber = 12;
    const std::string package = netRes() + "0306050112";
    EXPECT_EQ(files->getTopicPlistPath(), package + "/Topic.plist");
    EXPECT_EQ(files->getCurrentSumMoviePath(), package + "/mp4/SumMovie");
    EXPECT_EQ(files->getLecMoviePath(), package + "/mp4/LecMovie");
    EXPECT_EQ(files->getAddMoviePath(), package + "/mp4/AddMovie");
    EXPECT_EQ(files->getTopicAniPath(), package + "/TopicAni/");
    EXPECT_EQ(files->getTopicImgPath(), package + "/TopicImg/");
    EXPECT_EQ(files->getMp3Path(), package + "/mp3/");
    EXPECT_EQ(files->getGameImgPath(), package + "/GameImg/");
    EXPECT_FALSE(fs::exists(package));

    CoursewareData record;
    record.CourseCode = 4;
    record.SubjectCode = 25;
    record.GradeCode = 3;
    EXPECT_EQ(files->getSumMoviePath(record), netRes() + "0325030000/mp4/SumMovie");
}

TEST(FileNames, NameAndExtensionOfPathsAndAddresses) {
    const struct {
        const char *path, *name, *suffix;
    } cases[] = {{"http://host/b/logo.v2.png", "logo", ".v2.png"},
                 {"x/pack.tar.zip", "pack", ".tar.zip"},
                 {"x/README", "README", "README"},
                 {"a/.hidden", "", ".hidden"},
                 {"bare.txt", "bare", ".txt"},
                 {"dir/", "", ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(FileManager::getFileName(c.path), c.name) << c.path;
        EXPECT_EQ(FileManager::getFileSuffix(c.path), c.suffix) << c.path;
    }
}
