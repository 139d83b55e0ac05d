#include "scenes/GoToLogin.h"

#include "base/Director.h"
#include "scenes/LoginScene.h"

void goToLogin() {
    if (auto* scene = LoginScene::create()) {
        // Scenes pushed over the lesson go too: the login scene is the only one left.
        engine::Director::getInstance()->popToRootScene();
        engine::Director::getInstance()->replaceScene(scene);
    }
}
