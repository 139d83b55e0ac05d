// A file that no longer reads is kept for a person to look at: renamed beside itself with a time stamp.
#pragma once

#include <string>

namespace DamagedFile {

// Renames path to "<path>.damaged-<yyyymmdd-hhmmss>" (with "-2", "-3"... when taken); the new name, or "" (logged)
// when the rename failed.
std::string moveAside(const std::string& path);

} // namespace DamagedFile
