#pragma once

#include <cstdarg>
#include <string>

namespace engine {

namespace StringUtils {
std::string format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string vformat(const char* format, va_list args);
// Number of UTF-8 characters (lead bytes) in the text.
long getCharacterCountInUTF8String(const std::string& text);
// Removes the last UTF-8 character (not just the last byte).
void popBackUTF8(std::string& text);
} // namespace StringUtils

} // namespace engine
