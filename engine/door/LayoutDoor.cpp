#include "door/LayoutDoor.h"

#include <rapidjson/document.h>
#include <rapidjson/error/en.h>

#include <cmath>
#include <cstring>

#include "base/InputLimits.h"
#include "base/JsonDepthLimit.h"
#include "base/Log.h"
#include "door/FileDoor.h"
#include "layout/LayoutNodeReader.h"
#include "scene/Node.h"

namespace engine::door {

namespace {

const char* const kFormatName = "classroom-layout";
constexpr int kFormatVersion = 1;
const char* const kFileKeys[] = {"format", "version", "root"};

// Counts what the parse makes: every object (a node, or the file itself), every number but a tag and every font
// size, stopping at the first past its limit. The nesting is bounded by the base handler.
class LayoutHandler : public JsonDepthLimit<rapidjson::Document> {
public:
    using Base = JsonDepthLimit<rapidjson::Document>;
    LayoutHandler(rapidjson::Document& target, bool& tooDeep) : Base(target, limits::kLayoutJsonDepth, tooDeep) {}

    bool tooManyNodes = false;
    bool fontTooLarge = false;
    bool numberTooLarge = false;

    bool StartObject() {
        fontKey = false;
        if (++objects > limits::kLayoutNodes + 1) {
            tooManyNodes = true;
            return false;
        }
        return Base::StartObject();
    }
    bool StartArray() { return notFont() && Base::StartArray(); }
    bool Key(const char* s, rapidjson::SizeType n, bool copy) {
        fontKey = isFontKey(s, n);
        tagKey = n == 3 && std::memcmp(s, "tag", 3) == 0;
        return Base::Key(s, n, copy);
    }
    bool Int(int i) { return number(i) && Base::Int(i); }
    bool Uint(unsigned u) { return number(u) && Base::Uint(u); }
    bool Int64(int64_t i) { return number(static_cast<double>(i)) && Base::Int64(i); }
    bool Uint64(uint64_t u) { return number(static_cast<double>(u)) && Base::Uint64(u); }
    bool Double(double d) { return number(d) && Base::Double(d); }
    bool String(const char* s, rapidjson::SizeType n, bool copy) {
        return notFont() && Base::String(s, n, copy);
    }
    bool Bool(bool b) { return notFont() && Base::Bool(b); }
    bool Null() { return notFont() && Base::Null(); }

private:
    static bool isFontKey(const char* s, rapidjson::SizeType n) {
        return (n == 8 && std::memcmp(s, "fontSize", 8) == 0) || (n == 13 && std::memcmp(s, "titleFontSize", 13) == 0);
    }
    bool notFont() {
        fontKey = false;
        return true;
    }
    bool number(double value) {
        if (!tagKey && !(std::fabs(value) <= limits::kLayoutNumber)) {
            numberTooLarge = true;
            return false;
        }
        const bool past = fontKey && value > limits::kLayoutFontSize;
        fontKey = false;
        fontTooLarge = fontTooLarge || past;
        return !past;
    }

    int objects = 0;
    bool fontKey = false;
    bool tagKey = false; // a tag is a name, not a measure
};

bool refused(const std::string& name, const char* why) {
    log("CSLoader: %s: %s", name.c_str(), why);
    return false;
}

// Parses the text into document, false (logged) past a limit or for invalid JSON.
bool parseLayout(rapidjson::Document& document, const std::string& text, const std::string& name) {
    bool tooDeep = false;
    const char* pastLimit = nullptr;
    rapidjson::ParseResult result;
    auto readInto = [&](rapidjson::Document& target) {
        LayoutHandler handler(target, tooDeep);
        rapidjson::MemoryStream bytes(text.data(), text.size());
        rapidjson::EncodedInputStream<rapidjson::UTF8<>, rapidjson::MemoryStream> stream(bytes);
        rapidjson::Reader reader;
        result = reader.Parse(stream, handler);
        pastLimit = handler.tooManyNodes     ? "more nodes than the layout limit"
                    : handler.fontTooLarge   ? "a font size past the layout limit"
                    : handler.numberTooLarge ? "a number past the layout limit"
                                             : nullptr;
        return !pastLimit && !result.IsError();
    };
    document.Populate(readInto);
    if (pastLimit) {
        return refused(name, pastLimit);
    }
    if (tooDeep) {
        log("CSLoader: %s: nested deeper than %d levels", name.c_str(), limits::kLayoutJsonDepth);
        return false;
    }
    if (result.IsError()) {
        log("CSLoader: %s: invalid JSON at offset %zu: %s", name.c_str(), result.Offset(),
            rapidjson::GetParseError_En(result.Code()));
        return false;
    }
    return document.IsObject() || refused(name, "not a layout object");
}

// The root node object of a layout document, or null (logged).
const rapidjson::Value* layoutRoot(const rapidjson::Document& document, const std::string& name, bool strict) {
    auto format = document.FindMember("format");
    if (format == document.MemberEnd() || !format->value.IsString() ||
        std::strcmp(format->value.GetString(), kFormatName) != 0) {
        log("CSLoader: %s: not a %s file", name.c_str(), kFormatName);
        return nullptr;
    }
    auto version = document.FindMember("version");
    if (version == document.MemberEnd() || !version->value.IsInt() || version->value.GetInt() != kFormatVersion) {
        log("CSLoader: %s: unsupported layout version (expected %d)", name.c_str(), kFormatVersion);
        return nullptr;
    }
    auto root = document.FindMember("root");
    if (root == document.MemberEnd() || !root->value.IsObject()) {
        log("CSLoader: %s: no root node", name.c_str());
        return nullptr;
    }
    for (auto it = document.MemberBegin(); strict && it != document.MemberEnd(); ++it) {
        bool known = false;
        for (const char* fileKey : kFileKeys) {
            known = known || std::strcmp(it->name.GetString(), fileKey) == 0;
        }
        if (!known) {
            log("CSLoader: %s: unknown key \"%s\"", name.c_str(), it->name.GetString());
            return nullptr;
        }
    }
    return &root->value;
}

} // namespace

Node* readLayout(const std::string& fullPath, const std::string& name, bool strict) {
    FileRead file = readFile(fullPath, limits::kLayoutBytes);
    if (file.status == FileRead::Status::TOO_LONG) {
        log("CSLoader: %s: longer than %llu bytes", name.c_str(), static_cast<unsigned long long>(limits::kLayoutBytes));
    }
    if (!file.ok()) {
        log("CSLoader: cannot read %s", name.c_str());
        return nullptr;
    }
    // Editors may leave a UTF-8 byte order mark.
    if (file.bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        file.bytes.erase(0, 3);
    }
    rapidjson::Document document;
    if (!parseLayout(document, file.bytes, name)) {
        return nullptr;
    }
    const rapidjson::Value* root = layoutRoot(document, name, strict);
    if (!root) {
        return nullptr;
    }
    LayoutNodeReader reader(name, strict);
    Node* node = reader.read(*root);
    if (!node) {
        log("CSLoader: %s: rejected", name.c_str());
    }
    return node;
}

Node* readLayout(const std::string& fullPath) {
    return readLayout(fullPath, fullPath, false);
}

} // namespace engine::door
