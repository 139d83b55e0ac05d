// Direction pages (codes 801-804): a piece steered over a grid of position nodes by eight direction buttons, its
// route or the item it reaches judged; in 804 the buttons answer a listening quiz in a random order.
#pragma once

#include <vector>

#include "topics/TopicTypeLayer.h"

// Direction of the button "DirImg%d" i: i - 1; its change of the grid position is in DirOperate.cpp.
enum DirType : int { DirFirst = 0, DirLast = 7 };

class DirOperate : public TopicTypeLayer {
public:
    static DirOperate* create() { return createLayer<DirOperate>(); }

    void initData() override;
    void initRes() override;

    void onDirClick(engine::Ref* sender, DirType direction);
    void movePiece(int firstDelta, int secondDelta);
    // 803: 0 for a free node, 1 for an answer item on it, -1 for another item.
    int checkItem(engine::Node* target);
    void onMoveEnd(int itemResult);
    void checkChoice(engine::Ref* sender);
    void playQuestionVoice();
    void markVoiceHeard();
    // 801, 802: the route against the answers; shows the segments taken.
    void showAnswer();

    const std::vector<int>& getRoute() const { return route; }
    const std::vector<int>& getQuestionOrder() const { return questionOrder; }

private:
    friend class BaseLayer;
    DirOperate() = default;

    engine::Node* piece = nullptr;
    bool moving = false;
    int first = 1;
    int second = 1;
    std::vector<int> route;
    std::vector<engine::Node*> items;
    std::vector<int> questionOrder;
    int reachedItem = 0;
};
