#include "FaultZip.h"

#include <zlib.h>

#include <cstdint>
#include <vector>

namespace courseware {

namespace {

constexpr uint32_t kPieceBytes = 1u << 20;
constexpr uint32_t kPieces = 100;
constexpr int kEntries = 30;

void appendLittleEndian(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
    }
}

struct Entry {
    std::string data; // raw deflate
    uint32_t crc = 0;
    uint32_t size = kPieceBytes * kPieces;
};

// One piece of zeros deflated and flushed whole decodes on its own, so it is repeated rather than 100 MB deflated.
Entry makeEntry() {
    const std::vector<Bytef> zeros(kPieceBytes, 0);
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
    std::string piece(deflateBound(&stream, kPieceBytes) + 16, '\0');
    stream.next_in = const_cast<Bytef*>(zeros.data());
    stream.avail_in = kPieceBytes;
    stream.next_out = reinterpret_cast<Bytef*>(piece.data());
    stream.avail_out = static_cast<uInt>(piece.size());
    deflate(&stream, Z_FULL_FLUSH);
    piece.resize(stream.total_out);
    deflateEnd(&stream);

    Entry entry;
    const uLong pieceCrc = crc32(0L, zeros.data(), kPieceBytes);
    uLong crc = pieceCrc;
    entry.data = piece;
    for (uint32_t i = 1; i < kPieces; ++i) {
        entry.data += piece;
        crc = crc32_combine(crc, pieceCrc, kPieceBytes);
    }
    entry.data += std::string("\x03\x00", 2); // the last block, empty and fixed
    entry.crc = static_cast<uint32_t>(crc);
    return entry;
}

// The fields a local header and a central record share, from the version needed on.
std::string commonFields(const Entry& entry, const std::string& name) {
    std::string out;
    appendLittleEndian(out, 20, 2); // version needed
    appendLittleEndian(out, 0, 2);  // flags
    appendLittleEndian(out, 8, 2);  // deflate
    appendLittleEndian(out, 0, 4);  // time and date
    appendLittleEndian(out, entry.crc, 4);
    appendLittleEndian(out, static_cast<uint32_t>(entry.data.size()), 4);
    appendLittleEndian(out, entry.size, 4);
    appendLittleEndian(out, static_cast<uint32_t>(name.size()), 2);
    appendLittleEndian(out, 0, 2); // extra field
    return out;
}

} // namespace

std::string FaultZip::zerosUnder(const std::string& folder) {
    static const Entry entry = makeEntry();
    std::string zip;
    std::string directory;
    for (int n = 1; n <= kEntries; ++n) {
        const std::string name = folder + "/zeros" + std::to_string(n) + ".bin";
        const auto offset = static_cast<uint32_t>(zip.size());
        appendLittleEndian(zip, 0x04034b50, 4);
        zip += commonFields(entry, name) + name + entry.data;
        appendLittleEndian(directory, 0x02014b50, 4);
        appendLittleEndian(directory, 20, 2); // version made by
        directory += commonFields(entry, name);
        appendLittleEndian(directory, 0, 2); // comment
        appendLittleEndian(directory, 0, 2); // disk
        appendLittleEndian(directory, 0, 2); // internal attributes
        appendLittleEndian(directory, 0, 4); // external attributes
        appendLittleEndian(directory, offset, 4);
        directory += name;
    }
    const auto directoryOffset = static_cast<uint32_t>(zip.size());
    zip += directory;
    appendLittleEndian(zip, 0x06054b50, 4);
    appendLittleEndian(zip, 0, 4); // this disk, the directory's disk
    appendLittleEndian(zip, kEntries, 2);
    appendLittleEndian(zip, kEntries, 2);
    appendLittleEndian(zip, static_cast<uint32_t>(directory.size()), 4);
    appendLittleEndian(zip, directoryOffset, 4);
    appendLittleEndian(zip, 0, 2); // comment
    return zip;
}

} // namespace courseware
