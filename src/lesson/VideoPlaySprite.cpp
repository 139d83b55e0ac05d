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

// Without a sound device (headless, CI) libvlc must not try to open one; it never opens a window of its own
// because the frames go to the memory callbacks.
bool withoutSound() {
    const char* headless = std::getenv("ENGINE_HEADLESS");
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    return (headless && std::strcmp(headless, "1") == 0) || (driver && std::strcmp(driver, "dummy") == 0);
}

libvlc_instance_t* newVlcInstance() {
    if (withoutSound()) {
        const char* const args[] = {"--quiet", "--no-video-title-show", "--no-xlib", "--no-audio"};
        return libvlc_new(4, args);
    }
    const char* const args[] = {"--quiet", "--no-video-title-show", "--no-xlib"};
    return libvlc_new(3, args);
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
        // Opaque black until the first picture arrives.
        frameBuffer.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0);
        for (size_t alpha = 3; alpha < frameBuffer.size(); alpha += 4) {
            frameBuffer[alpha] = 0xff;
        }
    }
    if (!frameTexture) {
        frameTexture = new Texture2D();
    }
    const Size pixels(static_cast<float>(width), static_cast<float>(height));
    if (frameTexture->initWithData(frameBuffer.data(), static_cast<ssize_t>(frameBuffer.size()),
                                   Texture2D::PixelFormat::RGBA8888, width, height, pixels)) {
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
    libvlc_video_set_format(mediaPlayer, "RGBA", static_cast<unsigned>(width), static_cast<unsigned>(height),
                            static_cast<unsigned>(width) * 4);
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
        const Size pixels(static_cast<float>(width), static_cast<float>(height));
        const uint64_t frame = decodedFrames.load();
        if (frameTexture->initWithData(frameBuffer.data(), static_cast<ssize_t>(frameBuffer.size()),
                                       Texture2D::PixelFormat::RGBA8888, width, height, pixels)) {
            uploadedFrame = frame;
            ++shownFrames;
        }
    }
    if (getTexture() != frameTexture) {
        setTexture(frameTexture);
    }
    Sprite::draw(renderer, transform, flags);
}

void* VideoPlaySprite::lockFrame(void* opaque, void** planes) {
    auto* sprite = static_cast<VideoPlaySprite*>(opaque);
    sprite->frameMutex.lock();
    planes[0] = sprite->frameBuffer.data();
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
