// The supplementary list and viewer: the three titles, the viewer replacing itself on the arrows and reset, and
// an index past the end.
#include "tools/AdditionLayer.h"
#include "tools/AdditionList.h"
#include "tools/ToolsFixture.h"

using tools_test::ToolsTest;

namespace {

class Supplementary : public ToolsTest {
protected:
    // The viewer now on the running scene, or null.
    static AdditionLayer* viewer() {
        for (engine::Node* child : engine::Director::getInstance()->getRunningScene()->getChildren()) {
            if (auto* layer = dynamic_cast<AdditionLayer*>(child)) {
                return layer;
            }
        }
        return nullptr;
    }
    static bool enabled(engine::Node* root, const std::string& name) {
        return dynamic_cast<engine::ui::Widget*>(find(root, name))->isEnabled();
    }
};

} // namespace

TEST_F(Supplementary, ListOffersTheFirstThreeTitles) {
    writeAddition({{"One", 1, ""}, {"Two", 2, ""}, {"Three", 1, ""}, {"Four", 2, ""}, {"Five", 1, ""}});
    AdditionList* list = open<AdditionList>(106);
    for (int k = 1; k <= 3; ++k) {
        EXPECT_TRUE(enabled(list, "TitleBtn" + std::to_string(k)));
    }
    EXPECT_EQ(textOf(find(list, "TitleBtn3"), "TitleText"), "Three");
    list->removeFromParent();

    writeAddition({{"One", 1, ""}, {"Two", 2, ""}});
    list = open<AdditionList>(106);
    EXPECT_EQ(textOf(find(list, "TitleBtn2"), "TitleText"), "Two");
    EXPECT_FALSE(enabled(list, "TitleBtn3"));
    EXPECT_EQ(textOf(find(list, "TitleBtn3"), "TitleText"), "");
}

TEST_F(Supplementary, ViewerPagesRevealsAndResets) {
    writeAddition({{"One", 1, ""}, {"Two", 2, ""}, {"Three", 1, ""}, {"Four", 2, ""}});
    AdditionList* list = open<AdditionList>(106);
    press(list, "TitleBtn2");
    AdditionLayer* shownViewer = viewer();
    ASSERT_NE(shownViewer, nullptr);
    EXPECT_EQ(AdditionLayer::currentIndex, 1);
    EXPECT_EQ(textOf(shownViewer, "Text_Title"), "Two");
    EXPECT_TRUE(shown(shownViewer, "AdPanel2"));
    EXPECT_TRUE(shown(shownViewer, "Btn_Left"));

    press(shownViewer, "CImage");
    EXPECT_TRUE(shown(shownViewer, "AImage"));
    support::saveScreenshot("tools_supplementary");
    press(shownViewer, "Btn_Reset");
    shownViewer = viewer();
    EXPECT_TRUE(shown(shownViewer, "CImage"));
    EXPECT_FALSE(shown(shownViewer, "AImage"));

    press(shownViewer, "Btn_Right");
    press(viewer(), "Btn_Right");
    EXPECT_EQ(AdditionLayer::currentIndex, 3);
    EXPECT_EQ(textOf(viewer(), "Text_Title"), "Four");
    EXPECT_FALSE(shown(viewer(), "Btn_Right"));
    press(viewer(), "Btn_Close");
    EXPECT_EQ(viewer(), nullptr);

    // An index past the end gives an empty item.
    AdditionLayer* past = AdditionLayer::create(9);
    ASSERT_NE(past, nullptr);
    EXPECT_EQ(textOf(past, "Text_Title"), "");
    EXPECT_FALSE(shown(past, "CImage"));
    EXPECT_FALSE(shown(past, "Btn_Left"));
}
