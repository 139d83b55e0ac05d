// One adapter per kind of outside input: the fuzz targets hand their bytes to these, and these to the door function
// that reads that kind, so pointing a target at a new door function changes only FuzzDoors.cpp.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fuzz {

// A picture for a page (the side cap of any picture) and for a small use (heads, icons, the logo).
void picture(const uint8_t* data, size_t size);
// A sound decoded for playing, through the mixer on SDL's dummy driver.
void sound(const uint8_t* data, size_t size);
// A layout file made into its node tree.
void layout(const uint8_t* data, size_t size);
// A property list read as a dictionary and as an array.
void plist(const uint8_t* data, size_t size);
// A reply of the request service parsed and read as a course list.
void reply(const uint8_t* data, size_t size);
// A zip archive unpacked into a scratch folder.
void zip(const uint8_t* data, size_t size);

} // namespace fuzz
