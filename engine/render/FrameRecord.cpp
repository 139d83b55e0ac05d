#include "render/FrameRecord.h"

#include <cstring>

#include "render/Texture2D.h"

namespace engine {

bool FrameRecord::Command::sameAs(const Command& o) const {
    // Bitwise for the transform: the same node state gives the same floats.
    return kind == o.kind && texture == o.texture && revision == o.revision && rect.origin == o.rect.origin &&
           rect.size == o.rect.size && size == o.size && color == o.color && blend == o.blend && count == o.count &&
           std::memcmp(transform.m, o.transform.m, sizeof transform.m) == 0;
}

void FrameRecord::begin(const Color4B& clearColor, const Size& targetPixels, float pixelsPerPoint) {
    clear();
    _clearColor = clearColor;
    _targetPixels = targetPixels;
    _pixelsPerPoint = pixelsPerPoint;
    _retained = true;
}

void FrameRecord::addTexture(Texture2D* texture, const Rect& source, const Mat4& transform, const Size& size,
                             const Color4B& color, const BlendFunc& blend) {
    Command command;
    command.kind = Kind::Texture;
    command.texture = texture;
    command.revision = texture->getRevision();
    command.rect = source;
    command.transform = transform;
    command.size = size;
    command.color = color;
    command.blend = blend;
    texture->retain();
    _commands.push_back(command);
}

void FrameRecord::addPolygon(const Mat4& transform, const Vec2* points, size_t count, const Color4B& color) {
    Command command;
    command.kind = Kind::Polygon;
    command.transform = transform;
    command.color = color;
    command.first = static_cast<uint32_t>(_points.size());
    command.count = static_cast<uint32_t>(count);
    _points.insert(_points.end(), points, points + count);
    _commands.push_back(command);
}

void FrameRecord::addErase(const Mat4& transform, const Size& size) {
    Command command;
    command.kind = Kind::Erase;
    command.transform = transform;
    command.size = size;
    _commands.push_back(command);
}

void FrameRecord::addPushClip(const Rect& worldRect) {
    Command command;
    command.kind = Kind::PushClip;
    command.rect = worldRect;
    _commands.push_back(command);
}

void FrameRecord::addPopClip() {
    Command command;
    command.kind = Kind::PopClip;
    _commands.push_back(command);
}

bool FrameRecord::sameAs(const FrameRecord& o) const {
    return _commands.size() == o._commands.size() && _points.size() == o._points.size() &&
           samePrefix(o, _commands.size());
}

bool FrameRecord::samePrefix(const FrameRecord& o, size_t count) const {
    if (count > _commands.size() || count > o._commands.size() || !(_clearColor == o._clearColor) ||
        !(_targetPixels == o._targetPixels) || _pixelsPerPoint != o._pixelsPerPoint) {
        return false;
    }
    // Polygons keep their points in order: those of the first calls come first.
    size_t points = 0;
    for (size_t i = 0; i < count; ++i) {
        if (!_commands[i].sameAs(o._commands[i])) {
            return false;
        }
        if (_commands[i].kind == Kind::Polygon) {
            points = _commands[i].first + _commands[i].count;
        }
    }
    return points == 0 || std::memcmp(_points.data(), o._points.data(), points * sizeof(Vec2)) == 0;
}

void FrameRecord::releaseTextures() {
    if (!_retained) {
        return;
    }
    _retained = false;
    for (const Command& command : _commands) {
        if (command.texture) {
            command.texture->release();
        }
    }
}

void FrameRecord::clear() {
    releaseTextures();
    _commands.clear();
    _points.clear();
}

void FrameRecord::swap(FrameRecord& o) {
    _commands.swap(o._commands);
    _points.swap(o._points);
    std::swap(_clearColor, o._clearColor);
    std::swap(_targetPixels, o._targetPixels);
    std::swap(_pixelsPerPoint, o._pixelsPerPoint);
    std::swap(_retained, o._retained);
}

} // namespace engine
