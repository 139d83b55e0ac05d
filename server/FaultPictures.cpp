#include "FaultPictures.h"

#include <zlib.h>

#include <cstdint>
#include <vector>

namespace courseware {

namespace {

constexpr uint32_t kSide = 30000;
constexpr uint32_t kRowsPerPiece = 100;

void appendBigEndian(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>(value >> shift & 0xFF));
    }
}

void appendChunk(std::string& out, const char* type, const std::string& data) {
    appendBigEndian(out, static_cast<uint32_t>(data.size()));
    const std::string typed = type + data;
    out += typed;
    appendBigEndian(out, static_cast<uint32_t>(
                             crc32(0L, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size()))));
}

// The zlib stream of every row: one piece of rows deflated and flushed whole decodes on its own, so the piece is
// repeated rather than 2.7 GB deflated.
std::string pixelStream() {
    const std::vector<Bytef> rows(static_cast<size_t>(kRowsPerPiece) * (kSide * 3 + 1), 0);
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
    std::string piece(deflateBound(&stream, static_cast<uLong>(rows.size())) + 16, '\0');
    stream.next_in = const_cast<Bytef*>(rows.data());
    stream.avail_in = static_cast<uInt>(rows.size());
    stream.next_out = reinterpret_cast<Bytef*>(piece.data());
    stream.avail_out = static_cast<uInt>(piece.size());
    deflate(&stream, Z_FULL_FLUSH);
    piece.resize(stream.total_out);
    deflateEnd(&stream);

    const uLong pieceSum = adler32(adler32(0L, Z_NULL, 0), rows.data(), static_cast<uInt>(rows.size()));
    uLong sum = pieceSum;
    std::string out = "\x78\xDA";
    out += piece;
    for (uint32_t i = 1; i < kSide / kRowsPerPiece; ++i) {
        out += piece;
        sum = adler32_combine(sum, pieceSum, static_cast<z_off_t>(rows.size()));
    }
    out += std::string("\x01\x00\x00\xFF\xFF", 5); // the last block, empty
    appendBigEndian(out, static_cast<uint32_t>(sum));
    return out;
}

std::string makeHugePng() {
    std::string png = "\x89PNG\r\n\x1A\n";
    std::string header;
    appendBigEndian(header, kSide);
    appendBigEndian(header, kSide);
    header += std::string("\x08\x02\x00\x00\x00", 5); // 8 bits, RGB, deflate, no filter method, not interlaced
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", pixelStream());
    appendChunk(png, "IEND", "");
    return png;
}

} // namespace

const std::string& FaultPictures::hugePng() {
    static const std::string png = makeHugePng();
    return png;
}

const std::string& FaultPictures::hugeSvg() {
    static const std::string svg = R"(<svg xmlns="http://www.w3.org/2000/svg" width="30000" height="30000">)"
                                   R"(<rect width="30000" height="30000" fill="#c33"/></svg>)";
    return svg;
}

} // namespace courseware
