// Base of every screen: builds itself in a fixed order and frees unused cached pictures when it goes.
#pragma once

#include <new>

#include "scene/Scene.h"

class BaseScene : public engine::Scene {
public:
    static BaseScene* create() { return createScene<BaseScene>(); }

    ~BaseScene() override;

    // Scene::init, then initData, initRes and screenAdaptation.
    bool init() override;

    virtual void initData();
    virtual void initRes();
    virtual void screenAdaptation();

    // The login screen answers true; services ask through loginShows, without knowing the scene.
    virtual bool isLoginScreen() const { return false; }
    // The running scene is the login screen.
    static bool loginShows();

protected:
    BaseScene() = default;

    // The create convention: construct, init, autorelease; null (and deleted) when init fails. T's constructor
    // must be reachable from here (public, or BaseScene a friend).
    template <class T> static T* createScene() {
        T* scene = new (std::nothrow) T();
        if (scene && scene->init()) {
            scene->autorelease();
            return scene;
        }
        delete scene;
        return nullptr;
    }
};
