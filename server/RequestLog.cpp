#include "RequestLog.h"

namespace courseware {

void RequestLog::addRequest(RecordedRequest request) {
    std::lock_guard<std::mutex> lock(_mutex);
    _requests.push_back(std::move(request));
}

void RequestLog::addScore(ScoreSubmission score) {
    std::lock_guard<std::mutex> lock(_mutex);
    _scores.push_back(std::move(score));
}

std::vector<RecordedRequest> RequestLog::requests() const {
    std::lock_guard<std::mutex> lock(_mutex);
    return _requests;
}

std::vector<ScoreSubmission> RequestLog::scores() const {
    std::lock_guard<std::mutex> lock(_mutex);
    return _scores;
}

void RequestLog::clear() {
    std::lock_guard<std::mutex> lock(_mutex);
    _requests.clear();
    _scores.clear();
}

} // namespace courseware
