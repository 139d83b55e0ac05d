#include "base/StringUtils.h"

#include <cstdio>
#include <vector>

namespace engine::StringUtils {

std::string vformat(const char* format, va_list args) {
    if (!format) {
        return {};
    }
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length <= 0) {
        return {};
    }
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    return std::string(buffer.data(), static_cast<size_t>(length));
}

std::string format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string result = vformat(format, args);
    va_end(args);
    return result;
}

long getCharacterCountInUTF8String(const std::string& text) {
    long count = 0;
    for (unsigned char c : text) {
        if ((c & 0xC0) != 0x80) {
            ++count;
        }
    }
    return count;
}

void popBackUTF8(std::string& text) {
    while (!text.empty()) {
        const unsigned char c = static_cast<unsigned char>(text.back());
        text.pop_back();
        if ((c & 0xC0) != 0x80) {
            break;
        }
    }
}

} // namespace engine::StringUtils
