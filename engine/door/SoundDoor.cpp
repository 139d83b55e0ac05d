#include "door/SoundDoor.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <mpg123.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <set>
#include <utility>

#include "base/ByteOrder.h"
#include "base/InputLimits.h"
#include "base/Log.h"
#include "door/FileDoor.h"

namespace engine::door {

namespace {

using Status = SoundLoad::Status;
using Format = SoundLoad::Format;

std::mutex g_refusedMutex;
std::set<std::string> g_refused; // path, size and time of each refused file

std::string fileKey(const std::string& fullPath) {
    std::error_code error;
    const auto size = std::filesystem::file_size(fullPath, error);
    const auto time = std::filesystem::last_write_time(fullPath, error).time_since_epoch().count();
    return fullPath + '\n' + std::to_string(size) + '\n' + std::to_string(time);
}

SoundLoad refuse(SoundLoad sound, const std::string& fullPath, const std::string& reason) {
    sound.status = Status::REFUSED;
    sound.reason = reason;
    sound.samples = {};
    log("SoundDoor: %s refused: %s", fullPath.c_str(), reason.c_str());
    std::lock_guard<std::mutex> lock(g_refusedMutex);
    g_refused.insert(fileKey(fullPath));
    return sound;
}

double secondsCap(SoundUse use) {
    return use == SoundUse::EFFECT ? limits::kEffectSeconds : limits::kVoiceSeconds;
}

// What the first bytes say, read once: the format they decide, as they do for the mixer (RIFF/WAVE, or an ID3 tag or
// an MPEG frame sync at the start), and where an MP3's audio starts, past every ID3v2 tag in front of it (a header
// of 10 bytes, the tag's size in seven-bit bytes, a footer of 10 more when its flag says so).
struct Content {
    Format format = Format::NONE;
    Sint64 audioStart = 0;
};

Content contentOf(const std::string& fullPath) {
    Content content;
    unsigned char magic[12] = {};
    std::ifstream in(fullPath, std::ios::binary);
    in.read(reinterpret_cast<char*>(magic), sizeof magic);
    if (in.gcount() < 4) {
        return content;
    }
    if (std::memcmp(magic, "RIFF", 4) == 0 && std::memcmp(magic + 8, "WAVE", 4) == 0) {
        content.format = Format::WAV;
        return content;
    }
    if (std::memcmp(magic, "ID3", 3) != 0 && !(magic[0] == 0xFF && (magic[1] & 0xE0) == 0xE0)) {
        return content;
    }
    content.format = Format::MP3;
    in.clear();
    unsigned char header[10];
    Sint64& at = content.audioStart;
    while (in.seekg(at) && in.read(reinterpret_cast<char*>(header), sizeof header) &&
           std::memcmp(header, "ID3", 3) == 0) {
        const Sint64 size = Sint64(header[6] & 0x7F) << 21 | Sint64(header[7] & 0x7F) << 14 |
                            Sint64(header[8] & 0x7F) << 7 | Sint64(header[9] & 0x7F);
        at += 10 + size + (header[5] & 0x10 ? 10 : 0);
    }
    return content;
}

// What the mixer is given to read: a source from an offset on, read only, holding the bytes it reads when they are
// the door's (a WAV whose chunks were cut to the file), so that the mixer never sees what the door left out: the
// tags in front of an MP3's audio (its own tag reader overruns its stack on a malformed text frame), or a chunk
// length past the file (it allocates what a chunk declares).
struct View {
    SDL_RWops* source = nullptr;
    Sint64 offset = 0;
    std::string bytes; // what source reads, when the view holds it
};

SDL_RWops* openView(std::unique_ptr<View> held) {
    SDL_RWops* view = held->source ? SDL_AllocRW() : nullptr;
    if (!view || SDL_RWseek(held->source, held->offset, RW_SEEK_SET) < 0) {
        if (held->source) {
            SDL_RWclose(held->source);
        }
        if (view) {
            SDL_FreeRW(view);
        }
        return nullptr;
    }
    view->type = SDL_RWOPS_UNKNOWN;
    view->hidden.unknown.data1 = held.release();
    static const auto of = [](SDL_RWops* context) { return static_cast<View*>(context->hidden.unknown.data1); };
    view->size = [](SDL_RWops* context) -> Sint64 {
        const Sint64 size = SDL_RWsize(of(context)->source);
        return size < 0 ? size : std::max<Sint64>(0, size - of(context)->offset);
    };
    view->seek = [](SDL_RWops* context, Sint64 to, int whence) -> Sint64 {
        const View& held = *of(context);
        const Sint64 before = SDL_RWtell(held.source);
        const Sint64 at = SDL_RWseek(held.source, whence == RW_SEEK_SET ? held.offset + to : to, whence);
        if (at >= 0 && at < held.offset) {
            SDL_RWseek(held.source, before, RW_SEEK_SET);
            return SDL_SetError("seek before the start");
        }
        return at < 0 ? at : at - held.offset;
    };
    view->read = [](SDL_RWops* context, void* to, size_t size, size_t count) {
        return SDL_RWread(of(context)->source, to, size, count);
    };
    view->write = [](SDL_RWops*, const void*, size_t, size_t) -> size_t {
        SDL_SetError("read only");
        return 0;
    };
    view->close = [](SDL_RWops* context) {
        std::unique_ptr<View> held(of(context));
        const int closed = SDL_RWclose(held->source);
        SDL_FreeRW(context);
        return closed;
    };
    return view;
}

// The file from offset on.
SDL_RWops* openFrom(const std::string& fullPath, Sint64 offset) {
    auto held = std::make_unique<View>();
    held->source = SDL_RWFromFile(fullPath.c_str(), "rb");
    held->offset = offset;
    return openView(std::move(held));
}

// The bytes, held by the view until it is closed.
SDL_RWops* openHeld(std::string bytes) {
    auto held = std::make_unique<View>();
    held->bytes = std::move(bytes);
    held->source = SDL_RWFromConstMem(held->bytes.data(), int(held->bytes.size()));
    return openView(std::move(held));
}

// What the mixer itself makes of the content, when it is open; NONE when it is closed or cannot open the file
// (an empty WAV), where the door's own decoder has the last word.
Format mixerFormatOf(SDL_RWops* source, bool& mixerOpen) {
    int rate = 0, channels = 0;
    Uint16 format = 0;
    mixerOpen = Mix_QuerySpec(&rate, &format, &channels) != 0;
    if (!mixerOpen) {
        if (source) {
            SDL_RWclose(source);
        }
        return Format::NONE;
    }
    Mix_Music* music = Mix_LoadMUS_RW(source, 1);
    if (!music) {
        mixerOpen = false;
        return Format::NONE;
    }
    const Mix_MusicType type = Mix_GetMusicType(music);
    Mix_FreeMusic(music);
    return type == MUS_WAV ? Format::WAV : type == MUS_MP3 ? Format::MP3 : Format::NONE;
}

// What is wrong with a format chunk, or null: SDL and the mixer divide by its channels and its block size, so a
// file of none must not reach them.
const char* formatFault(const unsigned char* format, uint32_t length) {
    if (length < 16) {
        return "a format chunk too short";
    }
    const uint16_t channels = readLe16(format + 2);
    const uint32_t rate = readLe32(format + 4);
    if (channels == 0 || channels > 8) {
        return "no channels or more than 8";
    }
    if (rate == 0 || rate > 384000) {
        return "no rate or one past 384 kHz";
    }
    return readLe16(format + 12) == 0 || readLe16(format + 14) == 0 ? "no block or sample size" : nullptr;
}

// Cuts each chunk that claims more than the file holds to what is there (SDL's readers allocate what a chunk
// declares before they read it, so a file of a few bytes could ask for gigabytes; a cut WAV still plays as far as it
// goes), and says what is wrong with its format chunk, or null.
const char* cutToTheFileAndCheck(std::string& file) {
    if (file.size() < 12) {
        return "no format chunk";
    }
    auto* bytes = reinterpret_cast<unsigned char*>(file.data());
    writeLe32(bytes + 4, uint32_t(std::min<size_t>(readLe32(bytes + 4), file.size() - 8)));
    const char* fault = "no format chunk";
    bool formatSeen = false;
    for (size_t at = 12; at + 8 <= file.size();) {
        const uint32_t length = uint32_t(std::min<size_t>(readLe32(bytes + at + 4), file.size() - at - 8));
        writeLe32(bytes + at + 4, length);
        if (!formatSeen && std::memcmp(bytes + at, "fmt ", 4) == 0) {
            formatSeen = true;
            fault = formatFault(bytes + at + 8, length);
        }
        at += 8 + size_t(length) + (length & 1);
    }
    return fault;
}

// The WAV file whole in bytes, its chunks cut to it and its format checked; what is wrong with it, or "".
std::string readWavFile(const std::string& fullPath, std::string& bytes) {
    door::FileRead read = readFile(fullPath, limits::kSoundFileBytes);
    if (!read.ok()) {
        return "cannot be read";
    }
    bytes = std::move(read.bytes);
    const char* fault = cutToTheFileAndCheck(bytes);
    return fault ? std::string("not a WAV: ") + fault : std::string();
}

// The whole WAV (held whole: the file cap bounds it, and each chunk is cut to the file) through SDL's reader, as
// 16-bit samples.
SoundLoad readWav(SoundLoad sound, const std::string& fullPath, const std::string& file) {
    SDL_AudioSpec spec;
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV_RW(SDL_RWFromConstMem(file.data(), int(file.size())), 1, &spec, &buffer, &length)) {
        return refuse(sound, fullPath, std::string("not a WAV: ") + SDL_GetError());
    }
    std::unique_ptr<Uint8, void (*)(Uint8*)> held(buffer, SDL_FreeWAV);
    const int frameBytes = spec.channels * (SDL_AUDIO_BITSIZE(spec.format) / 8);
    if (spec.freq <= 0 || frameBytes <= 0) {
        return refuse(sound, fullPath, "no rate or channels");
    }
    sound.rate = spec.freq;
    sound.channels = spec.channels;
    sound.seconds = double(length / frameBytes) / spec.freq;
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, AUDIO_S16SYS, spec.channels, spec.freq) < 0) {
        return refuse(sound, fullPath, "cannot convert its samples");
    }
    std::vector<Uint8> bytes(size_t(length) * size_t(std::max(cvt.len_mult, 1)));
    if (length > 0) {
        std::memcpy(bytes.data(), buffer, length);
    }
    held.reset();
    cvt.buf = bytes.data();
    cvt.len = int(length);
    if (cvt.needed && length > 0 && SDL_ConvertAudio(&cvt) < 0) {
        return refuse(sound, fullPath, "cannot convert its samples");
    }
    const size_t converted = cvt.needed ? size_t(cvt.len_cvt) : size_t(length);
    sound.samples.resize(converted / 2);
    if (!sound.samples.empty()) {
        std::memcpy(sound.samples.data(), bytes.data(), sound.samples.size() * 2);
    }
    return sound;
}

struct Mpg123Closer {
    void operator()(mpg123_handle* handle) const {
        mpg123_close(handle);
        mpg123_delete(handle);
    }
};
using Mpg123 = std::unique_ptr<mpg123_handle, Mpg123Closer>;

Mpg123 openMp3(const std::string& fullPath, SoundLoad& sound) {
    int error = MPG123_OK;
    Mpg123 handle(mpg123_new(nullptr, &error));
    if (!handle) {
        return nullptr;
    }
    mpg123_param(handle.get(), MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    mpg123_format_none(handle.get());
    const long* rates = nullptr;
    size_t count = 0;
    mpg123_rates(&rates, &count);
    for (size_t i = 0; i < count; ++i) {
        mpg123_format(handle.get(), rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    }
    long rate = 0;
    int channels = 0, encoding = 0;
    if (mpg123_open(handle.get(), fullPath.c_str()) != MPG123_OK ||
        mpg123_getformat(handle.get(), &rate, &channels, &encoding) != MPG123_OK || rate <= 0 || channels <= 0) {
        return nullptr;
    }
    sound.rate = int(rate);
    sound.channels = channels;
    const off_t length = mpg123_length(handle.get());
    sound.seconds = length > 0 ? double(length) / double(rate) : 0;
    return handle;
}

// Decodes until the end or until the samples pass the use's duration, whatever the header said.
SoundLoad decodeMp3(SoundLoad sound, const std::string& fullPath, SoundUse use) {
    SoundLoad opened;
    Mpg123 handle = openMp3(fullPath, opened);
    if (!handle || opened.rate != sound.rate || opened.channels != sound.channels) {
        return refuse(sound, fullPath, "not MPEG audio");
    }
    const auto maxSamples = static_cast<size_t>(secondsCap(use) * sound.rate) * size_t(sound.channels);
    sound.samples.reserve(std::min(maxSamples, static_cast<size_t>(sound.seconds * sound.rate) * sound.channels));
    std::vector<int16_t> buffer(16384);
    for (;;) {
        size_t done = 0;
        const int result = mpg123_read(handle.get(), buffer.data(), buffer.size() * 2, &done);
        sound.samples.insert(sound.samples.end(), buffer.begin(), buffer.begin() + long(done / 2));
        if (sound.samples.size() > maxSamples) {
            return refuse(sound, fullPath, "its samples run past its use's duration");
        }
        if (result == MPG123_DONE) {
            break;
        }
        if (result == MPG123_NEW_FORMAT) {
            return refuse(sound, fullPath, "its format changes");
        }
        if (result != MPG123_OK) {
            if (sound.samples.empty()) {
                return refuse(sound, fullPath, "no MPEG audio decodes");
            }
            break; // a damaged tail: what decoded plays
        }
    }
    if (sound.samples.empty()) {
        return refuse(sound, fullPath, "no MPEG audio decodes");
    }
    sound.seconds = double(sound.samples.size() / size_t(sound.channels)) / sound.rate;
    return sound;
}

} // namespace

SoundLoad checkSound(const std::string& fullPath, SoundUse use) {
    SoundLoad sound;
    std::error_code error;
    if (!std::filesystem::is_regular_file(fullPath, error)) {
        return sound;
    }
    const auto bytes = std::filesystem::file_size(fullPath, error);
    if (bytes > limits::kSoundFileBytes) {
        return refuse(sound, fullPath, "longer than " + std::to_string(limits::kSoundFileBytes) + " bytes");
    }
    sound.status = Status::LOADED;
    const Content content = contentOf(fullPath);
    sound.format = content.format;
    // Only a file that starts as WAV or MP3 goes to the mixer: it would open others with decoders of their own (a
    // MIDI file loads a sound font, seconds of work).
    if (sound.format == Format::NONE) {
        return refuse(sound, fullPath, "not WAV or MP3 content");
    }
    std::string wav;
    if (sound.format == Format::WAV) {
        if (const std::string fault = readWavFile(fullPath, wav); !fault.empty()) {
            return refuse(sound, fullPath, fault);
        }
    }
    bool mixerOpen = false;
    const Format mixerFormat =
        mixerFormatOf(sound.format == Format::WAV ? SDL_RWFromConstMem(wav.data(), int(wav.size()))
                                                  : openFrom(fullPath, content.audioStart),
                      mixerOpen);
    if (mixerOpen && mixerFormat != sound.format) {
        return refuse(sound, fullPath, "not WAV or MP3 content");
    }
    if (sound.format == Format::WAV) {
        sound = readWav(sound, fullPath, wav);
    } else if (!openMp3(fullPath, sound)) {
        return refuse(sound, fullPath, "not MPEG audio");
    }
    if (!sound.ok()) {
        return sound;
    }
    if (use != SoundUse::MUSIC && sound.seconds > secondsCap(use)) {
        return refuse(sound, fullPath, "longer than its use's " + std::to_string(int(secondsCap(use))) + " s");
    }
    if (sound.format == Format::MP3 && sound.seconds <= 0) {
        return refuse(sound, fullPath, "no length");
    }
    return sound;
}

SoundLoad decodeSound(const std::string& fullPath, SoundUse use, SoundLoad checked) {
    if (!checked.ok() || use == SoundUse::MUSIC || checked.format == Format::WAV) {
        return checked;
    }
    return decodeMp3(std::move(checked), fullPath, use);
}

SoundLoad loadSound(const std::string& fullPath, SoundUse use) {
    return decodeSound(fullPath, use, checkSound(fullPath, use));
}

bool wasRefused(const std::string& fullPath) {
    std::lock_guard<std::mutex> lock(g_refusedMutex);
    return g_refused.count(fileKey(fullPath)) != 0;
}

void forgetRefusedSounds() {
    std::lock_guard<std::mutex> lock(g_refusedMutex);
    g_refused.clear();
}

Mix_Chunk* makeChunk(const SoundLoad& sound, int rate, uint16_t format, int channels) {
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, AUDIO_S16SYS, Uint8(sound.channels), sound.rate, format, Uint8(channels), rate) < 0) {
        return nullptr;
    }
    const size_t length = sound.samples.size() * 2;
    cvt.len = int(length);
    cvt.buf = static_cast<Uint8*>(SDL_malloc(std::max<size_t>(length * size_t(std::max(cvt.len_mult, 1)), 1)));
    auto* chunk = static_cast<Mix_Chunk*>(SDL_malloc(sizeof(Mix_Chunk)));
    if (!cvt.buf || !chunk) {
        SDL_free(cvt.buf);
        SDL_free(chunk);
        return nullptr;
    }
    if (length > 0) {
        std::memcpy(cvt.buf, sound.samples.data(), length);
    }
    if (cvt.needed && length > 0 && SDL_ConvertAudio(&cvt) < 0) {
        SDL_free(cvt.buf);
        SDL_free(chunk);
        return nullptr;
    }
    chunk->allocated = 1; // Mix_FreeChunk frees the samples too
    chunk->abuf = cvt.buf;
    chunk->alen = Uint32(cvt.needed && length > 0 ? cvt.len_cvt : cvt.len);
    chunk->volume = MIX_MAX_VOLUME;
    return chunk;
}

Mix_Music* openMusic(const std::string& fullPath) {
    const Content content = contentOf(fullPath);
    if (content.format == Format::WAV) {
        std::string bytes;
        return readWavFile(fullPath, bytes).empty() ? Mix_LoadMUS_RW(openHeld(std::move(bytes)), 1) : nullptr;
    }
    return Mix_LoadMUS_RW(openFrom(fullPath, content.audioStart), 1);
}

} // namespace engine::door
