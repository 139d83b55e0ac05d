// Zip extraction: our extraction of a ~100 MB courseware package of 2000 files against Info-ZIP's
// `unzip -q -o` of the same file.
#include <minizip/zip.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "net/ZipUnpacker.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kFiles = 2000;
constexpr size_t kFileSize = 50 * 1024;
constexpr int kRuns = 3;

// Text-like content from a fixed vocabulary: compresses about 2:1, as lesson data does.
std::vector<std::string> makeContents() {
    std::mt19937 random(7);
    std::vector<std::string> words;
    for (int i = 0; i < 3000; ++i) {
        std::string word;
        const int length = 2 + static_cast<int>(random() % 8);
        for (int j = 0; j < length; ++j) {
            word.push_back(static_cast<char>('a' + random() % 26));
        }
        words.push_back(word);
    }
    std::vector<std::string> contents;
    for (int i = 0; i < kFiles; ++i) {
        std::string text;
        while (text.size() < kFileSize) {
            text += words[random() % words.size()];
            text.push_back(' ');
        }
        contents.push_back(std::move(text));
    }
    return contents;
}

bool buildPackage(const std::string& path) {
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    if (!zip) {
        return false;
    }
    const std::vector<std::string> contents = makeContents();
    for (int i = 0; i < kFiles; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "0102030104/d%02d/f%04d.txt", i % 20, i);
        zip_fileinfo info = {};
        info.dosDate = (40u << 25) | (6u << 21) | (15u << 16) | (10u << 11);
        zipOpenNewFileInZip64(zip, name, &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, Z_DEFAULT_COMPRESSION, 0);
        zipWriteInFileInZip(zip, contents[i].data(), static_cast<unsigned>(contents[i].size()));
        zipCloseFileInZip(zip);
    }
    return zipClose(zip, nullptr) == ZIP_OK;
}

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

bool complete(const std::string& folder) {
    std::error_code ec;
    size_t files = 0;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        files += it->is_regular_file() ? 1 : 0;
    }
    return files == kFiles;
}

double timeOurs(const std::string& zip, const std::string& folder) {
    fs::remove_all(folder);
    fs::create_directories(folder);
    const auto start = Clock::now();
    const bool ok = ZipUnpacker::unpack(zip, folder);
    const double elapsed = seconds(Clock::now() - start);
    return ok && complete(folder) ? elapsed : -1;
}

double timeInfoZip(const std::string& zip, const std::string& folder) {
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string command = "unzip -q -o '" + zip + "' -d '" + folder + "'";
    const auto start = Clock::now();
    const int status = std::system(command.c_str());
    const double elapsed = seconds(Clock::now() - start);
    return status == 0 && complete(folder) ? elapsed : -1;
}

} // namespace

int main() {
    char pattern[] = "/tmp/bench-unzip-XXXXXX";
    if (!mkdtemp(pattern)) {
        return 1;
    }
    const std::string root = pattern;
    const std::string zip = root + "/0102030104.zip";
    if (!buildPackage(zip)) {
        std::fprintf(stderr, "cannot build the package\n");
        fs::remove_all(root);
        return 1;
    }
    std::printf("package: %d files, %.1f MB unpacked, %.1f MB zipped\n", kFiles, kFiles * kFileSize / (1024.0 * 1024.0),
                fs::file_size(zip) / (1024.0 * 1024.0));
    double bestOurs = 1e9;
    double bestInfoZip = 1e9;
    bool ok = true;
    for (int run = 1; run <= kRuns; ++run) {
        const double ours = timeOurs(zip, root + "/ours");
        const double infoZip = timeInfoZip(zip, root + "/infozip");
        ok = ok && ours > 0 && infoZip > 0;
        std::printf("run %d: ours %.3f s, unzip %.3f s, ratio %.2f\n", run, ours, infoZip, infoZip / ours);
        bestOurs = std::min(bestOurs, ours);
        bestInfoZip = std::min(bestInfoZip, infoZip);
    }
    std::printf("best: ours %.3f s, unzip %.3f s, ratio %.2f\n", bestOurs, bestInfoZip, bestInfoZip / bestOurs);
    fs::remove_all(root);
    return ok ? 0 : 1;
}
