#include "render/Renderer.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>

#include "base/Director.h"
#include "base/Log.h"
#include "render/Texture2D.h"

namespace engine {

namespace {
SDL_Color toSDL(const Color4B& c) {
    return SDL_Color{c.r, c.g, c.b, c.a};
}
} // namespace

Renderer::Renderer(SDL_Renderer* renderer, Size targetPixels, float pixelsPerPoint) : _renderer(renderer) {
    _targetStack.push_back({nullptr, targetPixels, pixelsPerPoint > 0.f ? pixelsPerPoint : 1.f});
    SDL_SetRenderDrawBlendMode(_renderer, SDL_BLENDMODE_BLEND);
}

Renderer::~Renderer() = default;

void Renderer::resize(Size targetPixels, float pixelsPerPoint) {
    _targetStack.front().pixels = targetPixels;
    _targetStack.front().pixelsPerPoint = pixelsPerPoint > 0.f ? pixelsPerPoint : 1.f;
}

void Renderer::clear(const Color4B& color) {
    SDL_RenderSetClipRect(_renderer, nullptr);
    SDL_SetRenderDrawColor(_renderer, color.r, color.g, color.b, color.a);
    SDL_RenderClear(_renderer);
    _clipStack.clear();
}

void Renderer::present() {
    SDL_RenderPresent(_renderer);
}

void Renderer::toPixels(const Mat4& transform, const Vec2& p, float& px, float& py) const {
    const Target& target = _targetStack.back();
    const Vec2 world = transform.transformPoint(p);
    px = world.x * target.pixelsPerPoint;
    py = target.pixels.height - world.y * target.pixelsPerPoint;
}

void Renderer::drawTexture(Texture2D* texture, const Rect& src, const Mat4& transform, const Size& size,
                           const Color4B& color, const BlendFunc& blend) {
    if (!texture || !texture->getSDLTexture() || color.a == 0) {
        return;
    }
    if (blend == BlendFunc::ERASE) {
        eraseRect(transform, size);
        return;
    }
    const float tw = static_cast<float>(texture->getPixelsWide());
    const float th = static_cast<float>(texture->getPixelsHigh());
    if (tw <= 0 || th <= 0) {
        return;
    }
    const float u0 = src.getMinX() / tw, u1 = src.getMaxX() / tw;
    const float v0 = src.getMinY() / th, v1 = src.getMaxY() / th;
    const Vec2 corners[4] = {Vec2(0, 0), Vec2(size.width, 0), Vec2(size.width, size.height), Vec2(0, size.height)};
    const float us[4] = {u0, u1, u1, u0};
    const float vs[4] = {v1, v1, v0, v0};
    SDL_Vertex vertices[4];
    for (int i = 0; i < 4; ++i) {
        toPixels(transform, corners[i], vertices[i].position.x, vertices[i].position.y);
        vertices[i].color = toSDL(color);
        vertices[i].tex_coord.x = us[i];
        vertices[i].tex_coord.y = vs[i];
    }
    // An unrotated quad snaps to whole pixels: neighbouring quads (the parts of a nine-slice picture) then share
    // their edges exactly, where separate rounding of each quad's position and size left 1-pixel seams.
    if (vertices[0].position.y == vertices[1].position.y && vertices[0].position.x == vertices[3].position.x) {
        for (SDL_Vertex& vertex : vertices) {
            vertex.position.x = std::round(vertex.position.x);
            vertex.position.y = std::round(vertex.position.y);
        }
    }
    // Split along the 1-3 diagonal: SDL's software renderer then recognises an unrotated quad as a rectangle
    // and blits it instead of rasterising two triangles (several times faster).
    static const int indices[6] = {0, 1, 3, 1, 2, 3};
    SDL_SetTextureBlendMode(texture->getSDLTexture(), SDL_BLENDMODE_BLEND);
    SDL_RenderGeometry(_renderer, texture->getSDLTexture(), vertices, 4, indices, 6);
}

void Renderer::drawSolidPolygon(const Mat4& transform, const std::vector<Vec2>& points, const Color4B& color) {
    if (points.size() < 3 || color.a == 0) {
        return;
    }
    std::vector<SDL_Vertex> vertices(points.size());
    for (size_t i = 0; i < points.size(); ++i) {
        toPixels(transform, points[i], vertices[i].position.x, vertices[i].position.y);
        vertices[i].color = toSDL(color);
        vertices[i].tex_coord = SDL_FPoint{0, 0};
    }
    std::vector<int> indices;
    for (size_t i = 1; i + 1 < points.size(); ++i) {
        indices.push_back(0);
        indices.push_back(static_cast<int>(i));
        indices.push_back(static_cast<int>(i + 1));
    }
    SDL_SetRenderDrawBlendMode(_renderer, SDL_BLENDMODE_BLEND);
    SDL_RenderGeometry(_renderer, nullptr, vertices.data(), static_cast<int>(vertices.size()), indices.data(),
                       static_cast<int>(indices.size()));
}

void Renderer::drawSolidRect(const Mat4& transform, const Rect& rect, const Color4B& color) {
    drawSolidPolygon(transform,
                     {Vec2(rect.getMinX(), rect.getMinY()), Vec2(rect.getMaxX(), rect.getMinY()),
                      Vec2(rect.getMaxX(), rect.getMaxY()), Vec2(rect.getMinX(), rect.getMaxY())},
                     color);
}

void Renderer::drawRectOutline(const Mat4& transform, const Rect& rect, const Color4B& color, float width) {
    const float x0 = rect.getMinX(), x1 = rect.getMaxX(), y0 = rect.getMinY(), y1 = rect.getMaxY();
    drawSolidRect(transform, Rect(x0, y0, x1 - x0, width), color);
    drawSolidRect(transform, Rect(x0, y1 - width, x1 - x0, width), color);
    drawSolidRect(transform, Rect(x0, y0, width, y1 - y0), color);
    drawSolidRect(transform, Rect(x1 - width, y0, width, y1 - y0), color);
}

void Renderer::drawLine(const Mat4& transform, const Vec2& from, const Vec2& to, float width, const Color4B& color) {
    const Vec2 d = to - from;
    const float length = d.length();
    if (length <= 0.f) {
        drawDot(transform, from, width / 2, color);
        return;
    }
    const Vec2 n = Vec2(-d.y / length, d.x / length) * (width / 2);
    drawSolidPolygon(transform, {from + n, to + n, to - n, from - n}, color);
}

void Renderer::drawDot(const Mat4& transform, const Vec2& center, float radius, const Color4B& color) {
    std::vector<Vec2> points;
    const int segments = 20;
    for (int i = 0; i < segments; ++i) {
        const double a = 2 * M_PI * i / segments;
        points.emplace_back(center.x + radius * static_cast<float>(std::cos(a)),
                            center.y + radius * static_cast<float>(std::sin(a)));
    }
    drawSolidPolygon(transform, points, color);
}

void Renderer::eraseRect(const Mat4& transform, const Size& size) {
    float xs[4], ys[4];
    const Vec2 corners[4] = {Vec2(0, 0), Vec2(size.width, 0), Vec2(size.width, size.height), Vec2(0, size.height)};
    for (int i = 0; i < 4; ++i) {
        toPixels(transform, corners[i], xs[i], ys[i]);
    }
    const float minX = *std::min_element(xs, xs + 4), maxX = *std::max_element(xs, xs + 4);
    const float minY = *std::min_element(ys, ys + 4), maxY = *std::max_element(ys, ys + 4);
    SDL_Rect r{static_cast<int>(std::floor(minX)), static_cast<int>(std::floor(minY)),
               static_cast<int>(std::ceil(maxX) - std::floor(minX)),
               static_cast<int>(std::ceil(maxY) - std::floor(minY))};
    SDL_SetRenderDrawBlendMode(_renderer, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(_renderer, 0, 0, 0, 0);
    SDL_RenderFillRect(_renderer, &r);
    SDL_SetRenderDrawBlendMode(_renderer, SDL_BLENDMODE_BLEND);
}

void Renderer::applyClip() {
    if (_clipStack.empty()) {
        SDL_RenderSetClipRect(_renderer, nullptr);
        return;
    }
    const Rect& r = _clipStack.back();
    const Target& target = _targetStack.back();
    const float s = target.pixelsPerPoint;
    SDL_Rect clip{static_cast<int>(std::floor(r.getMinX() * s)),
                  static_cast<int>(std::floor(target.pixels.height - r.getMaxY() * s)),
                  static_cast<int>(std::ceil(r.size.width * s)), static_cast<int>(std::ceil(r.size.height * s))};
    if (clip.w <= 0 || clip.h <= 0) {
        // SDL treats an empty clip rectangle as "no clipping": clip to an off-target pixel instead.
        clip = SDL_Rect{-10, -10, 1, 1};
    }
    SDL_RenderSetClipRect(_renderer, &clip);
}

void Renderer::pushClipRect(const Rect& worldRect) {
    Rect r = worldRect;
    if (!_clipStack.empty()) {
        const Rect& outer = _clipStack.back();
        const float x0 = std::max(r.getMinX(), outer.getMinX()), y0 = std::max(r.getMinY(), outer.getMinY());
        const float x1 = std::min(r.getMaxX(), outer.getMaxX()), y1 = std::min(r.getMaxY(), outer.getMaxY());
        r = Rect(x0, y0, std::max(0.f, x1 - x0), std::max(0.f, y1 - y0));
    }
    _clipStack.push_back(r);
    applyClip();
}

void Renderer::popClipRect() {
    if (!_clipStack.empty()) {
        _clipStack.pop_back();
    }
    applyClip();
}

bool Renderer::pushTarget(SDL_Texture* target, Size targetPoints, float pixelsPerPoint) {
    if (!target || SDL_SetRenderTarget(_renderer, target) != 0) {
        log("render target: %s", SDL_GetError());
        return false;
    }
    _targetStack.push_back({target, targetPoints * pixelsPerPoint, pixelsPerPoint});
    SDL_RenderSetClipRect(_renderer, nullptr);
    SDL_SetRenderDrawBlendMode(_renderer, SDL_BLENDMODE_BLEND);
    return true;
}

void Renderer::popTarget() {
    if (_targetStack.size() <= 1) {
        return;
    }
    _targetStack.pop_back();
    SDL_SetRenderTarget(_renderer, _targetStack.back().texture);
    applyClip();
}

bool Renderer::checkVisibility(const Mat4& transform, const Size& size) {
    const Size win = Director::getInstance()->getWinSize();
    const Vec2 corners[4] = {transform.transformPoint(Vec2(0, 0)), transform.transformPoint(Vec2(size.width, 0)),
                             transform.transformPoint(Vec2(size.width, size.height)),
                             transform.transformPoint(Vec2(0, size.height))};
    float minX = corners[0].x, maxX = corners[0].x, minY = corners[0].y, maxY = corners[0].y;
    for (const Vec2& c : corners) {
        minX = std::min(minX, c.x);
        maxX = std::max(maxX, c.x);
        minY = std::min(minY, c.y);
        maxY = std::max(maxY, c.y);
    }
    return Rect(minX, minY, maxX - minX, maxY - minY).intersectsRect(Rect(0, 0, win.width, win.height));
}

bool Renderer::readPixels(std::vector<uint8_t>& rgba, int& width, int& height) {
    if (SDL_GetRendererOutputSize(_renderer, &width, &height) != 0 || width <= 0 || height <= 0) {
        return false;
    }
    rgba.resize(static_cast<size_t>(width) * height * 4);
    SDL_RenderSetClipRect(_renderer, nullptr);
    const bool ok = SDL_RenderReadPixels(_renderer, nullptr, SDL_PIXELFORMAT_RGBA32, rgba.data(), width * 4) == 0;
    applyClip();
    return ok;
}

bool Renderer::savePNG(const std::string& path) {
    std::vector<uint8_t> rgba;
    int w = 0, h = 0;
    if (!readPixels(rgba, w, h)) {
        return false;
    }
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(rgba.data(), w, h, 32, w * 4, SDL_PIXELFORMAT_RGBA32);
    if (!surface) {
        return false;
    }
    const bool ok = IMG_SavePNG(surface, path.c_str()) == 0;
    SDL_FreeSurface(surface);
    return ok;
}

} // namespace engine
