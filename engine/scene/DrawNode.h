// A node that keeps a list of lines, dots and filled polygons in its own space and draws them every frame.
#pragma once

#include <vector>

#include "scene/Node.h"

namespace engine {

class DrawNode : public Node {
public:
    static DrawNode* create(float defaultLineWidth = 2.f);

    // A quad of the default line width.
    void drawLine(const Vec2& from, const Vec2& to, const Color4F& color);
    void drawDot(const Vec2& pos, float radius, const Color4F& color);
    // A convex polygon; fewer than 3 points are refused with a log line.
    void drawSolidPoly(const Vec2* points, unsigned int count, const Color4F& color);
    // Filled, then outlined with lines of borderWidth (no outline when borderWidth <= 0).
    void drawPolygon(const Vec2* points, int count, const Color4F& fillColor, float borderWidth,
                     const Color4F& borderColor);
    void drawSolidRect(const Vec2& origin, const Vec2& destination, const Color4F& color);
    // Removes everything drawn so far.
    void clear();

    void setLineWidth(float width) { _lineWidth = width; }
    float getLineWidth() const { return _lineWidth; }

    void draw(Renderer* renderer, const Mat4& transform, uint32_t flags) override;

protected:
    DrawNode() = default;

    enum class Kind { Line, Dot, Polygon };
    struct Primitive {
        Kind kind;
        std::vector<Vec2> points;
        float size; // line width or dot radius
        Color4F color;
    };

    std::vector<Primitive> _primitives;
    float _lineWidth = 2.f;
};

} // namespace engine
