#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>

#include <string>
#include <vector>

#include "base/Director.h"
#include "base/Log.h"
#include "render/Texture2D.h"
#include "scene/DrawNode.h"
#include "scene/RenderTexture.h"
#include "scene/Scene.h"
#include "scene/Sprite.h"
#include "support/Headless.h"

using namespace engine;

namespace {

const Color4B kTransparent(0, 0, 0, 0);
const Color4B kRed(255, 0, 0, 255);

// A white stamp of size x size pixels: a disc, or the whole square.
Sprite* makeStamp(int size, bool disc) {
    std::vector<uint8_t> pixels(static_cast<size_t>(size) * size * 4, 0);
    const float c = (size - 1) / 2.f, r2 = (size / 2.f) * (size / 2.f);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            if (!disc || (x - c) * (x - c) + (y - c) * (y - c) <= r2) {
                std::fill_n(&pixels[(static_cast<size_t>(y) * size + x) * 4], 4, 255);
            }
        }
    }
    auto* texture = new Texture2D();
    texture->initWithData(pixels.data(), static_cast<ssize_t>(pixels.size()), Texture2D::PixelFormat::RGBA8888, size,
                          size, Size(static_cast<float>(size), static_cast<float>(size)));
    Sprite* stamp = Sprite::createWithTexture(texture);
    texture->release();
    stamp->retain();
    return stamp;
}

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

    Sprite* pen(const Color3B& color) {
        Sprite* stamp = makeStamp(16, true);
        stamp->setColor(color);
        stamps.push_back(stamp);
        return stamp;
    }
    Sprite* eraser() {
        Sprite* stamp = makeStamp(20, false);
        stamp->setBlendFunc(BlendFunc::ERASE);
        stamps.push_back(stamp);
        return stamp;
    }
    // Stamps along a straight path, as a drawing board does for one touch move.
    static void stroke(Sprite* stamp, const Vec2& from, const Vec2& to, float step = 4.f) {
        const float length = from.distance(to);
        const int n = std::max(1, static_cast<int>(length / step));
        for (int i = 0; i <= n; ++i) {
            stamp->setPosition(from + (to - from) * (static_cast<float>(i) / n));
            stamp->visit();
        }
    }
    // The render texture shown at the window centre of a running scene.
    RenderTexture* showBoard(int w, int h) {
        Scene* scene = Scene::create();
        RenderTexture* board = RenderTexture::create(w, h);
        board->setPosition(640, 360);
        scene->addChild(board);
        support::runScene(scene);
        return board;
    }

    std::vector<Sprite*> stamps;
    std::vector<std::string> logLines;
};

} // namespace

TEST_F(RenderTextureDrawing, IsTransparentWhenNewAndSizedInPoints) {
    RenderTexture* board = RenderTexture::create(400, 300);
    ASSERT_NE(board, nullptr);
    EXPECT_EQ(board->getContentSize(), Size(400, 300));
    EXPECT_EQ(board->getAnchorPoint(), Vec2(0.5f, 0.5f));
    EXPECT_EQ(board->getTexture()->getPixelsWide(), 400);
    EXPECT_EQ(board->getTexture()->getPixelsHigh(), 300);
    for (const auto& p : {Vec2(0, 0), Vec2(399, 299), Vec2(200, 150), Vec2(0, 299)}) {
        EXPECT_EQ(board->readPixel(static_cast<int>(p.x), static_cast<int>(p.y)), kTransparent);
    }
    EXPECT_EQ(RenderTexture::create(0, 10), nullptr);
}

TEST_F(RenderTextureDrawing, PenStrokesTakeThePenColourAndLeaveTheRestTransparent) {
    RenderTexture* board = showBoard(400, 300);
    Sprite* redPen = pen(Color3B::RED);
    board->begin();
    stroke(redPen, Vec2(40, 60), Vec2(360, 60));
    board->end();

    EXPECT_EQ(board->readPixel(40, 60), kRed);
    EXPECT_EQ(board->readPixel(200, 60), kRed);
    EXPECT_EQ(board->readPixel(360, 60), kRed);
    EXPECT_EQ(board->readPixel(200, 200), kTransparent);
    EXPECT_EQ(board->readPixel(200, 80), kTransparent);
    EXPECT_EQ(board->readPixel(10, 60), kTransparent);
}

TEST_F(RenderTextureDrawing, EraserClearsUnderTheStampOnly) {
    RenderTexture* board = showBoard(400, 300);
    Sprite* blackPen = pen(Color3B::BLACK);
    board->begin();
    stroke(blackPen, Vec2(40, 60), Vec2(360, 60));
    stroke(blackPen, Vec2(200, 20), Vec2(200, 280));
    board->end();
    ASSERT_EQ(board->readPixel(200, 60), Color4B(0, 0, 0, 255));

    board->begin();
    stroke(eraser(), Vec2(150, 60), Vec2(250, 60));
    board->end();
    EXPECT_EQ(board->readPixel(200, 60).a, 0);
    EXPECT_EQ(board->readPixel(150, 60).a, 0);
    EXPECT_EQ(board->readPixel(250, 60).a, 0);
    EXPECT_EQ(board->readPixel(100, 60), Color4B(0, 0, 0, 255));
    EXPECT_EQ(board->readPixel(200, 200), Color4B(0, 0, 0, 255));
    EXPECT_EQ(board->readPixel(300, 200), kTransparent);
}

TEST_F(RenderTextureDrawing, StampsLandInTheTexturesOwnSpaceWhereverTheNodeIs) {
    RenderTexture* board = showBoard(400, 300);
    Sprite* redPen = pen(Color3B::RED);
    for (const Vec2& position : {Vec2(640, 360), Vec2(100, 650), Vec2(-300, -50)}) {
        board->setPosition(position);
        board->clear(0, 0, 0, 0);
        board->begin();
        stroke(redPen, Vec2(30, 40), Vec2(30, 40));
        board->end();
        EXPECT_EQ(board->readPixel(30, 40), kRed) << "at " << position.x << ", " << position.y;
        EXPECT_EQ(board->readPixel(60, 40), kTransparent);
    }
}

TEST_F(RenderTextureDrawing, TheNodeShowsItsTextureAtItsPlaceInTheScene) {
    RenderTexture* board = showBoard(400, 300);
    // A light backdrop shows through the transparent and erased parts.
    DrawNode* backdrop = DrawNode::create();
    backdrop->drawSolidRect(Vec2(0, 0), Vec2(1280, 720), Color4F(Color4B(220, 220, 220, 255)));
    board->getParent()->addChild(backdrop, -1);
    const Color4B grey(220, 220, 220, 255);
    board->begin();
    stroke(pen(Color3B::RED), Vec2(40, 60), Vec2(360, 60));
    stroke(pen(Color3B::GREEN), Vec2(200, 100), Vec2(200, 280));
    board->end();
    support::stepFrames(1);

    // Texture point (x, y) shows at world (440 + x, 210 + y); window rows count from the top.
    EXPECT_EQ(support::readPixel(440 + 100, 720 - (210 + 60)), kRed);
    EXPECT_EQ(support::readPixel(440 + 200, 720 - (210 + 200)), Color4B(0, 255, 0, 255));
    EXPECT_EQ(support::readPixel(440 + 300, 720 - (210 + 200)), grey);

    board->begin();
    stroke(eraser(), Vec2(60, 60), Vec2(140, 60));
    board->end();
    EXPECT_FALSE(support::saveScreenshot("render_texture_strokes").empty());
    EXPECT_EQ(support::readPixel(440 + 100, 720 - (210 + 60)), grey);
}

TEST_F(RenderTextureDrawing, NestedBeginIsRefusedAndOneEndRestoresTheScreen) {
    RenderTexture* board = showBoard(400, 300);
    board->begin();
    board->begin();
    EXPECT_EQ(logLines.size(), 1u);
    EXPECT_TRUE(board->isDrawing());
    board->end();
    EXPECT_FALSE(board->isDrawing());
    stroke(pen(Color3B::RED), Vec2(30, 40), Vec2(30, 40));
    EXPECT_EQ(board->readPixel(30, 40), kTransparent);

    logLines.clear();
    board->end();
    EXPECT_EQ(logLines.size(), 1u);
}

TEST_F(RenderTextureDrawing, ClearFillsTheWholeTexture) {
    RenderTexture* board = RenderTexture::create(64, 32);
    board->beginWithClear(0, 0, 1, 1);
    board->end();
    EXPECT_EQ(board->readPixel(0, 0), Color4B(0, 0, 255, 255));
    EXPECT_EQ(board->readPixel(63, 31), Color4B(0, 0, 255, 255));
    board->clear(0, 0, 0, 0);
    EXPECT_EQ(board->readPixel(10, 10), kTransparent);
}

TEST_F(RenderTextureDrawing, TextureIsScaledByTheContentScaleFactor) {
    Director::getInstance()->setContentScaleFactor(0.8f);
    RenderTexture* board = showBoard(400, 300);
    EXPECT_EQ(board->getContentSize(), Size(400, 300));
    EXPECT_EQ(board->getTexture()->getPixelsWide(), 320);
    EXPECT_EQ(board->getTexture()->getPixelsHigh(), 240);

    board->begin();
    stroke(pen(Color3B::RED), Vec2(100, 100), Vec2(100, 100));
    board->end();
    EXPECT_EQ(board->readPixel(80, 80), kRed);
    EXPECT_EQ(board->readPixel(100, 100), kTransparent);

    // On screen the texture still covers 400 x 300 points.
    support::stepFrames(1);
    EXPECT_EQ(support::readPixel(440 + 100, 720 - (210 + 100)), kRed);
}

TEST_F(RenderTextureDrawing, ReadBackOutOfRangeAndSaveToFile) {
    RenderTexture* board = RenderTexture::create(40, 30);
    board->begin();
    stroke(pen(Color3B::RED), Vec2(10, 5), Vec2(10, 5));
    board->end();
    EXPECT_EQ(board->readPixel(-1, 0), kTransparent);
    EXPECT_EQ(board->readPixel(40, 0), kTransparent);
    EXPECT_EQ(logLines.size(), 2u);

    support::ScratchDir dir;
    ASSERT_TRUE(board->saveToFile(dir.file("board.png")));
    SDL_Surface* loaded = IMG_Load(dir.file("board.png").c_str());
    ASSERT_NE(loaded, nullptr);
    SDL_Surface* rgba = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(loaded);
    ASSERT_NE(rgba, nullptr);
    EXPECT_EQ(rgba->w, 40);
    EXPECT_EQ(rgba->h, 30);
    // Saved top row first: texture y = 5 is row 24.
    const auto* px = static_cast<const uint8_t*>(rgba->pixels) + 24 * rgba->pitch + 10 * 4;
    EXPECT_EQ(Color4B(px[0], px[1], px[2], px[3]), kRed);
    const auto* corner = static_cast<const uint8_t*>(rgba->pixels);
    EXPECT_EQ(corner[3], 0);
    SDL_FreeSurface(rgba);
    EXPECT_FALSE(board->saveToFile(dir.file("no/such/folder/board.png")));
}
