// The first topic page and the game of every demo catalogue lecture with topics; a contact sheet per course type.
#include <map>

#include "games/GamesFixture.h"
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

TEST_F(DemoLectureScreens, FirstPageAndGameOfEveryLectureShowContent) {
    makeClass(6);
    std::map<int, support::ContactSheet> sheets;
    TopicManage* topics = TopicManage::getInstance();
    for (const support::CatalogueLecture& lecture : support::demoCatalogue()) {
        const std::string& identify = lecture.package;
        SCOPED_TRACE(identify);
        support::useDemoLecture(identify);
        topics->contentKind = 1;
        topics->currentTopic = topics->stepCount = 0;
        topics->loadTopics();
        if (topics->getTopicCount() == 0) {
            continue; // a picture book: pages, no topics
        }
        TopicLayer* host = support::openTopicHost();
        host->selectTopic(0);
        support::stepFrames(2);
        auto* page = dynamic_cast<TopicTypeLayer*>(host->getTypeLayer());
        ASSERT_TRUE(page && page->getRootNode());
        EXPECT_GT(visiblePictures(page->getRootNode()), 0);
        sheets[lecture.type].add(support::saveScreenshot("demo_" + identify + "_page"));
        if (engine::FileUtils::getInstance()
                ->getValueMapFromFile(support::packagePath() + "Topic.plist")
                .count("Game")) {
            support::runScene(BaseScene::create());
            GameLayer* frame = startGame();
            support::stepFrames(20);
            sheets[lecture.type].add(support::saveScreenshot("demo_" + identify + "_game"));
            frame->removeFromParentAndCleanup(true);
        }
    }
    for (auto& [type, sheet] : sheets) {
        sheet.save("demo_sheet_type" + std::to_string(type));
    }
    EXPECT_EQ(sheets.size(), 3u) << "classroom lessons, stories and the game club";
    topics->topics.clear();
}
