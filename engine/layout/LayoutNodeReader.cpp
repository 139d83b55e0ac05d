// Index of this file:
// [SECTION] Keys, colours and small helpers
// [SECTION] Reading typed values
// [SECTION] Nodes and their kinds
// [SECTION] Sprites, pictures and buttons
// [SECTION] Text and text fields
// [SECTION] Panels, sliders, bars and check boxes
// [SECTION] Properties every node has

#include "layout/LayoutNodeReader.h"

#include <rapidjson/document.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>

#include "base/Director.h"
#include "base/InputLimits.h"
#include "base/Log.h"
#include "layout/PlaceholderSprite.h"
#include "platform/FileUtils.h"
#include "scene/Sprite.h"
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/ImageView.h"
#include "ui/Layout.h"
#include "ui/LoadingBar.h"
#include "ui/Slider.h"
#include "ui/Text.h"
#include "ui/TextField.h"

namespace engine {

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Keys, colours and small helpers
//----------------------------------------------------------------------------------------------------------------------

namespace {

const std::set<std::string> kCommonKeys = {"kind",  "name",     "tag",     "pos",         "anchor",  "size",
                                           "scale", "rotation", "visible", "opacity",     "color",   "z",
                                           "touch", "enabled",  "bright",  "highlighted", "children"};

const std::map<std::string, std::set<std::string>> kKindKeys = {
    {"Node", {}},
    {"Sprite", {"image"}},
    {"ImageView", {"image", "scale9", "capInsets"}},
    {"Button",
     {"normal", "pressed", "disabled", "scale9", "capInsets", "fill", "title", "titleColor", "titleFontSize", "font"}},
    {"Text", {"text", "font", "fontSize", "textColor", "area", "hAlign", "vAlign"}},
    {"TextField",
     {"text", "placeholder", "placeholderColor", "font", "fontSize", "textColor", "maxLength", "password",
      "passwordChar", "area"}},
    {"Panel", {"fill", "fillOpacity", "image", "scale9", "capInsets", "clip"}},
    {"Slider",
     {"bar", "progress", "ball", "ballPressed", "ballDisabled", "barFill", "progressFill", "ballFill", "ballSize",
      "percent"}},
    {"LoadingBar", {"image", "fill", "percent", "direction"}},
    {"CheckBox", {"box", "boxSelected", "check", "fill", "checkFill", "selected"}},
};

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// "#rrggbb" or "#rrggbbaa".
bool parseColor(const std::string& text, Color4B& out) {
    if ((text.size() != 7 && text.size() != 9) || text[0] != '#') {
        return false;
    }
    GLubyte parts[4] = {0, 0, 0, 255};
    for (size_t i = 0; i + 1 < text.size(); i += 2) {
        const int hi = hexDigit(text[i + 1]), lo = hexDigit(text[i + 2]);
        if (hi < 0 || lo < 0) {
            return false;
        }
        parts[i / 2] = static_cast<GLubyte>(hi * 16 + lo);
    }
    out = Color4B(parts[0], parts[1], parts[2], parts[3]);
    return true;
}

Color3B rgbOf(const Color4B& c) {
    return Color3B(c.r, c.g, c.b);
}

float contentScale() {
    return Director::getInstance()->getContentScaleFactor();
}

} // namespace

LayoutNodeReader::LayoutNodeReader(std::string fileName, bool strict)
    : _fileName(std::move(fileName)), _strict(strict) {}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Reading typed values
//----------------------------------------------------------------------------------------------------------------------

void LayoutNodeReader::problem(const std::string& path, const std::string& what) {
    log("CSLoader: %s: %s: %s", _fileName.c_str(), path.c_str(), what.c_str());
    if (_strict) {
        _failed = true;
    }
}

Node* LayoutNodeReader::read(const rapidjson::Value& root) {
    Node* node = readNode(root, "root", 1);
    return _failed || _tooDeep ? nullptr : node;
}

bool LayoutNodeReader::readString(const rapidjson::Value& object, const char* key, std::string& out,
                                  const std::string& path) {
    auto it = object.FindMember(key);
    if (it == object.MemberEnd()) {
        return false;
    }
    if (!it->value.IsString()) {
        problem(path, std::string("\"") + key + "\" must be a string");
        return false;
    }
    out.assign(it->value.GetString(), it->value.GetStringLength());
    return true;
}

bool LayoutNodeReader::readNumber(const rapidjson::Value& object, const char* key, float& out,
                                  const std::string& path) {
    auto it = object.FindMember(key);
    if (it == object.MemberEnd()) {
        return false;
    }
    if (!it->value.IsNumber()) {
        problem(path, std::string("\"") + key + "\" must be a number");
        return false;
    }
    out = static_cast<float>(it->value.GetDouble());
    return true;
}

bool LayoutNodeReader::readInt(const rapidjson::Value& object, const char* key, int& out, const std::string& path) {
    auto it = object.FindMember(key);
    if (it == object.MemberEnd()) {
        return false;
    }
    if (!it->value.IsInt()) {
        problem(path, std::string("\"") + key + "\" must be an integer");
        return false;
    }
    out = it->value.GetInt();
    return true;
}

bool LayoutNodeReader::readBool(const rapidjson::Value& object, const char* key, bool& out, const std::string& path) {
    auto it = object.FindMember(key);
    if (it == object.MemberEnd()) {
        return false;
    }
    if (!it->value.IsBool()) {
        problem(path, std::string("\"") + key + "\" must be true or false");
        return false;
    }
    out = it->value.GetBool();
    return true;
}

bool LayoutNodeReader::readPair(const rapidjson::Value& object, const char* key, float& a, float& b,
                                const std::string& path) {
    auto it = object.FindMember(key);
    if (it == object.MemberEnd()) {
        return false;
    }
    const rapidjson::Value& value = it->value;
    if (!value.IsArray() || value.Size() != 2 || !value[0].IsNumber() || !value[1].IsNumber()) {
        problem(path, std::string("\"") + key + "\" must be [number, number]");
        return false;
    }
    a = static_cast<float>(value[0].GetDouble());
    b = static_cast<float>(value[1].GetDouble());
    return true;
}

bool LayoutNodeReader::readColor(const rapidjson::Value& object, const char* key, Color4B& out,
                                 const std::string& path) {
    std::string text;
    if (!readString(object, key, text, path)) {
        return false;
    }
    if (!parseColor(text, out)) {
        problem(path, std::string("\"") + key + "\" must be \"#rrggbb\" or \"#rrggbbaa\", not \"" + text + "\"");
        return false;
    }
    return true;
}

bool LayoutNodeReader::readCapInsets(const rapidjson::Value& object, const Size& pictureSizeInPoints, Rect& insets,
                                     const std::string& path) {
    auto it = object.FindMember("capInsets");
    if (it == object.MemberEnd()) {
        return false;
    }
    const rapidjson::Value& value = it->value;
    bool ok = value.IsArray() && value.Size() == 4;
    for (rapidjson::SizeType i = 0; ok && i < 4; ++i) {
        ok = value[i].IsNumber();
    }
    if (!ok) {
        problem(path, "\"capInsets\" must be [left, top, right, bottom]");
        return false;
    }
    const float left = static_cast<float>(value[0].GetDouble()), top = static_cast<float>(value[1].GetDouble());
    const float right = static_cast<float>(value[2].GetDouble()), bottom = static_cast<float>(value[3].GetDouble());
    const Size pixels = pictureSizeInPoints * contentScale();
    insets = Rect(left, top, std::max(0.f, pixels.width - left - right), std::max(0.f, pixels.height - top - bottom));
    return true;
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Nodes and their kinds
//----------------------------------------------------------------------------------------------------------------------

void LayoutNodeReader::checkKeys(const rapidjson::Value& object, const std::string& kind, bool knownKind,
                                 const std::string& path) {
    if (!_strict) {
        return;
    }
    const std::set<std::string>* kindKeys = nullptr;
    if (knownKind) {
        kindKeys = &kKindKeys.at(kind);
    }
    for (auto it = object.MemberBegin(); it != object.MemberEnd(); ++it) {
        const std::string key(it->name.GetString(), it->name.GetStringLength());
        if (kCommonKeys.count(key) == 0 && (!kindKeys || kindKeys->count(key) == 0)) {
            problem(path, "unknown key \"" + key + "\" for kind " + kind);
        }
    }
}

Node* LayoutNodeReader::readNode(const rapidjson::Value& object, const std::string& path, int depth) {
    if (depth > limits::kLayoutNodeDepth) {
        if (!_tooDeep) {
            log("CSLoader: %s: nodes nested deeper than %d levels", _fileName.c_str(), limits::kLayoutNodeDepth);
        }
        _tooDeep = true;
        return nullptr;
    }
    if (!object.IsObject()) {
        problem(path, "a node must be an object");
        return nullptr;
    }
    std::string kind;
    if (!readString(object, "kind", kind, path)) {
        kind.clear();
    }
    std::string nodePath = path;
    std::string name;
    if (readString(object, "name", name, path) && !name.empty()) {
        nodePath += " \"" + name + "\"";
    }
    const bool knownKind = kKindKeys.count(kind) != 0;
    if (!knownKind) {
        problem(nodePath, kind.empty() ? "no kind; read as a Node" : "unknown kind \"" + kind + "\"; read as a Node");
    }
    checkKeys(object, kind, knownKind, nodePath);

    Node* node = knownKind ? createNode(kind, object, nodePath) : Node::create();
    if (!node) {
        problem(nodePath, "cannot create the node");
        return nullptr;
    }
    if (!knownKind) {
        applyPlainSize(node, object, nodePath);
    }
    applyCommon(node, object, nodePath);

    auto children = object.FindMember("children");
    if (children != object.MemberEnd()) {
        if (!children->value.IsArray()) {
            problem(nodePath, "\"children\" must be an array");
        } else {
            for (rapidjson::SizeType i = 0; i < children->value.Size() && !_tooDeep; ++i) {
                Node* child = readNode(children->value[i], nodePath + "/" + std::to_string(i), depth + 1);
                if (child) {
                    node->addChild(child);
                }
            }
        }
    }
    return node;
}

Node* LayoutNodeReader::createNode(const std::string& kind, const rapidjson::Value& object, const std::string& path) {
    if (kind == "Sprite") {
        return createSprite(object, path);
    }
    if (kind == "ImageView") {
        return createImageView(object, path);
    }
    if (kind == "Button") {
        return createButton(object, path);
    }
    if (kind == "Text") {
        return createText(object, path);
    }
    if (kind == "TextField") {
        return createTextField(object, path);
    }
    if (kind == "Panel") {
        return createPanel(object, path);
    }
    if (kind == "Slider") {
        return createSlider(object, path);
    }
    if (kind == "LoadingBar") {
        return createLoadingBar(object, path);
    }
    if (kind == "CheckBox") {
        return createCheckBox(object, path);
    }
    Node* node = Node::create();
    if (node) {
        applyPlainSize(node, object, path);
    }
    return node;
}

void LayoutNodeReader::applyPlainSize(Node* node, const rapidjson::Value& object, const std::string& path) {
    Size size;
    if (readPair(object, "size", size.width, size.height, path)) {
        node->setContentSize(size);
    }
}

void LayoutNodeReader::applyPictureSize(ui::Widget* widget, bool hasPicture, const Size& pictureSizeInPoints,
                                        const rapidjson::Value& object, const std::string& path) {
    Size size;
    const bool hasSize = readPair(object, "size", size.width, size.height, path);
    if (hasPicture) {
        // Layout pictures show one pixel per design point whatever the content scale factor.
        widget->ignoreContentAdaptWithSize(false);
        if (hasSize) {
            widget->setContentSize(size);
        } else if (pictureSizeInPoints.width > 0 || pictureSizeInPoints.height > 0) {
            widget->setContentSize(pictureSizeInPoints * contentScale());
        }
    } else if (hasSize) {
        widget->setContentSize(size);
    }
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Sprites, pictures and buttons
//----------------------------------------------------------------------------------------------------------------------

Node* LayoutNodeReader::createSprite(const rapidjson::Value& object, const std::string& path) {
    std::string image;
    Size size;
    const bool hasSize = readPair(object, "size", size.width, size.height, path);
    Sprite* sprite = nullptr;
    if (readString(object, "image", image, path) && !image.empty()) {
        if (FileUtils::getInstance()->fullPathForFilename(image).empty()) {
            log("CSLoader: %s: %s: picture not found: %s", _fileName.c_str(), path.c_str(), image.c_str());
        } else {
            sprite = Sprite::create(image);
        }
        if (!sprite) {
            sprite = PlaceholderSprite::create(hasSize ? size : Size::ZERO);
        }
    } else {
        sprite = Sprite::create();
    }
    if (sprite && hasSize) {
        sprite->setContentSize(size);
    }
    return sprite;
}

Node* LayoutNodeReader::createImageView(const rapidjson::Value& object, const std::string& path) {
    ui::ImageView* view = ui::ImageView::create();
    if (!view) {
        return nullptr;
    }
    std::string image;
    const bool hasPicture = readString(object, "image", image, path) && !image.empty();
    if (hasPicture) {
        view->loadTexture(image);
    }
    bool scale9 = false;
    if (readBool(object, "scale9", scale9, path)) {
        view->setScale9Enabled(scale9);
    }
    Rect insets;
    if (readCapInsets(object, view->getVirtualRendererSize(), insets, path)) {
        view->setCapInsets(insets);
    }
    applyPictureSize(view, hasPicture, view->getVirtualRendererSize(), object, path);
    return view;
}

Node* LayoutNodeReader::createButton(const rapidjson::Value& object, const std::string& path) {
    ui::Button* button = ui::Button::create();
    if (!button) {
        return nullptr;
    }
    std::string normal, pressed, disabled;
    readString(object, "normal", normal, path);
    readString(object, "pressed", pressed, path);
    readString(object, "disabled", disabled, path);
    button->loadTextures(normal, pressed, disabled);
    bool scale9 = false;
    if (readBool(object, "scale9", scale9, path)) {
        button->setScale9Enabled(scale9);
    }
    Rect insets;
    if (readCapInsets(object, button->getVirtualRendererSize(), insets, path)) {
        button->setCapInsets(insets);
    }
    Color4B color;
    if (readColor(object, "fill", color, path)) {
        button->setFillColor(color);
    }
    std::string text;
    if (readString(object, "font", text, path)) {
        button->setTitleFontName(text);
    }
    float fontSize = 0;
    if (readNumber(object, "titleFontSize", fontSize, path) && fontSize > 0) {
        button->setTitleFontSize(fontSize);
    }
    if (readColor(object, "titleColor", color, path)) {
        button->setTitleColor(rgbOf(color));
    }
    if (readString(object, "title", text, path)) {
        button->setTitleText(text);
    }
    applyPictureSize(button, !normal.empty(), button->getVirtualRendererSize(), object, path);
    return button;
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Text and text fields
//----------------------------------------------------------------------------------------------------------------------

namespace {
bool parseHAlign(const std::string& text, TextHAlignment& out) {
    if (text == "left") {
        out = TextHAlignment::LEFT;
    } else if (text == "center") {
        out = TextHAlignment::CENTER;
    } else if (text == "right") {
        out = TextHAlignment::RIGHT;
    } else {
        return false;
    }
    return true;
}

bool parseVAlign(const std::string& text, TextVAlignment& out) {
    if (text == "top") {
        out = TextVAlignment::TOP;
    } else if (text == "center") {
        out = TextVAlignment::CENTER;
    } else if (text == "bottom") {
        out = TextVAlignment::BOTTOM;
    } else {
        return false;
    }
    return true;
}
} // namespace

Node* LayoutNodeReader::createText(const rapidjson::Value& object, const std::string& path) {
    std::string text, font;
    float fontSize = 24;
    readString(object, "text", text, path);
    readString(object, "font", font, path);
    readNumber(object, "fontSize", fontSize, path);
    ui::Text* label = ui::Text::create(text, font, fontSize);
    if (!label) {
        return nullptr;
    }
    Color4B color;
    if (readColor(object, "textColor", color, path)) {
        label->setTextColor(color);
    }
    std::string align;
    if (readString(object, "hAlign", align, path)) {
        TextHAlignment h;
        if (parseHAlign(align, h)) {
            label->setTextHorizontalAlignment(h);
        } else {
            problem(path, "\"hAlign\" must be left, center or right");
        }
    }
    if (readString(object, "vAlign", align, path)) {
        TextVAlignment v;
        if (parseVAlign(align, v)) {
            label->setTextVerticalAlignment(v);
        } else {
            problem(path, "\"vAlign\" must be top, center or bottom");
        }
    }
    Size area;
    if (readPair(object, "area", area.width, area.height, path)) {
        label->setTextAreaSize(area);
    }
    return label;
}

Node* LayoutNodeReader::createTextField(const rapidjson::Value& object, const std::string& path) {
    std::string placeholder, font;
    float fontSize = 24;
    readString(object, "placeholder", placeholder, path);
    readString(object, "font", font, path);
    readNumber(object, "fontSize", fontSize, path);
    ui::TextField* field = ui::TextField::create(placeholder, font, static_cast<int>(fontSize));
    if (!field) {
        return nullptr;
    }
    Color4B color;
    if (readColor(object, "textColor", color, path)) {
        field->setTextColor(color);
    }
    if (readColor(object, "placeholderColor", color, path)) {
        field->setPlaceHolderColor(color);
    }
    int maxLength = 0;
    if (readInt(object, "maxLength", maxLength, path) && maxLength > 0) {
        field->setMaxLength(maxLength);
        field->setMaxLengthEnabled(true);
    }
    bool password = false;
    if (readBool(object, "password", password, path)) {
        field->setPasswordEnabled(password);
    }
    std::string text;
    if (readString(object, "passwordChar", text, path)) {
        field->setPasswordStyleText(text.c_str());
    }
    if (readString(object, "text", text, path)) {
        field->setString(text);
    }
    Size area;
    if (readPair(object, "area", area.width, area.height, path)) {
        field->setTextAreaSize(area);
    }
    return field;
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Panels, sliders, bars and check boxes
//----------------------------------------------------------------------------------------------------------------------

Node* LayoutNodeReader::createPanel(const rapidjson::Value& object, const std::string& path) {
    ui::Layout* panel = ui::Layout::create();
    if (!panel) {
        return nullptr;
    }
    Color4B fill;
    if (readColor(object, "fill", fill, path)) {
        panel->setBackGroundColorType(ui::Layout::BackGroundColorType::SOLID);
        panel->setBackGroundColor(rgbOf(fill));
        panel->setBackGroundColorOpacity(fill.a);
    }
    int opacity = 0;
    if (readInt(object, "fillOpacity", opacity, path)) {
        panel->setBackGroundColorOpacity(static_cast<GLubyte>(std::clamp(opacity, 0, 255)));
    }
    std::string image;
    const bool hasPicture = readString(object, "image", image, path) && !image.empty();
    if (hasPicture) {
        panel->setBackGroundImage(image);
    }
    bool flag = false;
    if (readBool(object, "scale9", flag, path)) {
        panel->setBackGroundImageScale9Enabled(flag);
    }
    Rect insets;
    if (readCapInsets(object, panel->getBackGroundImageTextureSize(), insets, path)) {
        panel->setBackGroundImageCapInsets(insets);
    }
    if (readBool(object, "clip", flag, path)) {
        panel->setClippingEnabled(flag);
    }
    applyPictureSize(panel, hasPicture, panel->getBackGroundImageTextureSize(), object, path);
    return panel;
}

Node* LayoutNodeReader::createSlider(const rapidjson::Value& object, const std::string& path) {
    ui::Slider* slider = ui::Slider::create();
    if (!slider) {
        return nullptr;
    }
    std::string bar, progress, ball, ballPressed, ballDisabled;
    readString(object, "bar", bar, path);
    readString(object, "progress", progress, path);
    readString(object, "ball", ball, path);
    readString(object, "ballPressed", ballPressed, path);
    readString(object, "ballDisabled", ballDisabled, path);
    slider->loadBarTexture(bar);
    slider->loadProgressBarTexture(progress);
    slider->loadSlidBallTextures(ball, ballPressed, ballDisabled);
    Color4B color;
    if (readColor(object, "barFill", color, path)) {
        slider->setBarFillColor(color);
    }
    if (readColor(object, "progressFill", color, path)) {
        slider->setProgressFillColor(color);
    }
    if (readColor(object, "ballFill", color, path)) {
        slider->setBallFillColor(color);
    }
    Size ballSize;
    if (readPair(object, "ballSize", ballSize.width, ballSize.height, path)) {
        slider->setBallSize(ballSize);
    }
    int percent = 0;
    if (readInt(object, "percent", percent, path)) {
        slider->setPercent(percent);
    }
    applyPictureSize(slider, !bar.empty(), slider->getVirtualRendererSize(), object, path);
    return slider;
}

Node* LayoutNodeReader::createLoadingBar(const rapidjson::Value& object, const std::string& path) {
    ui::LoadingBar* bar = ui::LoadingBar::create();
    if (!bar) {
        return nullptr;
    }
    std::string image;
    const bool hasPicture = readString(object, "image", image, path) && !image.empty();
    if (hasPicture) {
        bar->loadTexture(image);
    }
    Color4B fill;
    if (readColor(object, "fill", fill, path)) {
        bar->setFillColor(fill);
    }
    float percent = 0;
    if (readNumber(object, "percent", percent, path)) {
        bar->setPercent(percent);
    }
    std::string direction;
    if (readString(object, "direction", direction, path)) {
        if (direction == "left") {
            bar->setDirection(ui::LoadingBar::Direction::LEFT);
        } else if (direction == "right") {
            bar->setDirection(ui::LoadingBar::Direction::RIGHT);
        } else {
            problem(path, "\"direction\" must be left or right");
        }
    }
    applyPictureSize(bar, hasPicture, bar->getVirtualRendererSize(), object, path);
    return bar;
}

Node* LayoutNodeReader::createCheckBox(const rapidjson::Value& object, const std::string& path) {
    ui::CheckBox* box = ui::CheckBox::create();
    if (!box) {
        return nullptr;
    }
    std::string normal, selected, check;
    readString(object, "box", normal, path);
    readString(object, "boxSelected", selected, path);
    readString(object, "check", check, path);
    box->loadTextures(normal, selected, check);
    Color4B color;
    if (readColor(object, "fill", color, path)) {
        box->setFillColor(color);
    }
    if (readColor(object, "checkFill", color, path)) {
        box->setCheckFillColor(color);
    }
    bool flag = false;
    if (readBool(object, "selected", flag, path)) {
        box->setSelected(flag);
    }
    applyPictureSize(box, !normal.empty(), box->getVirtualRendererSize(), object, path);
    return box;
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Properties every node has
//----------------------------------------------------------------------------------------------------------------------

void LayoutNodeReader::applyCommon(Node* node, const rapidjson::Value& object, const std::string& path) {
    std::string name;
    if (readString(object, "name", name, path)) {
        node->setName(name);
    }
    int number = 0;
    if (readInt(object, "tag", number, path)) {
        node->setTag(number);
    }
    Vec2 point;
    if (readPair(object, "anchor", point.x, point.y, path)) {
        node->setAnchorPoint(point);
    }
    if (readPair(object, "pos", point.x, point.y, path)) {
        node->setPosition(point);
    }
    auto scale = object.FindMember("scale");
    if (scale != object.MemberEnd()) {
        if (scale->value.IsNumber()) {
            node->setScale(static_cast<float>(scale->value.GetDouble()));
        } else if (readPair(object, "scale", point.x, point.y, path)) {
            node->setScale(point.x, point.y);
        }
    }
    float rotation = 0;
    if (readNumber(object, "rotation", rotation, path)) {
        node->setRotation(rotation);
    }
    bool flag = false;
    if (readBool(object, "visible", flag, path)) {
        node->setVisible(flag);
    }
    if (readInt(object, "opacity", number, path)) {
        node->setOpacity(static_cast<GLubyte>(std::clamp(number, 0, 255)));
    }
    Color4B color;
    if (readColor(object, "color", color, path)) {
        node->setColor(rgbOf(color));
    }
    if (readInt(object, "z", number, path)) {
        node->setLocalZOrder(number);
    }
    auto* widget = dynamic_cast<ui::Widget*>(node);
    if (readBool(object, "touch", flag, path) && widget) {
        widget->setTouchEnabled(flag);
    }
    if (readBool(object, "enabled", flag, path) && widget) {
        widget->setEnabled(flag);
    }
    if (readBool(object, "bright", flag, path) && widget) {
        widget->setBright(flag);
    }
    if (readBool(object, "highlighted", flag, path) && widget) {
        widget->setHighlighted(flag);
    }
}

} // namespace engine
