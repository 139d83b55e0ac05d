#include <string>

#include "UiTestFixture.h"
#include "base/InputLimits.h"
#include "layout/CSLoader.h"
#include "layout/LayoutNodeReader.h"
#include "scene/Sprite.h"
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/ImageView.h"
#include "ui/Layout.h"
#include "ui/LoadingBar.h"
#include "ui/Slider.h"
#include "ui/Text.h"
#include "ui/TextField.h"

using namespace engine;
using uitest::describe;
using uitest::near;

class CSLoaderFile : public uitest::UiTest {
protected:
    void TearDown() override {
        CSLoader::setStrictMode(false);
        UiTest::TearDown();
    }
    // A layout file around a root node object.
    void putLayout(const std::string& name, const std::string& root) {
        put(name, R"({"format": "classroom-layout", "version": 1, "root": )" + root + "}");
    }
};
class CSLoaderTree : public CSLoaderFile {};
class CSLoaderSizing : public CSLoaderFile {};
class CSLoaderStrict : public CSLoaderFile {};

TEST_F(CSLoaderFile, MissingInvalidOrForeignFilesGiveNull) {
    EXPECT_EQ(CSLoader::createNode("Nowhere.csb"), nullptr);
    EXPECT_TRUE(logged("Nowhere.csb"));
    put("Broken.csb", R"({"format": "classroom-layout", "version": 1, "root": {"kind": "Node",)");
    EXPECT_EQ(CSLoader::createNode("Broken.csb"), nullptr);
    EXPECT_TRUE(logged("invalid JSON"));
    put("Other.csb", R"({"format": "cocos", "version": 1, "root": {"kind": "Node"}})");
    EXPECT_EQ(CSLoader::createNode("Other.csb"), nullptr);
    put("Newer.csb", R"({"format": "classroom-layout", "version": 2, "root": {"kind": "Node"}})");
    EXPECT_EQ(CSLoader::createNode("Newer.csb"), nullptr);
    put("NoRoot.csb", R"({"format": "classroom-layout", "version": 1})");
    EXPECT_EQ(CSLoader::createNode("NoRoot.csb"), nullptr);
    put("Binary.csb", std::string("\x00\x01\x02", 3));
    EXPECT_EQ(CSLoader::createNode("Binary.csb"), nullptr);
}

TEST_F(CSLoaderFile, ReadsThroughTheSearchPaths) {
    put("Layouts/Tips.csb", R"({"format": "classroom-layout", "version": 1, "root": {"kind": "Node"}})");
    EXPECT_EQ(CSLoader::createNode("Tips.csb"), nullptr);
    files->addSearchPath("Layouts");
    EXPECT_NE(CSLoader::createNode("Tips.csb"), nullptr);
}

TEST_F(CSLoaderTree, CommonKeysAndChildOrder) {
    putLayout("Scene.csb", R"({"kind": "Node", "name": "root", "size": [1280, 720], "children": [
        {"kind": "Node", "name": "PosNode", "tag": 1000000001, "pos": [10, 20], "scale": [2, 0.5],
         "rotation": 720.5, "visible": false, "opacity": 128, "color": "#102030", "z": 3},
        {"kind": "ImageView", "name": "Img_Bg", "size": [50, 40], "anchor": [0, 1], "scale": 1.5},
        {"kind": "Panel", "name": "Panel1", "size": [1280, 720], "touch": true},
        {"kind": "Button", "name": "Btn_Return", "size": [80, 80], "touch": false, "enabled": false,
         "bright": false, "highlighted": true}
    ]})");
    Node* root = CSLoader::createNode("Scene.csb");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->getName(), "root");
    EXPECT_EQ(root->getContentSize(), Size(1280, 720));
    EXPECT_EQ(root->getAnchorPoint(), Vec2(0, 0));
    ASSERT_EQ(root->getChildrenCount(), 4);
    EXPECT_EQ(root->getChildren().at(0)->getName(), "PosNode"); // file order, whatever the z

    Node* marker = root->getChildByName("PosNode");
    EXPECT_EQ(marker->getTag(), 1000000001);
    EXPECT_EQ(marker->getPosition(), Vec2(10, 20));
    EXPECT_EQ(marker->getScaleX(), 2);
    EXPECT_EQ(marker->getScaleY(), 0.5f);
    EXPECT_EQ(marker->getRotation(), 720.5f);
    EXPECT_FALSE(marker->isVisible());
    EXPECT_EQ(marker->getOpacity(), 128);
    EXPECT_EQ(marker->getColor(), Color3B(0x10, 0x20, 0x30));
    EXPECT_EQ(marker->getLocalZOrder(), 3);

    auto* image = dynamic_cast<ui::ImageView*>(root->getChildByName("Img_Bg"));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->getAnchorPoint(), Vec2(0, 1));
    EXPECT_EQ(image->getScale(), 1.5f);
    EXPECT_EQ(image->getContentSize(), Size(50, 40));
    EXPECT_FALSE(image->isTouchEnabled());

    auto* panel = dynamic_cast<ui::Layout*>(root->getChildByName("Panel1"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->getAnchorPoint(), Vec2(0, 0));
    EXPECT_TRUE(panel->isTouchEnabled());

    auto* button = dynamic_cast<ui::Button*>(root->getChildByName("Btn_Return"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->getAnchorPoint(), Vec2(0.5f, 0.5f));
    EXPECT_FALSE(button->isTouchEnabled());
    EXPECT_FALSE(button->isEnabled());
    EXPECT_FALSE(button->isBright());
    EXPECT_TRUE(button->isHighlighted());
}

TEST_F(CSLoaderTree, EveryKindWithItsKeys) {
    putPicture("bar.bmp", 100, 10, Color3B(255, 0, 0));
    putLayout("Kinds.csb", R"({"kind": "Node", "children": [
        {"kind": "Text", "name": "Content", "text": "\u4e2d\u6587 \u00f7", "fontSize": 28, "textColor": "#333333ff",
         "area": [480, 140], "hAlign": "center", "vAlign": "bottom"},
        {"kind": "TextField", "name": "UserName", "placeholder": "name", "text": "abcdef", "maxLength": 4,
         "password": true, "passwordChar": "#", "fontSize": 30, "textColor": "#ff0000ff",
         "placeholderColor": "#00ff00ff", "area": [300, 50]},
        {"kind": "Button", "name": "Button2", "size": [180, 64], "fill": "#3aa3e6", "title": "OK",
         "titleColor": "#ff0000", "titleFontSize": 30},
        {"kind": "Panel", "name": "Layout_Page", "size": [100, 100], "fill": "#000000", "fillOpacity": 120,
         "clip": true},
        {"kind": "Slider", "name": "Slider", "bar": "bar.bmp", "barFill": "#ffffff", "ballSize": [30, 30],
         "percent": 40},
        {"kind": "LoadingBar", "name": "LoadingBar", "fill": "#00ff00", "size": [200, 20], "percent": 75,
         "direction": "right"},
        {"kind": "CheckBox", "name": "cb_State", "fill": "#ffffff", "size": [30, 30], "selected": true,
         "touch": false},
        {"kind": "Sprite", "name": "Spr", "image": "bar.bmp"}
    ]})");
    Node* root = CSLoader::createNode("Kinds.csb");
    ASSERT_NE(root, nullptr);

    auto* text = dynamic_cast<ui::Text*>(root->getChildByName("Content"));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->getString(), "\xe4\xb8\xad\xe6\x96\x87 \xc3\xb7");
    EXPECT_EQ(text->getFontSize(), 28);
    EXPECT_EQ(text->getTextColor(), Color4B(0x33, 0x33, 0x33, 0xff));
    EXPECT_EQ(text->getContentSize(), Size(480, 140));
    EXPECT_EQ(text->getTextHorizontalAlignment(), TextHAlignment::CENTER);
    EXPECT_EQ(text->getTextVerticalAlignment(), TextVAlignment::BOTTOM);
    EXPECT_FALSE(text->isTouchEnabled());

    auto* field = dynamic_cast<ui::TextField*>(root->getChildByName("UserName"));
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->getString(), "abcd");
    EXPECT_EQ(field->getPlaceHolder(), "name");
    EXPECT_TRUE(field->isPasswordEnabled());
    EXPECT_STREQ(field->getPasswordStyleText(), "#");
    EXPECT_EQ(field->getFontSize(), 30);
    EXPECT_EQ(field->getTextColor(), Color4B(255, 0, 0, 255));
    EXPECT_EQ(field->getPlaceHolderColor(), Color4B(0, 255, 0, 255));
    EXPECT_EQ(field->getContentSize(), Size(300, 50));
    EXPECT_TRUE(field->isTouchEnabled());

    auto* button = dynamic_cast<ui::Button*>(root->getChildByName("Button2"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->getFillColor(), Color4B(0x3a, 0xa3, 0xe6, 0xff));
    EXPECT_EQ(button->getTitleText(), "OK");
    EXPECT_EQ(button->getTitleColor(), Color3B(255, 0, 0));
    EXPECT_EQ(button->getTitleFontSize(), 30);
    EXPECT_EQ(button->getContentSize(), Size(180, 64));
    EXPECT_TRUE(button->isTouchEnabled());

    auto* panel = dynamic_cast<ui::Layout*>(root->getChildByName("Layout_Page"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->getBackGroundColorType(), ui::Layout::BackGroundColorType::SOLID);
    EXPECT_EQ(panel->getBackGroundColorOpacity(), 120);
    EXPECT_TRUE(panel->isClippingEnabled());
    EXPECT_FALSE(panel->isTouchEnabled());

    auto* slider = dynamic_cast<ui::Slider*>(root->getChildByName("Slider"));
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->getPercent(), 40);
    EXPECT_EQ(slider->getContentSize(), Size(100, 10));
    EXPECT_EQ(slider->getSlidBallRenderer()->getContentSize(), Size(30, 30));
    EXPECT_TRUE(slider->isTouchEnabled());

    auto* bar = dynamic_cast<ui::LoadingBar*>(root->getChildByName("LoadingBar"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->getPercent(), 75);
    EXPECT_EQ(bar->getDirection(), ui::LoadingBar::Direction::RIGHT);
    EXPECT_EQ(bar->getContentSize(), Size(200, 20));

    auto* box = dynamic_cast<ui::CheckBox*>(root->getChildByName("cb_State"));
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isSelected());
    EXPECT_FALSE(box->isTouchEnabled());

    auto* sprite = dynamic_cast<Sprite*>(root->getChildByName("Spr"));
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->getContentSize(), Size(100, 10));
}

TEST_F(CSLoaderTree, UnknownKindBecomesAPlainNodeWithItsChildren) {
    putLayout("Odd.csb", R"({"kind": "Node", "children": [
        {"kind": "ScrollView", "name": "Scroll", "pos": [5, 6], "children": [{"kind": "Text", "name": "Inner"}]},
        {"name": "NoKind", "futureKey": 1}
    ]})");
    Node* root = CSLoader::createNode("Odd.csb");
    ASSERT_NE(root, nullptr);
    Node* scroll = root->getChildByName("Scroll");
    ASSERT_NE(scroll, nullptr);
    EXPECT_EQ(dynamic_cast<ui::Widget*>(scroll), nullptr);
    EXPECT_EQ(scroll->getPosition(), Vec2(5, 6));
    EXPECT_NE(dynamic_cast<ui::Text*>(scroll->getChildByName("Inner")), nullptr);
    EXPECT_NE(root->getChildByName("NoKind"), nullptr);
    EXPECT_TRUE(logged("ScrollView"));
}

TEST_F(CSLoaderTree, NestingBeyondTheLimitsRefusesTheFile) {
    const auto nodes = [](int levels) {
        std::string open, close;
        for (int i = 0; i < levels; ++i) {
            open += R"({"kind": "Node", "children": [)";
            close += "]}";
        }
        return open + close;
    };
    const int limit = engine::limits::kLayoutNodeDepth;
    const std::string deepValue =
        R"({"kind": "Node", "pos": )" + std::string(50000, '[') + std::string(50000, ']') + "}";
    const std::pair<std::string, bool> cases[] = {
        {nodes(5000), false}, {nodes(limit + 1), false}, {nodes(limit), true}, {deepValue, false}};
    for (const auto& [root, loads] : cases) {
        logLines.clear();
        putLayout("Deep.csb", root);
        EXPECT_EQ(CSLoader::createNode("Deep.csb") != nullptr, loads) << root.size();
        EXPECT_EQ(logged("nested deeper than"), !loads) << root.size();
    }
}

TEST_F(CSLoaderTree, WrongTypedValuesAreSkippedWithALog) {
    putLayout("Typed.csb", R"({"kind": "Node", "children": [
        {"kind": "Node", "name": "N", "tag": "7", "pos": [1], "opacity": 300, "color": "red"}
    ]})");
    Node* root = CSLoader::createNode("Typed.csb");
    ASSERT_NE(root, nullptr);
    Node* node = root->getChildByName("N");
    EXPECT_EQ(node->getTag(), -1);
    EXPECT_EQ(node->getPosition(), Vec2(0, 0));
    EXPECT_EQ(node->getOpacity(), 255); // clamped
    EXPECT_EQ(node->getColor(), Color3B::WHITE);
    EXPECT_TRUE(logged("\"tag\""));
    EXPECT_TRUE(logged("\"color\""));
}

TEST_F(CSLoaderSizing, PictureWidgetsShowOnePixelPerPointAndKeepTheirSize) {
    putPicture("head.bmp", 40, 20, Color3B(255, 255, 255));
    putPicture("big.bmp", 90, 90, Color3B(255, 255, 255));
    director->setContentScaleFactor(2);
    putLayout("Sizes.csb", R"({"kind": "Node", "children": [
        {"kind": "ImageView", "name": "Natural", "image": "head.bmp"},
        {"kind": "ImageView", "name": "Sized", "image": "head.bmp", "size": [64, 64]},
        {"kind": "Button", "name": "Btn", "normal": "head.bmp"},
        {"kind": "Panel", "name": "Pnl", "image": "head.bmp"},
        {"kind": "ImageView", "name": "Empty", "size": [30, 30]}
    ]})");
    Node* root = CSLoader::createNode("Sizes.csb");
    ASSERT_NE(root, nullptr);
    auto* natural = static_cast<ui::ImageView*>(root->getChildByName("Natural"));
    EXPECT_EQ(natural->getContentSize(), Size(40, 20));
    EXPECT_FALSE(natural->isIgnoreContentAdaptWithSize());
    natural->loadTexture("big.bmp");
    EXPECT_EQ(natural->getContentSize(), Size(40, 20));
    EXPECT_EQ(root->getChildByName("Sized")->getContentSize(), Size(64, 64));
    EXPECT_EQ(root->getChildByName("Btn")->getContentSize(), Size(40, 20));
    EXPECT_EQ(root->getChildByName("Pnl")->getContentSize(), Size(40, 20));
    EXPECT_EQ(root->getChildByName("Empty")->getContentSize(), Size(30, 30));
}

TEST_F(CSLoaderSizing, MissingPicturesDrawThePlaceholder) {
    putLayout("Missing.csb", R"({"kind": "Node", "children": [
        {"kind": "ImageView", "name": "Img", "image": "Gone/a.png", "pos": [100, 100], "anchor": [0, 0],
         "size": [60, 60]},
        {"kind": "Sprite", "name": "Spr", "image": "Gone/b.png", "pos": [300, 100], "anchor": [0, 0],
         "size": [60, 60]}
    ]})");
    Node* root = CSLoader::createNode("Missing.csb");
    ASSERT_NE(root, nullptr);
    EXPECT_NE(dynamic_cast<Sprite*>(root->getChildByName("Spr")), nullptr);
    scene->addChild(root);
    step();
    EXPECT_TRUE(logged("Gone/a.png"));
    EXPECT_TRUE(logged("Gone/b.png"));
    EXPECT_TRUE(near(pixel(130, 130), 208, 208, 208)) << describe(pixel(130, 130));
    EXPECT_TRUE(near(pixel(330, 130), 208, 208, 208)) << describe(pixel(330, 130));
    EXPECT_TRUE(near(pixel(100.5f, 130), 64, 64, 64)) << describe(pixel(100.5f, 130));
}

TEST_F(CSLoaderSizing, ATipsDialogLooksAsWritten) {
    putLayout("Tips.csb", R"({"kind": "Node", "size": [1280, 720], "children": [
        {"kind": "Panel", "name": "Panel1", "size": [1280, 720], "fill": "#000000", "fillOpacity": 120,
         "touch": true},
        {"kind": "ImageView", "name": "BgImage1", "pos": [640, 360], "size": [560, 320], "children": [
            {"kind": "Button", "name": "Button2", "pos": [410, 60], "size": [180, 64], "fill": "#3aa3e6",
             "title": "OK"}
        ]}
    ]})");
    Node* root = CSLoader::createNode("Tips.csb");
    ASSERT_NE(root, nullptr);
    scene->addChild(root);
    int clicks = 0;
    static_cast<ui::Widget*>(root->getChildByName("BgImage1")->getChildByName("Button2"))
        ->addClickEventListener([&](Ref*) { ++clicks; });
    step();
    // Button2 is centred on (360 + 410, 200 + 60) in the world; its title sits in the middle.
    EXPECT_TRUE(near(pixel(690, 240), 0x3a, 0xa3, 0xe6)) << describe(pixel(690, 240));
    EXPECT_TRUE(near(pixel(670, 240), 0, 0, 0, 40)) << describe(pixel(670, 240));
    tap(770 - 85, 260);
    tap(100, 100); // swallowed by the modal panel
    EXPECT_EQ(clicks, 1);
}

TEST_F(CSLoaderStrict, RejectsUnknownKeysKindsAndWrongTypes) {
    putLayout("Extra.csb", R"({"kind": "Node", "children": [{"kind": "Text", "text": "a", "colour": "#ffffff"}]})");
    putLayout("Kind.csb", R"({"kind": "Node", "children": [{"kind": "ListView"}]})");
    putLayout("Type.csb", R"({"kind": "Node", "children": [{"kind": "Text", "fontSize": "big"}]})");
    putLayout("Good.csb", R"({"kind": "Node", "children": [{"kind": "Text", "text": "a", "fontSize": 20}]})");
    put("Top.csb", R"({"format": "classroom-layout", "version": 1, "root": {"kind": "Node"}, "author": "x"})");
    EXPECT_NE(CSLoader::createNode("Extra.csb"), nullptr);
    EXPECT_NE(CSLoader::createNode("Top.csb"), nullptr);
    CSLoader::setStrictMode(true);
    EXPECT_TRUE(CSLoader::isStrictMode());
    EXPECT_EQ(CSLoader::createNode("Extra.csb"), nullptr);
    EXPECT_TRUE(logged("\"colour\""));
    EXPECT_EQ(CSLoader::createNode("Kind.csb"), nullptr);
    EXPECT_EQ(CSLoader::createNode("Type.csb"), nullptr);
    EXPECT_EQ(CSLoader::createNode("Top.csb"), nullptr);
    EXPECT_NE(CSLoader::createNode("Good.csb"), nullptr);
}
