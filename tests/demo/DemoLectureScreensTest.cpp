// The first topic page and the game of every demo catalogue lecture with topics, as a teacher sees them; one
// contact sheet per course type ("demo_sheet_type<n>.png").
#include <map>

#include "games/GamesFixture.h"
#include "support/ContactSheet.h"
#include "topics/TopicLayer.h"
#include "topics/TopicManage.h"
#include "topics/TopicTypeLayer.h"

namespace fs = std::filesystem;

namespace {

// The visible pictures below root.
int visiblePictures(engine::Node* root) {
    int count = 0;
    for (engine::Node* child : root->getChildren()) {
        if (!child->isVisible()) {
            continue;
        }
        auto* picture = dynamic_cast<engine::ui::ImageView*>(child);
        count += picture && !picture->getTextureFile().empty() ? 1 : 0;
        count += visiblePictures(child);
    }
    return count;
}

class DemoLectureScreens : public games_test::GameTest {
protected:
    void TearDown() override {
        TopicManage::getInstance()->topics.clear();
        GameTest::TearDown();
    }
};

} // namespace

TEST_F(DemoLectureScreens, FirstPageAndGameOfEveryLectureShowContent) {
    makeClass(6);
    std::map<int, support::ContactSheet> sheets;
    for (const support::CatalogueLecture& lecture : support::demoCatalogue()) {
        const std::string& identify = lecture.package;
        SCOPED_TRACE(identify);
        fs::copy(support::demoPackage(identify), support::chooseLecture(identify),
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        TopicManage* topics = TopicManage::getInstance();
        topics->contentKind = 1;
        topics->currentTopic = topics->stepCount = 0;
        topics->loadTopics();
        if (topics->getTopicCount() == 0) {
            continue; // a picture book: pages, no topics
        }
        TopicLayer* host = support::openTopicHost();
        host->selectTopic(0);
        support::stepFrames(2);
        auto* stem = dynamic_cast<engine::ui::Text*>(support::findByName("Text_Content"));
        EXPECT_TRUE(stem && !stem->getString().empty());
        auto* page = dynamic_cast<TopicTypeLayer*>(host->getTypeLayer());
        ASSERT_TRUE(page && page->getRootNode());
        EXPECT_GT(visiblePictures(page->getRootNode()), 0);
        sheets[lecture.type].add(support::saveScreenshot("demo_" + identify + "_page"));
        if (!engine::FileUtils::getInstance()->getValueMapFromFile(support::packagePath() + "Topic.plist").count("Game")) {
            continue;
        }
        support::runScene(BaseScene::create());
        GameLayer* frame = openFrame();
        choosePupil(frame, 0);
        press(frame, "StartBtn");
        support::stepFrames(20);
        sheets[lecture.type].add(support::saveScreenshot("demo_" + identify + "_game"));
        frame->removeFromParentAndCleanup(true);
    }
    for (auto& [type, sheet] : sheets) {
        sheet.save("demo_sheet_type" + std::to_string(type));
    }
    EXPECT_EQ(sheets.size(), 3u) << "classroom lessons, stories and the game club";
}
