// A 1 MB "getCourseList" reply: parsed by JsonManager and read into courseware records, as the subject scene does,
// beside a bare RapidJSON parse of the same text (the floor) in the same run.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include <rapidjson/document.h>

#include "common/JsonManager.h"
#include "net/CoursewareData.h"

using Clock = std::chrono::steady_clock;

namespace {

constexpr size_t kTargetBytes = 1024 * 1024;
constexpr int kRuns = 50;

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

double milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

} // namespace

int main() {
    int items = 0;
    const std::string reply = makeReply(items);
    JsonManager* json = JsonManager::getInstance();

    double ours = 1e9;
    double bare = 1e9;
    size_t read = 0;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = Clock::now();
        rapidjson::Document document = json->parse(reply);
        CoursewareList list;
        const rapidjson::Value& data = document["data"];
        list.reserve(data.Size());
        for (const rapidjson::Value& item : data.GetArray()) {
            list.push_back(json->readCourseware(item));
        }
        ours = std::min(ours, milliseconds(Clock::now() - start));
        read = list.size();

        const auto floorStart = Clock::now();
        rapidjson::Document plain;
        plain.Parse(reply.data(), reply.size());
        bare = std::min(bare, milliseconds(Clock::now() - floorStart));
        if (plain.HasParseError()) {
            return 1;
        }
    }
    std::printf("course list reply: %zu bytes, %d items, %zu records read\n", reply.size(), items, read);
    std::printf("JsonManager parse + readCourseware: best of %d %.2f ms\n", kRuns, ours);
    std::printf("bare RapidJSON parse (reference):    best of %d %.2f ms\n", kRuns, bare);
    std::printf("ratio: %.2f (goal: within 1.3)\n", ours / bare);
    return read == static_cast<size_t>(items) ? 0 : 1;
}
