#include "net/MovieFile.h"

#include <array>
#include <cstring>
#include <fstream>

#include "base/Log.h"
#include "platform/FileUtils.h"

namespace MovieFile {

namespace {

constexpr size_t kHeadBytes = 377; // three MPEG transport packets' sync bytes
constexpr size_t kTransportPacket = 188;

bool startsWith(const std::string& head, size_t at, const char* magic, size_t length) {
    return head.size() >= at + length && std::memcmp(head.data() + at, magic, length) == 0;
}

// ISO media starts with a box: a 32-bit size (0: to the end, 1: 64-bit size follows, else at least 8) and a type.
bool isIsoMedia(const std::string& head) {
    static const std::array<const char*, 7> kFirstBoxes = {"ftyp", "moov", "mdat", "free", "skip", "wide", "pnot"};
    if (head.size() < 8) {
        return false;
    }
    const auto byte = [&](size_t i) { return static_cast<uint32_t>(static_cast<unsigned char>(head[i])); };
    const uint32_t size = byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
    if (size > 1 && size < 8) {
        return false;
    }
    for (const char* box : kFirstBoxes) {
        if (startsWith(head, 4, box, 4)) {
            return true;
        }
    }
    return false;
}

bool isTransportStream(const std::string& head) {
    for (size_t at = 0; at < 3; ++at) {
        if (head.size() <= at * kTransportPacket || head[at * kTransportPacket] != 0x47) {
            return false;
        }
    }
    return true;
}

} // namespace

bool isMovie(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string head(kHeadBytes, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<size_t>(in.gcount()));
    return isIsoMedia(head) || startsWith(head, 0, "\x1A\x45\xDF\xA3", 4) ||
           (startsWith(head, 0, "RIFF", 4) && startsWith(head, 8, "AVI ", 4)) || isTransportStream(head) ||
           startsWith(head, 0, "\x00\x00\x01\xBA", 4) || startsWith(head, 0, "FLV\x01", 4) ||
           startsWith(head, 0, "\x30\x26\xB2\x75\x8E\x66\xCF\x11", 8) || startsWith(head, 0, "OggS", 4);
}

bool keepIfMovie(const std::string& path, const char* what) {
    if (isMovie(path)) {
        return true;
    }
    engine::log("%s is not a movie: %s", what, path.c_str());
    engine::FileUtils::getInstance()->removeFile(path);
    return false;
}

} // namespace MovieFile
