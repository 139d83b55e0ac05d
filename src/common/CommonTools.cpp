#include "common/CommonTools.h"

#include <climits>
#include <cstdlib>
#include <new>
#include <utility>

#include "base/Utils.h"
#include "common/GDataManager.h"
#include "common/PlatformFunc.h"
#include "common/TipsManager.h"

namespace {

CommonTools* s_instance = nullptr;

// The walk shared by splitString and splitToInt; calls add for each non-empty piece.
template <typename Add> void forEachPiece(const std::string& text, const std::string& delimiter, Add add) {
    if (text.empty()) {
        return;
    }
    if (delimiter.empty()) {
        add(text);
        return;
    }
    size_t pos = text.find_first_not_of(delimiter);
    while (pos != std::string::npos) {
        size_t end = text.find(delimiter, pos);
        std::string piece = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        if (!piece.empty()) {
            add(piece);
        }
        pos = end == std::string::npos ? std::string::npos : end + delimiter.size();
    }
}

// atoi without its undefined overflow: leading blanks, a sign, digits; clamped to the int range.
int toInt(const std::string& text) {
    long value = std::strtol(text.c_str(), nullptr, 10);
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

// Channel i of "rrggbb", read by strtol as "0x" + its (up to) two digits; 0 when the text is too short.
engine::GLubyte hexChannel(const std::string& text, size_t channel) {
    size_t start = channel * 2;
    if (start >= text.size()) {
        return 0;
    }
    std::string digits = "0x" + text.substr(start, 2);
    return static_cast<engine::GLubyte>(std::strtol(digits.c_str(), nullptr, 16));
}

bool outOfOrder(const StudentRecord& a, const StudentRecord& b, int mode) {
    switch (mode) {
    case 1:
        return a.gameScore > b.gameScore;
    case 2:
        return a.gameScore < b.gameScore;
    case 3:
        return a.gameTime > b.gameTime && b.gameTime >= 0;
    case 4:
        return a.gameTime < b.gameTime && b.gameTime >= 0;
    default:
        return false;
    }
}

} // namespace

CommonTools* CommonTools::getInstance() {
    if (!s_instance) {
        s_instance = new (std::nothrow) CommonTools();
        if (s_instance && !s_instance->init()) {
            delete s_instance;
            s_instance = nullptr;
        }
    }
    return s_instance;
}

bool CommonTools::init() {
    groupScores.fill(0);
    return true;
}

void CommonTools::splitString(const std::string& text, std::vector<std::string>& out,
                              const std::string& delimiter) const {
    forEachPiece(text, delimiter, [&out](const std::string& piece) { out.push_back(piece); });
}

void CommonTools::splitToInt(const std::string& text, std::vector<int>& out, const std::string& delimiter) const {
    forEachPiece(text, delimiter, [&out](const std::string& piece) { out.push_back(toInt(piece)); });
}

int64_t CommonTools::getCurrentTime() const {
    if (_timeSource) {
        return _timeSource();
    }
    struct timeval now {};
    engine::gettimeofday(&now, nullptr);
    return static_cast<int64_t>(now.tv_sec) * 1000 * 1000 + now.tv_usec;
}

int CommonTools::drawIndex(int n) const {
    if (n <= 0) {
        return -1;
    }
    std::srand(static_cast<unsigned int>(static_cast<uint64_t>(getCurrentTime()) & 0xFFFFFFFFu));
    // The draws were made for a 15-bit rand(); glibc's is 31 bits wide.
    int64_t r = std::rand() & 0x7FFF;
    auto scaled = static_cast<int64_t>(static_cast<double>(r) / 32767.0 * 1000000.0);
    return static_cast<int>(scaled % n);
}

void CommonTools::sortStudents(int mode) const {
    std::vector<StudentRecord>& students = GDataManager::getInstance()->students;
    if (mode < 1 || mode > 4 || students.size() < 2) {
        return;
    }
    for (size_t i = students.size() - 1; i >= 1; --i) {
        for (size_t j = 0; j < i; ++j) {
            if (outOfOrder(students[j], students[j + 1], mode)) {
                std::swap(students[j], students[j + 1]);
            }
        }
    }
}

std::vector<int> CommonTools::getIndexList(int, int) const {
    return {1, 2, 3, 4, 5, 6, 7, 8};
}

engine::Color3B CommonTools::hexToColor3B(const std::string& text) const {
    return engine::Color3B(hexChannel(text, 0), hexChannel(text, 1), hexChannel(text, 2));
}

engine::Color4B CommonTools::hexToColor4B(const std::string& text) const {
    return engine::Color4B(hexChannel(text, 0), hexChannel(text, 1), hexChannel(text, 2), 255);
}

bool CommonTools::checkClientVersion(const std::string& required) const {
    std::string local = PlatformFunc::getInstance()->getClientVersion();
    std::vector<int> wanted;
    std::vector<int> have;
    splitToInt(required, wanted, "&");
    splitToInt(local, have, "&");
    if (wanted.empty() || wanted.size() != have.size()) {
        return true;
    }
    for (size_t i = 0; i < wanted.size(); ++i) {
        if (wanted[i] != have[i]) {
            return wanted[i] < have[i];
        }
    }
    return true;
}

void CommonTools::showSysUpdateTip() {
    TipsManager::getInstance()->showTipsByKey(
        "Str_SysUpdate", [] { PlatformFunc::getInstance()->runUpdater(); }, nullptr);
}
