// Hostile downloads: bodies served from 127.0.0.1, and their runners through the download service.
#pragma once

#include <cstdint>

#include "hostile/HostileRow.h"

namespace hostile {

// A body of that many bytes, its length announced or sent chunked without one, to be stored under name; the sample
// is its description, served by the runner.
Make servedBody(uint64_t bytes, bool announced, const char* name);
// Fetches the body through DownManager::downloadFile: passes when the whole body arrived.
Run downloadFile();
// Fetches the body through DownManager::downloadUpdater: passes when the whole body arrived.
Run downloadUpdater();

} // namespace hostile
