#include <memory>

#include <gtest/gtest.h>

#include "ActionsFixture.h"
#include "scene/ActionManager.h"

using namespace engine;

using ActionStart = ActionsTest;

TEST_F(ActionStart, CapturesStartValuesWhenRun) {
    Node* node = addNode();
    node->runAction(ScaleTo::create(0.5f, 2.f));
    node->setScale(5.f); // too late: the start scale was taken by runAction
    step(0.25f);
    EXPECT_FLOAT_EQ(node->getScale(), 1.5f);
}

TEST_F(ActionStart, ReachesTheExactEndStateAndIsRemoved) {
    Node* node = addNode();
    node->runAction(MoveTo::create(0.3f, Vec2(7.3f, -2.1f)));
    step(0.1f, 2);
    EXPECT_EQ(node->getNumberOfRunningActions(), 1);
    step(0.1f);
    EXPECT_EQ(node->getPosition().x, 7.3f);
    EXPECT_EQ(node->getPosition().y, -2.1f);
    EXPECT_EQ(node->getNumberOfRunningActions(), 0);
}

TEST_F(ActionStart, ZeroDurationCompletesAtTheFirstStep) {
    Node* node = addNode();
    node->runAction(ScaleTo::create(0.f, 3.f));
    EXPECT_FLOAT_EQ(node->getScale(), 1.f);
    step(support::kFrame);
    EXPECT_FLOAT_EQ(node->getScale(), 3.f);
    EXPECT_EQ(node->getNumberOfRunningActions(), 0);
}

TEST_F(ActionStart, FinishedActionIsReleased) {
    auto token = std::make_shared<int>(0);
    Node* node = addNode();
    node->runAction(CallFunc::create([token] {}));
    step(support::kFrame); // also drains the pool that held the created action
    EXPECT_EQ(token.use_count(), 1);
}

using ActionPause = ActionsTest;

TEST_F(ActionPause, NodeNotInTheTreeDoesNotAdvanceUntilItEnters) {
    Node* node = Node::create();
    node->retain();
    node->runAction(MoveBy::create(0.2f, Vec2(10, 0)));
    step(0.1f, 5);
    EXPECT_FLOAT_EQ(node->getPositionX(), 0.f);
    layer->addChild(node);
    step(0.1f);
    EXPECT_FLOAT_EQ(node->getPositionX(), 5.f);
    node->release();
}

TEST_F(ActionPause, PausesOnExitAndResumesOnEnter) {
    Node* node = addNode();
    node->retain();
    node->runAction(MoveBy::create(0.4f, Vec2(40, 0)));
    step(0.1f);
    node->removeFromParentAndCleanup(false);
    step(0.1f, 3);
    EXPECT_FLOAT_EQ(node->getPositionX(), 10.f);
    layer->addChild(node);
    step(0.1f);
    EXPECT_FLOAT_EQ(node->getPositionX(), 20.f);
    node->release();
}

TEST_F(ActionPause, CoveredSceneWaitsUntilItIsRevealed) {
    Node* node = addNode();
    node->runAction(MoveBy::create(0.2f, Vec2(20, 0)));
    Director::getInstance()->pushScene(Scene::create());
    step(0.1f); // the push happens after this step's actions
    EXPECT_FLOAT_EQ(node->getPositionX(), 10.f);
    step(0.1f, 3);
    EXPECT_FLOAT_EQ(node->getPositionX(), 10.f);
    Director::getInstance()->popScene();
    step(0.1f); // the pop happens after this step's actions
    EXPECT_FLOAT_EQ(node->getPositionX(), 10.f);
    step(0.1f);
    EXPECT_FLOAT_EQ(node->getPositionX(), 20.f);
}

using ActionCleanup = ActionsTest;

TEST_F(ActionCleanup, PendingCallFuncNeverRunsAfterRemovalWithCleanup) {
    Node* node = addNode();
    node->retain(); // still alive, but cleaned up
    bool called = false;
    node->runAction(Sequence::create(ScaleTo::create(0.2f, 2.f), CallFunc::create([&] { called = true; }), nullptr));
    step(0.1f);
    node->removeFromParentAndCleanup(true);
    EXPECT_EQ(node->getNumberOfRunningActions(), 0);
    step(0.1f, 5);
    EXPECT_FALSE(called);
    node->release();
}

TEST_F(ActionCleanup, DestroyedNodeTakesItsActionsWithIt) {
    auto token = std::make_shared<int>(0);
    bool called = false;
    Node* node = addNode();
    node->runAction(Sequence::create(MoveBy::create(0.2f, Vec2(1, 0)),
                                     CallFunc::create([&called, token] { called = true; }), nullptr));
    layer->removeChild(node, false); // no cleanup: only the destructor drops the actions
    step(0.1f, 4);
    EXPECT_FALSE(called);
    EXPECT_EQ(token.use_count(), 1);
}

TEST_F(ActionCleanup, SceneReplacementDropsPendingCallbacks) {
    bool called = false;
    addNode()->runAction(
        Sequence::create(MoveBy::create(0.2f, Vec2(1, 0)), CallFunc::create([&] { called = true; }), nullptr));
    Director::getInstance()->replaceScene(Scene::create());
    step(0.1f, 4);
    EXPECT_FALSE(called);
}

// Callbacks that tear the tree down under the manager: meant to run under AddressSanitizer as well.
using ActionCallbackRemoval = ActionsTest;

TEST_F(ActionCallbackRemoval, CallFuncRemovesItsOwnTarget) {
    Node* node = addNode();
    settle();
    int tagSeen = 0;
    bool after = false;
    node->setTag(42);
    node->runAction(Sequence::create(ScaleTo::create(0.1f, 2.f), CallFunc::create([&] {
                                         node->removeFromParent();
                                         tagSeen = node->getTag(); // kept alive until the step returns
                                     }),
                                     CallFunc::create([&] { after = true; }), nullptr));
    step(0.1f);
    EXPECT_EQ(tagSeen, 42);
    EXPECT_FALSE(after);
    EXPECT_EQ(layer->getChildrenCount(), 0);
    step(0.1f, 2);
    EXPECT_FALSE(after);
}

TEST_F(ActionCallbackRemoval, CallFuncRemovesTheWholeLayer) {
    Node* first = addNode();
    Node* second = addNode();
    settle();
    bool firstAfter = false;
    bool secondCalled = false;
    first->runAction(Sequence::create(CallFunc::create([&] { layer->removeFromParent(); }),
                                      CallFunc::create([&] { firstAfter = true; }), nullptr));
    second->runAction(MoveBy::create(0.1f, Vec2(1, 0)));
    second->runAction(CallFunc::create([&] { secondCalled = true; }));
    step(support::kFrame);
    EXPECT_FALSE(firstAfter);
    EXPECT_FALSE(secondCalled); // its node went with the layer before its turn
    EXPECT_EQ(scene->getChildrenCount(), 0);
    step(support::kFrame, 3);
    EXPECT_FALSE(secondCalled);
}

TEST_F(ActionCallbackRemoval, CallFuncStopsAndStartsActions) {
    Node* node = addNode();
    bool after = false;
    node->runAction(MoveBy::create(1.f, Vec2(100, 0)));
    node->runAction(Sequence::create(CallFunc::create([&] {
                                         node->stopAllActions();
                                         node->runAction(ScaleTo::create(0.2f, 3.f));
                                     }),
                                     CallFunc::create([&] { after = true; }), nullptr));
    step(0.1f);
    EXPECT_FALSE(after);
    EXPECT_EQ(node->getNumberOfRunningActions(), 1);
    EXPECT_FLOAT_EQ(node->getScale(), 1.f); // an action started in a callback first advances next step
    step(0.1f);
    EXPECT_FLOAT_EQ(node->getScale(), 2.f);
    step(0.1f);
    EXPECT_FLOAT_EQ(node->getScale(), 3.f);
}

using ActionOwnership = ActionsTest;

TEST_F(ActionOwnership, RunningTheSameInstanceTwiceIsRefused) {
    Node* first = addNode();
    Node* second = addNode();
    Action* move = MoveBy::create(0.2f, Vec2(10, 0));
    first->runAction(move);
    second->runAction(move);
    EXPECT_TRUE(logged("already running"));
    EXPECT_EQ(second->getNumberOfRunningActions(), 0);
    EXPECT_EQ(move->getTarget(), first);
    step(0.1f);
    EXPECT_FLOAT_EQ(first->getPositionX(), 5.f);
    EXPECT_FLOAT_EQ(second->getPositionX(), 0.f);
}

TEST_F(ActionOwnership, AFinishedInstanceMayRunAgain) {
    Node* node = addNode();
    Action* move = MoveBy::create(0.1f, Vec2(10, 0));
    move->retain();
    node->runAction(move);
    step(0.1f);
    node->runAction(move);
    step(0.1f);
    EXPECT_FLOAT_EQ(node->getPositionX(), 20.f);
    EXPECT_FALSE(logged("already running"));
    move->release();
}

TEST_F(ActionOwnership, NullInputIsRefusedWithALogLine) {
    Director::getInstance()->getActionManager()->addAction(nullptr, addNode(), false);
    Director::getInstance()->getActionManager()->addAction(CallFunc::create(nullptr), nullptr, false);
    EXPECT_EQ(RepeatForever::create(nullptr), nullptr);
    EXPECT_EQ(Animate::create(nullptr), nullptr);
    EXPECT_EQ(logLines.size(), 4u);
    step(support::kFrame);
}

using ActionQueries = ActionsTest;

TEST_F(ActionQueries, StopByTagAndByInstance) {
    Node* node = addNode();
    Action* move = node->runAction(MoveBy::create(1.f, Vec2(10, 0)));
    Action* scale = node->runAction(ScaleTo::create(1.f, 2.f));
    scale->setTag(7);
    EXPECT_EQ(node->getActionByTag(7), scale);
    EXPECT_EQ(node->getActionByTag(8), nullptr);
    node->stopActionByTag(7);
    EXPECT_EQ(node->getActionByTag(7), nullptr);
    node->stopAction(move);
    EXPECT_EQ(node->getNumberOfRunningActions(), 0);
    step(0.5f);
    EXPECT_FLOAT_EQ(node->getPositionX(), 0.f);
    EXPECT_FLOAT_EQ(node->getScale(), 1.f);
}
