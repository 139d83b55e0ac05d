// Pictures that declare a size no client should decode, for the fault routes.
#pragma once

#include <string>

namespace courseware {

class FaultPictures {
public:
    // A PNG of 30000x30000 black RGB pixels: 2.6 MB that inflate to 2.7 GB. Made once.
    static const std::string& hugePng();
    // An SVG of 30000x30000 in 123 bytes.
    static const std::string& hugeSvg();
};

} // namespace courseware
