// Jigsaw pages (code 601): pieces dragged onto the cells of a board cut by the topic's grid; every drop is judged.
#pragma once

#include <vector>

#include "topics/DragTopicLayer.h"

class Jigsaw : public DragTopicLayer {
public:
    static Jigsaw* create() { return createLayer<Jigsaw>(); }

    void initRes() override;
    void onTouchEnded(engine::Touch* touch, engine::Event* event) override;

    // Sizes and places the cells "PanelImg%d" over the board "ContImg1" by the topic's grid.
    void layoutBoard();
    // Judges the dragged piece dropped at the world point.
    void onDrop(const engine::Vec2& location);

    const std::vector<engine::Node*>& getCells() const { return panelImgs; }

private:
    friend class BaseLayer;
    Jigsaw() = default;
};
