// Line matching pages (codes 301-303): a picture of one group is joined to a picture of the other by a line; show
// answer colours each line right or wrong.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "base/Geometry.h"
#include "topics/TopicTypeLayer.h"

namespace engine {
class DrawNode;
}

struct LineRecord {
    engine::Vec2 start;
    engine::Vec2 end;
    engine::DrawNode* line = nullptr;
};

class LineImage : public TopicTypeLayer {
public:
    static LineImage* create() { return createLayer<LineImage>(); }

    // The line key holds one digit per side.
    static constexpr int kMaxPictures = 9;

    void initData() override;
    void initRes() override;
    void autoLayoutWidgets() override;

    void onOperImgClick(engine::Ref* sender, const int& index);
    void onLineImgClick(engine::Ref* sender, const int& index);
    void blinkWidget(engine::Node* widget, bool selected, int side);
    void onBlinkEnd(engine::Node* widget, bool selected, int side);
    bool isLinked(const std::string& name) const;
    void updateFrame(engine::Node* widget, bool show, int side, int imageNumber);
    void showFrameAndPoint(int index, int side, int imageNumber);
    void resetImgAnchorPoint(engine::Node* frame, int side);
    // Marks every drawn line right or wrong; true when the lines are exactly the answers.
    bool showAnswer();

    const std::map<std::string, LineRecord>& getLines() const { return lines; }

private:
    friend class BaseLayer;
    LineImage() = default;

    // A click on picture index (from 1) of side 1 (OperImg) or 2 (LineImg).
    void onPictureClick(engine::Node* picture, int index, int side);
    // "Img_Frame<side><tag>" of a picture, or null.
    engine::Node* frameOf(int side, int tag) const;
    // Joins the two selected pictures; without both frames no line can be placed and the selections go.
    void joinSelected();
    // Redraws the line of key in colour and gives both pictures frame image k.
    void markLine(const std::string& key, const LineRecord& record, const char* colour, int k);

    std::vector<engine::ui::Widget*> operImgs;
    std::vector<engine::ui::Widget*> lineImgs;
    engine::Node* selectedOper = nullptr;
    engine::Node* selectedLine = nullptr;
    bool busy = false;
    std::vector<std::string> linkedNames;
    std::map<std::string, LineRecord> lines;
};
