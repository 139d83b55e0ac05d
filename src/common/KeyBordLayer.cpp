#include "common/KeyBordLayer.h"

#include <array>
#include <new>

#include "base/Log.h"
#include "base/StringUtils.h"
#include "common/UITools.h"
#include "ui/Text.h"

using engine::Node;
using engine::ui::Widget;

namespace {

// Read by initUI: the argument of the last create call.
bool s_closeOnOutsideTouch = false;

const std::array<std::string, 26> kKeyLettersLower = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m",
                                                      "n", "o", "p", "q", "r", "s", "t", "u", "v", "w", "x", "y", "z"};
const std::array<std::string, 26> kKeyLettersUpper = {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M",
                                                      "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z"};

engine::ui::Text* keyLabel(Node* key) {
    auto* label = dynamic_cast<engine::ui::Text*>(key->getChildByName("Text"));
    if (!label) {
        engine::log("error key label: %s", key->getName().c_str());
    }
    return label;
}

} // namespace

KeyBordLayer* KeyBordLayer::create(bool closeOnOutsideTouch) {
    s_closeOnOutsideTouch = closeOnOutsideTouch;
    auto* layer = new (std::nothrow) KeyBordLayer();
    if (layer && layer->init()) {
        layer->autorelease();
        return layer;
    }
    delete layer;
    return nullptr;
}

KeyBordLayer::~KeyBordLayer() {
    onInput = nullptr;
    onClear = nullptr;
    onDelete = nullptr;
    onClose = nullptr;
    letterKeys.clear();
}

bool KeyBordLayer::init() {
    if (!engine::Layer::init()) {
        return false;
    }
    initUI();
    return true;
}

void KeyBordLayer::initUI() {
    Node* root = UITools::createCsbNode("KeyBordLayer.csb");
    if (!root) {
        return;
    }
    addChild(root);

    auto* panel = dynamic_cast<Widget*>(UITools::seekChildByName(root, "Panel1"));
    if (panel && s_closeOnOutsideTouch) {
        panel->setTouchEnabled(true);
        panel->addTouchEventListener([this](engine::Ref*, Widget::TouchEventType type) { onOutsideTouch(type); });
    }

    upperCase = false;
    letterKeys.clear();

    bgImg = dynamic_cast<Widget*>(UITools::seekChildByName(root, "BgImg"));
    if (bgImg) {
        // Touches on the body stop here and never reach "Panel1".
        bgImg->setTouchEnabled(true);
    } else {
        engine::log("error keyboard widget: BgImg");
    }

    for (int n = 1;; ++n) {
        auto* key = dynamic_cast<Widget*>(UITools::seekChildByName(root, engine::StringUtils::format("KeyBtn%d", n)));
        if (!key) {
            break;
        }
        key->addTouchEventListener(
            [this](engine::Ref* sender, Widget::TouchEventType type) { onKeyTouch(sender, type); });
        if (key->getTag() == Letter) {
            letterKeys.push_back(key);
        }
    }
    updateKeyLabels();
}

void KeyBordLayer::onKeyTouch(engine::Ref* sender, Widget::TouchEventType type) {
    auto* key = dynamic_cast<Node*>(sender);
    if (type != Widget::TouchEventType::ENDED || !key) {
        return;
    }
    // A callback may close the keyboard; keep it alive until the handler returns.
    retain();
    switch (key->getTag()) {
    case Letter:
    case Character:
        if (onInput) {
            if (engine::ui::Text* label = keyLabel(key)) {
                const std::string text = label->getString();
                auto callback = onInput;
                callback(text);
            }
        }
        break;
    case Shift:
        upperCase = !upperCase;
        updateKeyLabels();
        break;
    case Delete:
        if (auto callback = onDelete) {
            callback();
        }
        break;
    case Clear:
        if (auto callback = onClear) {
            callback();
        }
        break;
    default:
        break;
    }
    release();
}

void KeyBordLayer::updateKeyLabels() {
    const auto& letters = upperCase ? kKeyLettersUpper : kKeyLettersLower;
    // Keys beyond the 26th keep the label of the layout.
    for (size_t i = 0; i < letterKeys.size() && i < letters.size(); ++i) {
        if (engine::ui::Text* label = keyLabel(letterKeys[i])) {
            label->setString(letters[i]);
        }
    }
}

void KeyBordLayer::onOutsideTouch(Widget::TouchEventType type) {
    if (type != Widget::TouchEventType::ENDED) {
        return;
    }
    retain();
    if (auto callback = onClose) {
        callback();
    }
    removeFromParentAndCleanup(true);
    release();
}
