// The examination page: the arrows at the ends, the answer revealed and reset in place, the panel by type, the
// reading, and the lists that hold no item to show.
#include <algorithm>

#include "common/AudioManager.h"
#include "common/FileManager.h"
#include "tools/ExaminationLayer.h"
#include "tools/ToolsFixture.h"
#include "topics/TopicManage.h"

using tools_test::ToolsTest;

namespace {

class ExaminationPage : public ToolsTest {
protected:
    void SetUp() override {
        ToolsTest::SetUp();
        engine::AudioEngine::setPlayObserver([this](const std::string& path, int) { played.push_back(path); });
    }
    void TearDown() override {
        engine::AudioEngine::setPlayObserver(nullptr);
        TopicManage::getInstance()->examItemIndex = 0;
        ToolsTest::TearDown();
    }
    ExaminationLayer* openAt(int index) {
        TopicManage::getInstance()->examItemIndex = index;
        ExaminationLayer* page = ExaminationLayer::create();
        engine::Director::getInstance()->getRunningScene()->addChild(page);
        support::stepFrames(1);
        return page;
    }
    std::vector<std::string> played;
};

} // namespace

TEST_F(ExaminationPage, ArrowsShowWhereThereIsAnotherItem) {
    struct Case {
        int items, index;
        bool left, right;
        const char* title;
        const char* panel;
    };
    const std::vector<Item> all = {{"One", 1, ""}, {"Two", 2, ""}, {"Three", 1, ""}};
    for (const Case& c : {Case{3, 0, false, true, "One", "ExPanel1"}, Case{3, 1, true, true, "Two", "ExPanel2"},
                          Case{3, 2, true, false, "Three", "ExPanel1"}, Case{1, 0, false, false, "One", "ExPanel1"}}) {
        writeAddition({all.begin(), all.begin() + c.items});
        ExaminationLayer* page = openAt(c.index);
        EXPECT_EQ(shown(page, "Btn_Left"), c.left) << c.index;
        EXPECT_EQ(shown(page, "Btn_Right"), c.right) << c.index;
        EXPECT_EQ(textOf(page, "Text_Title"), c.title);
        EXPECT_TRUE(shown(page, c.panel)) << c.index;
        EXPECT_FALSE(shown(page, std::string(c.panel) == "ExPanel1" ? "ExPanel2" : "ExPanel1")) << c.index;
        page->removeFromParent();
    }
}

TEST_F(ExaminationPage, TurnsRevealsAndResetsInPlace) {
    writeAddition({{"One", 1, "one.mp3"}, {"Two", 2, "two.mp3"}});
    ExaminationLayer* page = openAt(0);
    page->retain();
    EXPECT_EQ(find(page, "CImage")->getContentSize(), engine::Size(200, 120));
    press(page, "CImage");
    EXPECT_FALSE(shown(page, "CImage"));
    EXPECT_TRUE(shown(page, "AImage"));
    support::saveScreenshot("tools_exam_answer");
    press(page, "Btn_Reset");
    EXPECT_TRUE(shown(page, "CImage"));
    EXPECT_FALSE(shown(page, "AImage"));

    // The page the lesson player holds is the page that shows the next item.
    press(page, "Btn_Right");
    EXPECT_EQ(TopicManage::getInstance()->examItemIndex, 1);
    EXPECT_NE(page->getParent(), nullptr);
    EXPECT_EQ(textOf(page, "Text_Title"), "Two");
    EXPECT_TRUE(shown(page, "Btn_Left"));
    EXPECT_FALSE(shown(page, "Btn_Right"));

    const std::string reading = FileManager::getInstance()->getMp3Path() + "two.mp3";
    played.clear();
    press(page, "Btn_Voice");
    press(page, "Btn_Voice");
    EXPECT_EQ(std::count(played.begin(), played.end(), reading), 2);
    page->release();
}

TEST_F(ExaminationPage, NoItemToShowHidesEverything) {
    struct Case {
        const char* what;
        std::vector<Item> items;
        std::string extra;
        int index;
    };
    const Case cases[] = {
        {"empty list", {}, "", 0},
        {"index past the end", {{"One", 1, ""}}, "", 3},
        {"negative index", {{"One", 1, ""}}, "", -1},
        {"entry not a map", {}, "<string>oops</string>", 0},
    };
    for (const Case& c : cases) {
        writeAddition(c.items, c.extra);
        ExaminationLayer* page = openAt(c.index);
        for (const char* name : {"Btn_Left", "Btn_Right", "CImage", "AImage", "Btn_Voice", "ExPanel1"}) {
            EXPECT_FALSE(shown(page, name)) << c.what << ": " << name;
        }
        EXPECT_EQ(textOf(page, "Text_Title"), "") << c.what;
        page->removeFromParent();
    }
    // No Topic.plist at all.
    std::filesystem::remove(FileManager::getInstance()->getTopicPlistPath());
    ExaminationLayer* page = openAt(0);
    EXPECT_FALSE(shown(page, "CImage"));
}
