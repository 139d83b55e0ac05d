// Drag-picture pages (codes 501-511): pictures dragged into two groups, onto the target the answers name, one per
// target, as copies, or anywhere.
#pragma once

#include <array>
#include <vector>

#include "topics/DragTopicLayer.h"

class DragImage : public DragTopicLayer {
public:
    static DragImage* create() { return createLayer<DragImage>(); }

    void initData() override;
    void initRes() override;
    void onTouchEnded(engine::Touch* touch, engine::Event* event) override;

    void arrangeWidgets();
    void onDropOnTarget(engine::Node* target);
    // Judges the drops of 501 and the slot codes and reports the result.
    void showAnswer();

private:
    friend class BaseLayer;
    DragImage() = default;

    static constexpr int kSlotCount = 20;

    // Tags dropped on targets 1 and 2 (code 501).
    std::array<std::vector<int>, 2> targetLists;
    // Index = target number 1 to 20: the picture placed or copied there; 0 = empty.
    std::array<int, kSlotCount + 1> slotItems{};
};
