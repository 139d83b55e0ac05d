#include <string>

#include <gtest/gtest.h>

#include "ActionsFixture.h"

using namespace engine;

using SequenceOrder = ActionsTest;

TEST_F(SequenceOrder, RunsActionsOneAfterAnother) {
    Node* node = addNode();
    std::string order;
    node->runAction(Sequence::create(CallFunc::create([&] { order += "a"; }), MoveBy::create(0.2f, Vec2(10, 0)),
                                     CallFunc::create([&] { order += "b"; }), MoveBy::create(0.2f, Vec2(0, 10)),
                                     CallFunc::create([&] { order += "c"; }), nullptr));
    step(0.1f);
    EXPECT_EQ(order, "a");
    EXPECT_FLOAT_EQ(node->getPositionX(), 5.f);
    step(0.1f);
    EXPECT_EQ(order, "ab");
    EXPECT_FLOAT_EQ(node->getPositionY(), 0.f);
    step(0.1f, 2);
    EXPECT_EQ(order, "abc");
    EXPECT_EQ(node->getPosition().y, 10.f);
    EXPECT_EQ(node->getNumberOfRunningActions(), 0);
}

TEST_F(SequenceOrder, CallbackRunsInTheStepThatEndsTheScaling) {
    Node* node = addNode();
    int callbackFrame = -1;
    int frame = 0;
    float scaleAtCallback = 0;
    node->runAction(Sequence::create(ScaleTo::create(0.3f, 1.02f), CallFunc::create([&] {
                                         callbackFrame = frame;
                                         scaleAtCallback = node->getScale();
                                     }),
                                     nullptr));
    int endFrame = -1;
    for (frame = 0; frame < 40 && callbackFrame < 0; ++frame) {
        step(support::kFrame);
        if (endFrame < 0 && node->getScale() == 1.02f) {
            endFrame = frame;
        }
    }
    EXPECT_EQ(callbackFrame, endFrame);
    EXPECT_EQ(callbackFrame, 17); // 18 frames of 1/60 s
    EXPECT_EQ(scaleAtCallback, 1.02f);
}

TEST_F(SequenceOrder, EachActionStartsWhenReached) {
    Node* node = addNode();
    node->runAction(
        Sequence::create(CallFunc::create([&] { node->setScale(4.f); }), ScaleTo::create(0.2f, 2.f), nullptr));
    step(0.1f);
    EXPECT_FLOAT_EQ(node->getScale(), 3.f); // from 4, the scale when the ScaleTo was reached
}

TEST_F(SequenceOrder, LeftoverTimeGoesToTheNextAction) {
    Node* node = addNode();
    node->runAction(Sequence::create(MoveBy::create(0.1f, Vec2(10, 0)), MoveBy::create(0.2f, Vec2(0, 20)), nullptr));
    step(0.15f);
    EXPECT_FLOAT_EQ(node->getPositionX(), 10.f);
    EXPECT_FLOAT_EQ(node->getPositionY(), 5.f);
}

TEST_F(SequenceOrder, CreateWithTwoActionsAndNullEndsTheList) {
    Node* node = addNode();
    int calls = 0;
    auto* two = Sequence::createWithTwoActions(MoveBy::create(0.1f, Vec2(1, 0)), CallFunc::create([&] { ++calls; }));
    EXPECT_FLOAT_EQ(two->getDuration(), 0.1f);
    node->runAction(two);
    auto* cut = Sequence::create(CallFunc::create([&] { ++calls; }), nullptr, CallFunc::create([&] { calls += 10; }));
    node->runAction(cut);
    step(0.1f);
    EXPECT_EQ(calls, 2);
}

TEST_F(SequenceOrder, EmptySequenceEndsAtItsFirstStep) {
    Node* node = addNode();
    bool after = false;
    node->runAction(Sequence::create(Sequence::create(nullptr), CallFunc::create([&] { after = true; }), nullptr));
    EXPECT_TRUE(logged("no actions"));
    step(support::kFrame);
    EXPECT_TRUE(after);
}

using SequenceTiming = ActionsTest;

TEST_F(SequenceTiming, ZeroMoveByStillLastsItsDuration) {
    Node* node = addNode();
    bool called = false;
    node->runAction(
        Sequence::create(MoveBy::create(0.5f, Vec2::ZERO), CallFunc::create([&] { called = true; }), nullptr));
    step(0.1f, 4);
    EXPECT_FALSE(called);
    step(0.1f);
    EXPECT_TRUE(called);
}

TEST_F(SequenceTiming, ZeroDurationActionsAllRunInOneStep) {
    Node* node = addNode();
    std::string order;
    node->runAction(Sequence::create(CallFunc::create([&] { order += "a"; }), ScaleTo::create(0.f, 2.f),
                                     CallFunc::create([&] { order += std::to_string(int(node->getScale())); }),
                                     nullptr));
    step(support::kFrame);
    EXPECT_EQ(order, "a2");
}

using SpawnTogether = ActionsTest;

TEST_F(SpawnTogether, RunsActionsTogetherForTheLongestDuration) {
    Node* node = addNode();
    bool after = false;
    auto* spawn = Spawn::create(MoveBy::create(0.2f, Vec2(10, 0)), ScaleTo::create(0.4f, 3.f), nullptr);
    EXPECT_FLOAT_EQ(spawn->getDuration(), 0.4f);
    node->runAction(Sequence::create(spawn, CallFunc::create([&] { after = true; }), nullptr));
    step(0.1f);
    EXPECT_FLOAT_EQ(node->getPositionX(), 5.f);
    EXPECT_FLOAT_EQ(node->getScale(), 1.5f);
    step(0.1f, 2);
    EXPECT_FLOAT_EQ(node->getPositionX(), 10.f);
    EXPECT_FLOAT_EQ(node->getScale(), 2.5f);
    EXPECT_FALSE(after);
    step(0.1f);
    EXPECT_FLOAT_EQ(node->getScale(), 3.f);
    EXPECT_TRUE(after);
}

TEST_F(SpawnTogether, StoppingStopsEveryPart) {
    Node* node = addNode();
    node->setVisible(true);
    Action* spawn = node->runAction(Spawn::create(Blink::create(1.f, 1), MoveBy::create(1.f, Vec2(10, 0)), nullptr));
    step(0.25f);
    EXPECT_FALSE(node->isVisible());
    node->stopAction(spawn);
    EXPECT_TRUE(node->isVisible());
    step(0.25f);
    EXPECT_FLOAT_EQ(node->getPositionX(), 2.5f);
}
