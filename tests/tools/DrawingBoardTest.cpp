// The drawing board: where the stamps of a move land, pens and the eraser on the canvas, clear, the panel by play
// mode and the mends for bad colour buttons and missing brushes.
#include "platform/FileUtils.h"
#include "platform/GLView.h"
#include "scene/RenderTexture.h"
#include "scene/Sprite.h"
#include "tools/DrawBoardLayer.h"
#include "tools/ToolsFixture.h"

using engine::Color4B;
using engine::TouchPhase;
using engine::Vec2;
using tools_test::ToolsTest;

namespace {

const Color4B kRed(0xe6, 0x00, 0x12, 255), kBlack(0, 0, 0, 255), kWhite(255, 255, 255, 255);

class DrawingBoard : public ToolsTest {
protected:
    // Subject 1 of course type 1 with that play mode is the current choice.
    static void setPlayMode(int playMode) {
        GDataManager* data = GDataManager::getInstance();
        data->courseTypes[1].subjects[1].playMode = playMode;
        data->courseTypeCode = 1;
        data->subjectCode = 1;
    }
    DrawBoardLayer* openBoard() {
        DrawBoardLayer* board = DrawBoardLayer::create();
        engine::Director::getInstance()->getRunningScene()->addChild(board, 105);
        support::stepFrames(1);
        return board;
    }
    static void touch(TouchPhase phase, const Vec2& at) {
        engine::Director::getInstance()->getOpenGLView()->injectTouch(phase, at);
    }
    // One touch through the points, one move event per point after the first.
    static void stroke(const std::vector<Vec2>& points) {
        touch(TouchPhase::BEGAN, points.front());
        for (size_t i = 1; i < points.size(); ++i) {
            touch(TouchPhase::MOVED, points[i]);
        }
        touch(TouchPhase::ENDED, points.back());
    }
    static Color4B canvasAt(DrawBoardLayer* board, float x, float y) {
        return board->getCanvas()->readPixel(static_cast<int>(x), static_cast<int>(y));
    }
    static void expectColor(const Color4B& got, const Color4B& want, const std::string& where) {
        EXPECT_NEAR(got.r, want.r, 2) << where;
        EXPECT_NEAR(got.g, want.g, 2) << where;
        EXPECT_NEAR(got.b, want.b, 2) << where;
        EXPECT_NEAR(got.a, want.a, 2) << where;
    }
};

} // namespace

TEST_F(DrawingBoard, StampsRunFromTheTouchBackTowardsThePreviousPoint) {
    DrawBoardLayer* board = openBoard();
    // A pen stamp is 8 points wide. Moves of 1.0, 1.5 and 10.7 points to the right, on three lines.
    stroke({{100, 600}, {101, 600}});
    stroke({{100, 500}, {101.5f, 500}});
    stroke({{100, 400}, {110.7f, 400}});
    EXPECT_EQ(canvasAt(board, 101, 600).a, 0);
    EXPECT_EQ(canvasAt(board, 98, 600).a, 0);
    expectColor(canvasAt(board, 101, 500), kRed, "1.5 move");
    // Ten stamps from 110.7 back to 101.7: painted up to 4 points beyond each end; the previous point's own
    // stamp is left to the next move.
    for (float x : {100.f, 104.f, 110.f, 113.f}) {
        expectColor(canvasAt(board, x, 400), kRed, "10.7 move at " + std::to_string(x));
    }
    EXPECT_EQ(canvasAt(board, 96.5f, 400).a, 0);
    EXPECT_EQ(canvasAt(board, 116.f, 400).a, 0);
}

TEST_F(DrawingBoard, TwoPensAndAnErasedStroke) {
    engine::Scene* scene = engine::Director::getInstance()->getRunningScene();
    auto* backdrop = engine::Sprite::create("Common/ClientBg9.png");
    backdrop->setScale(80.f, 6.f);
    backdrop->setPosition(640, 360);
    scene->addChild(backdrop);
    DrawBoardLayer* board = openBoard();
    EXPECT_TRUE(find(board, "BoardPanel1")->isVisible());
    stroke({{200, 300}, {300, 320}, {400, 300}, {500, 330}});
    press(board->getBoardPanel(), "ColorImg8");
    EXPECT_EQ(board->getPenIndex(), 8);
    EXPECT_EQ(find(board->getBoardPanel(), "SelectImg")->getPosition(),
              find(board->getBoardPanel(), "ColorImg8")->getPosition());
    stroke({{200, 500}, {350, 450}, {500, 500}});
    press(board->getBoardPanel(), "ColorImg9");
    stroke({{600, 500}, {700, 500}});
    expectColor(canvasAt(board, 300, 320), kRed, "pen 1");
    expectColor(canvasAt(board, 350, 450), kBlack, "pen 8");
    expectColor(canvasAt(board, 650, 500), kWhite, "pen 9");

    press(board->getBoardPanel(), "EraserImg");
    EXPECT_EQ(board->getPenIndex(), 0);
    EXPECT_FALSE(find(board->getBoardPanel(), "SelectImg")->isVisible());
    touch(TouchPhase::BEGAN, {300, 200});
    ASSERT_NE(board->getEraserCursor(), nullptr);
    touch(TouchPhase::MOVED, {300, 380});
    touch(TouchPhase::MOVED, {300, 560});
    EXPECT_EQ(board->getEraserCursor()->getPosition(), Vec2(300, 560));
    support::saveScreenshot("tools_drawing_board");
    touch(TouchPhase::ENDED, {300, 560});
    EXPECT_EQ(board->getEraserCursor(), nullptr);
    EXPECT_EQ(canvasAt(board, 300, 320).a, 0);
    EXPECT_EQ(canvasAt(board, 300, 500).a, 0);
    expectColor(canvasAt(board, 400, 300), kRed, "beside the eraser");
    expectColor(canvasAt(board, 350, 450), kBlack, "beside the eraser");

    // Clear gives a new empty canvas and keeps the eraser.
    press(board->getBoardPanel(), "ClearImg");
    EXPECT_EQ(board->getPenIndex(), 0);
    EXPECT_EQ(canvasAt(board, 400, 300).a, 0);
}

TEST_F(DrawingBoard, PanelByPlayMode) {
    struct Case {
        int playMode;
        const char* used;
        const char* unused;
    };
    for (const Case& c : {Case{1, "BoardPanel1", "BoardPanel2"}, Case{2, "BoardPanel2", "BoardPanel1"},
                          Case{3, "BoardPanel1", "BoardPanel2"}, Case{4, "BoardPanel1", "BoardPanel2"}}) {
        setPlayMode(c.playMode);
        DrawBoardLayer* board = openBoard();
        EXPECT_EQ(board->getBoardPanel(), find(board, c.used)) << c.playMode;
        EXPECT_FALSE(find(board, c.unused)->isVisible());
        auto* unusedColor = dynamic_cast<engine::ui::Widget*>(find(find(board, c.unused), "ColorImg2"));
        auto* usedColor = dynamic_cast<engine::ui::Widget*>(find(find(board, c.used), "ColorImg2"));
        EXPECT_FALSE(unusedColor->isTouchEnabled());
        EXPECT_TRUE(usedColor->isTouchEnabled());
        EXPECT_EQ(board->getCanvas()->getParent(), board->getBoardPanel());
        board->removeFromParent();
    }
}

TEST_F(DrawingBoard, BadColourButtonsAndMissingBrushesAreIgnored) {
    DrawBoardLayer* board = openBoard();
    for (int tag : {10000, 10010, 7}) {
        find(board->getBoardPanel(), "ColorImg3")->setTag(tag);
        press(board->getBoardPanel(), "ColorImg3");
        EXPECT_EQ(board->getPenIndex(), 1) << tag;
    }
    // Without the program folder's res/ on the search paths the brushes are missing: the stroke is skipped.
    engine::FileUtils* files = engine::FileUtils::getInstance();
    const std::vector<std::string> saved = files->getSearchPaths();
    const auto strokeWithoutBrushFiles = [&](float y) {
        files->setSearchPaths({programFolder(), TEST_PROGRAM_DIR "/Images/"});
        stroke({{200, y}, {260, y}});
        files->setSearchPaths(saved);
    };
    strokeWithoutBrushFiles(400);
    EXPECT_EQ(canvasAt(board, 230, 400).a, 0);
    stroke({{200, 400}, {260, 400}});
    expectColor(canvasAt(board, 230, 400), kRed, "with brushes");
    // Once loaded, the brush is kept: later moves of the same pen look up no file.
    strokeWithoutBrushFiles(300);
    expectColor(canvasAt(board, 230, 300), kRed, "kept brush");
}

TEST_F(DrawingBoard, InATallerWindowTheStrokeStaysUnderTheFinger) {
    support::startHeadless(engine::Size(1280, 960));
    GDataManager::getInstance()->screenOffsetY = 120.f;
    support::runScene(BaseScene::create());
    DrawBoardLayer* board = openBoard();
    stroke({{300, 820}, {500, 820}});
    stroke({{640, 300}, {640, 100}});
    // The panel, and the canvas with it, stand 120 points up: the stamps land 120 lower on the canvas.
    expectColor(canvasAt(board, 400, 700), kRed, "upper stroke");
    expectColor(canvasAt(board, 640, 100), kRed, "lower stroke");
    EXPECT_EQ(canvasAt(board, 400, 820).a, 0);
    support::saveScreenshot("tools_drawing_board_tall");
    press(board->getBoardPanel(), "CloseBtn");
    EXPECT_EQ(engine::Director::getInstance()->getRunningScene()->getChildrenCount(), 0u);
}
