// The drawing calls of one frame of the main target: kept to be drawn at the end of the frame, and compared with
// those of the frame drawn before, which need not be drawn again when they are the same.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/Geometry.h"

namespace engine {

class Texture2D;

class FrameRecord {
public:
    enum class Kind : uint8_t { Texture, Polygon, Erase, PushClip, PopClip };
    struct Command {
        Kind kind = Kind::Texture;
        Texture2D* texture = nullptr;
        uint64_t revision = 0; // of the texture's pixels
        Rect rect;             // the texture's source, or the clip rectangle
        Mat4 transform;
        Size size;
        Color4B color;
        BlendFunc blend;
        uint32_t first = 0, count = 0; // polygon points
        bool sameAs(const Command& other) const;
    };

    FrameRecord() = default;
    ~FrameRecord() { clear(); }
    FrameRecord(const FrameRecord&) = delete;
    FrameRecord& operator=(const FrameRecord&) = delete;

    void begin(const Color4B& clearColor, const Size& targetPixels, float pixelsPerPoint);
    // Textures are retained until releaseTextures(): a node may drop one before the frame is drawn.
    void addTexture(Texture2D* texture, const Rect& source, const Mat4& transform, const Size& size,
                    const Color4B& color, const BlendFunc& blend);
    void addPolygon(const Mat4& transform, const Vec2* points, size_t count, const Color4B& color);
    void addErase(const Mat4& transform, const Size& size);
    void addPushClip(const Rect& worldRect);
    void addPopClip();

    // The same calls with the same arguments on the same target, textures with the same pixels.
    bool sameAs(const FrameRecord& other) const;
    // The same for the first `count` calls of both.
    bool samePrefix(const FrameRecord& other, size_t count) const;
    // Keeps the calls for comparison only.
    void releaseTextures();
    void clear();
    void swap(FrameRecord& other);

    const std::vector<Command>& commands() const { return _commands; }
    const Vec2* points(const Command& command) const { return _points.data() + command.first; }
    const Color4B& clearColor() const { return _clearColor; }

private:
    std::vector<Command> _commands;
    std::vector<Vec2> _points;
    Color4B _clearColor;
    Size _targetPixels;
    float _pixelsPerPoint = 0.f;
    bool _retained = false;
};

} // namespace engine
