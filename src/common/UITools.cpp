#include "common/UITools.h"

#include <deque>

#include "base/Director.h"
#include "base/Log.h"
#include "base/StringUtils.h"
#include "common/AudioManager.h"
#include "common/ClassroomRecords.h"
#include "common/CoursewareData.h"
#include "common/GDataManager.h"
#include "common/PlistManager.h"
#include "layout/CSLoader.h"
#include "scene/Actions.h"
#include "scene/Scene.h"
#include "scene/Sprite.h"
#include "ui/Button.h"
#include "ui/ImageView.h"
#include "ui/Text.h"

using engine::Node;

namespace UITools {

namespace {

// Set while one click handler of addClickListener runs.
bool s_clickBusy = false;
// Marks the press-effect sequence, so the widget ignores clicks until its callback has run.
constexpr int kPressEffectTag = 0x7e55;

bool isExemptFromAdaptation(const std::string& file) {
    return file == "LectureBtn.csb" || file == "Head1.csb" || file == "Head2.csb";
}

template <class Match> Node* seekBreadthFirst(Node* root, Match matches) {
    if (!root) {
        return nullptr;
    }
    if (matches(root)) {
        return root;
    }
    std::deque<Node*> queue(root->getChildren().begin(), root->getChildren().end());
    while (!queue.empty()) {
        Node* node = queue.front();
        queue.pop_front();
        if (matches(node)) {
            return node;
        }
        queue.insert(queue.end(), node->getChildren().begin(), node->getChildren().end());
    }
    return nullptr;
}

Node* makeHeadItem(const std::string& layout, const char* frameFormat, const StudentRecord& pupil) {
    Node* item = createCsbNode(layout);
    if (!item) {
        return nullptr;
    }
    item->setAnchorPoint(engine::Vec2::ANCHOR_MIDDLE);
    if (auto* head = seekWidget<engine::ui::ImageView>(item, "HeadImg", layout.c_str())) {
        head->loadTexture(pupil.headImage);
    }
    if (auto* frame = seekWidget<engine::ui::ImageView>(item, "IconFrame", layout.c_str())) {
        frame->loadTexture(engine::StringUtils::format(frameFormat, pupil.group));
    }
    if (auto* name = seekWidget<engine::ui::Text>(item, "NameText", layout.c_str())) {
        name->setString(pupil.name);
    }
    item->setTag(pupil.id);
    return item;
}

} // namespace

Node* createCsbNode(const std::string& file, const std::vector<std::string>& requiredNames) {
    Node* root = engine::CSLoader::createNode(file, requiredNames);
    if (!root) {
        engine::log("error layout: %s", file.c_str());
        return nullptr;
    }
    if (!isExemptFromAdaptation(file)) {
        adaptCsbNode(root);
    }
    return root;
}

void adaptCsbNode(Node* root) {
    if (!root) {
        return;
    }
    const float offsetY = GDataManager::getInstance()->screenOffsetY;
    for (Node* child : root->getChildren()) {
        child->setPositionY(child->getPositionY() + offsetY);
    }
    const engine::Size winSize = engine::Director::getInstance()->getWinSize();
    for (int n = 1;; ++n) {
        Node* panel = seekChildByName(root, engine::StringUtils::format("Panel%d", n));
        if (!panel) {
            break;
        }
        panel->setAnchorPoint(engine::Vec2::ZERO);
        panel->setPosition(engine::Vec2::ZERO);
        panel->setContentSize(winSize);
    }
    if (Node* back = seekChildByName(root, "Btn_Return")) {
        back->setPositionY(winSize.height);
    }
}

Node* seekChildByName(Node* root, const std::string& name) {
    return seekBreadthFirst(root, [&name](Node* node) { return node->getName() == name; });
}

Node* seekChildByTag(Node* root, int tag) {
    return seekBreadthFirst(root, [tag](Node* node) { return node->getTag() == tag; });
}

void seekChildrenByPrefix(std::vector<Node*>& out, Node* root, const std::string& prefix) {
    out.clear();
    for (int n = 1;; ++n) {
        Node* node = seekChildByName(root, engine::StringUtils::format("%s%d", prefix.c_str(), n));
        if (!node) {
            return;
        }
        out.push_back(node);
    }
}

engine::ui::Widget* addClickListener(Node* root, const ClickCallback& callback, bool withEffect,
                                     const std::string& soundFile, const std::string& widgetName) {
    auto* widget = dynamic_cast<engine::ui::Widget*>(seekChildByName(root, widgetName));
    if (!widget) {
        return nullptr;
    }
    widget->addClickEventListener([callback, withEffect, soundFile, widget](engine::Ref*) {
        if (withEffect && widget->getActionByTag(kPressEffectTag)) {
            // Still pressed: the release of this ignored click must not undo the look.
            widget->setHighlighted(true);
            return;
        }
        if (s_clickBusy) {
            return;
        }
        s_clickBusy = true;
        AudioManager::getInstance()->playVoice(soundFile, nullptr, false);
        if (withEffect) {
            auto* callLater = engine::CallFunc::create([callback] {
                if (callback) {
                    callback();
                }
            });
            auto* press = engine::Sequence::create(engine::ScaleTo::create(0.3f, 1.02f), callLater, nullptr);
            press->setTag(kPressEffectTag);
            widget->runAction(press);
            widget->setHighlighted(true);
        } else if (callback) {
            callback();
        }
        s_clickBusy = false;
    });
    return widget;
}

Node* createHeadItem(const StudentRecord& pupil) {
    return makeHeadItem("Head1.csb", "HeadImage/HeadFrame1%d.png", pupil);
}

Node* createHeadItem2(const StudentRecord& pupil) {
    return makeHeadItem("Head2.csb", "HeadImage/HeadFrame2%d.png", pupil);
}

Node* addHeadItemListener(const StudentRecord& pupil, const ClickCallback& callback) {
    Node* item = createHeadItem(pupil);
    if (!item) {
        return nullptr;
    }
    if (auto* frame = dynamic_cast<engine::ui::Widget*>(seekChildByName(item, "IconFrame"))) {
        frame->setTouchEnabled(true);
        frame->addClickEventListener([callback](engine::Ref*) {
            if (callback) {
                callback();
            }
        });
    }
    return item;
}

engine::ui::Button* createCourseButton(Node* parent, const std::string& normal, const std::string& selected,
                                       const std::string& disabled) {
    Node* root = createCsbNode("CourseBtn.csb");
    if (!root) {
        return nullptr;
    }
    if (parent) {
        parent->addChild(root);
    }
    auto* button = seekWidget<engine::ui::Button>(root, "Btn_Course", "CourseBtn.csb");
    if (!button) {
        return nullptr;
    }
    button->loadTextures(normal, selected, disabled);
    // The sprite only measures the picture.
    if (engine::Sprite* probe = engine::Sprite::create(normal)) {
        const float scale = engine::Director::getInstance()->getContentScaleFactor();
        const engine::Size size = probe->getContentSize();
        button->setContentSize(engine::Size(size.width * scale, size.height * scale));
    }
    return button;
}

engine::ui::Button* createLectureButton(Node* parent, const CoursewareData& courseware, const engine::Vec2& position) {
    Node* root = createCsbNode("LectureBtn.csb");
    if (!root) {
        return nullptr;
    }
    root->setPosition(position);
    root->setTag(CoursewareData::identifyTag(courseware.Identify));
    if (parent) {
        parent->addChild(root);
    }
    auto* button = seekWidget<engine::ui::Button>(root, "LectBtn", "LectureBtn.csb");
    if (!button) {
        return nullptr;
    }
    const char* mark = nullptr;
    switch (courseware.state) {
    case 5:
        button->setBright(false);
        mark = "Img_Download";
        break;
    case 4:
        mark = "Img_New";
        break;
    case 2:
    case 3:
        mark = "Loading";
        break;
    default:
        break;
    }
    if (mark) {
        if (Node* node = seekChildByName(root, mark)) {
            node->setVisible(true);
        }
    }
    return button;
}

Node* createCenterNode(Node* parent) {
    Node* node = Node::create();
    const engine::Size winSize = engine::Director::getInstance()->getWinSize();
    node->setPosition(winSize.width / 2, winSize.height / 2);
    if (!parent) {
        parent = engine::Director::getInstance()->getRunningScene();
    }
    if (parent) {
        parent->addChild(node);
    } else {
        engine::log("error centre node: no parent");
    }
    return node;
}

void removeSelf(Node* node) {
    if (node) {
        node->removeFromParentAndCleanup(true);
    }
}

void showClientBackground(Node* root) {
    const std::string clientId = PlistManager::getInstance()->getString("Configs.plist", "ClientId");
    if (Node* background = seekChildByName(root, engine::StringUtils::format("Img_Bg%s", clientId.c_str()))) {
        background->setVisible(true);
    }
}

} // namespace UITools
