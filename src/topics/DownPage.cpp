#include "topics/DownPage.h"

#include "common/UITools.h"
#include "topics/TopicManage.h"

void DownPage::initRes() {
    if (!loadPage()) {
        return;
    }
    TopicManage::getInstance()->loadTopicImages(rootNode, false);
    if (engine::Node* next = UITools::seekChildByName(rootNode, "NextImg1")) {
        next->setVisible(true);
    }
}
