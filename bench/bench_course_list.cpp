// A 1 MB "getCourseList" reply: parsed by JsonManager and read into courseware records, as the subject scene does,
// beside a bare RapidJSON parse of the same text (the floor). Each side frees its document and records inside its
// own timing; the pairs alternate, warm in one process and each side in a fresh process of its own.
#include <sys/resource.h>

#include <cstdio>
#include <string>

#include <rapidjson/document.h>

#include "BenchCompare.h"
#include "common/CoursewareData.h"
#include "common/JsonManager.h"
#include "net/ReplyDoor.h"

namespace {

constexpr size_t kTargetBytes = 1024 * 1024;
constexpr int kWarmPairs = 40;
constexpr int kFreshPairs = 12;

std::string makeReply(int& items) {
    std::string text = R"({"code":0,"status":0,"msg":"","data":[)";
    items = 0;
    while (text.size() < kTargetBytes) {
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
double timeOurs(const std::string& reply, int items) {
    const auto start = bench::Clock::now();
    size_t read = 0;
    {
        JsonManager* json = JsonManager::getInstance();
        // Read as any reply: the lecture list's cut would leave most of the bench's items out.
        const rapidjson::Document document = ReplyDoor::parse(reply);
        CoursewareList list;
        const rapidjson::Value& data = document["data"];
        list.reserve(data.Size());
        for (const rapidjson::Value& item : data.GetArray()) {
            list.push_back(json->readCourseware(item));
        }
        read = list.size();
    }
    const double elapsed = bench::millisecondsSince(start);
    return read == static_cast<size_t>(items) ? elapsed : -1;
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

double timeSide(const std::string& side, const std::string& reply, int items) {
    return side == "ours" ? timeOurs(reply, items) : timeBare(reply);
}

} // namespace

int main(int argc, char** argv) {
    int items = 0;
    const std::string reply = makeReply(items);
    int status = 0;
    if (bench::runFreshChild(
            argc, argv,
            [&](const std::vector<std::string>& args) { return args.empty() ? -1 : timeSide(args[0], reply, items); },
            status)) {
        return status;
    }
    std::printf("course list reply: %zu bytes, %d items; %s\n", reply.size(), items, bench::machineLoad().c_str());

    const std::string self = bench::selfPath();
    bench::Pairs fresh;
    const bool freshOk = bench::alternate(
        kFreshPairs, [&] { return bench::freshProcess(self, {"ours"}); },
        [&] { return bench::freshProcess(self, {"bare"}); }, fresh);

    // Warm: each side once unmeasured, then the pairs; the page faults of each side are counted apart.
    timeOurs(reply, items);
    timeBare(reply);
    long oursFaults = 0;
    long bareFaults = 0;
    bench::Pairs warm;
    const bool warmOk = bench::alternate(
        kWarmPairs,
        [&] {
            const long before = pageFaults();
            const double ms = timeOurs(reply, items);
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
        ReplyDoor::parse(reply);
        parseFaults += pageFaults() - before;
    }

    std::printf("JsonManager parse + readCourseware (ours) against a bare RapidJSON parse (reference):\n");
    bench::printPairs("fresh process", fresh, "ms", false, "goal: within 1.3");
    bench::printPairs("warm", warm, "ms", false, "goal: within 1.3");
    std::printf("    page faults per warm run: ours %.1f (the parse alone %.1f), reference %.1f\n",
                double(oursFaults) / kWarmPairs, double(parseFaults) / kWarmPairs, double(bareFaults) / kWarmPairs);
    std::printf("  %s\n", bench::machineLoad().c_str());
    return freshOk && warmOk ? 0 : 1;
}
