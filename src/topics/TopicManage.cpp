#include "topics/TopicManage.h"

#include <algorithm>
#include <new>

#include "base/Director.h"
#include "base/Log.h"
#include "base/StringUtils.h"
#include "common/AudioManager.h"
#include "common/CommonTools.h"
#include "common/GDataManager.h"
#include "common/PlistManager.h"
#include "common/SFAnimation.h"
#include "common/TipsManager.h"
#include "common/UITools.h"
#include "common/FileManager.h"
#include "platform/FileUtils.h"
#include "scene/Sprite.h"
#include "ui/Button.h"
#include "ui/ImageView.h"
#include "ui/Text.h"

using engine::Node;
using engine::Value;
using engine::ValueMap;
using engine::ValueVector;
using engine::ui::Widget;

namespace {

TopicManage* s_instance = nullptr;

constexpr float kBarMargin = 18.f;
constexpr float kBarGap = 6.f;
constexpr int kFuncButtonCount = 6;

struct ImageFamily {
    const char* list;
    const char* prefix;
    bool alwaysHidden;
};

// The families filled by loadTopicImages, in this order.
constexpr ImageFamily kImageFamilies[] = {
    {"AniImgs", "AniImg", false},     {"AnswerImgs", "AnswerImg", true},  {"BgImgs", "BgImg", false},
    {"ContImgs", "ContImg", false},   {"DirImgs", "DirImg", false},       {"HighlightImgs", "HighlightImg", true},
    {"LineImgs", "LineImg", false},   {"NextImgs", "NextImg", true},      {"OperImgs", "OperImg", false},
    {"PanelImgs", "PanelImg", false}, {"ResultImgs", "ResultImg", false},
};

std::string numbered(const std::string& prefix, int number) {
    return prefix + std::to_string(number);
}

// The default title with its first "%d" replaced by the number; the text is never used as a format.
std::string fillNumber(const std::string& pattern, int number) {
    const size_t at = pattern.find("%d");
    if (at == std::string::npos) {
        return pattern;
    }
    std::string text = pattern;
    text.replace(at, 2, std::to_string(number));
    return text;
}

} // namespace

TopicManage* TopicManage::getInstance() {
    if (!s_instance) {
        s_instance = new (std::nothrow) TopicManage();
        if (s_instance && !s_instance->init()) {
            delete s_instance;
            s_instance = nullptr;
        }
    }
    return s_instance;
}

void TopicManage::destroyInstance() {
    if (s_instance) {
        s_instance->release();
        s_instance = nullptr;
    }
}

void TopicManage::loadTopics() {
    const std::string file = FileManager::getInstance()->getTopicPlistPath();
    const ValueMap subject = PlistManager::getInstance()->getValueMap(file, "Subject");
    const Value& entry = engine::valueOrNull(subject, std::to_string(contentKind));
    topics.clear();
    if (entry.getType() != Value::Type::VECTOR) {
        engine::log("error topic kind: %d", contentKind);
        return;
    }
    topics = entry.asValueVector();
    for (size_t i = 0; i < topics.size(); ++i) {
        if (topics[i].getType() != Value::Type::MAP) {
            engine::log("error topic map: %d", static_cast<int>(i));
        }
    }
}

bool TopicManage::fitToPicture(Widget* widget, const std::string& file) {
    engine::Sprite* sprite = file.empty() ? nullptr : engine::Sprite::create(file);
    if (!sprite) {
        return false;
    }
    const float factor = engine::Director::getInstance()->getContentScaleFactor();
    widget->ignoreContentAdaptWithSize(false);
    widget->setContentSize(
        engine::Size(sprite->getContentSize().width * factor, sprite->getContentSize().height * factor));
    return true;
}

bool TopicManage::hasCurrentTopic() const {
    return currentTopic >= 0 && currentTopic < getTopicCount();
}

const ValueMap& TopicManage::currentMap() const {
    if (!hasCurrentTopic()) {
        return engine::ValueMapNull;
    }
    return topics[currentTopic].asValueMap();
}

const Value& TopicManage::currentValue(const std::string& key, Value::Type expected) const {
    const Value& value = engine::valueOrNull(currentMap(), key);
    if (value.isNull()) {
        return value;
    }
    const bool number = expected == Value::Type::INTEGER &&
                        (value.getType() == Value::Type::DOUBLE || value.getType() == Value::Type::FLOAT ||
                         value.getType() == Value::Type::STRING);
    if (value.getType() != expected && !number) {
        engine::log("error topic key: %s", key.c_str());
        return Value::Null;
    }
    return value;
}

std::string TopicManage::listEntry(const std::string& key, int index, const std::string& folder) const {
    const ValueVector& list = currentValue(key, Value::Type::VECTOR).asValueVector();
    if (index < 0 || index >= static_cast<int>(list.size())) {
        return "";
    }
    return folder + list[index].asString();
}

const ValueMap& TopicManage::autoLayout() const {
    return currentValue("AutoLayout", Value::Type::MAP).asValueMap();
}

const ValueMap& TopicManage::animationsMap() const {
    return currentValue("Animations", Value::Type::MAP).asValueMap();
}

int TopicManage::getLayoutModel() const {
    return currentValue("LayoutModel", Value::Type::INTEGER).asInt();
}

std::string TopicManage::getDubbing() const {
    if (!hasCurrentTopic()) {
        return "";
    }
    return FileManager::getInstance()->getMp3Path() + currentValue("Dubbing", Value::Type::STRING).asString();
}

std::string TopicManage::getContentDubbing(int index) const {
    return listEntry("ContentDubbing", index < 0 ? stepCount : index, FileManager::getInstance()->getMp3Path());
}

std::string TopicManage::getAniDubbing(int index) const {
    return listEntry("AniDubbing", std::max(index, 0), FileManager::getInstance()->getMp3Path());
}

std::string TopicManage::getTitle(int topicIndex) const {
    if (topicIndex < 0 || topicIndex >= getTopicCount()) {
        return "";
    }
    const std::string title = engine::valueOrNull(topics[topicIndex].asValueMap(), "Title").asString();
    if (!title.empty()) {
        return title;
    }
    const ValueMap defaults = PlistManager::getInstance()->getValueMap("Configs.plist", "TopicDefaultTitle");
    return fillNumber(engine::valueOrNull(defaults, std::to_string(contentKind)).asString(), topicIndex + 1);
}

std::string TopicManage::getStem() const {
    return currentValue("Stem", Value::Type::STRING).asString();
}

ValueVector TopicManage::getAnswers() const {
    return currentValue("Answers", Value::Type::VECTOR).asValueVector();
}

ValueVector TopicManage::getFirstAnswers() const {
    const ValueVector& answers = currentValue("Answers", Value::Type::VECTOR).asValueVector();
    if (answers.empty()) {
        return {};
    }
    return answers.front().asValueVector();
}

ValueVector TopicManage::getImages(const std::string& listName) const {
    const ValueMap& images = currentValue("Images", Value::Type::MAP).asValueMap();
    return engine::valueOrNull(images, listName).asValueVector();
}

std::string TopicManage::getAnimations(int index) const {
    const ValueVector& contents = engine::valueOrNull(animationsMap(), "Contents").asValueVector();
    if (index < 0 || index >= static_cast<int>(contents.size())) {
        return "";
    }
    return FileManager::getInstance()->getTopicAniPath() + contents[index].asString();
}

std::string TopicManage::getResultAnimation(bool right) const {
    return engine::valueOrNull(animationsMap(), right ? "Right" : "Wrong").asString();
}

std::string TopicManage::getCelebrateAnimation() const {
    return engine::valueOrNull(animationsMap(), "Celebrate").asString();
}

int TopicManage::getAutoLayoutType() const {
    return engine::valueOrNull(autoLayout(), "Type").asInt();
}

int TopicManage::getRowNum() const {
    return hasCurrentTopic() ? engine::valueOrNull(autoLayout(), "RowNum").asInt() : 1;
}

int TopicManage::getColNum() const {
    return hasCurrentTopic() ? engine::valueOrNull(autoLayout(), "ColNum").asInt() : 1;
}

bool TopicManage::isInFirstAnswers(const Widget* widget) const {
    const ValueVector answers = getFirstAnswers();
    if (answers.empty()) {
        return true;
    }
    if (!widget) {
        return false;
    }
    const int value = widget->getTag() - kPieceTagBase;
    return std::any_of(answers.begin(), answers.end(), [value](const Value& v) { return v.asInt() == value; });
}

bool TopicManage::isStepDone() const {
    return stepCount >= currentValue("Step", Value::Type::INTEGER).asInt();
}

void TopicManage::playRightFeedback(Node* node) {
    const std::string celebrate = getCelebrateAnimation();
    if (!isStepDone() || celebrate.empty() || !node || !node->getParent()) {
        return;
    }
    Node* center = UITools::createCenterNode(node->getParent());
    SFAnimation::getInstance()->playAnimationAtNode(center, celebrate, true, nullptr, false, 0, 0);
    AudioManager::getInstance()->playVoice("RightCommon.mp3", nullptr, false);
}

void TopicManage::onSubNavBtn(int topicIndex, const SubNavCallback& callback) {
    if (callback) {
        callback(topicIndex);
    }
}

void TopicManage::createSubNav(Node* parent, std::vector<engine::ui::Button*>& buttons,
                               const SubNavCallback& callback) {
    if (getTopicCount() < 2 || !parent) {
        return;
    }
    Node* bar = UITools::createCsbNode("NavSubBtns.csb");
    if (!bar) {
        return;
    }
    parent->addChild(bar);
    GDataManager* data = GDataManager::getInstance();
    Node* marker = UITools::seekChildByName(parent, numbered("SubNavPos", contentKind));
    auto* background =
        dynamic_cast<Widget*>(UITools::seekChildByName(bar, numbered("Img_SubNavBg", data->subjectCode)));
    if (!background) {
        engine::log("error topic bar: %d", data->subjectCode);
        return;
    }
    background->setVisible(true);
    if (marker && marker->getParent() && background->getParent()) {
        const engine::Vec2 world = marker->getParent()->convertToWorldSpace(marker->getPosition());
        background->setPosition(background->getParent()->convertToNodeSpace(world));
    }

    const ValueMap entry = PlistManager::getInstance()->getValueMap(
        "NavConfig.plist", engine::StringUtils::format("%d%.2d", data->courseTypeCode, data->subjectCode));
    const ValueMap& textures =
        engine::valueOrNull(engine::valueOrNull(entry, "SubNavBtns").asValueMap(), std::to_string(contentKind))
            .asValueMap();
    float width = kBarMargin;
    for (int i = 0; i < getTopicCount(); ++i) {
        Widget* widget = UITools::addClickListener(
            background, [this, i, callback]() { onSubNavBtn(i, callback); }, false, "BtnClick.mp3",
            numbered("Btn_NavSub", i + 1));
        auto* button = dynamic_cast<engine::ui::Button*>(widget);
        if (!button) {
            continue;
        }
        button->setVisible(true);
        buttons.push_back(button);
        if (!textures.empty()) {
            const std::string normal = engine::valueOrNull(textures, "1").asString();
            button->loadTextures(normal, engine::valueOrNull(textures, "2").asString(),
                                 engine::valueOrNull(textures, "3").asString());
            fitToPicture(button, normal);
        }
        if (auto* title = dynamic_cast<engine::ui::Text*>(UITools::seekChildByName(button, "Text_Title"))) {
            title->setString(getTitle(i));
        }
        width += button->getContentSize().width + kBarGap;
    }
    background->ignoreContentAdaptWithSize(false);
    background->setContentSize(engine::Size(width - kBarGap + kBarMargin, background->getContentSize().height));
}

void TopicManage::showFuncBtns(Node* root) {
    std::vector<Node*> found;
    for (int k = 0; k < kFuncButtonCount; ++k) {
        if (Node* button = UITools::seekChildByName(root, numbered("Btn_Func", k))) {
            button->setVisible(false);
            found.push_back(button);
        }
    }
    std::vector<int> shown;
    CommonTools::getInstance()->splitToInt(currentValue("FuncBtns", Value::Type::STRING).asString(), shown, "&");
    for (int k : shown) {
        if (k >= 0 && k < static_cast<int>(found.size())) {
            found[k]->setVisible(true);
        }
    }
}

Node* TopicManage::loadTopicCsb() {
    const std::string file = engine::StringUtils::format("Topic%.6d.csb", getLayoutModel());
    if (engine::FileUtils::getInstance()->isFileExist(file)) {
        return UITools::createCsbNode(file);
    }
    const std::string text = PlistManager::getInstance()->getText("NoFileExist") + ":" + file;
    TipsManager::getInstance()->showTips(text, nullptr, nullptr);
    return nullptr;
}

std::vector<Widget*> TopicManage::getWidget(Node* root, const std::string& prefix, int firstNumber) const {
    std::vector<Widget*> widgets;
    for (int n = firstNumber;; ++n) {
        Node* node = UITools::seekChildByName(root, numbered(prefix, n));
        if (!node) {
            break;
        }
        auto* widget = dynamic_cast<Widget*>(node);
        if (widget && widget->isVisible()) {
            widgets.push_back(widget);
        }
    }
    return widgets;
}

std::vector<Widget*> TopicManage::initContentPanel(Node* root, const std::string& prefix, int firstNumber, int type,
                                                   int columns, int rows) {
    Node* area = UITools::seekChildByName(root, "BgImg1");
    if (!area || !area->isVisible()) {
        area = UITools::seekChildByName(root, "Panel_Content");
    }
    std::vector<Widget*> widgets = getWidget(root, prefix, firstNumber);
    if (!area) {
        return widgets;
    }
    type = type != 0 ? type : getAutoLayoutType();
    columns = std::max(columns != 0 ? columns : getColNum(), 1);
    rows = std::max(rows != 0 ? rows : getRowNum(), 1);
    const float w = area->getContentSize().width;
    const float h = area->getContentSize().height;
    const float left = area->getPositionX() - w / 2;
    const float bottom = area->getPositionY() - h / 2;
    const int count = static_cast<int>(widgets.size());
    for (int k = 0; k < count; ++k) {
        Widget* widget = widgets[k];
        if (type == 1) {
            widget->setPositionX(left + w / (2 * columns) * (2 * k + 1));
        } else if (type == 2) {
            widget->setPositionY(bottom + h / (2 * rows) * (2 * (rows - k) - 1));
        } else if (type == 3) {
            const int r = k / columns;
            const int c = k % columns;
            const int inRow = std::min(columns, count - (k - c));
            widget->setPosition(left + w / (2 * inRow) * (2 * c + 1), bottom + h / (2 * rows) * (2 * (rows - r) - 1));
        }
    }
    return widgets;
}

void TopicManage::layoutWidgets(Node* root, const std::string& upperPrefix, const std::string& lowerPrefix, float gap) {
    const std::vector<Widget*> upper = getWidget(root, upperPrefix, 1);
    const std::vector<Widget*> lower = getWidget(root, lowerPrefix, 1);
    if (upper.empty() || lower.empty()) {
        return;
    }
    const float edge = upper.front()->getPositionY() - upper.front()->getContentSize().height / 2 + gap;
    for (Widget* widget : lower) {
        widget->setPositionY(edge - widget->getContentSize().height / 2);
    }
}

void TopicManage::layoutAnchored(Node* root, const std::string& prefix, int factor) {
    for (int n = 1;; ++n) {
        Node* node = UITools::seekChildByName(root, numbered(prefix, n));
        if (!node) {
            break;
        }
        if (node->isVisible()) {
            node->setAnchorPoint(engine::Vec2(0.5f, 0.5f));
            node->setPositionY(node->getPositionY() + node->getContentSize().height * 0.5f * factor);
        }
    }
}

void TopicManage::loadTopicImages(Node* root, bool visible) {
    if (!root) {
        return;
    }
    for (const ImageFamily& family : kImageFamilies) {
        loadImageList(root, family.prefix, family.list, family.alwaysHidden ? false : visible);
    }
}

void TopicManage::loadImageList(Node* root, const std::string& prefix, const std::string& listName, bool visible) {
    const ValueVector images = getImages(listName);
    engine::FileUtils* files = engine::FileUtils::getInstance();
    for (size_t i = 0; i < images.size(); ++i) {
        const std::string name = numbered(prefix, static_cast<int>(i) + 1);
        Node* node = UITools::seekChildByName(root, name);
        const std::string entry = images[i].asString();
        if (!node || entry.empty()) {
            continue;
        }
        auto* image = dynamic_cast<engine::ui::ImageView*>(node);
        if (!image) {
            engine::log("error topic image widget: %s", name.c_str());
            continue;
        }
        const std::string file =
            files->isFileExist(entry) ? entry : FileManager::getInstance()->getTopicImgPath() + entry;
        image->loadTexture(file);
        image->setVisible(visible);
        fitToPicture(image, file);
    }
}
