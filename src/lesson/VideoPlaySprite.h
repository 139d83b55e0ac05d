// A sprite that shows a movie: libvlc decodes into one window-sized planar YUV 4:2:0 buffer, a draw converts that
// buffer into the sprite's texture when a new picture arrived, and the end of the movie reaches the owner in a
// per-frame update on the main thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "scene/Sprite.h"

struct libvlc_instance_t;
struct libvlc_media_player_t;
struct libvlc_event_t;

class VideoPlaySprite : public engine::Sprite {
public:
    VideoPlaySprite() = default;
    ~VideoPlaySprite() override;

    void draw(engine::Renderer* renderer, const engine::Mat4& transform, uint32_t flags) override;
    void update(float dt) override;
    // Keeps the path and the end callback, sizes the sprite to the window and sets libvlc up. False when the
    // sprite or libvlc cannot be made: such a sprite must not be used.
    using engine::Sprite::init;
    virtual bool init(const std::string& path, const std::function<void()>& finished);

    // Makes the libvlc instance and player and the frame buffer; false when libvlc cannot be made.
    bool setupPlayer();
    // Plays the movie from its beginning, setting libvlc up again after stop. A movie that cannot be opened
    // ends at once: the end callback runs (on the main thread) and is emptied.
    void play();
    // Stops and releases libvlc, then runs the end callback once, or, without one, closes the parent layer.
    void stop();

    libvlc_media_player_t* getMediaPlayer() const { return mediaPlayer; }
    const std::string& getPath() const { return path; }
    // The movie played to its end or could not be played.
    bool isEndReached() const { return endReached.load(); }
    // Pictures libvlc has written so far, and how many of them were uploaded at least once.
    uint64_t getDecodedFrameCount() const { return decodedFrames.load(); }
    uint64_t getShownFrameCount() const { return shownFrames; }

    // libvlc callbacks; opaque is the sprite. The format callback asks for the sprite's size in I420.
    static unsigned setupFormat(void** opaque, char* chroma, unsigned* pixelsWide, unsigned* pixelsHigh,
                                unsigned* pitches, unsigned* lines);
    static void* lockFrame(void* opaque, void** planes);
    static void unlockFrame(void* opaque, void* picture, void* const* planes);
    static void displayFrame(void* opaque, void* picture);
    static void onVlcEvent(const libvlc_event_t* event, void* opaque);

private:
    void releasePlayer();
    void runFinishedCallback();

    std::string path;
    libvlc_instance_t* vlcInstance = nullptr;
    libvlc_media_player_t* mediaPlayer = nullptr;
    // The Y plane (lumaPitch bytes a row), then U and V (half the pitch, half the rows), as SDL lays out IYUV.
    std::vector<uint8_t> frameBuffer;
    int lumaPitch = 0;
    std::atomic<bool> endReached{false};
    std::function<void()> finishedCallback;

    int width = 0;
    int height = 0;
    // Held by the decoder from lock to unlock and by the main thread while it uploads.
    std::mutex frameMutex;
    // The one streaming texture every frame is uploaded into.
    engine::Texture2D* frameTexture = nullptr;
    std::atomic<uint64_t> decodedFrames{0};
    uint64_t uploadedFrame = 0;
    uint64_t shownFrames = 0;
};
