#include "hostile/samples/ArchiveSamples.h"

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "net/NetLimits.h"
#include "net/ZipExtractor.h"
#include "net/ZipUnpacker.h"

namespace hostile {

namespace {

struct RawEntry {
    std::string name;
    int method = 0; // 0 stored, 8 deflated
    uint32_t crc = 0;
    uint64_t size = 0;
    std::string data; // as written: raw deflate or the stored bytes
    uint64_t hole = 0; // zero bytes stored after data as a hole in the file
};

void put(std::string& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>(i < 8 ? (value >> (8 * i)) & 0xFF : 0));
    }
}

std::string header(uint32_t signature, const RawEntry& e, bool central, uint64_t offset) {
    std::string out;
    put(out, signature, 4);
    if (central) {
        put(out, 20, 2);
    }
    put(out, 20, 2);
    put(out, 0, 2);
    put(out, e.method, 2);
    put(out, 0x5000, 2);   // 10:00
    put(out, 0x50cf, 2);   // 2020-06-15
    put(out, e.crc, 4);
    put(out, e.data.size() + e.hole, 4);
    put(out, e.size, 4);
    put(out, e.name.size(), 2);
    put(out, 0, 2);
    if (central) {
        put(out, 0, 2 + 2 + 2 + 4);
        put(out, offset, 4);
    }
    return out + e.name;
}

// The archive, its entries in order; a hole leaves the file sparse.
std::string writeRawZip(const std::string& path, const std::vector<RawEntry>& entries) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    uint64_t at = 0;
    std::string central;
    const auto write = [&](const std::string& bytes) {
        at += static_cast<uint64_t>(::write(fd, bytes.data(), bytes.size()));
    };
    std::string batch;
    for (const RawEntry& e : entries) {
        central += header(0x02014b50, e, true, at + batch.size());
        batch += header(0x04034b50, e, false, 0) + e.data;
        if (e.hole != 0 || batch.size() > (1 << 20)) {
            write(batch);
            batch.clear();
        }
        if (e.hole != 0) {
            at = static_cast<uint64_t>(lseek(fd, static_cast<off_t>(e.hole), SEEK_CUR));
        }
    }
    write(batch);
    const uint64_t centralAt = at;
    write(central);
    std::string end;
    const uint64_t count = entries.size();
    if (count >= 0xFFFF) {
        const uint64_t recordAt = at;
        put(end, 0x06064b50, 4);
        put(end, 44, 8);
        put(end, 45, 2);
        put(end, 45, 2);
        put(end, 0, 8);
        put(end, count, 8);
        put(end, count, 8);
        put(end, central.size(), 8);
        put(end, centralAt, 8);
        put(end, 0x07064b50, 4);
        put(end, 0, 4);
        put(end, recordAt, 8);
        put(end, 1, 4);
    }
    put(end, 0x06054b50, 4);
    put(end, 0, 4);
    put(end, std::min<uint64_t>(count, 0xFFFF), 2);
    put(end, std::min<uint64_t>(count, 0xFFFF), 2);
    put(end, central.size(), 4);
    put(end, std::min<uint64_t>(centralAt, 0xFFFFFFFF), 4);
    put(end, 0, 2);
    write(end);
    close(fd);
    return path;
}

uint32_t crcOfZeros(uint64_t bytes) {
    static const std::string kZeros(1 << 20, '\0');
    uLong crc = crc32(0, nullptr, 0);
    for (uint64_t done = 0; done < bytes;) {
        const auto piece = static_cast<uInt>(std::min<uint64_t>(kZeros.size(), bytes - done));
        crc = crc32(crc, reinterpret_cast<const Bytef*>(kZeros.data()), piece);
        done += piece;
    }
    return static_cast<uint32_t>(crc);
}

// Raw deflate of that many zeros, quickly: run-length matches only.
std::string deflatedZeros(uint64_t bytes) {
    static const std::string kZeros(1 << 20, '\0');
    z_stream stream = {};
    deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, -MAX_WBITS, 8, Z_RLE);
    std::string out;
    char buffer[1 << 16];
    for (uint64_t done = 0;;) {
        const auto piece = static_cast<uInt>(std::min<uint64_t>(kZeros.size(), bytes - done));
        done += piece;
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(kZeros.data()));
        stream.avail_in = piece;
        const int flush = done == bytes ? Z_FINISH : Z_NO_FLUSH;
        int result = Z_OK;
        do {
            stream.next_out = reinterpret_cast<Bytef*>(buffer);
            stream.avail_out = sizeof buffer;
            result = deflate(&stream, flush);
            out.append(buffer, sizeof buffer - stream.avail_out);
        } while (stream.avail_out == 0);
        if (flush == Z_FINISH || result == Z_STREAM_END) {
            break;
        }
    }
    deflateEnd(&stream);
    return out;
}

RawEntry zeros(const std::string& name, uint64_t bytes, uint64_t declared) {
    return {name, 8, crcOfZeros(bytes), declared, deflatedZeros(bytes), 0};
}

uint64_t overhead(const std::vector<std::string>& names) {
    uint64_t total = 22;
    for (const std::string& name : names) {
        total += 30 + 46 + 2 * name.size();
    }
    return total;
}

Run extractWith(int64_t inMemoryLimit) {
    return [inMemoryLimit](const std::string& sample) {
        const std::string folder = std::filesystem::path(sample).parent_path() / "out";
        std::atomic<int> written{0};
        ZipUnpacker::setEntryHook([&written](int count) { written = count; });
        ZipExtractor::setInMemoryLimit(inMemoryLimit);
        const bool ok = ZipUnpacker::extract(ZipUnpacker::ArchiveKind::INTERFACE_PACK, sample, folder);
        ZipExtractor::setInMemoryLimit(-1);
        ZipUnpacker::setEntryHook(nullptr);
        if (ok) {
            return Outcome::PASSES;
        }
        return written == 0 ? Outcome::REFUSED : Outcome::BOUNDED;
    };
}

} // namespace

Make zipOfEntries(int count) {
    return [count](const std::string& dir) {
        return writeRawZip(dir + "/entries.zip", std::vector<RawEntry>(static_cast<size_t>(count), RawEntry{"e"}));
    };
}

Make zipOfZeros(int64_t bytes) {
    return [bytes](const std::string& dir) {
        return writeRawZip(dir + "/zeros.zip", {zeros("zeros.bin", bytes, bytes)});
    };
}

Make zipAtRatio(int extra) {
    return [extra](const std::string& dir) {
        // Stored bytes s and z deflated zeros of length l: s + z = ratio * (s + l + overhead) + extra.
        const auto ratio = static_cast<uint64_t>(netlimits::kZipContentRatio);
        const uint64_t head = overhead({"stored.bin", "zeros.bin"});
        for (uint64_t z = 63u << 20;; ++z) {
            const uint64_t packed = deflatedZeros(z).size();
            const int64_t rest = static_cast<int64_t>(z) - static_cast<int64_t>(ratio * (packed + head)) - extra;
            if (rest > 0 && rest % static_cast<int64_t>(ratio - 1) == 0) {
                const std::string stored(static_cast<size_t>(rest / static_cast<int64_t>(ratio - 1)), 's');
                const auto crc = static_cast<uint32_t>(
                    crc32(0, reinterpret_cast<const Bytef*>(stored.data()), static_cast<uInt>(stored.size())));
                return writeRawZip(dir + "/ratio.zip",
                                   {{"stored.bin", 0, crc, stored.size(), stored, 0}, zeros("zeros.bin", z, z)});
            }
        }
    };
}

Make sparseZipDeclaring(int64_t total) {
    return [total](const std::string& dir) {
        constexpr uint64_t kHole = 300u << 20;
        RawEntry hole{"hole.bin", 0, crcOfZeros(kHole), kHole, "", kHole};
        return writeRawZip(dir + "/sparse.zip",
                           {hole, zeros("more.bin", 1000, static_cast<uint64_t>(total) - kHole)});
    };
}

Make zipDeclaringMore(int extra) {
    return [extra](const std::string& dir) {
        // Stored: the reader ends where the packed bytes end, with no checksum to tell.
        const std::string data(100000, 's');
        const auto crc =
            static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
        return writeRawZip(dir + "/short.zip", {{"short.bin", 0, crc, data.size() + extra, data, 0}});
    };
}

Run extractArchive() {
    return extractWith(-1);
}

Run extractStreamed() {
    return extractWith(0);
}

} // namespace hostile
