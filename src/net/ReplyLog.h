// What of a server reply may go to the log: its beginning only, and never a login token.
#pragma once

#include <cstddef>
#include <string>

// At most maxBytes of text (cut at a character boundary, with the full length noted), after the value of every
// "token" member and every occurrence of token (when not empty) is replaced by "***".
std::string replyForLog(const std::string& text, const std::string& token, size_t maxBytes = 1024);
