// Pictures that declare a size no client should decode, for the fault routes.
#pragma once

#include <cstdint>
#include <string>

namespace courseware {

class FaultPictures {
public:
    // A PNG of 30000x30000 black RGB pixels: 2.6 MB that inflate to 2.7 GB. Made once.
    static const std::string& hugePng();
    // An SVG of 30000x30000 in 123 bytes.
    static const std::string& hugeSvg();
    // A progressive grey JPEG of 1024x1024: a DC scan, then scans - 1 scans of one AC coefficient each, every one
    // a pass over the whole picture in a decoder (12 bytes a scan).
    static std::string manyScansJpeg(int scans);
    // A grey PNG of side x side whose data goes on past its rows, to 1 GB of zeros in 1 MB.
    static std::string surplusPng(uint32_t side);
};

} // namespace courseware
