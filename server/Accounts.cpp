#include "Accounts.h"

#include "JsonMembers.h"

namespace courseware {

namespace {

constexpr int kWrongAccount = 1;
constexpr int kCatalogueError = 500;

const rapidjson::Value* findById(const rapidjson::Value& list, int id) {
    if (!list.IsArray()) {
        return nullptr;
    }
    for (const auto& item : list.GetArray()) {
        if (item.IsObject() && intMember(item, "id") == id) {
            return &item;
        }
    }
    return nullptr;
}

const rapidjson::Value* findAccount(const rapidjson::Value& list, const std::string& user, const std::string& pass) {
    if (!list.IsArray()) {
        return nullptr;
    }
    for (const auto& item : list.GetArray()) {
        if (item.IsObject() && stringMember(item, "username") == user && stringMember(item, "password") == pass) {
            return &item;
        }
    }
    return nullptr;
}

} // namespace

Reply Accounts::login(const FormFields& fields) {
    rapidjson::Document institution;
    std::string error;
    if (!_data.load("institution.json", institution, error) || !institution.IsObject()) {
        return Reply::error(kCatalogueError, error.empty() ? "institution.json must hold an object." : error);
    }
    const auto* account = findAccount(memberOrNull(institution, "accounts"), fieldValue(fields, "username"),
                                      fieldValue(fields, "password"));
    if (!account) {
        return Reply::error(kWrongAccount, "Wrong account or password.");
    }
    int institutionId = intMember(*account, "institutionId");
    bool expired = memberOrNull(*account, "expired").IsTrue();
    std::string token;
    {
        std::lock_guard<std::mutex> lock(_mutex);
        token = "demo-token-" + std::to_string(++_issued);
        if (!expired) {
            _liveTokens.insert(token);
        }
    }
    const auto* school = findById(memberOrNull(institution, "institutions"), institutionId);
    rapidjson::Document data(rapidjson::kObjectType);
    auto& alloc = data.GetAllocator();
    data.AddMember("token", rapidjson::Value(token.c_str(), alloc), alloc);
    std::string logo = school ? stringMember(*school, "logo") : "";
    data.AddMember("logo", rapidjson::Value(logo.c_str(), alloc), alloc);
    data.AddMember("institutionId", institutionId, alloc);
    return Reply::ok(std::move(data));
}

Reply Accounts::getUI(const FormFields& fields) const {
    rapidjson::Document institution;
    std::string error;
    if (!_data.load("institution.json", institution, error) || !institution.IsObject()) {
        return Reply::error(kCatalogueError, error.empty() ? "institution.json must hold an object." : error);
    }
    rapidjson::Document data(rapidjson::kObjectType);
    const auto* school = findById(memberOrNull(institution, "institutions"), intFieldValue(fields, "institutionId"));
    if (school && school->HasMember("ui")) {
        data.AddMember("ui", rapidjson::Value((*school)["ui"], data.GetAllocator()), data.GetAllocator());
    }
    return Reply::ok(std::move(data));
}

bool Accounts::isLive(const std::string& token) const {
    std::lock_guard<std::mutex> lock(_mutex);
    return _liveTokens.count(token) > 0;
}

void Accounts::expireAll() {
    std::lock_guard<std::mutex> lock(_mutex);
    _liveTokens.clear();
}

} // namespace courseware
