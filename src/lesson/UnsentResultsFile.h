// The file of kept class results: one entry per upload, the teacher's account and the request's fields.
#pragma once

#include <map>
#include <string>
#include <vector>

#include <rapidjson/rapidjson.h>

namespace UnsentResults {

using Fields = std::map<std::string, std::string>;

// A member of "fields" that is not text: never sent, written back as it was read.
struct RawField {
    rapidjson::Type type;
    std::string json;
    bool operator==(const RawField& other) const { return type == other.type && json == other.json; }
};

struct Upload {
    std::string teacher;
    Fields fields;
    std::map<std::string, RawField> others;
    // Held in memory only: the file could not be written when it was kept.
    bool inMemory = false;
    bool operator==(const Upload& other) const {
        return teacher == other.teacher && fields == other.fields && others == other.others;
    }
};

struct Stored {
    std::vector<Upload> uploads;
    // The file, or an entry of it, does not read; it is moved aside before the file is written again.
    bool damaged = false;
};

std::string filePath();
// The entries that read; a missing file gives none.
Stored load();
// Replaces the file (readable by its owner only) through a temporary name, so a cut write loses nothing kept
// before; no uploads, no file. A damaged file is moved aside first and never overwritten. False when logged.
bool save(const Stored& stored);

} // namespace UnsentResults
