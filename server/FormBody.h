// Form bodies "k=v&k=v": raw values as the client writes them, or application/x-www-form-urlencoded.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace courseware {

// Fields in body order, decoded.
using FormFields = std::vector<std::pair<std::string, std::string>>;

class FormBody {
public:
    // Splits at "&", then each part at its first "=". An empty body has no fields; an empty part or a part
    // without "=" makes the body malformed (error() names it).
    static FormBody parse(const std::string& body);

    // "%XX" (two hex digits) becomes that byte and "+" a space; any other "%" stays as it is.
    static std::string decode(const std::string& text);

    bool ok() const { return _error.empty(); }
    const std::string& error() const { return _error; }
    const FormFields& fields() const { return _fields; }

private:
    FormFields _fields;
    std::string _error;
};

// The value of the first field named key, or "" when there is none.
std::string fieldValue(const FormFields& fields, const std::string& key);
// The same read as a decimal integer; 0 when absent or not a number.
int intFieldValue(const FormFields& fields, const std::string& key);

} // namespace courseware
