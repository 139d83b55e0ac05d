#include <gtest/gtest.h>
#include <cstdio>
#include "base/Director.h"
#include "scene/Label.h"
#include "scene/Scene.h"
#include "render/Renderer.h"
#include "support/Headless.h"
using namespace engine;
using Probe = support::HeadlessTest;
TEST_F(Probe, TmpLabelProbe) {
    Scene* scene = Scene::create();
    Label* a = Label::create("Hello 42 ÷ world", "", 30);
    a->setTextColor(Color4B(255, 200, 0, 255));
    a->setPosition(300, 600);
    scene->addChild(a);
    Label* b = Label::create("Faded text", "", 30);
    b->setTextColor(Color4B(20, 60, 200, 160));
    b->setOpacity(200);
    b->setPosition(300, 400);
    scene->addChild(b);
    support::runScene(scene);
    support::stepFrames(1);
    std::vector<uint8_t> rgba; int w, h;
    Director::getInstance()->getRenderer()->readPixels(rgba, w, h);
    FILE* f = fopen(getenv("PROBE_OUT"), "wb");
    fwrite(rgba.data(), 1, rgba.size(), f);
    fclose(f);
}
