#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Log.h"
#include "scene/DrawNode.h"
#include "scene/Scene.h"
#include "support/Headless.h"

using namespace engine;

namespace {

const Color4B kBackground(0, 0, 0, 255);

class DrawNodeDrawing : public support::HeadlessTest {
protected:
    void SetUp() override {
        support::HeadlessTest::SetUp();
        Scene* scene = Scene::create();
        node = DrawNode::create(3);
        node->setPosition(100, 100);
        scene->addChild(node);
        support::runScene(scene);
    }
    // The window pixel under a world point of the last frame.
    static Color4B at(float x, float y) { return support::readPixel(static_cast<int>(x), static_cast<int>(720 - y)); }

    DrawNode* node = nullptr;
};

} // namespace

TEST_F(DrawNodeDrawing, LineShowsInItsColourAndClearRemovesIt) {
    EXPECT_EQ(node->getAnchorPoint(), Vec2::ZERO);
    node->drawLine(Vec2(0, 0), Vec2(200, 0), Color4F::RED);
    support::stepFrames(1);
    for (float x : {110.f, 200.f, 290.f}) {
        EXPECT_EQ(at(x, 100), Color4B(255, 0, 0, 255)) << x;
    }
    EXPECT_EQ(at(200, 103), kBackground);
    EXPECT_EQ(at(320, 100), kBackground);

    node->clear();
    support::stepFrames(1);
    EXPECT_EQ(at(200, 100), kBackground);
    node->drawLine(Vec2(0, 0), Vec2(200, 0), Color4F::GREEN);
    support::stepFrames(1);
    EXPECT_EQ(at(200, 100), Color4B(0, 255, 0, 255));
}

TEST_F(DrawNodeDrawing, ShapesFillInNodeSpaceAndFadeWithOpacity) {
    node->drawDot(Vec2(50, 50), 10, Color4F::GREEN);
    node->drawSolidRect(Vec2(100, 0), Vec2(140, 30), Color4F::BLUE);
    const Vec2 triangle[3] = {Vec2(200, 0), Vec2(260, 0), Vec2(230, 40)};
    node->drawPolygon(triangle, 3, Color4F::RED, 2, Color4F::WHITE);
    support::stepFrames(1);
    EXPECT_EQ(at(150, 150), Color4B(0, 255, 0, 255));
    EXPECT_EQ(at(150, 163), kBackground);
    EXPECT_EQ(at(220, 115), Color4B(0, 0, 255, 255));
    EXPECT_EQ(at(330, 110), Color4B(255, 0, 0, 255));
    EXPECT_EQ(at(330, 100), Color4B(255, 255, 255, 255));

    node->setOpacity(128);
    support::stepFrames(1);
    EXPECT_NEAR(at(220, 115).b, 128, 2);
    node->setOpacity(0);
    support::stepFrames(1);
    EXPECT_EQ(at(220, 115), kBackground);
}

TEST_F(DrawNodeDrawing, PolygonsWithTooFewPointsAreRefused) {
    std::vector<std::string> lines;
    setLogSink([&](const std::string& line) { lines.push_back(line); });
    const Vec2 two[2] = {Vec2(0, 0), Vec2(50, 50)};
    node->drawSolidPoly(two, 2, Color4F::RED);
    node->drawPolygon(nullptr, 5, Color4F::RED, 1, Color4F::RED);
    setLogSink(nullptr);
    EXPECT_EQ(lines.size(), 2u);
    support::stepFrames(1);
    EXPECT_EQ(at(120, 120), kBackground);
}
