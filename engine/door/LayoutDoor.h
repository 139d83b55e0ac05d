// The door's layout row: one layout file read with its bytes, JSON nesting, node count, node depth and font sizes
// bounded while it is parsed, then built into its node tree.
#pragma once

#include <string>

namespace engine {
class Node;
}

namespace engine::door {

// The tree of the layout at fullPath (autoreleased), or null (logged) when the file is missing, past a limit, not
// a layout, or rejected by a strict reader. name is the file's name in log lines.
Node* readLayout(const std::string& fullPath, const std::string& name, bool strict);
// The same with the path as the name (fuzzing, tools).
Node* readLayout(const std::string& fullPath);

} // namespace engine::door
