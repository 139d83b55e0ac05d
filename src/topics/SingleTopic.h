// A page of pictures arranged by the topic's layout rule; nothing on it reacts.
#pragma once

#include "topics/TopicTypeLayer.h"

class SingleTopic : public TopicTypeLayer {
public:
    static SingleTopic* create() { return createLayer<SingleTopic>(); }
    ~SingleTopic() override;

    void initData() override {}
    void initRes() override;

private:
    friend class BaseLayer;
    SingleTopic() = default;
};
