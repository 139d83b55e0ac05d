// The drawing board: a window-sized canvas over the lesson on which the teacher draws with one of nine pens or
// rubs strokes out; the drawing goes with the board.
#pragma once

#include <array>

#include "base/Geometry.h"
#include "common/BaseLayer.h"

namespace engine {
class Event;
class RenderTexture;
class Sprite;
class Touch;
} // namespace engine

class DrawBoardLayer : public BaseLayer {
public:
    static DrawBoardLayer* create() { return createLayer<DrawBoardLayer>(); }
    DrawBoardLayer() = default;
    ~DrawBoardLayer() override;
    bool init() override;
    void initData() override;
    void initRes() override;

    void selectColor(engine::Node* sender);
    void clearBoard();
    void selectEraser();

    bool onTouchBegan(engine::Touch* touch, engine::Event* event);
    void onTouchMoved(engine::Touch* touch, engine::Event* event);
    void onTouchEnded(engine::Touch* touch, engine::Event* event);

    engine::Node* getBoardPanel() const { return boardPanel; }
    engine::RenderTexture* getCanvas() const { return canvas; }
    int getPenIndex() const { return penIndex; }
    engine::Color3B getPenColor() const { return penColor; }
    engine::Sprite* getEraserCursor() const { return eraserCursor; }

    // Pen k draws with entry k - 1.
    static const std::array<const char*, 9> drawBoardColors;

private:
    void createCanvas();
    // The stamp of the current pen, kept from move to move; null while its picture cannot be loaded.
    engine::Sprite* brushOfPen();

    engine::Node* boardPanel = nullptr;
    engine::RenderTexture* canvas = nullptr;
    engine::Color3B penColor;
    int penIndex = 1;
    engine::Sprite* eraserCursor = nullptr;
    engine::Sprite* brush = nullptr; // retained
    int brushPen = -1;
};
