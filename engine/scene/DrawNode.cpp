#include "scene/DrawNode.h"

#include <algorithm>

#include "base/Log.h"
#include "render/Renderer.h"

namespace engine {

DrawNode* DrawNode::create(float defaultLineWidth) {
    auto* node = new (std::nothrow) DrawNode();
    if (!node) {
        return nullptr;
    }
    node->_lineWidth = defaultLineWidth;
    node->autorelease();
    return node;
}

void DrawNode::drawLine(const Vec2& from, const Vec2& to, const Color4F& color) {
    _primitives.push_back({Kind::Line, {from, to}, _lineWidth, color});
}

void DrawNode::drawDot(const Vec2& pos, float radius, const Color4F& color) {
    _primitives.push_back({Kind::Dot, {pos}, radius, color});
}

void DrawNode::drawSolidPoly(const Vec2* points, unsigned int count, const Color4F& color) {
    if (!points || count < 3) {
        log("DrawNode: a polygon needs 3 points, got %u", points ? count : 0u);
        return;
    }
    _primitives.push_back({Kind::Polygon, std::vector<Vec2>(points, points + count), 0.f, color});
}

void DrawNode::drawPolygon(const Vec2* points, int count, const Color4F& fillColor, float borderWidth,
                           const Color4F& borderColor) {
    if (!points || count < 3) {
        log("DrawNode: a polygon needs 3 points, got %d", points ? count : 0);
        return;
    }
    if (fillColor.a > 0.f) {
        drawSolidPoly(points, static_cast<unsigned int>(count), fillColor);
    }
    if (borderWidth > 0.f && borderColor.a > 0.f) {
        for (int i = 0; i < count; ++i) {
            _primitives.push_back({Kind::Line, {points[i], points[(i + 1) % count]}, borderWidth, borderColor});
        }
    }
}

void DrawNode::drawSolidRect(const Vec2& origin, const Vec2& destination, const Color4F& color) {
    const Vec2 corners[4] = {origin, Vec2(destination.x, origin.y), destination, Vec2(origin.x, destination.y)};
    drawSolidPoly(corners, 4, color);
}

void DrawNode::clear() {
    _primitives.clear();
}

void DrawNode::draw(Renderer* renderer, const Mat4& transform, uint32_t) {
    const float opacity = _displayedOpacity / 255.f;
    for (const Primitive& p : _primitives) {
        Color4F tinted = p.color;
        tinted.a = std::clamp(tinted.a, 0.f, 1.f) * opacity;
        const Color4B color(tinted);
        switch (p.kind) {
        case Kind::Line:
            renderer->drawLine(transform, p.points[0], p.points[1], p.size, color);
            break;
        case Kind::Dot:
            renderer->drawDot(transform, p.points[0], p.size, color);
            break;
        case Kind::Polygon:
            renderer->drawSolidPolygon(transform, p.points, color);
            break;
        }
    }
}

} // namespace engine
