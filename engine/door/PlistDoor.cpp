#include "door/PlistDoor.h"

#include <pugixml.hpp>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "base/InputLimits.h"
#include "base/Log.h"
#include "door/FileDoor.h"

namespace engine::door {

namespace {

// Counts the values it makes and stops at the first past the node or nesting limit.
struct PlistReader {
    bool refused = false;
    int values = 0;

    Value read(const pugi::xml_node& node, int depth) {
        if (depth > limits::kPlistDepth || ++values > limits::kPlistNodes) {
            refused = true;
            return Value();
        }
        const char* name = node.name();
        if (std::strcmp(name, "dict") == 0) {
            return Value(readDict(node, depth));
        }
        if (std::strcmp(name, "array") == 0) {
            return Value(readArray(node, depth));
        }
        if (std::strcmp(name, "string") == 0 || std::strcmp(name, "date") == 0 || std::strcmp(name, "data") == 0) {
            return Value(std::string(node.text().get()));
        }
        if (std::strcmp(name, "integer") == 0) {
            long long v = std::strtoll(node.text().get(), nullptr, 10);
            return Value(static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX)));
        }
        if (std::strcmp(name, "real") == 0) {
            return Value(std::strtod(node.text().get(), nullptr));
        }
        if (std::strcmp(name, "true") == 0) {
            return Value(true);
        }
        if (std::strcmp(name, "false") == 0) {
            return Value(false);
        }
        return Value();
    }

    // A value without a key before it is skipped; a repeated key keeps the last value.
    ValueMap readDict(const pugi::xml_node& node, int depth) {
        ValueMap map;
        std::string key;
        bool haveKey = false;
        for (pugi::xml_node child = node.first_child(); child && !refused; child = child.next_sibling()) {
            if (child.type() != pugi::node_element) {
                continue;
            }
            if (std::strcmp(child.name(), "key") == 0) {
                key = child.text().get();
                haveKey = true;
            } else if (haveKey) {
                map[key] = read(child, depth + 1);
                haveKey = false;
            }
        }
        return map;
    }

    ValueVector readArray(const pugi::xml_node& node, int depth) {
        ValueVector array;
        for (pugi::xml_node child = node.first_child(); child && !refused; child = child.next_sibling()) {
            if (child.type() == pugi::node_element) {
                array.push_back(read(child, depth + 1));
            }
        }
        return array;
    }
};

// Loads a property list and finds its top-level element, named as expected; a null node after one log line.
pugi::xml_node loadPlist(pugi::xml_document& doc, const std::string& fullPath, const char* expected) {
    const FileRead file = readFile(fullPath, limits::kPlistBytes);
    if (!file.ok()) {
        log("FileUtils: cannot read property list %s", fullPath.c_str());
        return {};
    }
    // Keeps "<string> </string>" as a space instead of dropping it.
    const unsigned int options = pugi::parse_default | pugi::parse_ws_pcdata_single;
    const pugi::xml_parse_result result = doc.load_buffer(file.bytes.data(), file.bytes.size(), options);
    if (!result) {
        log("FileUtils: malformed property list %s: %s", fullPath.c_str(), result.description());
        return {};
    }
    pugi::xml_node top = doc.document_element();
    if (std::strcmp(top.name(), "plist") == 0) {
        top = top.find_child([](const pugi::xml_node& n) { return n.type() == pugi::node_element; });
    }
    if (!top || std::strcmp(top.name(), expected) != 0) {
        log("FileUtils: property list %s has no top-level <%s>", fullPath.c_str(), expected);
        return {};
    }
    return top;
}

template <class Result, class ReadTop>
Result readPlist(const std::string& fullPath, const char* expected, ReadTop readTop) {
    pugi::xml_document doc;
    const pugi::xml_node top = loadPlist(doc, fullPath, expected);
    if (!top) {
        return {};
    }
    PlistReader reader;
    Result result = readTop(reader, top);
    if (reader.refused) {
        log("FileUtils: property list %s is nested deeper than %d or holds more than %d values", fullPath.c_str(),
            limits::kPlistDepth, limits::kPlistNodes);
        return {};
    }
    return result;
}

} // namespace

ValueMap readPlistMap(const std::string& fullPath) {
    return readPlist<ValueMap>(fullPath, "dict",
                               [](PlistReader& reader, const pugi::xml_node& top) { return reader.readDict(top, 0); });
}

ValueVector readPlistVector(const std::string& fullPath) {
    return readPlist<ValueVector>(
        fullPath, "array", [](PlistReader& reader, const pugi::xml_node& top) { return reader.readArray(top, 0); });
}

} // namespace engine::door
