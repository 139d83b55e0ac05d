// Sound files made at test time in a scratch folder: hand-written WAVs and, when sox can, MP3s.
#pragma once

#include <stdlib.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace audiotest {

// 16-bit PCM sine; returns the path.
inline std::string writeWav(const std::string& path, float seconds, int rate = 22050, int channels = 1) {
    auto frames = static_cast<uint32_t>(seconds * rate + 0.5f);
    uint32_t dataSize = frames * channels * 2;
    std::vector<char> bytes;
    auto put = [&bytes](uint32_t value, int size) {
        for (int i = 0; i < size; ++i) {
            bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
        }
    };
    auto tag = [&bytes](const char* text) { bytes.insert(bytes.end(), text, text + 4); };
    tag("RIFF");
    put(36 + dataSize, 4);
    tag("WAVE");
    tag("fmt ");
    put(16, 4);
    put(1, 2); // PCM
    put(channels, 2);
    put(rate, 4);
    put(rate * channels * 2, 4);
    put(channels * 2, 2);
    put(16, 2);
    tag("data");
    put(dataSize, 4);
    for (uint32_t i = 0; i < frames; ++i) {
        auto sample = static_cast<int16_t>(8000 * std::sin(2 * M_PI * 440 * i / rate));
        for (int c = 0; c < channels; ++c) {
            put(static_cast<uint16_t>(sample), 2);
        }
    }
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

// The MP3 sox makes from the WAV, or "" when sox is missing or cannot write MP3.
inline std::string makeMp3(const std::string& wavPath, const std::string& mp3Path) {
    if (std::system("command -v sox >/dev/null 2>&1") != 0) {
        return "";
    }
    std::string command = "sox '" + wavPath + "' '" + mp3Path + "' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0 && std::filesystem::exists(mp3Path) ? mp3Path : "";
}

// A fresh folder under /tmp, removed with the object.
struct ScratchFolder {
    ScratchFolder() {
        char pattern[] = "/tmp/audio-XXXXXX";
        if (mkdtemp(pattern)) {
            path = pattern;
        }
    }
    ~ScratchFolder() {
        std::error_code error;
        std::filesystem::remove_all(path, error);
    }
    std::string operator/(const std::string& name) const { return path + "/" + name; }
    std::string path;
};

} // namespace audiotest
