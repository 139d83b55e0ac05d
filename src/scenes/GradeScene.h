// The grade choice of play mode 1: lights the subject's grades, takes the chosen grade's courseware and its
// schools and classes, and opens the class scene.
#pragma once

#include <string>

#include <rapidjson/document.h>

#include "common/BaseScene.h"
#include "common/LifeToken.h"

namespace engine {
class Node;
class Ref;
} // namespace engine

class GradeScene : public BaseScene {
public:
    static GradeScene* create() { return createScene<GradeScene>(); }

    void initData() override;
    void initRes() override;
    void onEnterTransitionDidFinish() override;

    void setupGradeButtons();
    void onGradeClicked(engine::Ref* sender);
    void onGradeChosen();
    void requestClassList();
    void onClassListReply(const std::string& name, rapidjson::Value& data);
    void onReturn();
    void onResManageClicked();
    void onGradeAnimationsLoaded();

protected:
    friend class BaseScene;
    GradeScene() = default;

private:
    // Pressing: the press effect of a grade runs; waiting: "getClassList" was sent.
    enum class ClassListState { Idle, Pressing, Waiting };

    engine::Node* root = nullptr;
    ClassListState classListState = ClassListState::Idle;
    LifeToken lifeToken;
};
