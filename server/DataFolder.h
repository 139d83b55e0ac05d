// The server's data folder: catalogue JSON files at its root, served files below "files/".
#pragma once

#include <rapidjson/document.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace courseware {

class DataFolder {
public:
    explicit DataFolder(std::filesystem::path root) : _root(std::move(root)) {}

    const std::filesystem::path& root() const { return _root; }

    // Reads a catalogue file afresh on every call, so a test may edit a copy of the folder between requests.
    // False (and error set) when it is missing or not JSON.
    bool load(const std::string& name, rapidjson::Document& document, std::string& error) const;

    // The file below "files/" that a URL path "/files/<relative>" names; nothing when it would leave that folder.
    std::optional<std::filesystem::path> servedFile(const std::string& relative) const;

    // Hex FNV-1a digest of a served file and its size; "" and 0 when it cannot be read.
    std::string digest(const std::string& relative) const;
    std::int64_t size(const std::string& relative) const;

private:
    std::filesystem::path _root;
};

} // namespace courseware
