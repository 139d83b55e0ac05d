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
    // 4096x65000 (libjpeg takes up to 65500): a cap that looks at the width only lets 1 GB through.
    std::ofstream(dir.file("tall.jpg"), std::ios::binary)
        << jpeg.replace(jpeg.find("\xFF\xC0") + 5, 4, std::string("\xFD\xE8\x10\x00", 4));
    std::ofstream(dir.file("huge.png"), std::ios::binary) << courseware::FaultPictures::hugePng();
    std::ofstream(dir.file("svg.png"), std::ios::binary) << courseware::FaultPictures::hugeSvg();
    // Decoding work past the size: scans beyond the cap, data far longer than 16x16 can need, data within what
    // 1024x1024 can need that inflates to 1 GB.
    std::ofstream(dir.file("scans64.jpg"), std::ios::binary) << courseware::FaultPictures::manyScansJpeg(64);
    std::ofstream(dir.file("scans65.jpg"), std::ios::binary) << courseware::FaultPictures::manyScansJpeg(65);
    std::ofstream(dir.file("surplus16.png"), std::ios::binary) << courseware::FaultPictures::surplusPng(16);
    std::ofstream(dir.file("surplus1024.png"), std::ios::binary) << courseware::FaultPictures::surplusPng(1024);

    const std::pair<const char*, std::pair<int, int>> rows[] = {
        {"p.png", {16, 8}},  {"j.jpg", {16, 8}},    {"scans64.jpg", {1024, 1024}},
        {"bmp.png", {}},     {"huge.jpg", {}},      {"tall.jpg", {}},
        {"huge.png", {}},    {"svg.png", {}},       {"missing.png", {}},
        {"scans65.jpg", {}}, {"surplus16.png", {}}, {"surplus1024.png", {}}};
    for (const auto& [name, size] : rows) {
        SDL_Surface* surface = engine::ImageDecoder::load(dir.file(name));
        EXPECT_EQ(surface ? std::make_pair(surface->w, surface->h) : std::make_pair(0, 0), size) << name;
        SDL_FreeSurface(surface);
    }
}
