#include "hostile/samples/SoundSamples.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "audio/AudioEngine.h"
#include "platform/FileUtils.h"

namespace hostile {

namespace {

using Bytes = std::vector<char>;

void put(Bytes& bytes, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

void write(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

Bytes readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A 16-bit PCM header for dataBytes of samples; the RIFF size counts trailing bytes too.
Bytes wavHeader(uint32_t dataBytes, int rate, int channels, uint32_t trailing = 0) {
    Bytes bytes;
    bytes.insert(bytes.end(), {'R', 'I', 'F', 'F'});
    put(bytes, 36 + dataBytes + trailing, 4);
    bytes.insert(bytes.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put(bytes, 16, 4);
    put(bytes, 1, 2);
    put(bytes, uint32_t(channels), 2);
    put(bytes, uint32_t(rate), 4);
    put(bytes, uint32_t(rate * channels * 2), 4);
    put(bytes, uint32_t(channels * 2), 2);
    put(bytes, 16, 2);
    bytes.insert(bytes.end(), {'d', 'a', 't', 'a'});
    put(bytes, dataBytes, 4);
    return bytes;
}

void writeWav(const std::string& path, long frames, int rate) {
    Bytes bytes = wavHeader(uint32_t(frames * 2), rate, 1);
    for (long i = 0; i < frames; ++i) {
        put(bytes, static_cast<uint16_t>(int16_t(4000 * std::sin(i * 0.3))), 2);
    }
    write(path, bytes);
}

// Twenty seconds of 8 kHz mono at 8 kbit/s, cut into its frames (72 bytes each: no padding at this rate).
std::vector<Bytes> baseFrames(const std::string& dir) {
    const std::string path = dir + "/base.mp3";
    const std::string command = "ffmpeg -hide_banner -loglevel error -y -f lavfi -i sine=frequency=440:sample_rate=8000"
                                " -t 20 -ac 1 -c:a libmp3lame -b:a 8k -write_xing 0 -id3v2_version 0 '" +
                                path + "'";
    std::vector<Bytes> frames;
    if (std::system(command.c_str()) != 0) {
        return frames;
    }
    const Bytes bytes = readAll(path);
    std::filesystem::remove(path);
    for (size_t pos = 0; pos + 72 <= bytes.size(); pos += 72) {
        if (static_cast<unsigned char>(bytes[pos]) != 0xFF) {
            break;
        }
        frames.emplace_back(bytes.begin() + long(pos), bytes.begin() + long(pos + 72));
    }
    return frames;
}

// An empty frame of the same kind carrying a Xing header that claims frames frames.
Bytes xingFrame(const Bytes& model, long frames) {
    Bytes frame(72, 0);
    std::copy(model.begin(), model.begin() + 4, frame.begin());
    frame[2] = static_cast<char>(frame[2] & ~0x02); // no padding
    const size_t tag = 4 + 9;                       // after a mono MPEG-2.5 side info
    std::copy_n("Xing", 4, frame.begin() + tag);
    const uint32_t values[2] = {1, uint32_t(frames)}; // flags: frame count only
    for (int v = 0; v < 2; ++v) {
        for (int i = 0; i < 4; ++i) {
            frame[tag + 4 + v * 4 + i] = static_cast<char>((values[v] >> (24 - 8 * i)) & 0xFF);
        }
    }
    return frame;
}

Bytes mp3Bytes(const std::string& dir, long frames, long claimedFrames) {
    const std::vector<Bytes> base = baseFrames(dir);
    Bytes bytes;
    if (base.empty()) {
        return bytes;
    }
    bytes.reserve(size_t(frames + 1) * 72);
    if (claimedFrames > 0) {
        const Bytes xing = xingFrame(base.front(), claimedFrames);
        bytes.insert(bytes.end(), xing.begin(), xing.end());
    }
    for (long i = 0; i < frames; ++i) {
        const Bytes& frame = base[size_t(i) % base.size()];
        bytes.insert(bytes.end(), frame.begin(), frame.end());
    }
    return bytes;
}

} // namespace

Make wavOfFrames(long frames, int rate) {
    return [frames, rate](const std::string& dir) {
        const std::string path = dir + "/sound.wav";
        writeWav(path, frames, rate);
        return path;
    };
}

Make wavOfBytes(long bytes) {
    return [bytes](const std::string& dir) {
        const std::string path = dir + "/sound.wav";
        const auto data = static_cast<uint32_t>((bytes - 44) / 4 * 4);
        const auto trailing = static_cast<uint32_t>(bytes - 44 - data);
        Bytes file = wavHeader(data, 48000, 2, trailing);
        file.resize(size_t(bytes), 0);
        write(path, file);
        return path;
    };
}

Make mp3OfFrames(long frames, long claimedFrames) {
    return [frames, claimedFrames](const std::string& dir) {
        const std::string path = dir + "/sound.mp3";
        write(path, mp3Bytes(dir, frames, claimedFrames));
        return path;
    };
}

Make flacWithMp3Padding(long mp3Frames) {
    return [mp3Frames](const std::string& dir) {
        const std::string flac = dir + "/hour.flac";
        const std::string command = "ffmpeg -hide_banner -loglevel error -y -f lavfi -i anullsrc=r=8000:cl=mono"
                                    " -t 3600 -c:a flac '" +
                                    flac + "'";
        const std::string path = dir + "/sound.mp3";
        if (std::system(command.c_str()) != 0) {
            return path;
        }
        Bytes bytes = readAll(flac);
        const Bytes frames = mp3Bytes(dir, mp3Frames, 0);
        // After STREAMINFO ("fLaC", a 4-byte block header, 34 bytes), a padding block that holds the frames.
        const size_t after = 4 + 4 + 34;
        Bytes padding = {static_cast<char>(bytes[4] & 0x80 ? 0x81 : 0x01)};
        bytes[4] = static_cast<char>(bytes[4] & 0x7F);
        for (int i = 2; i >= 0; --i) {
            padding.push_back(static_cast<char>((frames.size() >> (8 * i)) & 0xFF));
        }
        padding.insert(padding.end(), frames.begin(), frames.end());
        bytes.insert(bytes.begin() + long(after), padding.begin(), padding.end());
        write(path, bytes);
        return path;
    };
}

Make packClick(long packFrames) {
    return [packFrames](const std::string& dir) {
        std::filesystem::create_directories(dir + "/pack");
        std::filesystem::create_directories(dir + "/program");
        writeWav(dir + "/pack/BtnClick.mp3", packFrames, 8000);
        writeWav(dir + "/program/BtnClick.mp3", 4000, 8000);
        return dir;
    };
}

Run loadSoundFor(engine::door::SoundUse use) {
    return [use](const std::string& sample) {
        const engine::door::SoundLoad sound = engine::door::loadSound(sample, use);
        engine::door::forgetRefusedSounds();
        if (sound.status == engine::door::SoundLoad::Status::MISSING) {
            return Outcome::GIVEN_WAY; // never expected of a door row: the sample was not made
        }
        if (!sound.ok()) {
            return Outcome::REFUSED;
        }
        return sound.samples.empty() ? Outcome::BOUNDED : Outcome::PASSES;
    };
}

Run playPackClick() {
    return [](const std::string& dir) {
        engine::FileUtils* files = engine::FileUtils::getInstance();
        const std::vector<std::string> saved = files->getSearchPaths();
        files->setSearchPaths({dir + "/pack/", dir + "/program/"});
        const int id = engine::AudioEngine::play2d("BtnClick.mp3");
        const float seconds = engine::AudioEngine::getDuration(id);
        engine::AudioEngine::end();
        files->setSearchPaths(saved);
        if (id == engine::AudioEngine::INVALID_AUDIO_ID) {
            return Outcome::REFUSED;
        }
        return std::fabs(seconds - 0.5f) < 1e-3f ? Outcome::GIVEN_WAY : Outcome::PASSES;
    };
}

} // namespace hostile
