// The "score" field of "saveScore": a compact JSON array of pupil results.
#pragma once

#include <string>
#include <vector>

namespace courseware {

struct ScoreRow {
    int studentId = 0;
    int isSign = 0;
    int score = 0;
    int gameTime = 0;
    int gameScore = 0;
};

class ScoreText {
public:
    // Accepts only [{"studentId":..,"isSign":0|1,"score":..,"gameTime":..,"gameScore":..},...] with those
    // members in that order, integers, and no white space.
    static ScoreText parse(const std::string& text);

    bool ok() const { return _error.empty(); }
    const std::string& error() const { return _error; }
    const std::vector<ScoreRow>& rows() const { return _rows; }

private:
    std::vector<ScoreRow> _rows;
    std::string _error;
};

} // namespace courseware
