// Every layout code of the demo topic lectures, opened in the lesson player: the type layer is the one the
// LayoutModel table names, and one contact sheet per type shows all its pages.
#include <gtest/gtest.h>

#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <typeinfo>

#include "TopicFixture.h"
#include "support/ContactSheet.h"
#include "topics/TopicTypeTable.h"
#include "ui/ImageView.h"

using namespace topics_test;

namespace {

// The class name of a type layer, "" for none.
std::string typeOf(Node* layer) {
    if (!layer) {
        return "";
    }
    char* name = abi::__cxa_demangle(typeid(*layer).name(), nullptr, nullptr, nullptr);
    const std::string type = name ? name : "";
    std::free(name);
    return type;
}

// Where a page's pictures may lie on the 1280x720 lesson player: right of the function buttons, above the
// navigation bar, below the stem.
const engine::Rect kContentArea(100.f, 85.f, 1180.f, 485.f);

// The names of node and the visible pictures below it whose box on screen leaves the content area, and their files.
void collectOutside(Node* node, std::vector<std::string>& outside, std::set<std::string>& files) {
    if (!node || !node->isVisible()) {
        return;
    }
    auto* picture = dynamic_cast<engine::ui::ImageView*>(node);
    if (picture && !picture->getTextureFile().empty()) {
        files.insert(picture->getTextureFile());
        const engine::Vec2 low = picture->convertToWorldSpace(engine::Vec2::ZERO);
        const engine::Vec2 high = picture->convertToWorldSpace(
            engine::Vec2(picture->getContentSize().width, picture->getContentSize().height));
        const float slack = 1.f;
        if (std::min(low.x, high.x) < kContentArea.getMinX() - slack ||
            std::max(low.x, high.x) > kContentArea.getMaxX() + slack ||
            std::min(low.y, high.y) < kContentArea.getMinY() - slack ||
            std::max(low.y, high.y) > kContentArea.getMaxY() + slack) {
            outside.push_back(picture->getName());
        }
    }
    for (Node* child : node->getChildren()) {
        collectOutside(child, outside, files);
    }
}

// Every code of the LayoutModel table.
std::set<int> tableCodes() {
    std::set<int> codes;
    for (int code = 100; code < 400000; ++code) {
        if (!TopicTypeTable::typeName(code).empty()) {
            codes.insert(code);
        }
    }
    return codes;
}

class AllTopicCodes : public TopicTest {};

} // namespace

TEST_F(AllTopicCodes, EveryDemoCodeOpensTheTypeItsTableNames) {
    const std::vector<std::string> lectures = support::demoLectures();
    const int navs[] = {NavTopics1, NavTopics2, NavTopics3};
    std::map<std::string, support::ContactSheet> sheets;
    std::set<int> opened;
    for (const std::string& identify : lectures) {
        LogicTopicScene* lesson = openLesson(identify);
        for (int nav : navs) {
            lesson->selectNav(nav);
            support::stepFrames(1);
            auto* host = dynamic_cast<TopicLayer*>(lesson->getContentLayer());
            ASSERT_NE(host, nullptr) << identify << " nav " << nav;
            for (int i = 0; i < manage()->getTopicCount(); ++i) {
                host->selectTopic(i);
                support::stepFrames(1);
                const int code = manage()->getLayoutModel();
                const std::string type = TopicTypeTable::typeName(code);
                ASSERT_FALSE(type.empty()) << code;
                const std::string made = typeOf(host->getTypeLayer());
                EXPECT_EQ(made, type) << code;
                auto* page = dynamic_cast<TopicTypeLayer*>(host->getTypeLayer());
                ASSERT_NE(page, nullptr) << code;
                // The host's result picture too, which shows no picture of the page again.
                std::vector<std::string> outside;
                std::set<std::string> files, result;
                collectOutside(page->getRootNode(), outside, files);
                collectOutside(UITools::seekChildByName(host, "Img_IP"), outside, result);
                EXPECT_TRUE(outside.empty())
                    << code << ": " << (outside.empty() ? "" : outside.front()) << " is cut off or covers the bars";
                EXPECT_TRUE(std::none_of(result.begin(), result.end(), [&files](auto& f) { return files.count(f); }))
                    << code << ": the result picture repeats a picture of the page";
                sheets[type].add(support::saveScreenshot("topic_" + std::to_string(code)));
                opened.insert(code);
            }
        }
    }
    EXPECT_EQ(opened, tableCodes()) << "every code of the table, in the demo lectures";
    EXPECT_EQ(opened.size(), 192u);
    for (auto& [type, sheet] : sheets) {
        sheet.save("topics_sheet_" + type);
    }
    EXPECT_EQ(sheets.size(), 14u)
        << "single, character, tap-to-reveal, drag-picture, demonstration, tap-to-play, "
           "colour-fill, drag-sort, number, line, jigsaw, direction, pinyin and special pages";
}
