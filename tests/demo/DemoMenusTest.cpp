// The gear menus keep their labels on their panel's card, and the teaching guide's page arrows stand beside the
// card of its pictures.
#include <gtest/gtest.h>

#include <SDL_image.h>

#include <filesystem>

#include "layout/CSLoader.h"
#include "support/ClientTest.h"
#include "ui/Text.h"
#include "ui/Widget.h"

using namespace engine;

using DemoMenus = support::ClientTest;

namespace {

// Every Text below node.
void texts(Node* node, std::vector<ui::Text*>& found) {
    for (Node* child : node->getChildren()) {
        if (auto* text = dynamic_cast<ui::Text*>(child)) {
            found.push_back(text);
        }
        texts(child, found);
    }
}

} // namespace

TEST_F(DemoMenus, GearMenuLabelsLieOnTheirPanelsCard) {
    // "Lesson/SetMenuBg.png": its card ends 10 pixels above the bottom (a shadow below) and 3 from the other edges.
    constexpr float kBottomRim = 10.f, kRim = 3.f;
    for (const char* file : {"LogicTopicScene.csb", "TouTopicScene.csb"}) {
        SCOPED_TRACE(file);
        Node* root = CSLoader::createNode(file);
        ASSERT_NE(root, nullptr);
        root->retain();
        Node* panel = root->getChildByName("Img_SetBg");
        ASSERT_NE(panel, nullptr);
        const Size card = panel->getContentSize();
        std::vector<ui::Text*> labels;
        texts(panel, labels);
        EXPECT_EQ(labels.size(), 4u);
        for (ui::Text* label : labels) {
            const Rect box = label->getBoundingBox();
            const Vec2 low = panel->convertToNodeSpace(label->getParent()->convertToWorldSpace(box.origin));
            const Vec2 high =
                panel->convertToNodeSpace(label->getParent()->convertToWorldSpace(Vec2(box.getMaxX(), box.getMaxY())));
            EXPECT_GE(low.y, kBottomRim) << label->getString();
            EXPECT_LE(high.y, card.height - kRim) << label->getString();
            EXPECT_GE(low.x, kRim) << label->getString();
            EXPECT_LE(high.x, card.width - kRim) << label->getString();
        }
        root->release();
    }
}

TEST_F(DemoMenus, GuideArrowsStandBesideTheCardOfItsPictures) {
    // The guide shows a picture as high as the window (720) and puts its 72-pixel arrows at its right edge.
    int pictures = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(TEST_SOURCE_DIR "/server/packages")) {
        if (entry.path().filename().string().rfind("Teach", 0) != 0) {
            continue;
        }
        SCOPED_TRACE(entry.path().string());
        ++pictures;
        SDL_Surface* loaded = IMG_Load(entry.path().c_str());
        ASSERT_NE(loaded, nullptr);
        SDL_Surface* picture = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
        SDL_FreeSurface(loaded);
        const int strip = 72 * picture->h / 720 + 1;
        const auto* px = static_cast<const Uint32*>(picture->pixels);
        const int pitch = picture->pitch / 4;
        int differing = 0;
        for (int y = 0; y < picture->h; ++y) {
            for (int x = picture->w - strip; x < picture->w; ++x) {
                differing += px[y * pitch + x] != px[y * pitch + picture->w - 1];
            }
        }
        EXPECT_EQ(differing, 0) << "the card reaches under the arrows";
        SDL_FreeSurface(picture);
    }
    EXPECT_GT(pictures, 0);
}
