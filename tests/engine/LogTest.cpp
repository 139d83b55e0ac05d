#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "base/Log.h"

namespace {

// What the calls write to stderr, read back through a temporary file.
template <typename Calls>
std::string stderrOf(Calls calls) {
    std::fflush(stderr);
    FILE* capture = std::tmpfile();
    const int saved = dup(STDERR_FILENO);
    dup2(fileno(capture), STDERR_FILENO);
    calls();
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    std::string text(4096, '\0');
    std::rewind(capture);
    text.resize(std::fread(text.data(), 1, text.size(), capture));
    std::fclose(capture);
    return text;
}

} // namespace

TEST(Log, DeveloperLinesReachStderrOnlyWhenTheDebugSettingAsks) {
    int sunk = 0;
    engine::setLogSink([&](const std::string&) { ++sunk; });
    const struct {
        const char* setting;
        bool printed;
    } cases[] = {{nullptr, false}, {"0", false}, {"", false}, {"1", true}};
    for (const auto& c : cases) {
        if (c.setting) {
            setenv("ENGINE_DEBUG_LOG", c.setting, 1);
        } else {
            unsetenv("ENGINE_DEBUG_LOG");
        }
        const std::string printed = stderrOf([] {
            engine::logDebug("layer line %d", 7);
            engine::log("plain line");
        });
        EXPECT_EQ(printed.find("layer line 7") != std::string::npos, c.printed) << (c.setting ? c.setting : "unset");
        EXPECT_NE(printed.find("plain line"), std::string::npos);
    }
    unsetenv("ENGINE_DEBUG_LOG");
    engine::setLogSink(nullptr);
    EXPECT_EQ(sunk, 8);
}
