#include "hostile/samples/PictureSamples.h"

#include <SDL.h>
#include <SDL_image.h>
#include <zlib.h>

#include <fstream>
#include <string>
#include <vector>

#include "FaultPictures.h"
#include "base/Director.h"
#include "base/InputLimits.h"
#include "net/PictureFile.h"
#include "render/TextureCache.h"
#include "support/Headless.h"

namespace hostile {

namespace {

std::string bigEndian(uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
            static_cast<char>(value)};
}

std::string chunk(const std::string& type, const std::string& data) {
    const std::string body = type + data;
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()));
    return bigEndian(static_cast<uint32_t>(data.size())) + body + bigEndian(static_cast<uint32_t>(crc));
}

std::string compressed(const std::string& raw) {
    uLongf size = compressBound(raw.size());
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(raw.data()), raw.size(), 9);
    out.resize(size);
    return out;
}

// A grey 8-bit PNG: its header, the chunks given, one data chunk of that zlib stream, the end.
std::string png(uint32_t width, uint32_t height, const std::string& chunks, const std::string& data) {
    const std::string header = bigEndian(width) + bigEndian(height) + std::string{8, 0, 0, 0, 0};
    return "\x89PNG\r\n\x1A\n" + chunk("IHDR", header) + chunks + chunk("IDAT", data) + chunk("IEND", "");
}

// Rows of no filter and mid grey.
std::string greyRows(uint32_t width, uint32_t height) {
    std::string rows;
    for (uint32_t y = 0; y < height; ++y) {
        rows += '\0' + std::string(width, '\x40');
    }
    return rows;
}

std::string write(const std::string& dir, const std::string& name, const std::string& bytes) {
    const std::string path = dir + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

// Deflate blocks written bit by bit, least significant first.
class Bits {
public:
    void put(uint32_t value, int count) {
        for (int i = 0; i < count; ++i, ++used) {
            if (used % 8 == 0) {
                out.push_back('\0');
            }
            out.back() = static_cast<char>(out.back() | ((value >> i) & 1) << (used % 8));
        }
    }
    // A stored block of those bytes, byte-aligned as its format wants.
    void stored(const std::string& bytes, bool last) {
        put(last ? 1 : 0, 3);
        used = (used + 7) / 8 * 8;
        const uint16_t length = static_cast<uint16_t>(bytes.size());
        out += std::string{static_cast<char>(length), static_cast<char>(length >> 8),
                           static_cast<char>(~length), static_cast<char>(~length >> 8)};
        out += bytes;
        used += 8 * (4 + bytes.size());
    }
    // An empty block of fixed codes: its type and the end-of-block code, ten bits.
    void emptyFixed() {
        put(0b010, 3);
        put(0, 7);
    }
    std::string out;

private:
    size_t used = 0;
};

} // namespace

Make pngOfSide(int width, int height) {
    return [width, height](const std::string& dir) {
        const std::string path = dir + "/side.png";
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 8, SDL_PIXELFORMAT_INDEX8);
        IMG_SavePNG(surface, path.c_str());
        SDL_FreeSurface(surface);
        return path;
    };
}

Make pngWithChunks(const char* type, int count, uint32_t bytes) {
    return [type = std::string(type), count, bytes](const std::string& dir) {
        std::string data;
        if (type == "zTXt") {
            data = std::string("Comment\0\0", 9) + compressed(std::string(8u << 20, '\0'));
        } else if (type == "iTXt") {
            data = std::string("Comment\0\1\0\0\0", 12) + compressed(std::string(8u << 20, '\0'));
        } else {
            data = std::string("Comment\0", 8);
        }
        data.resize(bytes, ' ');
        std::string chunks;
        for (int i = 0; i < count; ++i) {
            chunks += chunk(type, data);
        }
        return write(dir, "chunks.png", png(16, 16, chunks, compressed(greyRows(16, 16))));
    };
}

Make pngWithDataOver(int over) {
    return [over](const std::string& dir) {
        const std::string rows = greyRows(64, 64);
        const size_t allowed = rows.size() + rows.size() / 8 + engine::limits::kPngDataMargin + over;
        Bits bits;
        bits.put(0x0178, 16); // zlib header: deflate, no dictionary
        bits.stored(rows, false);
        // Empty blocks to the length: a stored one is 5 bytes, with one or two empty fixed blocks before it 6 or 7.
        size_t pad = allowed - 2 - (5 + rows.size()) - 5 - 4;
        const std::vector<std::vector<int>> fixedFor = {{}, {1}, {2}, {1, 2}, {2, 2}};
        for (int fixed : fixedFor[pad % 5]) {
            for (int i = 0; i < fixed; ++i) {
                bits.emptyFixed();
            }
            bits.stored("", false);
            pad -= 5 + fixed;
        }
        for (; pad > 0; pad -= 5) {
            bits.stored("", false);
        }
        bits.stored("", true);
        const uLong adler = adler32(1, reinterpret_cast<const Bytef*>(rows.data()), static_cast<uInt>(rows.size()));
        return write(dir, "data.png", png(64, 64, "", bits.out + bigEndian(static_cast<uint32_t>(adler))));
    };
}

Make smallPngOver(int over) {
    return [over](const std::string& dir) {
        const std::string data = compressed(greyRows(96, 96));
        const uint64_t need = 96 * (1 + 4 * 96);
        const size_t target = need + need / 8 + engine::limits::kSmallPictureFileMargin + over;
        const size_t base = png(96, 96, "", data).size() + 12;
        return write(dir, "small.png", png(96, 96, chunk("prVt", std::string(target - base, '\0')), data));
    };
}

Make jpegOfScans(int scans) {
    return [scans](const std::string& dir) {
        return write(dir, "scans.jpg", courseware::FaultPictures::manyScansJpeg(scans));
    };
}

Make jpegWithSegments(int segments) {
    return [segments](const std::string& dir) {
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 16, 16, 32, SDL_PIXELFORMAT_RGBA32);
        SDL_FillRect(surface, nullptr, 0xFF336699);
        const std::string saved = dir + "/base.jpg";
        IMG_SaveJPG(surface, saved.c_str(), 90);
        SDL_FreeSurface(surface);
        std::ifstream in(saved, std::ios::binary);
        const std::string jpeg((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        // The encoder's own segments before its frame header count among them.
        int own = 0;
        size_t at = 2;
        while (at + 4 < jpeg.size() && static_cast<unsigned char>(jpeg[at + 1]) != 0xC0 &&
               static_cast<unsigned char>(jpeg[at + 1]) != 0xC2) {
            ++own;
            at += 2 + (static_cast<unsigned char>(jpeg[at + 2]) << 8 | static_cast<unsigned char>(jpeg[at + 3]));
        }
        std::string comments;
        for (int i = own; i < segments; ++i) {
            comments += std::string("\xFF\xFE\0\x03x", 5);
        }
        return write(dir, "segments.jpg", jpeg.substr(0, 2) + comments + jpeg.substr(2));
    };
}

Run decodeFor(engine::door::PictureUse use) {
    return [use](const std::string& sample) {
        SDL_Surface* surface = engine::door::decodePicture(sample, use);
        const bool decoded = surface != nullptr;
        SDL_FreeSurface(surface);
        return decoded ? Outcome::PASSES : Outcome::REFUSED;
    };
}

Run decodePicture() {
    return decodeFor(engine::door::PictureUse::PAGE);
}

Run checkSmallPicture() {
    return [](const std::string& sample) {
        int answer = -1;
        PictureFile::keepIfSmallPictureAsync(sample, engine::limits::kPictureBytes, "hostile picture", true,
                                             [&answer](bool kept) { answer = kept; });
        support::waitFor([&answer] { return answer >= 0; });
        engine::Director::getInstance()->getTextureCache()->removeTextureForKey(sample);
        return answer == 1 ? Outcome::PASSES : Outcome::REFUSED;
    };
}

Run cachedThenSmall() {
    return [](const std::string& sample) {
        engine::TextureCache* cache = engine::Director::getInstance()->getTextureCache();
        const bool cached = cache->addImage(sample) != nullptr;
        const bool small = cache->addImage(sample, engine::limits::kSmallPictureSide) != nullptr;
        cache->removeTextureForKey(sample);
        return cached && small ? Outcome::PASSES : Outcome::REFUSED;
    };
}

} // namespace hostile
