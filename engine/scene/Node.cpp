#include "scene/Node.h"

#include <algorithm>
#include <cmath>

#include "base/Director.h"
#include "base/Log.h"
#include "base/Scheduler.h"
#include "base/Touch.h"
#include "render/Renderer.h"
#include "scene/Action.h"
#include "scene/ActionManager.h"

namespace engine {

namespace {
uint64_t g_nextArrival = 1;
}

Node::Node() { _orderOfArrival = g_nextArrival++; }

Node* Node::create() {
    Node* node = new (std::nothrow) Node();
    if (node && node->init()) {
        node->autorelease();
        return node;
    }
    delete node;
    return nullptr;
}

Node::~Node() {
    Director* director = Director::getInstance();
    if (director->getActionManager()) {
        director->getActionManager()->removeAllActionsFromTarget(this);
    }
    if (director->getScheduler()) {
        director->getScheduler()->unscheduleAllForTarget(this);
    }
    if (director->getEventDispatcher()) {
        director->getEventDispatcher()->removeEventListenersForTarget(this);
    }
    for (Node* child : _children) {
        child->_parent = nullptr;
    }
}

void Node::addChild(Node* child) { addChild(child, child ? child->_localZOrder : 0); }

void Node::addChild(Node* child, int localZOrder, int tag) {
    if (child) {
        child->_tag = tag;
    }
    addChild(child, localZOrder);
}

void Node::addChild(Node* child, int localZOrder, const std::string& name) {
    if (child) {
        child->_name = name;
    }
    addChild(child, localZOrder);
}

void Node::addChild(Node* child, int localZOrder) {
    if (!child) {
        log("addChild: null child refused");
        return;
    }
    if (child->_parent) {
        log("addChild: child already has a parent");
        return;
    }
    if (child == this) {
        log("addChild: a node cannot be its own child");
        return;
    }
    insertChild(child, localZOrder);
    if (_running) {
        child->onEnter();
        child->onEnterTransitionDidFinish();
    }
    if (_cascadeColor) {
        child->updateDisplayedColor(_displayedColor);
    }
    if (_cascadeOpacity) {
        child->updateDisplayedOpacity(_displayedOpacity);
    }
}

void Node::insertChild(Node* child, int z) {
    _children.pushBack(child);
    child->_parent = this;
    child->_localZOrder = z;
    child->_orderOfArrival = g_nextArrival++;
}

void Node::removeFromParentAndCleanup(bool cleanup) {
    if (_parent) {
        _parent->removeChild(this, cleanup);
    }
}

void Node::removeChild(Node* child, bool cleanup) {
    if (!child) {
        return;
    }
    const ssize_t index = _children.getIndex(child);
    if (index >= 0) {
        detachChild(child, index, cleanup);
    }
}

void Node::detachChild(Node* child, ssize_t index, bool cleanup) {
    // Keep the child alive through its exit hooks, then drop our reference.
    child->retain();
    if (_running) {
        child->onExitTransitionDidStart();
        child->onExit();
    }
    if (cleanup) {
        child->cleanup();
    }
    child->_parent = nullptr;
    _children.erase(static_cast<size_t>(index));
    child->release();
}

void Node::removeAllChildrenWithCleanup(bool cleanup) {
    while (!_children.empty()) {
        detachChild(_children.back(), static_cast<ssize_t>(_children.size()) - 1, cleanup);
    }
}

void Node::removeChildByTag(int tag, bool cleanup) {
    if (Node* child = getChildByTag(tag)) {
        removeChild(child, cleanup);
    }
}

void Node::removeChildByName(const std::string& name, bool cleanup) {
    if (Node* child = getChildByName(name)) {
        removeChild(child, cleanup);
    }
}

Node* Node::getChildByTag(int tag) const {
    for (Node* child : _children) {
        if (child->_tag == tag) {
            return child;
        }
    }
    return nullptr;
}

Node* Node::getChildByName(const std::string& name) const {
    for (Node* child : _children) {
        if (child->_name == name) {
            return child;
        }
    }
    return nullptr;
}

void Node::setPosition(const Vec2& position) { _position = position; }
void Node::setAnchorPoint(const Vec2& anchor) { _anchorPoint = anchor; }
void Node::setContentSize(const Size& size) { _contentSize = size; }
void Node::setScale(float scale) { _scaleX = _scaleY = scale; }
void Node::setScale(float scaleX, float scaleY) {
    _scaleX = scaleX;
    _scaleY = scaleY;
}
void Node::setScaleX(float scaleX) { _scaleX = scaleX; }
void Node::setScaleY(float scaleY) { _scaleY = scaleY; }
void Node::setRotation(float degrees) { _rotation = degrees; }
void Node::setIgnoreAnchorPointForPosition(bool ignore) { _ignoreAnchorPointForPosition = ignore; }

Vec2 Node::getAnchorPointInPoints() const {
    return Vec2(_anchorPoint.x * _contentSize.width, _anchorPoint.y * _contentSize.height);
}

Mat4 Node::getNodeToParentTransform() const {
    Mat4 t = Mat4::translation(_position.x, _position.y);
    if (_rotation != 0.f) {
        t = t * Mat4::rotationClockwise(_rotation);
    }
    if (_scaleX != 1.f || _scaleY != 1.f) {
        t = t * Mat4::scaling(_scaleX, _scaleY);
    }
    if (!_ignoreAnchorPointForPosition) {
        const Vec2 anchor = getAnchorPointInPoints();
        if (anchor.x != 0.f || anchor.y != 0.f) {
            t = t * Mat4::translation(-anchor.x, -anchor.y);
        }
    }
    return t;
}

Mat4 Node::getNodeToWorldTransform() const {
    Mat4 t = getNodeToParentTransform();
    for (const Node* p = _parent; p; p = p->_parent) {
        t = p->getNodeToParentTransform() * t;
    }
    return t;
}

Mat4 Node::getWorldToNodeTransform() const { return getNodeToWorldTransform().getInversed(); }

Vec2 Node::convertToNodeSpace(const Vec2& worldPoint) const {
    return getWorldToNodeTransform().transformPoint(worldPoint);
}

Vec2 Node::convertToWorldSpace(const Vec2& nodePoint) const {
    return getNodeToWorldTransform().transformPoint(nodePoint);
}

Vec2 Node::convertToNodeSpaceAR(const Vec2& worldPoint) const {
    return convertToNodeSpace(worldPoint) - getAnchorPointInPoints();
}

Vec2 Node::convertToWorldSpaceAR(const Vec2& nodePoint) const {
    return convertToWorldSpace(nodePoint + getAnchorPointInPoints());
}

Rect Node::getBoundingBox() const {
    const Mat4 t = getNodeToParentTransform();
    const Vec2 corners[4] = {t.transformPoint(Vec2(0, 0)), t.transformPoint(Vec2(_contentSize.width, 0)),
                             t.transformPoint(Vec2(0, _contentSize.height)),
                             t.transformPoint(Vec2(_contentSize.width, _contentSize.height))};
    float minX = corners[0].x, maxX = corners[0].x, minY = corners[0].y, maxY = corners[0].y;
    for (const Vec2& c : corners) {
        minX = std::min(minX, c.x);
        maxX = std::max(maxX, c.x);
        minY = std::min(minY, c.y);
        maxY = std::max(maxY, c.y);
    }
    return Rect(minX, minY, maxX - minX, maxY - minY);
}

bool Node::isVisibleInTree() const {
    for (const Node* n = this; n; n = n->_parent) {
        if (!n->_visible || n->_scaleX == 0.f || n->_scaleY == 0.f) {
            return false;
        }
    }
    return true;
}

void Node::setOpacity(GLubyte opacity) {
    _realOpacity = opacity;
    GLubyte parentOpacity = 255;
    if (_parent && _parent->_cascadeOpacity) {
        parentOpacity = _parent->_displayedOpacity;
    }
    updateDisplayedOpacity(parentOpacity);
}

void Node::updateDisplayedOpacity(GLubyte parentOpacity) {
    _displayedOpacity = static_cast<GLubyte>(_realOpacity * parentOpacity / 255);
    if (_cascadeOpacity) {
        for (Node* child : _children) {
            child->updateDisplayedOpacity(_displayedOpacity);
        }
    }
}

void Node::setColor(const Color3B& color) {
    _realColor = color;
    Color3B parentColor = Color3B::WHITE;
    if (_parent && _parent->_cascadeColor) {
        parentColor = _parent->_displayedColor;
    }
    updateDisplayedColor(parentColor);
}

void Node::updateDisplayedColor(const Color3B& parentColor) {
    _displayedColor.r = static_cast<GLubyte>(_realColor.r * parentColor.r / 255);
    _displayedColor.g = static_cast<GLubyte>(_realColor.g * parentColor.g / 255);
    _displayedColor.b = static_cast<GLubyte>(_realColor.b * parentColor.b / 255);
    if (_cascadeColor) {
        for (Node* child : _children) {
            child->updateDisplayedColor(_displayedColor);
        }
    }
}

void Node::setCascadeOpacityEnabled(bool enabled) {
    _cascadeOpacity = enabled;
    for (Node* child : _children) {
        child->updateDisplayedOpacity(enabled ? _displayedOpacity : 255);
    }
}

void Node::setCascadeColorEnabled(bool enabled) {
    _cascadeColor = enabled;
    for (Node* child : _children) {
        child->updateDisplayedColor(enabled ? _displayedColor : Color3B::WHITE);
    }
}

void Node::setLocalZOrder(int z) {
    if (z == _localZOrder) {
        return;
    }
    _localZOrder = z;
    _orderOfArrival = g_nextArrival++;
}

std::vector<Node*> Node::sortedChildren() const {
    std::vector<Node*> sorted(_children.begin(), _children.end());
    std::stable_sort(sorted.begin(), sorted.end(), [](const Node* a, const Node* b) {
        if (a->_localZOrder != b->_localZOrder) {
            return a->_localZOrder < b->_localZOrder;
        }
        return a->_orderOfArrival < b->_orderOfArrival;
    });
    return sorted;
}

void Node::onEnter() {
    _running = true;
    resume();
    // Copy: a child's onEnter may add or remove siblings.
    Vector<Node*> children = _children;
    for (Node* child : children) {
        if (child->_parent == this && !child->_running) {
            child->onEnter();
        }
    }
}

void Node::onEnterTransitionDidFinish() {
    Vector<Node*> children = _children;
    for (Node* child : children) {
        if (child->_parent == this) {
            child->onEnterTransitionDidFinish();
        }
    }
}

void Node::onExit() {
    pause();
    _running = false;
    Vector<Node*> children = _children;
    for (Node* child : children) {
        if (child->_running) {
            child->onExit();
        }
    }
}

void Node::cleanup() {
    stopAllActions();
    unscheduleAllCallbacks();
    if (EventDispatcher* dispatcher = getEventDispatcher()) {
        dispatcher->removeEventListenersForTarget(this);
    }
    Vector<Node*> children = _children;
    for (Node* child : children) {
        child->cleanup();
    }
}

void Node::pause() {
    if (getScheduler()) {
        getScheduler()->pauseTarget(this);
    }
    if (getActionManager()) {
        getActionManager()->pauseTarget(this);
    }
}

void Node::resume() {
    if (getScheduler()) {
        getScheduler()->resumeTarget(this);
    }
    if (getActionManager()) {
        getActionManager()->resumeTarget(this);
    }
}

Action* Node::runAction(Action* action) {
    if (!action) {
        return nullptr;
    }
    getActionManager()->addAction(action, this, !_running);
    return action;
}

void Node::stopAllActions() { getActionManager()->removeAllActionsFromTarget(this); }
void Node::stopAction(Action* action) { getActionManager()->removeAction(action); }
void Node::stopActionByTag(int tag) { getActionManager()->removeActionByTag(tag, this); }
Action* Node::getActionByTag(int tag) { return getActionManager()->getActionByTag(tag, this); }
ssize_t Node::getNumberOfRunningActions() const { return getActionManager()->getNumberOfRunningActionsInTarget(this); }

void Node::schedule(SEL_SCHEDULE selector) { schedule(selector, 0.f); }

void Node::schedule(SEL_SCHEDULE selector, float interval) {
    getScheduler()->schedule(selector, this, interval, !_running);
}

void Node::schedule(SEL_SCHEDULE selector, float interval, unsigned int repeat, float delay) {
    getScheduler()->schedule(selector, this, interval, repeat, delay, !_running);
}

void Node::scheduleOnce(SEL_SCHEDULE selector, float delay) {
    getScheduler()->schedule(selector, this, 0.f, 0, delay, !_running);
}

void Node::schedule(const std::function<void(float)>& callback, const std::string& key) {
    schedule(callback, 0.f, key);
}

void Node::schedule(const std::function<void(float)>& callback, float interval, const std::string& key) {
    // Keep the node alive while its lambda runs.
    Node* self = this;
    getScheduler()->schedule(
        [self, callback](float dt) {
            self->retain();
            callback(dt);
            self->release();
        },
        this, interval, !_running, key);
}

void Node::scheduleOnce(const std::function<void(float)>& callback, float delay, const std::string& key) {
    Node* self = this;
    getScheduler()->schedule(
        [self, callback](float dt) {
            self->retain();
            callback(dt);
            self->release();
        },
        this, 0.f, 0, delay, !_running, key);
}

void Node::unschedule(SEL_SCHEDULE selector) { getScheduler()->unschedule(selector, this); }
void Node::unschedule(const std::string& key) { getScheduler()->unschedule(key, this); }
void Node::unscheduleAllCallbacks() { getScheduler()->unscheduleAllForTarget(this); }
bool Node::isScheduled(SEL_SCHEDULE selector) const { return getScheduler()->isScheduled(selector, this); }
bool Node::isScheduled(const std::string& key) const { return getScheduler()->isScheduled(key, this); }
void Node::scheduleUpdate() { schedule(schedule_selector(Node::update), 0.f); }
void Node::unscheduleUpdate() { unschedule(schedule_selector(Node::update)); }

void Node::visit(Renderer* renderer, const Mat4& parentTransform, uint32_t parentFlags) {
    if (!_visible) {
        return;
    }
    if (_scaleX == 0.f || _scaleY == 0.f) {
        return;
    }
    if (_redrawEveryFrame) {
        renderer->invalidate();
    }
    const Mat4 transform = parentTransform * getNodeToParentTransform();
    // Keep alive: drawing code of a child must not free it mid-visit.
    retain();
    const std::vector<Node*> sorted = sortedChildren();
    size_t i = 0;
    for (; i < sorted.size() && sorted[i]->_localZOrder < 0; ++i) {
        sorted[i]->visit(renderer, transform, parentFlags);
    }
    draw(renderer, transform, parentFlags);
    for (; i < sorted.size(); ++i) {
        sorted[i]->visit(renderer, transform, parentFlags);
    }
    release();
}

void Node::setNeedsRedraw() {
    if (Renderer* renderer = Director::getInstance()->getRenderer()) {
        renderer->invalidate();
    }
}

void Node::visit() {
    Renderer* renderer = Director::getInstance()->getRenderer();
    if (!renderer) {
        return;
    }
    Mat4 parent;
    if (_parent) {
        parent = _parent->getNodeToWorldTransform();
    }
    visit(renderer, parent, 0);
}

EventDispatcher* Node::getEventDispatcher() const { return Director::getInstance()->getEventDispatcher(); }
Scheduler* Node::getScheduler() const { return Director::getInstance()->getScheduler(); }
ActionManager* Node::getActionManager() const { return Director::getInstance()->getActionManager(); }

} // namespace engine
