#include <gtest/gtest.h>

#include "base/Director.h"
#include "scene/Actions.h"
#include "scene/Layer.h"
#include "scene/Node.h"
#include "scene/Scene.h"
#include "support/Headless.h"

using namespace engine;
using support::HeadlessTest;

namespace {
class EnterCounter : public Node {
public:
    static EnterCounter* create() {
        auto* node = new EnterCounter();
        node->autorelease();
        return node;
    }
    void onEnter() override {
        Node::onEnter();
        ++entered;
    }
    void onEnterTransitionDidFinish() override {
        Node::onEnterTransitionDidFinish();
        ++finished;
    }
    void tick(float) { ++ticks; }
    int entered = 0, finished = 0, ticks = 0;
};
} // namespace

class NodeTree : public HeadlessTest {};

TEST_F(NodeTree, AddingToARunningParentEntersTheChildAtOnce) {
    auto* scene = Scene::create();
    support::runScene(scene);
    auto* child = EnterCounter::create();
    scene->addChild(child);
    EXPECT_EQ(child->entered, 1);
    EXPECT_EQ(child->finished, 1);
    EXPECT_TRUE(child->isRunning());
}

TEST_F(NodeTree, RefusesNullAndAdoptedChildren) {
    auto* a = Node::create();
    auto* b = Node::create();
    auto* child = Node::create();
    a->addChild(nullptr);
    a->addChild(child);
    b->addChild(child);
    EXPECT_EQ(child->getParent(), a);
    EXPECT_EQ(b->getChildrenCount(), 0);
}

TEST_F(NodeTree, ChildOrderIsInsertionOrderWhateverTheZ) {
    auto* parent = Node::create();
    auto* first = Node::create();
    auto* second = Node::create();
    parent->addChild(first, 5);
    parent->addChild(second, -1);
    first->setLocalZOrder(-3);
    ASSERT_EQ(parent->getChildren().size(), 2u);
    EXPECT_EQ(parent->getChildren().at(0), first);
    EXPECT_EQ(parent->getChildren().at(1), second);
}

TEST_F(NodeTree, RemovingANodeWithoutParentLeavesItWhole) {
    auto* scene = Scene::create();
    support::runScene(scene);
    auto* node = Node::create();
    auto* child = Node::create();
    node->addChild(child);
    node->runAction(MoveBy::create(1.f, Vec2(10, 0)));
    node->schedule([](float) {}, "tick");
    const unsigned int references = node->getReferenceCount();

    node->removeFromParent();
    node->removeFromParentAndCleanup(true);

    // No parent, so no clean-up either: its children, actions and timers are all still there.
    EXPECT_EQ(node->getReferenceCount(), references);
    EXPECT_EQ(node->getParent(), nullptr);
    ASSERT_EQ(node->getChildrenCount(), 1);
    EXPECT_EQ(child->getParent(), node);
    EXPECT_EQ(node->getNumberOfRunningActions(), 1);
    EXPECT_TRUE(node->isScheduled("tick"));
}

TEST_F(NodeTree, TimersScheduledBeforeEnteringStartOnEnterAndPauseOnExit) {
    auto* scene = Scene::create();
    support::runScene(scene);
    auto* node = EnterCounter::create();
    node->retain();
    node->schedule(schedule_selector(EnterCounter::tick));
    support::stepFrames(2);
    EXPECT_EQ(node->ticks, 0);
    scene->addChild(node);
    support::stepFrames(2);
    EXPECT_EQ(node->ticks, 2);
    node->removeFromParentAndCleanup(false);
    support::stepFrames(2);
    EXPECT_EQ(node->ticks, 2);
    scene->addChild(node);
    support::stepFrames(1);
    EXPECT_EQ(node->ticks, 3);
    node->removeFromParent();
    node->release();
}

TEST_F(NodeTree, ScheduleOnceFiresOnceAfterItsDelay) {
    auto* scene = Scene::create();
    support::runScene(scene);
    int fired = 0;
    scene->scheduleOnce([&](float) { ++fired; }, 0.5f, "once");
    support::stepFrames(29);
    EXPECT_EQ(fired, 0);
    support::stepFrames(3);
    EXPECT_EQ(fired, 1);
    support::stepFrames(60);
    EXPECT_EQ(fired, 1);
}

TEST_F(NodeTree, ANodeMayRemoveItsParentFromItsOwnTimer) {
    auto* scene = Scene::create();
    support::runScene(scene);
    auto* layer = Layer::create();
    auto* node = Node::create();
    layer->addChild(node);
    scene->addChild(layer);
    bool ran = false;
    node->schedule(
        [&, layer](float) {
            ran = true;
            layer->removeFromParent();
        },
        "remove");
    support::stepFrames(3);
    EXPECT_TRUE(ran);
    EXPECT_EQ(scene->getChildrenCount(), 0);
}

TEST(NodeGeometry, BoundingBoxFollowsAnchorScaleAndRotation) {
    auto* node = Node::create();
    node->retain();
    node->setContentSize(Size(100, 50));
    node->setAnchorPoint(Vec2(0.5f, 0.5f));
    node->setPosition(200, 100);
    Rect box = node->getBoundingBox();
    EXPECT_FLOAT_EQ(box.getMinX(), 150);
    EXPECT_FLOAT_EQ(box.getMinY(), 75);
    node->setScale(2);
    box = node->getBoundingBox();
    EXPECT_FLOAT_EQ(box.size.width, 200);
    node->setScale(1);
    node->setRotation(90);
    box = node->getBoundingBox();
    EXPECT_NEAR(box.size.width, 50, 1e-3);
    EXPECT_NEAR(box.size.height, 100, 1e-3);
    node->release();
}

TEST(NodeGeometry, RotationIsClockwiseAndNeverWrapped) {
    auto* parent = Node::create();
    parent->retain();
    auto* child = Node::create();
    parent->addChild(child);
    parent->setRotation(90);
    const Vec2 world = child->convertToWorldSpace(Vec2(10, 0));
    EXPECT_NEAR(world.x, 0, 1e-4);
    EXPECT_NEAR(world.y, -10, 1e-4);
    parent->setRotation(720.5f);
    EXPECT_FLOAT_EQ(parent->getRotation(), 720.5f);
    const Vec2 back = child->convertToNodeSpace(child->convertToWorldSpace(Vec2(3, 4)));
    EXPECT_NEAR(back.x, 3, 1e-3);
    EXPECT_NEAR(back.y, 4, 1e-3);
    parent->release();
}

TEST(NodeGeometry, EdgesOfARectAreInside) {
    const Rect r(0, 0, 10, 10);
    EXPECT_TRUE(r.containsPoint(Vec2(10, 10)));
    EXPECT_TRUE(r.containsPoint(Vec2(0, 5)));
    EXPECT_FALSE(r.containsPoint(Vec2(10.01f, 5)));
}

TEST(NodeLook, OpacityAndColourCascadeUnlessSwitchedOff) {
    auto* parent = Node::create();
    parent->retain();
    auto* child = Node::create();
    parent->addChild(child);
    parent->setOpacity(128);
    child->setOpacity(128);
    EXPECT_EQ(child->getDisplayedOpacity(), 64);
    parent->setColor(Color3B(255, 0, 0));
    EXPECT_EQ(child->getDisplayedColor(), Color3B(255, 0, 0));
    parent->setCascadeOpacityEnabled(false);
    EXPECT_EQ(child->getDisplayedOpacity(), 128);
    parent->release();
}

TEST(NodeLook, ZeroScaleOrHiddenAncestorHidesTheTree) {
    auto* parent = Node::create();
    parent->retain();
    auto* child = Node::create();
    parent->addChild(child);
    EXPECT_TRUE(child->isVisibleInTree());
    parent->setScaleX(0);
    EXPECT_FALSE(child->isVisibleInTree());
    parent->setScaleX(1);
    parent->setVisible(false);
    EXPECT_FALSE(child->isVisibleInTree());
    parent->release();
}
