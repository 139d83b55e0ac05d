#include "layout/CSLoader.h"

#include <rapidjson/document.h>
#include <rapidjson/error/en.h>

#include <algorithm>
#include <vector>

#include "base/InputLimits.h"
#include "base/JsonDepthLimit.h"
#include "base/Log.h"
#include "layout/LayoutNodeReader.h"
#include "platform/FileUtils.h"
#include "scene/Node.h"

namespace engine {

namespace {
bool g_strictMode = false;
const char* const kFormatName = "classroom-layout";
constexpr int kFormatVersion = 1;
const char* const kFileKeys[] = {"format", "version", "root"};
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
    std::string text = FileUtils::getInstance()->getStringFromFile(fullPath);
    // Editors may leave a UTF-8 byte order mark.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        text.erase(0, 3);
    }
    rapidjson::Document document;
    bool tooDeep = false;
    const rapidjson::ParseResult result = parseJsonWithDepthLimit(document, text, limits::kLayoutJsonDepth, tooDeep);
    if (tooDeep) {
        log("CSLoader: %s: nested deeper than %d levels", filename.c_str(), limits::kLayoutJsonDepth);
        return nullptr;
    }
    if (result.IsError()) {
        log("CSLoader: %s: invalid JSON at offset %zu: %s", filename.c_str(), result.Offset(),
            rapidjson::GetParseError_En(result.Code()));
        return nullptr;
    }
    if (!document.IsObject()) {
        log("CSLoader: %s: not a layout object", filename.c_str());
        return nullptr;
    }
    auto format = document.FindMember("format");
    if (format == document.MemberEnd() || !format->value.IsString() ||
        std::string(format->value.GetString()) != kFormatName) {
        log("CSLoader: %s: not a %s file", filename.c_str(), kFormatName);
        return nullptr;
    }
    auto version = document.FindMember("version");
    if (version == document.MemberEnd() || !version->value.IsInt() || version->value.GetInt() != kFormatVersion) {
        log("CSLoader: %s: unsupported layout version (expected %d)", filename.c_str(), kFormatVersion);
        return nullptr;
    }
    auto root = document.FindMember("root");
    if (root == document.MemberEnd() || !root->value.IsObject()) {
        log("CSLoader: %s: no root node", filename.c_str());
        return nullptr;
    }
    if (g_strictMode) {
        for (auto it = document.MemberBegin(); it != document.MemberEnd(); ++it) {
            const std::string key = it->name.GetString();
            bool known = false;
            for (const char* fileKey : kFileKeys) {
                known = known || key == fileKey;
            }
            if (!known) {
                log("CSLoader: %s: unknown key \"%s\"", filename.c_str(), key.c_str());
                return nullptr;
            }
        }
    }
    LayoutNodeReader reader(filename, g_strictMode);
    Node* node = reader.read(root->value);
    if (!node) {
        log("CSLoader: %s: rejected", filename.c_str());
    }
    return node;
}

} // namespace engine
