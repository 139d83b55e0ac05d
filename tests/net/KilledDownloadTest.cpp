// A client killed while a package downloads leaves nothing that reads as ready, and the next try completes. The
// client is this test program run again as a child, so that it has its own threads and can be killed outright.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "CoursewareServer.h"
#include "NetFixture.h"
#include "net/CoursewareManager.h"
#include "net/SqManager.h"
#include "platform/FileUtils.h"
#include "support/GateServer.h"
#include "support/Headless.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr const char* kIdentify = "0101010101";
constexpr const char* kChildFilter = "--gtest_filter=KilledDownloadChild.DownloadsUntilKilled";
constexpr int kReadyFd = 3;

// Starts this program as the child client; its descriptor kReadyFd is the write end of the returned pipe.
pid_t spawnChild(const std::string& folder, const std::string& url, int& readyRead) {
    int fds[2];
    if (pipe(fds) != 0) {
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], kReadyFd);
    posix_spawn_file_actions_addclose(&actions, fds[0]);

    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry) {
        environment.emplace_back(*entry);
    }
    environment.push_back("KILLED_DOWNLOAD_DIR=" + folder);
    environment.push_back("KILLED_DOWNLOAD_URL=" + url);
    std::vector<char*> envp;
    for (std::string& entry : environment) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    std::string program = fs::read_symlink("/proc/self/exe").string();
    std::string filter = kChildFilter;
    char* argv[] = {program.data(), filter.data(), nullptr};

    pid_t child = -1;
    if (posix_spawn(&child, program.c_str(), &actions, nullptr, argv, envp.data()) != 0) {
        child = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    readyRead = fds[0];
    return child;
}

// The child: queues the package and ticks until it is killed, telling the parent once the transfer runs.
TEST(KilledDownloadChild, DownloadsUntilKilled) {
    const char* folder = std::getenv("KILLED_DOWNLOAD_DIR");
    const char* url = std::getenv("KILLED_DOWNLOAD_URL");
    if (!folder || !url) {
        GTEST_SKIP() << "runs only as the child of KilledDownload";
    }
    support::startHeadless();
    engine::FileUtils::getInstance()->setDefaultResourceRootPath(folder);
    SqManager::getInstance()->initCoursewareTable();
    CoursewareManager* manager = CoursewareManager::getInstance();
    manager->addDownloadTask({kIdentify, url, "", ""});
    ASSERT_TRUE(support::stepUntil([&] { return manager->busy == 1; }, 100, 0.1f));
    support::stepFrames(5, 0.1f);
    const char ready = 'r';
    ASSERT_EQ(write(kReadyFd, &ready, 1), 1);
    for (;;) {
        support::stepFrames(1, 0.1f);
    }
}

class KilledDownload : public nettest::NetFolderTest {};

TEST_F(KilledDownload, LeavesNoPackageThatReadsAsReady) {
    {
        support::GateServer gate;
        int readyRead = -1;
        const pid_t child = spawnChild(programFolder(), gate.url(), readyRead);
        ASSERT_GT(child, 0);
        char ready = 0;
        const ssize_t got = read(readyRead, &ready, 1);
        close(readyRead);
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_EQ(got, 1) << "the child never started its download";
        ASSERT_TRUE(WIFSIGNALED(status));
    }
    EXPECT_FALSE(readsAsReady(kIdentify));
    EXPECT_FALSE(fs::exists(netRes() + kIdentify + ".zip"));
    EXPECT_FALSE(fs::exists(netRes() + kIdentify));

    // The next run of the client fetches it whole, whatever the killed one left.
    support::startHeadless();
    courseware::CoursewareServer server;
    ASSERT_GT(server.start(0), 0);
    CoursewareManager::destroyInstance();
    SqManager::getInstance()->init();
    SqManager::getInstance()->initCoursewareTable();
    CoursewareData record;
    record.Identify = kIdentify;
    CoursewareManager::getInstance()->currentList.push_back(record);
    CoursewareManager::getInstance()->addDownloadTask(
        {kIdentify, server.origin() + "/files/courseware/" + kIdentify + ".zip", "", ""});
    EXPECT_TRUE(support::waitFor([&] { return readsAsReady(kIdentify); }, 10, 0.1f));
    EXPECT_TRUE(fs::exists(netRes() + kIdentify + "/Topic.plist"));
    CoursewareManager::destroyInstance();
    support::stopHeadless();
}

} // namespace
