// An archive that unpacks to far more than its own size, for the fault routes.
#pragma once

#include <string>

namespace courseware {

class FaultZip {
public:
    // A zip of 30 entries "<folder>/zeros<n>.bin" of 100 MB of zeros each: about 3 MB that unpack to 3 GB. The
    // entries' data is made once.
    static std::string zerosUnder(const std::string& folder);
};

} // namespace courseware
