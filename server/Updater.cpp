#include "Updater.h"

#include "JsonMembers.h"

namespace courseware {

Reply Updater::version(const FormFields&) const {
    rapidjson::Document file;
    std::string error;
    if (!_data.load("version.json", file, error)) {
        return Reply::error(500, error);
    }
    std::string version = stringMember(file, "version");
    std::string url = stringMember(file, "url");
    {
        std::lock_guard<std::mutex> lock(_mutex);
        version = _version.value_or(version);
        url = _url.value_or(url);
    }
    rapidjson::Document data(rapidjson::kObjectType);
    auto& alloc = data.GetAllocator();
    data.AddMember("version", rapidjson::Value(version.c_str(), alloc), alloc);
    data.AddMember("url", rapidjson::Value(url.c_str(), alloc), alloc);
    return Reply::ok(std::move(data));
}

void Updater::offer(std::string version, std::optional<std::string> url) {
    std::lock_guard<std::mutex> lock(_mutex);
    _version = std::move(version);
    _url = std::move(url);
}

} // namespace courseware
