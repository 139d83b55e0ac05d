// What the server saw of one request, kept for the tests.
#pragma once

#include "FormBody.h"
#include "ScoreText.h"

#include <string>
#include <vector>

namespace courseware {

struct RecordedRequest {
    std::string name;  // "login", "saveScore", ...
    FormFields fields; // decoded, in body order
    std::string token; // the "token" header; "" when it was empty or absent (the two look alike here)
    std::string body;  // as it came

    std::string field(const std::string& key) const { return fieldValue(fields, key); }
};

// An accepted "saveScore".
struct ScoreSubmission {
    RecordedRequest request;
    std::vector<ScoreRow> rows;
};

} // namespace courseware
