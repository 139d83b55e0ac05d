#include "base/Geometry.h"

#include <algorithm>
#include <cmath>

namespace engine {

const Vec2 Vec2::ZERO(0, 0);
const Vec2 Vec2::ANCHOR_MIDDLE(0.5f, 0.5f);
const Vec2 Vec2::ANCHOR_BOTTOM_LEFT(0, 0);
const Vec2 Vec2::ANCHOR_TOP_LEFT(0, 1);
const Vec2 Vec2::ANCHOR_BOTTOM_RIGHT(1, 0);
const Vec2 Vec2::ANCHOR_TOP_RIGHT(1, 1);
const Vec2 Vec2::ANCHOR_MIDDLE_LEFT(0, 0.5f);
const Vec2 Vec2::ANCHOR_MIDDLE_RIGHT(1, 0.5f);
const Vec2 Vec2::ANCHOR_MIDDLE_TOP(0.5f, 1);
const Vec2 Vec2::ANCHOR_MIDDLE_BOTTOM(0.5f, 0);
const Size Size::ZERO(0, 0);
const Rect Rect::ZERO(0, 0, 0, 0);

const Color3B Color3B::WHITE(255, 255, 255), Color3B::BLACK(0, 0, 0), Color3B::RED(255, 0, 0),
    Color3B::GREEN(0, 255, 0), Color3B::BLUE(0, 0, 255), Color3B::YELLOW(255, 255, 0), Color3B::GRAY(166, 166, 166),
    Color3B::ORANGE(255, 127, 0), Color3B::MAGENTA(255, 0, 255);
const Color4B Color4B::WHITE(255, 255, 255, 255), Color4B::BLACK(0, 0, 0, 255), Color4B::RED(255, 0, 0, 255),
    Color4B::GREEN(0, 255, 0, 255), Color4B::BLUE(0, 0, 255, 255), Color4B::YELLOW(255, 255, 0, 255),
    Color4B::GRAY(166, 166, 166, 255);
const Color4F Color4F::WHITE(1, 1, 1, 1), Color4F::BLACK(0, 0, 0, 1), Color4F::RED(1, 0, 0, 1),
    Color4F::GREEN(0, 1, 0, 1), Color4F::BLUE(0, 0, 1, 1);

const BlendFunc BlendFunc::ALPHA_PREMULTIPLIED{BlendFactor::ONE, BlendFactor::ONE_MINUS_SRC_ALPHA};
const BlendFunc BlendFunc::ALPHA_NON_PREMULTIPLIED{BlendFactor::SRC_ALPHA, BlendFactor::ONE_MINUS_SRC_ALPHA};
const BlendFunc BlendFunc::ERASE{BlendFactor::ZERO, BlendFactor::ONE_MINUS_DST_ALPHA};
const BlendFunc BlendFunc::DISABLE{BlendFactor::ONE, BlendFactor::ZERO};

float Vec2::distance(const Vec2& o) const { return std::hypot(x - o.x, y - o.y); }
float Vec2::length() const { return std::hypot(x, y); }

bool Rect::containsPoint(const Vec2& p) const {
    return p.x >= getMinX() && p.x <= getMaxX() && p.y >= getMinY() && p.y <= getMaxY();
}

bool Rect::intersectsRect(const Rect& r) const {
    return !(getMaxX() < r.getMinX() || r.getMaxX() < getMinX() || getMaxY() < r.getMinY() ||
             r.getMaxY() < getMinY());
}

Color3B::Color3B(const Color4B& c) : r(c.r), g(c.g), b(c.b) {}

static GLubyte toByte(float v) { return static_cast<GLubyte>(std::clamp(v, 0.f, 1.f) * 255.f + 0.5f); }

Color4B::Color4B(const Color4F& c) : r(toByte(c.r)), g(toByte(c.g)), b(toByte(c.b)), a(toByte(c.a)) {}

Mat4::Mat4() {
    std::fill(m, m + 16, 0.f);
    m[0] = m[5] = m[10] = m[15] = 1.f;
}

const Mat4 Mat4::IDENTITY;

Mat4 Mat4::translation(float x, float y) {
    Mat4 t;
    t.m[12] = x;
    t.m[13] = y;
    return t;
}

Mat4 Mat4::scaling(float sx, float sy) {
    Mat4 t;
    t.m[0] = sx;
    t.m[5] = sy;
    return t;
}

Mat4 Mat4::rotationClockwise(float degrees) {
    const double rad = -degrees * M_PI / 180.0;
    const float c = static_cast<float>(std::cos(rad)), s = static_cast<float>(std::sin(rad));
    Mat4 t;
    t.m[0] = c;
    t.m[1] = s;
    t.m[4] = -s;
    t.m[5] = c;
    return t;
}

Mat4 Mat4::operator*(const Mat4& o) const {
    Mat4 r;
    for (int col = 0; col < 4; ++col) {
        for (int row = 0; row < 4; ++row) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) {
                sum += m[k * 4 + row] * o.m[col * 4 + k];
            }
            r.m[col * 4 + row] = sum;
        }
    }
    return r;
}

Vec2 Mat4::transformPoint(const Vec2& p) const {
    return {m[0] * p.x + m[4] * p.y + m[12], m[1] * p.x + m[5] * p.y + m[13]};
}

Mat4 Mat4::getInversed() const {
    const float a = m[0], b = m[1], c = m[4], d = m[5], tx = m[12], ty = m[13];
    const float det = a * d - b * c;
    Mat4 r;
    if (det == 0.f) {
        // Degenerate (scaled to zero): nothing maps back; send everything to the origin far away.
        r.m[0] = r.m[5] = 0.f;
        r.m[12] = r.m[13] = -1e30f;
        return r;
    }
    const float inv = 1.f / det;
    r.m[0] = d * inv;
    r.m[1] = -b * inv;
    r.m[4] = -c * inv;
    r.m[5] = a * inv;
    r.m[12] = (c * ty - d * tx) * inv;
    r.m[13] = (b * tx - a * ty) * inv;
    return r;
}

} // namespace engine
