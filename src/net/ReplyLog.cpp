#include "net/ReplyLog.h"

namespace {

constexpr const char* kHidden = "***";

size_t skipSpaces(const std::string& text, size_t at) {
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == '\n' || text[at] == '\r')) {
        ++at;
    }
    return at;
}

// The end of the JSON string whose opening quote is at open: the index of its closing quote, or the text's end.
size_t stringEnd(const std::string& text, size_t open) {
    for (size_t at = open + 1; at < text.size(); ++at) {
        if (text[at] == '\\') {
            ++at;
        } else if (text[at] == '"') {
            return at;
        }
    }
    return text.size();
}

void hideTokenMembers(std::string& text) {
    static const std::string key = "\"token\"";
    for (size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + 1)) {
        size_t value = skipSpaces(text, at + key.size());
        if (value >= text.size() || text[value] != ':') {
            continue;
        }
        value = skipSpaces(text, value + 1);
        if (value >= text.size() || text[value] != '"') {
            continue;
        }
        const size_t end = stringEnd(text, value);
        text.replace(value + 1, end - value - 1, kHidden);
    }
}

void hideText(std::string& text, const std::string& secret) {
    if (secret.empty()) {
        return;
    }
    const std::string hidden = kHidden;
    for (size_t at = text.find(secret); at != std::string::npos; at = text.find(secret, at + hidden.size())) {
        text.replace(at, secret.size(), hidden);
    }
}

} // namespace

std::string replyForLog(const std::string& text, const std::string& token, size_t maxBytes) {
    std::string shown = text;
    hideTokenMembers(shown);
    hideText(shown, token);
    if (shown.size() <= maxBytes) {
        return shown;
    }
    size_t cut = maxBytes;
    // Back to the first byte of a UTF-8 character.
    while (cut > 0 && (static_cast<unsigned char>(shown[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    return shown.substr(0, cut) + "... (" + std::to_string(text.size()) + " bytes)";
}
