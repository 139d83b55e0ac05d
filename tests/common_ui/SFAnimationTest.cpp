#include <gtest/gtest.h>

#include "AnimationData.h"
#include "CommonUiFixture.h"
#include "base/Director.h"
#include "common/BaseScene.h"
#include "common/SFAnimation.h"
#include "render/TextureCache.h"
#include "scene/Sprite.h"
#include "ui/LoadingBar.h"

using namespace common_ui;
using engine::Node;

namespace {

SFAnimation* player() {
    return SFAnimation::getInstance();
}

engine::TextureCache* textures() {
    return engine::Director::getInstance()->getTextureCache();
}

int countMasks(Node* parent) {
    int masks = 0;
    for (Node* child : parent->getChildren()) {
        masks += child->getChildByName("Panel1") ? 1 : 0;
    }
    return masks;
}

// Steps of 0.05 s until the flag is set: the number taken, or -1.
int stepsUntil(const bool& flag, int maxSteps = 100) {
    for (int i = 0; i < maxSteps; ++i) {
        if (flag) {
            return i;
        }
        support::stepFrames(1, 0.05f);
    }
    return flag ? maxSteps : -1;
}

} // namespace

// "Ten" has 10 pictures and Begin 3, "Gap" 5 with number 3 missing, "Short" 5 described and 2 present, "Empty" none.
class AnimationTest : public CommonUiTest {
protected:
    void SetUp() override {
        CommonUiTest::SetUp();
        writeScratch("Animations.plist",
                     plistDict(animationEntry("Ten", 10, 3, 0.1f, 1) + animationEntry("Gap", 5, 1, 0.1f, 1) +
                               animationEntry("Short", 5, 1, 0.1f, 1) + animationEntry("Empty", 4, 1, 0.1f, 1) +
                               animationEntry("Quick", 2, 1, 0.1f, 1) + animationEntry("Nested", 2, 1, 0.1f, 1)));
        makeFrames(scratch.path(), "Ten", "Ten", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
        makeFrames(scratch.path(), "Gap", "Gap", {1, 2, 4, 5, 6, 7});
        makeFrames(scratch.path(), "Short", "Short", {1, 2});
        makeFrames(scratch.path(), "Quick", "Quick", {1, 2});
        makeFrames(scratch.path(), "Deep/Nested", "Nested", {1, 2});
        support::runScene(BaseScene::create());
        scene = engine::Director::getInstance()->getRunningScene();
        posNode = Node::create();
        scene->addChild(posNode);
    }

    Node* scene = nullptr;
    Node* posNode = nullptr;
};

class AnimationPlay : public AnimationTest {};

TEST_F(AnimationPlay, FrameSearchSkipsMissingNumbersAndEnds) {
    EXPECT_EQ(player()->getFrameFiles("Gap"), (std::vector<std::string>{"Gap/Gap1.png", "Gap/Gap2.png", "Gap/Gap4.png",
                                                                        "Gap/Gap5.png", "Gap/Gap6.png"}));
    EXPECT_EQ(player()->getFrameFiles("Short").size(), 2u);
    EXPECT_TRUE(player()->getFrameFiles("Empty").empty());
    EXPECT_TRUE(player()->getFrameFiles("Undescribed").empty());
    EXPECT_EQ(player()->getFrameFiles("Deep/Nested").front(), "Deep/Nested/Nested1.png");
}

TEST_F(AnimationPlay, RangesArePositionsInTheFrameListClampedToIt) {
    struct Case {
        int first, last, firstPosition, frames;
    };
    // Begin 3 of 10; an explicit range needs both ends; ends past the list are clamped.
    for (const Case& c : {Case{0, 0, 3, 8}, Case{2, 4, 2, 3}, Case{2, 0, 3, 8}, Case{8, 40, 8, 3}}) {
        bool ended = false;
        engine::Sprite* sprite =
            player()->playAnimation(posNode, "Ten", true, [&] { ended = true; }, false, c.first, c.last, {0, 0});
        ASSERT_NE(sprite, nullptr);
        EXPECT_EQ(sprite->getTexture(), textures()->addImage("Ten/Ten" + std::to_string(c.firstPosition) + ".png"));
        const int steps = stepsUntil(ended); // 0.1 s a frame
        EXPECT_GE(steps, c.frames * 2 - 1) << c.first << "-" << c.last;
        EXPECT_LE(steps, c.frames * 2 + 1) << c.first << "-" << c.last;
    }
}

TEST_F(AnimationPlay, StillImageStaysUnlessClearedAtEnd) {
    const ssize_t before = scene->getChildrenCount();
    bool ended = false;
    player()->playAnimation(posNode, "Gap", false, [&] { ended = true; }, false, 0, 0, {200, 100});
    ASSERT_GE(stepsUntil(ended), 0);
    auto* still = dynamic_cast<engine::Sprite*>(scene->getChildByTag(10086));
    ASSERT_NE(still, nullptr);
    EXPECT_EQ(still->getPosition(), engine::Vec2(200, 100));
    EXPECT_EQ(still->getTexture(), textures()->addImage("Gap/Gap5.png"));
    still->removeFromParent();

    ended = false;
    player()->playAnimation(posNode, "Gap", true, [&] { ended = true; }, true, 0, 0, {200, 100});
    ASSERT_GE(stepsUntil(ended), 0);
    EXPECT_EQ(scene->getChildrenCount(), before);
}

TEST_F(AnimationPlay, NothingToPlayEndsOnTheNextFrameAndLeavesNothing) {
    const ssize_t before = scene->getChildrenCount();
    Node* loose = Node::create(); // in no tree
    loose->retain();
    for (auto [node, name] :
         {std::pair{posNode, "Undescribed"}, std::pair{posNode, "Empty"}, std::pair{loose, "Ten"}}) {
        int ends = 0;
        EXPECT_EQ(player()->playAnimation(node, name, false, [&] { ++ends; }, true, 0, 0, {0, 0}), nullptr);
        EXPECT_EQ(ends, 0) << name;
        support::stepFrames(1);
        EXPECT_EQ(ends, 1) << name;
        support::stepFrames(3);
        EXPECT_EQ(ends, 1) << name;
        EXPECT_EQ(scene->getChildrenCount(), before) << name;
    }
    loose->release();
}

TEST_F(AnimationPlay, EachMaskGoesWithItsOwnAnimation) {
    bool quickEnded = false, tenEnded = false;
    player()->playAnimation(posNode, "Quick", true, [&] { quickEnded = true; }, true, 0, 0, {0, 0});
    engine::Sprite* ten = player()->playAnimation(posNode, "Ten", true, [&] { tenEnded = true; }, true, 0, 0, {0, 0});
    EXPECT_EQ(ten->getLocalZOrder(), 105);
    EXPECT_EQ(countMasks(scene), 2);
    ASSERT_GE(stepsUntil(quickEnded), 0);
    EXPECT_EQ(countMasks(scene), 1);
    // Removed before its end: the mask goes and the end never comes.
    ten->removeFromParent();
    EXPECT_EQ(countMasks(scene), 0);
    EXPECT_EQ(stepsUntil(tenEnded, 40), -1);
}

TEST_F(AnimationPlay, OverlappingPlaysOfOneNameKeepTheirOwnCallbacks) {
    int firstEnds = 0, secondEnds = 0;
    player()->playAnimation(posNode, "Ten", true, [&] { ++firstEnds; }, false, 0, 0, {0, 0});
    support::stepFrames(4, 0.05f);
    player()->playAnimation(posNode, "Ten", true, [&] { ++secondEnds; }, false, 0, 0, {0, 0});
    support::stepFrames(14, 0.05f);
    EXPECT_EQ(firstEnds, 1);
    EXPECT_EQ(secondEnds, 0);
    support::stepFrames(6, 0.05f);
    EXPECT_EQ(firstEnds, 1);
    EXPECT_EQ(secondEnds, 1);
    // The callback stored for the name is the later one.
    player()->getAnimationCallback("Ten")();
    EXPECT_EQ(secondEnds, 2);
}

class AnimationPreload : public AnimationTest {
protected:
    void SetUp() override {
        AnimationTest::SetUp();
        writeScratch("Perload.plist",
                     plistDict(plistStrings("Pair", {"Quick", "Deep/Nested"}) + plistStrings("One", {"Gap"}) +
                               plistStrings("Subject", {"Quick"}) + plistStrings("None", {}) +
                               plistStrings("Ghosts", {"", "Undescribed", "Empty"})));
    }

    static engine::ui::LoadingBar* loadingBar() {
        return dynamic_cast<engine::ui::LoadingBar*>(support::findByName("LoadingBar"));
    }
};

TEST_F(AnimationPreload, CompletesOnceWhenEveryPictureHasArrived) {
    textures()->addImage("Quick/Quick1.png");
    textures()->addImage("Quick/Quick2.png");
    int done = 0;
    player()->preloadAnimations("Pair", [&] { ++done; });
    // The cached half is reported inside the call.
    ASSERT_NE(loadingBar(), nullptr);
    EXPECT_FLOAT_EQ(loadingBar()->getPercent(), 50.f);
    EXPECT_EQ(done, 0);
    ASSERT_TRUE(support::waitFor([&] { return done > 0; }));
    EXPECT_EQ(loadingBar(), nullptr);
    EXPECT_NE(textures()->getTextureForKey("Deep/Nested/Nested2.png"), nullptr);
    support::stepFrames(20);
    EXPECT_EQ(done, 1);

    // Everything cached now: complete inside the call.
    int again = 0;
    player()->preloadAnimations("Pair", [&] { ++again; });
    EXPECT_EQ(again, 1);
    EXPECT_EQ(loadingBar(), nullptr);
}

TEST_F(AnimationPreload, NothingToLoadCompletesAtOnce) {
    for (const char* kind : {"None", "Ghosts", "NoSuchKind"}) {
        int done = 0;
        player()->preloadAnimations(kind, [&] { ++done; });
        EXPECT_EQ(done, 1) << kind;
        EXPECT_EQ(loadingBar(), nullptr) << kind;
    }
}

TEST_F(AnimationPreload, ReportsOfAnEarlierPreloadAreIgnored) {
    int first = 0, second = 0;
    player()->preloadAnimations("Pair", [&] { ++first; });
    player()->preloadAnimations("One", [&] { ++second; });
    ASSERT_TRUE(support::waitFor([&] { return second > 0; }));
    // The first preload's pictures arrive too (loaded on worker threads, in real time).
    ASSERT_TRUE(support::waitFor([] { return textures()->getTextureForKey("Deep/Nested/Nested2.png") != nullptr; }));
    support::stepFrames(2);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 1);
    EXPECT_EQ(loadingBar(), nullptr);
}

TEST_F(AnimationPreload, TopicDataAddsTheLecturesAnimations) {
    writeScratch("Topic.plist",
                 plistDict("<key>Subject</key><dict>"
                           "<key>2</key><array><dict><key>Animations</key><dict>"
                           "<key>Celebrate</key><string>C2</string><key>Right</key><string></string>"
                           "<key>Contents</key><array><string>TopicAni3</string></array></dict></dict></array>"
                           "<key>1</key><array><dict><key>Animations</key><dict>"
                           "<key>Celebrate</key><string>C1</string><key>Right</key><string>R1</string>"
                           "<key>Wrong</key><string>W1</string>"
                           "<key>Contents</key><array><string>TopicAni1</string></array></dict></dict><dict/></array>"
                           "</dict><key>Game</key><dict><key>Animations</key><dict>"
                           "<key>Celebrate</key><string></string><key>Effect</key><string>GameEffect</string>"
                           "</dict></dict>"));
    const std::string topic = scratch.file("Topic.plist");
    EXPECT_EQ(
        player()->getPreloadList("Subject", topic, "/p/TopicAni/"),
        (std::vector<std::string>{"Quick", "C1", "R1", "W1", "/p/TopicAni/TopicAni1", "C2", "/p/TopicAni/TopicAni3"}));
    EXPECT_EQ(player()->getPreloadList("Game", topic, ""), std::vector<std::string>{"GameEffect"});
}

// The pack's own data.
class ResultFeedback : public CommonUiTest {
protected:
    void SetUp() override {
        CommonUiTest::SetUp();
        support::runScene(BaseScene::create());
        scene = engine::Director::getInstance()->getRunningScene();
    }

    Node* scene = nullptr;
};

TEST_F(ResultFeedback, RightCommonEndsOnceAndClearsTheBusyFlag) {
    const ssize_t before = scene->getChildrenCount();
    int done = 0, dropped = 0;
    player()->playResultAnimation(true, [&] { ++done; });
    EXPECT_TRUE(player()->isResultBusy());
    EXPECT_EQ(playedSounds, std::vector<std::string>{"RightCommon.mp3"});
    EXPECT_EQ(countMasks(scene), 1);
    player()->playResultAnimation(false, [&] { ++dropped; });
    EXPECT_EQ(playedSounds.size(), 1u);

    ASSERT_TRUE(support::stepUntil([&] { return done > 0; }, 120));
    EXPECT_FALSE(player()->isResultBusy());
    support::stepFrames(60);
    EXPECT_EQ(done, 1);
    EXPECT_EQ(dropped, 0);
    EXPECT_EQ(scene->getChildrenCount(), before);
}

TEST_F(ResultFeedback, SceneChangeMidwayClearsTheBusyFlag) {
    int done = 0;
    player()->playResultAnimation(false, [&] { ++done; });
    EXPECT_EQ(playedSounds, std::vector<std::string>{"WrongCommon.mp3"});
    support::stepFrames(3);
    support::runScene(BaseScene::create());
    EXPECT_FALSE(player()->isResultBusy());
    support::stepFrames(60);
    EXPECT_EQ(done, 0);
    player()->playResultAnimation(true, [&] { ++done; });
    ASSERT_TRUE(support::stepUntil([&] { return done > 0; }, 120));
}

TEST_F(ResultFeedback, UndescribedOrSceneLessFeedbackStillEnds) {
    writeScratch("Animations.plist", plistDict(""));
    int done = 0;
    player()->playResultAnimation(true, [&] { ++done; });
    support::stepFrames(1);
    EXPECT_EQ(done, 1);
    EXPECT_FALSE(player()->isResultBusy());

    support::startHeadless();
    ASSERT_EQ(engine::Director::getInstance()->getRunningScene(), nullptr);
    player()->playResultAnimation(false, [&] { ++done; });
    support::stepFrames(1);
    EXPECT_EQ(done, 2);
    EXPECT_FALSE(player()->isResultBusy());
}
