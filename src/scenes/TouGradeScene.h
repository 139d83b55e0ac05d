// The grade choice of course types 2 to 4: one button per grade of the chosen subject; a grade opens its lecture
// list.
#pragma once

#include "common/BaseScene.h"

namespace engine {
class Node;
class Ref;
} // namespace engine

class TouGradeScene : public BaseScene {
public:
    static TouGradeScene* create() { return createScene<TouGradeScene>(); }

    void initData() override;
    void initRes() override;
    // Keeps "Btn_Return" at the window's top edge: its client panel is raised with the layout.
    void screenAdaptation() override;
    void onEnterTransitionDidFinish() override;

    void onGradeClicked(engine::Ref* sender);
    void goToSubject();

    engine::Node* getClientPanel() const { return clientPanel; }

protected:
    friend class BaseScene;
    TouGradeScene() = default;

private:
    engine::Node* clientPanel = nullptr;
};
