// The demo packages' supplementary items and teaching pictures: every file an item names is in its package.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "platform/FileUtils.h"
#include "tools/ExaminationLayer.h"

TEST(DemoItems, EveryItemNamesFilesOfItsPackage) {
    struct Package {
        const char* identify;
        size_t items;
    };
    for (const Package& package : {Package{"0101010101", 4}, Package{"0101050106", 5}}) {
        const std::string folder = std::string(TEST_SOURCE_DIR "/server/packages/") + package.identify + "/";
        const engine::ValueMap top = engine::FileUtils::getInstance()->getValueMapFromFile(folder + "Topic.plist");
        ASSERT_EQ(top.count("Addition"), 1u) << package.identify;
        const engine::ValueVector& items = top.at("Addition").asValueVector();
        EXPECT_EQ(items.size(), package.items) << package.identify;
        std::set<int> types;
        for (size_t k = 0; k < items.size(); ++k) {
            const engine::ValueMap item = ExaminationLayer::itemAt(items, static_cast<int>(k));
            EXPECT_FALSE(ExaminationLayer::itemString(item, "Title").empty());
            EXPECT_FALSE(ExaminationLayer::itemString(item, "Stem").empty());
            types.insert(ExaminationLayer::itemInt(item, "Type"));
            for (const auto& [key, sub] :
                 {std::pair{"CImage", "TopicImg/"}, std::pair{"AImage", "TopicImg/"}, std::pair{"Dubbing", "mp3/"}}) {
                const std::string name = ExaminationLayer::itemString(item, key);
                EXPECT_TRUE(std::filesystem::is_regular_file(folder + sub + name)) << package.identify << " " << name;
            }
        }
        EXPECT_EQ(types, (std::set<int>{1, 2})) << package.identify;
    }
    EXPECT_TRUE(std::filesystem::is_regular_file(TEST_SOURCE_DIR "/server/packages/0204010101/Teach1.png"));
    EXPECT_TRUE(std::filesystem::is_regular_file(TEST_SOURCE_DIR "/server/packages/0204010101/Teach3.png"));
}
