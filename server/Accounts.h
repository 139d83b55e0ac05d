// Login, the tokens it issues, and the institution's interface pack ("getUI").
#pragma once

#include "DataFolder.h"
#include "FormBody.h"
#include "Reply.h"

#include <mutex>
#include <set>
#include <string>

namespace courseware {

class Accounts {
public:
    explicit Accounts(const DataFolder& data) : _data(data) {}

    // A known account gets a new token; one marked "expired" gets a token that is never live.
    Reply login(const FormFields& fields);
    Reply getUI(const FormFields& fields) const;

    bool isLive(const std::string& token) const;
    // Every token issued so far stops being live, as after a restart of the server.
    void expireAll();

private:
    const DataFolder& _data;
    mutable std::mutex _mutex;
    std::set<std::string> _liveTokens;
    int _issued = 0;
};

} // namespace courseware
