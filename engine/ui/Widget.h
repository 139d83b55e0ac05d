// Base of the UI widgets: touch handling with its own swallowing listener, press highlight, enabled and bright
// states, size adaptation to the content, and cloning.
#pragma once

#include <functional>

#include "scene/Node.h"

namespace engine {

class Event;
class EventListenerTouchOneByOne;
class Touch;

namespace ui {

class Widget : public Node {
public:
    enum class TouchEventType { BEGAN, MOVED, ENDED, CANCELED };
    enum class TextureResType { LOCAL, PLIST };
    using ccWidgetTouchCallback = std::function<void(Ref*, TouchEventType)>;
    using ccWidgetClickCallback = std::function<void(Ref*)>;

    static Widget* create();
    ~Widget() override;

    // Registers (or removes) the widget's own one-by-one listener, which swallows the touches it claims.
    virtual void setTouchEnabled(bool enabled);
    bool isTouchEnabled() const { return _touchEnabled; }
    // Disabled: no touches and the disabled look.
    virtual void setEnabled(bool enabled);
    bool isEnabled() const { return _enabled; }
    // Look only: a widget that is not bright still takes touches.
    virtual void setBright(bool bright);
    bool isBright() const { return _bright; }
    // The pressed look. Set during a press; otherwise it stays as set.
    virtual void setHighlighted(bool highlighted);
    bool isHighlighted() const { return _highlighted; }

    // Each call replaces the previous listener.
    void addTouchEventListener(const ccWidgetTouchCallback& callback);
    // Fires on a release inside after a press inside, after the ENDED touch event.
    void addClickEventListener(const ccWidgetClickCallback& callback);

    // A world point hits the widget when it lies in its box (edges included), the widget and its ancestors are
    // visible and unscaled to zero, it is enabled and touch-enabled, and every clipping ancestor contains it.
    virtual bool hitTest(const Vec2& worldPoint) const;
    // False when a clipping ancestor Layout leaves the point out.
    bool isClippingParentContainsPoint(const Vec2& worldPoint) const;

    // Adaptation on (true): the size follows the content (picture or text). setContentSize turns it off.
    virtual void ignoreContentAdaptWithSize(bool ignore);
    bool isIgnoreContentAdaptWithSize() const { return _ignoreSize; }
    void setContentSize(const Size& size) override;

    // A deep copy: kind, look, size, transform, flags, listeners and cloned children; autoreleased, no parent.
    Widget* clone() const;

    void onEnter() override;
    void onExit() override;
    void cleanup() override;

protected:
    Widget();

    // Touch handling; overrides call the base first.
    virtual bool onTouchBegan(Touch* touch, Event* event);
    virtual void onTouchMoved(Touch* touch, Event* event);
    virtual void onTouchEnded(Touch* touch, Event* event);
    virtual void onTouchCancelled(Touch* touch, Event* event);
    // A press released inside, before the ENDED event and the click.
    virtual void onReleasedInside() {}
    // Whether a point in node space lies on the widget: its box, edges included.
    virtual bool containsNodePoint(const Vec2& point) const;
    // Geometry only: the box and the clipping ancestors.
    bool containsWorldPoint(const Vec2& worldPoint) const;
    bool isPressed() const { return _pressed; }

    // Calls the touch listener; false when the widget has left the running tree meanwhile.
    bool raiseTouchEvent(TouchEventType type);

    // The size the content asks for; false when there is nothing to follow (the size is then kept).
    virtual bool getContentAdaptSize(Size& size) const { return false; }
    // The content changed: with adaptation on, the widget takes its size.
    void updateContentSize();
    virtual void onSizeChanged() {}

    // Displayed colour with the displayed opacity as alpha: the tint of pictures.
    Color4B getTint() const;

    // Cloning: a new widget of the same kind, then the kind's own properties.
    virtual Widget* createCloneInstance() const;
    virtual void copySpecialProperties(const Widget* model) {}

private:
    void registerTouchListener();
    void dropTouchListener();
    void copyProperties(const Widget* model);
    void cloneChildrenOf(const Widget* model);
    void releasePress();

    bool _touchEnabled = false;
    bool _enabled = true;
    bool _bright = true;
    bool _highlighted = false;
    bool _ignoreSize = true;
    bool _pressed = false;
    int _pressedTouchId = -1;
    EventListenerTouchOneByOne* _touchListener = nullptr;
    ccWidgetTouchCallback _touchEventCallback;
    ccWidgetClickCallback _clickEventCallback;
};

} // namespace ui
} // namespace engine
