// Demonstration pages (codes 100101-100124): pictures dragged onto places or tapped, answered by prepared
// demonstration animations, checks against the answers, numbers written into targets, copies and reveals.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "topics/DragTopicLayer.h"

namespace engine {
class Sprite;
namespace ui {
class Widget;
}
} // namespace engine

// "0" to "20", and "3" to "11".
extern const std::array<const char*, 21> TopicNumberTable;
extern const std::array<const char*, 9> TopicNumberTable3;

class DemoTopic : public DragTopicLayer {
public:
    static DemoTopic* create() { return createLayer<DemoTopic>(); }
    ~DemoTopic() override;

    void initData() override;
    void initRes() override;
    // As the drag base, but no drag starts while a demonstration animation plays.
    bool onTouchBegan(engine::Touch* touch, engine::Event* event) override;
    void onTouchEnded(engine::Touch* touch, engine::Event* event) override;

    void onOperClick(engine::ui::Widget* sender);
    void showAnswer();
    // 1 for the pictures 1 and 2, 2 for 1 and 3, 3 for 2 and 3 (either order); 0 otherwise.
    static int getPairIndex(int a, int b);
    // The demonstration animation's name for the current choices.
    std::string demoAnimationName() const;
    void playDemoAnimation();
    void onDemoAnimationEnd();
    void onChainAnimationEnd();

private:
    friend class BaseLayer;
    DemoTopic() = default;

    void arrangeWidgets();
    void initOperClick();
    // One demonstration step with picture m.
    void demoStep(int m);
    // The drop of the dragged picture m on target n (index i in panelImgs); false when it returns.
    bool dropOnTarget(engine::Node* target, int n, int i, int m, const engine::Vec2& location);
    void writeNumber(engine::Node* target, int m);

    bool busy = false;
    engine::Sprite* lastFrameSprite = nullptr;
    int pickedItem = 0;
    int lastTarget = 0;
    int stepSnapshot = 0;
    int pairIndex = 0;
    // Index = target number 1 to 8 (code 100106); 0 = empty.
    std::array<int, 9> slotItems{};
    int clickedItem = 0;
    // Index = place of the target in panelImgs (codes 100113-100116); 0 = empty.
    std::array<int, 25> targetItems{};
    std::vector<engine::Node*> placedItems;
};
