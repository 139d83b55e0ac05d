// Runs every row of the hostile table through its door and holds it to its outcome and budget. Each row is its own
// CTest case, so its process starts with nothing another row left.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <ctime>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <thread>
#include <vector>
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

constexpr double kMiB = 1024.0 * 1024.0;

double residentMiB() {
    long pages = 0, resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(statm);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / kMiB;
}

// The kernel's own peak of resident memory (VmHWM), 0 when it cannot be read.
double highWaterMiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::atof(line.c_str() + 6) / 1024.0;
        }
    }
    return 0;
}

// The peak of resident memory over a stretch of the run: the kernel's high-water mark, reset at the start where
// the kernel allows it, and a thread that reads the resident size every millisecond where it does not.
class PeakResident {
public:
    PeakResident() {
        std::ofstream clear("/proc/self/clear_refs");
        clear << "5";
        clear.flush();
        _highWaterReset = clear.good();
        _peak = residentMiB();
        _sampler = std::thread([this] {
            std::unique_lock<std::mutex> lock(_mutex);
            while (!_stop) {
                _peak = std::max(_peak.load(), residentMiB());
                _wake.wait_for(lock, std::chrono::milliseconds(1));
            }
        });
    }

    double stop() {
        {
            std::lock_guard<std::mutex> lock(_mutex);
            _stop = true;
        }
        _wake.notify_one();
        _sampler.join();
        const double sampled = std::max(_peak.load(), residentMiB());
        return _highWaterReset ? std::max(sampled, highWaterMiB()) : sampled;
    }

private:
    bool _highWaterReset = false;
    std::atomic<double> _peak{0};
    bool _stop = false;
    std::mutex _mutex;
    std::condition_variable _wake;
    std::thread _sampler;
};

double bytesUnder(const std::string& dir) {
    namespace fs = std::filesystem;
    std::error_code error;
    uintmax_t total = 0;
    for (fs::recursive_directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
        if (it->is_regular_file(error) && !it->is_symlink(error)) {
            total += it->file_size(error);
        }
    }
    return static_cast<double>(total);
}

double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

// A busy machine (CI runs the test programs side by side) stretches wall time many times over; a wait for a worker
// that the CPU time cannot see is still caught past this many times the budget.
constexpr double kWallStretch = 10;

// The sanitizer builds run the same decoders several times slower and with redzones around every allocation: the
// budgets stretch with them, so that those builds still catch a limit that is gone (which costs far more).
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr double kSanitizerTime = 6;
constexpr double kSanitizerMemory = 2;
#else
constexpr double kSanitizerTime = 1;
constexpr double kSanitizerMemory = 1;
#endif

// What one row spent, and what its door said.
struct Spent {
    Outcome outcome;
    double ms;     // CPU time of the calling thread: what the door costs the frame, whatever else the machine runs
    double wallMs; // its wall time, which also counts any wait for another thread
    double growthMiB;
    double writtenMiB;
};

Spent runRow(const Row& row, const std::string& dir) {
    const std::string sample = row.make(dir);
    const double bytesBefore = bytesUnder(dir);
    const double residentBefore = residentMiB();
    PeakResident peak;
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = threadCpuMs();
    const Outcome outcome = row.run(sample);
    const double ms = threadCpuMs() - cpuStart;
    const double wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    const double growth = peak.stop() - residentBefore;
    return {outcome, ms, wallMs, growth, (bytesUnder(dir) - bytesBefore) / kMiB};
}

class HostileTable : public support::HeadlessTest, public ::testing::WithParamInterface<size_t> {};

TEST_P(HostileTable, EachSampleMeetsItsOutcomeWithinItsBudget) {
    const Row& row = table()[GetParam()];
    support::ScratchDir dir;
    const Spent spent = runRow(row, dir.path());

    EXPECT_EQ(outcomeName(spent.outcome), std::string(outcomeName(row.expected))) << row.name << " through "
                                                                                   << row.door;
    const double ms = kSanitizerTime * row.budget.callingThreadMs;
    EXPECT_LT(spent.ms, ms) << row.name << ": CPU milliseconds on the calling thread";
    EXPECT_LT(spent.wallMs, kWallStretch * ms) << row.name << ": wall milliseconds";
    EXPECT_LT(spent.growthMiB, kSanitizerMemory * row.budget.growthMiB) << row.name << ": MiB of resident growth at the peak";
    EXPECT_LT(spent.writtenMiB, row.budget.writtenMiB) << row.name << ": MiB written under the scratch folder";
    if (row.expected == Outcome::REFUSED) {
        EXPECT_LE(spent.writtenMiB, 0.0) << row.name << ": a refused sample leaves nothing behind";
    }
}

// The budget sees memory the door gave back before it returned, and files it wrote beside the sample.
TEST(HostileBudget, SeesAFreedPeakAndTheBytesWritten) {
    support::ScratchDir dir;
    const Row spike{"spike", "none", [](const std::string& d) { return d + "/out"; },
                    [](const std::string& out) {
                        std::vector<char> block(200 << 20);
                        std::memset(block.data(), 1, block.size());
                        std::ofstream(out) << std::string(3 << 20, 'x') << block[12345];
                        return Outcome::REFUSED;
                    },
                    Outcome::REFUSED};
    const Spent spent = runRow(spike, dir.path());
    EXPECT_GT(spent.growthMiB, 190.0);
    EXPECT_GT(spent.writtenMiB, 2.9);
    EXPECT_LT(spent.writtenMiB, 3.1);
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
