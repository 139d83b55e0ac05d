// Runs every row of the hostile table through its door and holds it to its outcome and budget.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <set>
#include <sys/resource.h>
#include <unistd.h>

#include "hostile/HostileTable.h"
#include "support/Headless.h"

namespace hostile {

const char* outcomeName(Outcome outcome) {
    switch (outcome) {
    case Outcome::PASSES: return "passes";
    case Outcome::REFUSED: return "refused";
    case Outcome::BOUNDED: return "bounded";
    case Outcome::GIVEN_WAY: return "given way";
    }
    return "?";
}

namespace {

double residentMiB() {
    long pages = 0, resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(statm);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double peakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

class HostileTable : public support::HeadlessTest, public ::testing::WithParamInterface<size_t> {};

TEST_P(HostileTable, EachSampleMeetsItsOutcomeWithinItsBudget) {
    const Row& row = table()[GetParam()];
    support::ScratchDir dir;
    const std::string sample = row.make(dir.path());

    const double residentBefore = residentMiB();
    const double peakBefore = peakMiB();
    const auto start = std::chrono::steady_clock::now();
    const Outcome outcome = row.run(sample);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    // The peak only says something once it moved past where an earlier row left it.
    const double peakAfter = peakMiB();
    const double growth = peakAfter > peakBefore ? peakAfter - residentBefore : residentMiB() - residentBefore;

    EXPECT_EQ(outcomeName(outcome), std::string(outcomeName(row.expected))) << row.name << " through " << row.door;
    EXPECT_LT(ms, row.budget.callingThreadMs) << row.name;
    EXPECT_LT(growth, row.budget.growthMiB) << row.name;
}

std::string rowName(const ::testing::TestParamInfo<size_t>& info) {
    std::string name = table()[info.param].name;
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            c = '_';
        }
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Rows, HostileTable, ::testing::Range<size_t>(0, table().size()), rowName);

TEST(HostileTableRows, NamesAreUnique) {
    std::set<std::string> seen;
    for (const Row& row : table()) {
        EXPECT_TRUE(seen.insert(row.name).second) << row.name;
    }
}

} // namespace

} // namespace hostile
