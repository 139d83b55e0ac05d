#include "topics/LineImage.h"

#include <algorithm>
#include <cctype>

#include "base/Director.h"
#include "base/Log.h"
#include "common/CommonTools.h"
#include "common/UITools.h"
#include "scene/ActionComposites.h"
#include "scene/ActionInstants.h"
#include "scene/ActionIntervals.h"
#include "scene/DrawNode.h"
#include "topics/TopicManage.h"
#include "ui/ImageView.h"

namespace {

const char* const kDrawing = "994eff";
const char* const kRight = "2bb628";
const char* const kWrong = "dc4642";

TopicManage* topicData() {
    return TopicManage::getInstance();
}

engine::Color4F colour(const char* hex) {
    return engine::Color4F(CommonTools::getInstance()->hexToColor4B(hex));
}

bool inRows() {
    const int code = topicData()->getLayoutModel();
    return code == 301 || code == 303;
}

// A line key of two digits, 1-9 each, as its two picture numbers.
bool keyNumbers(const std::string& key, int& oper, int& line) {
    if (key.size() != 2 || !std::isdigit(static_cast<unsigned char>(key[0])) ||
        !std::isdigit(static_cast<unsigned char>(key[1]))) {
        return false;
    }
    oper = key[0] - '0';
    line = key[1] - '0';
    return oper > 0 && line > 0;
}

} // namespace

void LineImage::initData() {
    operImgs.clear();
    lineImgs.clear();
    selectedOper = selectedLine = nullptr;
    busy = false;
    linkedNames.clear();
}

void LineImage::initRes() {
    if (loadPage()) {
        topicData()->loadTopicImages(rootNode, true);
    }
}

void LineImage::autoLayoutWidgets() {
    if (!rootNode) {
        return;
    }
    TopicManage* data = topicData();
    auto arrange = [this, data](const char* prefix, std::vector<engine::ui::Widget*>& list) {
        const int count = static_cast<int>(data->getWidget(rootNode, prefix, 1).size());
        list = inRows() ? data->initContentPanel(rootNode, prefix, 1, 1, count, 1)
                        : data->initContentPanel(rootNode, prefix, 1, 2, 1, count);
        // Pictures past the ninth cannot be named in a line key.
        if (list.size() > static_cast<size_t>(kMaxPictures)) {
            list.resize(kMaxPictures);
        }
    };
    arrange("OperImg", operImgs);
    arrange("LineImg", lineImgs);
    for (size_t i = 0; i < operImgs.size(); ++i) {
        const int index = static_cast<int>(i) + 1;
        bindClick(operImgs[i], [this, index](engine::ui::Widget* picture) { onOperImgClick(picture, index); });
    }
    for (size_t i = 0; i < lineImgs.size(); ++i) {
        const int index = static_cast<int>(i) + 1;
        bindClick(lineImgs[i], [this, index](engine::ui::Widget* picture) { onLineImgClick(picture, index); });
    }
}

void LineImage::onOperImgClick(engine::Ref* sender, const int& index) {
    onPictureClick(dynamic_cast<engine::Node*>(sender), index, 1);
}

void LineImage::onLineImgClick(engine::Ref* sender, const int& index) {
    onPictureClick(dynamic_cast<engine::Node*>(sender), index, 2);
}

void LineImage::onPictureClick(engine::Node* picture, int index, int side) {
    const std::string name = (side == 1 ? "OperImg" : "LineImg") + std::to_string(index);
    if (!picture || busy || isLinked(name)) {
        return;
    }
    engine::Node*& selected = side == 1 ? selectedOper : selectedLine;
    if (selected == picture) {
        selected = nullptr;
        blinkWidget(picture, false, side);
        return;
    }
    if (selected) {
        if (engine::Node* frame = frameOf(side, selected->getTag())) {
            frame->setVisible(false);
        }
    }
    selected = picture;
    picture->setTag(index);
    blinkWidget(picture, true, side);
}

void LineImage::blinkWidget(engine::Node* widget, bool selected, int side) {
    busy = true;
    widget->runAction(engine::Sequence::create(
        engine::Blink::create(0.3f, 1),
        engine::CallFunc::create(life.guard([this, widget, selected, side] { onBlinkEnd(widget, selected, side); })),
        nullptr));
}

void LineImage::onBlinkEnd(engine::Node* widget, bool selected, int side) {
    busy = false;
    updateFrame(widget, selected, side, 0);
    if (selectedOper && selectedLine) {
        joinSelected();
    }
}

void LineImage::joinSelected() {
    const int oper = selectedOper->getTag();
    const int line = selectedLine->getTag();
    engine::Node* from = frameOf(1, oper);
    engine::Node* to = frameOf(2, line);
    selectedOper = selectedLine = nullptr;
    if (!from || !to) {
        // No frame, no place for the line's end: nothing is joined.
        for (engine::Node* frame : {from, to}) {
            if (frame) {
                frame->setVisible(false);
            }
        }
        return;
    }
    auto inRoot = [this](engine::Node* node) {
        return node->getParent()
                   ? rootNode->convertToNodeSpace(node->getParent()->convertToWorldSpace(node->getPosition()))
                   : node->getPosition();
    };
    LineRecord record{inRoot(from), inRoot(to), engine::DrawNode::create(3.f)};
    rootNode->addChild(record.line);
    record.line->drawLine(record.start, record.end, colour(kDrawing));
    lines[std::to_string(oper) + std::to_string(line)] = record;
    linkedNames.push_back("OperImg" + std::to_string(oper));
    linkedNames.push_back("LineImg" + std::to_string(line));
}

bool LineImage::isLinked(const std::string& name) const {
    return std::find(linkedNames.begin(), linkedNames.end(), name) != linkedNames.end();
}

engine::Node* LineImage::frameOf(int side, int tag) const {
    return UITools::seekChildByName(rootNode, "Img_Frame" + std::to_string(side) + std::to_string(tag));
}

void LineImage::updateFrame(engine::Node* widget, bool show, int side, int imageNumber) {
    engine::Node* frame = widget ? frameOf(side, widget->getTag()) : nullptr;
    if (!frame) {
        return;
    }
    frame->setVisible(show);
    const std::string k = std::to_string(imageNumber);
    auto* picture = dynamic_cast<engine::ui::ImageView*>(frame);
    if (show) {
        frame->setPosition(widget->getPosition());
        if (picture) {
            picture->loadTexture("Topic/Image_Line_Frame" + k + ".png");
            picture->setScale9Enabled(true);
            picture->ignoreContentAdaptWithSize(false);
            picture->setContentSize(widget->getContentSize() * 1.2f);
        }
        resetImgAnchorPoint(frame, side);
    }
    if (auto* point = dynamic_cast<engine::ui::ImageView*>(UITools::seekChildByName(frame, "Img_Point"))) {
        const std::string file = "Topic/Image_Line_Point" + k + ".png";
        point->loadTexture(file);
        point->setVisible(true);
        TopicManage::fitToPicture(point, file);
    }
}

void LineImage::showFrameAndPoint(int index, int side, int imageNumber) {
    if (side != 1 && side != 2) {
        engine::log("LineLayer::showFrameAndPoint error line frame image type : %d", side);
        return;
    }
    if (engine::Node* widget = numbered(side == 1 ? "OperImg" : "LineImg", index)) {
        updateFrame(widget, true, side, imageNumber);
    }
}

void LineImage::resetImgAnchorPoint(engine::Node* frame, int side) {
    const float w = frame->getContentSize().width;
    const float h = frame->getContentSize().height;
    engine::Node* point = UITools::seekChildByName(frame, "Img_Point");
    if (point) {
        point->setVisible(true);
    }
    engine::Vec2 anchor, shift, dot;
    if (side == 1 && inRows()) {
        anchor = {0.5f, 0.f}, shift = {0.f, -h * 0.5f}, dot = {w * 0.5f, 0.f};
    } else if (side == 2 && inRows()) {
        anchor = {0.5f, 1.f}, shift = {0.f, h * 0.5f}, dot = {w * 0.5f, h};
    } else if (side == 1) {
        anchor = {1.f, 0.5f}, shift = {w * 0.5f, 0.f}, dot = {w, h * 0.5f};
    } else if (side == 2) {
        anchor = {0.f, 0.5f}, shift = {-w * 0.5f, 0.f}, dot = {0.f, h * 0.5f};
    } else {
        engine::log("LineLayer::resetImgAnchorPoint error line frame image type : %d", side);
        return;
    }
    frame->setAnchorPoint(anchor);
    frame->setPosition(frame->getPosition() + shift);
    if (point) {
        point->setPosition(dot);
    }
}

void LineImage::markLine(const std::string& key, const LineRecord& record, const char* hex, int k) {
    int oper = 0, line = 0;
    keyNumbers(key, oper, line);
    showFrameAndPoint(oper, 1, k);
    showFrameAndPoint(line, 2, k);
    record.line->clear();
    record.line->drawLine(record.start, record.end, colour(hex));
}

bool LineImage::showAnswer() {
    const engine::ValueVector answers = topicData()->getFirstAnswers();
    std::map<std::string, LineRecord> left = lines;
    if (left.empty()) {
        return false;
    }
    bool right = answers.size() == left.size();
    for (const engine::Value& answer : answers) {
        const std::string key = answer.asString();
        int oper = 0, line = 0;
        auto found = keyNumbers(key, oper, line) ? left.find(key) : left.end();
        if (found != left.end()) {
            markLine(key, found->second, kRight, 1);
            left.erase(found);
        }
    }
    for (const auto& [key, record] : left) {
        markLine(key, record, kWrong, 2);
        right = false;
    }
    return right;
}
