// Base of the tools, overlays and exercise pages: builds itself in a fixed order; when it goes it stops the
// current voice sound and frees unused cached pictures.
#pragma once

#include <new>

#include "scene/Layer.h"

class BaseLayer : public engine::Layer {
public:
    static BaseLayer* create() { return createLayer<BaseLayer>(); }

    ~BaseLayer() override;

    // Layer::init, then initData, initRes, screenAdaptation and autoLayoutWidgets.
    bool init() override;

    virtual void initData();
    virtual void initRes();
    virtual void screenAdaptation();
    virtual void autoLayoutWidgets();

protected:
    BaseLayer() = default;

    // The create convention: construct, init, autorelease; null (and deleted) when init fails. T's constructor
    // must be reachable from here (public, or BaseLayer a friend).
    template <class T> static T* createLayer() {
        T* layer = new (std::nothrow) T();
        if (layer && layer->init()) {
            layer->autorelease();
            return layer;
        }
        delete layer;
        return nullptr;
    }
};
