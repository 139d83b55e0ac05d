// BlendFunc::DISABLE copies a picture over what lies beneath, alpha included, where the default blends.
#include <gtest/gtest.h>

#include <vector>

#include "base/Director.h"
#include "render/Texture2D.h"
#include "scene/Scene.h"
#include "scene/Sprite.h"
#include "support/Headless.h"

using namespace engine;

namespace {

using OpaqueCopy = support::HeadlessTest;

TEST_F(OpaqueCopy, DisabledBlendingReplacesTheBackgroundWhereTheDefaultMixes) {
    // Half-transparent blue, premultiplied, over an opaque red picture.
    std::vector<uint8_t> red(16 * 16 * 4), blue(16 * 16 * 4);
    for (size_t i = 0; i < red.size(); i += 4) {
        red[i] = 255, red[i + 3] = 255;
        blue[i + 2] = 128, blue[i + 3] = 128;
    }
    Scene* scene = Scene::create();
    auto sprite = [&](const std::vector<uint8_t>& pixels, float x) {
        auto* texture = new Texture2D();
        texture->initWithData(pixels.data(), static_cast<ssize_t>(pixels.size()), Texture2D::PixelFormat::RGBA8888,
                              16, 16, Size(16, 16));
        Sprite* result = Sprite::createWithTexture(texture);
        texture->release();
        result->setPosition(Vec2(x, 360));
        scene->addChild(result);
        return result;
    };
    sprite(red, 100);
    sprite(red, 200);
    sprite(blue, 100)->setBlendFunc(BlendFunc::DISABLE);
    sprite(blue, 200);
    support::runScene(scene);
    support::stepFrames(1);

    const Color4B copied = support::readPixel(100, 360);
    EXPECT_EQ(copied.r, 0);
    EXPECT_EQ(copied.b, 128);
    EXPECT_EQ(copied.a, 128);
    const Color4B mixed = support::readPixel(200, 360);
    EXPECT_GT(mixed.r, 100);
    EXPECT_GT(mixed.a, 200);
}

} // namespace
