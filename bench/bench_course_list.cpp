// A "getCourseList" reply of 1 MiB, read as any reply, and one just under the 16 MiB a reply may be, read as the
// program reads a grade's course list (the door cuts it at its first 1,000 lectures): parsed through the reply door
// and read into courseware records, as the subject scene does, beside a bare RapidJSON parse of the same whole text
// (the floor). Each side frees its document and records inside its own timing; the pairs alternate, warm in one
// process and each side in a fresh process of its own.
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include <rapidjson/document.h>

#include "BenchCompare.h"
#include "common/CoursewareData.h"
#include "common/JsonManager.h"
#include "net/NetLimits.h"
#include "net/ReplyDoor.h"

namespace {

constexpr int kWarmPairs = 40;
constexpr int kFreshPairs = 12;

// The two replies: 1 MiB read as any reply, and the largest a reply may be read as a course list.
struct Size {
    size_t bytes;
    ReplyDoor::Kind kind;
};
constexpr Size kSizes[] = {{netlimits::kMiB, ReplyDoor::Kind::OTHER},
                           {netlimits::kReplyBytes - 1024, ReplyDoor::Kind::LECTURES}};

std::string makeReply(size_t targetBytes, int& items) {
    std::string text = R"({"code":0,"status":0,"msg":"","data":[)";
    items = 0;
    while (text.size() + 700 < targetBytes) {
        const int i = items++;
        char item[640];
        std::snprintf(item, sizeof item,
                      R"(%s{"id":%d,"type":1,"subject":1,"grade":%d,"phase":%d,"lesson":%d,)"
                      R"("hash":"5f2b9c0e7d1a4b6c8e3f%08d","name":"Lecture %d: shapes, numbers and stories",)"
                      R"("url":"http://127.0.0.1:8765/files/courseware/01010%d0%d%02d.zip","size":%d,)"
                      R"("version":"1.0.%d","text1":"%d,%d,%d,%d,%d"})",
                      i ? "," : "", i + 1, 1 + i % 6, 1 + i % 4, 1 + i % 12, i, i, 1 + i % 6, 1 + i % 4, i % 100,
                      100000 + i, i % 10, i % 3, i % 5, i % 7, i % 9, i % 11);
        text += item;
    }
    text += "]}";
    return text;
}

long pageFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// Parse, records and their release, in milliseconds; negative when a record is missing.
double timeOurs(const std::string& reply, int items, ReplyDoor::Kind kind) {
    const auto start = bench::Clock::now();
    size_t read = 0;
    {
        JsonManager* json = JsonManager::getInstance();
        const rapidjson::Document document = ReplyDoor::parse(reply, kind);
        CoursewareList list;
        const rapidjson::Value& data = document["data"];
        list.reserve(data.Size());
        for (const rapidjson::Value& item : data.GetArray()) {
            list.push_back(json->readCourseware(item));
        }
        read = list.size();
    }
    const double elapsed = bench::millisecondsSince(start);
    const size_t expected = kind == ReplyDoor::Kind::LECTURES ? std::min<size_t>(items, netlimits::kLectureItems)
                                                              : static_cast<size_t>(items);
    return read == expected ? elapsed : -1;
}

double timeBare(const std::string& reply) {
    const auto start = bench::Clock::now();
    bool ok = false;
    {
        rapidjson::Document plain;
        plain.Parse(reply.data(), reply.size());
        ok = !plain.HasParseError();
    }
    const double elapsed = bench::millisecondsSince(start);
    return ok ? elapsed : -1;
}

double timeSide(const std::string& side, const std::string& reply, int items, ReplyDoor::Kind kind) {
    return side == "ours" ? timeOurs(reply, items, kind) : timeBare(reply);
}

// The pairs for one reply, printed; false when a side failed.
bool measure(const Size& size) {
    int items = 0;
    const std::string reply = makeReply(size.bytes, items);
    const std::string index = size.kind == ReplyDoor::Kind::OTHER ? "0" : "1";
    const char* how = size.kind == ReplyDoor::Kind::OTHER ? "read as any reply" : "read as a course list";
    std::printf("course list reply: %zu bytes, %d items, %s; %s\n", reply.size(), items, how,
                bench::machineLoad().c_str());

    const std::string self = bench::selfPath();
    bench::Pairs fresh;
    const bool freshOk = bench::alternate(
        kFreshPairs, [&] { return bench::freshProcess(self, {"ours", index}); },
        [&] { return bench::freshProcess(self, {"bare", index}); }, fresh);

    // Warm: each side once unmeasured, then the pairs; the page faults of each side are counted apart.
    timeOurs(reply, items, size.kind);
    timeBare(reply);
    long oursFaults = 0;
    long bareFaults = 0;
    bench::Pairs warm;
    const bool warmOk = bench::alternate(
        kWarmPairs,
        [&] {
            const long before = pageFaults();
            const double ms = timeOurs(reply, items, size.kind);
            oursFaults += pageFaults() - before;
            return ms;
        },
        [&] {
            const long before = pageFaults();
            const double ms = timeBare(reply);
            bareFaults += pageFaults() - before;
            return ms;
        },
        warm);

    // The parse alone, its document freed each time: the pages it faults in after the first.
    long parseFaults = 0;
    for (int i = 0; i < kWarmPairs; ++i) {
        const long before = pageFaults();
        ReplyDoor::parse(reply, size.kind);
        parseFaults += pageFaults() - before;
    }

    std::printf("the reply door's parse + readCourseware (ours) against a bare RapidJSON parse (reference):\n");
    bench::printPairs("fresh process", fresh, "ms", false, "goal: within 1.3");
    bench::printPairs("warm", warm, "ms", false, "goal: within 1.3");
    std::printf("    page faults per warm run: ours %.1f (the parse alone %.1f), reference %.1f\n",
                double(oursFaults) / kWarmPairs, double(parseFaults) / kWarmPairs, double(bareFaults) / kWarmPairs);
    std::printf("  %s\n", bench::machineLoad().c_str());
    return freshOk && warmOk;
}

} // namespace

int main(int argc, char** argv) {
    int status = 0;
    if (bench::runFreshChild(
            argc, argv,
            [&](const std::vector<std::string>& args) {
                if (args.size() < 2) {
                    return -1.0;
                }
                const Size& size = kSizes[args[1] == "1" ? 1 : 0];
                int items = 0;
                const std::string reply = makeReply(size.bytes, items);
                return timeSide(args[0], reply, items, size.kind);
            },
            status)) {
        return status;
    }
    bool ok = true;
    for (const Size& size : kSizes) {
        ok = measure(size) && ok;
    }
    return ok ? 0 : 1;
}
