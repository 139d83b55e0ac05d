#include "lesson/VideoPlaySprite.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vlc/vlc.h>

#include "base/Director.h"
#include "base/Log.h"
#include "platform/FileUtils.h"
#include "render/Renderer.h"

using namespace engine;

namespace {

constexpr float kDesignWidth = 1280.f, kDesignHeight = 720.f;
// Rows of the Y plane start on this many bytes, as libvlc's optimised copies like them.
constexpr int kPitchAlignment = 32;
constexpr uint8_t kBlackLuma = 16, kBlackChroma = 128;

// The U and V planes have half the Y plane's pitch and rows, rounded up, as SDL lays out IYUV.
int chromaPitch(int lumaPitch) {
    return (lumaPitch + 1) / 2;
}
int chromaRows(int rows) {
    return (rows + 1) / 2;
}
size_t lumaBytes(int lumaPitch, int rows) {
    return static_cast<size_t>(lumaPitch) * static_cast<size_t>(rows);
}
size_t chromaBytes(int lumaPitch, int rows) {
    return static_cast<size_t>(chromaPitch(lumaPitch)) * static_cast<size_t>(chromaRows(rows));
}

// Without a sound device (headless, CI) libvlc must not try to open one; it never opens a window of its own
// because the frames go to the memory callbacks.
bool withoutSound() {
    const char* headless = std::getenv("ENGINE_HEADLESS");
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    return (headless && std::strcmp(headless, "1") == 0) || (driver && std::strcmp(driver, "dummy") == 0);
}

// One decoding thread: each further one keeps its own pictures (about 3.5 MB more at 720p) for no saving in CPU
// time, and one thread decodes 720p several times faster than the movie plays. A local file is read 100 ms ahead
// rather than 300: the pictures decoded ahead wait in libvlc's pool, 1.5 MB each at 720p.
libvlc_instance_t* newVlcInstance() {
    if (withoutSound()) {
        const char* const args[] = {
            "--quiet", "--no-video-title-show", "--no-xlib", "--avcodec-threads=1", "--file-caching=100", "--no-audio"};
        return libvlc_new(6, args);
    }
    const char* const args[] = {"--quiet", "--no-video-title-show", "--no-xlib", "--avcodec-threads=1",
                                "--file-caching=100"};
    return libvlc_new(5, args);
}

} // namespace

VideoPlaySprite::~VideoPlaySprite() {
    // The decoder threads end before the buffer and the mutex go.
    releasePlayer();
    if (frameTexture) {
        frameTexture->release();
    }
}

bool VideoPlaySprite::init(const std::string& moviePath, const std::function<void()>& finished) {
    if (!Sprite::init()) {
        return false;
    }
    path = moviePath;
#ifdef _WIN32
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
#endif
    finishedCallback = finished;
    endReached = false;
    // The window's width at the design aspect: a taller window shows the movie undistorted between bars.
    const Size winSize = Director::getInstance()->getWinSize();
    width = static_cast<int>(winSize.width);
    height = static_cast<int>(std::min(winSize.height, winSize.width * kDesignHeight / kDesignWidth));
    setContentSize(Size(static_cast<float>(width), static_cast<float>(height)));
    if (!setupPlayer()) {
        return false;
    }
    scheduleUpdate();
    return true;
}

bool VideoPlaySprite::setupPlayer() {
    if (width <= 0 || height <= 0) {
        return false;
    }
    vlcInstance = newVlcInstance();
    {
        std::lock_guard<std::mutex> guard(frameMutex);
        // Black until the first picture arrives.
        lumaPitch = (width + kPitchAlignment - 1) / kPitchAlignment * kPitchAlignment;
        frameBuffer.assign(lumaBytes(lumaPitch, height) + 2 * chromaBytes(lumaPitch, height), kBlackChroma);
        std::fill_n(frameBuffer.begin(), lumaBytes(lumaPitch, height), kBlackLuma);
    }
    if (!frameTexture) {
        frameTexture = new Texture2D();
    }
    if (frameTexture->initWithYUV(frameBuffer.data(), lumaPitch, width, height)) {
        initWithTexture(frameTexture);
    }
    // Decoded pictures are opaque: copied, not blended, which is several times cheaper.
    setBlendFunc(BlendFunc::DISABLE);
    if (vlcInstance) {
        mediaPlayer = libvlc_media_player_new(vlcInstance);
    }
    if (!vlcInstance || !mediaPlayer) {
        log("error libvlc: cannot make a player for %s", path.c_str());
        releasePlayer();
        return false;
    }
    libvlc_video_set_callbacks(mediaPlayer, &VideoPlaySprite::lockFrame, &VideoPlaySprite::unlockFrame,
                               &VideoPlaySprite::displayFrame, this);
    libvlc_video_set_format_callbacks(mediaPlayer, &VideoPlaySprite::setupFormat, nullptr);
    libvlc_event_manager_t* events = libvlc_media_player_event_manager(mediaPlayer);
    libvlc_event_attach(events, libvlc_MediaPlayerEndReached, &VideoPlaySprite::onVlcEvent, this);
    // A file that cannot be read or decoded ends the movie too, or its owner would wait for good.
    libvlc_event_attach(events, libvlc_MediaPlayerEncounteredError, &VideoPlaySprite::onVlcEvent, this);
    return true;
}

void VideoPlaySprite::play() {
    if (!vlcInstance && !mediaPlayer && setupPlayer()) {
        scheduleUpdate();
    }
    if (!mediaPlayer) {
        return;
    }
    endReached = false;
    // A path found through the search paths is handed to libvlc in full.
    std::string fullPath = FileUtils::getInstance()->fullPathForFilename(path);
    if (fullPath.empty()) {
        fullPath = path;
    }
    libvlc_media_t* media = libvlc_media_new_path(vlcInstance, fullPath.c_str());
    if (!media) {
        log("error libvlc: cannot open %s", path.c_str());
        runFinishedCallback();
        return;
    }
    libvlc_media_player_set_media(mediaPlayer, media);
    libvlc_media_release(media);
    libvlc_media_player_play(mediaPlayer);
}

void VideoPlaySprite::stop() {
    if (mediaPlayer) {
        unscheduleUpdate();
    }
    releasePlayer();
    if (finishedCallback) {
        runFinishedCallback();
    } else if (Node* layer = getParent()) {
        layer->removeFromParentAndCleanup(true);
    }
}

void VideoPlaySprite::releasePlayer() {
    if (mediaPlayer) {
        // Joins the decoder and event threads: no callback runs after this.
        libvlc_media_player_stop(mediaPlayer);
        libvlc_media_player_release(mediaPlayer);
        mediaPlayer = nullptr;
    }
    if (vlcInstance) {
        libvlc_release(vlcInstance);
        vlcInstance = nullptr;
    }
}

void VideoPlaySprite::runFinishedCallback() {
    auto callback = std::move(finishedCallback);
    finishedCallback = nullptr;
    if (callback) {
        callback();
    }
}

void VideoPlaySprite::update(float) {
    if (endReached && finishedCallback) {
        runFinishedCallback();
    }
}

void VideoPlaySprite::draw(Renderer* renderer, const Mat4& transform, uint32_t flags) {
    if (!frameTexture || frameBuffer.empty() || !Renderer::checkVisibility(transform, getContentSize())) {
        return;
    }
    // Only a picture the decoder wrote since the last upload is uploaded: a paused or ended movie costs nothing.
    if (decodedFrames.load() != uploadedFrame) {
        std::lock_guard<std::mutex> guard(frameMutex);
        const uint64_t frame = decodedFrames.load();
        if (frameTexture->initWithYUV(frameBuffer.data(), lumaPitch, width, height)) {
            uploadedFrame = frame;
            ++shownFrames;
        }
    }
    if (getTexture() != frameTexture) {
        setTexture(frameTexture);
    }
    Sprite::draw(renderer, transform, flags);
}

unsigned VideoPlaySprite::setupFormat(void** opaque, char* chroma, unsigned* pixelsWide, unsigned* pixelsHigh,
                                      unsigned* pitches, unsigned* lines) {
    // The buffer was sized on the main thread; libvlc scales a movie of another size into it.
    const auto* sprite = static_cast<const VideoPlaySprite*>(*opaque);
    std::memcpy(chroma, "I420", 4);
    *pixelsWide = static_cast<unsigned>(sprite->width);
    *pixelsHigh = static_cast<unsigned>(sprite->height);
    pitches[0] = static_cast<unsigned>(sprite->lumaPitch);
    pitches[1] = pitches[2] = static_cast<unsigned>(chromaPitch(sprite->lumaPitch));
    lines[0] = static_cast<unsigned>(sprite->height);
    lines[1] = lines[2] = static_cast<unsigned>(chromaRows(sprite->height));
    return 1;
}

void* VideoPlaySprite::lockFrame(void* opaque, void** planes) {
    auto* sprite = static_cast<VideoPlaySprite*>(opaque);
    sprite->frameMutex.lock();
    uint8_t* luma = sprite->frameBuffer.data();
    planes[0] = luma;
    planes[1] = luma + lumaBytes(sprite->lumaPitch, sprite->height);
    planes[2] = static_cast<uint8_t*>(planes[1]) + chromaBytes(sprite->lumaPitch, sprite->height);
    return nullptr;
}

void VideoPlaySprite::unlockFrame(void* opaque, void*, void* const*) {
    auto* sprite = static_cast<VideoPlaySprite*>(opaque);
    sprite->decodedFrames.fetch_add(1);
    sprite->frameMutex.unlock();
}

void VideoPlaySprite::displayFrame(void*, void*) {}

void VideoPlaySprite::onVlcEvent(const libvlc_event_t* event, void* opaque) {
    if (event->type == libvlc_MediaPlayerEndReached || event->type == libvlc_MediaPlayerEncounteredError) {
        static_cast<VideoPlaySprite*>(opaque)->endReached = true;
    }
}
