#include <gtest/gtest.h>

#include "AnimationData.h"
#include "CommonUiFixture.h"
#include "base/Director.h"
#include "common/BaseScene.h"
#include "common/SFAnimation.h"
#include "common/UITools.h"
#include "render/TextureCache.h"
#include "scene/Sprite.h"
#include "ui/LoadingBar.h"

using namespace common_ui;
using engine::Node;

namespace {

SFAnimation* player() {
    return SFAnimation::getInstance();
}

int countMasks(Node* parent) {
    int masks = 0;
    for (Node* child : parent->getChildren()) {
        if (child->getChildByName("Panel1")) {
            ++masks;
        }
    }
    return masks;
}

} // namespace

// Scratch animations: "Ten" (10 pictures, Begin 3), "Gap" (5 with number 3 missing), "Short" (5 described,
// 2 present), "Empty" (described, no pictures), "Quick" (2 pictures), "Deep/Folder/Nested".
class AnimationTest : public CommonUiTest {
protected:
    void SetUp() override {
        CommonUiTest::SetUp();
        writeScratch("Animations.plist",
                     plistDict(animationEntry("Ten", 10, 3, 0.1f, 1) + animationEntry("Gap", 5, 1, 0.1f, 1) +
                               animationEntry("Short", 5, 1, 0.1f, 1) + animationEntry("Empty", 4, 1, 0.1f, 1) +
                               animationEntry("Quick", 2, 1, 0.1f, 1) + animationEntry("Nested", 2, 1, 0.1f, 1) +
                               animationEntry("RightCommon", 6, 1, 0.1f, 1)));
        makeFrames(scratch.path(), "Ten", "Ten", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
        makeFrames(scratch.path(), "Gap", "Gap", {1, 2, 4, 5, 6, 7});
        makeFrames(scratch.path(), "Short", "Short", {1, 2});
        makeFrames(scratch.path(), "Quick", "Quick", {1, 2});
        makeFrames(scratch.path(), "Deep/Folder/Nested", "Nested", {1, 2});
    }

    void startScene() {
        support::runScene(BaseScene::create());
        scene = engine::Director::getInstance()->getRunningScene();
        posNode = Node::create();
        posNode->setPosition(400, 300);
        scene->addChild(posNode);
    }

    // Steps of 0.05 s until the flag is set; the number of steps taken, or -1.
    static int stepsUntil(const bool& flag, int maxSteps = 100) {
        for (int i = 0; i < maxSteps; ++i) {
            if (flag) {
                return i;
            }
            support::stepFrames(1, 0.05f);
        }
        return flag ? maxSteps : -1;
    }

    Node* scene = nullptr;
    Node* posNode = nullptr;
};

class AnimationFrames : public AnimationTest {};

TEST_F(AnimationFrames, MissingNumbersAreSkippedUntilFramesAreFound) {
    EXPECT_EQ(player()->getFrameFiles("Gap"), (std::vector<std::string>{"Gap/Gap1.png", "Gap/Gap2.png", "Gap/Gap4.png",
                                                                        "Gap/Gap5.png", "Gap/Gap6.png"}));
}

TEST_F(AnimationFrames, SearchEndsWhenPicturesAreMissing) {
    EXPECT_EQ(player()->getFrameFiles("Short"), (std::vector<std::string>{"Short/Short1.png", "Short/Short2.png"}));
    EXPECT_TRUE(player()->getFrameFiles("Empty").empty());
    EXPECT_TRUE(player()->getFrameFiles("Undescribed").empty());
}

TEST_F(AnimationFrames, FolderNamesUseTheirFileNameAsBase) {
    EXPECT_FALSE(player()->getAnimationInfo("Deep/Folder/Nested").empty());
    EXPECT_EQ(player()->getFrameFiles("Deep/Folder/Nested").front(), "Deep/Folder/Nested/Nested1.png");
}

class AnimationPlay : public AnimationTest {};

TEST_F(AnimationPlay, RangesArePositionsInTheFrameListClampedToIt) {
    startScene();
    struct Case {
        int first, last;
        int firstPosition;
        int frames;
    };
    // Begin 3 of 10; an explicit range needs both ends; ends past the list are clamped.
    for (const Case& c : {Case{0, 0, 3, 8}, Case{2, 4, 2, 3}, Case{2, 0, 3, 8}, Case{8, 40, 8, 3}, Case{0, 12, 3, 8}}) {
        bool ended = false;
        engine::Sprite* sprite =
            player()->playAnimation(posNode, "Ten", true, [&] { ended = true; }, false, c.first, c.last, {400, 300});
        ASSERT_NE(sprite, nullptr);
        const std::string firstFile = "Ten/Ten" + std::to_string(c.firstPosition) + ".png";
        EXPECT_EQ(sprite->getTexture(), engine::Director::getInstance()->getTextureCache()->addImage(firstFile))
            << c.first << "-" << c.last;
        // 0.1 s a frame, in steps of 0.05 s.
        const int steps = stepsUntil(ended);
        EXPECT_GE(steps, c.frames * 2 - 1) << c.first << "-" << c.last;
        EXPECT_LE(steps, c.frames * 2 + 1) << c.first << "-" << c.last;
    }
}

TEST_F(AnimationPlay, StillImageStaysUnlessClearedAtEnd) {
    startScene();
    const ssize_t before = scene->getChildrenCount();
    bool ended = false;
    player()->playAnimation(posNode, "Gap", false, [&] { ended = true; }, false, 0, 0, {200, 100});
    ASSERT_GE(stepsUntil(ended), 0);
    auto* still = dynamic_cast<engine::Sprite*>(scene->getChildByTag(10086));
    ASSERT_NE(still, nullptr);
    EXPECT_EQ(still->getPosition(), engine::Vec2(200, 100));
    EXPECT_EQ(still->getTexture(), engine::Director::getInstance()->getTextureCache()->addImage("Gap/Gap5.png"));
    EXPECT_EQ(scene->getChildrenCount(), before + 1);

    still->removeFromParent();
    ended = false;
    player()->playAnimation(posNode, "Gap", true, [&] { ended = true; }, true, 0, 0, {200, 100});
    ASSERT_GE(stepsUntil(ended), 0);
    EXPECT_EQ(scene->getChildrenCount(), before);
}

TEST_F(AnimationPlay, NothingToPlayEndsOnTheNextFrameAndLeavesNothing) {
    startScene();
    const ssize_t before = scene->getChildrenCount();
    for (const char* name : {"Undescribed", "Empty"}) {
        int ends = 0;
        EXPECT_EQ(player()->playAnimation(posNode, name, false, [&] { ++ends; }, true, 0, 0, {0, 0}), nullptr);
        EXPECT_EQ(ends, 0) << name;
        support::stepFrames(1);
        EXPECT_EQ(ends, 1) << name;
        support::stepFrames(5);
        EXPECT_EQ(ends, 1) << name;
        EXPECT_EQ(scene->getChildrenCount(), before) << name;
        EXPECT_EQ(scene->getChildByTag(10086), nullptr) << name;
    }
}

TEST_F(AnimationPlay, WithoutAParentNodeTheEndStillComes) {
    int ends = 0;
    Node* loose = Node::create();
    EXPECT_EQ(player()->playAnimation(loose, "Ten", true, [&] { ++ends; }, true, 0, 0, {0, 0}), nullptr);
    support::stepFrames(2);
    EXPECT_EQ(ends, 1);
}

TEST_F(AnimationPlay, EachMaskGoesWithItsOwnAnimation) {
    startScene();
    bool quickEnded = false, tenEnded = false;
    player()->playAnimation(posNode, "Quick", true, [&] { quickEnded = true; }, true, 0, 0, {0, 0});
    player()->playAnimation(posNode, "Ten", true, [&] { tenEnded = true; }, true, 0, 0, {0, 0});
    EXPECT_EQ(countMasks(scene), 2);
    ASSERT_GE(stepsUntil(quickEnded), 0);
    EXPECT_FALSE(tenEnded);
    EXPECT_EQ(countMasks(scene), 1);
    ASSERT_GE(stepsUntil(tenEnded), 0);
    EXPECT_EQ(countMasks(scene), 0);
}

TEST_F(AnimationPlay, RemovingTheSpriteTakesItsMaskAndDropsTheEnd) {
    startScene();
    bool ended = false;
    engine::Sprite* sprite = player()->playAnimation(posNode, "Ten", true, [&] { ended = true; }, true, 0, 0, {0, 0});
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->getLocalZOrder(), 105);
    EXPECT_EQ(countMasks(scene), 1);
    support::stepFrames(3);
    sprite->removeFromParent();
    EXPECT_EQ(countMasks(scene), 0);
    EXPECT_EQ(stepsUntil(ended, 40), -1);
}

TEST_F(AnimationPlay, OverlappingPlaysOfOneNameKeepTheirOwnCallbacks) {
    startScene();
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
    // The stored callback of the name is the later one.
    SFAnimation::Callback stored = player()->getAnimationCallback("Ten");
    ASSERT_TRUE(stored);
    stored();
    EXPECT_EQ(secondEnds, 2);
}

// ---- Preload

class AnimationPreload : public AnimationTest {
protected:
    void SetUp() override {
        AnimationTest::SetUp();
        writeScratch("Perload.plist",
                     plistDict(plistStrings("Pair", {"Quick", "Deep/Folder/Nested"}) + plistStrings("One", {"Gap"}) +
                               plistStrings("Subject", {"Quick"}) + plistStrings("None", {}) +
                               plistStrings("Ghosts", {"", "Undescribed", "Empty"})));
        startScene();
    }

    bool loadingShown() const { return support::findByName("LoadingBar") != nullptr; }
};

TEST_F(AnimationPreload, CompletesOnceWhenEveryPictureHasArrived) {
    int done = 0;
    player()->preloadAnimations("Pair", [&] { ++done; });
    EXPECT_TRUE(loadingShown());
    ASSERT_TRUE(support::stepUntil([&] { return done > 0; }, 300));
    EXPECT_FALSE(loadingShown());
    engine::TextureCache* cache = engine::Director::getInstance()->getTextureCache();
    for (const char* file : {"Quick/Quick1.png", "Quick/Quick2.png", "Deep/Folder/Nested/Nested2.png"}) {
        EXPECT_NE(cache->getTextureForKey(file), nullptr) << file;
    }
    support::stepFrames(20);
    EXPECT_EQ(done, 1);
}

TEST_F(AnimationPreload, CachedPicturesCountAtOnce) {
    engine::TextureCache* cache = engine::Director::getInstance()->getTextureCache();
    cache->addImage("Quick/Quick1.png");
    cache->addImage("Quick/Quick2.png");
    int done = 0;
    player()->preloadAnimations("Pair", [&] { ++done; });
    auto* bar = dynamic_cast<engine::ui::LoadingBar*>(support::findByName("LoadingBar"));
    ASSERT_NE(bar, nullptr);
    EXPECT_FLOAT_EQ(bar->getPercent(), 50.f);
    EXPECT_EQ(done, 0);
    ASSERT_TRUE(support::stepUntil([&] { return done > 0; }, 300));
    EXPECT_EQ(done, 1);
}

TEST_F(AnimationPreload, EverythingCachedCompletesInsideTheCall) {
    int first = 0, second = 0;
    player()->preloadAnimations("One", [&] { ++first; });
    ASSERT_TRUE(support::stepUntil([&] { return first > 0; }, 300));
    player()->preloadAnimations("One", [&] { ++second; });
    EXPECT_EQ(second, 1);
    EXPECT_FALSE(loadingShown());
    support::stepFrames(5);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 1);
}

TEST_F(AnimationPreload, NothingToLoadCompletesAtOnce) {
    for (const char* kind : {"None", "Ghosts", "NoSuchKind"}) {
        int done = 0;
        player()->preloadAnimations(kind, [&] { ++done; });
        EXPECT_EQ(done, 1) << kind;
        EXPECT_FALSE(loadingShown()) << kind;
    }
}

TEST_F(AnimationPreload, ReportsOfAnEarlierPreloadAreIgnored) {
    int first = 0, second = 0;
    player()->preloadAnimations("Pair", [&] { ++first; });
    player()->preloadAnimations("One", [&] { ++second; });
    ASSERT_TRUE(support::stepUntil([&] { return second > 0; }, 300));
    // Let the first preload's pictures arrive as well.
    support::stepFrames(60);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 1);
    EXPECT_FALSE(loadingShown());
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
                           "<key>Contents</key><array><string>TopicAni1</string><string>TopicAni2</string></array>"
                           "</dict></dict><dict/></array></dict>"
                           "<key>Game</key><dict><key>Animations</key><dict><key>Celebrate</key><string></string>"
                           "<key>Effect</key><string>GameEffect</string></dict></dict>"));
    const std::string topic = scratch.file("Topic.plist");
    EXPECT_EQ(player()->getPreloadList("Subject", topic, "/net/0101/TopicAni/"),
              (std::vector<std::string>{"Quick", "C1", "R1", "W1", "/net/0101/TopicAni/TopicAni1",
                                        "/net/0101/TopicAni/TopicAni2", "C2", "/net/0101/TopicAni/TopicAni3"}));
    EXPECT_EQ(player()->getPreloadList("Game", topic, ""), (std::vector<std::string>{"GameEffect"}));
    EXPECT_EQ(player()->getPreloadList("Pair", topic, ""), (std::vector<std::string>{"Quick", "Deep/Folder/Nested"}));
}

// ---- Right/wrong feedback, with the pack's data

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
    ASSERT_FALSE(playedSounds.empty());
    EXPECT_EQ(playedSounds.back(), "RightCommon.mp3");
    EXPECT_EQ(countMasks(scene), 1);

    player()->playResultAnimation(false, [&] { ++dropped; });
    EXPECT_EQ(playedSounds.back(), "RightCommon.mp3");

    ASSERT_TRUE(support::stepUntil([&] { return done > 0; }, 120));
    EXPECT_FALSE(player()->isResultBusy());
    support::stepFrames(60);
    EXPECT_EQ(done, 1);
    EXPECT_EQ(dropped, 0);
    EXPECT_EQ(scene->getChildrenCount(), before);
}

TEST_F(ResultFeedback, WrongPlaysItsOwnSound) {
    int done = 0;
    player()->playResultAnimation(false, [&] { ++done; });
    EXPECT_EQ(playedSounds.back(), "WrongCommon.mp3");
    ASSERT_TRUE(support::stepUntil([&] { return done > 0; }, 120));
}

TEST_F(ResultFeedback, SceneChangeMidwayClearsTheBusyFlag) {
    int done = 0;
    player()->playResultAnimation(true, [&] { ++done; });
    support::stepFrames(3);
    support::runScene(BaseScene::create());
    EXPECT_FALSE(player()->isResultBusy());
    support::stepFrames(60);
    EXPECT_EQ(done, 0);
    // The next feedback plays.
    player()->playResultAnimation(true, [&] { ++done; });
    EXPECT_TRUE(player()->isResultBusy());
    ASSERT_TRUE(support::stepUntil([&] { return done > 0; }, 120));
}

TEST_F(ResultFeedback, UndescribedFeedbackStillEnds) {
    writeScratch("Animations.plist", plistDict(""));
    int done = 0;
    player()->playResultAnimation(true, [&] { ++done; });
    support::stepFrames(1);
    EXPECT_EQ(done, 1);
    EXPECT_FALSE(player()->isResultBusy());
}

TEST_F(ResultFeedback, WithoutARunningSceneTheFeedbackStillEnds) {
    support::stopHeadless();
    support::startHeadless();
    ASSERT_EQ(engine::Director::getInstance()->getRunningScene(), nullptr);
    int done = 0;
    player()->playResultAnimation(false, [&] { ++done; });
    support::stepFrames(1);
    EXPECT_EQ(done, 1);
    EXPECT_FALSE(player()->isResultBusy());
}
