#include "lesson/UnsentResultsFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "base/Log.h"
#include "common/JsonManager.h"
#include "net/DamagedFile.h"
#include "net/FileManager.h"
#include "platform/FileUtils.h"

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

// Created, or cut down, readable and writable by its owner only: the class's names and results are in it.
bool writePrivate(const std::string& path, const std::string& content) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd < 0) {
        return false;
    }
    bool ok = ::fchmod(fd, S_IRUSR | S_IWUSR) == 0;
    for (size_t done = 0; ok && done < content.size();) {
        const ssize_t written = ::write(fd, content.data() + done, content.size() - done);
        ok = written > 0;
        done += ok ? static_cast<size_t>(written) : 0;
    }
    return ::close(fd) == 0 && ok;
}

} // namespace

std::string filePath() {
    return FileManager::getInstance()->getResRoot() + "UnsentResults.json";
}

Stored load() {
    Stored stored;
    auto* files = engine::FileUtils::getInstance();
    const std::string path = filePath();
    if (!files->isFileExist(path)) {
        return stored;
    }
    const rapidjson::Document document = JsonManager::getInstance()->parse(files->getStringFromFile(path));
    if (!document.IsArray()) {
        engine::log("error unsent results: %s unreadable", path.c_str());
        stored.damaged = true;
        return stored;
    }
    for (const rapidjson::Value& item : document.GetArray()) {
        Upload upload;
        if (readUpload(item, upload)) {
            stored.uploads.push_back(std::move(upload));
        } else {
            engine::log("error unsent results: entry skipped");
            stored.damaged = true;
        }
    }
    return stored;
}

bool save(const Stored& stored) {
    auto* files = engine::FileUtils::getInstance();
    const std::string path = filePath();
    if (stored.damaged && files->isFileExist(path) && DamagedFile::moveAside(path).empty()) {
        return false;
    }
    if (stored.uploads.empty()) {
        return !files->isFileExist(path) || files->removeFile(path);
    }
    rapidjson::StringBuffer buffer;
    Writer writer(buffer);
    writer.StartArray();
    for (const Upload& upload : stored.uploads) {
        writeUpload(writer, upload);
    }
    writer.EndArray();
    const std::string part = path + ".part";
    if (!writePrivate(part, std::string(buffer.GetString(), buffer.GetSize())) || !files->renameFile(part, path)) {
        engine::log("error unsent results: %s not written", path.c_str());
        return false;
    }
    return true;
}

} // namespace UnsentResults
