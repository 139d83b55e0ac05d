#include "ScoreText.h"

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <array>

namespace courseware {

namespace {

constexpr std::array<const char*, 5> kMembers = {"studentId", "isSign", "score", "gameTime", "gameScore"};

std::string compact(const rapidjson::Value& value) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    value.Accept(writer);
    return buffer.GetString();
}

std::string checkRow(const rapidjson::Value& item, ScoreRow& row) {
    if (!item.IsObject() || item.MemberCount() != kMembers.size()) {
        return "each result must be an object of exactly five members";
    }
    std::array<int*, 5> targets = {&row.studentId, &row.isSign, &row.score, &row.gameTime, &row.gameScore};
    size_t index = 0;
    for (auto member = item.MemberBegin(); member != item.MemberEnd(); ++member, ++index) {
        std::string name = member->name.GetString();
        if (name != kMembers[index]) {
            return "member " + std::to_string(index + 1) + " must be \"" + kMembers[index] + "\", not \"" + name + "\"";
        }
        if (!member->value.IsInt()) {
            return "\"" + name + "\" must be an integer";
        }
        *targets[index] = member->value.GetInt();
    }
    if (row.isSign != 0 && row.isSign != 1) {
        return "\"isSign\" must be 0 or 1";
    }
    return {};
}

} // namespace

ScoreText ScoreText::parse(const std::string& text) {
    ScoreText result;
    rapidjson::Document document;
    document.Parse(text.c_str(), text.size());
    if (document.HasParseError() || !document.IsArray()) {
        result._error = "Field \"score\" must be a JSON array.";
        return result;
    }
    for (const auto& item : document.GetArray()) {
        ScoreRow row;
        std::string problem = checkRow(item, row);
        if (!problem.empty()) {
            result._rows.clear();
            result._error = "Field \"score\": " + problem + ".";
            return result;
        }
        result._rows.push_back(row);
    }
    if (compact(document) != text) {
        result._rows.clear();
        result._error = "Field \"score\" must be compact JSON.";
    }
    return result;
}

} // namespace courseware
