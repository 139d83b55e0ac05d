// The "version" request: the updater the server offers, from version.json unless a test sets another.
#pragma once

#include "DataFolder.h"
#include "FormBody.h"
#include "Reply.h"

#include <mutex>
#include <optional>
#include <string>

namespace courseware {

class Updater {
public:
    explicit Updater(const DataFolder& data) : _data(data) {}

    Reply version(const FormFields& fields) const;

    // From now on "version" answers this version; url replaces the catalogue's when given ("" is answered as "").
    void offer(std::string version, std::optional<std::string> url);

private:
    const DataFolder& _data;
    mutable std::mutex _mutex;
    std::optional<std::string> _version;
    std::optional<std::string> _url;
};

} // namespace courseware
