// The node tree: transform, visibility, colour, children, timers, actions and drawing.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "base/Geometry.h"
#include "base/Ref.h"
#include "base/Vector.h"

namespace engine {

class Action;
class ActionManager;
class EventDispatcher;
class Renderer;
class Scheduler;

class Node : public Ref {
public:
    static constexpr int INVALID_TAG = -1;

    static Node* create();
    virtual bool init() { return true; }
    ~Node() override;

    // Children. A null child, or one that already has a parent, is refused with a log line.
    virtual void addChild(Node* child);
    virtual void addChild(Node* child, int localZOrder);
    virtual void addChild(Node* child, int localZOrder, int tag);
    virtual void addChild(Node* child, int localZOrder, const std::string& name);
    virtual void removeChild(Node* child, bool cleanup = true);
    virtual void removeAllChildren() { removeAllChildrenWithCleanup(true); }
    virtual void removeAllChildrenWithCleanup(bool cleanup);
    void removeChildByTag(int tag, bool cleanup = true);
    void removeChildByName(const std::string& name, bool cleanup = true);
    void removeFromParent() { removeFromParentAndCleanup(true); }
    virtual void removeFromParentAndCleanup(bool cleanup);
    // Insertion order, whatever the z-orders.
    const Vector<Node*>& getChildren() const { return _children; }
    ssize_t getChildrenCount() const { return static_cast<ssize_t>(_children.size()); }
    Node* getChildByTag(int tag) const;
    Node* getChildByName(const std::string& name) const;
    Node* getParent() const { return _parent; }

    void setTag(int tag) { _tag = tag; }
    int getTag() const { return _tag; }
    void setName(const std::string& name) { _name = name; }
    const std::string& getName() const { return _name; }

    // Transform.
    virtual void setPosition(const Vec2& position);
    void setPosition(float x, float y) { setPosition(Vec2(x, y)); }
    const Vec2& getPosition() const { return _position; }
    void setPositionX(float x) { setPosition(Vec2(x, _position.y)); }
    void setPositionY(float y) { setPosition(Vec2(_position.x, y)); }
    float getPositionX() const { return _position.x; }
    float getPositionY() const { return _position.y; }
    virtual void setAnchorPoint(const Vec2& anchor);
    const Vec2& getAnchorPoint() const { return _anchorPoint; }
    Vec2 getAnchorPointInPoints() const;
    virtual void setContentSize(const Size& size);
    const Size& getContentSize() const { return _contentSize; }
    virtual void setScale(float scale);
    virtual void setScale(float scaleX, float scaleY);
    virtual void setScaleX(float scaleX);
    virtual void setScaleY(float scaleY);
    float getScale() const { return _scaleX; }
    float getScaleX() const { return _scaleX; }
    float getScaleY() const { return _scaleY; }
    // Degrees, clockwise positive, never wrapped.
    virtual void setRotation(float degrees);
    float getRotation() const { return _rotation; }
    // Scenes and layers place their content at their position, ignoring the anchor.
    void setIgnoreAnchorPointForPosition(bool ignore);
    bool isIgnoreAnchorPointForPosition() const { return _ignoreAnchorPointForPosition; }

    Mat4 getNodeToParentTransform() const;
    Mat4 getNodeToWorldTransform() const;
    Mat4 getWorldToNodeTransform() const;
    Vec2 convertToNodeSpace(const Vec2& worldPoint) const;
    Vec2 convertToWorldSpace(const Vec2& nodePoint) const;
    Vec2 convertToNodeSpaceAR(const Vec2& worldPoint) const;
    Vec2 convertToWorldSpaceAR(const Vec2& nodePoint) const;
    // The content rectangle after anchor, scale, rotation and position, in the parent's space.
    Rect getBoundingBox() const;

    // Look.
    virtual void setVisible(bool visible) { _visible = visible; }
    bool isVisible() const { return _visible; }
    // Visible itself and through every ancestor, and not scaled to zero on the way.
    bool isVisibleInTree() const;
    virtual void setOpacity(GLubyte opacity);
    GLubyte getOpacity() const { return _realOpacity; }
    GLubyte getDisplayedOpacity() const { return _displayedOpacity; }
    virtual void setColor(const Color3B& color);
    const Color3B& getColor() const { return _realColor; }
    const Color3B& getDisplayedColor() const { return _displayedColor; }
    void setCascadeOpacityEnabled(bool enabled);
    bool isCascadeOpacityEnabled() const { return _cascadeOpacity; }
    void setCascadeColorEnabled(bool enabled);
    bool isCascadeColorEnabled() const { return _cascadeColor; }
    virtual void updateDisplayedOpacity(GLubyte parentOpacity);
    virtual void updateDisplayedColor(const Color3B& parentColor);

    // Draw order: by local z, then arrival. A new z makes the node the last arrival of its band.
    virtual void setLocalZOrder(int z);
    int getLocalZOrder() const { return _localZOrder; }
    uint64_t getOrderOfArrival() const { return _orderOfArrival; }

    // Life in the running tree.
    virtual void onEnter();
    virtual void onEnterTransitionDidFinish();
    virtual void onExitTransitionDidStart() {}
    virtual void onExit();
    // Stops actions, timers and touch listeners of this node and its subtree.
    virtual void cleanup();
    bool isRunning() const { return _running; }

    // Actions.
    Action* runAction(Action* action);
    void stopAllActions();
    void stopAction(Action* action);
    void stopActionByTag(int tag);
    Action* getActionByTag(int tag);
    ssize_t getNumberOfRunningActions() const;

    // Timers; they start when the node enters, pause on exit and are dropped by cleanup.
    void schedule(SEL_SCHEDULE selector);
    void schedule(SEL_SCHEDULE selector, float interval);
    void schedule(SEL_SCHEDULE selector, float interval, unsigned int repeat, float delay);
    void scheduleOnce(SEL_SCHEDULE selector, float delay);
    void schedule(const std::function<void(float)>& callback, const std::string& key);
    void schedule(const std::function<void(float)>& callback, float interval, const std::string& key);
    void scheduleOnce(const std::function<void(float)>& callback, float delay, const std::string& key);
    void unschedule(SEL_SCHEDULE selector);
    void unschedule(const std::string& key);
    void unscheduleAllCallbacks();
    bool isScheduled(SEL_SCHEDULE selector) const;
    bool isScheduled(const std::string& key) const;
    void scheduleUpdate();
    void unscheduleUpdate();
    virtual void update(float dt) {}
    void pause();
    void resume();

    // A frame whose drawing calls are those of the frame drawn last (same textures with the same pixels, same
    // places, colours and clips) is not drawn again. A node whose picture changes in a way its drawing calls do not
    // show calls setNeedsRedraw(); one that must be drawn on every frame it is visited sets setRedrawEveryFrame.
    void setNeedsRedraw();
    void setRedrawEveryFrame(bool every) { _redrawEveryFrame = every; }
    bool isRedrawEveryFrame() const { return _redrawEveryFrame; }

    // Drawing. visit() on a node with no parent draws it with its own position as world transform.
    virtual void visit(Renderer* renderer, const Mat4& parentTransform, uint32_t parentFlags);
    void visit();
    virtual void draw(Renderer* renderer, const Mat4& transform, uint32_t flags) {}

    EventDispatcher* getEventDispatcher() const;
    Scheduler* getScheduler() const;
    ActionManager* getActionManager() const;

    void setUserData(void* data) { _userData = data; }
    void* getUserData() const { return _userData; }

protected:
    friend class EventDispatcher;
    Node();
    // Children sorted by z then arrival (a copy; the child list keeps insertion order).
    std::vector<Node*> sortedChildren() const;
    void detachChild(Node* child, ssize_t index, bool cleanup);
    void insertChild(Node* child, int z);

    Vec2 _position;
    Vec2 _anchorPoint;
    Size _contentSize;
    float _scaleX = 1.f, _scaleY = 1.f;
    float _rotation = 0.f;
    bool _ignoreAnchorPointForPosition = false;

    bool _visible = true;
    GLubyte _realOpacity = 255, _displayedOpacity = 255;
    Color3B _realColor = Color3B::WHITE, _displayedColor = Color3B::WHITE;
    bool _cascadeOpacity = true, _cascadeColor = true;

    int _localZOrder = 0;
    uint64_t _orderOfArrival = 0;
    int _tag = INVALID_TAG;
    std::string _name;
    void* _userData = nullptr;

    Vector<Node*> _children;
    Node* _parent = nullptr;
    bool _running = false;
    bool _redrawEveryFrame = false;
};

} // namespace engine
