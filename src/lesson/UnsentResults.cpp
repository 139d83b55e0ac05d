#include "lesson/UnsentResults.h"

#include <vector>

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "base/Log.h"
#include "common/JsonManager.h"
#include "net/FileManager.h"
#include "net/HttpManager.h"
#include "platform/FileUtils.h"

namespace UnsentResults {

namespace {

const char* const kSaveScore = "saveScore";

struct Upload {
    std::string teacher;
    Fields fields;
    bool operator==(const Upload& other) const { return teacher == other.teacher && fields == other.fields; }
};

// Anything unreadable in the file is logged and left out.
std::vector<Upload> load() {
    std::vector<Upload> uploads;
    auto* files = engine::FileUtils::getInstance();
    const std::string path = filePath();
    if (!files->isFileExist(path)) {
        return uploads;
    }
    const rapidjson::Document document = JsonManager::getInstance()->parse(files->getStringFromFile(path));
    if (!document.IsArray()) {
        engine::log("error unsent results: %s unreadable", path.c_str());
        return uploads;
    }
    for (const rapidjson::Value& item : document.GetArray()) {
        auto teacher = item.IsObject() ? item.FindMember("teacher") : rapidjson::Value::ConstMemberIterator();
        auto fields = item.IsObject() ? item.FindMember("fields") : rapidjson::Value::ConstMemberIterator();
        if (!item.IsObject() || teacher == item.MemberEnd() || !teacher->value.IsString() ||
            fields == item.MemberEnd() || !fields->value.IsObject()) {
            engine::log("error unsent results: entry skipped");
            continue;
        }
        Upload upload;
        upload.teacher.assign(teacher->value.GetString(), teacher->value.GetStringLength());
        for (const auto& field : fields->value.GetObject()) {
            if (field.value.IsString()) {
                upload.fields[field.name.GetString()].assign(field.value.GetString(), field.value.GetStringLength());
            }
        }
        uploads.push_back(std::move(upload));
    }
    return uploads;
}

// Written beside and renamed over the old file, so a cut write never loses what was kept; no uploads, no file.
bool save(const std::vector<Upload>& uploads) {
    auto* files = engine::FileUtils::getInstance();
    const std::string path = filePath();
    if (uploads.empty()) {
        return !files->isFileExist(path) || files->removeFile(path);
    }
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    writer.StartArray();
    for (const Upload& upload : uploads) {
        writer.StartObject();
        writer.Key("teacher");
        writer.String(upload.teacher.c_str(), static_cast<rapidjson::SizeType>(upload.teacher.size()));
        writer.Key("fields");
        writer.StartObject();
        for (const auto& [key, value] : upload.fields) {
            writer.Key(key.c_str(), static_cast<rapidjson::SizeType>(key.size()));
            writer.String(value.c_str(), static_cast<rapidjson::SizeType>(value.size()));
        }
        writer.EndObject();
        writer.EndObject();
    }
    writer.EndArray();
    const std::string part = path + ".part";
    if (!files->writeStringToFile(std::string(buffer.GetString(), buffer.GetSize()), part) ||
        !files->renameFile(part, path)) {
        engine::log("error unsent results: %s not written", path.c_str());
        return false;
    }
    return true;
}

void onAccepted(const Upload& sent) {
    std::vector<Upload> uploads = load();
    for (auto it = uploads.begin(); it != uploads.end(); ++it) {
        if (*it == sent) {
            uploads.erase(it);
            break;
        }
    }
    // A file that cannot be rewritten would send the same upload again and again.
    if (save(uploads)) {
        sendFor(sent.teacher);
    }
}

} // namespace

std::string filePath() {
    return FileManager::getInstance()->getResRoot() + "UnsentResults.json";
}

bool keep(const std::string& teacher, const Fields& fields) {
    engine::FileUtils::getInstance()->createDirectory(FileManager::getInstance()->getResRoot());
    std::vector<Upload> uploads = load();
    uploads.push_back({teacher, fields});
    return save(uploads);
}

void sendFor(const std::string& teacher) {
    const std::vector<Upload> uploads = load();
    for (const Upload& upload : uploads) {
        if (upload.teacher != teacher) {
            continue;
        }
        HttpManager* http = HttpManager::getInstance();
        // Still in the file: a stale login now keeps it there without a second copy.
        http->setUnauthorizedCallback(kSaveScore, nullptr);
        http->sendRequest(
            kSaveScore, [upload](const std::string&, rapidjson::Value&) { onAccepted(upload); }, true, "union",
            [](int code, const std::string& message) {
                engine::log("unsent results kept: %d %s", code, message.c_str());
            },
            upload.fields);
        return;
    }
}

} // namespace UnsentResults
