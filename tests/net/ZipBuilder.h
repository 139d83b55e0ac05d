// Builds zip archives for the tests with minizip's writer, including malformed and hostile ones.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace nettest {

struct ZipItem {
    std::string name;
    std::string data;
    // Host in the high byte of "version made by": 0 MS-DOS, 3 Unix.
    int host = 0;
    // MS-DOS flags in the low byte, a Unix mode in the high 16 bits.
    uint32_t externalAttr = 0;
    // MS-DOS date in the high 16 bits, time in the low 16; 0 gives 2020-06-15 10:20:30 local time.
    unsigned long dosDate = 0;
    std::string localExtra;
    bool stored = false;
    // Stored raw with this CRC instead of the right one.
    bool wrongCrc = false;
    // Deflated, with this uncompressed size declared instead of the real one.
    int64_t declaredSize = -1;
    const char* password = nullptr;

    ZipItem& withAttr(uint32_t value) {
        externalAttr = value;
        return *this;
    }
    ZipItem& withDate(unsigned long value) {
        dosDate = value;
        return *this;
    }
    ZipItem& withExtra(const std::string& value) {
        localExtra = value;
        return *this;
    }
    ZipItem& withPassword(const char* value) {
        password = value;
        return *this;
    }
};

ZipItem item(const std::string& name, const std::string& data = "");

// The MS-DOS date and time of a local calendar time.
unsigned long dosDateOf(int year, int month, int day, int hour, int minute, int second);
// A "UT" extra block with the given flags and times (as many as flags has bits set).
std::string extendedTimeBlock(unsigned char flags, const std::vector<int32_t>& times);
// A Unix entry: host 3 and the mode in the high 16 bits.
ZipItem unixItem(const std::string& name, const std::string& data, uint32_t mode);

bool writeZip(const std::string& path, const std::vector<ZipItem>& items);

// Files, folders and links below root, as relative paths ("a/", "a/b.txt", "link@").
std::vector<std::string> listTree(const std::string& root);
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& data);

} // namespace nettest
