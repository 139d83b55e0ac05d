#include "games/Puzzle.h"

#include <algorithm>

#include "common/UITools.h"
#include "games/GameManager.h"
#include "scene/ActionComposites.h"
#include "scene/ActionIntervals.h"

namespace {

constexpr int kLastTile = 16;
constexpr int kDarkTiles = 10;
const engine::Color3B kDark(77, 77, 77);
constexpr float kUncoverTime = 0.5f;

} // namespace

GameLayer* Puzzle::frame = nullptr;

Puzzle::~Puzzle() = default;

void Puzzle::onEnter() {
    Node::onEnter();
    if (entered) {
        return;
    }
    contImgs.clear();
    hiddenTiles.clear();
    enterGame(
        frame, [this] { initPicture(); }, [this](engine::Node* option, int number) { onOperClick(option, number); });
}

void Puzzle::initPicture() {
    showQuestion();
    // A resume after a pause only shows the question again: the picture is set up at the first start.
    if (pictureReady || !gameNode) {
        return;
    }
    pictureReady = true;
    UITools::seekChildrenByPrefix(contImgs, gameNode, "ContImg");
    const engine::ValueVector pictures = GameManager::getInstance()->getContImgs();
    for (size_t i = 0; i < contImgs.size() && i < pictures.size(); ++i) {
        GameManager::setPicture(contImgs[i], pictures[i].asString());
    }
    const int lastTile = std::min(kLastTile, static_cast<int>(contImgs.size()) - 1);
    hiddenTiles = drawDistinct(1, lastTile, kDarkTiles);
    for (int tile : hiddenTiles) {
        contImgs[tile]->setColor(kDark);
    }
}

void Puzzle::showQuestion() {
    showCommonQuestion(frame);
}

void Puzzle::onOperClick(engine::Ref* sender, int /*optionNumber*/) {
    answerOption(frame, sender, [this] { onEffectEnd(); });
}

void Puzzle::onEffectEnd() {
    if (!frame || frame->ended()) {
        return;
    }
    if (!hiddenTiles.empty()) {
        engine::Node* tile = contImgs[hiddenTiles.front()];
        tile->runAction(engine::Spawn::create(engine::FadeIn::create(kUncoverTime),
                                              engine::TintTo::create(kUncoverTime, 255, 255, 255), nullptr));
        hiddenTiles.erase(hiddenTiles.begin());
    }
    rightAnswerTail(frame, [this] { showQuestion(); });
}

void Puzzle::resumeTimer() {
    resume(frame);
}
