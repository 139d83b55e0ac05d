#include "layout/CSLoader.h"

#include <algorithm>
#include <vector>

#include "base/Log.h"
#include "door/LayoutDoor.h"
#include "platform/FileUtils.h"
#include "scene/Node.h"

namespace engine {

namespace {
bool g_strictMode = false;
} // namespace

void CSLoader::setStrictMode(bool strict) {
    g_strictMode = strict;
}

bool CSLoader::isStrictMode() {
    return g_strictMode;
}

namespace {

bool holdsNodeNamed(const Node* node, const std::string& name) {
    if (node->getName() == name) {
        return true;
    }
    for (const Node* child : node->getChildren()) {
        if (holdsNodeNamed(child, name)) {
            return true;
        }
    }
    return false;
}

} // namespace

Node* CSLoader::createNode(const std::string& filename) {
    return createNode(filename, {});
}

Node* CSLoader::createNode(const std::string& filename, const std::vector<std::string>& requiredNames) {
    const std::vector<std::string> fullPaths = FileUtils::getInstance()->fullPathsForFilename(filename);
    if (filename.empty() || fullPaths.empty()) {
        log("CSLoader: layout not found: %s", filename.c_str());
        return nullptr;
    }
    // A layout that cannot be used (an interface pack's, found first) gives way to the next one of that name.
    for (const std::string& fullPath : fullPaths) {
        Node* node = createNodeFromFile(filename, fullPath);
        const auto lacks = [node](const std::string& name) { return node && !holdsNodeNamed(node, name); };
        const auto missing = std::find_if(requiredNames.begin(), requiredNames.end(), lacks);
        if (missing != requiredNames.end()) {
            log("CSLoader: %s has no node \"%s\"", fullPath.c_str(), missing->c_str());
            continue;
        }
        if (node) {
            if (fullPath != fullPaths.front()) {
                log("CSLoader: %s used instead of %s", fullPath.c_str(), fullPaths.front().c_str());
            }
            return node;
        }
    }
    return nullptr;
}

Node* CSLoader::createNodeFromFile(const std::string& filename, const std::string& fullPath) {
    return door::readLayout(fullPath, filename, g_strictMode);
}

} // namespace engine
