#include <gtest/gtest.h>

#include "ActionsFixture.h"

using namespace engine;

using ScaleAndMove = ActionsTest;

TEST_F(ScaleAndMove, TwoAxisScaleFromTheCurrentScale) {
    Node* node = addNode();
    node->setScale(2.f, 0.5f);
    node->runAction(ScaleTo::create(0.2f, 0.f, 1.f));
    step(0.1f);
    EXPECT_FLOAT_EQ(node->getScaleX(), 1.f);
    EXPECT_FLOAT_EQ(node->getScaleY(), 0.75f);
    step(0.1f);
    EXPECT_EQ(node->getScaleX(), 0.f);
    EXPECT_EQ(node->getScaleY(), 1.f);
}

TEST_F(ScaleAndMove, MoveToAndMoveByAreLinear) {
    Node* to = addNode();
    Node* by = addNode();
    to->setPosition(10, 10);
    by->setPosition(10, 10);
    to->runAction(MoveTo::create(0.4f, Vec2(50, -30)));
    by->runAction(MoveBy::create(0.4f, Vec2(50, -30)));
    step(0.1f);
    EXPECT_FLOAT_EQ(to->getPositionX(), 20.f);
    EXPECT_FLOAT_EQ(to->getPositionY(), 0.f);
    EXPECT_FLOAT_EQ(by->getPositionX(), 22.5f);
    EXPECT_FLOAT_EQ(by->getPositionY(), 2.5f);
    step(0.1f, 3);
    EXPECT_FLOAT_EQ(to->getPositionX(), 50.f);
    EXPECT_FLOAT_EQ(by->getPositionX(), 60.f);
    EXPECT_FLOAT_EQ(by->getPositionY(), -20.f);
}

using FadeAndTint = ActionsTest;

TEST_F(FadeAndTint, FadesFromTheCurrentOpacity) {
    Node* in = addNode();
    Node* out = addNode();
    in->setOpacity(55);
    out->setOpacity(200);
    in->runAction(FadeIn::create(0.2f));
    out->runAction(FadeOut::create(0.2f));
    step(0.1f);
    EXPECT_EQ(in->getOpacity(), 155);
    EXPECT_EQ(out->getOpacity(), 100);
    step(0.1f);
    EXPECT_EQ(in->getOpacity(), 255);
    EXPECT_EQ(out->getOpacity(), 0);
}

TEST_F(FadeAndTint, TintsFromTheCurrentColour) {
    Node* node = addNode();
    node->setColor(Color3B(200, 0, 100));
    node->runAction(TintTo::create(0.2f, 0, 100, 100));
    step(0.1f);
    EXPECT_EQ(node->getColor(), Color3B(100, 50, 100));
    step(0.1f);
    EXPECT_EQ(node->getColor(), Color3B(0, 100, 100));
}

using BlinkVisibility = ActionsTest;

TEST_F(BlinkVisibility, HidesForTheFirstHalfOfEachBlink) {
    Node* node = addNode();
    node->runAction(Blink::create(1.f, 2));
    const bool expected[] = {false, true, false, true}; // at 0.1, 0.35, 0.6, 0.85 s
    step(0.1f);
    EXPECT_EQ(node->isVisible(), expected[0]);
    for (int i = 1; i < 4; ++i) {
        step(0.25f);
        EXPECT_EQ(node->isVisible(), expected[i]) << "sample " << i;
    }
}

TEST_F(BlinkVisibility, RestoresTheVisibilityFoundAtItsStart) {
    Node* shown = addNode();
    Node* hidden = addNode();
    hidden->setVisible(false);
    shown->runAction(Blink::create(0.3f, 1));
    hidden->runAction(Blink::create(0.3f, 1));
    step(0.2f);
    EXPECT_TRUE(hidden->isVisible());
    step(0.2f);
    EXPECT_TRUE(shown->isVisible());
    EXPECT_FALSE(hidden->isVisible());
}

TEST_F(BlinkVisibility, RestoresWhenStoppedOrCleanedUp) {
    Node* stopped = addNode();
    Node* removed = addNode();
    removed->retain();
    stopped->runAction(Blink::create(1.f, 1));
    removed->runAction(Blink::create(1.f, 1));
    step(0.1f);
    ASSERT_FALSE(stopped->isVisible());
    ASSERT_FALSE(removed->isVisible());
    stopped->stopAllActions();
    removed->removeFromParentAndCleanup(true);
    EXPECT_TRUE(stopped->isVisible());
    EXPECT_TRUE(removed->isVisible());
    removed->release();
}

using RotateForever = ActionsTest;

TEST_F(RotateForever, AccumulatesPast360Unwrapped) {
    Node* node = addNode();
    node->setRotation(0.5f);
    node->runAction(RepeatForever::create(RotateBy::create(0.5f, 360.f)));
    step(0.1f, 10);
    EXPECT_NEAR(node->getRotation(), 720.5f, 1e-3f);
    step(0.1f);
    EXPECT_NEAR(node->getRotation(), 792.5f, 1e-3f);
    EXPECT_EQ(node->getNumberOfRunningActions(), 1);
}

TEST_F(RotateForever, CarriesLeftoverTimeIntoTheNextCycle) {
    Node* node = addNode();
    node->runAction(RepeatForever::create(RotateBy::create(0.2f, 90.f)));
    step(0.3f);
    EXPECT_FLOAT_EQ(node->getRotation(), 135.f);
    step(0.5f);
    EXPECT_FLOAT_EQ(node->getRotation(), 360.f);
}

TEST_F(RotateForever, RestartsSequencesAndIsNeverDone) {
    Node* node = addNode();
    int calls = 0;
    node->runAction(RepeatForever::create(
        Sequence::create(FadeOut::create(0.5f), FadeIn::create(0.5f), CallFunc::create([&] { ++calls; }), nullptr)));
    step(0.25f);
    EXPECT_EQ(node->getOpacity(), 128);
    step(0.25f, 7);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(node->getOpacity(), 255);
    EXPECT_EQ(node->getNumberOfRunningActions(), 1);
}

using ActionClone = ActionsTest;

TEST_F(ActionClone, GivesAnUnstartedCopyWithTheSameParameters) {
    Node* first = addNode();
    Node* second = addNode();
    auto* scale = ScaleTo::create(0.2f, 3.f);
    scale->setTag(5);
    first->runAction(scale);
    step(0.1f);
    auto* copy = scale->clone();
    EXPECT_NE(copy, scale);
    EXPECT_EQ(copy->getTarget(), nullptr);
    EXPECT_EQ(copy->getElapsed(), 0.f);
    EXPECT_FLOAT_EQ(copy->getDuration(), 0.2f);
    second->runAction(copy);
    EXPECT_FALSE(logged("already running"));
    step(0.1f);
    EXPECT_FLOAT_EQ(first->getScale(), 3.f);
    EXPECT_FLOAT_EQ(second->getScale(), 2.f);
}

TEST_F(ActionClone, CompositeClonesCopyTheirParts) {
    Node* first = addNode();
    Node* second = addNode();
    int calls = 0;
    auto* pop = Sequence::create(Spawn::create(MoveBy::create(0.2f, Vec2(10, 0)), FadeOut::create(0.1f), nullptr),
                                 CallFunc::create([&] { ++calls; }), nullptr);
    auto* spin = RepeatForever::create(RotateBy::create(0.2f, 90.f));
    first->runAction(pop);
    first->runAction(spin);
    step(0.1f);
    second->runAction(pop->clone());
    second->runAction(spin->clone());
    step(0.1f);
    EXPECT_EQ(calls, 1);
    EXPECT_FLOAT_EQ(first->getPositionX(), 10.f);
    EXPECT_FLOAT_EQ(second->getPositionX(), 5.f);
    EXPECT_FLOAT_EQ(second->getRotation(), 45.f);
    EXPECT_EQ(second->getOpacity(), 0);
    step(0.1f);
    EXPECT_EQ(calls, 2);
    EXPECT_FLOAT_EQ(first->getRotation(), 135.f);
}
