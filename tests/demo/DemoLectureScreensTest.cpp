// The first topic page, the game and the lecture video page of every demo catalogue lecture (a picture book: its
// first page, menu and guide); a contact sheet per course type.
#include <map>

#include "games/GamesFixture.h"
#include "lesson/VideoLayer.h"
#include "scenes/TouTopicScene.h"
#include "support/ContactSheet.h"
#include "topics/TopicLayer.h"
#include "topics/TopicManage.h"
#include "topics/TopicTypeLayer.h"

// The visible pictures below root.
static int visiblePictures(engine::Node* root) {
    int count = 0;
    for (engine::Node* child : root->getChildren()) {
        auto* picture = dynamic_cast<engine::ui::ImageView*>(child);
        count += child->isVisible() ? (picture && !picture->getTextureFile().empty()) + visiblePictures(child) : 0;
    }
    return count;
}

using DemoLectureScreens = games_test::GameTest;

TEST_F(DemoLectureScreens, FirstPageGameAndLectureVideoOfEveryLectureShowContent) {
    makeClass(6);
    std::map<int, support::ContactSheet> sheets;
    TopicManage* topics = TopicManage::getInstance();
    for (const support::CatalogueLecture& lecture : support::demoCatalogue()) {
        const std::string& identify = lecture.package;
        SCOPED_TRACE(identify);
        support::useDemoLecture(identify);
        support::ContactSheet& sheet = sheets[lecture.type];
        if (lecture.type == 2) {
            support::runScene(TouTopicScene::create());
            support::stepFrames(2);
            EXPECT_GT(visiblePictures(engine::Director::getInstance()->getRunningScene()), 0);
            sheet.add(support::saveScreenshot("demo_" + identify + "_page"));
            // Its settings menu, then its teaching guide.
            support::click("Btn_Set");
            support::stepFrames(30);
            sheet.add(support::saveScreenshot("demo_" + identify + "_menu"));
            support::click("Btn_Teaching");
            support::stepFrames(30);
            sheet.add(support::saveScreenshot("demo_" + identify + "_guide"));
            continue;
        }
        topics->contentKind = 1;
        topics->currentTopic = topics->stepCount = 0;
        topics->loadTopics();
        ASSERT_GT(topics->getTopicCount(), 0);
        TopicLayer* host = support::openTopicHost();
        host->selectTopic(0);
        support::stepFrames(2);
        auto* page = dynamic_cast<TopicTypeLayer*>(host->getTypeLayer());
        ASSERT_TRUE(page && page->getRootNode());
        EXPECT_GT(visiblePictures(page->getRootNode()), 0);
        sheet.add(support::saveScreenshot("demo_" + identify + "_page"));

        support::runScene(BaseScene::create());
        GameLayer* frame = startGame();
        support::stepFrames(20);
        EXPECT_EQ(tipText(), "") << "the game does not start";
        sheet.add(support::saveScreenshot("demo_" + identify + "_game"));
        frame->removeFromParentAndCleanup(true);

        // The lecture video's page shows its still, filling the window.
        support::runScene(BaseScene::create());
        topics->contentKind = 7;
        VideoLayer* video = VideoLayer::create();
        engine::Director::getInstance()->getRunningScene()->addChild(video);
        support::stepFrames(2);
        auto* still = dynamic_cast<engine::ui::ImageView*>(support::findByName("PerImg"));
        ASSERT_NE(still, nullptr);
        EXPECT_EQ(still->getContentSize().width, 1280.f) << still->getTextureFile();
        sheet.add(support::saveScreenshot("demo_" + identify + "_video"));
    }
    for (auto& [type, sheet] : sheets) {
        sheet.save("demo_sheet_type" + std::to_string(type));
    }
    EXPECT_EQ(sheets.size(), 4u) << "classroom lessons, picture books, stories and the game club";
    topics->topics.clear();
    topics->contentKind = 1;
}
