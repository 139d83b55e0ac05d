// One row of the hostile table: a sample made at test time, passed through one door function, judged by what the
// door did with it and by what it cost the calling thread.
#pragma once

#include <functional>
#include <string>

namespace hostile {

enum class Outcome {
    PASSES,    // read or decoded as any good input
    REFUSED,   // not used, with the door's log line
    BOUNDED,   // used as far as its limit: cut, streamed or drawn smaller
    GIVEN_WAY, // a pack or downloaded file refused and the program's own used instead
};

// What one row may spend: wall time on the calling thread, the peak growth of the process's resident memory while
// the door runs (over where it stood before), and bytes left under the scratch folder past the sample itself. A
// refused sample leaves no bytes at all, whatever its budget.
struct Budget {
    double callingThreadMs = 250;
    double growthMiB = 150;
    double writtenMiB = 150;
};

// Writes the sample into the scratch folder and returns what the runner takes (usually the sample's path).
using Make = std::function<std::string(const std::string& dir)>;
// Passes the sample through its door and says what the door did.
using Run = std::function<Outcome(const std::string& sample)>;

struct Row {
    const char* name;  // "<input>.<measure>.<at|past>", unique
    const char* door;  // the door function, as docs/input-limits.md names it
    Make make;
    Run run;
    Outcome expected;
    Budget budget = {};
};

const char* outcomeName(Outcome outcome);

} // namespace hostile
