// Class results whose upload met a stale login: kept in the writable folder as the request's fields, and sent
// after the same teacher's next login; one leaves the file only when the server has accepted it.
#pragma once

#include <map>
#include <string>

namespace UnsentResults {

using Fields = std::map<std::string, std::string>;

// The file under the resource root.
std::string filePath();
// Appends one upload of that teacher; false (logged) when the file cannot be written.
bool keep(const std::string& teacher, const Fields& fields);
// Sends the teacher's first kept upload; an accepted one is removed and the next one sent. A failure stops the
// round and keeps the rest for the next login.
void sendFor(const std::string& teacher);

} // namespace UnsentResults
