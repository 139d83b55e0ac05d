// Pictures for small uses in the texture cache: kept at the size they are drawn, and the small cap kept with them.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>

#include "base/Director.h"
#include "base/InputLimits.h"
#include "render/Texture2D.h"
#include "render/TextureCache.h"
#include "support/Headless.h"

namespace {

class TextureCacheSmall : public support::HeadlessTest {
protected:
    // A picture of that size, its left half black and its right half white.
    std::string picture(int width, int height) {
        const std::string path = dir.file(std::to_string(width) + "x" + std::to_string(height) + ".png");
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGBA32);
        SDL_FillRect(surface, nullptr, 0xFF000000);
        SDL_Rect right{width / 2, 0, width - width / 2, height};
        SDL_FillRect(surface, &right, 0xFFFFFFFF);
        IMG_SavePNG(surface, path.c_str());
        SDL_FreeSurface(surface);
        return path;
    }
    engine::TextureCache* cache() { return engine::Director::getInstance()->getTextureCache(); }
    support::ScratchDir dir;
};

TEST_F(TextureCacheSmall, AnIconIsScaledOnTheWorkerToTheSideItIsDrawnAndComesBackSmallAfterItIsDropped) {
    const struct {
        int width, height, keptWidth, keptHeight;
    } rows[] = {{1024, 512, 256, 128}, {220, 180, 220, 180}, {100, 1000, 25, 256}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.width);
        const std::string path = picture(row.width, row.height);
        engine::Texture2D* kept = nullptr;
        bool answered = false;
        cache()->addImageAsync(
            path, [&](engine::Texture2D* texture) { kept = texture, answered = true; },
            engine::limits::kSmallPictureSide, engine::limits::kSmallPictureKeptSide);
        ASSERT_TRUE(support::waitFor([&] { return answered; }));
        ASSERT_NE(kept, nullptr);
        EXPECT_EQ(kept->getPixelsWide(), row.keptWidth);
        EXPECT_EQ(kept->getPixelsHigh(), row.keptHeight);
        // Dropped and asked for again as any picture (a button's texture), it is decoded as small as before.
        cache()->removeTextureForKey(path);
        engine::Texture2D* again = cache()->addImage(path);
        ASSERT_NE(again, nullptr);
        EXPECT_EQ(again->getPixelsWide(), row.keptWidth);
        cache()->removeTextureForKey(path);
    }
}

} // namespace
