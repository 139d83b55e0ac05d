#include "topics/TopicTypeLayer.h"

#include <algorithm>

#include "common/SFAnimation.h"
#include "common/UITools.h"
#include "topics/TopicLayer.h"
#include "topics/TopicManage.h"
#include "ui/Widget.h"

bool TopicTypeLayer::loadPage() {
    rootNode = TopicManage::getInstance()->loadTopicCsb();
    if (!rootNode) {
        return false;
    }
    addChild(rootNode);
    return true;
}

TopicLayer* TopicTypeLayer::host() const {
    return dynamic_cast<TopicLayer*>(getParent());
}

void TopicTypeLayer::report(bool right, const Callback& callback) {
    if (TopicLayer* page = host()) {
        page->showResult(right, callback ? Callback(life.guard(callback)) : Callback());
    }
}

void TopicTypeLayer::bindClick(engine::ui::Widget* widget, const WidgetHandler& handler) {
    if (!widget) {
        return;
    }
    widget->setTouchEnabled(true);
    widget->addClickEventListener(life.guard([widget, handler](engine::Ref*) { handler(widget); }));
}

void TopicTypeLayer::playAt(engine::Node* node, const std::string& name, bool clearAtEnd, const Callback& onEnd) {
    SFAnimation::getInstance()->playAnimationAtNode(node, name, clearAtEnd,
                                                    onEnd ? Callback(life.guard(onEnd)) : Callback(), false, 0, 0);
}

engine::ui::Widget* TopicTypeLayer::numbered(const std::string& prefix, int number) const {
    return dynamic_cast<engine::ui::Widget*>(UITools::seekChildByName(rootNode, prefix + std::to_string(number)));
}

bool TopicTypeLayer::among(int code, std::initializer_list<int> codes) {
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

int TopicTypeLayer::entryAt(const engine::ValueVector& list, int index) {
    return index >= 0 && index < static_cast<int>(list.size()) ? list[index].asInt() : -1;
}
