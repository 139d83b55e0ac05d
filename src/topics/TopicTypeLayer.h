// Base of the topic-type layers: the topic's layout page and what the types share to reach their host.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>

#include "base/Value.h"
#include "common/BaseLayer.h"
#include "common/LifeToken.h"

namespace engine {
namespace ui {
class Widget;
}
} // namespace engine

class TopicLayer;

class TopicTypeLayer : public BaseLayer {
public:
    using Callback = std::function<void()>;
    using WidgetHandler = std::function<void(engine::ui::Widget*)>;

    engine::Node* getRootNode() const { return rootNode; }

protected:
    TopicTypeLayer() = default;

    // rootNode = the topic's layout file, added as child; false when it is missing.
    bool loadPage();
    // The host page this layer stands on; null outside one.
    TopicLayer* host() const;
    // TopicLayer::showResult on the host.
    void report(bool right, const Callback& callback);
    // Touch-enables widget and binds a click without sound; the handler runs only while this layer lives.
    void bindClick(engine::ui::Widget* widget, const WidgetHandler& handler);
    // Plays a topic animation at node; onEnd (this layer alive) runs once at its end, or on the next frame when
    // nothing can play. The last frame stays unless clearAtEnd.
    void playAt(engine::Node* node, const std::string& name, bool clearAtEnd, const Callback& onEnd);
    // The widget named by the "%s%d" of prefix and number below rootNode, or null.
    engine::ui::Widget* numbered(const std::string& prefix, int number) const;

    // True when code is one of codes.
    static bool among(int code, std::initializer_list<int> codes);
    // Entry index of a list of numbers, or -1 outside it.
    static int entryAt(const engine::ValueVector& list, int index);

    engine::Node* rootNode = nullptr;
    LifeToken life;
};
