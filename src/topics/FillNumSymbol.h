// Number and symbol filling pages (codes 701-714): tiles of numbers and arithmetic signs dragged onto the blanks of
// an equation, filled freely and judged by show answer, or judged at each drop.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "topics/DragTopicLayer.h"

// "0" to "20": the text of number tile k.
extern const std::array<const char*, 21>& TopicNumberTable2;
// "+", "-", "*", "÷", "=": the text of symbol tile 101 + k.
extern const std::array<const char*, 5> TopicSymbolTable;

class FillNumSymbol : public DragTopicLayer {
public:
    static FillNumSymbol* create() { return createLayer<FillNumSymbol>(); }

    void initData() override;
    void initRes() override;
    // The first tile under the finger, its draw order untouched; nothing once the topic is complete.
    bool onTouchBegan(engine::Touch* touch, engine::Event* event) override;
    void onTouchEnded(engine::Touch* touch, engine::Event* event) override;

    void arrangeWidgets();
    // Free-filling codes: right when every blank holds its answer.
    void showAnswer();

    const std::vector<int>& getFilledValues() const { return filledValues; }

private:
    friend class BaseLayer;
    FillNumSymbol() = default;

    // Blank index of panelImgs took the tile of value v.
    void dropOnBlank(engine::Node* blank, int index, int value);
    // Free filling: writes value into the blank when the blank takes it and a table names it.
    void fillFreely(engine::Node* blank, int index, int value);
    // Checked filling of 702-712; feedback and the closing animation by code.
    void fillChecked(engine::Node* blank, int index, int value);
    void playClosingAnimation();

    // Per entry of the "PanelImgs" list: the tile value written into that blank; 0 = none yet.
    std::vector<int> filledValues;
};
