// The on-screen keyboard: its keys come from "KeyBordLayer.csb"; each key is reported through the callbacks
// its opener assigns.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "scene/Layer.h"
#include "ui/Widget.h"

class KeyBordLayer : public engine::Layer {
public:
    // Key roles, by widget tag.
    enum KeyTag { Letter = 1000, Character = 1001, Shift = 1002, Delete = 1003, Clear = 1004 };

    // With closeOnOutsideTouch, a touch ending outside the keyboard body calls onClose and removes it.
    static KeyBordLayer* create(bool closeOnOutsideTouch);

    ~KeyBordLayer() override;

    bool init() override;
    void initUI();
    void onKeyTouch(engine::Ref* sender, engine::ui::Widget::TouchEventType type);
    // Letter key i shows letter i of the alphabet in the current case.
    void updateKeyLabels();

    bool isUpperCase() const { return upperCase; }

    // The body, "BgImg"; the opener moves it to place the keyboard.
    engine::ui::Widget* bgImg = nullptr;
    std::function<void(const std::string&)> onInput;
    std::function<void()> onClear;
    std::function<void()> onDelete;
    std::function<void()> onClose;

private:
    KeyBordLayer() = default;

    void onOutsideTouch(engine::ui::Widget::TouchEventType type);

    bool upperCase = false;
    std::vector<engine::ui::Widget*> letterKeys;
};
