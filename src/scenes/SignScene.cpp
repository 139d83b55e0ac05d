#include "scenes/SignScene.h"

#include <algorithm>

#include "base/Director.h"
#include "base/Log.h"
#include "base/StringUtils.h"
#include "base/Touch.h"
#include "common/AudioManager.h"
#include "common/DragTools.h"
#include "common/GDataManager.h"
#include "common/SFAnimation.h"
#include "common/UITools.h"
#include "scene/Actions.h"
#include "scenes/GroupScene.h"
#include "scenes/LectureScene.h"
#include "scenes/SceneWidgets.h"
#include "scenes/TouLectureScene.h"
#include "ui/Widget.h"

using engine::Node;
using engine::StringUtils::format;

namespace {

constexpr int kPerPage = 8;
constexpr float kItemScale = 0.7f;
constexpr int kListSide = 0;
constexpr int kShipSide = 1;

void raisePanel(Node* root, const char* name, int z) {
    if (Node* node = UITools::seekChildByName(root, name)) {
        node->setLocalZOrder(z);
    }
}

// The pupil behind a head item, or null when its tag is no index of the list.
StudentRecord* pupilOf(const Node* item) {
    auto& students = GDataManager::getInstance()->students;
    const int index = item ? item->getTag() : -1;
    if (index < 0 || index >= static_cast<int>(students.size())) {
        engine::log("error pupil index: %d", index);
        return nullptr;
    }
    return &students[static_cast<size_t>(index)];
}

} // namespace

bool SignScene::init() {
    if (!BaseScene::init()) {
        return false;
    }
    AudioManager::getInstance()->playBackgroundMusic();
    DragTools::listenToTouches(this);
    return true;
}

void SignScene::onEnterTransitionDidFinish() {
    BaseScene::onEnterTransitionDidFinish();
    SFAnimation::getInstance()->preloadAnimations("Sign", lifeToken.guard([this] { onPreloadDone(); }));
}

void SignScene::onPreloadDone() {
    if (Node* position = SceneWidgets::find(root, "BalloonPos")) {
        SFAnimation::getInstance()->playAnimationAtNode(position, "Balloon", true, nullptr, false, 0, 0);
    }
}

void SignScene::initData() {
    listItems.clear();
    shipItems.clear();
    confirmBusy = false;
    dragSource = 0;
    shipPage = 1;
    listPage = 1;
    GDataManager* data = GDataManager::getInstance();
    if (data->students.empty()) {
        data->loadStudentsFromPlist();
        return;
    }
    for (size_t i = 0; i < data->students.size(); ++i) {
        data->students[i].number = static_cast<int>(i) + 1;
    }
}

void SignScene::initRes() {
    root = UITools::createCsbNode("SignScene.csb");
    if (!root) {
        return;
    }
    addChild(root);
    SceneWidgets::bindClick(
        root, "Btn_Return", [this] { onReturn(); }, true);
    SceneWidgets::bindClick(
        root, "OneKeySignBtn", [this] { onOneKeySign(); }, false);
    SceneWidgets::bindClick(
        root, "ConfirmBtn", [this] { onConfirm(); }, true);
    leftBtn = SceneWidgets::bindClick(
        root, "LeftBtn", [this] { onTurnPage(kListSide, -1); }, false);
    rightBtn = SceneWidgets::bindClick(
        root, "RightBtn", [this] { onTurnPage(kListSide, 1); }, false);
    SceneWidgets::bindClick(
        root, "Sign_Btn_page1", [this] { onTurnPage(kShipSide, -1); }, false);
    SceneWidgets::bindClick(
        root, "Sign_Btn_page2", [this] { onTurnPage(kShipSide, 1); }, false);
    if (GDataManager::getInstance()->students.size() <= kPerPage) {
        for (engine::ui::Widget* arrow : {leftBtn, rightBtn}) {
            if (arrow) {
                arrow->setVisible(false);
            }
        }
    }
    refreshList();
    refreshShip();
}

void SignScene::splitStudents() {
    signedStudents.clear();
    unsignedStudents.clear();
    for (const StudentRecord& pupil : GDataManager::getInstance()->students) {
        (pupil.isSign ? signedStudents : unsignedStudents).push_back(pupil);
    }
}

void SignScene::refreshList() {
    splitStudents();
    refreshSide("ListPos%d", unsignedStudents, listPage, listItems);
}

void SignScene::refreshShip() {
    splitStudents();
    refreshSide("SignPos%d", signedStudents, shipPage, shipItems);
}

void SignScene::refreshSide(const char* markerFormat, const std::vector<StudentRecord>& pupils, int page,
                            std::vector<Node*>& items) {
    SceneWidgets::removeAll(items);
    if (!root) {
        return;
    }
    for (int j = 0; j < kPerPage; ++j) {
        const int index = (page - 1) * kPerPage + j;
        if (index < 0 || index >= static_cast<int>(pupils.size())) {
            continue;
        }
        Node* marker = SceneWidgets::find(root, format(markerFormat, j + 1));
        Node* item =
            marker && marker->getParent() ? UITools::createHeadItem(pupils[static_cast<size_t>(index)]) : nullptr;
        if (!item) {
            continue;
        }
        item->setScale(kItemScale);
        item->setTag(pupils[static_cast<size_t>(index)].number - 1);
        item->setPosition(marker->getPosition());
        marker->getParent()->addChild(item);
        items.push_back(item);
    }
}

int SignScene::getPageCount(int side) const {
    const auto& students = GDataManager::getInstance()->students;
    const auto unsignedCount =
        std::count_if(students.begin(), students.end(), [](const StudentRecord& pupil) { return !pupil.isSign; });
    const size_t count =
        side == kListSide ? static_cast<size_t>(unsignedCount) : students.size() - static_cast<size_t>(unsignedCount);
    return SceneWidgets::pageCountOf(count, kPerPage);
}

void SignScene::keepPagesShowing() {
    listPage = std::clamp(listPage, 1, std::max(1, getPageCount(kListSide)));
    shipPage = std::clamp(shipPage, 1, std::max(1, getPageCount(kShipSide)));
}

void SignScene::onTurnPage(int side, int shift) {
    int& page = side == kShipSide ? shipPage : listPage;
    page += shift;
    keepPagesShowing();
    if (side == kShipSide) {
        refreshShip();
    } else {
        refreshList();
    }
}

bool SignScene::onTouchBegan(engine::Touch* touch, engine::Event*) {
    draggedIcon = nullptr;
    dragSource = 0;
    raisePanel(root, "Img_List", 1);
    raisePanel(root, "Img_Ship", 1);
    const engine::Vec2 location = touch->getLocation();
    // The head's frame, measured in the item's space, takes the touch.
    const auto hit = [&location](Node* item) {
        return DragTools::hits(UITools::seekChildByName(item, "IconFrame"), location);
    };
    const std::pair<std::vector<Node*>*, const char*> sides[] = {{&listItems, "Img_List"}, {&shipItems, "Img_Ship"}};
    for (int source = 1; source <= 2; ++source) {
        const auto& [items, panel] = sides[source - 1];
        auto found = std::find_if(items->begin(), items->end(), hit);
        if (found != items->end()) {
            draggedIcon = *found;
            dragStartPos = draggedIcon->getPosition();
            dragSource = source;
            raisePanel(root, panel, 2);
            return true;
        }
    }
    return false;
}

void SignScene::onTouchMoved(engine::Touch* touch, engine::Event*) {
    if (!draggedIcon || !draggedIcon->getParent()) {
        return;
    }
    DragTools::placeAt(draggedIcon, touch->getLocation());
}

void SignScene::onTouchEnded(engine::Touch* touch, engine::Event*) {
    if (!draggedIcon) {
        return;
    }
    const engine::Vec2 location = touch->getLocation();
    if (dragSource == 1) {
        if (DragTools::hits(SceneWidgets::find(root, "Img_Ship"), location)) {
            if (StudentRecord* pupil = pupilOf(draggedIcon)) {
                pupil->isSign = true;
            }
            splitStudents();
        }
        if (listPage > 1 && unsignedStudents.size() % kPerPage == 0) {
            --listPage;
        }
        if (signedStudents.size() >= kPerPage && signedStudents.size() % kPerPage == 1) {
            ++shipPage;
        }
    } else if (dragSource == 2) {
        if (DragTools::hits(SceneWidgets::find(root, "Img_List"), location)) {
            if (StudentRecord* pupil = pupilOf(draggedIcon)) {
                pupil->isSign = false;
                pupil->group = 0;
            }
            splitStudents();
        }
        if (unsignedStudents.size() >= kPerPage && unsignedStudents.size() % kPerPage == 1) {
            ++listPage;
        }
        if (shipPage > 1 && signedStudents.size() % kPerPage == 0) {
            --shipPage;
        }
    }
    draggedIcon->setPosition(dragStartPos);
    draggedIcon = nullptr;
    dragSource = 0;
    keepPagesShowing();
    refreshList();
    refreshShip();
}

void SignScene::onOneKeySign() {
    for (StudentRecord& pupil : GDataManager::getInstance()->students) {
        pupil.isSign = true;
    }
    keepPagesShowing();
    refreshList();
    refreshShip();
}

void SignScene::onConfirm() {
    if (confirmBusy) {
        return;
    }
    confirmBusy = true;
    startConfirmAnimation();
}

void SignScene::startConfirmAnimation() {
    if (Node* light = SceneWidgets::find(root, "Img_ListLight")) {
        light->runAction(engine::ScaleTo::create(0.5f, 1.0f, 0.0f));
    }
    Node* list = SceneWidgets::find(root, "Img_List");
    if (!list) {
        playSailAnimation();
        return;
    }
    list->runAction(engine::Sequence::create(engine::ScaleTo::create(0.5f, 1.0f, 0.0f),
                                             engine::CallFunc::create(lifeToken.guard([this] { playSailAnimation(); })),
                                             nullptr));
}

void SignScene::playSailAnimation() {
    Node* sail = SceneWidgets::find(root, "SailImg");
    if (!sail) {
        playEarthAnimation();
        return;
    }
    // A sail that cannot play still calls back, on the next frame.
    SFAnimation::getInstance()->playAnimationAtNode(sail, "Sail", false,
                                                    lifeToken.guard([this] { playEarthAnimation(); }), false, 0, 0);
    UITools::removeSelf(sail);
}

void SignScene::playEarthAnimation() {
    if (Node* earth = SceneWidgets::find(root, "EarthPanel")) {
        earth->runAction(engine::RepeatForever::create(engine::RotateBy::create(4.0f, 360.0f)));
    }
    scheduleOnce(lifeToken.guard([this](float delay) { onAnimationDone(delay); }), 1.25f, "SignDone");
    if (Node* wave = SceneWidgets::find(root, "WaveImg")) {
        SFAnimation::getInstance()->playAnimationAtNode(wave, "SeaWave2", true, nullptr, false, 0, 0);
    }
}

void SignScene::onAnimationDone(float) {
    engine::Director* director = engine::Director::getInstance();
    switch (GDataManager::getInstance()->enteredFrom) {
    case 0:
    case 2:
        if (GroupScene* scene = GroupScene::create()) {
            director->replaceScene(scene);
        }
        break;
    case 3:
        director->popScene();
        if (GroupScene* scene = GroupScene::create()) {
            director->pushScene(scene);
        }
        break;
    default:
        break;
    }
}

void SignScene::openFromLectureList() {
    GDataManager::getInstance()->enteredFrom = 2;
    if (SignScene* scene = SignScene::create()) {
        engine::Director::getInstance()->replaceScene(scene);
    }
}

void SignScene::onReturn() {
    GDataManager* data = GDataManager::getInstance();
    engine::Director* director = engine::Director::getInstance();
    switch (data->enteredFrom) {
    case 0:
    case 2: {
        const int playMode = data->getSubject(0, 0).playMode;
        // Any other mode stays rather than leaving the teacher on an empty screen.
        if (playMode < 1 || playMode > 3) {
            engine::log("error subject playmodel : %d", playMode);
            return;
        }
        data->enteredFrom = 0;
        if (playMode == 1) {
            if (LectureScene* scene = LectureScene::create()) {
                director->replaceScene(scene);
            }
            break;
        }
        data->gradeCode = 0;
        if (TouLectureScene* scene = TouLectureScene::create()) {
            director->replaceScene(scene);
        }
        break;
    }
    case 3:
        AudioManager::getInstance()->stopBackgroundMusic();
        data->enteredFrom = 0;
        director->popScene();
        break;
    default:
        break;
    }
}
