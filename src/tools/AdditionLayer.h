// The supplementary viewer: one item of the lecture's supplementary list with its pictures, reading and the
// package's supplementary video; the arrows and reset replace it by a fresh viewer.
#pragma once

#include "base/Value.h"
#include "common/BaseLayer.h"

class AdditionLayer : public BaseLayer {
public:
    // A viewer on item index (an empty item when the list has no such entry).
    static AdditionLayer* create(int index);
    AdditionLayer() = default;
    ~AdditionLayer() override;
    void initData() override;
    void initRes() override;

    void initImages();
    void initVideo();
    void onPage(int delta);
    void onReset();

    // The index of the item shown; kept past the viewer until the next create.
    static int currentIndex;

private:
    engine::Node* rootNode = nullptr;
    engine::ValueVector items;
    engine::ValueMap item;
    engine::Node* leftButton = nullptr;
    engine::Node* rightButton = nullptr;
};
