// Index of this file:
// [SECTION] Statements, table names and small readers
// [SECTION] The instance
// [SECTION] Opening, checking and closing the database
// [SECTION] Running statements
// [SECTION] Base data
// [SECTION] The courseware table
// [SECTION] The extraction queue

#include "net/SqManager.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <new>

#include "base/Director.h"
#include "base/Log.h"
#include "base/Scheduler.h"
#include "base/StringUtils.h"
#include "common/GDataManager.h"
#include "common/PlatformFunc.h"
#include "common/TipsManager.h"
#include "net/DamagedFile.h"
#include "common/FileManager.h"
#include "net/UnzipJob.h"
#include "net/ZipUnpacker.h"
#include "platform/FileUtils.h"

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Statements, table names and small readers
//----------------------------------------------------------------------------------------------------------------------

namespace {

SqManager* s_instance = nullptr;

constexpr float kUnzipInterval = 0.1f;
constexpr int kBusyTimeoutMs = 5000;

constexpr const char* kCreateBaseData = "create table BaseData (id integer primary key autoincrement, BaseKey text, "
                                        "BaseValue text, CreateTime text, IsAnsyc int);";
constexpr const char* kCreateCourseware =
    "create table CoursewareData (id integer primary key autoincrement, CoursewareId int, CourseCode int, "
    "SubjectCode int, GradeCode int, StageCode int, LectureCode int, Hash text, LectureName text, Url text, "
    "ResSize int, Version text, Identify text)";
// Rows are found by Identify; the index keeps that quick as the table grows.
constexpr const char* kCreateIdentifyIndex =
    "create index if not exists CoursewareDataIdentify on CoursewareData (Identify)";
constexpr const char* kTableExists = "select count(type) from sqlite_master where type='table' and name = ?";
constexpr const char* kColumnInTable = "select * from sqlite_master where name='CoursewareData' and sql like ?";
constexpr const char* kSelectBaseData = "select * from BaseData where BaseKey = ?";
constexpr const char* kUpdateBaseData = "update BaseData set BaseValue = ? where BaseKey = ?";
constexpr const char* kInsertBaseData =
    "insert into BaseData (BaseKey, BaseValue, CreateTime, IsAnsyc) values (?, ?, ?, ?)";
constexpr const char* kRenameOld = "ALTER TABLE CoursewareData RENAME TO CoursewareDataOld";
constexpr const char* kCopyOld =
    "insert into CoursewareData select id,CoursewareId,CourseCode,SubjectCode,GradeId,StageCode,LectureCode,Hash,"
    "LectureName,Url,ResSize,Version,Identify from CoursewareDataOld";
constexpr const char* kDropOld = "drop table CoursewareDataOld";
constexpr const char* kInsertCourseware =
    "insert into CoursewareData (CoursewareId, CourseCode, SubjectCode, GradeCode, StageCode, LectureCode, Hash, "
    "LectureName, Url, ResSize, Version, Identify) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
constexpr const char* kUpdateCourseware =
    "update CoursewareData set CoursewareId=?, CourseCode=?, SubjectCode=?, GradeCode=?, StageCode=?, "
    "LectureCode=?, Hash=?, LectureName=?, Url=?, ResSize=?, Version=? where Identify=?";
constexpr const char* kSelectCourseware = "select * from CoursewareData where Identify = ?";
constexpr const char* kSelectCoursewareList =
    "select * from CoursewareData where CourseCode=? and SubjectCode=? and GradeCode=?";
constexpr const char* kDeleteCourseware = "delete from CoursewareData where Identify = ?";
constexpr const char* kBegin = "begin immediate";
constexpr const char* kCommit = "commit";
constexpr const char* kRollback = "rollback";

std::string columnText(sqlite3_stmt* row, int column) {
    if (column >= sqlite3_column_count(row)) {
        return "";
    }
    const unsigned char* text = sqlite3_column_text(row, column);
    return text ? std::string(reinterpret_cast<const char*>(text), sqlite3_column_bytes(row, column)) : "";
}

int columnInt(sqlite3_stmt* row, int column) {
    return column < sqlite3_column_count(row) ? sqlite3_column_int(row, column) : 0;
}

// Columns 1 to 12 in field order; column 0 (id) is not read. NULL reads as 0 or "".
void readRecord(sqlite3_stmt* row, CoursewareData& record) {
    record.CoursewareId = columnInt(row, 1);
    record.CourseCode = columnInt(row, 2);
    record.SubjectCode = columnInt(row, 3);
    record.GradeCode = columnInt(row, 4);
    record.StageCode = columnInt(row, 5);
    record.LectureCode = columnInt(row, 6);
    record.Hash = columnText(row, 7);
    record.LectureName = columnText(row, 8);
    record.Url = columnText(row, 9);
    record.ResSize = columnInt(row, 10);
    record.Version = columnText(row, 11);
    record.Identify = columnText(row, 12);
}

std::string localTimeText() {
    const time_t now = time(nullptr);
    struct tm local = {};
    localtime_r(&now, &local);
    return engine::StringUtils::format("%d/%02d/%02d %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                                       local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
}

std::string canonicalFolder(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    std::error_code ec;
    const std::filesystem::path path = std::filesystem::weakly_canonical(folder, ec);
    return ec ? folder : path.string();
}

} // namespace

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] The instance
//----------------------------------------------------------------------------------------------------------------------

SqManager* SqManager::getInstance() {
    if (!s_instance) {
        s_instance = new (std::nothrow) SqManager();
        if (s_instance && !s_instance->init()) {
            delete s_instance;
            s_instance = nullptr;
        }
        if (s_instance) {
            engine::Director::getInstance()->addShutdownHook(&SqManager::destroyInstance);
        }
    }
    return s_instance;
}

void SqManager::destroyInstance() {
    if (s_instance) {
        engine::Director::getInstance()->getScheduler()->unschedule(schedule_selector(SqManager::updateUnzip),
                                                                    s_instance);
        delete s_instance;
        s_instance = nullptr;
    }
}

SqManager::~SqManager() {
    _unzipJob.reset();
    closeDatabase();
}

bool SqManager::init() {
    if (_unzipJob) {
        _unzipJob->result();
        _unzipJob.reset();
    }
    _unzipQueue.clear();
    _unzipState = 1;
    _unwritableReported = false;
    _recoveryDue = true;
    ensureUnzipTick();
    return true;
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Opening, checking and closing the database
//----------------------------------------------------------------------------------------------------------------------

bool SqManager::openDatabase() {
    _queryKind = 0;
    const std::string root = engine::FileUtils::getInstance()->getDefaultResourceRootPath();
    if (_db && root == _dbRoot && !_damagedSeen) {
        return true;
    }
    _damagedSeen = false;
    closeDatabase();
    const std::string path = FileManager::getInstance()->getNetResPath() + "LocalData.db";
    if (!connect(path)) {
        return false;
    }
    if (isDamaged()) {
        closeDatabase();
        moveAside(path);
        if (!connect(path)) {
            return false;
        }
    }
    if (sqlite3_db_readonly(_db, "main") == 1) {
        reportUnwritable(path.c_str());
    }
    _dbRoot = root;
    return true;
}

bool SqManager::connect(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        engine::log("sqlite: cannot open %s: %s", path.c_str(), _db ? sqlite3_errmsg(_db) : "out of memory");
        sqlite3_close(_db);
        _db = nullptr;
        reportUnwritable(path.c_str());
        return false;
    }
    // Another program holding the file is waited for, a few seconds at most.
    sqlite3_busy_timeout(_db, kBusyTimeoutMs);
    return true;
}

bool SqManager::isDamaged() {
    sqlite3_stmt* check = nullptr;
    int result = sqlite3_prepare_v2(_db, "pragma quick_check", -1, &check, nullptr);
    std::string verdict;
    if (result == SQLITE_OK) {
        result = sqlite3_step(check);
        if (result == SQLITE_ROW) {
            verdict = columnText(check, 0);
            result = SQLITE_OK;
        }
    }
    sqlite3_finalize(check);
    const int primary = result & 0xFF;
    if (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT || (result == SQLITE_OK && verdict != "ok")) {
        engine::log("sqlite: damaged database: %s", verdict.empty() ? sqlite3_errstr(result) : verdict.c_str());
        return true;
    }
    return false;
}

void SqManager::moveAside(const std::string& path) {
    const std::string aside = DamagedFile::moveAside(path);
    if (aside.empty()) {
        return;
    }
    // A journal belongs to the damaged file and would be played into the new one.
    std::rename((path + "-journal").c_str(), (aside + "-journal").c_str());
    engine::log("sqlite: a new database is made");
}

void SqManager::reportUnwritable(const char* path) {
    if (_unwritableReported) {
        return;
    }
    _unwritableReported = true;
    engine::log("sqlite: %s cannot be written", path);
    TipsManager::getInstance()->showTipsByKey("DbStr1", nullptr, nullptr);
}

void SqManager::closeDatabase() {
    for (auto& entry : _statements) {
        sqlite3_finalize(entry.second);
    }
    _statements.clear();
    if (_db) {
        sqlite3_close(_db);
        _db = nullptr;
    }
    _dbRoot.clear();
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Running statements
//----------------------------------------------------------------------------------------------------------------------

bool SqManager::execute(const char* sql, const std::vector<SqlValue>& values,
                        const std::function<void(sqlite3_stmt*)>& onRow) {
    if (!_db) {
        return false;
    }
    sqlite3_stmt* statement = nullptr;
    auto cached = _statements.find(sql);
    if (cached != _statements.end()) {
        statement = cached->second;
    } else {
        if (sqlite3_prepare_v2(_db, sql, -1, &statement, nullptr) != SQLITE_OK) {
            engine::log("sqlite: %s", sqlite3_errmsg(_db));
            sqlite3_finalize(statement);
            return false;
        }
        _statements[sql] = statement;
    }
    for (size_t i = 0; i < values.size(); ++i) {
        const int slot = static_cast<int>(i) + 1;
        if (const int* number = std::get_if<int>(&values[i])) {
            sqlite3_bind_int(statement, slot, *number);
        } else {
            const std::string& text = std::get<std::string>(values[i]);
            sqlite3_bind_text(statement, slot, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        }
    }
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
        if (onRow) {
            onRow(statement);
        } else if (_queryKind != 0) {
            onSelect(statement);
        }
    }
    const bool ok = step == SQLITE_DONE;
    if (!ok) {
        engine::log("sqlite: %s", sqlite3_errmsg(_db));
    }
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    const int primary = step & 0xFF;
    if (step == SQLITE_READONLY_DBMOVED) {
        // The file was deleted or replaced under the connection: open it again.
        _damagedSeen = true;
    } else if (primary == SQLITE_READONLY || primary == SQLITE_CANTOPEN || primary == SQLITE_IOERR ||
               primary == SQLITE_FULL) {
        reportUnwritable(sqlite3_db_filename(_db, "main"));
    } else if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB) {
        // Checked and moved aside at the next open.
        _damagedSeen = true;
    }
    return ok;
}

bool SqManager::isTableExist(const std::string& name) {
    bool exists = false;
    execute(kTableExists, {name}, [&](sqlite3_stmt* row) {
        const std::string count = columnText(row, 0);
        exists = !count.empty() && count[0] != '0';
    });
    return exists;
}

bool SqManager::isColumnInTable(const std::string& word) {
    bool found = false;
    execute(kColumnInTable, {"%" + word + "%"}, [&](sqlite3_stmt*) { found = true; });
    return found;
}

void SqManager::onSelect(sqlite3_stmt* row) {
    switch (_queryKind) {
    case 1:
        _baseValue = columnText(row, 2);
        break;
    case 2:
        readRecord(row, _courseware);
        _courseware.downloaded = true;
        _courseware.state = 1;
        break;
    case 3: {
        CoursewareData record;
        readRecord(row, record);
        record.downloaded = true;
        _coursewareList.push_back(std::move(record));
        break;
    }
    default:
        break;
    }
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Base data
//----------------------------------------------------------------------------------------------------------------------

std::string SqManager::getBaseData(const std::string& key) {
    _baseValue.clear();
    if (openDatabase()) {
        if (isTableExist("BaseData")) {
            _queryKind = 1;
            execute(kSelectBaseData, {key});
        }
    }
    return _baseValue;
}

void SqManager::setBaseData(const std::string& key, const std::string& value) {
    if (!openDatabase()) {
        return;
    }
    if (!isTableExist("BaseData")) {
        execute(kCreateBaseData);
    }
    // Update the key's row; insert only when there is none, so a key never gets a second row.
    if (execute(kUpdateBaseData, {value, key}) && sqlite3_changes(_db) == 0) {
        execute(kInsertBaseData, {key, value, localTimeText(), 0});
    }
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] The courseware table
//----------------------------------------------------------------------------------------------------------------------

void SqManager::initCoursewareTable() {
    if (!openDatabase()) {
        return;
    }
    if (!isTableExist("CoursewareData")) {
        execute(kCreateCourseware);
    } else if (isColumnInTable("GradeId")) {
        bool ok = execute(kBegin);
        ok = ok && execute(kRenameOld) && execute(kCreateCourseware) && execute(kCopyOld) && execute(kDropOld);
        if (ok && execute(kCommit)) {
            engine::log("sqlite: courseware table migrated");
        } else {
            execute(kRollback);
            engine::log("sqlite: courseware table migration failed, rolled back");
        }
    }
    execute(kCreateIdentifyIndex);
    // Once a run: later logins find nothing a killed run left.
    if (_recoveryDue && _unzipState == 1) {
        _recoveryDue = false;
        ZipUnpacker::recoverPackages(FileManager::getInstance()->getNetResPath());
    }
}

bool SqManager::upsertCourseware(const CoursewareData& data) {
    const std::vector<SqlValue> values = {data.CoursewareId, data.CourseCode,  data.SubjectCode, data.GradeCode,
                                          data.StageCode,    data.LectureCode, data.Hash,        data.LectureName,
                                          data.Url,          data.ResSize,     data.Version,     data.Identify};
    if (!execute(kUpdateCourseware, values)) {
        return false;
    }
    return sqlite3_changes(_db) > 0 || execute(kInsertCourseware, values);
}

bool SqManager::writeCoursewareRows(const CoursewareList& list) {
    if (!openDatabase()) {
        return false;
    }
    bool ok = execute(kBegin);
    for (size_t i = 0; ok && i < list.size(); ++i) {
        ok = upsertCourseware(list[i]);
    }
    if (ok) {
        ok = execute(kCommit);
    }
    if (!ok) {
        execute(kRollback);
    }
    return ok;
}

void SqManager::insertCourseware(const CoursewareData& data) {
    writeCoursewareRows({data});
}

void SqManager::updateCourseware(const CoursewareData& data) {
    writeCoursewareRows({data});
}

void SqManager::insertCoursewareList(const CoursewareList& list) {
    writeCoursewareRows(list);
}

void SqManager::deleteCourseware(const std::string& identify) {
    if (openDatabase()) {
        execute(kDeleteCourseware, {identify});
    }
}

CoursewareData SqManager::getCoursewareByIdentify(const std::string& identify) {
    _courseware = CoursewareData();
    _courseware.SubjectCode = 0;
    _courseware.state = 0;
    if (openDatabase()) {
        _queryKind = 2;
        execute(kSelectCourseware, {identify});
    }
    return _courseware;
}

CoursewareList SqManager::getCoursewareList(int gradeCode) {
    _coursewareList.clear();
    if (openDatabase()) {
        const GDataManager* data = GDataManager::getInstance();
        _queryKind = 3;
        execute(kSelectCoursewareList, {data->courseTypeCode, data->subjectCode, gradeCode});
    }
    return _coursewareList;
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] The extraction queue
//----------------------------------------------------------------------------------------------------------------------

void SqManager::ensureUnzipTick() {
    engine::Scheduler* scheduler = engine::Director::getInstance()->getScheduler();
    if (!scheduler->isScheduled(schedule_selector(SqManager::updateUnzip), this)) {
        scheduler->schedule(schedule_selector(SqManager::updateUnzip), this, kUnzipInterval, false);
    }
}

void SqManager::addUnzipTask(const std::string& zipPath, UnzipFinishCallback onFinished) {
    ensureUnzipTick();
    _unzipQueue.push_back({zipPath, std::move(onFinished)});
}

void SqManager::updateUnzip(float) {
    if (_unzipState == 2 && _unzipJob && _unzipJob->isDone()) {
        finishUnzip();
    }
    if (!_unzipQueue.empty() && _unzipState == 1) {
        _unzipState = 2;
        unzipFront();
    }
}

void SqManager::unzipFront() {
    if (_unzipQueue.empty()) {
        _unzipState = 1;
        return;
    }
    const std::string& path = _unzipQueue.front().zipPath;
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    engine::log("start uncompressing");
    _unzipJob = std::make_unique<UnzipJob>(path, folder, packageIdentify(path));
}

void SqManager::finishUnzip() {
    const bool ok = _unzipJob->result();
    _unzipJob.reset();
    // What the extraction logged comes before its end.
    engine::flushWorkerLogLines();
    engine::log("end uncompressing");
    const UnzipTask task = _unzipQueue.front();
    engine::FileUtils::getInstance()->removeFile(task.zipPath);
    _unzipQueue.erase(_unzipQueue.begin());
    _unzipState = 1;
    if (task.onFinished) {
        task.onFinished(task.zipPath, ok);
    }
}

bool SqManager::isUnzipping() const {
    return _unzipState == 2;
}

std::string SqManager::packageIdentify(const std::string& zipPath) {
    const size_t slash = zipPath.find_last_of('/');
    if (slash == std::string::npos) {
        return "";
    }
    const std::string netRes = FileManager::getInstance()->getNetResPath();
    if (canonicalFolder(zipPath.substr(0, slash + 1)) != canonicalFolder(netRes)) {
        return "";
    }
    const std::string name = zipPath.substr(slash + 1);
    if (name.size() <= 4 || name.compare(name.size() - 4, 4, ".zip") != 0) {
        return "";
    }
    const std::string identify = name.substr(0, name.size() - 4);
    const bool digits =
        std::all_of(identify.begin(), identify.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
    return digits ? identify : "";
}
