// Writing a file whole so that a killed program or a power cut leaves the old file or the new one, never a part:
// the bytes go to a temporary name beside the file and reach the disk, the temporary file is renamed over the
// file, then the folder's entry reaches the disk.
#pragma once

#include <functional>
#include <string>

namespace engine {

// Writes content to path + ".part" (created or cut down with the permission bits mode, which also replace those of
// one left behind), syncs it, renames it over path and syncs the folder. False (logged) when the file was left as it
// was; a folder that will not sync after the rename is only logged.
bool writeFileWhole(const std::string& path, const std::string& content, unsigned mode = 0644);
// Removes path and syncs its folder, so that a power cut cannot bring the file back. True when it is gone (or was
// never there); a folder that will not sync is only logged, as after the rename.
bool removeFileWhole(const std::string& path);

// Test seam: the call that takes a file's or a folder's data to the disk, given its open descriptor (fsync unless
// replaced; null puts it back).
using WholeFileSync = std::function<int(int fd)>;
void setWholeFileSync(WholeFileSync sync);

} // namespace engine
