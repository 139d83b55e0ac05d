// The gear menus keep their labels on their panel's card; the guide's page arrows stand beside its pictures' card.
#include <gtest/gtest.h>

#include <SDL_image.h>

#include <filesystem>

#include "layout/CSLoader.h"
#include "support/ClientTest.h"
#include "ui/Text.h"

using namespace engine;

using DemoMenus = support::ClientTest;

TEST_F(DemoMenus, GearMenuLabelsLieOnTheirPanelsCard) {
    // "Lesson/SetMenuBg.png": its card ends 10 pixels above its bottom (a shadow below) and 3 from the other edges.
    for (const char* file : {"LogicTopicScene.csb", "TouTopicScene.csb"}) {
        SCOPED_TRACE(file);
        Node* root = CSLoader::createNode(file);
        Node* panel = root ? root->getChildByName("Img_SetBg") : nullptr;
        ASSERT_NE(panel, nullptr);
        const Rect card(3.f, 10.f, panel->getContentSize().width - 6.f, panel->getContentSize().height - 13.f);
        const Vec2 origin = panel->convertToWorldSpace({});
        int labels = 0;
        for (Node* button : panel->getChildren()) {
            for (Node* child : button->getChildren()) {
                if (auto* label = dynamic_cast<ui::Text*>(child)) {
                    const Rect box = label->getBoundingBox();
                    EXPECT_TRUE(
                        card.containsPoint(button->convertToWorldSpace(box.origin) - origin) &&
                        card.containsPoint(button->convertToWorldSpace({box.getMaxX(), box.getMaxY()}) - origin))
                        << label->getString();
                    ++labels;
                }
            }
        }
        EXPECT_EQ(labels, 4);
    }
}

TEST_F(DemoMenus, GuideArrowsStandBesideTheCardOfItsPictures) {
    // The guide shows a picture as high as the window (720) with its 72-pixel arrows at the picture's right edge:
    // that strip shows only the picture's background.
    int pictures = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(TEST_SOURCE_DIR "/server/packages")) {
        if (entry.path().filename().string().rfind("Teach", 0) == 0) {
            SCOPED_TRACE(entry.path().string());
            SDL_Surface* loaded = IMG_Load(entry.path().c_str());
            SDL_Surface* picture = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
            const auto* px = static_cast<const Uint32*>(picture->pixels);
            const int pitch = picture->pitch / 4, right = picture->w - 1;
            int differing = 0;
            for (int y = 0; y < picture->h; ++y) {
                for (int x = right - 72 * picture->h / 720; x < right; ++x) {
                    differing += px[y * pitch + x] != px[y * pitch + right];
                }
            }
            EXPECT_EQ(differing, 0) << "the card reaches under the arrows";
            SDL_FreeSurface(picture);
            SDL_FreeSurface(loaded);
            ++pictures;
        }
    }
    EXPECT_GT(pictures, 0);
}
