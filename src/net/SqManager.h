// The local database "LocalData.db" (settings and the downloaded courseware) and the zip extraction queue.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "base/Ref.h"
#include "common/CoursewareData.h"

class UnzipJob;
struct sqlite3;
struct sqlite3_stmt;

// Called on the main thread when the extraction attempt of a queued zip is over and the zip deleted; extracted
// tells whether every entry is in place.
using UnzipFinishCallback = std::function<void(const std::string& zipPath, bool extracted)>;

// One connection stays open for the life of the program (it follows the resource root when that changes) and
// every statement is prepared once, its values bound as parameters. A damaged file is moved aside with a time
// stamp and a new one made; a file another program holds is waited for a few seconds. Failures are logged and give
// "" or an empty record or list; writes then have no effect. A file that cannot be written gives one tip
// ("DbStr1") per start.
class SqManager : public engine::Ref {
public:
    // Made on first use; gone at the director's shutdown, before the program's statics, so a running extraction
    // is waited for there and never outlives the program's state.
    static SqManager* getInstance();
    static void destroyInstance();

    ~SqManager() override;
    // Empties the extraction queue and schedules its 0.1 s tick.
    virtual bool init();

    void setBaseData(const std::string& key, const std::string& value);
    // "" when the key has no row.
    std::string getBaseData(const std::string& key);

    // Creates the courseware table, or moves an old one with a GradeId column to the current columns in one
    // transaction (rolled back on failure); then makes sure rows are indexed by Identify. The first call after init()
    // with no extraction running also puts right what a killed extraction left in the courseware folder.
    void initCoursewareTable();
    // Both write the row keyed by the record's Identify: the existing row is updated, a missing one inserted.
    void insertCourseware(const CoursewareData& data);
    void updateCourseware(const CoursewareData& data);
    // The same for many records in one transaction.
    void insertCoursewareList(const CoursewareList& list);
    // Drops the rows of a package, so that it reads as not downloaded.
    void deleteCourseware(const std::string& identify);
    // The downloaded flag tells whether a row was found; without one every field is 0 or "".
    CoursewareData getCoursewareByIdentify(const std::string& identify);
    // The rows of the global data's current course type and subject with that grade, in table order.
    CoursewareList getCoursewareList(int gradeCode);

    // Closes the connection (at exit, or to let another program replace the file); the next operation opens it
    // again.
    void closeDatabase();

    // Queues a zip for extraction into the folder that holds it, one zip at a time. onFinished, when given, hears
    // the result.
    void addUnzipTask(const std::string& zipPath, UnzipFinishCallback onFinished = nullptr);
    // The 0.1 s tick: picks up a finished extraction (deletes its zip, calls its callback), then starts the next.
    void updateUnzip(float dt);
    // Starts extracting the front zip on a worker thread. A courseware package ("<identify>.zip" in the NetRes
    // folder) takes only its "<identify>/" entries and replaces its folder whole; on failure the old package
    // stays as it was.
    void unzipFront();
    bool isUnzipping() const;

private:
    using SqlValue = std::variant<int, std::string>;

    SqManager() = default;

    // Opens the file on first use, or again when the resource root changed or damage was seen.
    bool openDatabase();
    bool connect(const std::string& path);
    bool isDamaged();
    // Renames the file to "<name>.damaged-<yyyymmdd-hhmmss>".
    static void moveAside(const std::string& path);
    void reportUnwritable(const char* path);
    bool isTableExist(const std::string& name);
    bool isColumnInTable(const std::string& word);
    // Runs one statement with its values bound; rows go to onRow, or to onSelect when a query kind is set.
    bool execute(const char* sql, const std::vector<SqlValue>& values = {},
                 const std::function<void(sqlite3_stmt*)>& onRow = nullptr);
    void onSelect(sqlite3_stmt* row);
    bool upsertCourseware(const CoursewareData& data);
    bool writeCoursewareRows(const CoursewareList& list);
    void ensureUnzipTick();
    void finishUnzip();
    // The identify code of a courseware package's zip, "" for any other zip.
    static std::string packageIdentify(const std::string& zipPath);

    sqlite3* _db = nullptr;
    // The resource root the open connection belongs to.
    std::string _dbRoot;
    bool _damagedSeen = false;
    bool _unwritableReported = false;
    // The courseware folder has not been checked for a killed extraction since init().
    bool _recoveryDue = true;
    // Statements prepared on the open connection, by their text.
    std::map<const char*, sqlite3_stmt*> _statements;
    // 1 settings value, 2 one courseware record, 3 courseware list.
    int _queryKind = 0;
    std::string _baseValue;
    CoursewareData _courseware;
    CoursewareList _coursewareList;

    struct UnzipTask {
        std::string zipPath;
        UnzipFinishCallback onFinished;
    };
    std::vector<UnzipTask> _unzipQueue;
    // 1 idle, 2 extracting.
    int _unzipState = 1;
    std::unique_ptr<UnzipJob> _unzipJob;
};
