#include "topics/SingleTopic.h"

#include "common/AudioManager.h"
#include "topics/TopicManage.h"

SingleTopic::~SingleTopic() {
    AudioManager::getInstance()->voiceCallback = nullptr;
}

void SingleTopic::initRes() {
    if (!loadPage()) {
        return;
    }
    TopicManage* data = TopicManage::getInstance();
    data->loadTopicImages(rootNode, true);
    data->initContentPanel(rootNode, "ContImg", 1, 0, 0, 0);
}
