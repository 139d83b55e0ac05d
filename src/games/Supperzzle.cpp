#include "games/Supperzzle.h"

#include <algorithm>

#include "base/Director.h"
#include "common/UITools.h"
#include "games/GameManager.h"
#include "render/TextureCache.h"
#include "scene/ActionComposites.h"
#include "scene/ActionInstants.h"
#include "scene/ActionIntervals.h"
#include "ui/Widget.h"

namespace {

constexpr float kPopInterval = 0.08f;
constexpr float kFlightTime = 0.5f;
constexpr float kSelectedScale = 1.2f;

void setSelected(engine::Node* piece, bool selected) {
    piece->setScale(selected ? kSelectedScale : 1.f);
    piece->setLocalZOrder(selected ? 2 : 1);
}

} // namespace

GameLayer* Supperzzle::frame = nullptr;

Supperzzle::~Supperzzle() = default;

void Supperzzle::onEnter() {
    Node::onEnter();
    if (entered) {
        return;
    }
    entered = true;
    pieces.clear();
    selectedPieces.clear();
    gameNode = nullptr;
    popIndex = 0;
    loadedCount = 0;
    initLayout();
    const engine::ValueVector pictures = GameManager::getInstance()->getOperImgs();
    if (pictures.empty()) {
        startPopIn();
        return;
    }
    // A picture that fails to load counts as loaded; a load that ends after the game went reaches nothing.
    engine::TextureCache* cache = engine::Director::getInstance()->getTextureCache();
    for (const engine::Value& picture : pictures) {
        cache->addImageAsync(picture.asString(),
                             life.guard([this](engine::Texture2D* texture) { onTextureLoaded(texture); }));
    }
}

void Supperzzle::initLayout() {
    GameManager* manager = GameManager::getInstance();
    gameNode = manager->loadGameNode();
    if (!gameNode) {
        return;
    }
    addChild(gameNode);
    manager->initGameImages(gameNode);
    std::vector<engine::Node*> found;
    UITools::seekChildrenByPrefix(found, gameNode, "OperImg");
    for (size_t k = 0; k < found.size(); ++k) {
        auto* piece = dynamic_cast<engine::ui::Widget*>(found[k]);
        if (!piece) {
            continue;
        }
        pieces.push_back(piece);
        piece->setLocalZOrder(1);
        piece->setTouchEnabled(true);
        const int number = static_cast<int>(k) + 1;
        piece->addClickEventListener(life.guard([this, number](engine::Ref* sender) { onPieceClick(sender, number); }));
    }
}

void Supperzzle::onTextureLoaded(engine::Texture2D* /*texture*/) {
    loadedCount += 1;
    if (loadedCount == static_cast<int>(GameManager::getInstance()->getOperImgs().size())) {
        startPopIn();
    }
}

void Supperzzle::startPopIn() {
    scatterPieces();
    if (pieces.empty()) {
        showReady();
        return;
    }
    popIndex = 0;
    pieces[0]->runAction(createPopAction());
    schedule([this](float dt) { popNext(dt); }, kPopInterval, "popNext");
}

void Supperzzle::showReady() {
    if (!frame) {
        return;
    }
    for (engine::ui::Widget* button : {frame->startBtn, frame->resetBtn}) {
        if (button) {
            button->setVisible(true);
        }
    }
}

void Supperzzle::scatterPieces() {
    std::vector<engine::Vec2> places;
    for (engine::ui::Widget* piece : pieces) {
        places.push_back(piece->getPosition());
    }
    for (engine::ui::Widget* piece : pieces) {
        const int r = drawIndex(static_cast<int>(places.size()));
        piece->setPosition(places[r]);
        places.erase(places.begin() + r);
        piece->setScale(0.f);
    }
}

engine::Action* Supperzzle::createPopAction() {
    return engine::Sequence::create(engine::ScaleTo::create(0.2f, 1.2f), engine::ScaleTo::create(0.1f, 0.8f),
                                    engine::ScaleTo::create(0.1f, 1.f), nullptr);
}

void Supperzzle::popNext(float /*dt*/) {
    popIndex += 1;
    if (popIndex >= static_cast<int>(pieces.size())) {
        unschedule("popNext");
        showReady();
        return;
    }
    pieces[popIndex]->runAction(createPopAction());
}

void Supperzzle::onPieceClick(engine::Ref* sender, int /*index*/) {
    auto* piece = dynamic_cast<engine::ui::Widget*>(sender);
    if (!piece || !frame || !frame->running() || frame->ended()) {
        return;
    }
    setSelected(piece, true);
    if (!selectedPieces.empty() && selectedPieces.front() == piece) {
        return;
    }
    selectedPieces.push_back(piece);
    if (selectedPieces.size() < 2) {
        return;
    }
    if (selectedPieces[0]->getTag() == selectedPieces[1]->getTag()) {
        takeClick(frame);
        movePairTogether();
        return;
    }
    for (engine::ui::Widget* tried : selectedPieces) {
        setSelected(tried, false);
    }
    selectedPieces.clear();
}

bool Supperzzle::answerable(int /*slot*/) const {
    // A pair both of whose pieces show a picture.
    const size_t pictured = std::min(pieces.size(), GameManager::getInstance()->getOperImgs().size());
    for (size_t i = 0; i < pictured; ++i) {
        for (size_t j = i + 1; j < pictured; ++j) {
            if (pieces[i]->getTag() == pieces[j]->getTag()) {
                return true;
            }
        }
    }
    return false;
}

void Supperzzle::movePairTogether() {
    engine::ui::Widget* first = selectedPieces[0];
    engine::ui::Widget* second = selectedPieces[1];
    const engine::Vec2 meetingPoint = (first->getPosition() + second->getPosition()) * 0.5f;
    first->runAction(engine::Sequence::create(
        engine::MoveTo::create(kFlightTime, meetingPoint),
        engine::CallFunc::create(life.guard([this, meetingPoint] { onPairMatched(meetingPoint); })), nullptr));
    second->runAction(engine::MoveTo::create(kFlightTime, meetingPoint));
}

void Supperzzle::onPairMatched(const engine::Vec2& meetingPoint) {
    if (selectedPieces.size() < 2) {
        return;
    }
    engine::ui::Widget* first = selectedPieces[0];
    playEffectSound();
    playThen(first, GameManager::getInstance()->getAnimation("Effect"), meetingPoint, [] {});
    first->setVisible(false);
    selectedPieces[1]->setVisible(false);
    selectedPieces.clear();
    rightAnswerTail(frame, nullptr);
}
