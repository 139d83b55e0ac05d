#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>

#include <string>
#include <vector>

#include "base/Director.h"
#include "base/Log.h"
#include "scene/DrawNode.h"
#include "scene/RenderTexture.h"
#include "scene/Scene.h"
#include "scene/Sprite.h"
#include "support/Headless.h"

using namespace engine;

namespace {

const Color4B kTransparent(0, 0, 0, 0);
const Color4B kRed(255, 0, 0, 255);

class RenderTextureDrawing : public support::HeadlessTest {
protected:
    void SetUp() override {
        support::HeadlessTest::SetUp();
        setLogSink([this](const std::string& line) { logLines.push_back(line); });
    }
    void TearDown() override {
        setLogSink(nullptr);
        for (Sprite* stamp : stamps) {
            stamp->release();
        }
        support::HeadlessTest::TearDown();
    }

    // A white stamp, as the drawing board uses: a 16-pixel disc tinted as a pen, or a 20-pixel eraser square.
    Sprite* stamp(bool eraser, const Color3B& color = Color3B::WHITE) {
        const int size = eraser ? 20 : 16;
        std::vector<uint8_t> pixels(static_cast<size_t>(size) * size * 4, 0);
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const float dx = x - (size - 1) / 2.f, dy = y - (size - 1) / 2.f;
                if (eraser || dx * dx + dy * dy <= size * size / 4.f) {
                    std::fill_n(&pixels[(static_cast<size_t>(y) * size + x) * 4], 4, 255);
                }
            }
        }
        auto* texture = new Texture2D();
        texture->initWithData(pixels.data(), static_cast<ssize_t>(pixels.size()), Texture2D::PixelFormat::RGBA8888,
                              size, size, Size(static_cast<float>(size), static_cast<float>(size)));
        Sprite* sprite = Sprite::createWithTexture(texture);
        texture->release();
        sprite->retain();
        sprite->setColor(color);
        if (eraser) {
            sprite->setBlendFunc(BlendFunc::ERASE);
        }
        stamps.push_back(sprite);
        return sprite;
    }
    // Stamps every 4 points along the path, as the board does for one touch move.
    static void stroke(Sprite* stamp, const Vec2& from, const Vec2& to) {
        const int n = std::max(1, static_cast<int>(from.distance(to) / 4));
        for (int i = 0; i <= n; ++i) {
            stamp->setPosition(from + (to - from) * (static_cast<float>(i) / n));
            stamp->visit();
        }
    }
    // A board centred in a running scene: texture point (x, y) shows at world (440 + x, 210 + y).
    RenderTexture* showBoard() {
        Scene* scene = Scene::create();
        RenderTexture* board = RenderTexture::create(400, 300);
        board->setPosition(640, 360);
        scene->addChild(board);
        support::runScene(scene);
        return board;
    }
    static Color4B onScreen(float x, float y) {
        return support::readPixel(static_cast<int>(440 + x), static_cast<int>(720 - (210 + y)));
    }

    std::vector<Sprite*> stamps;
    std::vector<std::string> logLines;
};

} // namespace

TEST_F(RenderTextureDrawing, IsTransparentWhenNew) {
    RenderTexture* board = RenderTexture::create(400, 300);
    ASSERT_NE(board, nullptr);
    EXPECT_EQ(board->getContentSize(), Size(400, 300));
    EXPECT_EQ(board->getAnchorPoint(), Vec2(0.5f, 0.5f));
    EXPECT_EQ(board->getTexture()->getPixelsWide(), 400);
    for (const auto& p : {Vec2(0, 0), Vec2(399, 299), Vec2(200, 150)}) {
        EXPECT_EQ(board->readPixel(static_cast<int>(p.x), static_cast<int>(p.y)), kTransparent);
    }
    EXPECT_EQ(board->readPixel(400, 0), kTransparent);
    EXPECT_EQ(RenderTexture::create(0, 10), nullptr);
}

TEST_F(RenderTextureDrawing, PenStrokesTakeThePenColourAndTheEraserClearsUnderItsStamp) {
    RenderTexture* board = showBoard();
    board->begin();
    stroke(stamp(false, Color3B::RED), Vec2(40, 60), Vec2(360, 60));
    stroke(stamp(false, Color3B::BLACK), Vec2(200, 100), Vec2(200, 280));
    board->end();
    EXPECT_EQ(board->readPixel(40, 60), kRed);
    EXPECT_EQ(board->readPixel(360, 60), kRed);
    EXPECT_EQ(board->readPixel(200, 200), Color4B(0, 0, 0, 255));
    EXPECT_EQ(board->readPixel(200, 80), kTransparent);
    EXPECT_EQ(board->readPixel(10, 60), kTransparent);

    board->begin();
    stroke(stamp(true), Vec2(150, 60), Vec2(250, 60));
    board->end();
    EXPECT_EQ(board->readPixel(150, 60).a, 0);
    EXPECT_EQ(board->readPixel(250, 60).a, 0);
    EXPECT_EQ(board->readPixel(100, 60), kRed);
    EXPECT_EQ(board->readPixel(200, 200), Color4B(0, 0, 0, 255));
}

TEST_F(RenderTextureDrawing, StampsLandInTheTexturesOwnSpaceWhereverTheNodeIs) {
    RenderTexture* board = showBoard();
    Sprite* pen = stamp(false, Color3B::RED);
    for (const Vec2& position : {Vec2(640, 360), Vec2(100, 650), Vec2(-300, -50)}) {
        board->setPosition(position);
        board->beginWithClear(0, 0, 0, 0);
        stroke(pen, Vec2(30, 40), Vec2(30, 40));
        board->end();
        EXPECT_EQ(board->readPixel(30, 40), kRed) << position.x << ", " << position.y;
        EXPECT_EQ(board->readPixel(60, 40), kTransparent);
    }
}

TEST_F(RenderTextureDrawing, TheNodeShowsItsTextureAtItsPlaceInTheScene) {
    RenderTexture* board = showBoard();
    // A light backdrop shows through the transparent and erased parts.
    DrawNode* backdrop = DrawNode::create();
    backdrop->drawSolidRect(Vec2(0, 0), Vec2(1280, 720), Color4F(Color4B(220, 220, 220, 255)));
    board->getParent()->addChild(backdrop, -1);
    board->begin();
    stroke(stamp(false, Color3B::RED), Vec2(40, 60), Vec2(360, 60));
    stroke(stamp(false, Color3B::GREEN), Vec2(200, 100), Vec2(200, 280));
    stroke(stamp(true), Vec2(60, 60), Vec2(140, 60));
    board->end();
    const std::string shot = support::saveScreenshot("render_texture_strokes");
    EXPECT_FALSE(shot.empty());
    EXPECT_EQ(onScreen(200, 60), kRed);
    EXPECT_EQ(onScreen(200, 200), Color4B(0, 255, 0, 255));
    EXPECT_EQ(onScreen(300, 200), Color4B(220, 220, 220, 255));
    EXPECT_EQ(onScreen(100, 60), Color4B(220, 220, 220, 255));
}

TEST_F(RenderTextureDrawing, NestedBeginIsRefusedAndOneEndRestoresTheScreen) {
    RenderTexture* board = showBoard();
    board->begin();
    board->begin();
    EXPECT_EQ(logLines.size(), 1u);
    board->end();
    EXPECT_FALSE(board->isDrawing());
    stroke(stamp(false, Color3B::RED), Vec2(30, 40), Vec2(30, 40));
    EXPECT_EQ(board->readPixel(30, 40), kTransparent);
    board->end();
    EXPECT_EQ(logLines.size(), 2u);
}

TEST_F(RenderTextureDrawing, TextureIsScaledByTheContentScaleFactor) {
    Director::getInstance()->setContentScaleFactor(0.8f);
    RenderTexture* board = showBoard();
    EXPECT_EQ(board->getContentSize(), Size(400, 300));
    EXPECT_EQ(board->getTexture()->getPixelsWide(), 320);
    EXPECT_EQ(board->getTexture()->getPixelsHigh(), 240);
    board->begin();
    stroke(stamp(false, Color3B::RED), Vec2(100, 100), Vec2(100, 100));
    board->end();
    EXPECT_EQ(board->readPixel(80, 80), kRed);
    EXPECT_EQ(board->readPixel(100, 100), kTransparent);
    support::stepFrames(1);
    EXPECT_EQ(onScreen(100, 100), kRed);
}

TEST_F(RenderTextureDrawing, SavesItsPixelsAsPng) {
    support::ScratchDir dir;
    RenderTexture* board = RenderTexture::create(40, 30);
    board->beginWithClear(0, 0, 1, 1);
    stroke(stamp(true), Vec2(10, 10), Vec2(10, 10));
    board->end();
    ASSERT_TRUE(board->saveToFile(dir.file("board.png")));
    SDL_Surface* loaded = IMG_Load(dir.file("board.png").c_str());
    ASSERT_NE(loaded, nullptr);
    SDL_Surface* rgba = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(loaded);
    EXPECT_EQ(rgba->w, 40);
    EXPECT_EQ(rgba->h, 30);
    const auto row = [&](int y) { return static_cast<const uint8_t*>(rgba->pixels) + y * rgba->pitch; };
    EXPECT_EQ(Color4B(row(0)[0], row(0)[1], row(0)[2], row(0)[3]), Color4B(0, 0, 255, 255));
    EXPECT_EQ(row(19)[10 * 4 + 3], 0); // texture y 10, saved top row first
    SDL_FreeSurface(rgba);
    EXPECT_FALSE(board->saveToFile(dir.file("missing/board.png")));
}
