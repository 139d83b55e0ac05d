// The door's property-list row: an XML property list read with its bytes, its values and their nesting bounded.
#pragma once

#include <string>

#include "base/Value.h"

namespace engine::door {

// The top-level dict (or array) of the property list at fullPath; empty (logged) when the file is missing, past a
// limit, malformed, or of another top level.
ValueMap readPlistMap(const std::string& fullPath);
ValueVector readPlistVector(const std::string& fullPath);

} // namespace engine::door
