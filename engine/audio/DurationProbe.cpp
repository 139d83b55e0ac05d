#include "audio/DurationProbe.h"

#include <SDL.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace engine {

namespace {

struct FrameHeader {
    int sampleRate = 0;
    int samples = 0; // per frame
    size_t length = 0;
    size_t sideInfoSize = 0;
};

// kbit/s by [MPEG-1 ? 0 : 1][layer - 1][index]
constexpr int kBitrates[2][3][16] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}},
};
constexpr int kSampleRates[3] = {44100, 48000, 32000};

bool parseHeader(const unsigned char* p, FrameHeader& out) {
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) {
        return false;
    }
    int version = (p[1] >> 3) & 3; // 0: MPEG-2.5, 1: reserved, 2: MPEG-2, 3: MPEG-1
    int layer = 4 - ((p[1] >> 1) & 3);
    int bitrateIndex = p[2] >> 4;
    int rateIndex = (p[2] >> 2) & 3;
    if (version == 1 || layer == 4 || rateIndex == 3) {
        return false;
    }
    bool mpeg1 = version == 3;
    int bitrate = kBitrates[mpeg1 ? 0 : 1][layer - 1][bitrateIndex] * 1000;
    if (bitrate == 0) {
        return false; // free format or bad index
    }
    out.sampleRate = kSampleRates[rateIndex] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
    int padding = (p[2] >> 1) & 1;
    bool mono = (p[3] >> 6) == 3;
    if (layer == 1) {
        out.samples = 384;
        out.length = static_cast<size_t>((12 * bitrate / out.sampleRate + padding) * 4);
    } else {
        out.samples = (layer == 3 && !mpeg1) ? 576 : 1152;
        out.length = static_cast<size_t>(out.samples / 8 * bitrate / out.sampleRate + padding);
    }
    out.sideInfoSize = layer != 3 ? 0 : mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
    return out.length > 4;
}

// The first frame of an encoder's VBR header carries no sound.
bool isInfoFrame(const unsigned char* frame, const FrameHeader& header) {
    size_t tag = 4 + header.sideInfoSize;
    if (tag + 4 <= header.length &&
        (std::memcmp(frame + tag, "Xing", 4) == 0 || std::memcmp(frame + tag, "Info", 4) == 0)) {
        return true;
    }
    return header.length >= 40 && std::memcmp(frame + 36, "VBRI", 4) == 0;
}

size_t skipId3v2(const unsigned char* data, size_t size) {
    if (size < 10 || std::memcmp(data, "ID3", 3) != 0) {
        return 0;
    }
    size_t tagSize = (size_t(data[6] & 0x7F) << 21) | (size_t(data[7] & 0x7F) << 14) | (size_t(data[8] & 0x7F) << 7) |
                     size_t(data[9] & 0x7F);
    size_t footer = (data[5] & 0x10) ? 10 : 0;
    return 10 + tagSize + footer;
}

} // namespace

float DurationProbe::mp3Duration(const unsigned char* data, size_t size) {
    size_t pos = skipId3v2(data, size);
    FrameHeader header;
    // The first frame must be followed by another header (or the end), so stray sync bytes are not taken.
    for (; pos + 4 <= size; ++pos) {
        if (!parseHeader(data + pos, header) || pos + header.length > size) {
            continue;
        }
        FrameHeader next;
        size_t after = pos + header.length;
        if (after + 4 > size || parseHeader(data + after, next)) {
            break;
        }
    }
    if (pos + 4 > size) {
        return -1.f;
    }
    int sampleRate = header.sampleRate;
    long long samples = 0;
    bool first = true;
    while (pos + 4 <= size && parseHeader(data + pos, header) && pos + header.length <= size) {
        if (!first || !isInfoFrame(data + pos, header)) {
            samples += header.samples;
        }
        first = false;
        pos += header.length;
    }
    return samples > 0 ? static_cast<float>(double(samples) / sampleRate) : -1.f;
}

float DurationProbe::wavDuration(const std::string& fullPath) {
    SDL_AudioSpec spec;
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV(fullPath.c_str(), &spec, &buffer, &length)) {
        return -1.f;
    }
    SDL_FreeWAV(buffer);
    int frameBytes = spec.channels * (SDL_AUDIO_BITSIZE(spec.format) / 8);
    if (spec.freq <= 0 || frameBytes <= 0) {
        return -1.f;
    }
    return static_cast<float>(double(length) / (double(spec.freq) * frameBytes));
}

float DurationProbe::durationOf(const std::string& fullPath) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(fullPath, error)) {
        return -1.f;
    }
    std::ifstream in(fullPath, std::ios::binary);
    if (!in) {
        return -1.f;
    }
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() >= 12 && std::memcmp(bytes.data(), "RIFF", 4) == 0 &&
        std::memcmp(bytes.data() + 8, "WAVE", 4) == 0) {
        return wavDuration(fullPath);
    }
    return mp3Duration(bytes.data(), bytes.size());
}

} // namespace engine
