// The teaching pictures: counting up to the first gap, fitting to the window height, the arrows, and pictures
// that are missing or cannot be read.
#include <fstream>

#include "tools/TeachLayer.h"
#include "tools/ToolsFixture.h"
#include "ui/ImageView.h"

using tools_test::ToolsTest;

namespace {

class TeachPictures : public ToolsTest {
protected:
    engine::Size contentSize(TeachLayer* viewer) { return find(viewer, "Img_Content")->getContentSize(); }
};

} // namespace

TEST_F(TeachPictures, PagesUpToTheFirstGapFittedToTheWindowHeight) {
    const std::string folder = chooseLecture();
    writePicture(folder + "Teach1.png", 1600, 900, {230, 80, 60, 255});
    writePicture(folder + "Teach2.png", 360, 480, {60, 120, 230, 255});
    writePicture(folder + "Teach3.png", 720, 360, {60, 180, 90, 255});
    writePicture(folder + "Teach5.png", 100, 100, {0, 0, 0, 255});
    TeachLayer* viewer = open<TeachLayer>();
    EXPECT_EQ(viewer->getPageCount(), 3);
    EXPECT_EQ(contentSize(viewer), engine::Size(1280, 720));
    EXPECT_FALSE(shown(viewer, "Btn_Prev"));
    EXPECT_TRUE(shown(viewer, "Btn_Next"));
    EXPECT_FLOAT_EQ(find(viewer, "Btn_Next")->getPositionX(), find(viewer, "Img_Content")->getPositionX() + 640);
    const engine::Node* close = find(viewer, "Btn_Close");
    EXPECT_EQ(close->getPosition(), engine::Vec2(1280, 720));

    press(viewer, "Btn_Next");
    EXPECT_EQ(viewer->getCurrentPage(), 2);
    EXPECT_EQ(contentSize(viewer), engine::Size(540, 720));
    EXPECT_TRUE(shown(viewer, "Btn_Prev"));
    support::saveScreenshot("tools_teach_page2");
    press(viewer, "Btn_Next");
    EXPECT_FALSE(shown(viewer, "Btn_Next"));
    // A click that still arrives on the last page keeps it.
    viewer->onNext();
    EXPECT_EQ(viewer->getCurrentPage(), 3);
    EXPECT_EQ(contentSize(viewer), engine::Size(1440, 720));
    press(viewer, "Btn_Prev");
    EXPECT_EQ(viewer->getCurrentPage(), 2);
}

TEST_F(TeachPictures, NoPicturesHideBothArrowsAndAnUnreadablePictureKeepsItsSize) {
    const std::string folder = chooseLecture();
    TeachLayer* empty = open<TeachLayer>();
    EXPECT_EQ(empty->getPageCount(), 0);
    EXPECT_FALSE(shown(empty, "Btn_Prev"));
    EXPECT_FALSE(shown(empty, "Btn_Next"));
    empty->onNext();
    empty->onPrev();
    EXPECT_EQ(empty->getCurrentPage(), 1);
    empty->removeFromParent();

    std::filesystem::create_directories(folder);
    std::ofstream(folder + "Teach1.png") << "not a picture";
    TeachLayer* broken = open<TeachLayer>();
    EXPECT_EQ(broken->getPageCount(), 1);
    EXPECT_EQ(contentSize(broken), engine::Size(1280, 720));
    EXPECT_FALSE(shown(broken, "Btn_Prev"));
    EXPECT_FALSE(shown(broken, "Btn_Next"));
}
