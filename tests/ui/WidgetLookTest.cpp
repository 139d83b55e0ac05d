#include <algorithm>
#include <string>

#include "UiTestFixture.h"
#include "ui/Button.h"
#include "ui/ImageView.h"
#include "ui/Layout.h"
#include "ui/LoadingBar.h"
#include "ui/Text.h"

using namespace engine;
using uitest::describe;
using uitest::near;

class PictureSizing : public uitest::UiTest {};
class PictureLook : public uitest::UiTest {};
class ButtonLook : public uitest::UiTest {};
class TextWidget : public uitest::UiTest {};
class PanelLook : public uitest::UiTest {};
class LoadingBarLook : public uitest::UiTest {};

namespace {
const Color3B kRed(255, 0, 0), kGreen(0, 255, 0), kBlue(0, 0, 255), kWhite(255, 255, 255);

template <class T> T* placeAt(Node* parent, T* node, float x, float y) {
    node->setAnchorPoint(Vec2::ANCHOR_BOTTOM_LEFT);
    node->setPosition(Vec2(x, y));
    parent->addChild(node);
    return node;
}
} // namespace

TEST_F(PictureSizing, SizeFollowsThePictureInPoints) {
    putPicture("a.bmp", 40, 20, kRed);
    EXPECT_EQ(ui::ImageView::create("a.bmp")->getContentSize(), Size(40, 20));
    director->setContentScaleFactor(2);
    EXPECT_EQ(ui::ImageView::create("a.bmp")->getContentSize(), Size(20, 10));
    EXPECT_EQ(ui::Button::create("a.bmp")->getContentSize(), Size(20, 10));
}

TEST_F(PictureSizing, ExplicitSizeSticksThroughLaterLoadsUntilAdaptationIsBack) {
    putPicture("a.bmp", 40, 20, kRed);
    putPicture("b.bmp", 10, 10, kBlue);
    auto* view = ui::ImageView::create("a.bmp");
    view->setContentSize(Size(100, 60));
    EXPECT_FALSE(view->isIgnoreContentAdaptWithSize());
    view->loadTexture("b.bmp");
    EXPECT_EQ(view->getContentSize(), Size(100, 60));
    view->ignoreContentAdaptWithSize(true);
    EXPECT_EQ(view->getContentSize(), Size(10, 10));

    auto* button = ui::Button::create();
    button->setContentSize(Size(120, 40));
    button->loadTextures("a.bmp", "b.bmp", "");
    EXPECT_EQ(button->getContentSize(), Size(120, 40));
}

TEST_F(PictureSizing, MissingFileKeepsTheSizeAndLogsOnce) {
    putPicture("a.bmp", 40, 20, kRed);
    auto* view = placeAt(scene, ui::ImageView::create("a.bmp"), 280, 290);
    view->loadTexture("Pics/missing.png");
    EXPECT_EQ(view->getContentSize(), Size(40, 20));
    step(3);
    EXPECT_EQ(countLogged("Pics/missing.png"), 1);
    EXPECT_TRUE(near(pixel(300, 300), 208, 208, 208)) << describe(pixel(300, 300));
    EXPECT_TRUE(near(pixel(280.5f, 300), 64, 64, 64)) << describe(pixel(280.5f, 300));
}

TEST_F(PictureLook, EmptyNameClearsThePicture) {
    putPicture("a.bmp", 40, 20, kRed);
    auto* view = placeAt(scene, ui::ImageView::create("a.bmp"), 280, 290);
    step();
    EXPECT_TRUE(near(pixel(300, 300), 255, 0, 0)) << describe(pixel(300, 300));
    view->loadTexture("");
    step();
    EXPECT_EQ(view->getTextureFile(), "");
    EXPECT_EQ(view->getContentSize(), Size(40, 20));
    EXPECT_TRUE(near(pixel(300, 300), 0, 0, 0)) << describe(pixel(300, 300));
}

TEST_F(PictureLook, ColourTintsThePicture) {
    putPicture("w.bmp", 40, 40, kWhite);
    auto* view = placeAt(scene, ui::ImageView::create("w.bmp"), 100, 100);
    view->setColor(Color3B(255, 128, 0));
    step();
    EXPECT_TRUE(near(pixel(120, 120), 255, 128, 0)) << describe(pixel(120, 120));
}

TEST_F(PictureLook, NineSliceKeepsCornersAndStretchesTheRest) {
    // 30x30: a 10-pixel red frame around a green centre.
    putPicture("frame.bmp", 30, 30,
               [](int x, int y) { return (x < 10 || x >= 20 || y < 10 || y >= 20) ? kRed : kGreen; });
    auto* sliced = placeAt(scene, ui::ImageView::create("frame.bmp"), 100, 100);
    sliced->setScale9Enabled(true);
    sliced->setCapInsets(Rect(10, 10, 10, 10));
    sliced->setContentSize(Size(200, 100));
    auto* stretched = placeAt(scene, ui::ImageView::create("frame.bmp"), 100, 300);
    stretched->setContentSize(Size(200, 100));
    step();
    EXPECT_TRUE(near(pixel(105, 150), 255, 0, 0)) << describe(pixel(105, 150));
    EXPECT_TRUE(near(pixel(130, 150), 0, 255, 0)) << describe(pixel(130, 150));
    EXPECT_TRUE(near(pixel(200, 103), 255, 0, 0)) << describe(pixel(200, 103));
    EXPECT_TRUE(near(pixel(200, 150), 0, 255, 0)) << describe(pixel(200, 150));
    EXPECT_TRUE(near(pixel(295, 195), 255, 0, 0)) << describe(pixel(295, 195));
    // Without slicing the frame grows with the picture.
    EXPECT_TRUE(near(pixel(130, 350), 255, 0, 0)) << describe(pixel(130, 350));
}

TEST_F(PictureLook, NineSliceAtAFractionalPlaceHasNoSeams) {
    putPicture("white.bmp", 30, 30, kWhite);
    for (const float x : {100.3f, 100.5f, 100.7f}) {
        SCOPED_TRACE(x);
        scene->removeAllChildren();
        auto* sliced = placeAt(scene, ui::ImageView::create("white.bmp"), x, 100.6f);
        sliced->setScale9Enabled(true);
        sliced->setCapInsets(Rect(10, 10, 10, 10));
        sliced->setContentSize(Size(200.4f, 60.3f));
        step();
        for (int px = 103; px < 298; ++px) {
            ASSERT_TRUE(near(pixel(px + 0.5f, 130), 255, 255, 255)) << px << " " << describe(pixel(px + 0.5f, 130));
        }
        for (int py = 103; py < 158; ++py) {
            ASSERT_TRUE(near(pixel(200, py + 0.5f), 255, 255, 255)) << py << " " << describe(pixel(200, py + 0.5f));
        }
    }
}

TEST_F(ButtonLook, MissingPressedAndDisabledPicturesShadeTheNormalOne) {
    putPicture("w.bmp", 50, 50, kWhite);
    auto* button = placeAt(scene, ui::Button::create("w.bmp"), 100, 100);
    step();
    EXPECT_TRUE(near(pixel(125, 125), 255, 255, 255)) << describe(pixel(125, 125));
    button->setHighlighted(true);
    step();
    const Color4B pressed = pixel(125, 125);
    EXPECT_LT(pressed.r, 230);
    EXPECT_GT(pressed.r, 100);
    button->setHighlighted(false);
    button->setBright(false);
    step();
    const Color4B disabled = pixel(125, 125);
    EXPECT_LT(disabled.r, pressed.r);
    EXPECT_GT(disabled.r, 60);
    button->setBright(true);
    button->setEnabled(false);
    step();
    EXPECT_EQ(pixel(125, 125), disabled);
}

TEST_F(ButtonLook, PressedAndDisabledPicturesShowInTheirStates) {
    putPicture("n.bmp", 50, 50, kWhite);
    putPicture("p.bmp", 50, 50, kBlue);
    putPicture("d.bmp", 50, 50, kGreen);
    auto* button = placeAt(scene, ui::Button::create("n.bmp", "p.bmp", "d.bmp"), 100, 100);
    button->setHighlighted(true);
    step();
    EXPECT_TRUE(near(pixel(125, 125), 0, 0, 255)) << describe(pixel(125, 125));
    button->setBright(false);
    step();
    EXPECT_TRUE(near(pixel(125, 125), 0, 255, 0)) << describe(pixel(125, 125));
}

TEST_F(ButtonLook, WithoutPicturesItDrawsItsFillAndAMissingNormalDrawsThePlaceholder) {
    auto* filled = placeAt(scene, ui::Button::create(), 100, 100);
    filled->setContentSize(Size(100, 50));
    filled->setFillColor(Color4B(0, 0, 255, 255));
    filled->setTitleText("OK");
    auto* missing = placeAt(scene, ui::Button::create("nothing.png"), 300, 100);
    missing->setContentSize(Size(100, 50));
    step();
    EXPECT_EQ(filled->getTitleText(), "OK");
    EXPECT_TRUE(near(pixel(105, 105), 0, 0, 255)) << describe(pixel(105, 105));
    EXPECT_TRUE(near(pixel(305, 125), 208, 208, 208)) << describe(pixel(305, 125));
    filled->setHighlighted(true);
    step();
    EXPECT_LT(pixel(105, 105).b, 230);
}

namespace {
// The strongest red and green drawn inside a box.
std::pair<int, int> strongestRedGreen(uitest::UiTest& test, const Rect& box,
                                      const std::function<Color4B(float, float)>& read) {
    int red = 0, green = 0;
    for (float y = box.getMinY() + 1; y < box.getMaxY(); y += 2) {
        for (float x = box.getMinX() + 1; x < box.getMaxX(); x += 2) {
            const Color4B c = read(x, y);
            red = std::max<int>(red, c.r);
            green = std::max<int>(green, c.g);
        }
    }
    return {red, green};
}
} // namespace

TEST_F(TextWidget, SizeFollowsTheTextUnlessAnAreaIsSet) {
    auto* text = ui::Text::create("Hello", "", 30);
    const Size one = text->getContentSize();
    EXPECT_GT(one.width, 0);
    EXPECT_GT(one.height, 0);
    text->setString("Hello Hello");
    EXPECT_GT(text->getContentSize().width, one.width);
    text->setTextAreaSize(Size(200, 100));
    text->setString("x");
    EXPECT_EQ(text->getContentSize(), Size(200, 100));
    text->ignoreContentAdaptWithSize(true);
    EXPECT_LT(text->getContentSize().width, one.width);
    text->setString("");
    EXPECT_EQ(text->getContentSize().width, 0);
}

TEST_F(TextWidget, TextColourIsMultipliedByTheNodeColour) {
    auto* text = placeAt(scene, ui::Text::create("HHHH", "", 60), 100, 100);
    text->setTextColor(Color4B(255, 0, 0, 255));
    EXPECT_EQ(text->getTextColor(), Color4B(255, 0, 0, 255));
    step();
    const Rect box(100, 100, text->getContentSize().width, text->getContentSize().height);
    auto read = [this](float x, float y) { return pixel(x, y); };
    auto [red, green] = strongestRedGreen(*this, box, read);
    EXPECT_GT(red, 200);
    EXPECT_LT(green, 40);
    text->setColor(Color3B(0, 255, 0));
    step();
    std::tie(red, green) = strongestRedGreen(*this, box, read);
    EXPECT_LT(red, 40);
    EXPECT_LT(green, 40);
}

TEST_F(PanelLook, SolidFillWithOpacity) {
    auto* panel = placeAt(scene, ui::Layout::create(), 100, 100);
    EXPECT_EQ(ui::Layout::create()->getAnchorPoint(), Vec2::ANCHOR_BOTTOM_LEFT);
    panel->setContentSize(Size(100, 100));
    panel->setBackGroundColorType(ui::Layout::BackGroundColorType::SOLID);
    panel->setBackGroundColor(kRed);
    panel->setBackGroundColorOpacity(128);
    step();
    EXPECT_TRUE(near(pixel(150, 150), 128, 0, 0, 6)) << describe(pixel(150, 150));
    EXPECT_TRUE(near(pixel(250, 150), 0, 0, 0)) << describe(pixel(250, 150));
}

TEST_F(PanelLook, ClippingCutsChildrenAndNestedClipsIntersect) {
    putPicture("blue.bmp", 400, 400, kBlue);
    auto* outer = placeAt(scene, ui::Layout::create(), 100, 100);
    outer->setContentSize(Size(200, 200));
    outer->setClippingEnabled(true);
    placeAt(outer, ui::ImageView::create("blue.bmp"), -100, -100);
    auto* inner = placeAt(outer, ui::Layout::create(), 150, 150); // world [250, 450]^2
    inner->setContentSize(Size(200, 200));
    inner->setClippingEnabled(true);
    auto* green = placeAt(inner, ui::ImageView::create("blue.bmp"), 0, 0);
    green->setColor(kGreen);
    step();
    EXPECT_TRUE(near(pixel(200, 200), 0, 0, 255)) << describe(pixel(200, 200));
    EXPECT_TRUE(near(pixel(350, 200), 0, 0, 0)) << describe(pixel(350, 200));
    EXPECT_TRUE(near(pixel(50, 50), 0, 0, 0)) << describe(pixel(50, 50));
    EXPECT_TRUE(near(pixel(275, 275), 0, 0, 0)) << describe(pixel(275, 275)); // green * blue
    EXPECT_TRUE(near(pixel(320, 320), 0, 0, 0)) << describe(pixel(320, 320));
    green->setColor(kWhite);
    step();
    EXPECT_TRUE(near(pixel(275, 275), 0, 0, 255)) << describe(pixel(275, 275));
    EXPECT_TRUE(near(pixel(320, 320), 0, 0, 0)) << describe(pixel(320, 320));
    EXPECT_TRUE(near(pixel(240, 240), 0, 0, 255)) << describe(pixel(240, 240));
}

TEST_F(LoadingBarLook, ShowsTheLeftPartOfItsPictureUnstretched) {
    putPicture("bar.bmp", 100, 20, [](int x, int) { return x < 50 ? kRed : kBlue; });
    auto* bar = placeAt(scene, ui::LoadingBar::create("bar.bmp"), 100, 100);
    bar->setPercent(50);
    step();
    EXPECT_TRUE(near(pixel(140, 110), 255, 0, 0)) << describe(pixel(140, 110));
    EXPECT_TRUE(near(pixel(170, 110), 0, 0, 0)) << describe(pixel(170, 110));
    bar->setDirection(ui::LoadingBar::Direction::RIGHT);
    step();
    EXPECT_TRUE(near(pixel(140, 110), 0, 0, 0)) << describe(pixel(140, 110));
    EXPECT_TRUE(near(pixel(170, 110), 0, 0, 255)) << describe(pixel(170, 110));
}

TEST_F(LoadingBarLook, PercentIsClampedAndFillIsUsedWithoutPicture) {
    auto* bar = placeAt(scene, ui::LoadingBar::create(), 100, 100);
    bar->setContentSize(Size(200, 20));
    bar->setFillColor(Color4B(0, 255, 0, 255));
    bar->setPercent(150);
    EXPECT_EQ(bar->getPercent(), 100);
    bar->setPercent(-5);
    EXPECT_EQ(bar->getPercent(), 0);
    bar->setPercent(25);
    step();
    EXPECT_TRUE(near(pixel(145, 110), 0, 255, 0)) << describe(pixel(145, 110));
    EXPECT_TRUE(near(pixel(155, 110), 0, 0, 0)) << describe(pixel(155, 110));
}
