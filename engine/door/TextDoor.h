// The door's text rows: a label's text laid out and cut to what its box can show, measured before any surface is
// made, and the one place text is rendered.
#pragma once

#include <SDL_ttf.h>

#include <string>
#include <vector>

namespace engine::door {

struct TextBlock {
    std::vector<std::string> lines; // what is shown, a line each
    int width = 0;                  // pixels of the widest line
    int height = 0;                 // pixels of all the lines
    bool cut = false;               // some of the text is not shown
};

// Lays text out in font: wrapped at wrapWidth pixels (0: at line breaks only, each line cut at the surface side),
// at most the lines that boxHeight pixels show (0: the surface side), and never more characters, side or area
// than the text limits allow.
TextBlock layOutText(TTF_Font* font, const std::string& text, int wrapWidth, int boxHeight);

// The block rendered with its lines aligned (a TTF_WRAPPED_ALIGN_* value); null for an empty block. The caller owns
// the surface.
SDL_Surface* renderText(TTF_Font* font, const TextBlock& block, SDL_Color color, int wrapWidth, int align);

// The text cut to at most count UTF-8 characters, found without reading past them.
std::string firstCharacters(const std::string& text, size_t count, bool& cut);

} // namespace engine::door
