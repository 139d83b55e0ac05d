// The tip dialog: a text and two buttons on top of the running scene; each button runs its own callback and
// closes the dialog.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/Ref.h"

namespace engine {
class Node;
}

class TipsManager : public engine::Ref {
public:
    using Callback = std::function<void()>;

    static TipsManager* getInstance();

    virtual bool init() { return true; }

    // "Tips.csb" at z-order 106 on the running scene; with no scene yet it waits for the first one.
    void showTips(const std::string& text, const Callback& onButton2, const Callback& onButton1);
    // The same with the text under key in "Strings.plist" (empty when missing).
    void showTipsByKey(const std::string& key, const Callback& onButton2, const Callback& onButton1);
    // Runs callback, then removes the dialog.
    void onButtonClicked(engine::Node* root, const Callback& callback);

private:
    TipsManager() = default;

    void bindButton(engine::Node* root, engine::Node* background, const std::string& name, const Callback& callback);
    // Per-frame while dialogs wait for a scene.
    void addWaitingTips(float dt);

    std::vector<engine::Node*> waitingTips; // retained
};
