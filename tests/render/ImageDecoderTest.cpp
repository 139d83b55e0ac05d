#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>

#include <fstream>
#include <string>
#include <utility>

#include "FaultPictures.h"
#include "platform/FileUtils.h"
#include "render/ImageDecoder.h"
#include "support/Headless.h"

TEST(ImageDecoder, DecodesOnlyPngAndJpegWithinTheSideCap) {
    support::ScratchDir dir;
    SDL_Surface* picture = SDL_CreateRGBSurfaceWithFormat(0, 16, 8, 32, SDL_PIXELFORMAT_RGBA32);
    ASSERT_EQ(IMG_SavePNG(picture, dir.file("p.png").c_str()), 0);
    ASSERT_EQ(IMG_SaveJPG(picture, dir.file("j.jpg").c_str(), 90), 0);
    ASSERT_EQ(SDL_SaveBMP(picture, dir.file("bmp.png").c_str()), 0);
    SDL_FreeSurface(picture);
    // The JPEG's frame header, after its other segments, claims 30000x30000.
    std::string jpeg = engine::FileUtils::getInstance()->getStringFromFile(dir.file("j.jpg"));
    std::ofstream(dir.file("huge.jpg"), std::ios::binary)
        << jpeg.replace(jpeg.find("\xFF\xC0") + 5, 4, "\x75\x30\x75\x30");
    std::ofstream(dir.file("huge.png"), std::ios::binary) << courseware::FaultPictures::hugePng();
    std::ofstream(dir.file("svg.png"), std::ios::binary) << courseware::FaultPictures::hugeSvg();

    for (const char* name : {"p.png", "j.jpg", "bmp.png", "huge.jpg", "huge.png", "svg.png", "missing.png"}) {
        SDL_Surface* surface = engine::ImageDecoder::load(dir.file(name));
        EXPECT_EQ(surface != nullptr, name[1] == '.') << name;
        if (surface) {
            EXPECT_EQ(std::make_pair(surface->w, surface->h), std::make_pair(16, 8)) << name;
            SDL_FreeSurface(surface);
        }
    }
}
