// Pinyin letter pages (codes 319001-319002, 319101-319102, 319201-319222, 319501-319506): letter cards marked,
// tapped or dragged into group boxes or slots, and animated pictures.
#pragma once

#include <array>
#include <vector>

#include "topics/DragTopicLayer.h"

class PinYinTopic : public DragTopicLayer {
public:
    static PinYinTopic* create() { return createLayer<PinYinTopic>(); }

    static constexpr int kGroupCount = 12;

    // The BaseLayer steps; the drag codes add their touch listener in initRes.
    bool init() override;
    void initData() override;
    void initRes() override;
    void onTouchEnded(engine::Touch* touch, engine::Event* event) override;

    void layoutWidgets();
    void bindOperImgs();
    void onOperImgClick(engine::Ref* sender, int cardNumber);
    void checkOperClick(engine::Ref* sender, int cardNumber);
    void onAniImgClick(engine::Ref* sender, int index);
    void onAniEnd();
    void onDropToSlot(engine::Node* slot);
    // Judges 319001 and 319501-319506 and reports the result.
    void showAnswer();

    const std::array<std::vector<int>, kGroupCount>& getGroupContents() const { return groupContents; }
    const std::vector<int>& getSlotContents() const { return slotContents; }
    const std::vector<int>& getMarkedNumbers() const { return markedNumbers; }

private:
    friend class BaseLayer;
    PinYinTopic() = default;

    // Index = group box number - 1: the tags of the cards in it, in drop order.
    std::array<std::vector<int>, kGroupCount> groupContents;
    std::vector<int> markedNumbers;
    // One entry per slot: the letter placed there, -1 when empty.
    std::vector<int> slotContents;
    bool playing = false;
};
