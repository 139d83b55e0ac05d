#include "net/MovieFile.h"

#include <vlc/vlc.h>

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <fstream>
#include <mutex>

#include "net/NetLimits.h"
#include "base/Log.h"

namespace MovieFile {

namespace {

constexpr size_t kHeadBytes = 377; // three MPEG transport packets' sync bytes
constexpr size_t kTransportPacket = 188;

bool startsWith(const std::string& head, size_t at, const char* magic, size_t length) {
    return head.size() >= at + length && std::memcmp(head.data() + at, magic, length) == 0;
}

// ISO media starts with a box: a 32-bit size (0: to the end, 1: 64-bit size follows, else at least 8) and a type.
bool isIsoMedia(const std::string& head) {
    static const std::array<const char*, 7> kFirstBoxes = {"ftyp", "moov", "mdat", "free", "skip", "wide", "pnot"};
    if (head.size() < 8) {
        return false;
    }
    const auto byte = [&](size_t i) { return static_cast<uint32_t>(static_cast<unsigned char>(head[i])); };
    const uint32_t size = byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
    if (size > 1 && size < 8) {
        return false;
    }
    for (const char* box : kFirstBoxes) {
        if (startsWith(head, 4, box, 4)) {
            return true;
        }
    }
    return false;
}

bool isTransportStream(const std::string& head) {
    for (size_t at = 0; at < 3; ++at) {
        if (head.size() <= at * kTransportPacket || head[at * kTransportPacket] != 0x47) {
            return false;
        }
    }
    return true;
}

// libvlc's parse of a local file, waited for on this thread.
class Parse {
public:
    explicit Parse(libvlc_media_t* media) : media(media) {
        libvlc_event_attach(libvlc_media_event_manager(media), libvlc_MediaParsedChanged, &Parse::onParsed, this);
    }
    ~Parse() {
        libvlc_event_detach(libvlc_media_event_manager(media), libvlc_MediaParsedChanged, &Parse::onParsed, this);
    }
    Parse(const Parse&) = delete;
    Parse& operator=(const Parse&) = delete;

    bool run() {
        if (libvlc_media_parse_with_options(media, libvlc_media_parse_local, netlimits::kMovieParseMs) != 0) {
            return false;
        }
        std::unique_lock<std::mutex> lock(mutex);
        // The parse ends itself at its time-out; the wait only guards against a lost event.
        if (!ended.wait_for(lock, std::chrono::milliseconds(2 * netlimits::kMovieParseMs),
                            [this] { return done; })) {
            libvlc_media_parse_stop(media);
            return false;
        }
        return libvlc_media_get_parsed_status(media) == libvlc_media_parsed_status_done;
    }

private:
    static void onParsed(const libvlc_event_t*, void* opaque) {
        auto* parse = static_cast<Parse*>(opaque);
        std::lock_guard<std::mutex> lock(parse->mutex);
        parse->done = true;
        parse->ended.notify_all();
    }

    libvlc_media_t* media;
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
};

// A video track whose picture fits the player (a size the parse does not give is not held against it).
bool hasShowableVideo(libvlc_media_t* media, const std::string& path) {
    libvlc_media_track_t** tracks = nullptr;
    const unsigned count = libvlc_media_tracks_get(media, &tracks);
    bool video = false;
    for (unsigned i = 0; i < count && !video; ++i) {
        if (tracks[i]->i_type != libvlc_track_video) {
            continue;
        }
        const unsigned width = tracks[i]->video->i_width;
        const unsigned height = tracks[i]->video->i_height;
        video = width <= netlimits::kMovieWidth && height <= netlimits::kMovieHeight;
        if (!video) {
            engine::log("MovieFile: %s is %ux%u, larger than %ux%u", path.c_str(), width, height,
                        netlimits::kMovieWidth, netlimits::kMovieHeight);
        }
    }
    if (tracks != nullptr) {
        libvlc_media_tracks_release(tracks, count);
    }
    return video;
}

} // namespace

bool hasMovieHead(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string head(kHeadBytes, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<size_t>(in.gcount()));
    return isIsoMedia(head) || startsWith(head, 0, "\x1A\x45\xDF\xA3", 4) ||
           (startsWith(head, 0, "RIFF", 4) && startsWith(head, 8, "AVI ", 4)) || isTransportStream(head) ||
           startsWith(head, 0, "\x00\x00\x01\xBA", 4) || startsWith(head, 0, "FLV\x01", 4) ||
           startsWith(head, 0, "\x30\x26\xB2\x75\x8E\x66\xCF\x11", 8) || startsWith(head, 0, "OggS", 4);
}

bool isPlayable(const std::string& path) {
    if (!hasMovieHead(path)) {
        return false;
    }
    const char* const args[] = {"--quiet", "--no-xlib", "--no-audio", "--no-video"};
    libvlc_instance_t* vlc = libvlc_new(4, args);
    if (vlc == nullptr) {
        engine::log("MovieFile: libvlc cannot be made to check %s", path.c_str());
        return false;
    }
    bool playable = false;
    if (libvlc_media_t* media = libvlc_media_new_path(vlc, path.c_str())) {
        {
            Parse parse(media);
            // A movie has a picture and a length; a head followed by anything else gives neither.
            playable = parse.run() && hasShowableVideo(media, path) && libvlc_media_get_duration(media) > 0;
        }
        libvlc_media_release(media);
    }
    libvlc_release(vlc);
    return playable;
}

} // namespace MovieFile
