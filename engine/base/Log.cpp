#include "base/Log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "base/StringUtils.h"

namespace engine {

namespace {
std::function<void(const std::string&)> g_sink;
std::mutex g_queueMutex;
std::vector<std::string> g_workerLines;
std::thread::id g_mainThread = std::this_thread::get_id();
} // namespace

void markMainThread() { g_mainThread = std::this_thread::get_id(); }
bool isMainThread() { return std::this_thread::get_id() == g_mainThread; }

namespace {
bool debugLogWanted() {
    const char* setting = std::getenv("ENGINE_DEBUG_LOG");
    return setting && *setting && std::strcmp(setting, "0") != 0;
}

void deliver(std::string line, bool toStderr) {
    if (toStderr) {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
    if (isMainThread()) {
        if (g_sink) {
            g_sink(line);
        }
    } else {
        std::lock_guard<std::mutex> lock(g_queueMutex);
        g_workerLines.push_back(std::move(line));
    }
}
} // namespace

void log(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string line = StringUtils::vformat(format, args);
    va_end(args);
    deliver(std::move(line), true);
}

void logDebug(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string line = StringUtils::vformat(format, args);
    va_end(args);
    deliver(std::move(line), debugLogWanted());
}

void setLogSink(std::function<void(const std::string&)> sink) { g_sink = std::move(sink); }

void flushWorkerLogLines() {
    std::vector<std::string> lines;
    {
        std::lock_guard<std::mutex> lock(g_queueMutex);
        lines.swap(g_workerLines);
    }
    if (g_sink) {
        for (const auto& line : lines) {
            g_sink(line);
        }
    }
}

} // namespace engine
