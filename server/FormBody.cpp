#include "FormBody.h"

#include <charconv>

namespace courseware {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace

std::string FormBody::decode(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%' && i + 2 < text.size() && hexDigit(text[i + 1]) >= 0 && hexDigit(text[i + 2]) >= 0) {
            out += static_cast<char>(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2]));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

FormBody FormBody::parse(const std::string& body) {
    FormBody form;
    if (body.empty()) {
        return form;
    }
    size_t start = 0;
    while (start <= body.size()) {
        size_t end = body.find('&', start);
        if (end == std::string::npos) {
            end = body.size();
        }
        std::string part = body.substr(start, end - start);
        size_t equals = part.find('=');
        if (part.empty() || equals == std::string::npos || equals == 0) {
            form._error = part.empty() ? "Empty field in the request body." : "Malformed field \"" + part + "\".";
            form._fields.clear();
            return form;
        }
        form._fields.emplace_back(decode(part.substr(0, equals)), decode(part.substr(equals + 1)));
        start = end + 1;
    }
    return form;
}

std::string fieldValue(const FormFields& fields, const std::string& key) {
    for (const auto& [name, value] : fields) {
        if (name == key) {
            return value;
        }
    }
    return {};
}

int intFieldValue(const FormFields& fields, const std::string& key) {
    std::string text = fieldValue(fields, key);
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

} // namespace courseware
