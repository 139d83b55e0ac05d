// Small shared utilities: splitting texts, the clock and random draws, pupil ordering, colours, versions.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base/Geometry.h"
#include "base/Ref.h"

class CommonTools : public engine::Ref {
public:
    using TimeSource = std::function<int64_t()>;

    static CommonTools* getInstance();

    virtual bool init();

    // Appends the non-empty pieces of text between occurrences of delimiter; a leading run of delimiter
    // characters is skipped. An empty delimiter gives the whole text as one piece.
    void splitString(const std::string& text, std::vector<std::string>& out, const std::string& delimiter) const;
    // The same pieces as integers, read like atoi but clamped to the int range.
    void splitToInt(const std::string& text, std::vector<int>& out, const std::string& delimiter) const;

    // Wall-clock microseconds, or the test's time source when one is set.
    int64_t getCurrentTime() const;
    // Tests fix the clock with a source; an empty one restores the wall clock.
    void setTimeSource(TimeSource source) { _timeSource = std::move(source); }

    // An index in [0, n), or -1 when n <= 0. Seeds the C library generator with the low 32 bits of
    // getCurrentTime before the draw, so a clock that stands still gives the same index every time.
    int drawIndex(int n) const;

    // Bubble-sorts GDataManager's students (stable): 1 ascending / 2 descending gameScore, 3 ascending /
    // 4 descending gameTime, where a pupil with a negative gameTime never moves ahead of its neighbour.
    void sortStudents(int mode) const;

    // 1 to 8; the arguments are not read.
    std::vector<int> getIndexList(int = 0, int = 0) const;

    // Six hex digits "rrggbb" without prefix; a missing or non-hex channel gives 0.
    engine::Color3B hexToColor3B(const std::string& text) const;
    engine::Color4B hexToColor4B(const std::string& text) const;

    // False only when the required version, split at "&", has as many parts as the client's and is higher at
    // the first part that differs.
    bool checkClientVersion(const std::string& required) const;
    // The "Str_SysUpdate" tip: "Button2" starts the updater (and ends the program), "Button1" only closes it.
    void showSysUpdateTip();

    // Scores of groups 1 to 4 (index = group - 1).
    std::array<int, 4> groupScores{};

private:
    CommonTools() = default;
    TimeSource _timeSource;
};
