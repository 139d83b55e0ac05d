#include "FuzzDoors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::zip(data, size);
    return 0;
}
