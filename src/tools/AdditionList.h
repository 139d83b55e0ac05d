// The list of the lecture's supplementary items: the titles of the first three; a title opens the viewer on it.
#pragma once

#include "common/BaseLayer.h"

class AdditionList : public BaseLayer {
public:
    AdditionList() = default;
    ~AdditionList() override;
    void initData() override;
    void initRes() override;

    void onTitleClicked(int index);

private:
    int page = 1;
};
