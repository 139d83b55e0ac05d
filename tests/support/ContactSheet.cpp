#include "support/ContactSheet.h"

#include <SDL_image.h>

namespace support {

void ContactSheet::save(const std::string& name) const {
    const int columns = 5, w = 320, h = 180, gap = 6, rows = (static_cast<int>(shots.size()) + columns - 1) / columns;
    SDL_Surface* sheet = SDL_CreateRGBSurfaceWithFormat(0, columns * (w + gap) + gap, rows * (h + gap) + gap, 32,
                                                        SDL_PIXELFORMAT_RGBA32);
    SDL_FillRect(sheet, nullptr, SDL_MapRGBA(sheet->format, 60, 60, 60, 255));
    for (size_t i = 0; i < shots.size(); ++i) {
        SDL_Rect to{gap + static_cast<int>(i % columns) * (w + gap), gap + static_cast<int>(i / columns) * (h + gap), w,
                    h};
        SDL_Surface* shot = IMG_Load(shots[i].c_str());
        SDL_BlitScaled(shot, nullptr, sheet, &to);
        SDL_FreeSurface(shot);
    }
    IMG_SavePNG(sheet, (std::string(TEST_SCREENSHOT_DIR) + "/" + name + ".png").c_str());
    SDL_FreeSurface(sheet);
}

} // namespace support
