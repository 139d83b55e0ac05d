// The file of kept class results: one entry per upload, the teacher's account and the request's fields.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <rapidjson/rapidjson.h>

#include "door/FileDoor.h"

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
    // Lessons in what does not read, as far as the text tells (at least one when no entry read).
    int unread = 0;
    // The file is there but could not be read now (a failed open or read, or past kMaxFileBytes): it holds no
    // uploads, is never written over nor moved aside, and is read again next time.
    bool failed = false;
};

// Bytes of a kept file or its record: a lesson of 60 pupils is about 4 KB, so this holds thousands; a longer file
// is not read (and never written), rather than parsed at every keep and login.
inline constexpr uint64_t kMaxFileBytes = 16ull * 1024 * 1024;

std::string filePath();
// The entries that read whole: every one before a cut, any that is not an upload skipped; a byte-order mark before
// the text is passed over. A missing file gives none.
Stored load();
// Replaces the file (readable by its owner only) whole, so neither a killed program nor a power cut loses what was
// kept before; no uploads, no file. A damaged file is moved aside first and never overwritten; its new name goes to
// aside when the file was written. False when logged.
bool save(const Stored& stored, std::string* aside = nullptr);

// Uploads the server accepted while the file could not be rewritten, recorded beside it for the next start.
Stored loadAccepted();
// None removes the record. False when logged.
bool saveAccepted(const std::vector<Upload>& uploads);

// Test seam: the whole-file read of both files (engine::door::readFile unless replaced; null puts it back).
using KeptFileRead = std::function<engine::door::FileRead(const std::string& fullPath, uint64_t maxBytes)>;
void setKeptFileRead(KeptFileRead read);

} // namespace UnsentResults
