#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "base/Director.h"
#include "base/Scheduler.h"
#include "platform/GLView.h"
#include "scene/Scene.h"
#include "support/Headless.h"

using namespace engine;

namespace {

std::vector<std::string>* g_events = nullptr;

class RecordingScene : public Scene {
public:
    static RecordingScene* create(const std::string& name) {
        auto* scene = new RecordingScene();
        scene->_label = name;
        scene->init();
        scene->autorelease();
        return scene;
    }
    ~RecordingScene() override {
        if (g_events) {
            g_events->push_back(_label + ":destroyed");
        }
    }
    void onEnter() override {
        Scene::onEnter();
        if (g_events) {
            g_events->push_back(_label + ":enter");
        }
        runningDuringEnter = Director::getInstance()->getRunningScene();
    }
    void onExit() override {
        Scene::onExit();
        if (g_events) {
            g_events->push_back(_label + ":exit");
        }
    }
    Scene* runningDuringEnter = nullptr;

private:
    std::string _label;
};

class SceneStack : public ::testing::Test {
protected:
    void SetUp() override {
        Director::getInstance()->reset();
        g_events = &events;
    }
    void TearDown() override {
        Director::getInstance()->reset();
        g_events = nullptr;
    }
    void step(int n = 1) { support::stepFrames(n); }
    std::vector<std::string> events;
};

} // namespace

TEST_F(SceneStack, RunningSceneAppearsAtTheFirstStep) {
    auto* a = RecordingScene::create("a");
    Director::getInstance()->runWithScene(a);
    EXPECT_EQ(Director::getInstance()->getRunningScene(), nullptr);
    step();
    EXPECT_EQ(Director::getInstance()->getRunningScene(), a);
    EXPECT_EQ(a->runningDuringEnter, a);
}

TEST_F(SceneStack, ReplaceIsDeferredAndTheOldSceneDiesBeforeTheNewEnters) {
    Director::getInstance()->runWithScene(RecordingScene::create("a"));
    step();
    events.clear();
    auto* b = RecordingScene::create("b");
    Director::getInstance()->replaceScene(b);
    EXPECT_NE(Director::getInstance()->getRunningScene(), b);
    step();
    EXPECT_EQ(Director::getInstance()->getRunningScene(), b);
    EXPECT_EQ(events, (std::vector<std::string>{"a:exit", "a:destroyed", "b:enter"}));
}

TEST_F(SceneStack, PushKeepsTheCoveredSceneAndPopEntersItAgain) {
    auto* a = RecordingScene::create("a");
    Director::getInstance()->runWithScene(a);
    step();
    events.clear();
    Director::getInstance()->pushScene(RecordingScene::create("b"));
    step();
    EXPECT_EQ(events, (std::vector<std::string>{"a:exit", "b:enter"}));
    events.clear();
    Director::getInstance()->popScene();
    step();
    EXPECT_EQ(Director::getInstance()->getRunningScene(), a);
    EXPECT_EQ(events, (std::vector<std::string>{"b:exit", "b:destroyed", "a:enter"}));
}

TEST_F(SceneStack, PopThenPushInOneFrameGivesOneSwitch) {
    auto* player = RecordingScene::create("player");
    Director::getInstance()->runWithScene(player);
    step();
    Director::getInstance()->pushScene(RecordingScene::create("sign"));
    step();
    events.clear();
    Director::getInstance()->popScene();
    auto* group = RecordingScene::create("group");
    Director::getInstance()->pushScene(group);
    step();
    EXPECT_EQ(Director::getInstance()->getRunningScene(), group);
    EXPECT_EQ(Director::getInstance()->getSceneStackSize(), 2u);
    EXPECT_EQ(events, (std::vector<std::string>{"sign:exit", "sign:destroyed", "group:enter"}));
}

TEST_F(SceneStack, PoppingTheLastSceneEndsTheRun) {
    Director::getInstance()->runWithScene(RecordingScene::create("a"));
    step();
    Director::getInstance()->popScene();
    step();
    EXPECT_TRUE(Director::getInstance()->hasEnded());
    EXPECT_EQ(Director::getInstance()->getRunningScene(), nullptr);
}

TEST(AutoreleasePool, DrainsAtTheEndOfEveryStep) {
    Director::getInstance()->reset();
    bool deleted = false;
    struct Probe : Ref {
        bool* flag;
        explicit Probe(bool* f) : flag(f) {}
        ~Probe() override { *flag = true; }
    };
    auto* kept = new Probe(&deleted);
    kept->autorelease();
    kept->retain();
    bool droppedDeleted = false;
    (new Probe(&droppedDeleted))->autorelease();
    Director::getInstance()->mainLoop(support::kFrame);
    EXPECT_TRUE(droppedDeleted);
    EXPECT_FALSE(deleted);
    kept->release();
    EXPECT_TRUE(deleted);
}

namespace {
struct Counter : Ref {
    int fired = 0;
    std::vector<float> dts;
    void tick(float dt) {
        ++fired;
        dts.push_back(dt);
    }
    void tickOnce(float) {
        ++fired;
        Director::getInstance()->getScheduler()->unschedule(schedule_selector(Counter::tickOnce), this);
    }
};
} // namespace

TEST(SchedulerTimers, FireAtMostOncePerFrameWithTheAccumulatedTime) {
    Director::getInstance()->reset();
    Counter counter;
    Scheduler* scheduler = Director::getInstance()->getScheduler();
    scheduler->schedule(schedule_selector(Counter::tick), &counter, 0.1f, false);
    support::stepFrames(5, 0.25f);
    EXPECT_EQ(counter.fired, 5);
    EXPECT_FLOAT_EQ(counter.dts.front(), 0.25f);
    counter.fired = 0;
    counter.dts.clear();
    support::stepFrames(3, 0.04f);
    EXPECT_EQ(counter.fired, 1);
    EXPECT_NEAR(counter.dts.front(), 0.12f, 1e-5);
    scheduler->unscheduleAllForTarget(&counter);
}

TEST(SchedulerTimers, SchedulingAgainOnlyChangesTheInterval) {
    Director::getInstance()->reset();
    Counter counter;
    Scheduler* scheduler = Director::getInstance()->getScheduler();
    scheduler->schedule(schedule_selector(Counter::tick), &counter, 0.f, false);
    scheduler->schedule(schedule_selector(Counter::tick), &counter, 0.f, false);
    support::stepFrames(3);
    EXPECT_EQ(counter.fired, 3);
    scheduler->unscheduleAllForTarget(&counter);
}

TEST(SchedulerTimers, UnschedulingInsideTheCallbackIsSafe) {
    Director::getInstance()->reset();
    Counter counter;
    Director::getInstance()->getScheduler()->schedule(schedule_selector(Counter::tickOnce), &counter, 0.f, false);
    support::stepFrames(4);
    EXPECT_EQ(counter.fired, 1);
}

TEST(SchedulerTimers, ATimerAddedInACallbackFirstFiresNextFrame) {
    Director::getInstance()->reset();
    Scheduler* scheduler = Director::getInstance()->getScheduler();
    int outer = 0, inner = 0;
    int key = 0;
    scheduler->schedule(
        [&](float) {
            ++outer;
            scheduler->schedule([&](float) { ++inner; }, &key, 0.f, false, "inner");
        },
        &key, 0.f, false, "outer");
    support::stepFrames(1);
    EXPECT_EQ(outer, 1);
    EXPECT_EQ(inner, 0);
    support::stepFrames(1);
    EXPECT_EQ(inner, 1);
    scheduler->unscheduleAllForTarget(&key);
}

TEST(SchedulerQueue, RunsWorkerFunctionsOnTheMainThreadInOrder) {
    Director::getInstance()->reset();
    std::vector<int> order;
    std::thread::id ranOn;
    std::thread worker([&] {
        for (int i = 0; i < 3; ++i) {
            Director::getInstance()->getScheduler()->performFunctionInMainThread([&, i] {
                order.push_back(i);
                ranOn = std::this_thread::get_id();
            });
        }
    });
    worker.join();
    EXPECT_TRUE(order.empty());
    support::stepFrames(1);
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(SchedulerQueue, StoppedAnimationHoldsTimersAndQueue) {
    Director::getInstance()->reset();
    Counter counter;
    Scheduler* scheduler = Director::getInstance()->getScheduler();
    scheduler->schedule(schedule_selector(Counter::tick), &counter, 0.f, false);
    bool ran = false;
    scheduler->performFunctionInMainThread([&] { ran = true; });
    Director::getInstance()->stopAnimation();
    support::stepFrames(3);
    EXPECT_EQ(counter.fired, 0);
    EXPECT_FALSE(ran);
    Director::getInstance()->startAnimation();
    support::stepFrames(1);
    EXPECT_EQ(counter.fired, 1);
    EXPECT_TRUE(ran);
    scheduler->unscheduleAllForTarget(&counter);
}

struct FrameCase {
    float width, height, visibleHeight;
};

class FixedWidthResolution : public ::testing::TestWithParam<FrameCase> {};

TEST_P(FixedWidthResolution, VisibleSizeFollowsTheFrameAspect) {
    const FrameCase c = GetParam();
    support::startHeadless(Size(c.width, c.height));
    const Size visible = Director::getInstance()->getWinSize();
    EXPECT_FLOAT_EQ(visible.width, 1280.f);
    EXPECT_NEAR(visible.height, c.visibleHeight, 0.01);
    EXPECT_FLOAT_EQ(Director::getInstance()->getOpenGLView()->getScaleX(), c.width / 1280.f);
    support::stopHeadless();
}

INSTANTIATE_TEST_SUITE_P(Frames, FixedWidthResolution,
                         ::testing::Values(FrameCase{1280, 720, 720}, FrameCase{1024, 768, 960},
                                           FrameCase{1920, 1080, 720}, FrameCase{1280, 1024, 1024}),
                         [](const ::testing::TestParamInfo<FrameCase>& info) {
                             return std::to_string(static_cast<int>(info.param.width)) + "x" +
                                    std::to_string(static_cast<int>(info.param.height));
                         });

TEST(DirectorWithoutView, RunsScenesTimersAndQueue) {
    Director::getInstance()->reset();
    EXPECT_EQ(Director::getInstance()->getOpenGLView(), nullptr);
    EXPECT_EQ(Director::getInstance()->getWinSize(), Size(1280, 720));
    auto* scene = Scene::create();
    Director::getInstance()->runWithScene(scene);
    support::stepFrames(1);
    EXPECT_EQ(Director::getInstance()->getRunningScene(), scene);
    Director::getInstance()->reset();
}
