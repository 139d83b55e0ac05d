// The management page of one grade: four stage tabs and the rows of the chosen stage's lectures.
#pragma once

#include "common/BaseScene.h"

namespace engine {
class Node;
class Ref;
} // namespace engine

class ManageScene : public BaseScene {
public:
    static ManageScene* create() { return createScene<ManageScene>(); }

    // BaseScene's order, then the background music.
    bool init() override;
    void initRes() override;

    void refreshRows();
    void onStageClicked(engine::Ref* sender);
    void onRowClicked(engine::Ref* sender, int row);
    void onDeleteClicked(engine::Ref* sender, int row);
    void onReturn();

protected:
    friend class BaseScene;
    ManageScene() = default;

private:
    engine::Node* rootNode = nullptr;
};
