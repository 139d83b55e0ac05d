// The pupils of a "getStudentList" reply: each pupil's head image is found on disk or downloaded, and checked off the
// main loop, all of them asked at once; the pupils are appended to the global data's pupil list in the reply's order
// as their heads are settled. A head that is no picture, or past the class's total of head bytes, is removed and
// shows the default head; it is fetched again next time.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <rapidjson/document.h>

#include "common/GDataManager.h"
#include "common/LifeToken.h"

class PupilChain {
public:
    PupilChain() = default;
    // Drops the head downloads' callbacks that still point here.
    ~PupilChain();
    PupilChain(const PupilChain&) = delete;
    PupilChain& operator=(const PupilChain&) = delete;

    // Reads the pupils of the reply data; done runs once, after the last pupil is appended (at once when the data
    // holds none). A data that is not an array holds no pupils. A chain still running is dropped first.
    void start(const rapidjson::Value& data, std::function<void()> done);
    bool isRunning() const { return running; }
    // Pupils of the reply appended so far.
    int getStudentIndex() const { return static_cast<int>(appended); }

private:
    struct Pupil {
        StudentRecord record;
        bool isObject = false;
        std::string pic;
        std::string suffix;
        std::string fileName;
        bool settled = false;
        // The head's path as the pupil shows it; "" for the default head.
        std::string head;
        // Where the head lies on disk, for its bytes; "" for the default head.
        std::string headFile;
        // A later pupil of the same head file waits for this one's answer; the first names itself.
        size_t leader = 0;
        std::vector<size_t> followers;
    };

    // A head is kept only when it is a picture within the download limit and the small pictures' side; otherwise
    // it is removed. The decode runs off the main loop; then runs on it with the answer, while this chain lives.
    void checkHead(const std::string& path, bool arrived, std::function<void(bool)> then);
    void fetchHead(size_t index);
    void downloadHead(size_t index);
    void settle(size_t index, const std::string& head, const std::string& headFile);
    // Appends the settled pupils that follow those appended, in order; runs done after the last.
    void appendSettled();

    std::vector<Pupil> pupils;
    size_t appended = 0;
    uint64_t headBytes = 0;
    bool running = false;
    // Answers of an earlier start find a newer generation and are dropped.
    uint64_t generation = 0;
    // While start asks for the heads, answers that come at once are kept until every head is asked.
    bool asking = false;
    std::function<void()> onDone;
    LifeToken lifeToken;
};
