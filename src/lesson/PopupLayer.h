// The class break and the end of a lecture: one full-window overlay with a rest view and a finish view.
#pragma once

#include <functional>

#include "common/BaseLayer.h"
#include "common/LifeToken.h"

namespace engine {
class Node;
namespace ui {
class Button;
}
} // namespace engine

class PopupLayer : public BaseLayer {
public:
    using RestCallback = std::function<void()>;

    static PopupLayer* create() { return createLayer<PopupLayer>(); }
    ~PopupLayer() override;

    void initData() override;
    void initRes() override;
    void screenAdaptation() override;

    // Stores callback and starts the break: "BreakRest" plays until the teacher ends it.
    void showRest(const RestCallback& callback);
    // Empties the class's pupils and group scores and shows the way out: login again or end the program.
    void showFinish();

    void onLock();
    void onUnLock();
    // A click on the rest view: ignored while locked and once the break is ending.
    void onBreakEnd();
    // Runs the rest callback (when set) and removes the pop-up.
    void runCallbackAndClose();

    bool isBreakEnding() const { return breakEnding; }

private:
    engine::Node* rootNode = nullptr;
    engine::ui::Button* lockButton = nullptr;
    engine::ui::Button* unlockButton = nullptr;
    engine::ui::Button* againButton = nullptr;
    engine::ui::Button* finishButton = nullptr;
    RestCallback restCallback;
    bool breakEnding = false;
    LifeToken life;
};
