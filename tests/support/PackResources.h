// The resource pack as the program reads it, for tests of the pack's own files.
#pragma once

#include <string>
#include <vector>

namespace support {

// While it lives, the file service's resource root is the program folder beside the test programs, with the pack's
// folders searched; the root and search paths it found are put back when it goes.
class PackResources {
public:
    PackResources();
    ~PackResources();
    PackResources(const PackResources&) = delete;
    PackResources& operator=(const PackResources&) = delete;

private:
    std::string _savedRoot;
    std::vector<std::string> _savedSearchPaths;
};

} // namespace support
