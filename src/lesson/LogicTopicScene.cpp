#include "lesson/LogicTopicScene.h"

#include <new>

#include "audio/AudioEngine.h"
#include "base/Director.h"
#include "base/Log.h"
#include "base/StringUtils.h"
#include "base/Value.h"
#include "common/AudioManager.h"
#include "common/ExitApp.h"
#include "common/GDataManager.h"
#include "common/PlistManager.h"
#include "common/SFAnimation.h"
#include "common/UITools.h"
#include "games/GameLayer.h"
#include "lesson/PopupLayer.h"
#include "lesson/VideoLayer.h"
#include "scene/Actions.h"
#include "scene/Sprite.h"
#include "scenes/GroupScene.h"
#include "scenes/SignScene.h"
#include "scenes/TouLectureScene.h"
#include "tools/AdditionList.h"
#include "tools/DrawBoardLayer.h"
#include "tools/ExaminationLayer.h"
#include "tools/MusicLayer.h"
#include "tools/ScoreLayer.h"
#include "topics/TopicLayer.h"
#include "topics/TopicManage.h"
#include "ui/Button.h"

namespace {

constexpr int kNavCount = 7;
constexpr float kMenuTime = 0.15f;
constexpr int kToolZOrder = 105;
constexpr int kPopupZOrder = 106;
const char* const kClickSound = "BtnClick.mp3";

const char* const kLayout = "LogicTopicScene.csb";

engine::ui::Widget* widgetOf(engine::Node* root, const char* name) {
    return UITools::seekWidget<engine::ui::Widget>(root, name, kLayout);
}

// The "NavBtns" pictures of button i in the course/subject entry; false when the entry lacks them.
bool navPictures(const engine::ValueMap& entry, int i, std::string pictures[3]) {
    auto navButtons = entry.find("NavBtns");
    if (navButtons == entry.end() || navButtons->second.getType() != engine::Value::Type::MAP) {
        return false;
    }
    const engine::ValueMap& buttons = navButtons->second.asValueMap();
    auto button = buttons.find(std::to_string(i));
    if (button == buttons.end() || button->second.getType() != engine::Value::Type::MAP) {
        return false;
    }
    const engine::ValueMap& states = button->second.asValueMap();
    for (int state = 0; state < 3; ++state) {
        auto picture = states.find(std::to_string(state + 1));
        pictures[state] = picture == states.end() ? "" : picture->second.asString();
    }
    return !pictures[0].empty();
}

// A layer constructed by its opener: initialised and autoreleased, or deleted and null when init fails.
engine::Node* made(engine::Node* layer) {
    if (layer && !layer->init()) {
        delete layer;
        return nullptr;
    }
    if (layer) {
        layer->autorelease();
    }
    return layer;
}

} // namespace

LogicTopicScene::~LogicTopicScene() {
    if (contentLayer) {
        contentLayer->release();
    }
    GDataManager::getInstance()->clearLogicTopicScene(this);
}

bool LogicTopicScene::isExaminationLecture(int gradeCode, int lessonNumber) {
    return gradeCode > 4 && lessonNumber % 6 == 0;
}

void LogicTopicScene::initData() {
    layerPanel = nullptr;
    gamePanel = nullptr;
    currentNav = 0;
    contentLayer = nullptr;
    menuOpen = false;
}

void LogicTopicScene::initRes() {
    rootNode = UITools::createCsbNode(kLayout);
    if (!rootNode) {
        return;
    }
    addChild(rootNode);
    layerPanel = widgetOf(rootNode, "Panel_Layer");
    gamePanel = widgetOf(rootNode, "Panel_Game");
    if (gamePanel) {
        gamePanel->setVisible(false);
    }
    bindButton(
        "Btn_Return", [this] { onReturn(); }, true);
    bindButton("Btn_DrawBoard", [this] { onDrawBoardClicked(); });
    bindButton("Btn_Sign", [this] { onSignClicked(); });
    bindButton("Btn_Score", [this] { onScoreClicked(); });
    leftButton = dynamic_cast<engine::ui::Button*>(bindButton("Btn_Left", [this] { onPrevNav(); }));
    rightButton = dynamic_cast<engine::ui::Button*>(bindButton("Btn_Right", [this] { onNextNav(); }));
    if (leftButton) {
        leftButton->setVisible(false);
    }
    if (rightButton) {
        rightButton->setVisible(true);
    }
    initNavButtons();
    bindButton("Btn_Set", [this] { onSetClicked(); });
    initSetMenu();
    setMenuBg = widgetOf(rootNode, "Img_SetBg");
}

engine::ui::Widget* LogicTopicScene::bindButton(const char* name, const std::function<void()>& handler,
                                                bool withEffect) {
    engine::ui::Widget* widget =
        UITools::addClickListener(rootNode, life.guard(handler), withEffect, kClickSound, name);
    if (!widget) {
        engine::log("error widget: %s %s", kLayout, name);
    }
    return widget;
}

void LogicTopicScene::initNavButtons() {
    GDataManager* data = GDataManager::getInstance();
    navButtons.clear();
    const std::string key = engine::StringUtils::format("%d%.2d", data->courseTypeCode, data->subjectCode);
    const engine::ValueMap entry = PlistManager::getInstance()->getValueMap("NavConfig.plist", key);
    const bool examination = isExaminationLecture(data->gradeCode, data->lessonNumber);
    for (int i = 1; i <= kNavCount; ++i) {
        const std::string name = engine::StringUtils::format("Btn_Nav%d", i);
        auto* button = dynamic_cast<engine::ui::Button*>(
            UITools::addClickListener(rootNode, life.guard([this, i] { selectNav(i); }), false, kClickSound, name));
        navButtons.push_back(button);
        if (!button) {
            engine::log("error widget: %s %s", kLayout, name.c_str());
            continue;
        }
        std::string pictures[3];
        if (!entry.empty() && navPictures(entry, i, pictures)) {
            button->loadTextures(pictures[0], pictures[1], pictures[2]);
            if (engine::Sprite* probe = engine::Sprite::create(pictures[0])) {
                button->setContentSize(probe->getContentSize() *
                                       engine::Director::getInstance()->getContentScaleFactor());
            }
        }
        if (examination) {
            button->setEnabled(false);
        }
    }
    if (examination) {
        for (engine::ui::Button* arrow : {leftButton, rightButton}) {
            if (arrow) {
                arrow->setVisible(false);
            }
        }
    }
}

void LogicTopicScene::initSetMenu() {
    bindButton("SetBtn1", [] { exitApp(); });
    engine::ui::Widget* addition = bindButton("SetBtn2", [this] { onSetAddition(); });
    const GDataManager* data = GDataManager::getInstance();
    if (addition && data->gradeCode > 3 && data->lessonNumber % 6 == 0) {
        addition->setBright(false);
        addition->setTouchEnabled(false);
    }
    bindButton("SetBtn3", [this] { onSetRest(); });
    bindButton("SetBtn4", [this] { onSetMusic(); });
}

void LogicTopicScene::screenAdaptation() {
    if (!rootNode) {
        return;
    }
    const float offset = GDataManager::getInstance()->screenOffsetY;
    engine::Node* setButton = UITools::seekChildByName(rootNode, "Btn_Set");
    for (engine::Node* node : {static_cast<engine::Node*>(layerPanel), static_cast<engine::Node*>(gamePanel),
                               static_cast<engine::Node*>(setMenuBg), setButton}) {
        if (node) {
            node->setPositionY(node->getPositionY() - offset);
        }
    }
    if (setMenuBg) {
        setMenuBg->setScaleX(0);
    }
}

void LogicTopicScene::onEnterTransitionDidFinish() {
    BaseScene::onEnterTransitionDidFinish();
    GDataManager* data = GDataManager::getInstance();
    data->logicTopicScene = this;
    // A popped sign-in or grouping scene brings the lesson back as it was.
    if (entered) {
        return;
    }
    entered = true;
    SFAnimation::getInstance()->preloadAnimations("TopicCommon", nullptr);
    AudioManager* audio = AudioManager::getInstance();
    if (audio->backgroundMusicId > engine::AudioEngine::INVALID_AUDIO_ID) {
        engine::AudioEngine::stop(audio->backgroundMusicId);
        audio->backgroundMusicId = engine::AudioEngine::INVALID_AUDIO_ID;
    }
    selectNav(isExaminationLecture(data->gradeCode, data->lessonNumber) ? NavExamination : NavOpeningVideo);
}

void LogicTopicScene::selectNav(int nav) {
    const bool highlight = GDataManager::getInstance()->gradeCode < 4;
    const int count = static_cast<int>(navButtons.size());
    if (highlight && currentNav >= 1 && currentNav <= count && navButtons[currentNav - 1]) {
        navButtons[currentNav - 1]->setHighlighted(false);
    }
    currentNav = nav;
    updateArrows();
    if (highlight && currentNav >= 1 && currentNav <= count && navButtons[currentNav - 1]) {
        navButtons[currentNav - 1]->setHighlighted(true);
    }
    openContent(nav);
}

void LogicTopicScene::updateArrows() {
    const GDataManager* data = GDataManager::getInstance();
    if (isExaminationLecture(data->gradeCode, data->lessonNumber)) {
        return;
    }
    if (leftButton) {
        leftButton->setVisible(currentNav > 1);
    }
    if (rightButton) {
        rightButton->setVisible(currentNav < static_cast<int>(navButtons.size()));
    }
}

void LogicTopicScene::openContent(int nav) {
    if (contentLayer) {
        engine::Node* old = contentLayer;
        contentLayer = nullptr;
        old->removeFromParentAndCleanup(true);
        old->release();
    }
    if (gamePanel) {
        gamePanel->setVisible(false);
    }
    TopicManage* topics = TopicManage::getInstance();
    engine::Node* layer = nullptr;
    switch (nav) {
    case NavOpeningVideo:
        topics->contentKind = 5;
        layer = VideoLayer::create();
        break;
    case NavLectureVideo:
        topics->contentKind = 7;
        layer = VideoLayer::create();
        break;
    case NavSummaryVideo:
        topics->contentKind = 8;
        layer = VideoLayer::create();
        break;
    case NavTopics1:
    case NavTopics2:
    case NavTopics3:
        topics->contentKind = nav == NavTopics1 ? 1 : nav == NavTopics2 ? 2 : 3;
        layer = TopicLayer::create();
        break;
    case NavGame:
        if (gamePanel) {
            gamePanel->setVisible(true);
        }
        layer = made(new (std::nothrow) GameLayer());
        break;
    case NavExamination:
        topics->contentKind = 9;
        topics->examItemIndex = 0;
        layer = ExaminationLayer::create();
        break;
    default:
        break;
    }
    if (!layer) {
        return;
    }
    contentLayer = layer;
    contentLayer->retain();
    engine::Node* parent = nav == NavGame ? static_cast<engine::Node*>(gamePanel) : layerPanel;
    if (parent) {
        parent->addChild(contentLayer);
    }
}

void LogicTopicScene::onPrevNav() {
    if (currentNav - 1 >= 1) {
        selectNav(currentNav - 1);
    }
}

void LogicTopicScene::onNextNav() {
    if (currentNav + 1 <= static_cast<int>(navButtons.size())) {
        selectNav(currentNav + 1);
    }
}

void LogicTopicScene::setMenuScale(bool open) {
    if (setMenuBg) {
        setMenuBg->runAction(engine::ScaleTo::create(kMenuTime, open ? 1.f : 0.f, 1.f));
    }
}

void LogicTopicScene::onSetClicked() {
    setMenuScale(!menuOpen);
    menuOpen = !menuOpen;
}

void LogicTopicScene::closeMenu() {
    setMenuScale(false);
    menuOpen = false;
}

void LogicTopicScene::addTool(engine::Node* tool, int zOrder, const char* name) {
    if (!tool) {
        engine::log("no tool layer: %s", name);
        return;
    }
    addChild(tool, zOrder);
}

void LogicTopicScene::onSetAddition() {
    addTool(made(new (std::nothrow) AdditionList()), kPopupZOrder, "AdditionList");
    closeMenu();
}

void LogicTopicScene::onSetRest() {
    PopupLayer* popup = PopupLayer::create();
    addTool(popup, kPopupZOrder, "PopupLayer");
    if (popup) {
        popup->showRest(nullptr);
    }
    closeMenu();
}

void LogicTopicScene::onSetMusic() {
    addTool(MusicLayer::create(), kPopupZOrder, "MusicLayer");
    closeMenu();
}

void LogicTopicScene::onDrawBoardClicked() {
    addTool(DrawBoardLayer::create(), kToolZOrder, "DrawBoardLayer");
}

void LogicTopicScene::onScoreClicked() {
    addTool(made(new (std::nothrow) ScoreLayer()), 0, "ScoreLayer");
}

void LogicTopicScene::onSignClicked() {
    SignScene* sign = SignScene::create();
    if (!sign) {
        return;
    }
    GDataManager::getInstance()->enteredFrom = 3;
    engine::Director::getInstance()->pushScene(sign);
}

void LogicTopicScene::onReturn() {
    GDataManager* data = GDataManager::getInstance();
    const int playMode = data->getSubject(data->courseTypeCode, data->subjectCode).playMode;
    if (playMode < 1 || playMode > 4) {
        engine::log("error subject playmodel : %d", playMode);
        return;
    }
    // The grouping scene reached from here is never a pushed one.
    data->enteredFrom = 0;
    if (playMode >= 3) {
        if (TouLectureScene* list = TouLectureScene::create()) {
            engine::Director::getInstance()->replaceScene(list);
        }
        return;
    }
    if (GroupScene* group = GroupScene::create()) {
        engine::Director::getInstance()->replaceScene(group);
    }
}
