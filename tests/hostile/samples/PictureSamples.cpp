#include "hostile/samples/PictureSamples.h"

#include <SDL.h>
#include <SDL_image.h>

#include "render/ImageDecoder.h"

namespace hostile {

Make pngOfSide(int width, int height) {
    return [width, height](const std::string& dir) {
        const std::string path = dir + "/side.png";
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 8, SDL_PIXELFORMAT_INDEX8);
        IMG_SavePNG(surface, path.c_str());
        SDL_FreeSurface(surface);
        return path;
    };
}

Run decodePicture() {
    return [](const std::string& sample) {
        SDL_Surface* surface = engine::ImageDecoder::load(sample);
        const bool decoded = surface != nullptr;
        SDL_FreeSurface(surface);
        return decoded ? Outcome::PASSES : Outcome::REFUSED;
    };
}

} // namespace hostile
