// Points, sizes, rectangles, colours and the 2D transform.
#pragma once

#include <cstdint>

namespace engine {

using GLubyte = uint8_t;

struct Vec2 {
    float x = 0, y = 0;
    constexpr Vec2() = default;
    constexpr Vec2(float x_, float y_) : x(x_), y(y_) {}

    Vec2 operator+(const Vec2& o) const { return {x + o.x, y + o.y}; }
    Vec2 operator-(const Vec2& o) const { return {x - o.x, y - o.y}; }
    Vec2 operator-() const { return {-x, -y}; }
    Vec2 operator*(float s) const { return {x * s, y * s}; }
    Vec2 operator/(float s) const { return {x / s, y / s}; }
    Vec2& operator+=(const Vec2& o) { x += o.x; y += o.y; return *this; }
    Vec2& operator-=(const Vec2& o) { x -= o.x; y -= o.y; return *this; }
    Vec2& operator*=(float s) { x *= s; y *= s; return *this; }
    bool operator==(const Vec2& o) const { return x == o.x && y == o.y; }
    bool operator!=(const Vec2& o) const { return !(*this == o); }
    bool equals(const Vec2& o) const { return *this == o; }
    float distance(const Vec2& o) const;
    float length() const;
    float getDistance(const Vec2& o) const { return distance(o); }

    static const Vec2 ZERO;
    static const Vec2 ANCHOR_MIDDLE;
    static const Vec2 ANCHOR_BOTTOM_LEFT;
    static const Vec2 ANCHOR_TOP_LEFT;
    static const Vec2 ANCHOR_BOTTOM_RIGHT;
    static const Vec2 ANCHOR_TOP_RIGHT;
    static const Vec2 ANCHOR_MIDDLE_LEFT;
    static const Vec2 ANCHOR_MIDDLE_RIGHT;
    static const Vec2 ANCHOR_MIDDLE_TOP;
    static const Vec2 ANCHOR_MIDDLE_BOTTOM;
};
inline Vec2 operator*(float s, const Vec2& v) { return v * s; }
using Point = Vec2;

struct Size {
    float width = 0, height = 0;
    constexpr Size() = default;
    constexpr Size(float w, float h) : width(w), height(h) {}
    Size operator*(float s) const { return {width * s, height * s}; }
    Size operator/(float s) const { return {width / s, height / s}; }
    Size operator+(const Size& o) const { return {width + o.width, height + o.height}; }
    Size operator-(const Size& o) const { return {width - o.width, height - o.height}; }
    bool operator==(const Size& o) const { return width == o.width && height == o.height; }
    bool operator!=(const Size& o) const { return !(*this == o); }
    bool equals(const Size& o) const { return *this == o; }
    static const Size ZERO;
};

struct Rect {
    Vec2 origin;
    Size size;
    constexpr Rect() = default;
    constexpr Rect(float x, float y, float w, float h) : origin(x, y), size(w, h) {}
    constexpr Rect(const Vec2& o, const Size& s) : origin(o), size(s) {}
    float getMinX() const { return origin.x; }
    float getMaxX() const { return origin.x + size.width; }
    float getMidX() const { return origin.x + size.width / 2; }
    float getMinY() const { return origin.y; }
    float getMaxY() const { return origin.y + size.height; }
    float getMidY() const { return origin.y + size.height / 2; }
    // Edges count as inside.
    bool containsPoint(const Vec2& p) const;
    bool intersectsRect(const Rect& r) const;
    bool equals(const Rect& r) const { return origin == r.origin && size == r.size; }
    bool operator==(const Rect& r) const { return equals(r); }
    static const Rect ZERO;
};

struct Color4B;
struct Color4F;

struct Color3B {
    GLubyte r = 255, g = 255, b = 255;
    constexpr Color3B() = default;
    constexpr Color3B(GLubyte r_, GLubyte g_, GLubyte b_) : r(r_), g(g_), b(b_) {}
    explicit Color3B(const Color4B& c);
    bool operator==(const Color3B& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Color3B& o) const { return !(*this == o); }
    static const Color3B WHITE, BLACK, RED, GREEN, BLUE, YELLOW, GRAY, ORANGE, MAGENTA;
};

struct Color4B {
    GLubyte r = 0, g = 0, b = 0, a = 0;
    constexpr Color4B() = default;
    constexpr Color4B(GLubyte r_, GLubyte g_, GLubyte b_, GLubyte a_) : r(r_), g(g_), b(b_), a(a_) {}
    Color4B(const Color3B& c, GLubyte a_ = 255) : r(c.r), g(c.g), b(c.b), a(a_) {}
    explicit Color4B(const Color4F& c);
    bool operator==(const Color4B& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
    bool operator!=(const Color4B& o) const { return !(*this == o); }
    static const Color4B WHITE, BLACK, RED, GREEN, BLUE, YELLOW, GRAY;
};

struct Color4F {
    float r = 0, g = 0, b = 0, a = 0;
    constexpr Color4F() = default;
    constexpr Color4F(float r_, float g_, float b_, float a_) : r(r_), g(g_), b(b_), a(a_) {}
    Color4F(const Color4B& c) : r(c.r / 255.f), g(c.g / 255.f), b(c.b / 255.f), a(c.a / 255.f) {}
    Color4F(const Color3B& c, float a_ = 1.f) : r(c.r / 255.f), g(c.g / 255.f), b(c.b / 255.f), a(a_) {}
    bool operator==(const Color4F& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
    static const Color4F WHITE, BLACK, RED, GREEN, BLUE;
};

// A 2D affine transform kept in a column-major 4x4 shell: x' = m[0]x + m[4]y + m[12], y' = m[1]x + m[5]y + m[13].
struct Mat4 {
    float m[16];
    Mat4();
    static const Mat4 IDENTITY;
    static Mat4 translation(float x, float y);
    static Mat4 scaling(float sx, float sy);
    // Clockwise positive degrees, as nodes rotate.
    static Mat4 rotationClockwise(float degrees);
    Mat4 operator*(const Mat4& o) const;
    Vec2 transformPoint(const Vec2& p) const;
    Mat4 getInversed() const;
};

enum class BlendFactor { ZERO, ONE, SRC_ALPHA, ONE_MINUS_SRC_ALPHA, DST_ALPHA, ONE_MINUS_DST_ALPHA };

struct BlendFunc {
    BlendFactor src = BlendFactor::ONE;
    BlendFactor dst = BlendFactor::ONE_MINUS_SRC_ALPHA;
    bool operator==(const BlendFunc& o) const { return src == o.src && dst == o.dst; }
    bool operator!=(const BlendFunc& o) const { return !(*this == o); }
    static const BlendFunc ALPHA_PREMULTIPLIED;
    static const BlendFunc ALPHA_NON_PREMULTIPLIED;
    // The drawing board's eraser: clears what lies under the stamp.
    static const BlendFunc ERASE;
    // No blending: the picture replaces what lies under it (opaque video frames).
    static const BlendFunc DISABLE;
};

} // namespace engine
