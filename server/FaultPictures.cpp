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

// A zlib stream of pieces x pieceBytes zeros: one piece deflated and flushed whole decodes on its own, so the
// piece is repeated rather than all of it deflated.
std::string zeroStream(size_t pieceBytes, uint32_t pieces) {
    const std::vector<Bytef> zeros(pieceBytes, 0);
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
    std::string piece(deflateBound(&stream, static_cast<uLong>(zeros.size())) + 16, '\0');
    stream.next_in = const_cast<Bytef*>(zeros.data());
    stream.avail_in = static_cast<uInt>(zeros.size());
    stream.next_out = reinterpret_cast<Bytef*>(piece.data());
    stream.avail_out = static_cast<uInt>(piece.size());
    deflate(&stream, Z_FULL_FLUSH);
    piece.resize(stream.total_out);
    deflateEnd(&stream);

    const uLong pieceSum = adler32(adler32(0L, Z_NULL, 0), zeros.data(), static_cast<uInt>(zeros.size()));
    uLong sum = pieceSum;
    std::string out = "\x78\xDA";
    out += piece;
    for (uint32_t i = 1; i < pieces; ++i) {
        out += piece;
        sum = adler32_combine(sum, pieceSum, static_cast<z_off_t>(zeros.size()));
    }
    out += std::string("\x01\x00\x00\xFF\xFF", 5); // the last block, empty
    appendBigEndian(out, static_cast<uint32_t>(sum));
    return out;
}

// A PNG of black pixels whose data is the given stream of zeros.
std::string blackPng(uint32_t side, char colourType, const std::string& data) {
    std::string png = "\x89PNG\r\n\x1A\n";
    std::string header;
    appendBigEndian(header, side);
    appendBigEndian(header, side);
    header += std::string{'\x08', colourType, '\0', '\0', '\0'}; // 8 bits, deflate, no filter method, not interlaced
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", data);
    appendChunk(png, "IEND", "");
    return png;
}

void appendSegment(std::string& out, unsigned char marker, const std::string& data) {
    out += '\xFF';
    out += static_cast<char>(marker);
    const size_t length = data.size() + 2;
    out += static_cast<char>(length >> 8);
    out += static_cast<char>(length & 0xFF);
    out += data;
}

} // namespace

const std::string& FaultPictures::hugePng() {
    static const std::string png = blackPng(
        kSide, '\x02', zeroStream(static_cast<size_t>(kRowsPerPiece) * (kSide * 3 + 1), kSide / kRowsPerPiece));
    return png;
}

std::string FaultPictures::surplusPng(uint32_t side) {
    return blackPng(side, '\0', zeroStream(size_t{1} << 20, 1024));
}

std::string FaultPictures::manyScansJpeg(int scans) {
    constexpr int kJpegSide = 1024; // 128 x 128 blocks: 2^14, one run of ends of band in an AC scan
    std::string jpeg = "\xFF\xD8";
    appendSegment(jpeg, 0xDB, '\0' + std::string(64, '\x01'));
    appendSegment(jpeg, 0xC2,
                  std::string{'\x08', kJpegSide >> 8, '\0', kJpegSide >> 8, '\0', '\x01', '\x01', '\x11', '\0'});
    // One code each: DC difference 0, and a run of 2^14 ends of band.
    appendSegment(jpeg, 0xC4, '\0' + std::string{'\x01'} + std::string(15, '\0') + '\0');
    appendSegment(jpeg, 0xC4, '\x10' + std::string{'\x01'} + std::string(15, '\0') + '\xE0');
    appendSegment(jpeg, 0xDA, std::string{'\x01', '\x01', '\0', '\0', '\0', '\0'});
    jpeg += std::string(kJpegSide / 8 * kJpegSide / 8 / 8, '\0');
    for (int scan = 1; scan < scans; ++scan) {
        appendSegment(jpeg, 0xDA, std::string{'\x01', '\x01', '\0', '\x01', '\x01', '\0'});
        jpeg += std::string("\0\x01", 2); // the code and 14 zero bits, then a one to fill the byte
    }
    return jpeg + "\xFF\xD9";
}

const std::string& FaultPictures::hugeSvg() {
    static const std::string svg = R"(<svg xmlns="http://www.w3.org/2000/svg" width="30000" height="30000">)"
                                   R"(<rect width="30000" height="30000" fill="#c33"/></svg>)";
    return svg;
}

} // namespace courseware
