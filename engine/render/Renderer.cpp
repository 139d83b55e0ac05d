// Index of this file:
// [SECTION] Small helpers
// [SECTION] Set-up, the target surface and the kept frame
// [SECTION] Frames: begin, end, replay
// [SECTION] Pictures: transforms and copies
// [SECTION] Shapes and blending
// [SECTION] The dimmed frame under a pop-up
// [SECTION] Rectangles, lines, dots and erasing
// [SECTION] Clipping
// [SECTION] Render targets
// [SECTION] Visibility, reading pixels and saving

#include "render/Renderer.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>

#include "base/Director.h"
#include "base/Log.h"
#include "render/CopyCache.h"
#include "render/SoftBlend.h"
#include "render/Texture2D.h"

namespace engine {

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Small helpers
//----------------------------------------------------------------------------------------------------------------------

namespace {
SDL_Color toSDL(const Color4B& c) {
    return SDL_Color{c.r, c.g, c.b, c.a};
}

// The source rectangle as whole pixels inside the texture; false when it is not one.
bool wholePixels(const Rect& src, float textureWidth, float textureHeight, SDL_Rect& out) {
    const float x = std::round(src.getMinX()), y = std::round(src.getMinY());
    const float w = std::round(src.size.width), h = std::round(src.size.height);
    if (std::fabs(x - src.getMinX()) > 1e-3f || std::fabs(y - src.getMinY()) > 1e-3f ||
        std::fabs(w - src.size.width) > 1e-3f || std::fabs(h - src.size.height) > 1e-3f || x < 0 || y < 0 || w <= 0 ||
        h <= 0 || x + w > textureWidth || y + h > textureHeight) {
        return false;
    }
    out = SDL_Rect{static_cast<int>(x), static_cast<int>(y), static_cast<int>(w), static_cast<int>(h)};
    return true;
}

bool contains(const SDL_Rect& outer, const SDL_Rect& inner) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.w <= outer.x + outer.w &&
           inner.y + inner.h <= outer.y + outer.h;
}

// The corners as an upright rectangle on whole pixels, in any order; false when they are not one.
bool uprightRect(const SDL_Vertex* corners, size_t count, SDL_Rect& rect) {
    if (count != 4) {
        return false;
    }
    float minX = corners[0].position.x, maxX = minX, minY = corners[0].position.y, maxY = minY;
    for (size_t i = 0; i < count; ++i) {
        const float x = corners[i].position.x, y = corners[i].position.y;
        if (x != std::round(x) || y != std::round(y)) {
            return false;
        }
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    for (size_t i = 0; i < count; ++i) {
        const SDL_FPoint& p = corners[i].position;
        if ((p.x != minX && p.x != maxX) || (p.y != minY && p.y != maxY)) {
            return false;
        }
    }
    // Each corner once: a rectangle, not a degenerate quad.
    const bool distinct =
        corners[0].position.x != corners[2].position.x && corners[0].position.y != corners[2].position.y &&
        corners[1].position.x != corners[3].position.x && corners[1].position.y != corners[3].position.y;
    rect = SDL_Rect{static_cast<int>(minX), static_cast<int>(minY), static_cast<int>(maxX - minX),
                    static_cast<int>(maxY - minY)};
    return distinct;
}

// An upright rectangle whose corners come as an unmirrored node's: bottom left, bottom right, top right, top left
// (SDL's rasteriser covers other orders' pixels differently).
bool unmirroredRect(const SDL_Vertex* corners, size_t count, SDL_Rect& rect) {
    if (!uprightRect(corners, count, rect)) {
        return false;
    }
    const float x0 = static_cast<float>(rect.x), x1 = static_cast<float>(rect.x + rect.w);
    const float y0 = static_cast<float>(rect.y), y1 = static_cast<float>(rect.y + rect.h);
    return corners[0].position.x == x0 && corners[0].position.y == y1 && corners[1].position.x == x1 &&
           corners[1].position.y == y1 && corners[2].position.x == x1 && corners[2].position.y == y0;
}
} // namespace

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Set-up, the target surface and the kept frame
//----------------------------------------------------------------------------------------------------------------------

Renderer::Renderer(SDL_Renderer* renderer, Size targetPixels, float pixelsPerPoint) : _renderer(renderer) {
    _targetStack.push_back({nullptr, targetPixels, pixelsPerPoint > 0.f ? pixelsPerPoint : 1.f});
    SDL_SetRenderDrawBlendMode(_renderer, SDL_BLENDMODE_BLEND);
    // A graphics card modulates and turns textures for free; only the software renderer needs the shortcuts.
    SDL_RendererInfo info{};
    _softwareRaster = SDL_GetRendererInfo(_renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE) != 0;
    setShortcutsEnabled(true);
}

Renderer::~Renderer() = default;

void Renderer::setShortcutsEnabled(bool enabled) {
    _shortcuts = enabled && _softwareRaster;
    invalidate();
    if (_shortcuts && !_copyCache && SDL_RenderTargetSupported(_renderer)) {
        _copyCache = std::make_unique<CopyCache>(_renderer, kCopyBudgetBytes);
    } else if (!_shortcuts) {
        _copyCache.reset();
    }
    const bool soft = _shortcuts && _softBlendEnabled && _surface && _copyCache;
    if (soft && (!_softBlend || _softBlend->getTargetFormat() != _surface->format->format)) {
        _softBlend = std::make_unique<SoftBlend>(_surface->format->format);
    } else if (!soft) {
        _softBlend.reset();
    }
    if (_copyCache) {
        _copyCache->setPixelFormat(_softBlend ? _softBlend->getTargetFormat() : 0);
    }
}

void Renderer::setSoftBlendEnabled(bool enabled) {
    _softBlendEnabled = enabled;
    setShortcutsEnabled(_shortcuts);
}

void Renderer::setTargetFormat(uint32_t format) {
    _targetFormat = format;
}

void Renderer::setTargetSurface(SDL_Surface* surface) {
    // A window's surface made anew may sit where the freed one was: its pixels and size tell them apart.
    if (surface == _surface && (!surface || (surface->pixels == _surfacePixels && surface->w == _surfaceWidth &&
                                             surface->h == _surfaceHeight))) {
        return;
    }
    _surface = surface;
    _surfacePixels = surface ? surface->pixels : nullptr;
    _surfaceWidth = surface ? surface->w : 0;
    _surfaceHeight = surface ? surface->h : 0;
    setShortcutsEnabled(_shortcuts);
}

void Renderer::invalidate() {
    _invalidated = true;
    std::vector<uint32_t>().swap(_dimmed);
}

void Renderer::dropCopies() {
    if (_copyCache) {
        _copyCache->clear();
    }
}

Renderer::Stats Renderer::getStats() const {
    Stats stats = _stats;
    stats.tintedCopyBytes = _copyCache ? _copyCache->getBytes() : 0;
    return stats;
}

void Renderer::resize(Size targetPixels, float pixelsPerPoint) {
    _targetStack.front().pixels = targetPixels;
    _targetStack.front().pixelsPerPoint = pixelsPerPoint > 0.f ? pixelsPerPoint : 1.f;
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Frames: begin, end, replay
//----------------------------------------------------------------------------------------------------------------------

void Renderer::beginFrame(const Color4B& clearColor) {
    const Target& main = _targetStack.front();
    _frame.begin(clearColor, main.pixels, main.pixelsPerPoint);
    _recording = true;
}

bool Renderer::endFrame() {
    _recording = false;
    const bool same = !_invalidated && _frame.sameAs(_lastDrawn);
    _invalidated = false;
    if (same) {
        ++_stats.framesSkipped;
    } else {
        replay(_frame);
        ++_stats.framesDrawn;
    }
    _frame.releaseTextures();
    _lastDrawn.swap(_frame);
    _frame.clear();
    return !same;
}

void Renderer::replay(const FrameRecord& frame) {
    if (_copyCache) {
        _copyCache->beginFrame();
    }
    SDL_SetRenderTarget(_renderer, nullptr);
    _clipStack.clear();
    SDL_RenderSetClipRect(_renderer, nullptr);
    const std::vector<FrameRecord::Command>& commands = frame.commands();
    // Under a full-window translucent colour whose frame beneath did not change since the last frame drawn, the
    // target as it was right after that colour is put back rather than drawn and dimmed again.
    const size_t mask = findMask(frame);
    const bool steady = mask != kNoMask && frame.samePrefix(_lastDrawn, mask + 1);
    if (!steady) {
        // Freed, not only emptied: a window-sized copy held for good once a mask had been steady.
        std::vector<uint32_t>().swap(_dimmed);
    }
    size_t first = 0;
    if (steady && _dimmed.size() == static_cast<size_t>(_surface->w) * _surface->h) {
        putBackDimmed();
        first = mask + 1;
        ++_stats.dimmedReuses;
    } else if (!commands.empty() && paintsTarget(frame, commands.front())) {
        ++_stats.clearsSkipped;
    } else {
        const Color4B& color = frame.clearColor();
        SDL_SetRenderDrawColor(_renderer, color.r, color.g, color.b, color.a);
        SDL_RenderClear(_renderer);
    }
    SDL_SetRenderDrawBlendMode(_renderer, SDL_BLENDMODE_BLEND);
    for (size_t i = first; i < commands.size(); ++i) {
        const FrameRecord::Command& c = commands[i];
        if (i == mask && steady) {
            // Drawn after this command: the target is kept when it is done.
            drawSolidPolygonNow(c.transform, frame.points(c), c.count, c.color);
            keepDimmed();
            continue;
        }
        switch (c.kind) {
        case FrameRecord::Kind::Texture:
            drawTextureNow(c.texture, c.rect, c.transform, c.size, c.color, c.blend);
            break;
        case FrameRecord::Kind::Polygon:
            drawSolidPolygonNow(c.transform, frame.points(c), c.count, c.color);
            break;
        case FrameRecord::Kind::Erase:
            eraseRectNow(c.transform, c.size);
            break;
        case FrameRecord::Kind::PushClip:
            pushClipRectNow(c.rect);
            break;
        case FrameRecord::Kind::PopClip:
            popClipRectNow();
            break;
        }
    }
    _clipStack.clear();
    SDL_RenderSetClipRect(_renderer, nullptr);
}

void Renderer::touchedMainTarget() {
    if (_targetStack.size() == 1) {
        _invalidated = true;
    }
}

void Renderer::present() {
    SDL_RenderPresent(_renderer);
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Pictures: transforms and copies
//----------------------------------------------------------------------------------------------------------------------

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
    if (recording()) {
        if (blend == BlendFunc::ERASE) {
            _frame.addErase(transform, size);
        } else {
            _frame.addTexture(texture, src, transform, size, color, blend);
        }
        return;
    }
    touchedMainTarget();
    drawTextureNow(texture, src, transform, size, color, blend);
}

void Renderer::drawTextureNow(Texture2D* texture, const Rect& src, const Mat4& transform, const Size& size,
                              const Color4B& color, const BlendFunc& blend) {
    if (blend == BlendFunc::ERASE) {
        eraseRect(transform, size);
        return;
    }
    float tw = static_cast<float>(texture->getPixelsWide());
    float th = static_cast<float>(texture->getPixelsHigh());
    if (tw <= 0 || th <= 0) {
        return;
    }
    SDL_Texture* sdlTexture = texture->getSDLTexture();
    Color4B modulation = color;
    Rect source = src;
    SDL_Rect region{};
    const bool whole = wholePixels(src, tw, th, region);
    // Opaque texels at full opacity cover what lies below whatever the tint: blending them is copying them.
    const bool opaque = _shortcuts && whole && color.a == 255 && texture->isOpaque(region);
    const uint32_t* copyPixels = nullptr;
    if (_shortcuts && _copyCache && whole && color != Color4B::WHITE) {
        const uint64_t made = _copyCache->getCopiesMade();
        if (SDL_Texture* tinted = _copyCache->find(texture, region, color, &copyPixels)) {
            // The copy holds just the source region.
            sdlTexture = tinted;
            modulation = Color4B::WHITE;
            region.x = region.y = 0;
            source = Rect(0, 0, static_cast<float>(region.w), static_cast<float>(region.h));
            tw = source.size.width;
            th = source.size.height;
            ++_stats.tintedCopyDraws;
        }
        _stats.tintedCopiesMade += _copyCache->getCopiesMade() - made;
    }
    const Vec2 corners[4] = {Vec2(0, 0), Vec2(size.width, 0), Vec2(size.width, size.height), Vec2(0, size.height)};
    float xs[4], ys[4];
    for (int i = 0; i < 4; ++i) {
        toPixels(transform, corners[i], xs[i], ys[i]);
    }
    // An unrotated quad snaps to whole pixels: neighbouring quads (the parts of a nine-slice picture) then share
    // their edges exactly, where separate rounding of each quad's position and size left 1-pixel seams.
    const bool axisAligned = ys[0] == ys[1] && xs[0] == xs[3];
    SDL_BlendMode mode = SDL_BLENDMODE_BLEND;
    if (axisAligned) {
        for (int i = 0; i < 4; ++i) {
            xs[i] = std::round(xs[i]);
            ys[i] = std::round(ys[i]);
        }
        // Upright and unmirrored: SDL copies it as a rectangle.
        if (opaque && modulation == Color4B::WHITE && xs[1] > xs[0] && ys[0] > ys[3]) {
            mode = SDL_BLENDMODE_NONE;
            ++_stats.opaqueCopies;
            const int width = static_cast<int>(xs[1] - xs[0]), height = static_cast<int>(ys[0] - ys[3]);
            const bool stretched = width != region.w || height != region.h;
            // Inside a clip rectangle SDL clips the stretched source on its own terms: no stretched copy there.
            if (stretched && _copyCache && _clipStack.empty() && sdlTexture == texture->getSDLTexture()) {
                const uint64_t made = _copyCache->getCopiesMade();
                if (SDL_Texture* scaled = _copyCache->findScaled(texture, region, width, height)) {
                    sdlTexture = scaled;
                    source = Rect(0, 0, static_cast<float>(width), static_cast<float>(height));
                    tw = source.size.width;
                    th = source.size.height;
                    ++_stats.scaledCopyDraws;
                }
                _stats.tintedCopiesMade += _copyCache->getCopiesMade() - made;
            }
        }
        const bool upright = xs[1] > xs[0] && ys[0] > ys[3];
        if (mode == SDL_BLENDMODE_BLEND && blend != BlendFunc::DISABLE && whole && upright &&
            blendPicture(texture, sdlTexture, copyPixels, region, modulation, xs, ys)) {
            return;
        }
    } else if (_shortcuts && whole && modulation == Color4B::WHITE && copyRotated(sdlTexture, region, xs, ys)) {
        return;
    }
    const float u0 = source.getMinX() / tw, u1 = source.getMaxX() / tw;
    const float v0 = source.getMinY() / th, v1 = source.getMaxY() / th;
    const float us[4] = {u0, u1, u1, u0};
    const float vs[4] = {v1, v1, v0, v0};
    SDL_Vertex vertices[4];
    for (int i = 0; i < 4; ++i) {
        vertices[i].position = SDL_FPoint{xs[i], ys[i]};
        vertices[i].color = toSDL(modulation);
        vertices[i].tex_coord = SDL_FPoint{us[i], vs[i]};
    }
    // Split along the 1-3 diagonal: SDL's software renderer then recognises an unrotated quad as a rectangle
    // and blits it instead of rasterising two triangles (several times faster).
    static const int indices[6] = {0, 1, 3, 1, 2, 3};
    if (blend == BlendFunc::DISABLE) {
        mode = SDL_BLENDMODE_NONE;
    }
    SDL_SetTextureBlendMode(sdlTexture, mode);
    SDL_RenderGeometry(_renderer, sdlTexture, vertices, 4, indices, 6);
}

bool Renderer::copyRotated(SDL_Texture* texture, const SDL_Rect& source, const float (&xs)[4], const float (&ys)[4]) {
    // Corners 0..3 are the texture's bottom left, bottom right, top right, top left. On screen, the texture's
    // rows run along `across` and its columns along `down`.
    const float acrossX = xs[1] - xs[0], acrossY = ys[1] - ys[0];
    const float downX = xs[0] - xs[3], downY = ys[0] - ys[3];
    const float width = std::hypot(acrossX, acrossY), height = std::hypot(downX, downY);
    // SDL's software renderer scales the source to the rectangle's full size before turning it, however much of it
    // is clipped: a big quad is cheaper through the rasteriser, which only visits what is on the target.
    const Size& target = _targetStack.back().pixels;
    if (width < 1.f || height < 1.f || width * height > target.width * target.height) {
        return false;
    }
    // A skewed quad (a rotated child of a non-uniformly scaled parent) is no rectangle: the sides must stay at right
    // angles, to a hundredth of a pixel at the far corner.
    if (std::fabs(acrossX * downX + acrossY * downY) > 0.01f * width) {
        return false;
    }
    // SDL stretches the texture over an upright rectangle, flips it, then turns it clockwise about its centre.
    // Its rows then run along (cos, sin) of the angle and its columns along (-sin, cos), or the opposite way when
    // flipped vertically; a quad mirrored on screen is one turned and flipped vertically.
    const double radians = std::atan2(acrossY, acrossX);
    const bool mirrored = acrossX * downY - acrossY * downX < 0.f;
    // The software renderer works in whole pixels and truncates; a rounded size and a top left corner taken down
    // to the pixel (also left of and above the target, where truncation would go the other way) match the
    // triangle rasteriser's pictures best. Its vertical flip lands one pixel low in the rectangle's own frame.
    const float w = std::round(width), h = std::round(height);
    float centerX = (xs[0] + xs[2]) / 2, centerY = (ys[0] + ys[2]) / 2;
    if (mirrored) {
        centerX += static_cast<float>(std::sin(radians));
        centerY -= static_cast<float>(std::cos(radians));
    }
    const SDL_FRect dst{std::floor(centerX - w / 2), std::floor(centerY - h / 2), w, h};
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    if (SDL_RenderCopyExF(_renderer, texture, &source, &dst, radians * 180.0 / M_PI, nullptr,
                          mirrored ? SDL_FLIP_VERTICAL : SDL_FLIP_NONE) != 0) {
        return false;
    }
    ++_stats.rotatedCopies;
    return true;
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Shapes and blending
//----------------------------------------------------------------------------------------------------------------------

void Renderer::drawSolidPolygon(const Mat4& transform, const std::vector<Vec2>& points, const Color4B& color) {
    drawSolidPolygon(transform, points.data(), points.size(), color);
}

void Renderer::drawSolidPolygon(const Mat4& transform, const Vec2* points, size_t count, const Color4B& color) {
    if (count < 3 || color.a == 0) {
        return;
    }
    if (recording()) {
        _frame.addPolygon(transform, points, count, color);
        return;
    }
    touchedMainTarget();
    drawSolidPolygonNow(transform, points, count, color);
}

void Renderer::polygonPixels(const Mat4& transform, const Vec2* points, size_t count) {
    _vertices.resize(count);
    for (size_t i = 0; i < count; ++i) {
        SDL_Vertex& v = _vertices[i];
        toPixels(transform, points[i], v.position.x, v.position.y);
        v.tex_coord = SDL_FPoint{0, 0};
    }
}

void Renderer::drawSolidPolygonNow(const Mat4& transform, const Vec2* points, size_t count, const Color4B& color) {
    polygonPixels(transform, points, count);
    for (SDL_Vertex& v : _vertices) {
        v.color = toSDL(color);
    }
    if (_shortcuts && color.a == 255 && fillOpaqueRect(_vertices.data(), count)) {
        return;
    }
    if (color.a < 255 && blendColour(_vertices.data(), count, color)) {
        return;
    }
    _indices.clear();
    for (size_t i = 1; i + 1 < count; ++i) {
        _indices.push_back(0);
        _indices.push_back(static_cast<int>(i));
        _indices.push_back(static_cast<int>(i + 1));
    }
    SDL_SetRenderDrawBlendMode(_renderer, SDL_BLENDMODE_BLEND);
    SDL_RenderGeometry(_renderer, nullptr, _vertices.data(), static_cast<int>(count), _indices.data(),
                       static_cast<int>(_indices.size()));
}

bool Renderer::fillOpaqueRect(const SDL_Vertex* corners, size_t count) {
    // An upright rectangle on whole pixels covers exactly the pixels SDL's rectangle fill covers.
    SDL_Rect rect{};
    if (!uprightRect(corners, count, rect)) {
        return false;
    }
    const SDL_Color& c = corners[0].color;
    SDL_SetRenderDrawBlendMode(_renderer, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(_renderer, c.r, c.g, c.b, c.a);
    const bool ok = SDL_RenderFillRect(_renderer, &rect) == 0;
    SDL_SetRenderDrawBlendMode(_renderer, SDL_BLENDMODE_BLEND);
    if (ok) {
        ++_stats.opaqueFills;
    }
    return ok;
}

SDL_Rect Renderer::clipPixels() const {
    const Rect& r = _clipStack.back();
    const Target& target = _targetStack.back();
    const float s = target.pixelsPerPoint;
    return SDL_Rect{static_cast<int>(std::floor(r.getMinX() * s)),
                    static_cast<int>(std::floor(target.pixels.height - r.getMaxY() * s)),
                    static_cast<int>(std::ceil(r.size.width * s)), static_cast<int>(std::ceil(r.size.height * s))};
}

SDL_Rect Renderer::visiblePixels() const {
    const Target& target = _targetStack.back();
    SDL_Rect visible{0, 0, static_cast<int>(target.pixels.width), static_cast<int>(target.pixels.height)};
    if (!_clipStack.empty()) {
        const SDL_Rect clip = clipPixels();
        if (clip.w <= 0 || clip.h <= 0 || !SDL_IntersectRect(&visible, &clip, &visible)) {
            visible = SDL_Rect{0, 0, 0, 0};
        }
    }
    return visible;
}

bool Renderer::blendPicture(Texture2D* texture, SDL_Texture* drawn, const uint32_t* copyPixels, const SDL_Rect& region,
                            const Color4B& modulation, const float (&xs)[4], const float (&ys)[4]) {
    if (!_softBlend || _targetStack.size() != 1) {
        return false;
    }
    Uint32 format = 0;
    if (SDL_QueryTexture(drawn, &format, nullptr, nullptr, nullptr) != 0 || !_softBlend->supports(format)) {
        return false;
    }
    // A tinted copy holds just the region; otherwise the whole texture's pixels, kept once it is drawn steadily.
    const uint32_t* pixels = copyPixels;
    int pitch = region.w;
    if (!pixels && drawn == texture->getSDLTexture()) {
        pixels = _copyCache->findPixels(texture);
        pitch = texture->getPixelsWide();
    }
    if (!pixels) {
        return false;
    }
    const SDL_Rect rect{static_cast<int>(xs[0]), static_cast<int>(ys[3]), static_cast<int>(xs[1] - xs[0]),
                        static_cast<int>(ys[0] - ys[3])};
    const bool stretched = rect.w != region.w || rect.h != region.h;
    const SDL_Rect visible = visiblePixels();
    // SDL clips a stretched source on its own terms: only whole stretched pictures here.
    if (stretched && !contains(visible, rect)) {
        return false;
    }
    const SoftBlend::Case which = _softBlend->caseFor(format, stretched || modulation != Color4B::WHITE);
    if (!_softBlend->ready(which, format)) {
        return false;
    }
    SDL_RenderFlush(_renderer);
    const SoftBlend::Picture picture{pixels + static_cast<size_t>(region.y) * pitch + region.x, pitch, region.w,
                                     region.h, format};
    _softBlend->blendPicture(surfacePixels(), rect, visible, picture,
                             _softBlend->mapColour(modulation.r, modulation.g, modulation.b, modulation.a), which);
    ++_stats.softPictures;
    return true;
}

bool Renderer::blendColour(const SDL_Vertex* corners, size_t count, const Color4B& color) {
    SDL_Rect rect{};
    if (!_softBlend || _targetStack.size() != 1 || !unmirroredRect(corners, count, rect) ||
        !_softBlend->ready(SoftBlend::Case::Colour, 0)) {
        return false;
    }
    SDL_RenderFlush(_renderer);
    _softBlend->blendColour(surfacePixels(), rect, visiblePixels(),
                            _softBlend->mapColour(color.r, color.g, color.b, color.a));
    ++_stats.softColours;
    return true;
}

SoftBlend::Pixels Renderer::surfacePixels() const {
    return SoftBlend::Pixels{static_cast<uint32_t*>(_surface->pixels), _surface->pitch / 4, _surface->w, _surface->h};
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] The dimmed frame under a pop-up
//----------------------------------------------------------------------------------------------------------------------

size_t Renderer::findMask(const FrameRecord& frame) {
    if (!_surface || !_shortcuts || !_softBlendEnabled || _targetStack.size() != 1) {
        return kNoMask;
    }
    size_t mask = kNoMask;
    int clipDepth = 0;
    const std::vector<FrameRecord::Command>& commands = frame.commands();
    for (size_t i = 0; i < commands.size(); ++i) {
        const FrameRecord::Command& c = commands[i];
        clipDepth += c.kind == FrameRecord::Kind::PushClip ? 1 : c.kind == FrameRecord::Kind::PopClip ? -1 : 0;
        if (c.kind != FrameRecord::Kind::Polygon || clipDepth != 0 || c.count != 4 || c.color.a == 255) {
            continue;
        }
        polygonPixels(c.transform, frame.points(c), c.count);
        SDL_Rect rect{};
        if (uprightRect(_vertices.data(), c.count, rect) && coversTarget(rect)) {
            mask = i;
        }
    }
    return mask;
}

bool Renderer::coversTarget(const SDL_Rect& rect) const {
    const Size& target = _targetStack.front().pixels;
    return rect.x <= 0 && rect.y <= 0 && rect.x + rect.w >= target.width && rect.y + rect.h >= target.height;
}

void Renderer::keepDimmed() {
    SDL_RenderFlush(_renderer);
    _dimmed.resize(static_cast<size_t>(_surface->w) * _surface->h);
    for (int y = 0; y < _surface->h; ++y) {
        const auto* row =
            reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(_surface->pixels) + y * _surface->pitch);
        std::copy_n(row, _surface->w, _dimmed.data() + static_cast<size_t>(y) * _surface->w);
    }
}

void Renderer::putBackDimmed() {
    SDL_RenderFlush(_renderer);
    for (int y = 0; y < _surface->h; ++y) {
        std::copy_n(_dimmed.data() + static_cast<size_t>(y) * _surface->w, _surface->w,
                    reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(_surface->pixels) + y * _surface->pitch));
    }
}

bool Renderer::paintsTarget(const FrameRecord& frame, const FrameRecord::Command& c) {
    if (!_shortcuts || c.color.a != 255) {
        return false;
    }
    SDL_Rect rect{};
    if (c.kind == FrameRecord::Kind::Polygon) {
        // Filled as an opaque rectangle.
        polygonPixels(c.transform, frame.points(c), c.count);
        return uprightRect(_vertices.data(), c.count, rect) && coversTarget(rect);
    }
    if (c.kind != FrameRecord::Kind::Texture || c.blend == BlendFunc::ERASE) {
        return false;
    }
    // Copied opaquely: upright, whole texels, every one opaque.
    SDL_Rect region{};
    if (!wholePixels(c.rect, static_cast<float>(c.texture->getPixelsWide()),
                     static_cast<float>(c.texture->getPixelsHigh()), region) ||
        !c.texture->isOpaque(region)) {
        return false;
    }
    const Vec2 corners[4] = {Vec2(0, 0), Vec2(c.size.width, 0), Vec2(c.size.width, c.size.height),
                             Vec2(0, c.size.height)};
    polygonPixels(c.transform, corners, 4);
    for (SDL_Vertex& v : _vertices) {
        v.position = SDL_FPoint{std::round(v.position.x), std::round(v.position.y)};
    }
    const SDL_FPoint* p[4] = {&_vertices[0].position, &_vertices[1].position, &_vertices[2].position,
                              &_vertices[3].position};
    const bool upright = p[0]->y == p[1]->y && p[0]->x == p[3]->x && p[1]->x > p[0]->x && p[0]->y > p[3]->y;
    return upright && uprightRect(_vertices.data(), 4, rect) && coversTarget(rect);
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Rectangles, lines, dots and erasing
//----------------------------------------------------------------------------------------------------------------------

void Renderer::drawSolidRect(const Mat4& transform, const Rect& rect, const Color4B& color) {
    const Vec2 corners[4] = {Vec2(rect.getMinX(), rect.getMinY()), Vec2(rect.getMaxX(), rect.getMinY()),
                             Vec2(rect.getMaxX(), rect.getMaxY()), Vec2(rect.getMinX(), rect.getMaxY())};
    drawSolidPolygon(transform, corners, 4, color);
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
    const Vec2 corners[4] = {from + n, to + n, to - n, from - n};
    drawSolidPolygon(transform, corners, 4, color);
}

void Renderer::drawDot(const Mat4& transform, const Vec2& center, float radius, const Color4B& color) {
    constexpr int kSegments = 20;
    Vec2 points[kSegments];
    for (int i = 0; i < kSegments; ++i) {
        const double a = 2 * M_PI * i / kSegments;
        points[i] = Vec2(center.x + radius * static_cast<float>(std::cos(a)),
                         center.y + radius * static_cast<float>(std::sin(a)));
    }
    drawSolidPolygon(transform, points, kSegments, color);
}

void Renderer::eraseRect(const Mat4& transform, const Size& size) {
    if (recording()) {
        _frame.addErase(transform, size);
        return;
    }
    touchedMainTarget();
    eraseRectNow(transform, size);
}

void Renderer::eraseRectNow(const Mat4& transform, const Size& size) {
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

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Clipping
//----------------------------------------------------------------------------------------------------------------------

void Renderer::applyClip() {
    if (_clipStack.empty()) {
        SDL_RenderSetClipRect(_renderer, nullptr);
        return;
    }
    SDL_Rect clip = clipPixels();
    if (clip.w <= 0 || clip.h <= 0) {
        // SDL treats an empty clip rectangle as "no clipping": clip to an off-target pixel instead.
        clip = SDL_Rect{-10, -10, 1, 1};
    }
    SDL_RenderSetClipRect(_renderer, &clip);
}

void Renderer::pushClipRect(const Rect& worldRect) {
    if (recording()) {
        _frame.addPushClip(worldRect);
        return;
    }
    pushClipRectNow(worldRect);
}

void Renderer::popClipRect() {
    if (recording()) {
        _frame.addPopClip();
        return;
    }
    popClipRectNow();
}

void Renderer::pushClipRectNow(const Rect& worldRect) {
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

void Renderer::popClipRectNow() {
    if (!_clipStack.empty()) {
        _clipStack.pop_back();
    }
    applyClip();
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Render targets
//----------------------------------------------------------------------------------------------------------------------

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

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Visibility, reading pixels and saving
//----------------------------------------------------------------------------------------------------------------------

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
