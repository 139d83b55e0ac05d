#include "lesson/UnsentResultsFile.h"

#include <cstdio>
#include <cstring>

#include <rapidjson/document.h>
#include <rapidjson/reader.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "base/Log.h"
#include "net/DamagedFile.h"
#include "net/FileManager.h"
#include "net/ReplyDoor.h"
#include "platform/FileUtils.h"
#include "platform/WholeFile.h"

namespace UnsentResults {

namespace {

using Writer = rapidjson::Writer<rapidjson::StringBuffer>;

std::string text(const rapidjson::Value& value) {
    return std::string(value.GetString(), value.GetStringLength());
}

bool readUpload(const rapidjson::Value& item, Upload& upload) {
    if (!item.IsObject()) {
        return false;
    }
    auto teacher = item.FindMember("teacher");
    auto fields = item.FindMember("fields");
    if (teacher == item.MemberEnd() || !teacher->value.IsString() || fields == item.MemberEnd() ||
        !fields->value.IsObject()) {
        return false;
    }
    upload.teacher = text(teacher->value);
    for (const auto& field : fields->value.GetObject()) {
        if (field.value.IsString()) {
            upload.fields[text(field.name)] = text(field.value);
            continue;
        }
        rapidjson::StringBuffer buffer;
        Writer writer(buffer);
        field.value.Accept(writer);
        upload.others[text(field.name)] = {field.value.GetType(), std::string(buffer.GetString(), buffer.GetSize())};
    }
    return true;
}

void writeUpload(Writer& writer, const Upload& upload) {
    auto key = [&writer](const std::string& name) {
        writer.Key(name.c_str(), static_cast<rapidjson::SizeType>(name.size()));
    };
    writer.StartObject();
    key("teacher");
    writer.String(upload.teacher.c_str(), static_cast<rapidjson::SizeType>(upload.teacher.size()));
    key("fields");
    writer.StartObject();
    for (const auto& [name, value] : upload.fields) {
        key(name);
        writer.String(value.c_str(), static_cast<rapidjson::SizeType>(value.size()));
    }
    for (const auto& [name, raw] : upload.others) {
        key(name);
        writer.RawValue(raw.json.c_str(), raw.json.size(), raw.type);
    }
    writer.EndObject();
    writer.EndObject();
}

size_t skipBlank(const std::string& text, size_t at) {
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == '\n' || text[at] == '\r')) {
        ++at;
    }
    return at;
}

// Entries begun from a place that does not read: the one there, if any, and every later one the program wrote (each
// starts so). Nothing after the last entry's end is a lesson.
int lessonsIn(const std::string& text, size_t from) {
    int count = from < text.size() && text[from] == '{' ? 1 : 0;
    for (size_t at = text.find("{\"teacher\":", from + 1); at != std::string::npos;
         at = text.find("{\"teacher\":", at + 1)) {
        ++count;
    }
    return count;
}

// The array's entries one at a time, so those before a cut still read.
Stored readEntries(const std::string& text) {
    Stored stored;
    const size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    size_t at = skipBlank(text, start);
    if (at < text.size() && text[at] == '[') {
        at = skipBlank(text, at + 1);
        bool more = at < text.size() && text[at] != ']';
        while (more) {
            // Measured without building it, then read with the depth limit of every parse.
            rapidjson::StringStream stream(text.c_str() + at);
            rapidjson::BaseReaderHandler<> nothing;
            rapidjson::Reader reader;
            if (reader.Parse<rapidjson::kParseStopWhenDoneFlag | rapidjson::kParseIterativeFlag>(stream, nothing)
                    .IsError()) {
                break;
            }
            const rapidjson::Document item = ReplyDoor::parse(text.substr(at, stream.Tell()));
            Upload upload;
            if (readUpload(item, upload)) {
                stored.uploads.push_back(std::move(upload));
            } else {
                engine::log("error unsent results: entry skipped");
                stored.damaged = true;
                ++stored.unread;
            }
            at = skipBlank(text, at + stream.Tell());
            more = at < text.size() && text[at] == ',';
            at = more ? skipBlank(text, at + 1) : at;
        }
        if (at < text.size() && text[at] == ']' && skipBlank(text, at + 1) == text.size()) {
            return stored;
        }
    }
    engine::log("error unsent results: unreadable from byte %zu", at);
    stored.damaged = true;
    stored.unread += lessonsIn(text, at);
    if (stored.unread == 0 && stored.uploads.empty()) {
        // The program never writes a file without an upload.
        stored.unread = 1;
    }
    return stored;
}

KeptFileRead& readCall() {
    static KeptFileRead instance;
    return instance;
}

Stored read(const std::string& path) {
    const engine::door::FileRead got =
        readCall() ? readCall()(path, kMaxFileBytes) : engine::door::readFile(path, kMaxFileBytes);
    if (got.status == engine::door::FileRead::Status::MISSING) {
        return Stored();
    }
    if (!got.ok()) {
        engine::log("unsent results: %s not read now (%s), read again at the next keep or login", path.c_str(),
                    got.error ? std::strerror(got.error) : "too long");
        Stored stored;
        stored.failed = true;
        return stored;
    }
    return readEntries(got.bytes);
}

// Written whole and readable by its owner only: the class's names and results are in it. None, no file.
bool write(const std::string& path, const std::vector<Upload>& uploads) {
    if (uploads.empty()) {
        return engine::removeFileWhole(path);
    }
    rapidjson::StringBuffer buffer;
    Writer writer(buffer);
    writer.StartArray();
    for (const Upload& upload : uploads) {
        writeUpload(writer, upload);
    }
    writer.EndArray();
    if (buffer.GetSize() > kMaxFileBytes) {
        engine::log("error unsent results: %s would be longer than it may be read", path.c_str());
        return false;
    }
    if (!engine::writeFileWhole(path, std::string(buffer.GetString(), buffer.GetSize()), 0600)) {
        engine::log("error unsent results: %s not written", path.c_str());
        return false;
    }
    return true;
}

std::string acceptedPath() {
    return filePath() + ".sent";
}

} // namespace

std::string filePath() {
    return FileManager::getInstance()->getResRoot() + "UnsentResults.json";
}

Stored load() {
    return read(filePath());
}

bool save(const Stored& stored, std::string* aside) {
    if (stored.failed) {
        return false;
    }
    const std::string path = filePath();
    std::string movedTo;
    if (stored.damaged && engine::FileUtils::getInstance()->isFileExist(path)) {
        movedTo = DamagedFile::moveAside(path);
        if (movedTo.empty()) {
            return false;
        }
    }
    if (!write(path, stored.uploads)) {
        // Back in place, so the entries that read are not lost with the new file.
        if (!movedTo.empty() && std::rename(movedTo.c_str(), path.c_str()) != 0) {
            engine::log("error unsent results: %s not put back", movedTo.c_str());
        }
        return false;
    }
    if (aside) {
        *aside = movedTo;
    }
    return true;
}

Stored loadAccepted() {
    return read(acceptedPath());
}

bool saveAccepted(const std::vector<Upload>& uploads) {
    return write(acceptedPath(), uploads);
}

void setKeptFileRead(KeptFileRead newRead) {
    readCall() = std::move(newRead);
}

} // namespace UnsentResults
