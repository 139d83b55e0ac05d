// Colour-fill pages (codes 401-403): the pupil picks a colour swatch, then taps a region of the picture; a region
// of the chosen colour is covered by its coloured answer picture.
#pragma once

#include "topics/TopicTypeLayer.h"

namespace engine::ui {
class Widget;
}

class ClickColor : public TopicTypeLayer {
public:
    static ClickColor* create() { return createLayer<ClickColor>(); }

    void initData() override { selectedColor = 0; }
    void initRes() override;

    void onSwatchClick(engine::ui::Widget* sender);
    // index is the region's 0-based place among the visible "PanelImg" regions.
    void onRegionClick(engine::ui::Widget* sender, int index);
    void onFeedbackEnd();

    int getSelectedColor() const { return selectedColor; }

private:
    friend class BaseLayer;
    ClickColor() = default;

    // Number of the swatch chosen last; 0 before any.
    int selectedColor = 0;
};
