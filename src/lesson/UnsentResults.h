// Class results whose upload met a stale login: kept in the writable folder as the request's fields, and sent
// after the same teacher's next login; one leaves the file only when the server has accepted it.
#pragma once

#include <map>
#include <string>

namespace UnsentResults {

using Fields = std::map<std::string, std::string>;

// The file under the resource root.
std::string filePath();
// Adds one upload of that teacher to the file. When the file cannot be written (logged) the upload is kept in
// memory for the rest of the run instead, and false is returned.
bool keep(const std::string& teacher, const Fields& fields);
// Tries each kept upload of the teacher once, one request at a time: an accepted one is removed (or, while the file
// cannot be written, never sent again), a refused one stays for the next login and holds back none of the others.
// How many still wait, and what a damaged file lost, is told once in a tip.
void sendFor(const std::string& teacher);
// Drops what only memory holds: uploads, the round, a tip still to be told (tests).
void forget();

} // namespace UnsentResults
