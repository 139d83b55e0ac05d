// The teaching-guide viewer: the lecture package's pictures Teach1.png, Teach2.png ... one at a time, fitted to
// the window height.
#pragma once

#include <string>

#include "common/BaseLayer.h"

class TeachLayer : public BaseLayer {
public:
    TeachLayer() = default;
    ~TeachLayer() override;
    bool init() override;
    void initData() override;
    void initRes() override;
    void screenAdaptation() override;

    void showPage();
    void onPrev();
    void onNext();

    int getPageCount() const { return pageCount; }
    int getCurrentPage() const { return currentPage; }

private:
    std::string pagePath(int page) const;

    engine::Node* root = nullptr;
    int pageCount = 0;
    std::string folder;
    int currentPage = 1;
    engine::Node* prevButton = nullptr;
    engine::Node* nextButton = nullptr;
};
