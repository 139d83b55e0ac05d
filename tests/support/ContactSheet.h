// Screenshots laid out five to a row at a quarter of their size, saved as one picture.
#pragma once

#include <string>
#include <vector>

namespace support {

struct ContactSheet {
    std::vector<std::string> shots; // the screenshots' paths
    void add(const std::string& path) { shots.push_back(path); }
    // Saves the sheet as <name>.png beside the screenshots.
    void save(const std::string& name) const;
};

} // namespace support
