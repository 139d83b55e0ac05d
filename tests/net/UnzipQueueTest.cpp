#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "NetFixture.h"
#include "ZipBuilder.h"
#include "base/Director.h"
#include "net/FileManager.h"
#include "net/SqManager.h"
#include "net/ZipUnpacker.h"

namespace fs = std::filesystem;
using nettest::ZipItem;

namespace {

constexpr const char* kIdentify = "0102030104";

class UnzipQueue : public nettest::NetFolderTest {
protected:
    void SetUp() override {
        NetFolderTest::SetUp();
        FileManager::getInstance()->getNetResPath();
        SqManager::getInstance()->initCoursewareTable();
    }
    void TearDown() override {
        ZipUnpacker::setEntryHook(nullptr);
        NetFolderTest::TearDown();
    }
    void tick() { engine::Director::getInstance()->mainLoop(0.1f); }

    // A package of count files under its identify folder, as the server serves it.
    std::string packageZip(int count, bool corruptLast = false) {
        std::vector<ZipItem> items;
        for (int i = 0; i < count; ++i) {
            ZipItem item;
            item.name = std::string(kIdentify) + "/f" + std::to_string(i) + ".txt";
            item.data = std::string(2000, static_cast<char>('a' + i % 26));
            item.wrongCrc = corruptLast && i == count - 1;
            items.push_back(item);
        }
        const std::string path = netRes() + kIdentify + ".zip";
        EXPECT_TRUE(nettest::writeZip(path, items));
        return path;
    }
    // What the courseware list does when the download succeeded: the zip is queued and the row written.
    void downloaded(const std::string& zipPath) {
        SqManager::getInstance()->addUnzipTask(zipPath);
        CoursewareData record;
        record.Identify = kIdentify;
        record.Hash = "hash";
        SqManager::getInstance()->insertCourseware(record);
    }
};

std::string simpleZip(const std::string& path, const std::string& entry) {
    ZipItem item;
    item.name = entry;
    item.data = entry;
    EXPECT_TRUE(nettest::writeZip(path, {item}));
    return path;
}

} // namespace

TEST_F(UnzipQueue, OneZipPerTickInQueueOrderEachDeletedAfterwards) {
    const std::string first = simpleZip(netRes() + "first.zip", "one/a.txt");
    const std::string second = simpleZip(programFolder() + "second.zip", "two/b.txt");
    SqManager::getInstance()->addUnzipTask(first);
    SqManager::getInstance()->addUnzipTask(second);
    tick();
    EXPECT_TRUE(fs::exists(netRes() + "one/a.txt"));
    EXPECT_FALSE(fs::exists(first));
    EXPECT_FALSE(fs::exists(programFolder() + "two"));
    EXPECT_TRUE(fs::exists(second));
    tick();
    EXPECT_EQ(nettest::readFile(programFolder() + "two/b.txt"), "two/b.txt");
    EXPECT_FALSE(fs::exists(second));
    EXPECT_EQ(countLogLines("start uncompressing"), 2);
    EXPECT_EQ(countLogLines("end uncompressing"), 2);
}

TEST_F(UnzipQueue, FailedPackageLosesItsFolderAndRowAndCanBeFetchedAgain) {
    // An older extraction is still in place.
    fs::create_directories(netRes() + kIdentify);
    nettest::writeFile(netRes() + kIdentify + "/old.txt", "old");
    const std::string zip = packageZip(5, true);
    downloaded(zip);
    tick();
    EXPECT_FALSE(readsAsReady(kIdentify));
    EXPECT_FALSE(fs::exists(netRes() + kIdentify));
    EXPECT_FALSE(SqManager::getInstance()->getCoursewareByIdentify(kIdentify).downloaded);
    EXPECT_FALSE(fs::exists(zip));
    EXPECT_EQ(countLogLines("removed"), 1);

    downloaded(packageZip(5));
    tick();
    EXPECT_TRUE(readsAsReady(kIdentify));
}

TEST_F(UnzipQueue, FailedZipOutsideTheCoursewareFolderLeavesTheDatabaseAlone) {
    CoursewareData record;
    record.Identify = kIdentify;
    SqManager::getInstance()->insertCourseware(record);
    const std::string path = programFolder() + kIdentify + ".zip";
    nettest::writeFile(path, "not a zip");
    SqManager::getInstance()->addUnzipTask(path);
    tick();
    EXPECT_TRUE(SqManager::getInstance()->getCoursewareByIdentify(kIdentify).downloaded);
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(UnzipQueue, KilledExtractionNeverLeavesAHalfPackageThatReadsAsReady) {
    const std::string zip = packageZip(200);
    CoursewareData record;
    record.Identify = kIdentify;
    SqManager::getInstance()->insertCourseware(record);

    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Report after 60 entries, then hold still until killed.
        ZipUnpacker::setEntryHook([&](int done) {
            if (done == 60) {
                const char signal = 'k';
                (void)!write(pipeFds[1], &signal, 1);
                for (;;) {
                    pause();
                }
            }
        });
        SqManager::getInstance()->addUnzipTask(zip);
        SqManager::getInstance()->unzipFront();
        _exit(3);
    }
    close(pipeFds[1]);
    char signal = 0;
    const ssize_t got = read(pipeFds[0], &signal, 1);
    close(pipeFds[0]);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_EQ(got, 1);
    ASSERT_TRUE(WIFSIGNALED(status));

    EXPECT_FALSE(readsAsReady(kIdentify));
    EXPECT_FALSE(fs::exists(netRes() + kIdentify));
    EXPECT_GE(nettest::listTree(netRes() + "." + kIdentify + ".zip.part").size(), 60u);
    EXPECT_TRUE(fs::exists(zip));

    // The next attempt clears what the killed one left and completes.
    SqManager::getInstance()->addUnzipTask(zip);
    tick();
    EXPECT_TRUE(readsAsReady(kIdentify));
    EXPECT_EQ(nettest::listTree(netRes() + kIdentify).size(), 200u);
    EXPECT_FALSE(fs::exists(netRes() + "." + kIdentify + ".zip.part"));
}
