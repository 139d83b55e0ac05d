#include "DataFolder.h"

#include <cstdio>
#include <fstream>
#include <iterator>

namespace courseware {

bool DataFolder::load(const std::string& name, rapidjson::Document& document, std::string& error) const {
    std::ifstream in(_root / name, std::ios::binary);
    if (!in) {
        error = "Catalogue file " + name + " is missing.";
        return false;
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    document.Parse(text.c_str(), text.size());
    if (document.HasParseError()) {
        error = "Catalogue file " + name + " is not valid JSON.";
        return false;
    }
    return true;
}

std::optional<std::filesystem::path> DataFolder::servedFile(const std::string& relative) const {
    std::filesystem::path path(relative);
    if (relative.empty() || path.is_absolute()) {
        return std::nullopt;
    }
    for (const auto& part : path) {
        if (part == "..") {
            return std::nullopt;
        }
    }
    return _root / "files" / path;
}

std::string DataFolder::digest(const std::string& relative) const {
    auto path = servedFile(relative);
    std::ifstream in(path.value_or(""), std::ios::binary);
    if (!path || !in) {
        return {};
    }
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    char buffer[8192];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        for (std::streamsize i = 0; i < in.gcount(); ++i) {
            hash = (hash ^ static_cast<unsigned char>(buffer[i])) * 0x100000001b3ULL;
        }
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

std::int64_t DataFolder::size(const std::string& relative) const {
    auto path = servedFile(relative);
    std::error_code error;
    auto bytes = path ? std::filesystem::file_size(*path, error) : 0;
    return path && !error ? static_cast<std::int64_t>(bytes) : 0;
}

} // namespace courseware
