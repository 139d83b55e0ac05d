#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Director.h"
#include "base/Touch.h"
#include "platform/GLView.h"
#include "scene/Node.h"
#include "scene/Scene.h"
#include "support/Headless.h"

using namespace engine;

namespace {

class TouchDispatch : public support::HeadlessTest {
protected:
    void SetUp() override {
        support::HeadlessTest::SetUp();
        scene = Scene::create();
        support::runScene(scene);
    }
    EventListenerTouchOneByOne* listen(Node* node, const std::string& name, bool claim, bool swallow) {
        auto* listener = EventListenerTouchOneByOne::create();
        listener->setSwallowTouches(swallow);
        listener->onTouchBegan = [this, name, claim](Touch*, Event*) {
            log.push_back(name + ":began");
            return claim;
        };
        listener->onTouchMoved = [this, name](Touch*, Event*) { log.push_back(name + ":moved"); };
        listener->onTouchEnded = [this, name](Touch*, Event*) { log.push_back(name + ":ended"); };
        Director::getInstance()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, node);
        return listener;
    }
    void touch() {
        GLView* view = Director::getInstance()->getOpenGLView();
        view->injectTouch(TouchPhase::BEGAN, Vec2(10, 10));
        view->injectTouch(TouchPhase::MOVED, Vec2(12, 12));
        view->injectTouch(TouchPhase::ENDED, Vec2(12, 12));
    }
    Scene* scene = nullptr;
    std::vector<std::string> log;
};

} // namespace

TEST_F(TouchDispatch, FrontToBackInDrawOrder) {
    auto* back = Node::create();
    auto* front = Node::create();
    auto* below = Node::create();
    scene->addChild(back);
    scene->addChild(front);
    scene->addChild(below, -1);
    listen(back, "back", false, false);
    listen(front, "front", false, false);
    listen(below, "below", false, false);
    listen(scene, "scene", false, false);
    touch();
    EXPECT_EQ(log, (std::vector<std::string>{"front:began", "back:began", "scene:began", "below:began"}));
}

TEST_F(TouchDispatch, ZOrderChangesPriorityAtOnce) {
    auto* a = Node::create();
    auto* b = Node::create();
    scene->addChild(a);
    scene->addChild(b);
    listen(a, "a", false, false);
    listen(b, "b", false, false);
    a->setLocalZOrder(5);
    touch();
    EXPECT_EQ(log.front(), "a:began");
}

TEST_F(TouchDispatch, OnlyClaimedTouchesMoveAndEndAndSwallowingStopsTheRest) {
    auto* back = Node::create();
    auto* front = Node::create();
    scene->addChild(back);
    scene->addChild(front);
    listen(back, "back", true, false);
    listen(front, "front", false, false);
    touch();
    EXPECT_EQ(log, (std::vector<std::string>{"front:began", "back:began", "back:moved", "back:ended"}));
    log.clear();
    listen(front, "swallower", true, true);
    touch();
    EXPECT_EQ(log, (std::vector<std::string>{"swallower:began", "swallower:moved", "swallower:ended"}));
}

TEST_F(TouchDispatch, ListenersOfNodesOutOfTheTreeGetNothing) {
    auto* node = Node::create();
    listen(node, "detached", true, false);
    touch();
    EXPECT_TRUE(log.empty());
}

TEST_F(TouchDispatch, ANodeRemovedInItsOwnHandlerGetsNoMoreOfTheTouch) {
    auto* node = Node::create();
    scene->addChild(node);
    auto* listener = EventListenerTouchOneByOne::create();
    listener->onTouchBegan = [&, node](Touch*, Event*) {
        log.push_back("began");
        node->removeFromParent();
        return true;
    };
    listener->onTouchEnded = [&](Touch*, Event*) { log.push_back("ended"); };
    Director::getInstance()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, node);
    touch();
    EXPECT_EQ(log, (std::vector<std::string>{"began"}));
}

TEST_F(TouchDispatch, CoveredScenesListenersArePaused) {
    listen(scene, "covered", true, false);
    Director::getInstance()->pushScene(Scene::create());
    support::stepFrames(1);
    touch();
    EXPECT_TRUE(log.empty());
    Director::getInstance()->popScene();
    support::stepFrames(1);
    touch();
    EXPECT_FALSE(log.empty());
}
