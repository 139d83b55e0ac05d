#include "scene/Label.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <map>
#include <utility>

#include "base/Director.h"
#include "base/InputLimits.h"
#include "base/Log.h"
#include "base/StringUtils.h"
#include "door/TextDoor.h"
#include "platform/FileUtils.h"
#include "platform/GLView.h"
#include "render/Renderer.h"
#include "render/Texture2D.h"

namespace engine {

namespace {

std::string g_defaultFont;

// A box side in pixels, 0 for none: a side wider than a label's surface can be is taken as that side.
int boxPixels(float points, float scale) {
    const float pixels = points * scale;
    if (!(pixels > 0)) {
        return 0;
    }
    return pixels < float(limits::kTextSurfaceSide) ? static_cast<int>(pixels) : limits::kTextSurfaceSide;
}

const char* const kSystemFonts[] = {
    "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc",
    "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
};

std::string findDefaultFont() {
    if (!g_defaultFont.empty()) {
        return g_defaultFont;
    }
    for (const char* path : kSystemFonts) {
        if (FileUtils::getInstance()->isFileExist(path)) {
            g_defaultFont = path;
            break;
        }
    }
    return g_defaultFont;
}

TTF_Font* openFont(const std::string& path, int pixelSize) {
    // Kept for the whole run (never destroyed, so it stays reachable at exit).
    static auto& fonts = *new std::map<std::pair<std::string, int>, TTF_Font*>();
    if (!TTF_WasInit() && TTF_Init() != 0) {
        log("fonts: %s", TTF_GetError());
        return nullptr;
    }
    const auto key = std::make_pair(path, pixelSize);
    auto it = fonts.find(key);
    if (it != fonts.end()) {
        return it->second;
    }
    TTF_Font* font = TTF_OpenFont(path.c_str(), pixelSize);
    fonts[key] = font; // null is remembered too: a bad font is reported once
    if (!font) {
        log("cannot open font %s: %s", path.c_str(), TTF_GetError());
    }
    return font;
}

std::string resolveFont(const std::string& fontFile) {
    if (fontFile.empty()) {
        return {};
    }
    return FileUtils::getInstance()->fullPathForFilename(fontFile);
}

float pixelsPerPoint() {
    GLView* view = Director::getInstance()->getOpenGLView();
    return view ? view->getScaleX() : 1.f;
}

} // namespace

void setDefaultFont(const std::string& fontFile) { g_defaultFont = resolveFont(fontFile); }
const std::string& getDefaultFont() {
    findDefaultFont();
    return g_defaultFont;
}

Label::Label() { _anchorPoint = Vec2::ANCHOR_MIDDLE; }

Label::~Label() {
    if (_texture) {
        _texture->release();
    }
}

Label* Label::createWithTTF(const std::string& text, const std::string& fontFile, float fontSize,
                            const Size& dimensions, TextHAlignment hAlignment, TextVAlignment vAlignment) {
    auto* label = new (std::nothrow) Label();
    if (!label || !label->initLabel(text, fontFile, fontSize, true)) {
        delete label;
        return nullptr;
    }
    label->_dimensions = dimensions;
    label->_hAlign = hAlignment;
    label->_vAlign = vAlignment;
    label->updateTexture();
    label->autorelease();
    return label;
}

Label* Label::create(const std::string& text, const std::string& fontFile, float fontSize) {
    auto* label = new (std::nothrow) Label();
    if (!label || !label->initLabel(text, fontFile, fontSize, false)) {
        delete label;
        return nullptr;
    }
    label->updateTexture();
    label->autorelease();
    return label;
}

bool Label::initLabel(const std::string& text, const std::string& fontFile, float fontSize, bool strictFont) {
    _text = text;
    _fontFile = fontFile;
    _fontSize = fontSize > 0 ? fontSize : 24.f;
    _resolvedFont = resolveFont(fontFile);
    if (_resolvedFont.empty() || !openFont(_resolvedFont, static_cast<int>(std::min(_fontSize, limits::kFontSize)))) {
        if (strictFont) {
            log("cannot open font file: %s", fontFile.c_str());
            return false;
        }
        _resolvedFont = findDefaultFont();
    }
    return true;
}

void Label::setString(const std::string& text) {
    if (text != _text) {
        _text = text;
        updateTexture();
    }
}

void Label::setFontName(const std::string& fontFile) {
    _fontFile = fontFile;
    _resolvedFont = resolveFont(fontFile);
    if (_resolvedFont.empty()) {
        _resolvedFont = findDefaultFont();
    }
    updateTexture();
}

void Label::setFontSize(float size) {
    if (size > 0 && size != _fontSize) {
        _fontSize = size;
        updateTexture();
    }
}

void Label::setTextColor(const Color4B& color) {
    if (color != _textColor) {
        _textColor = color;
        markDirty();
    }
}

void Label::setDimensions(const Size& dimensions) {
    if (dimensions == _dimensions && !_dirty) {
        return;
    }
    _dimensions = dimensions;
    updateTexture();
}

void Label::setAlignment(TextHAlignment h, TextVAlignment v) {
    _hAlign = h;
    _vAlign = v;
    updateTexture();
}

void Label::setHorizontalAlignment(TextHAlignment h) { setAlignment(h, _vAlign); }
void Label::setVerticalAlignment(TextVAlignment v) { setAlignment(_hAlign, v); }

void Label::setMaskCharacter(const std::string& mask) {
    _mask = mask;
    updateTexture();
}

Size Label::getTextSize() {
    if (_dirty) {
        updateTexture();
    }
    return _textSize;
}

const std::string& Label::getShownString() {
    if (_dirty) {
        updateTexture();
    }
    return _shown;
}

void Label::updateTexture() {
    _dirty = false;
    const float scale = pixelsPerPoint();
    _renderedScale = scale;
    if (_texture) {
        _texture->release();
        _texture = nullptr;
    }
    _textSize = Size::ZERO;
    _shown.clear();
    const int pixelSize = std::max(1, int(std::min(_fontSize, limits::kFontSize) * scale + 0.5f));
    TTF_Font* font = _resolvedFont.empty() ? nullptr : openFont(_resolvedFont, pixelSize);
    if (!font) {
        setContentSize(_dimensions);
        return;
    }
    bool cut = false;
    std::string shown = door::firstCharacters(_text, limits::kTextCharacters, cut);
    if (!_mask.empty()) {
        const long count = StringUtils::getCharacterCountInUTF8String(shown);
        shown.clear();
        // A mask of several bytes must not make more than the door lays out.
        for (long i = 0; i < count && shown.size() < limits::kTextCharacters * 4; ++i) {
            shown += _mask;
        }
    }
    const int wrap = boxPixels(_dimensions.width, scale);
    const door::TextBlock block = door::layOutText(font, shown, wrap, boxPixels(_dimensions.height, scale));
    for (size_t i = 0; i < block.lines.size(); ++i) {
        _shown += i == 0 ? block.lines[i] : "\n" + block.lines[i];
    }
    int align = TTF_WRAPPED_ALIGN_LEFT;
    if (_hAlign == TextHAlignment::CENTER) {
        align = TTF_WRAPPED_ALIGN_CENTER;
    } else if (_hAlign == TextHAlignment::RIGHT) {
        align = TTF_WRAPPED_ALIGN_RIGHT;
    }
    // The text colour is baked in: the software renderer blits unmodulated textures several times faster.
    const SDL_Color color{_textColor.r, _textColor.g, _textColor.b, _textColor.a};
    if (SDL_Surface* surface = door::renderText(font, block, color, wrap, align)) {
        _textSize = Size(surface->w / scale, surface->h / scale);
        auto* texture = new Texture2D();
        if (texture->initWithSurface(surface)) {
            _texture = texture;
        } else {
            texture->release();
        }
        SDL_FreeSurface(surface);
    } else if (shown.empty()) {
        _textSize = Size(0, TTF_FontHeight(font) / scale);
        _textSize.width = 0;
    }
    if (_dimensions.width > 0 || _dimensions.height > 0) {
        setContentSize(Size(_dimensions.width > 0 ? _dimensions.width : _textSize.width,
                            _dimensions.height > 0 ? _dimensions.height : _textSize.height));
    } else {
        setContentSize(Size(_textSize.width, shown.empty() ? 0.f : _textSize.height));
    }
}

void Label::draw(Renderer* renderer, const Mat4& transform, uint32_t) {
    if (_dirty || _renderedScale != pixelsPerPoint()) {
        updateTexture();
    }
    if (!_texture) {
        return;
    }
    float x = 0, y = 0;
    const Size box = _contentSize;
    if (_hAlign == TextHAlignment::CENTER) {
        x = (box.width - _textSize.width) / 2;
    } else if (_hAlign == TextHAlignment::RIGHT) {
        x = box.width - _textSize.width;
    }
    if (_vAlign == TextVAlignment::TOP) {
        y = box.height - _textSize.height;
    } else if (_vAlign == TextVAlignment::CENTER) {
        y = (box.height - _textSize.height) / 2;
    }
    const Color4B color(_displayedColor.r, _displayedColor.g, _displayedColor.b, _displayedOpacity);
    const Rect src(0, 0, static_cast<float>(_texture->getPixelsWide()), static_cast<float>(_texture->getPixelsHigh()));
    renderer->drawTexture(_texture, src, transform * Mat4::translation(x, y), _textSize, color);
}

} // namespace engine
