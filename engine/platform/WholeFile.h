// Writing a file whole so that a killed program or a power cut leaves the old file or the new one, never a part:
// the bytes go to a temporary name beside the file and reach the disk, the temporary file is renamed over the
// file, then the folder's entry reaches the disk.
#pragma once

#include <functional>
#include <string>

namespace engine {

// Writes content to path + ".part" (created or cut down with the permission bits mode, which also replace those of
// one left behind), syncs it, renames it over path and syncs the folder. True only when every step succeeded; a
// failure is logged and leaves the file as it was.
bool writeFileWhole(const std::string& path, const std::string& content, unsigned mode = 0644);

// Test seam: told of each step just before it is taken ("write", "sync", "rename", "sync folder") with the path
// the step acts on. Null for none.
using WholeFileObserver = std::function<void(const std::string& step, const std::string& path)>;
void setWholeFileObserver(WholeFileObserver observer);

} // namespace engine
