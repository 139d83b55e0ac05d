// The shared layouts of the pack: each parses strictly, finds its pictures, and holds the widgets the code seeks.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "base/Log.h"
#include "layout/CSLoader.h"
#include "scene/Node.h"
#include "support/Headless.h"
#include "support/PackResources.h"
#include "support/WidgetKind.h"
#include "ui/Button.h"
#include "ui/Layout.h"
#include "ui/Text.h"

using namespace engine;

namespace {

using Kind = support::WidgetKind;
using support::isKind;

struct Widget {
    std::string name;
    Kind kind;
};

class PackLayouts : public support::HeadlessTest {
protected:
    void SetUp() override {
        support::HeadlessTest::SetUp();
        CSLoader::setStrictMode(true);
        setLogSink([this](const std::string& line) { _log.push_back(line); });
    }

    void TearDown() override {
        setLogSink(nullptr);
        CSLoader::setStrictMode(false);
        support::HeadlessTest::TearDown();
    }

    // Loads the file and checks each widget by name and kind; the root (autoreleased), or null.
    Node* loadWith(const std::string& file, const std::vector<Widget>& widgets) {
        Node* root = CSLoader::createNode(file);
        EXPECT_NE(root, nullptr) << file;
        if (!root) {
            return nullptr;
        }
        for (const Widget& widget : widgets) {
            Node* node = support::findByName(widget.name, root);
            EXPECT_NE(node, nullptr) << file << ": no " << widget.name;
            if (node) {
                EXPECT_TRUE(isKind(node, widget.kind)) << file << ": " << widget.name << " has the wrong kind";
            }
        }
        return root;
    }

    support::PackResources pack;
    std::vector<std::string> _log;
};

ui::Widget* widget(Node* root, const std::string& name) {
    return dynamic_cast<ui::Widget*>(support::findByName(name, root));
}

} // namespace

TEST_F(PackLayouts, EveryLayoutParsesStrictlyWithItsPictures) {
    const std::filesystem::path folder = std::filesystem::path(TEST_SOURCE_DIR) / "assets" / "Layouts";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".csb") {
            continue;
        }
        ++files;
        _log.clear();
        const std::string name = entry.path().filename().string();
        EXPECT_NE(CSLoader::createNode(name), nullptr) << name;
        for (const std::string& line : _log) {
            ADD_FAILURE() << name << ": " << line;
        }
    }
    EXPECT_GE(files, 8);
}

TEST_F(PackLayouts, TipsHoldTheDialog) {
    Node* root = loadWith("Tips.csb", {{"Panel1", Kind::Panel},
                                       {"BgImage1", Kind::ImageView},
                                       {"Button1", Kind::Button},
                                       {"Button2", Kind::Button},
                                       {"Content", Kind::Text}});
    ASSERT_NE(root, nullptr);
    Node* bg = support::findByName("BgImage1", root);
    for (const char* name : {"Button1", "Button2", "Content"}) {
        EXPECT_NE(support::findByName(name, bg), nullptr) << name << " must lie below BgImage1";
    }
    EXPECT_TRUE(widget(root, "Panel1")->isTouchEnabled());
}

TEST_F(PackLayouts, PanelsHoldAHiddenSwallowingMask) {
    Node* root = loadWith("Panels.csb", {{"Panel1", Kind::Panel}, {"PosNode", Kind::Node}});
    ASSERT_NE(root, nullptr);
    auto* mask = dynamic_cast<ui::Layout*>(support::findByName("Panel1", root));
    EXPECT_FALSE(mask->isVisible());
    EXPECT_TRUE(mask->isTouchEnabled());
    EXPECT_GT(mask->getBackGroundColorOpacity(), 0);
    EXPECT_LT(mask->getBackGroundColorOpacity(), 255);
    EXPECT_EQ(support::findByName("PosNode", root)->getParent(), mask);
}

TEST_F(PackLayouts, LoadingLayerHoldsItsBarAndClientBackground) {
    Node* root = loadWith("LoadingLayer.csb", {{"Panel1", Kind::Panel},
                                               {"Img_LoadingBg", Kind::ImageView},
                                               {"LoadingBar", Kind::LoadingBar},
                                               {"Img_Bg9", Kind::ImageView}});
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(support::findByName("Img_LoadingBg", root)->getParent(), root);
    EXPECT_FALSE(support::findByName("Img_Bg9", root)->isVisible());
    EXPECT_TRUE(widget(root, "Panel1")->isTouchEnabled());
}

TEST_F(PackLayouts, KeyboardKeysCarryTheirRolesAndLabels) {
    Node* root = loadWith("KeyBordLayer.csb", {{"Panel1", Kind::Panel}, {"BgImg", Kind::ImageView}});
    ASSERT_NE(root, nullptr);
    EXPECT_TRUE(widget(root, "Panel1")->isTouchEnabled());
    for (int n = 1; n <= 39; ++n) {
        SCOPED_TRACE(n);
        auto* key = dynamic_cast<ui::Button*>(support::findByName("KeyBtn" + std::to_string(n), root));
        ASSERT_NE(key, nullptr);
        const int role = n <= 26 ? 1000 : n <= 36 ? 1001 : 1002 + (n - 37);
        EXPECT_EQ(key->getTag(), role);
        auto* label = dynamic_cast<ui::Text*>(key->getChildByName("Text"));
        ASSERT_NE(label, nullptr);
        if (n <= 26) {
            EXPECT_EQ(label->getString(), std::string(1, static_cast<char>('a' + n - 1)));
        } else if (n <= 36) {
            EXPECT_EQ(label->getString(), std::string(1, static_cast<char>('0' + (n - 26) % 10)));
        }
    }
    EXPECT_EQ(support::findByName("KeyBtn40", root), nullptr);
}

TEST_F(PackLayouts, HeadItemsHoldHeadFrameAndName) {
    Node* head1 = loadWith("Head1.csb", {{"HeadImg", Kind::ImageView},
                                         {"IconFrame", Kind::ImageView},
                                         {"NameText", Kind::Text},
                                         {"IconSelect", Kind::ImageView}});
    ASSERT_NE(head1, nullptr);
    EXPECT_EQ(support::findByName("IconFrame", head1)->getParent(), head1);
    EXPECT_FALSE(support::findByName("IconSelect", head1)->isVisible());
    // Head pictures of any size are shown at the layout's size.
    EXPECT_FALSE(widget(head1, "HeadImg")->isIgnoreContentAdaptWithSize());
    EXPECT_GT(head1->getContentSize().width, 0.f);

    Node* head2 =
        loadWith("Head2.csb", {{"HeadImg", Kind::ImageView}, {"IconFrame", Kind::ImageView}, {"NameText", Kind::Text}});
    ASSERT_NE(head2, nullptr);
    EXPECT_EQ(support::findByName("IconFrame", head2)->getParent(), head2);
}

TEST_F(PackLayouts, ListButtonsHoldTheirMarks) {
    EXPECT_NE(loadWith("CourseBtn.csb", {{"Btn_Course", Kind::Button}}), nullptr);

    Node* root = loadWith("LectureBtn.csb", {{"LectBtn", Kind::Button},
                                             {"Img_Download", Kind::ImageView},
                                             {"Img_New", Kind::ImageView},
                                             {"Loading", Kind::Node},
                                             {"LoadingBar", Kind::LoadingBar},
                                             {"LoadText", Kind::Text},
                                             {"BgImg", Kind::ImageView},
                                             {"NumBg", Kind::ImageView},
                                             {"NumText", Kind::Text}});
    ASSERT_NE(root, nullptr);
    Node* button = support::findByName("LectBtn", root);
    for (const char* name : {"Img_Download", "Img_New", "Loading", "BgImg", "NumBg", "NumText"}) {
        EXPECT_NE(support::findByName(name, button), nullptr) << name << " must lie below LectBtn";
    }
    for (const char* name : {"Img_Download", "Img_New", "Loading", "BgImg"}) {
        EXPECT_FALSE(support::findByName(name, root)->isVisible()) << name;
    }
    Node* loading = support::findByName("Loading", root);
    EXPECT_NE(support::findByName("LoadingBar", loading), nullptr);
    EXPECT_NE(support::findByName("LoadText", loading), nullptr);
}
