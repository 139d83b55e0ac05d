#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>

#include "NetFixture.h"
#include "ZipBuilder.h"
#include "net/ZipExtractor.h"

namespace fs = std::filesystem;
using nettest::NetFolderTest;
using nettest::ZipItem;

namespace {

int64_t localTime(int year, int month, int day, int hour, int minute, int second) {
    struct tm t = {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    return mktime(&t);
}

mode_t modeOf(const std::string& path) {
    struct stat st = {};
    lstat(path.c_str(), &st);
    return st.st_mode;
}

class ZipEntries : public NetFolderTest {
protected:
    std::unique_ptr<ZipExtractor> open(const std::vector<ZipItem>& items) {
        const std::string path = scratch.file("test.zip");
        EXPECT_TRUE(nettest::writeZip(path, items));
        return ZipExtractor::openZip(path);
    }
    ZipEntry entry(ZipExtractor& zip, int index) {
        ZipEntry e;
        EXPECT_EQ(zip.getZipItem(index, e), ZipExtractor::kOk);
        return e;
    }
};

using ZipEntryWriting = ZipEntries;

} // namespace

TEST(ZipEntryNames, OnlyPlainRelativePathsAreSafe) {
    for (const char* name : {"a.txt", "a/b.txt", "a/b/", "0102030104/Topic.plist", ".hidden", "a..b/c", "..a"}) {
        EXPECT_TRUE(ZipExtractor::isSafeEntryName(name)) << name;
    }
    for (const char* name : {"", "/", "/etc/passwd", "C:/x.txt", "c:x.txt", "../x", "a/../b", "a/..", "..", ".", "./a",
                             "a/./b", "a//b", "a/b//", "a\\b"}) {
        EXPECT_FALSE(ZipExtractor::isSafeEntryName(name)) << name;
    }
    EXPECT_FALSE(ZipExtractor::isSafeEntryName(std::string("a\0b", 3)));
}

TEST_F(ZipEntries, OpensOnlyArchivesAndChecksIndexes) {
    unsigned result = 0;
    EXPECT_EQ(ZipExtractor::openZip(scratch.file("missing.zip"), &result), nullptr);
    EXPECT_EQ(result, ZipExtractor::kCannotOpen);
    nettest::writeFile(scratch.file("text.zip"), "not a zip at all");
    EXPECT_EQ(ZipExtractor::openZip(scratch.file("text.zip")), nullptr);
    auto zip = open({nettest::item("a.txt", "a"), nettest::item("b.txt", "b")});
    ASSERT_NE(zip, nullptr);
    EXPECT_EQ(entry(*zip, -1).index, 2);
    EXPECT_EQ(entry(*zip, 1).name, "b.txt");
    EXPECT_EQ(entry(*zip, 0).name, "a.txt");
    ZipEntry e;
    EXPECT_EQ(zip->getZipItem(2, e), ZipExtractor::kBadArguments);
    EXPECT_EQ(zip->getZipItem(-2, e), ZipExtractor::kBadArguments);
    zip->setBaseFolder(scratch.path());
    EXPECT_EQ(zip->unzipItem(2, "x"), ZipExtractor::kBadArguments);
    EXPECT_EQ(zip->unzipItem(-1, "x"), ZipExtractor::kBadArguments);
}

TEST_F(ZipEntries, AttributesFromMsDosAndUnixHosts) {
    auto zip = open({
        nettest::item("dos-ro.txt", "x").withAttr(ZipEntry::kReadOnly | ZipEntry::kHidden),
        nettest::item("dos-dir/").withAttr(ZipEntry::kDirectory),
        nettest::unixItem("unix-ro.txt", "x", S_IFREG | 0444),
        nettest::unixItem("unix-rw.txt", "x", S_IFREG | 0644),
        nettest::unixItem("unix-dir", "", S_IFDIR | 0755),
        nettest::unixItem("unix-link", "/etc", S_IFLNK | 0777),
        nettest::item("win\\path\\file.txt", "x"),
    });
    ASSERT_NE(zip, nullptr);
    EXPECT_EQ(entry(*zip, 0).attr, ZipEntry::kReadOnly | ZipEntry::kHidden);
    EXPECT_TRUE(entry(*zip, 1).isDirectory());
    EXPECT_EQ(entry(*zip, 2).attr, ZipEntry::kReadOnly | ZipEntry::kArchive);
    EXPECT_EQ(entry(*zip, 3).attr, ZipEntry::kArchive);
    EXPECT_TRUE(entry(*zip, 4).isDirectory());
    EXPECT_FALSE(entry(*zip, 4).special);
    EXPECT_TRUE(entry(*zip, 5).special);
    EXPECT_FALSE(entry(*zip, 3).special);
    EXPECT_EQ(entry(*zip, 6).name, "win/path/file.txt");
    EXPECT_EQ(entry(*zip, 6).uncSize, 1);
}

TEST_F(ZipEntries, TimesComeFromTheMsDosDateAndTheExtendedTimeBlock) {
    const unsigned long dos = nettest::dosDateOf(2021, 3, 7, 9, 5, 0);
    const int64_t dosTime = localTime(2021, 3, 7, 9, 5, 0);
    auto zip = open({
        nettest::item("plain.txt", "x").withDate(dos),
        nettest::item("write.txt", "x").withDate(dos).withExtra(nettest::extendedTimeBlock(1, {1000000})),
        nettest::item("all.txt", "x")
            .withDate(dos)
            .withExtra(std::string("\x01\x02\x02\x00zz", 6) + nettest::extendedTimeBlock(7, {100, 200, 300})),
        // Flags promise three times, the block holds one.
        nettest::item("short.txt", "x").withDate(dos).withExtra(std::string("UT\x05\x00\x07\x10\0\0\0", 9)),
        // The block claims more data than the field holds.
        nettest::item("overrun.txt", "x").withDate(dos).withExtra(std::string("UT\xff\x00\x01\x10\x00", 7)),
    });
    ASSERT_NE(zip, nullptr);
    const ZipEntry plain = entry(*zip, 0);
    EXPECT_EQ(plain.mtime, dosTime);
    EXPECT_EQ(plain.atime, dosTime);
    EXPECT_EQ(plain.ctime, dosTime);
    const ZipEntry write = entry(*zip, 1);
    EXPECT_EQ(write.mtime, 1000000);
    EXPECT_EQ(write.atime, dosTime);
    EXPECT_EQ(write.ctime, dosTime);
    const ZipEntry all = entry(*zip, 2);
    EXPECT_EQ(all.mtime, 100);
    EXPECT_EQ(all.atime, 200);
    EXPECT_EQ(all.ctime, 300);
    const ZipEntry shortBlock = entry(*zip, 3);
    EXPECT_EQ(shortBlock.mtime, 16);
    EXPECT_EQ(shortBlock.atime, dosTime);
    EXPECT_EQ(entry(*zip, 4).mtime, dosTime);
}

TEST_F(ZipEntryWriting, FileGetsItsContentModeAndTimes) {
    ZipItem readOnly = nettest::unixItem("sub/ro.txt", "read only", S_IFREG | 0444);
    readOnly.localExtra = nettest::extendedTimeBlock(3, {1500000000, 1400000000});
    auto zip = open({readOnly, nettest::item("empty.txt").withDate(nettest::dosDateOf(2019, 1, 2, 3, 4, 6))});
    ASSERT_NE(zip, nullptr);
    const std::string base = scratch.file("out");
    zip->setBaseFolder(base);
    EXPECT_EQ(zip->getBaseFolder(), base + "/");
    ASSERT_EQ(zip->unzipItem(0, "sub/ro.txt"), ZipExtractor::kOk);
    ASSERT_EQ(zip->unzipItem(1, "empty.txt"), ZipExtractor::kOk);
    // Times first: reading the file may move its access time.
    struct stat st = {};
    stat((base + "/sub/ro.txt").c_str(), &st);
    EXPECT_EQ(st.st_mtime, 1500000000);
    EXPECT_EQ(st.st_atime, 1400000000);
    EXPECT_EQ(nettest::readFile(base + "/sub/ro.txt"), "read only");
    EXPECT_EQ(modeOf(base + "/sub/ro.txt") & 0222, 0u);
    EXPECT_NE(modeOf(base + "/empty.txt") & 0200, 0u);
    stat((base + "/empty.txt").c_str(), &st);
    EXPECT_EQ(st.st_size, 0);
    EXPECT_EQ(st.st_mtime, localTime(2019, 1, 2, 3, 4, 6));
}

TEST_F(ZipEntryWriting, RefusesWithoutBaseOrOutsideIt) {
    auto zip = open({nettest::item("a.txt", "a"), nettest::unixItem("l", "/etc", S_IFLNK | 0777)});
    ASSERT_NE(zip, nullptr);
    EXPECT_EQ(zip->unzipItem(0, "a.txt"), ZipExtractor::kBadArguments);
    zip->setBaseFolder(scratch.file("out"));
    EXPECT_EQ(zip->unzipItem(0, "../a.txt"), ZipExtractor::kBadArguments);
    EXPECT_EQ(zip->unzipItem(0, scratch.file("abs.txt")), ZipExtractor::kBadArguments);
    EXPECT_EQ(zip->unzipItem(1, "l"), ZipExtractor::kBadArguments);
    EXPECT_EQ(nettest::listTree(scratch.path()), (std::vector<std::string>{"res/", "test.zip"}));
}

TEST_F(ZipEntryWriting, ReadOnlyFileAndLinkInTheWayAreReplacedNotWrittenThrough) {
    const std::string base = scratch.file("out");
    fs::create_directories(scratch.file("outside"));
    fs::create_directories(base);
    fs::create_directory_symlink(scratch.file("outside"), base + "/pkg");
    nettest::writeFile(base + "/ro.txt", "old");
    chmod((base + "/ro.txt").c_str(), 0444);
    nettest::writeFile(scratch.file("target.txt"), "outside");
    fs::create_symlink(scratch.file("target.txt"), base + "/link.txt");
    auto zip =
        open({nettest::item("ro.txt", "new"), nettest::item("link.txt", "new"), nettest::item("pkg/a.txt", "a")});
    ASSERT_NE(zip, nullptr);
    zip->setBaseFolder(base);
    EXPECT_EQ(zip->unzipItem(0, "ro.txt"), ZipExtractor::kOk);
    EXPECT_EQ(zip->unzipItem(1, "link.txt"), ZipExtractor::kOk);
    // A linked folder on the way is refused.
    EXPECT_EQ(zip->unzipItem(2, "pkg/a.txt"), ZipExtractor::kCannotOpen);
    EXPECT_TRUE(fs::is_empty(scratch.file("outside")));
    EXPECT_EQ(nettest::readFile(base + "/ro.txt"), "new");
    EXPECT_TRUE(S_ISREG(modeOf(base + "/link.txt")));
    EXPECT_EQ(nettest::readFile(scratch.file("target.txt")), "outside");
}

TEST_F(ZipEntryWriting, EncryptedEntryNeedsAPassword) {
    auto zip = open({nettest::item("secret.txt", "secret").withPassword("pw")});
    ASSERT_NE(zip, nullptr);
    ZipEntry e;
    ASSERT_EQ(zip->getZipItem(0, e), ZipExtractor::kOk);
    if (!e.encrypted) {
        GTEST_SKIP() << "this minizip writes no encrypted entries";
    }
    zip->setBaseFolder(scratch.file("out"));
    EXPECT_EQ(zip->unzipItem(0, "secret.txt"), ZipExtractor::kPassword);
    EXPECT_FALSE(fs::exists(scratch.file("out/secret.txt")));
}
