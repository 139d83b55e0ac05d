// The requests the client may send under "union/<name>", with their form fields in body order.
#pragma once

#include "FormBody.h"

#include <string>
#include <vector>

namespace courseware {

enum class FieldKind {
    Text,
    Integer,  // decimal, as "%d" writes it
    WindowId, // "13" (frame window) or "10" (full screen)
    Score,    // the results array of "saveScore"
};

struct FieldSpec {
    std::string name;
    FieldKind kind;
};

struct RequestSpec {
    std::string name;
    bool needsToken;
    std::vector<FieldSpec> fields; // in byte-wise key order, as the body carries them
};

class RequestTable {
public:
    // Null for a name the client never sends.
    static const RequestSpec* find(const std::string& name);

    // Empty when the fields are exactly the request's, once each, in key order and of the right kind;
    // otherwise a message naming the first offending field.
    static std::string check(const RequestSpec& spec, const FormFields& fields);
};

} // namespace courseware
