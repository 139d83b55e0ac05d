// A running scene with a layer for the action tests, and the log lines they produce.
#pragma once

#include <string>
#include <vector>

#include "base/Director.h"
#include "base/Log.h"
#include "scene/Actions.h"
#include "scene/Layer.h"
#include "scene/Scene.h"
#include "support/Headless.h"

class ActionsTest : public support::HeadlessTest {
protected:
    void SetUp() override {
        support::HeadlessTest::SetUp();
        scene = engine::Scene::create();
        support::runScene(scene);
        ASSERT_EQ(engine::Director::getInstance()->getRunningScene(), scene);
        layer = engine::Layer::create();
        scene->addChild(layer);
        settle();
        engine::setLogSink([this](const std::string& line) { logLines.push_back(line); });
    }

    void TearDown() override {
        engine::setLogSink(nullptr);
        support::HeadlessTest::TearDown();
    }

    // A node on the layer, running.
    engine::Node* addNode() {
        engine::Node* node = engine::Node::create();
        layer->addChild(node);
        return node;
    }

    static void step(float dt, int frames = 1) { support::stepFrames(frames, dt); }
    // One empty frame: drains the autorelease pool, so what the tree drops is deleted at once.
    static void settle() { support::stepFrames(1, 0.f); }

    bool logged(const std::string& part) const {
        for (const auto& line : logLines) {
            if (line.find(part) != std::string::npos) {
                return true;
            }
        }
        return false;
    }

    engine::Scene* scene = nullptr;
    engine::Layer* layer = nullptr;
    std::vector<std::string> logLines;
};
