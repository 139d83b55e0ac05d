// Drag-sort pages (codes 901, 902): 901 stacks pictures upwards on one target and checks their order; 902 fills
// twelve columns with copies of the dropped pictures, up to seven each, with no judgement.
#pragma once

#include <map>
#include <vector>

#include "topics/DragTopicLayer.h"

class DragSort : public DragTopicLayer {
public:
    static DragSort* create() { return createLayer<DragSort>(); }

    static constexpr int kColumnCount = 12;
    static constexpr int kColumnHeight = 7;

    void initData() override;
    void initRes() override;
    // The last picture under the finger is taken, also once the topic is complete.
    bool onTouchBegan(engine::Touch* touch, engine::Event* event) override;
    void onTouchEnded(engine::Touch* touch, engine::Event* event) override;

    void arrangeWidgets();
    // 901: right when the stack holds exactly the answers' pictures, bottom first.
    void showAnswer();

    const std::vector<engine::Node*>& getStack() const { return stackItems; }
    // Pictures dropped into column 1 to 12 (902), in drop order.
    std::vector<engine::Node*> getColumn(int column) const;

private:
    friend class BaseLayer;
    DragSort() = default;

    void dropOnStack(const engine::Vec2& location);
    void dropInColumns(const engine::Vec2& location);

    // Pictures dropped on "PanelImg1" (901), bottom first.
    std::vector<engine::Node*> stackItems;
    // Column number -> pictures dropped in it (902).
    std::map<int, std::vector<engine::Node*>> columnItems;
};
