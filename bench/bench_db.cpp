// Courseware rows: 1,000 packages written to "LocalData.db" in one transaction, and the same one call at a time;
// 1,000 lookups by identify code through SqManager against the same lookups on one bare SQLite connection (opened and
// closed inside its timing). The lookup pairs alternate, warm in this process and each side in a fresh process.
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchCompare.h"
#include "common/GDataManager.h"
#include "net/SqManager.h"
#include "platform/FileUtils.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRows = 1000;
constexpr int kRuns = 5;
constexpr int kLookupPairs = 7;

CoursewareList makeRows(int hashSeed) {
    CoursewareList rows;
    for (int i = 0; i < kRows; ++i) {
        CoursewareData data;
        data.CoursewareId = i;
        data.CourseCode = 1;
        data.SubjectCode = 2;
        data.GradeCode = i % 12;
        data.StageCode = 1 + i % 2;
        data.LectureCode = i;
        data.Hash = "hash" + std::to_string(hashSeed * kRows + i);
        data.LectureName = "Lecture " + std::to_string(i);
        data.Url = "http://127.0.0.1/courseware/" + std::to_string(i) + ".zip";
        data.ResSize = 1024 * i;
        data.Version = "1.0";
        data.Identify = CoursewareData::makeIdentify(1, 2, 1, 2, data.GradeCode, data.StageCode, i);
        rows.push_back(data);
    }
    return rows;
}

double milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

std::string text(sqlite3_stmt* row, int column) {
    const unsigned char* value = sqlite3_column_text(row, column);
    return value ? reinterpret_cast<const char*>(value) : "";
}

// The floor: one open connection, one prepared statement, every column read into a record.
double timeBareLookups(const std::string& path, const CoursewareList& rows) {
    const auto start = Clock::now();
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db, "select * from CoursewareData where Identify = ?", -1, &select, nullptr);
    int found = 0;
    for (const CoursewareData& row : rows) {
        sqlite3_bind_text(select, 1, row.Identify.c_str(), -1, SQLITE_TRANSIENT);
        CoursewareData record;
        while (sqlite3_step(select) == SQLITE_ROW) {
            record.CoursewareId = sqlite3_column_int(select, 1);
            record.CourseCode = sqlite3_column_int(select, 2);
            record.SubjectCode = sqlite3_column_int(select, 3);
            record.GradeCode = sqlite3_column_int(select, 4);
            record.StageCode = sqlite3_column_int(select, 5);
            record.LectureCode = sqlite3_column_int(select, 6);
            record.Hash = text(select, 7);
            record.LectureName = text(select, 8);
            record.Url = text(select, 9);
            record.ResSize = sqlite3_column_int(select, 10);
            record.Version = text(select, 11);
            record.Identify = text(select, 12);
            record.downloaded = true;
        }
        sqlite3_reset(select);
        found += record.downloaded ? 1 : 0;
    }
    sqlite3_finalize(select);
    sqlite3_close(db);
    const double elapsed = milliseconds(Clock::now() - start);
    return found == kRows ? elapsed : -1;
}

double timeManagerLookups(SqManager* db, const CoursewareList& rows) {
    int found = 0;
    const auto start = Clock::now();
    for (const CoursewareData& row : rows) {
        found += db->getCoursewareByIdentify(row.Identify).downloaded ? 1 : 0;
    }
    const double elapsed = milliseconds(Clock::now() - start);
    return found == kRows ? elapsed : -1;
}

// In a fresh process: "manager <program folder>" or "bare <database file>".
double freshLookups(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        return -1;
    }
    const CoursewareList rows = makeRows(0);
    if (args[0] == "bare") {
        return timeBareLookups(args[1], rows);
    }
    engine::FileUtils::getInstance()->setDefaultResourceRootPath(args[1]);
    GDataManager::getInstance()->courseTypeCode = 1;
    GDataManager::getInstance()->subjectCode = 2;
    return timeManagerLookups(SqManager::getInstance(), rows);
}

} // namespace

int main(int argc, char** argv) {
    int status = 0;
    if (bench::runFreshChild(argc, argv, freshLookups, status)) {
        return status;
    }
    std::printf("%s\n", bench::machineLoad().c_str());
    char pattern[] = "/tmp/bench-db-XXXXXX";
    if (!mkdtemp(pattern)) {
        return 1;
    }
    const std::string root = std::string(pattern) + "/";
    fs::create_directories(root + "res");
    engine::FileUtils::getInstance()->setDefaultResourceRootPath(root);
    SqManager* db = SqManager::getInstance();
    db->initCoursewareTable();

    double best = 1e9;
    for (int run = 0; run < kRuns; ++run) {
        // The first run inserts every row, later runs update them.
        const CoursewareList rows = makeRows(run);
        const auto start = Clock::now();
        db->insertCoursewareList(rows);
        const double elapsed = milliseconds(Clock::now() - start);
        std::printf("one transaction, run %d (%s): %.1f ms\n", run + 1, run == 0 ? "insert" : "update", elapsed);
        best = std::min(best, elapsed);
    }
    GDataManager::getInstance()->courseTypeCode = 1;
    GDataManager::getInstance()->subjectCode = 2;
    const bool stored = db->getCoursewareList(0).size() == kRows / 12 + (kRows % 12 > 0 ? 1 : 0);

    // A second program folder: a fresh file for the one-call-a-row inserts.
    const std::string second = root + "second/";
    fs::create_directories(second + "res");
    engine::FileUtils::getInstance()->setDefaultResourceRootPath(second);
    db->initCoursewareTable();
    const CoursewareList rows = makeRows(0);
    const auto start = Clock::now();
    for (const CoursewareData& row : rows) {
        db->insertCourseware(row);
    }
    std::printf("one call a row (%d calls, each commits): %.1f ms\n", kRows, milliseconds(Clock::now() - start));
    std::printf("best one-transaction run: %.1f ms\n", best);

    const std::string self = bench::selfPath();
    const std::string file = second + "res/NetRes/LocalData.db";
    bench::Pairs fresh;
    bool lookedUp = bench::alternate(
        kLookupPairs, [&] { return bench::freshProcess(self, {"manager", second}); },
        [&] { return bench::freshProcess(self, {"bare", file}); }, fresh);
    bench::Pairs warm;
    lookedUp = lookedUp && bench::alternate(
                               kLookupPairs, [&] { return timeManagerLookups(db, rows); },
                               [&] { return timeBareLookups(file, rows); }, warm);
    std::printf("1,000 lookups: getCoursewareByIdentify (ours) against a bare SQLite connection (reference):\n");
    bench::printPairs("each in a fresh process", fresh, "ms", false, "goal: within 2");
    bench::printPairs("warm", warm, "ms", false, "goal: within 2");
    std::printf("  %s\n", bench::machineLoad().c_str());
    fs::remove_all(pattern);
    return stored && lookedUp ? 0 : 1;
}
