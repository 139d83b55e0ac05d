// One-line printf-style logging to stderr, with a sink tests can capture.
#pragma once

#include <functional>
#include <string>

namespace engine {

void log(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A line for a developer: the sink gets it as any other, stderr only when ENGINE_DEBUG_LOG is set (not "0").
void logDebug(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Lines logged on worker threads reach the sink on the main thread.
void setLogSink(std::function<void(const std::string&)> sink);

// Called by the director on the main thread; delivers queued worker lines.
void flushWorkerLogLines();

// Marks the calling thread as the main thread (the director's).
void markMainThread();
bool isMainThread();

} // namespace engine
