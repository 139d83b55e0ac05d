// Runs actions every frame step; targets and actions are retained while a step runs.
#pragma once

#include <sys/types.h>
#include <vector>

#include "base/Ref.h"

namespace engine {

class Action;
class Node;

class ActionManager : public Ref {
public:
    ActionManager();
    ~ActionManager() override;

    // Starts the action on the target now (start values captured); refused (logged) when the action
    // already runs on a node.
    void addAction(Action* action, Node* target, bool paused);
    void removeAllActions();
    void removeAllActionsFromTarget(Node* target);
    void removeAction(Action* action);
    void removeActionByTag(int tag, Node* target);
    Action* getActionByTag(int tag, const Node* target) const;
    ssize_t getNumberOfRunningActionsInTarget(const Node* target) const;
    void pauseTarget(Node* target);
    void resumeTarget(Node* target);

    void update(float dt);

private:
    struct Entry {
        Node* target = nullptr;
        Action* action = nullptr;
        bool paused = false;
        bool removed = false;
    };
    bool isActive(const Action* action) const;
    bool isPausedTarget(const Node* target) const;
    // Stops the actions of entries just marked removed; frees the entries unless a step is running.
    void finishRemoval(const std::vector<Action*>& stopped);
    void purgeRemoved();

    // Entries are only marked removed while a step runs and are erased after it.
    std::vector<Entry> _entries; // each holds a reference to its action
    std::vector<Node*> _pausedTargets;
    bool _updating = false;
};

} // namespace engine
