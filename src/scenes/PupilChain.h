// The pupils of a "getStudentList" reply, read one after another: each pupil's head image is found on disk or
// downloaded, and checked off the main loop, before the next pupil is read, and the pupils are appended to the global
// data's pupil list. A head that is no picture is removed and shows the default head; it is fetched again next time.
#pragma once

#include <functional>
#include <string>

#include <rapidjson/document.h>

#include "common/LifeToken.h"

class PupilChain {
public:
    PupilChain() = default;
    // Drops a head download's callback that still points here.
    ~PupilChain();
    PupilChain(const PupilChain&) = delete;
    PupilChain& operator=(const PupilChain&) = delete;

    // Reads the pupils of the reply data from the first one; done runs once, after the last (at once when the data
    // holds none). A data that is not an array holds no pupils.
    void start(const rapidjson::Value& data, std::function<void()> done);
    bool isRunning() const { return running; }
    // Index, in the reply, of the next pupil whose head image is handled.
    int getStudentIndex() const { return studentIndex; }

private:
    // A head is kept only when it is a picture within the download limit and the small pictures' side; otherwise
    // it is removed. The decode runs off the main loop; then runs on it with the answer, while this chain lives.
    void checkHead(const std::string& path, bool arrived, std::function<void(bool)> then);
    void downloadHeadImages(const std::string& text);
    void downloadHead(const std::string& pic, const std::string& suffix, const std::string& text);
    void addStudent(const std::string& headImagePath, const std::string& text);

    int studentIndex = 0;
    bool running = false;
    std::function<void()> onDone;
    LifeToken lifeToken;
};
