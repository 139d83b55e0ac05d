// Special topic pages (codes 101101-101903): one layer for many small rules, chosen by the layout code. Pupils
// drag pictures onto targets, tap pictures, or type digits on an on-screen keypad.
#pragma once

#include <string>
#include <vector>

#include "topics/DragTopicLayer.h"

namespace engine {
class Ref;
namespace ui {
class Widget;
}
} // namespace engine

class SpecialTopic : public DragTopicLayer {
public:
    static SpecialTopic* create() { return createLayer<SpecialTopic>(); }

    void initData() override;
    void initRes() override;
    // The first visible picture under the finger; the touch is claimed only while not busy.
    bool onTouchBegan(engine::Touch* touch, engine::Event* event) override;
    void onTouchEnded(engine::Touch* touch, engine::Event* event) override;

    // What a drop of dragged on target does, by code.
    void checkDrop(engine::Node* target);
    void showAnswer();

    void onOperClick(engine::Ref* sender);
    // index: the target's place in panelImgs.
    void onPanelClick(engine::Ref* sender, int index);
    // A key of the three-digit keypads, writing into "Content%d" with text.
    void onKeypadKey(engine::Ref* sender, int text);
    void swapPair();

    // Clears busy; only a right verdict may celebrate.
    void onFeedbackEnd(bool right);
    void onResultAnimationEnd(engine::Node* node);

    const std::vector<int>& getPupilValues() const { return pupilValues; }
    const std::vector<int>& getDropValues() const { return dropValues; }

private:
    friend class BaseLayer;
    SpecialTopic() = default;

    void setUpByCode(int code);
    void bindOperClicks();
    // The after-drop rules of the codes that keep, copy or hide the picture wherever it is released.
    void afterDrop(int code, bool hit, const engine::Vec2& location);

    // Drop helpers (SpecialTopicDrops.cpp).
    void dropOnSlot(engine::Node* target);
    void dropGrouped(engine::Node* target);
    void runGroupRule();
    void showDropResult(bool right);
    void placeAround(engine::Node* target, int k);
    void showSlotAnswers();
    // A copy of dragged at the world point, on this layer.
    void cloneAt(const engine::Vec2& worldPoint);

    // Tap helpers (SpecialTopicTaps.cpp).
    void onKeypad101901(int k);
    void showOrderMarks();
    void showSwapAnswer();
    void highlight(engine::Node* tapped);

    // The completion feedback on the host, at most once; called only after a right verdict, so a topic without a
    // "Step" is complete once it is answered right.
    void celebrate();
    // Places node at place's point on screen.
    static void moveTo(engine::Node* node, const engine::Node* place);
    engine::ui::Widget* named(const std::string& name) const;

    bool busy = false;
    std::vector<int> pupilValues;
    std::vector<int> dropValues;
    std::vector<engine::Node*> tappedNodes;
    int selectedTag = 0;
    bool keyValid = false;
    bool celebrated = false;
};
