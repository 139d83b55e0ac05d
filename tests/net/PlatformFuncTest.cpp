#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "NetFixture.h"
#include "ZipBuilder.h"
#include "common/PlatformFunc.h"
#include "platform/FileUtils.h"

namespace fs = std::filesystem;
using nettest::NetFolderTest;

namespace {

PlatformFunc* platform() {
    return PlatformFunc::getInstance();
}

void writeConfigs(const std::string& path, const std::string& entries) {
    nettest::writeFile(path, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" + entries +
                                 "</dict></plist>\n");
}

struct ChildResult {
    int exitCode = -1;
    std::string output;
};

// Runs the updater launch in a child process whose standard output is a pipe; reads until every writer (the
// child and anything it started) has closed it.
ChildResult launchUpdaterInChild() {
    int fds[2];
    ChildResult result;
    if (pipe(fds) != 0) {
        return result;
    }
    const pid_t child = fork();
    if (child == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
        platform()->runUpdater();
    }
    close(fds[1]);
    char buffer[256];
    ssize_t got = 0;
    while ((got = read(fds[0], buffer, sizeof buffer)) > 0) {
        result.output.append(buffer, static_cast<size_t>(got));
    }
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

} // namespace

using PlatformFunctions = NetFolderTest;

TEST_F(PlatformFunctions, VersionLineComesFromTheConfiguration) {
    writeConfigs(programFolder() + "Configs.plist", "<key>ClientVersion</key><string>1.0.2</string>"
                                                    "<key>ClientBuild</key><integer>35</integer>");
    EXPECT_EQ(platform()->getClientVersion(), "1.0.2");
    EXPECT_EQ(platform()->getVersionString(), "Version:1.0.2(35)");
    writeConfigs(programFolder() + "Configs.plist", "");
    EXPECT_EQ(platform()->getVersionString(), "Version:()");
}

TEST_F(PlatformFunctions, RemoveDirDeletesEverythingBelow) {
    const std::string folder = scratch.file("doomed");
    fs::create_directories(folder + "/sub/deeper");
    nettest::writeFile(folder + "/a.txt", "a");
    nettest::writeFile(folder + "/sub/b.txt", "b");
    nettest::writeFile(folder + "/sub/deeper/ro.txt", "c");
    chmod((folder + "/sub/deeper/ro.txt").c_str(), 0444);
    EXPECT_TRUE(platform()->isDirExist(folder + "/sub/deeper"));
    EXPECT_FALSE(platform()->isDirExist(folder + "/a.txt"));
    platform()->removeDir(folder);
    EXPECT_FALSE(platform()->isDirExist(folder));
    EXPECT_EQ(countLogLines("目录下"), 2);
}

TEST_F(PlatformFunctions, RemoveDirNeverFollowsLinks) {
    const std::string outside = scratch.file("outside");
    fs::create_directories(outside + "/keep");
    nettest::writeFile(outside + "/keep/file.txt", "keep");
    const std::string folder = scratch.file("doomed");
    fs::create_directories(folder);
    fs::create_directory_symlink(outside, folder + "/dirlink");
    fs::create_symlink(outside + "/keep/file.txt", folder + "/filelink");
    platform()->removeDir(folder);
    EXPECT_FALSE(fs::exists(folder));

    fs::create_directory_symlink(outside, scratch.file("link"));
    platform()->removeDir(scratch.file("link"));
    EXPECT_FALSE(fs::is_symlink(scratch.file("link")));
    EXPECT_EQ(nettest::readFile(outside + "/keep/file.txt"), "keep");
}

TEST_F(PlatformFunctions, RemoveDirOfAMissingOrEmptyPathOnlyLogs) {
    platform()->removeDir(scratch.file("missing"));
    platform()->removeDir("");
    platform()->removeDir("/");
    EXPECT_EQ(countLogLines("目录失败"), 3);
    EXPECT_TRUE(fs::exists(scratch.path()));
}

TEST_F(PlatformFunctions, UnzipFileExtractsBesideTheZip) {
    fs::create_directories(netRes());
    nettest::ZipItem nested;
    nested.name = "a/b.txt";
    nested.data = "b";
    nettest::ZipItem top;
    top.name = "c.txt";
    top.data = "c";
    ASSERT_TRUE(nettest::writeZip(netRes() + "x.zip", {nested, top}));
    EXPECT_TRUE(platform()->unzipFile(netRes() + "x.zip"));
    EXPECT_EQ(nettest::readFile(netRes() + "a/b.txt"), "b");
    EXPECT_EQ(nettest::readFile(netRes() + "c.txt"), "c");
    EXPECT_FALSE(platform()->unzipFile(netRes() + "missing.zip"));
}

TEST_F(PlatformFunctions, UpdaterStartsBesideTheProgramAndTheClientEnds) {
    // A space in the path would split a shell command line; the program must get it as one word.
    const std::string folder = scratch.file("program folder/");
    fs::create_directories(folder);
    engine::FileUtils::getInstance()->setDefaultResourceRootPath(folder);
    const std::string updater = folder + "QuorvelWinUpdate.exe";
    nettest::writeFile(updater, "#!/bin/sh\necho \"started $# $0\"\n");
    chmod(updater.c_str(), 0755);
    const ChildResult result = launchUpdaterInChild();
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output, "started 0 " + updater + "\n");
}

TEST_F(PlatformFunctions, ClientEndsAlsoWithoutAStartableUpdater) {
    ChildResult result = launchUpdaterInChild();
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output, "");

    const std::string updater = programFolder() + "QuorvelWinUpdate.exe";
    nettest::writeFile(updater, "#!/bin/sh\necho started\n");
    chmod(updater.c_str(), 0644);
    result = launchUpdaterInChild();
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output, "");
}
