// The next-page view: the topic's own layout with its listed pictures hidden and "NextImg1" shown.
#pragma once

#include "topics/TopicTypeLayer.h"

class DownPage : public TopicTypeLayer {
public:
    static DownPage* create() { return createLayer<DownPage>(); }

    void initData() override {}
    void initRes() override;

private:
    friend class BaseLayer;
    DownPage() = default;
};
