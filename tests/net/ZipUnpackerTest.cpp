#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <tuple>

#include "NetFixture.h"
#include "ZipBuilder.h"
#include "common/PlatformFunc.h"
#include "net/ZipEntry.h"
#include "net/ZipExtractor.h"
#include "net/ZipUnpacker.h"

namespace fs = std::filesystem;
using nettest::ZipItem;

namespace {

class ZipPackages : public nettest::NetFolderTest {
protected:
    void SetUp() override {
        NetFolderTest::SetUp();
        fs::create_directories(base());
    }
    void TearDown() override {
        ZipUnpacker::setEntryHook(nullptr);
        NetFolderTest::TearDown();
    }
    std::string base() const { return scratch.path() + "/base/"; }
    std::string zip(const std::vector<ZipItem>& items, const std::string& name = "pkg.zip") {
        const std::string path = base() + name;
        EXPECT_TRUE(nettest::writeZip(path, items));
        return path;
    }
    std::vector<std::string> baseTree() const { return nettest::listTree(base()); }
};

ZipItem file(const std::string& name, const std::string& data) {
    return nettest::item(name, data);
}

} // namespace

TEST_F(ZipPackages, GoodPackageExtractsEveryEntryWithModesAndTimes) {
    ZipItem readOnly = nettest::unixItem("pkg/sub/ro.txt", "read only", S_IFREG | 0444);
    readOnly.localExtra = nettest::extendedTimeBlock(1, {1600000000});
    const std::string path =
        zip({nettest::item("pkg/").withAttr(ZipEntry::kDirectory), nettest::unixItem("pkg/dir", "", S_IFDIR | 0755),
             file("pkg/Topic.plist", "<plist/>"), readOnly, file("pkg/empty.txt", ""), file("top.txt", "top")});
    EXPECT_TRUE(ZipUnpacker::unpack(path, base()));
    EXPECT_EQ(baseTree(), (std::vector<std::string>{"pkg.zip", "pkg/", "pkg/Topic.plist", "pkg/dir/", "pkg/empty.txt",
                                                    "pkg/sub/", "pkg/sub/ro.txt", "top.txt"}));
    EXPECT_EQ(nettest::readFile(base() + "pkg/Topic.plist"), "<plist/>");
    EXPECT_EQ(nettest::readFile(base() + "top.txt"), "top");
    struct stat st = {};
    stat((base() + "pkg/sub/ro.txt").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0222, 0u);
    EXPECT_EQ(st.st_mtime, 1600000000);
}

TEST_F(ZipPackages, ManyEntriesAllArriveAndEachIsCountedOnce) {
    std::vector<ZipItem> items;
    for (int i = 0; i < 300; ++i) {
        items.push_back(file("pkg/d" + std::to_string(i % 7) + "/f" + std::to_string(i) + ".txt",
                             std::string(100 + i, static_cast<char>('a' + i % 26))));
    }
    const std::string path = zip(items);
    std::atomic<int> calls{0};
    std::atomic<int> highest{0};
    ZipUnpacker::setEntryHook([&](int done) {
        ++calls;
        int seen = highest.load();
        while (done > seen && !highest.compare_exchange_weak(seen, done)) {
        }
    });
    EXPECT_TRUE(ZipUnpacker::unpack(path, base()));
    EXPECT_EQ(calls.load(), 300);
    EXPECT_EQ(highest.load(), 300);
    for (int i = 0; i < 300; ++i) {
        const std::string name = base() + "pkg/d" + std::to_string(i % 7) + "/f" + std::to_string(i) + ".txt";
        ASSERT_EQ(nettest::readFile(name), std::string(100 + i, static_cast<char>('a' + i % 26))) << name;
    }
}

TEST_F(ZipPackages, NamesAreCleanedAndWhatStaysUnsafeIsSkipped) {
    // Name in the archive, and where it lands under the base folder ("" when skipped).
    const std::vector<std::pair<std::string, std::string>> names = {
        {"C:\\x\\y.txt", "x/y.txt"},
        {"a/../b.txt", "b.txt"},
        {"../../z.txt", "z.txt"},
        {"C:/c4.txt", "c4.txt"},
        {"/abs/d.txt", "abs/d.txt"},
        {"x\\..\\..\\..\\e.txt", "e.txt"},
        {"../evil1.txt", ""},
        {"a/../../evil3.txt", ""},
        {"..\\evil6.txt", ""},
        {"a//b2.txt", ""},
        {"./c.txt", ""},
        {"a/./d.txt", ""},
        {"..", ""},
        {".", ""},
        {"/", ""},
        {"../", ""},
        {"x/../../", ""},
    };
    std::vector<ZipItem> items;
    std::vector<std::string> expected = {"base/", "base/pkg.zip"};
    int skipped = 0;
    for (const auto& [name, target] : names) {
        items.push_back(file(name, name));
        skipped += target.empty() ? 1 : 0;
    }
    const std::string path = zip(items);
    EXPECT_TRUE(ZipUnpacker::unpack(path, base()));
    for (const auto& [name, target] : names) {
        if (!target.empty()) {
            EXPECT_EQ(nettest::readFile(base() + target), name) << name;
        }
    }
    EXPECT_EQ(
        nettest::listTree(scratch.path()),
        (std::vector<std::string>{"base/", "base/abs/", "base/abs/d.txt", "base/b.txt", "base/c4.txt", "base/e.txt",
                                  "base/pkg.zip", "base/x/", "base/x/y.txt", "base/z.txt", "res/"}));
    EXPECT_EQ(countLogLines("skipped unsafe entry"), skipped);
}

TEST_F(ZipPackages, EntryInflatingBeyondItsDeclaredSizeFails) {
    // Inflated whole in memory, and in chunks as entries too big for memory are.
    for (const int64_t limit : {int64_t(-1), int64_t(0)}) {
        SCOPED_TRACE(limit);
        ZipExtractor::setInMemoryLimit(limit);
        ZipItem bomb = file("pkg/bomb.txt", std::string(200000, 'z'));
        bomb.declaredSize = 1000;
        const std::string path = zip({file("pkg/a.txt", "fine"), bomb});
        EXPECT_FALSE(ZipUnpacker::unpack(path, base()));
        EXPECT_EQ(baseTree(), std::vector<std::string>{"pkg.zip"});
    }
    ZipExtractor::setInMemoryLimit(-1);
}

TEST_F(ZipPackages, DeclaredSizesBeyondTheFreeDiskSpaceOrTheArchivesCapFailBeforeWriting) {
    fs::create_directories(base());
    const uintmax_t free = fs::space(base()).available;
    // Entries that each declare almost 4 GB, together more than the disk holds; thirty of 100 MB, as zeros pack.
    const std::tuple<uintmax_t, uint32_t, std::string> cases[] = {{free, 0xFFFFFFF0u, "free on the disk"},
                                                                  {3000u << 20, 100u << 20, "more than the"}};
    for (const auto& [total, each, log] : cases) {
        std::vector<ZipItem> items = {file("pkg/a.txt", "fine")};
        for (uintmax_t declared = 0; declared <= total; declared += each) {
            ZipItem huge = file("pkg/huge" + std::to_string(items.size()) + ".bin", "small really");
            huge.declaredSize = each;
            items.push_back(huge);
        }
        EXPECT_FALSE(ZipUnpacker::unpack(zip(items), base()));
        EXPECT_EQ(baseTree(), std::vector<std::string>{"pkg.zip"});
        EXPECT_EQ(countLogLines(log), 1) << log;
    }
}

TEST_F(ZipPackages, LinkEntriesAreNeverCreated) {
    fs::create_directories(scratch.file("outside"));
    const std::string path = zip({nettest::unixItem("pkg/link", scratch.file("outside"), S_IFLNK | 0777),
                                  nettest::unixItem("pkg/up", "../../outside", S_IFLNK | 0777),
                                  file("pkg/link/x.txt", "inside"), nettest::unixItem("pkg/fifo", "", S_IFIFO | 0644)});
    EXPECT_TRUE(ZipUnpacker::unpack(path, base()));
    EXPECT_EQ(baseTree(), (std::vector<std::string>{"pkg.zip", "pkg/", "pkg/link/", "pkg/link/x.txt"}));
    EXPECT_TRUE(fs::is_empty(scratch.file("outside")));
    EXPECT_EQ(countLogLines("skipped special entry"), 3);
}

TEST_F(ZipPackages, LinksAlreadyInTheFolderAreReplacedNotFollowed) {
    fs::create_directories(scratch.file("outside"));
    nettest::writeFile(scratch.file("outside/target.txt"), "outside");
    fs::create_directory_symlink(scratch.file("outside"), base() + "pkg");
    fs::create_symlink(scratch.file("outside/target.txt"), base() + "top.txt");
    const std::string path = zip({file("pkg/a.txt", "a"), file("top.txt", "top")});
    EXPECT_TRUE(ZipUnpacker::unpack(path, base()));
    EXPECT_EQ(baseTree(), (std::vector<std::string>{"pkg.zip", "pkg/", "pkg/a.txt", "top.txt"}));
    EXPECT_EQ(nettest::listTree(scratch.file("outside")), std::vector<std::string>{"target.txt"});
    EXPECT_EQ(nettest::readFile(scratch.file("outside/target.txt")), "outside");
}

TEST_F(ZipPackages, TruncatedArchiveOrEntryDeclaredPastItsEndExtractsNothing) {
    std::vector<ZipItem> items;
    for (int i = 0; i < 40; ++i) {
        items.push_back(file("pkg/f" + std::to_string(i) + ".txt", std::string(4000, 'x')));
    }
    const std::string path = zip(items);
    const std::string whole = nettest::readFile(path);
    // The packed size of the last entry in its local and its central header: a megabyte, past the end of the file.
    std::string longer = whole;
    for (const std::string& signature : {std::string("PK\x03\x04"), std::string("PK\x01\x02")}) {
        longer.replace(longer.rfind(signature) + (signature[2] == 3 ? 18 : 20), 4, std::string("\x00\x00\x10\x00", 4));
    }
    for (const std::string& bytes :
         {whole.substr(0, whole.size() * 9 / 10), whole.substr(0, whole.size() / 2), std::string(), longer}) {
        nettest::writeFile(path, bytes);
        EXPECT_FALSE(ZipUnpacker::unpack(path, base())) << bytes.size();
        EXPECT_EQ(baseTree(), std::vector<std::string>{"pkg.zip"});
    }
}

TEST_F(ZipPackages, ArchiveBehindALeadingStubExtracts) {
    ZipItem stored = file("pkg/stored.txt", "kept as it is");
    stored.stored = true;
    const std::string text(30000, 'q');
    const std::string path = zip({file("pkg/a.txt", text), stored});
    nettest::writeFile(path, std::string(1000, 'S') + nettest::readFile(path));
    EXPECT_TRUE(ZipUnpacker::unpack(path, base()));
    EXPECT_EQ(nettest::readFile(base() + "pkg/a.txt"), text);
    EXPECT_EQ(nettest::readFile(base() + "pkg/stored.txt"), "kept as it is");
}

TEST_F(ZipPackages, CorruptDataFailsTheWholePackage) {
    std::string content;
    for (int i = 0; i < 20000; ++i) {
        content += std::to_string(i * 7919 % 10007) + ",";
    }
    const std::string path = zip({file("pkg/a.txt", "fine"), file("pkg/b.txt", content)});
    std::string bytes = nettest::readFile(path);
    // Damage the middle of the compressed data of the second entry.
    const size_t middle = bytes.find("pkg/b.txt") + 9 + bytes.size() / 4;
    for (size_t i = middle; i < middle + 64; ++i) {
        bytes[i] = static_cast<char>(bytes[i] ^ 0x5A);
    }
    nettest::writeFile(path, bytes);
    EXPECT_FALSE(ZipUnpacker::unpack(path, base()));
    EXPECT_EQ(baseTree(), std::vector<std::string>{"pkg.zip"});
}

TEST_F(ZipPackages, WrongChecksumFailsTheWholePackage) {
    ZipItem bad = file("pkg/b.txt", "checked");
    bad.wrongCrc = true;
    const std::string path = zip({file("pkg/a.txt", "fine"), bad, file("pkg/c.txt", "fine")});
    EXPECT_FALSE(ZipUnpacker::unpack(path, base()));
    EXPECT_EQ(baseTree(), std::vector<std::string>{"pkg.zip"});
    EXPECT_GE(countLogLines("pkg/b.txt failed"), 1);
}

TEST_F(ZipPackages, DuplicateNamesKeepTheLastEntry) {
    const std::string path = zip({file("pkg/a.txt", "one"), file("pkg/b.txt", "b"), file("pkg/a.txt", "two")});
    EXPECT_TRUE(ZipUnpacker::unpack(path, base()));
    EXPECT_EQ(nettest::readFile(base() + "pkg/a.txt"), "two");
    EXPECT_EQ(nettest::readFile(base() + "pkg/b.txt"), "b");
}

TEST_F(ZipPackages, FileAndFolderOfOneNameFail) {
    const std::string path = zip({file("pkg/x", "file"), file("pkg/x/y.txt", "child")});
    EXPECT_FALSE(ZipUnpacker::unpack(path, base()));
    EXPECT_EQ(baseTree(), std::vector<std::string>{"pkg.zip"});
}

TEST_F(ZipPackages, EmptyFolderIsRefused) {
    const std::string path = zip({file("a.txt", "a")});
    EXPECT_FALSE(ZipUnpacker::unpack(path, ""));
    EXPECT_FALSE(PlatformFunc::getInstance()->unzipFile("pkg.zip"));
    EXPECT_EQ(baseTree(), std::vector<std::string>{"pkg.zip"});
}

TEST_F(ZipPackages, ExtractingAgainReplacesItsFilesAndKeepsOthers) {
    const std::string first =
        zip({file("pkg/a.txt", "a1"), nettest::unixItem("pkg/ro.txt", "r1", S_IFREG | 0444), file("pkg/b.txt", "b1")},
            "first.zip");
    ASSERT_TRUE(ZipUnpacker::unpack(first, base()));
    nettest::writeFile(base() + "pkg/local.txt", "mine");
    const std::string second =
        zip({file("pkg/a.txt", "a2"), file("pkg/ro.txt", "r2"), file("pkg/c.txt", "c2")}, "second.zip");
    EXPECT_TRUE(ZipUnpacker::unpack(second, base()));
    EXPECT_EQ(nettest::readFile(base() + "pkg/a.txt"), "a2");
    EXPECT_EQ(nettest::readFile(base() + "pkg/ro.txt"), "r2");
    EXPECT_EQ(nettest::readFile(base() + "pkg/b.txt"), "b1");
    EXPECT_EQ(nettest::readFile(base() + "pkg/c.txt"), "c2");
    EXPECT_EQ(nettest::readFile(base() + "pkg/local.txt"), "mine");
}

TEST_F(ZipPackages, FolderInTheWayOfAFileFails) {
    fs::create_directories(base() + "pkg/a.txt");
    const std::string path = zip({file("pkg/a.txt", "a")});
    EXPECT_FALSE(ZipUnpacker::unpack(path, base()));
    EXPECT_TRUE(fs::is_directory(base() + "pkg/a.txt"));
}
