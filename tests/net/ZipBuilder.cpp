#include "ZipBuilder.h"

#include <minizip/zip.h>
#include <zlib.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace nettest {

unsigned long dosDateOf(int year, int month, int day, int hour, int minute, int second) {
    const unsigned long date = ((year - 1980) << 9) | (month << 5) | day;
    const unsigned long time = (hour << 11) | (minute << 5) | (second / 2);
    return (date << 16) | time;
}

std::string extendedTimeBlock(unsigned char flags, const std::vector<int32_t>& times) {
    std::string data(1, static_cast<char>(flags));
    for (int32_t t : times) {
        const auto u = static_cast<uint32_t>(t);
        for (int i = 0; i < 4; ++i) {
            data.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
        }
    }
    std::string block = "UT";
    block.push_back(static_cast<char>(data.size() & 0xFF));
    block.push_back(static_cast<char>(data.size() >> 8));
    return block + data;
}

ZipItem item(const std::string& name, const std::string& data) {
    ZipItem made;
    made.name = name;
    made.data = data;
    return made;
}

ZipItem unixItem(const std::string& name, const std::string& data, uint32_t mode) {
    ZipItem item;
    item.name = name;
    item.data = data;
    item.host = 3;
    item.externalAttr = mode << 16;
    return item;
}

namespace {

std::string rawDeflate(const std::string& data) {
    z_stream stream = {};
    deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, data.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

} // namespace

bool writeZip(const std::string& path, const std::vector<ZipItem>& items) {
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    if (!zip) {
        return false;
    }
    bool ok = true;
    for (const ZipItem& item : items) {
        zip_fileinfo info = {};
        info.dosDate = item.dosDate ? item.dosDate : dosDateOf(2020, 6, 15, 10, 20, 30);
        info.external_fa = item.externalAttr;
        const bool lying = item.declaredSize >= 0;
        const bool raw = item.wrongCrc || lying;
        const int method = (item.stored || item.wrongCrc) ? 0 : Z_DEFLATED;
        const std::string body = lying ? rawDeflate(item.data) : item.data;
        uLong crc = 0;
        if (item.password) {
            crc = crc32(0, reinterpret_cast<const Bytef*>(item.data.data()), item.data.size());
        }
        const int opened = zipOpenNewFileInZip4_64(
            zip, item.name.c_str(), &info, item.localExtra.empty() ? nullptr : item.localExtra.data(),
            static_cast<uInt>(item.localExtra.size()), nullptr, 0, nullptr, method, Z_DEFAULT_COMPRESSION, raw ? 1 : 0,
            -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, item.password, crc, static_cast<uLong>(item.host) << 8, 0,
            item.declaredSize > 0xFFFFFFFFll ? 1 : 0);
        if (opened != ZIP_OK) {
            ok = false;
            break;
        }
        if (!body.empty() && zipWriteInFileInZip(zip, body.data(), static_cast<unsigned>(body.size())) != ZIP_OK) {
            ok = false;
        }
        if (raw) {
            const uLong right = crc32(0, reinterpret_cast<const Bytef*>(item.data.data()), item.data.size());
            if (lying) {
                zipCloseFileInZipRaw64(zip, static_cast<ZPOS64_T>(item.declaredSize), right);
            } else {
                zipCloseFileInZipRaw64(zip, item.data.size(), right ^ 0xFFFFu);
            }
        } else {
            zipCloseFileInZip(zip);
        }
    }
    zipClose(zip, nullptr);
    return ok;
}

std::vector<std::string> listTree(const std::string& root) {
    namespace fs = std::filesystem;
    std::vector<std::string> out;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        std::string rel = fs::relative(it->path(), root, ec).string();
        if (it->is_symlink(ec)) {
            rel += "@";
        } else if (it->is_directory(ec)) {
            rel += "/";
        }
        out.push_back(rel);
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

void writeFile(const std::string& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << data;
}

} // namespace nettest
