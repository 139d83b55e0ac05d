#include "ui/Widget.h"

#include <typeinfo>

#include "base/Log.h"
#include "base/Touch.h"
#include "scene/Sprite.h"
#include "ui/Layout.h"

namespace engine::ui {

namespace {

// Holds a reference on the widget and its listener while a callback runs, so the callback may remove either.
class KeepAlive {
public:
    KeepAlive(Ref* a, Ref* b) : _a(a), _b(b) {
        if (_a) {
            _a->retain();
        }
        if (_b) {
            _b->retain();
        }
    }
    ~KeepAlive() {
        if (_b) {
            _b->release();
        }
        if (_a) {
            _a->release();
        }
    }
    KeepAlive(const KeepAlive&) = delete;
    KeepAlive& operator=(const KeepAlive&) = delete;

private:
    Ref* _a;
    Ref* _b;
};

// Points exactly on an edge may come back from the inverse transform a hair outside.
constexpr float kEdgeTolerance = 1e-3f;

void copyNodeProperties(Node* to, const Node* from) {
    to->setName(from->getName());
    to->setTag(from->getTag());
    to->setAnchorPoint(from->getAnchorPoint());
    to->setPosition(from->getPosition());
    to->setScale(from->getScaleX(), from->getScaleY());
    to->setRotation(from->getRotation());
    to->setVisible(from->isVisible());
    to->setCascadeOpacityEnabled(from->isCascadeOpacityEnabled());
    to->setCascadeColorEnabled(from->isCascadeColorEnabled());
    to->setOpacity(from->getOpacity());
    to->setColor(from->getColor());
    to->setLocalZOrder(from->getLocalZOrder());
    to->setIgnoreAnchorPointForPosition(from->isIgnoreAnchorPointForPosition());
}

Node* cloneNode(const Node* node);

void cloneChildren(Node* to, const Node* from) {
    for (Node* child : from->getChildren()) {
        if (Node* copy = cloneNode(child)) {
            to->addChild(copy, copy->getLocalZOrder());
        }
    }
}

// Widgets clone themselves; plain nodes and sprites are copied here; anything else is left out.
Node* cloneNode(const Node* node) {
    if (auto* widget = dynamic_cast<const Widget*>(node)) {
        return widget->clone();
    }
    Node* copy = nullptr;
    if (auto* sprite = dynamic_cast<const Sprite*>(node); sprite && typeid(*node) == typeid(Sprite)) {
        Sprite* spriteCopy = sprite->getTexture() ? Sprite::createWithTexture(sprite->getTexture()) : Sprite::create();
        if (spriteCopy) {
            if (sprite->getTexture()) {
                spriteCopy->setTextureRectInPixels(sprite->getTextureRectInPixels());
            }
            spriteCopy->setBlendFunc(sprite->getBlendFunc());
        }
        copy = spriteCopy;
    } else if (typeid(*node) == typeid(Node)) {
        copy = Node::create();
    } else {
        log("Widget::clone: child \"%s\" of kind %s is not cloned", node->getName().c_str(), typeid(*node).name());
        return nullptr;
    }
    if (!copy) {
        return nullptr;
    }
    copyNodeProperties(copy, node);
    copy->setContentSize(node->getContentSize());
    cloneChildren(copy, node);
    return copy;
}

} // namespace

Widget::Widget() {
    _anchorPoint = Vec2::ANCHOR_MIDDLE;
}

Widget* Widget::create() {
    auto* widget = new (std::nothrow) Widget();
    if (widget && widget->init()) {
        widget->autorelease();
        return widget;
    }
    delete widget;
    return nullptr;
}

Widget::~Widget() {
    dropTouchListener();
}

void Widget::registerTouchListener() {
    if (_touchListener) {
        return;
    }
    EventDispatcher* dispatcher = getEventDispatcher();
    if (!dispatcher) {
        return;
    }
    auto* listener = EventListenerTouchOneByOne::create();
    if (!listener) {
        return;
    }
    listener->setSwallowTouches(true);
    // The listener never outlives the widget: cleanup and the destructor remove it.
    listener->onTouchBegan = [this](Touch* touch, Event* event) {
        KeepAlive keep(this, _touchListener);
        return onTouchBegan(touch, event);
    };
    listener->onTouchMoved = [this](Touch* touch, Event* event) {
        KeepAlive keep(this, _touchListener);
        onTouchMoved(touch, event);
    };
    listener->onTouchEnded = [this](Touch* touch, Event* event) {
        KeepAlive keep(this, _touchListener);
        onTouchEnded(touch, event);
    };
    listener->onTouchCancelled = [this](Touch* touch, Event* event) {
        KeepAlive keep(this, _touchListener);
        onTouchCancelled(touch, event);
    };
    listener->retain();
    _touchListener = listener;
    dispatcher->addEventListenerWithSceneGraphPriority(listener, this);
}

void Widget::dropTouchListener() {
    if (!_touchListener) {
        return;
    }
    EventListenerTouchOneByOne* listener = _touchListener;
    _touchListener = nullptr;
    if (EventDispatcher* dispatcher = getEventDispatcher()) {
        dispatcher->removeEventListener(listener);
    }
    listener->release();
}

void Widget::setTouchEnabled(bool enabled) {
    if (enabled == _touchEnabled) {
        return;
    }
    _touchEnabled = enabled;
    if (enabled) {
        registerTouchListener();
    } else {
        dropTouchListener();
        releasePress();
    }
}

void Widget::setEnabled(bool enabled) {
    _enabled = enabled;
}

void Widget::setBright(bool bright) {
    _bright = bright;
}

void Widget::setHighlighted(bool highlighted) {
    _highlighted = highlighted;
}

void Widget::addTouchEventListener(const ccWidgetTouchCallback& callback) {
    _touchEventCallback = callback;
}

void Widget::addClickEventListener(const ccWidgetClickCallback& callback) {
    _clickEventCallback = callback;
}

void Widget::onEnter() {
    Node::onEnter();
    // Cleanup dropped the listener; a widget added again takes touches again.
    if (_touchEnabled) {
        registerTouchListener();
    }
}

void Widget::onExit() {
    releasePress();
    Node::onExit();
}

void Widget::cleanup() {
    Node::cleanup();
    dropTouchListener();
}

void Widget::releasePress() {
    if (_pressed) {
        _pressed = false;
        _pressedTouchId = -1;
        setHighlighted(false);
    }
}

bool Widget::containsNodePoint(const Vec2& point) const {
    const Size& size = getContentSize();
    return point.x >= -kEdgeTolerance && point.x <= size.width + kEdgeTolerance && point.y >= -kEdgeTolerance &&
           point.y <= size.height + kEdgeTolerance;
}

bool Widget::isClippingParentContainsPoint(const Vec2& worldPoint) const {
    for (const Node* node = getParent(); node; node = node->getParent()) {
        auto* layout = dynamic_cast<const Layout*>(node);
        if (layout && layout->isClippingEnabled() && !layout->getClippingRect().containsPoint(worldPoint)) {
            return false;
        }
    }
    return true;
}

bool Widget::containsWorldPoint(const Vec2& worldPoint) const {
    return containsNodePoint(convertToNodeSpace(worldPoint)) && isClippingParentContainsPoint(worldPoint);
}

bool Widget::hitTest(const Vec2& worldPoint) const {
    if (!_enabled || !_touchEnabled || !isVisibleInTree()) {
        return false;
    }
    return containsWorldPoint(worldPoint);
}

bool Widget::raiseTouchEvent(TouchEventType type) {
    if (_touchEventCallback) {
        // A copy: the callback may replace the listener while it runs.
        ccWidgetTouchCallback callback = _touchEventCallback;
        callback(this, type);
    }
    return isRunning();
}

bool Widget::onTouchBegan(Touch* touch, Event*) {
    if (_pressed || !hitTest(touch->getLocation())) {
        return false;
    }
    _pressed = true;
    _pressedTouchId = touch->getID();
    setHighlighted(true);
    raiseTouchEvent(TouchEventType::BEGAN);
    return true;
}

void Widget::onTouchMoved(Touch* touch, Event*) {
    if (!_pressed || touch->getID() != _pressedTouchId) {
        return;
    }
    setHighlighted(containsWorldPoint(touch->getLocation()));
    raiseTouchEvent(TouchEventType::MOVED);
}

void Widget::onTouchEnded(Touch* touch, Event*) {
    if (!_pressed || touch->getID() != _pressedTouchId) {
        return;
    }
    _pressed = false;
    _pressedTouchId = -1;
    const bool inside = containsWorldPoint(touch->getLocation());
    // Cleared before the callbacks, so a click handler may set the highlight for good.
    setHighlighted(false);
    if (!inside) {
        raiseTouchEvent(TouchEventType::CANCELED);
        return;
    }
    onReleasedInside();
    if (!isRunning() || !raiseTouchEvent(TouchEventType::ENDED)) {
        return;
    }
    if (_clickEventCallback) {
        ccWidgetClickCallback callback = _clickEventCallback;
        callback(this);
    }
}

void Widget::onTouchCancelled(Touch* touch, Event*) {
    if (!_pressed || touch->getID() != _pressedTouchId) {
        return;
    }
    _pressed = false;
    _pressedTouchId = -1;
    setHighlighted(false);
    raiseTouchEvent(TouchEventType::CANCELED);
}

void Widget::setContentSize(const Size& size) {
    _ignoreSize = false;
    Node::setContentSize(size);
    onSizeChanged();
}

void Widget::ignoreContentAdaptWithSize(bool ignore) {
    _ignoreSize = ignore;
    if (ignore) {
        updateContentSize();
    }
}

void Widget::updateContentSize() {
    Size size;
    if (_ignoreSize && getContentAdaptSize(size)) {
        Node::setContentSize(size);
    }
    onSizeChanged();
}

Color4B Widget::getTint() const {
    const Color3B& c = getDisplayedColor();
    return Color4B(c.r, c.g, c.b, getDisplayedOpacity());
}

Widget* Widget::createCloneInstance() const {
    return Widget::create();
}

Widget* Widget::clone() const {
    Widget* copy = createCloneInstance();
    if (!copy) {
        return nullptr;
    }
    copy->copyProperties(this);
    copy->cloneChildrenOf(this);
    return copy;
}

void Widget::copyProperties(const Widget* model) {
    copyNodeProperties(this, model);
    _enabled = model->_enabled;
    _bright = model->_bright;
    _highlighted = model->_highlighted;
    setTouchEnabled(model->_touchEnabled);
    _touchEventCallback = model->_touchEventCallback;
    _clickEventCallback = model->_clickEventCallback;
    copySpecialProperties(model);
    // The size last: loading the kind's pictures may have adapted it.
    _ignoreSize = model->_ignoreSize;
    Node::setContentSize(model->getContentSize());
    onSizeChanged();
}

void Widget::cloneChildrenOf(const Widget* model) {
    cloneChildren(this, model);
}

} // namespace engine::ui
