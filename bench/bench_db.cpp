// Courseware rows: 1,000 packages written to "LocalData.db" in one transaction, and the same one call at a time.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/GDataManager.h"
#include "net/SqManager.h"
#include "platform/FileUtils.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRows = 1000;
constexpr int kRuns = 5;

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

} // namespace

int main() {
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

    fs::remove(root + "res/NetRes/LocalData.db");
    db->initCoursewareTable();
    const CoursewareList rows = makeRows(0);
    const auto start = Clock::now();
    for (const CoursewareData& row : rows) {
        db->insertCourseware(row);
    }
    std::printf("one call a row (%d calls, each opens, commits and closes): %.1f ms\n", kRows,
                milliseconds(Clock::now() - start));
    std::printf("best one-transaction run: %.1f ms\n", best);
    fs::remove_all(pattern);
    return stored ? 0 : 1;
}
