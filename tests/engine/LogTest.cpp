#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "base/Log.h"
#include "base/Scheduler.h"

TEST(Log, DeveloperLinesReachStderrOnlyWhenTheDebugSettingAsks) {
    int sunk = 0;
    engine::setLogSink([&](const std::string&) { ++sunk; });
    for (const auto& [setting, printed] :
         {std::pair<const char*, bool>{nullptr, false}, {"0", false}, {"", false}, {"1", true}}) {
        setting ? setenv("ENGINE_DEBUG_LOG", setting, 1) : unsetenv("ENGINE_DEBUG_LOG");
        testing::internal::CaptureStderr();
        engine::logDebug("layer line %d", 7);
        engine::log("plain line");
        const std::string text = testing::internal::GetCapturedStderr();
        EXPECT_EQ(text.find("layer line 7") != std::string::npos, printed) << (setting ? setting : "unset");
        EXPECT_NE(text.find("plain line"), std::string::npos);
    }
    unsetenv("ENGINE_DEBUG_LOG");
    engine::setLogSink(nullptr);
    EXPECT_EQ(sunk, 8);
}

TEST(Log, AWorkersLinesReachTheSinkBeforeTheFunctionItPostedRuns) {
    std::vector<std::string> lines;
    engine::setLogSink([&](const std::string& line) { lines.push_back(line); });
    engine::Scheduler scheduler;
    size_t seenWhenRun = 0;
    std::thread worker([&] {
        engine::log("worker line");
        scheduler.performFunctionInMainThread([&] { seenWhenRun = lines.size(); });
    });
    worker.join();
    scheduler.runFunctionsFromMainThread();
    engine::setLogSink(nullptr);
    EXPECT_EQ(seenWhenRun, 1u);
}
