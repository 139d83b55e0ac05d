#include <sqlite3.h>

#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <regex>
#include <thread>

#include "NetFixture.h"
#include "ZipBuilder.h"
#include "base/Director.h"
#include "common/BaseScene.h"
#include "common/GDataManager.h"
#include "common/PlistManager.h"
#include "common/FileManager.h"
#include "net/SqManager.h"
#include "scene/Scene.h"
#include "support/ClientTest.h"

using nettest::NetFolderTest;

namespace {

SqManager* db() {
    return SqManager::getInstance();
}

CoursewareData package(const std::string& identify, int grade, const std::string& hash) {
    CoursewareData data;
    data.CoursewareId = 40;
    data.CourseCode = 1;
    data.SubjectCode = 2;
    data.GradeCode = grade;
    data.StageCode = 1;
    data.LectureCode = 4;
    data.Hash = hash;
    data.LectureName = "Lecture";
    data.Url = "http://127.0.0.1/" + identify + ".zip";
    data.ResSize = 2048;
    data.Version = "1.0";
    data.Identify = identify;
    return data;
}

// Direct access to the file, to set up and inspect what the manager cannot.
class RawDatabase {
public:
    RawDatabase() {
        const std::string path = FileManager::getInstance()->getNetResPath() + "LocalData.db";
        sqlite3_open(path.c_str(), &_db);
    }
    ~RawDatabase() { sqlite3_close(_db); }
    bool exec(const std::string& sql) { return sqlite3_exec(_db, sql.c_str(), nullptr, nullptr, nullptr) == 0; }
    // The first column of the first row as text, "" when there is none.
    std::string scalar(const std::string& sql) {
        sqlite3_stmt* statement = nullptr;
        std::string value;
        if (sqlite3_prepare_v2(_db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_text(statement, 0)) {
            value = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        }
        sqlite3_finalize(statement);
        return value;
    }

private:
    sqlite3* _db = nullptr;
};

} // namespace

using LocalDatabase = NetFolderTest;

TEST_F(LocalDatabase, FirstSettingCreatesTheTableAndStampsTheRow) {
    EXPECT_EQ(db()->getBaseData("InstitutionLogo"), "");
    db()->setBaseData("InstitutionLogo", "logo");
    EXPECT_EQ(db()->getBaseData("InstitutionLogo"), "logo");
    RawDatabase raw;
    EXPECT_TRUE(std::regex_match(raw.scalar("select CreateTime from BaseData"),
                                 std::regex(R"(\d{4}/\d\d/\d\d \d\d:\d\d:\d\d)")));
    EXPECT_EQ(raw.scalar("select IsAnsyc from BaseData"), "0");
    EXPECT_EQ(db()->getBaseData("InsUIHash"), "");
}

TEST_F(LocalDatabase, SettingAKeyAgainKeepsOneRow) {
    db()->setBaseData("InsUIHash", "");
    db()->setBaseData("InsUIHash", "abc");
    db()->setBaseData("InsUIHash", "def");
    EXPECT_EQ(db()->getBaseData("InsUIHash"), "def");
    RawDatabase raw;
    EXPECT_EQ(raw.scalar("select count(*) from BaseData where BaseKey='InsUIHash'"), "1");
}

TEST_F(LocalDatabase, QuotesInValuesAreStoredLiterally) {
    const std::string hostile = "it's'); drop table BaseData; --";
    db()->setBaseData("Key'1", hostile);
    db()->setBaseData("Other", "x");
    EXPECT_EQ(db()->getBaseData("Key'1"), hostile);
    EXPECT_EQ(db()->getBaseData("Other"), "x");

    db()->initCoursewareTable();
    CoursewareData data = package("0102030104", 3, "h'1");
    data.LectureName = "Lecture 'one'; delete from CoursewareData; --";
    db()->insertCourseware(data);
    db()->insertCourseware(package("0102030105", 3, "h2"));
    const CoursewareData read = db()->getCoursewareByIdentify("0102030104");
    EXPECT_EQ(read.LectureName, data.LectureName);
    EXPECT_EQ(read.Hash, "h'1");
    EXPECT_TRUE(db()->getCoursewareByIdentify("0102030105").downloaded);
    EXPECT_FALSE(db()->getCoursewareByIdentify("0102030104' or '1'='1").downloaded);
}

TEST_F(LocalDatabase, CoursewareRowIsUpsertedByItsIdentifyCode) {
    db()->initCoursewareTable();
    db()->insertCourseware(package("0102030104", 3, "old"));
    db()->insertCourseware(package("0102030104", 3, "new"));
    db()->updateCourseware(package("0102030104", 3, "newer"));
    db()->updateCourseware(package("0102030199", 3, "missing before"));
    RawDatabase raw;
    EXPECT_EQ(raw.scalar("select count(*) from CoursewareData where Identify='0102030104'"), "1");
    EXPECT_EQ(raw.scalar("select count(*) from CoursewareData where Identify='0102030199'"), "1");
    const CoursewareData read = db()->getCoursewareByIdentify("0102030104");
    EXPECT_TRUE(read.downloaded);
    EXPECT_EQ(read.state, 1);
    EXPECT_EQ(read.Hash, "newer");
    EXPECT_EQ(read.CoursewareId, 40);
    EXPECT_EQ(read.LectureCode, 4);
    EXPECT_EQ(read.Url, "http://127.0.0.1/0102030104.zip");
    EXPECT_EQ(read.ResSize, 2048);
    EXPECT_EQ(read.Version, "1.0");

    db()->deleteCourseware("0102030104");
    EXPECT_FALSE(db()->getCoursewareByIdentify("0102030104").downloaded);
}

TEST_F(LocalDatabase, MissingRowAndNullColumnsReadAsZeroAndEmpty) {
    db()->initCoursewareTable();
    const CoursewareData none = db()->getCoursewareByIdentify("0102030000");
    EXPECT_FALSE(none.downloaded);
    EXPECT_EQ(none.state, 0);
    EXPECT_EQ(none.SubjectCode, 0);
    {
        RawDatabase raw;
        ASSERT_TRUE(raw.exec("insert into CoursewareData (CourseCode, SubjectCode, GradeCode, Identify) "
                             "values (1, 2, 3, '0102030000')"));
    }
    const CoursewareData read = db()->getCoursewareByIdentify("0102030000");
    EXPECT_TRUE(read.downloaded);
    EXPECT_EQ(read.CoursewareId, 0);
    EXPECT_EQ(read.StageCode, 0);
    EXPECT_EQ(read.ResSize, 0);
    EXPECT_EQ(read.Hash, "");
    EXPECT_EQ(read.Version, "");
}

TEST_F(LocalDatabase, ListHoldsTheRowsOfTheCurrentChoiceAndGrade) {
    db()->initCoursewareTable();
    CoursewareData otherSubject = package("0103030104", 3, "x");
    otherSubject.SubjectCode = 3;
    db()->insertCoursewareList(
        {package("0102030101", 3, "a"), otherSubject, package("0102040101", 4, "b"), package("0102030102", 3, "c")});
    GDataManager::getInstance()->courseTypeCode = 1;
    GDataManager::getInstance()->subjectCode = 2;
    const CoursewareList list = db()->getCoursewareList(3);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].Identify, "0102030101");
    EXPECT_EQ(list[1].Identify, "0102030102");
    EXPECT_TRUE(list[1].downloaded);
    EXPECT_EQ(list[1].state, 1);
    GDataManager::getInstance()->subjectCode = 3;
    EXPECT_EQ(db()->getCoursewareList(3).size(), 1u);
}

TEST_F(LocalDatabase, OldGradeIdTableIsMigratedOnce) {
    {
        RawDatabase raw;
        ASSERT_TRUE(raw.exec("create table CoursewareData (id integer primary key autoincrement, CoursewareId int, "
                             "CourseCode int, SubjectCode int, GradeId int, StageCode int, LectureCode int, Hash text, "
                             "LectureName text, Url text, ResSize int, Version text, Identify text)"));
        ASSERT_TRUE(raw.exec("insert into CoursewareData values (7, 40, 1, 2, 3, 1, 4, 'h', 'L', 'u', 9, 'v', "
                             "'0102030104')"));
    }
    db()->initCoursewareTable();
    RawDatabase raw;
    EXPECT_EQ(raw.scalar("select GradeCode from CoursewareData where id=7"), "3");
    EXPECT_EQ(raw.scalar("select count(*) from sqlite_master where name='CoursewareDataOld'"), "0");
    const std::string schema = raw.scalar("select sql from sqlite_master where name='CoursewareData'");
    EXPECT_EQ(schema.find("GradeId"), std::string::npos);

    db()->initCoursewareTable();
    EXPECT_EQ(raw.scalar("select count(*) from CoursewareData"), "1");
    EXPECT_EQ(raw.scalar("select sql from sqlite_master where name='CoursewareData'"), schema);
}

TEST_F(LocalDatabase, FailedMigrationRollsBackToTheOldTable) {
    // No StageCode column: the copy fails half-way through the migration.
    {
        RawDatabase raw;
        ASSERT_TRUE(raw.exec("create table CoursewareData (id integer primary key autoincrement, CoursewareId int, "
                             "CourseCode int, SubjectCode int, GradeId int, LectureCode int, Hash text, "
                             "LectureName text, Url text, ResSize int, Version text, Identify text)"));
        ASSERT_TRUE(raw.exec("insert into CoursewareData values (1, 40, 1, 2, 3, 4, 'h', 'L', 'u', 9, 'v', "
                             "'0102030104')"));
    }
    db()->initCoursewareTable();
    RawDatabase raw;
    EXPECT_NE(raw.scalar("select sql from sqlite_master where name='CoursewareData'").find("GradeId"),
              std::string::npos);
    EXPECT_EQ(raw.scalar("select count(*) from sqlite_master where name='CoursewareDataOld'"), "0");
    EXPECT_EQ(raw.scalar("select Identify from CoursewareData"), "0102030104");
    EXPECT_EQ(countLogLines("rolled back"), 1);
}

TEST_F(LocalDatabase, DamagedFileIsMovedAsideAndAFreshOneMade) {
    struct Damage {
        const char* what;
        std::function<void(const std::string&)> apply;
    };
    const std::vector<Damage> damages = {
        {"not a database", [](const std::string& path) { nettest::writeFile(path, std::string(3000, 'x')); }},
        {"cut short", [](const std::string& path) { std::filesystem::resize_file(path, 5000); }},
        {"malformed page",
         [](const std::string& path) {
             std::string bytes = nettest::readFile(path);
             for (size_t i = 4096 + 8; i < bytes.size(); i += 7) {
                 bytes[i] = static_cast<char>(0xA5);
             }
             nettest::writeFile(path, bytes);
         }},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        logLines.clear();
        const std::string path = netRes() + "LocalData.db";
        db()->initCoursewareTable();
        CoursewareList rows;
        for (int i = 0; i < 60; ++i) {
            rows.push_back(package("01020301" + std::to_string(10 + i), 3, std::string(200, 'h')));
        }
        db()->insertCoursewareList(rows);
        // The next start finds the file damaged.
        db()->closeDatabase();
        damage.apply(path);

        db()->initCoursewareTable();
        EXPECT_EQ(countLogLines("moved to"), 1);
        db()->setBaseData("Key", "v");
        EXPECT_EQ(db()->getBaseData("Key"), "v");
        EXPECT_FALSE(db()->getCoursewareByIdentify("0102030110").downloaded);
        int aside = 0;
        for (const auto& entry : std::filesystem::directory_iterator(netRes())) {
            const std::string name = entry.path().filename().string();
            if (std::regex_match(name, std::regex(R"(LocalData\.db\.damaged-\d{8}-\d{6}(-\d+)?)"))) {
                ++aside;
                std::filesystem::remove(entry.path());
            }
        }
        EXPECT_EQ(aside, 1);
        db()->closeDatabase();
        std::filesystem::remove(path);
    }
}

// The default file-system layer with its sleep reported: SQLite sleeps only while it waits for a lock.
struct SleepWatch {
    static inline sqlite3_vfs* real = nullptr;
    static inline std::mutex mutex;
    static inline std::condition_variable changed;
    static inline bool slept = false;
    sqlite3_vfs vfs = {};

    SleepWatch() {
        real = sqlite3_vfs_find(nullptr);
        vfs = *real;
        vfs.zName = "sleepwatch";
        vfs.xSleep = [](sqlite3_vfs*, int micros) {
            {
                std::lock_guard<std::mutex> lock(mutex);
                slept = true;
            }
            changed.notify_all();
            return real->xSleep(real, micros);
        };
        sqlite3_vfs_register(&vfs, 1);
    }
    ~SleepWatch() {
        sqlite3_vfs_unregister(&vfs);
        sqlite3_vfs_register(real, 1);
    }
};

TEST_F(LocalDatabase, LockOfAnotherProgramIsWaitedFor) {
    SleepWatch watch;
    db()->setBaseData("Key", "before");
    RawDatabase other;
    ASSERT_TRUE(other.exec("begin exclusive"));
    bool done = false;
    std::thread holder([&] {
        std::unique_lock<std::mutex> lock(SleepWatch::mutex);
        SleepWatch::changed.wait(lock, [&] { return SleepWatch::slept || done; });
        lock.unlock();
        other.exec("commit");
    });
    // The write waits for the lock instead of failing with "database is locked".
    db()->setBaseData("Key", "after");
    {
        std::lock_guard<std::mutex> lock(SleepWatch::mutex);
        done = true;
    }
    SleepWatch::changed.notify_all();
    holder.join();
    EXPECT_EQ(db()->getBaseData("Key"), "after");
}

TEST_F(LocalDatabase, UnwritableDatabaseGivesDefaults) {
    std::filesystem::create_directories(netRes() + "LocalData.db");
    db()->setBaseData("Key", "v");
    EXPECT_EQ(db()->getBaseData("Key"), "");
    EXPECT_FALSE(db()->getCoursewareByIdentify("0102030104").downloaded);
    EXPECT_TRUE(db()->getCoursewareList(3).empty());
}

namespace {

int countNamed(const engine::Node* node, const std::string& name) {
    int count = node->getName() == name ? 1 : 0;
    for (const engine::Node* child : node->getChildren()) {
        count += countNamed(child, name);
    }
    return count;
}

} // namespace

using LocalDatabaseTip = support::ClientTest;

TEST_F(LocalDatabaseTip, UnwritableDatabaseGivesOneTipPerStart) {
    support::runScene(BaseScene::create());
    SqManager::getInstance()->init();
    std::filesystem::create_directories(resRoot() + "NetRes/LocalData.db");
    db()->initCoursewareTable();
    db()->setBaseData("Key", "v");
    db()->insertCourseware(package("0102030104", 3, "h"));
    support::stepFrames(2);
    EXPECT_EQ(tipText(), PlistManager::getInstance()->getText("DbStr1"));
    EXPECT_NE(tipText(), "");
    EXPECT_EQ(countNamed(engine::Director::getInstance()->getRunningScene(), "Content"), 1);
    // The client goes on: reads give their defaults.
    EXPECT_EQ(db()->getBaseData("Key"), "");
}
