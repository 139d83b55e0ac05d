// A small screen built from a layout file, clicked, animated and saved as a picture.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_image.h>

#include <cmath>
#include <fstream>

#include "base/Director.h"
#include "layout/CSLoader.h"
#include "platform/FileUtils.h"
#include "scene/Actions.h"
#include "scene/Animation.h"
#include "scene/Scene.h"
#include "scene/Sprite.h"
#include "support/Headless.h"
#include "ui/Button.h"
#include "ui/LoadingBar.h"
#include "ui/Slider.h"
#include "ui/Text.h"

using namespace engine;

namespace {

void writeDisc(const std::string& path, int size, Uint8 r, Uint8 g, Uint8 b, float fill) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, size, size, 32, SDL_PIXELFORMAT_RGBA32);
    auto* px = static_cast<Uint32*>(s->pixels);
    const float c = size / 2.f;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float d = std::hypot(x + 0.5f - c, y + 0.5f - c);
            const bool in = d < c * fill;
            px[y * size + x] = in ? SDL_MapRGBA(s->format, r, g, b, 255) : SDL_MapRGBA(s->format, 0, 0, 0, 0);
        }
    }
    IMG_SavePNG(s, path.c_str());
    SDL_FreeSurface(s);
}

const char* kLayout = R"({
  "format": "classroom-layout", "version": 1,
  "root": { "kind": "Node", "size": [1280, 720], "children": [
    { "kind": "Panel", "name": "Panel_Bg", "size": [1280, 720], "fill": "#e8f1fa" },
    { "kind": "Panel", "name": "Panel_Card", "pos": [240, 110], "size": [800, 500], "fill": "#ffffff",
      "children": [
        { "kind": "Text", "name": "Text_Title", "pos": [400, 450], "text": "Lesson settings", "fontSize": 40,
          "textColor": "#23405cff" },
        { "kind": "ImageView", "name": "Img_Badge", "pos": [120, 330], "image": "badge.png" },
        { "kind": "Text", "name": "Text_Volume", "pos": [230, 330], "anchor": [0, 0.5], "text": "Music volume",
          "fontSize": 28, "textColor": "#333333ff" },
        { "kind": "Slider", "name": "Slider_Volume", "pos": [560, 330], "size": [300, 24], "barFill": "#cfd8dc",
          "progressFill": "#3aa3e6", "ballFill": "#1f6fa8", "ballSize": [36, 36], "percent": 60 },
        { "kind": "Text", "name": "Text_Progress", "pos": [230, 230], "anchor": [0, 0.5], "text": "Download",
          "fontSize": 28, "textColor": "#333333ff" },
        { "kind": "LoadingBar", "name": "LoadingBar", "pos": [560, 230], "size": [300, 24], "fill": "#4caf50",
          "percent": 35 },
        { "kind": "Button", "name": "Btn_Start", "pos": [250, 90], "size": [220, 72], "fill": "#3aa3e6",
          "title": "Start", "titleFontSize": 30, "titleColor": "#ffffff" },
        { "kind": "Button", "name": "Btn_Star", "pos": [560, 90], "normal": "star.png" },
        { "kind": "Text", "name": "Text_Clicks", "pos": [680, 90], "text": "0", "fontSize": 30,
          "textColor": "#23405cff" }
      ] }
  ] }
})";

class DemoScreen : public support::HeadlessTest {
protected:
    void SetUp() override {
        support::HeadlessTest::SetUp();
        savedRoot = FileUtils::getInstance()->getDefaultResourceRootPath();
        savedPaths = FileUtils::getInstance()->getSearchPaths();
        FileUtils::getInstance()->setDefaultResourceRootPath(dir.path() + "/");
        FileUtils::getInstance()->setSearchPaths({""});
        std::ofstream(dir.file("Demo.csb")) << kLayout;
        writeDisc(dir.file("badge.png"), 72, 255, 183, 77, 0.95f);
        writeDisc(dir.file("star.png"), 64, 244, 67, 54, 0.9f);
        for (int i = 1; i <= 4; ++i) {
            writeDisc(dir.file("spin" + std::to_string(i) + ".png"), 48, 60, 60 * i, 200, 0.3f + 0.15f * i);
        }
    }
    void TearDown() override {
        FileUtils::getInstance()->setDefaultResourceRootPath(savedRoot);
        FileUtils::getInstance()->setSearchPaths(savedPaths);
        support::HeadlessTest::TearDown();
    }
    support::ScratchDir dir;
    std::string savedRoot;
    std::vector<std::string> savedPaths;
};

} // namespace

TEST_F(DemoScreen, LayoutScreenClicksAnimatesAndSavesAPicture) {
    Node* root = CSLoader::createNode("Demo.csb");
    ASSERT_NE(root, nullptr);
    auto* scene = Scene::create();
    scene->addChild(root);
    support::runScene(scene);

    auto* button = dynamic_cast<ui::Button*>(support::findByName("Btn_Star"));
    auto* clicks = dynamic_cast<ui::Text*>(support::findByName("Text_Clicks"));
    ASSERT_NE(button, nullptr);
    ASSERT_NE(clicks, nullptr);
    int count = 0;
    button->addClickEventListener([&](Ref*) { clicks->setString(std::to_string(++count)); });
    support::click(button);
    support::click("Btn_Star");
    EXPECT_EQ(count, 2);
    EXPECT_EQ(clicks->getString(), "2");

    auto* start = support::findByName("Btn_Start");
    start->runAction(Sequence::create(ScaleTo::create(0.3f, 1.1f), ScaleTo::create(0.3f, 1.0f), nullptr));
    support::stepFrames(18);
    EXPECT_NEAR(start->getScale(), 1.1f, 1e-3);

    auto* animation = Animation::create();
    for (int i = 1; i <= 4; ++i) {
        animation->addSpriteFrameWithFile("spin" + std::to_string(i) + ".png");
    }
    animation->setDelayPerUnit(0.1f);
    auto* spinner = Sprite::create("spin1.png");
    spinner->setPosition(1000, 160);
    scene->addChild(spinner);
    bool animated = false;
    spinner->runAction(Sequence::create(Animate::create(animation), CallFunc::create([&] { animated = true; }),
                                        nullptr));
    EXPECT_TRUE(support::stepUntil([&] { return animated; }, 60));

    auto* bar = dynamic_cast<ui::LoadingBar*>(support::findByName("LoadingBar"));
    ASSERT_NE(bar, nullptr);
    bar->setPercent(70);
    support::stepFrames(1);
    EXPECT_FALSE(support::saveScreenshot("demo_screen").empty());
    // The card is white, the background light blue.
    EXPECT_EQ(support::readPixel(640, 360).r, 255);
    EXPECT_EQ(support::readPixel(20, 20).b, 0xfa);
}
