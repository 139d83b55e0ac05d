// Reads the project's layout files: a JSON node tree (docs/layout-format.md) found through the search paths.
#pragma once

#include <string>
#include <vector>

namespace engine {

class Node;

class CSLoader {
public:
    // The root node, autoreleased, children in file order. Null (logged) for a missing file, invalid JSON, or
    // another format or version. Unknown kinds become plain nodes; missing pictures draw the placeholder. A file
    // that is refused gives way to the next file of that name through the search paths.
    static Node* createNode(const std::string& filename);
    // The same, and a file whose tree lacks a node of one of these names (what its screen cannot work without)
    // gives way to the next file of that name too.
    static Node* createNode(const std::string& filename, const std::vector<std::string>& requiredNames);

    // Tests: unknown keys and kinds, and values of the wrong type, make createNode return null instead of being
    // skipped with a log line.
    static void setStrictMode(bool strict);
    static bool isStrictMode();

private:
    static Node* createNodeFromFile(const std::string& filename, const std::string& fullPath);
};

} // namespace engine
