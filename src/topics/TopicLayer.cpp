#include "topics/TopicLayer.h"

#include "base/Log.h"
#include "common/AudioManager.h"
#include "common/CommonTools.h"
#include "common/GDataManager.h"
#include "common/SFAnimation.h"
#include "common/UITools.h"
#include "lesson/LogicTopicScene.h"
#include "lesson/PopupLayer.h"
#include "scene/Sprite.h"
#include "topics/DownPage.h"
#include "topics/TopicManage.h"
#include "topics/TopicTypeLayer.h"
#include "topics/TopicTypeTable.h"
#include "ui/Button.h"
#include "ui/ImageView.h"
#include "ui/Text.h"

using engine::Node;

namespace {

const char* const kClickSound = "BtnClick.mp3";
const char* const kTitleColour = "ffffdc";
const char* const kChosenTitleColour = "faff6e";

TopicManage* topicData() {
    return TopicManage::getInstance();
}

void colourTitle(Node* button, const char* colour) {
    if (Node* title = UITools::seekChildByName(button, "Text_Title")) {
        title->setColor(CommonTools::getInstance()->hexToColor3B(colour));
    }
}

} // namespace

TopicLayer::~TopicLayer() {
    // A feedback still running must not reach the type layer that goes with this page.
    typeAlive.reset();
    topicData()->contentVoiceHandler = nullptr;
}

bool TopicLayer::init() {
    if (!BaseLayer::init()) {
        return false;
    }
    TopicManage* data = topicData();
    data->loadTopics();
    data->createSubNav(UITools::seekChildByName(rootNode, "Panel_TopicBtn"), topicButtons,
                       life.guard([this](int index) { selectTopic(index); }));
    if (topicButtons.empty()) {
        showLessonArrows(true);
        loadTopic();
    } else {
        selectTopic(data->currentTopic);
        showLessonArrows(false);
    }
    return true;
}

void TopicLayer::initData() {
    topicData()->currentTopic = 0;
    topicData()->voiceBusy = false;
    typeLayer = nullptr;
    resultImage = nullptr;
    resultShowing = false;
    resultCallback = nullptr;
    topicButtons.clear();
}

void TopicLayer::initRes() {
    rootNode = UITools::createCsbNode("TopicLayer.csb");
    if (!rootNode) {
        return;
    }
    addChild(rootNode);
    auto bind = [this](const char* name, void (TopicLayer::*handler)()) {
        return UITools::addClickListener(rootNode, life.guard([this, handler] { (this->*handler)(); }), false,
                                         kClickSound, name);
    };
    bind("Btn_TopicVoice", &TopicLayer::playTopicVoice);
    prevButton = bind("Btn_Func0", &TopicLayer::onPrevTopic);
    nextButton = bind("Btn_Func1", &TopicLayer::onNextTopic);
    bind("Btn_Func2", &TopicLayer::onResetTopic);
    bind("Btn_Func3", &TopicLayer::showAnswer);
    reloadButton = bind("Btn_Func4", &TopicLayer::onReloadTopic);
    downPageButton = bind("Btn_Func5", &TopicLayer::onDownPage);
}

void TopicLayer::removeTypeLayer() {
    TopicManage* data = topicData();
    // The handler and a pending feedback continuation belong to the layer that goes.
    data->contentVoiceHandler = nullptr;
    resultCallback = nullptr;
    typeAlive.reset();
    if (typeLayer) {
        Node* old = typeLayer;
        typeLayer = nullptr;
        old->removeFromParentAndCleanup(true);
    }
}

void TopicLayer::setTypeLayer(Node* layer) {
    if (!layer) {
        return;
    }
    typeLayer = layer;
    addChild(layer);
}

TopicLayer::Callback TopicLayer::guardType(const Callback& callback) const {
    if (!callback) {
        return nullptr;
    }
    return [alive = std::weak_ptr<char>(typeAlive), callback] {
        if (!alive.expired()) {
            callback();
        }
    };
}

void TopicLayer::loadTopic() {
    removeTypeLayer();
    TopicManage* data = topicData();
    data->stepCount = 0;
    if (auto* stem = dynamic_cast<engine::ui::Text*>(UITools::seekChildByName(rootNode, "Text_Content"))) {
        stem->setString(data->getStem());
    }
    initResultImgs();
    data->showFuncBtns(rootNode);
    initContVoiceBtn();
    // Made before the layer's init, so callbacks its init hands out already know their layer.
    typeAlive = std::make_shared<char>(0);
    setTypeLayer(TopicTypeTable::createType(data->getLayoutModel()));
    // A page with result pictures of its own shows the "ResultImgs" list itself; the host does not repeat it.
    auto* page = dynamic_cast<TopicTypeLayer*>(typeLayer);
    if (resultImage && page && page->getRootNode() && UITools::seekChildByName(page->getRootNode(), "ResultImg1")) {
        resultImage->setVisible(false);
    }
}

void TopicLayer::selectTopic(int index) {
    TopicManage* data = topicData();
    data->currentTopic = index;
    for (engine::ui::Button* button : topicButtons) {
        button->setHighlighted(false);
        colourTitle(button, kTitleColour);
    }
    if (index >= 0 && index < static_cast<int>(topicButtons.size())) {
        topicButtons[index]->setHighlighted(true);
        colourTitle(topicButtons[index], kChosenTitleColour);
    }
    loadTopic();
    if (index >= 0 && index < data->getTopicCount()) {
        return;
    }
    // The lesson player may remove this page: nothing of it is touched afterwards.
    leaveTopics(index >= 0);
}

void TopicLayer::leaveTopics(bool forward) {
    switch (topicData()->contentKind) {
    case 1:
        if (!forward) {
            moveLesson(NavLectureVideo);
        } else if (Node* scene = GDataManager::getInstance()->logicTopicScene) {
            if (PopupLayer* rest = PopupLayer::create()) {
                scene->addChild(rest);
                rest->showRest([] { moveLesson(NavGame); });
            }
        } else {
            moveLesson(NavGame);
        }
        break;
    case 2:
        moveLesson(forward ? NavTopics3 : NavGame);
        break;
    case 3:
        moveLesson(forward ? NavSummaryVideo : NavTopics2);
        break;
    default:
        break;
    }
}

void TopicLayer::moveLesson(int nav) {
    if (LogicTopicScene* lesson = GDataManager::getInstance()->logicTopicScene) {
        lesson->selectNav(nav);
    } else {
        engine::log("error topic leave: no lesson player for %d", nav);
    }
}

void TopicLayer::showLessonArrows(bool visible) {
    Node* lesson = GDataManager::getInstance()->logicTopicScene;
    for (const char* name : {"Btn_Left", "Btn_Right"}) {
        if (Node* arrow = UITools::seekChildByName(lesson, name)) {
            arrow->setVisible(visible);
        }
    }
}

void TopicLayer::onPrevTopic() {
    selectTopic(topicData()->currentTopic - 1);
}

void TopicLayer::onNextTopic() {
    selectTopic(topicData()->currentTopic + 1);
}

void TopicLayer::onResetTopic() {
    if (!resultShowing) {
        loadTopic();
    }
}

void TopicLayer::showAnswer() {
    TopicTypeTable::showAnswer(topicData()->getLayoutModel(), this, typeLayer);
}

void TopicLayer::onReloadTopic() {
    loadTopic();
}

void TopicLayer::onDownPage() {
    openDownPage();
}

bool TopicLayer::openDownPage() {
    removeTypeLayer();
    if (auto* stem = dynamic_cast<engine::ui::Text*>(UITools::seekChildByName(rootNode, "Text_Content"))) {
        stem->setString(topicData()->getStem());
    }
    DownPage* page = DownPage::create();
    setTypeLayer(page);
    return page != nullptr;
}

void TopicLayer::playTopicVoice() {
    AudioManager::getInstance()->playVoice(topicData()->getDubbing(), nullptr, false);
}

void TopicLayer::playContentVoice() {
    TopicManage* data = topicData();
    if (data->isStepDone()) {
        return;
    }
    if (data->contentVoiceHandler) {
        data->contentVoiceHandler();
        return;
    }
    AudioManager::getInstance()->playVoice(data->getContentDubbing(-1),
                                           life.guard([this](float) { onContentVoiceProgress(); }), false);
}

void TopicLayer::onContentVoiceProgress() {
    topicData()->voiceBusy = true;
}

void TopicLayer::initResultImgs() {
    resultImage = dynamic_cast<engine::ui::ImageView*>(UITools::seekChildByName(rootNode, "Img_IP"));
    if (!resultImage) {
        return;
    }
    resultImage->setVisible(false);
    const engine::ValueVector images = topicData()->getImages("ResultImgs");
    if (images.empty()) {
        return;
    }
    const std::string file = images.front().asString();
    resultImage->setVisible(true);
    resultImage->loadTexture(file);
    TopicManage::fitToPicture(resultImage, file);
}

void TopicLayer::initContVoiceBtn() {
    engine::ui::Widget* button = UITools::addClickListener(rootNode, life.guard([this] { playContentVoice(); }), false,
                                                           kClickSound, "Btn_ContVoice");
    if (button) {
        button->setVisible(!topicData()->getContentDubbing(-1).empty());
    }
}

void TopicLayer::showResult(bool right, const Callback& callback) {
    if (resultShowing) {
        return;
    }
    const Callback done = guardType(callback);
    const std::string name = topicData()->getResultAnimation(right);
    const bool atImage = resultImage && resultImage->isVisible();
    if (!name.empty() && atImage) {
        resultImage->setVisible(false);
        resultCallback = done;
        resultShowing = true;
        const unsigned serial = ++resultSerial;
        engine::Sprite* played =
            SFAnimation::getInstance()->playAnimationAtNode(resultImage, name, true, life.guard([this, serial] {
                if (serial == resultSerial) {
                    onResultEnd();
                }
            }),
                                                            true, 0, 0);
        if (played) {
            AudioManager::getInstance()->playVoice(right ? "RightCommon.mp3" : "WrongCommon.mp3", nullptr, false);
            return;
        }
        // The configured animation cannot play: its late end is ignored and the common feedback stands in.
        ++resultSerial;
        resultImage->setVisible(true);
        resultShowing = false;
        resultCallback = nullptr;
    }
    SFAnimation::getInstance()->playResultAnimation(right, done);
}

void TopicLayer::onResultEnd() {
    if (resultImage) {
        resultImage->setVisible(true);
    }
    resultShowing = false;
    if (resultCallback) {
        Callback callback = std::move(resultCallback);
        resultCallback = nullptr;
        callback();
    }
}
