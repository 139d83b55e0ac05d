// A courseware package of about 100 MB for the extraction benchmarks: 2000 text-like files of 50 KB.
#pragma once

#include <minizip/zip.h>
#include <zlib.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace bench {

constexpr int kPackageFiles = 2000;
constexpr size_t kPackageFileSize = 50 * 1024;

// Text from a fixed vocabulary: compresses about 2:1, as lesson data does.
inline std::vector<std::string> packageContents() {
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
    for (int i = 0; i < kPackageFiles; ++i) {
        std::string text;
        while (text.size() < kPackageFileSize) {
            text += words[random() % words.size()];
            text.push_back(' ');
        }
        contents.push_back(std::move(text));
    }
    return contents;
}

// Entries "<identify>/dNN/fNNNN.txt".
inline bool buildPackage(const std::string& path, const std::string& identify) {
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    if (!zip) {
        return false;
    }
    const std::vector<std::string> contents = packageContents();
    for (int i = 0; i < kPackageFiles; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "%s/d%02d/f%04d.txt", identify.c_str(), i % 20, i);
        zip_fileinfo info = {};
        info.dosDate = (40u << 25) | (6u << 21) | (15u << 16) | (10u << 11);
        zipOpenNewFileInZip64(zip, name, &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, Z_DEFAULT_COMPRESSION, 0);
        zipWriteInFileInZip(zip, contents[i].data(), static_cast<unsigned>(contents[i].size()));
        zipCloseFileInZip(zip);
    }
    return zipClose(zip, nullptr) == ZIP_OK;
}

} // namespace bench
