// Every request the server received and every score it accepted, safe across the server's threads.
#pragma once

#include "RecordedRequest.h"

#include <mutex>
#include <vector>

namespace courseware {

class RequestLog {
public:
    void addRequest(RecordedRequest request);
    void addScore(ScoreSubmission score);
    std::vector<RecordedRequest> requests() const;
    std::vector<ScoreSubmission> scores() const;
    void clear();

private:
    mutable std::mutex _mutex;
    std::vector<RecordedRequest> _requests;
    std::vector<ScoreSubmission> _scores;
};

} // namespace courseware
