#include "door/TextDoor.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "base/InputLimits.h"

namespace engine::door {

namespace {

bool startsCharacter(char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }

// Bytes of the first count characters of text.
size_t bytesOf(const std::string& text, int count) {
    size_t i = 0;
    for (int seen = 0; i < text.size(); ++i) {
        if (startsCharacter(text[i]) && seen++ == count) {
            break;
        }
    }
    return i;
}

int widthOf(TTF_Font* font, const std::string& line) {
    int w = 0, h = 0;
    return line.empty() || TTF_SizeUTF8(font, line.c_str(), &w, &h) != 0 ? 0 : w;
}

// Takes the next line off rest: what fits in width, broken at the last space when wrapping, cut when not.
std::string nextLine(TTF_Font* font, std::string& rest, int width, bool wrap, bool& cut) {
    int extent = 0, count = 0;
    if (TTF_MeasureUTF8(font, rest.c_str(), width, &extent, &count) != 0) {
        count = 0;
    }
    size_t end = bytesOf(rest, count);
    if (end >= rest.size()) {
        return std::exchange(rest, {});
    }
    if (!wrap) {
        cut = true;
        std::string line = rest.substr(0, end);
        rest.clear();
        return line;
    }
    const size_t space = rest.rfind(' ', end);
    size_t next = end;
    if (space != std::string::npos && space > 0) {
        end = space;
        next = rest.find_first_not_of(' ', space);
    } else if (end == 0) {
        end = next = bytesOf(rest, 1); // one character at least, however wide
    }
    std::string line = rest.substr(0, end);
    rest.erase(0, next == std::string::npos ? rest.size() : next);
    return line;
}

} // namespace

std::string firstCharacters(const std::string& text, size_t count, bool& cut) {
    size_t seen = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (startsCharacter(text[i]) && seen++ == count) {
            cut = true;
            return text.substr(0, i);
        }
    }
    return text;
}

TextBlock layOutText(TTF_Font* font, const std::string& text, int wrapWidth, int boxHeight) {
    TextBlock block;
    if (!font || text.empty()) {
        return block;
    }
    const std::string shown = firstCharacters(text, limits::kTextCharacters, block.cut);
    const int side = limits::kTextSurfaceSide;
    const int lineSkip = std::max(1, TTF_FontLineSkip(font));
    const bool wrap = wrapWidth > 0;
    const int width = wrap ? std::min(wrapWidth, side) : side;
    const int shownHeight = boxHeight > 0 ? std::min(boxHeight, side) : side;
    // A line partly inside the box is shown; none past the surface's side.
    const size_t maxLines = std::min((shownHeight + lineSkip - 1) / lineSkip, side / lineSkip);
    size_t start = 0;
    while (start <= shown.size()) {
        size_t end = shown.find('\n', start);
        end = end == std::string::npos ? shown.size() : end;
        std::string rest = shown.substr(start, end - start);
        do {
            std::string line = nextLine(font, rest, width, wrap, block.cut);
            const int lineWidth = std::max(block.width, widthOf(font, line));
            const int64_t area = static_cast<int64_t>(lineWidth) * lineSkip * (block.lines.size() + 1);
            if (block.lines.size() >= maxLines || area > limits::kTextSurfacePixels) {
                block.cut = true;
                block.height = lineSkip * static_cast<int>(block.lines.size());
                return block;
            }
            block.lines.push_back(std::move(line));
            block.width = lineWidth;
        } while (!rest.empty());
        start = end + 1;
    }
    block.height = lineSkip * static_cast<int>(block.lines.size());
    return block;
}

SDL_Surface* renderText(TTF_Font* font, const TextBlock& block, SDL_Color color, int wrapWidth, int align) {
    if (!font || block.lines.empty()) {
        return nullptr;
    }
    std::string joined;
    for (size_t i = 0; i < block.lines.size(); ++i) {
        joined += i == 0 ? block.lines[i] : "\n" + block.lines[i];
    }
    if (joined.find_first_not_of('\n') == std::string::npos) {
        return nullptr;
    }
    TTF_SetFontWrappedAlign(font, align);
    const int wrap = std::min(std::max(wrapWidth, 0), limits::kTextSurfaceSide);
    return TTF_RenderUTF8_Blended_Wrapped(font, joined.c_str(), color, static_cast<Uint32>(wrap));
}

} // namespace engine::door
