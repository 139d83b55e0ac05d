#include "scenes/SceneRoutes.h"

#include "base/Director.h"
#include "common/Routes.h"
#include "scenes/GroupScene.h"
#include "scenes/LoginScene.h"

void goToLogin() {
    if (auto* scene = LoginScene::create()) {
        // Scenes pushed over the lesson go too: the login scene is the only one left.
        engine::Director::getInstance()->popToRootScene();
        engine::Director::getInstance()->replaceScene(scene);
    }
}

namespace {

void pushGrouping(std::function<void()> onReturn) {
    GroupScene* scene = GroupScene::create();
    if (!scene) {
        return;
    }
    scene->returnCallback = std::move(onReturn);
    engine::Director::getInstance()->pushScene(scene);
}

} // namespace

void installSceneRoutes() {
    Routes::install({goToLogin, pushGrouping});
}
