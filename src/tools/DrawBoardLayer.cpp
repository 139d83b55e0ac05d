#include "tools/DrawBoardLayer.h"

#include <cmath>

#include "base/Director.h"
#include "base/StringUtils.h"
#include "base/Touch.h"
#include "common/CommonTools.h"
#include "common/GDataManager.h"
#include "common/UITools.h"
#include "scene/RenderTexture.h"
#include "scene/Sprite.h"
#include "ui/Widget.h"

namespace {

constexpr int kColorTagBase = 10000;
constexpr float kPenScale = 0.125f;

engine::Color3B colorOfPen(int pen) {
    return CommonTools::getInstance()->hexToColor3B(DrawBoardLayer::drawBoardColors[pen - 1]);
}

void bindClick(engine::Node* node, const std::function<void(engine::Node*)>& action) {
    auto* widget = dynamic_cast<engine::ui::Widget*>(node);
    if (!widget) {
        return;
    }
    widget->setTouchEnabled(true);
    widget->addClickEventListener([action, widget](engine::Ref*) { action(widget); });
}

} // namespace

const std::array<const char*, 9> DrawBoardLayer::drawBoardColors = {"e60012", "f5e318", "12b4f7", "32ad32", "4e3ca8",
                                                                    "833d3d", "ea40c8", "000000", "fffffff"};

DrawBoardLayer::~DrawBoardLayer() {
    if (brush) {
        brush->release();
    }
}

bool DrawBoardLayer::init() {
    if (!BaseLayer::init()) {
        return false;
    }
    auto* listener = engine::EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(true);
    listener->onTouchBegan = [this](engine::Touch* touch, engine::Event* event) { return onTouchBegan(touch, event); };
    listener->onTouchMoved = [this](engine::Touch* touch, engine::Event* event) { onTouchMoved(touch, event); };
    listener->onTouchEnded = [this](engine::Touch* touch, engine::Event* event) { onTouchEnded(touch, event); };
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, this);
    createCanvas();
    return true;
}

void DrawBoardLayer::initData() {
    penColor = colorOfPen(1);
    penIndex = 1;
    eraserCursor = nullptr;
}

void DrawBoardLayer::initRes() {
    engine::Node* root = UITools::createCsbNode("DrawBoardLayer.csb");
    if (!root) {
        return;
    }
    addChild(root);
    const int playMode = GDataManager::getInstance()->getSubject(0, 0).playMode;
    if (playMode == 2) {
        boardPanel = UITools::seekChildByName(root, "BoardPanel2");
    }
    // Play modes 1, 3 and every other one, and a layout without the second panel.
    if (!boardPanel) {
        boardPanel = UITools::seekChildByName(root, "BoardPanel1");
    }
    if (!boardPanel) {
        return;
    }
    boardPanel->setVisible(true);
    UITools::addClickListener(
        boardPanel, [this] { UITools::removeSelf(this); }, false, "BtnClick.mp3", "CloseBtn");
    for (int k = 1; k <= 9; ++k) {
        bindClick(UITools::seekChildByName(boardPanel, engine::StringUtils::format("ColorImg%d", k)),
                  [this](engine::Node* sender) { selectColor(sender); });
    }
    bindClick(UITools::seekChildByName(boardPanel, "ClearImg"), [this](engine::Node*) { clearBoard(); });
    bindClick(UITools::seekChildByName(boardPanel, "EraserImg"), [this](engine::Node*) { selectEraser(); });
}

void DrawBoardLayer::createCanvas() {
    const engine::Size window = engine::Director::getInstance()->getWinSize();
    canvas = engine::RenderTexture::create(static_cast<int>(window.width), static_cast<int>(window.height),
                                           engine::Texture2D::PixelFormat::RGBA8888);
    if (!canvas) {
        return;
    }
    canvas->setPosition(window.width * 0.5f, window.height * 0.5f);
    // Without a board panel the canvas lies on the layer itself.
    (boardPanel ? boardPanel : this)->addChild(canvas);
}

void DrawBoardLayer::selectColor(engine::Node* sender) {
    const int pen = sender->getTag() - kColorTagBase;
    if (pen < 1 || pen > static_cast<int>(drawBoardColors.size())) {
        return;
    }
    if (engine::Node* mark = UITools::seekChildByName(boardPanel, "SelectImg")) {
        mark->setVisible(true);
        mark->setPosition(sender->getPosition());
    }
    penIndex = pen;
    penColor = colorOfPen(pen);
}

void DrawBoardLayer::selectEraser() {
    if (engine::Node* mark = UITools::seekChildByName(boardPanel, "SelectImg")) {
        mark->setVisible(false);
    }
    penIndex = 0;
}

void DrawBoardLayer::clearBoard() {
    if (canvas) {
        canvas->removeFromParentAndCleanup(true);
        canvas = nullptr;
    }
    createCanvas();
}

bool DrawBoardLayer::onTouchBegan(engine::Touch* touch, engine::Event*) {
    if (penIndex < 1 && !eraserCursor) {
        eraserCursor = engine::Sprite::create("DrawBoard/DrawBoard_Eraser2.png");
        if (eraserCursor) {
            eraserCursor->setPosition(touch->getLocation());
            addChild(eraserCursor);
        }
    }
    return true;
}

void DrawBoardLayer::onTouchMoved(engine::Touch* touch, engine::Event*) {
    const engine::Vec2 a = touch->getLocation();
    const engine::Vec2 b = touch->getPreviousLocation();
    const float d = a.distance(b);
    if (d <= 1.0f || !canvas) {
        return;
    }
    // One stamp, moved along the stroke and drawn once per unit of distance; no brush, no stroke.
    engine::Sprite* stamp = brushOfPen();
    if (!stamp) {
        return;
    }
    const bool eraser = penIndex < 1;
    if (eraser) {
        stamp->setBlendFunc(engine::BlendFunc::ERASE);
        stamp->setScale(1.f);
        if (eraserCursor) {
            eraserCursor->setPosition(a);
        }
    } else {
        stamp->setColor(penColor);
        stamp->setScale(kPenScale);
    }
    const float offsetY = GDataManager::getInstance()->screenOffsetY;
    const int n = static_cast<int>(d);
    canvas->begin();
    for (int i = 0; i < n; ++i) {
        const float t = static_cast<float>(i) / d;
        engine::Vec2 p = a + (b - a) * t;
        p.y -= offsetY;
        stamp->setPosition(p);
        stamp->visit();
    }
    canvas->end();
}

engine::Sprite* DrawBoardLayer::brushOfPen() {
    if (brush && brushPen == penIndex) {
        return brush;
    }
    if (brush) {
        brush->release();
    }
    brush =
        engine::Sprite::create(engine::StringUtils::format("res/LocalRes/DrawBoard/DrawBoard_Color%d.png", penIndex));
    brushPen = penIndex;
    if (brush) {
        brush->retain();
    }
    return brush;
}

void DrawBoardLayer::onTouchEnded(engine::Touch*, engine::Event*) {
    if (eraserCursor) {
        eraserCursor->removeFromParentAndCleanup(true);
        eraserCursor = nullptr;
    }
}
