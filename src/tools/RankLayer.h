// The rank board of the mini-game: pupils by game score, then by best time, five to a page.
#pragma once

#include <functional>
#include <vector>

#include "common/BaseLayer.h"

class RankLayer : public BaseLayer {
public:
    RankLayer() = default;
    ~RankLayer() override;
    bool init() override;
    void initData() override;
    void initRes() override;

    void onClose();
    void onPageButton(int delta);
    void fillPage();

    int getCurrentPage() const { return currentPage; }

    // Runs before the board removes itself; set by the opener after init.
    std::function<void()> closeCallback;

private:
    engine::Node* root = nullptr;
    int currentPage = 1;
    std::vector<engine::Node*> headItems;
};
