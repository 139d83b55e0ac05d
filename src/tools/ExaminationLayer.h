// The examination page: the lecture's supplementary items one at a time, a question picture that reveals its
// answer, a reading, arrows and a reset. Paging and reset rebuild the page in place, so whoever holds the page
// keeps a live pointer.
#pragma once

#include <string>

#include "base/Value.h"
#include "common/BaseLayer.h"

class ExaminationLayer : public BaseLayer {
public:
    static ExaminationLayer* create() { return createLayer<ExaminationLayer>(); }
    ExaminationLayer() = default;
    ~ExaminationLayer() override;
    void initData() override;
    void initRes() override;
    void screenAdaptation() override {}

    void onPage(int delta);
    void onReset();
    void playDubbing();

    // Shared with the supplementary viewer: the item's picture under key into the image view named widgetName
    // below root, the reading of the item, and the path of that reading.
    static void loadItemImage(engine::Node* root, const engine::ValueMap& item, const std::string& widgetName,
                              const std::string& key);
    // Both pictures, the question picture revealing the answer when clicked.
    static void loadItemImages(engine::Node* root, const engine::ValueMap& item);
    // Item index of the list: the arrows where the list has another item beside it, title, text, the panel named by
    // the prefix and the item's "Type", and the pictures; an empty item shows nothing (no arrows, pictures,
    // reading or reset).
    static void showItem(engine::Node* root, const engine::ValueVector& items, int index,
                         const std::string& panelPrefix);
    static void playDubbing(const engine::ValueMap& item);
    static std::string getDubbingPath(const engine::ValueMap& item);
    // The entry at index as a map; an empty map for an index outside the list or an entry that is not a map.
    static engine::ValueMap itemAt(const engine::ValueVector& items, int index);
    // A text or number of the item; "" or 0 when the key is missing.
    static std::string itemString(const engine::ValueMap& item, const std::string& key);
    static int itemInt(const engine::ValueMap& item, const std::string& key);

    // Drops the textures and sprite frames nothing uses any more.
    static void dropUnusedPictures();

    engine::Node* getRoot() const { return root; }

private:
    engine::Node* root = nullptr;
    engine::ValueVector items;
    engine::ValueMap item;
    engine::Node* leftButton = nullptr;
    engine::Node* rightButton = nullptr;
};
