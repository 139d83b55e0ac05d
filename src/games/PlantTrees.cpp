#include "games/PlantTrees.h"

#include "base/StringUtils.h"
#include "common/SFAnimation.h"
#include "common/UITools.h"
#include "games/GameManager.h"
#include "scene/Sprite.h"

namespace {

// The tag SFAnimation gives the last frame it leaves on screen.
constexpr int kKeptFrameTag = 10086;

} // namespace

GameLayer* PlantTrees::frame = nullptr;

PlantTrees::~PlantTrees() = default;

void PlantTrees::onEnter() {
    Node::onEnter();
    if (!entered) {
        growSprite = nullptr;
    }
    enterGame(
        frame, [this] { showQuestion(); }, [this](engine::Node* target, int index) { onOperClick(target, index); });
}

void PlantTrees::showQuestion() {
    showCommonQuestion(frame);
}

void PlantTrees::onOperClick(engine::Ref* sender, int /*index*/) {
    answerOption(frame, sender, [this] { onEffectEnd(); });
}

void PlantTrees::onEffectEnd() {
    if (!frame || frame->ended()) {
        return;
    }
    frame->answeredCount += 1;
    if (frame->answeredCount % 2 == 1) {
        scoreTail(frame, [this] { showQuestion(); });
        return;
    }
    // The points of every second answer come after the tree has grown.
    engine::Node* can = UITools::seekChildByName(gameNode, "PosNode");
    playThen(can, GameManager::getInstance()->getAnimation("EffectWatering"),
             can ? can->getPosition() : engine::Vec2::ZERO, [this] { onWateringEnd(); });
}

void PlantTrees::onWateringEnd() {
    engine::Node* tree = UITools::seekChildByName(gameNode, "AniImg1");
    const std::string stage =
        GameManager::getInstance()->getAnimation(engine::StringUtils::format("Effect%d", frame->answeredCount / 2));
    // Without the tree or the stage's animation the tree stays as it is and the answer still counts.
    if (!tree || !tree->getParent() || SFAnimation::getInstance()->getAnimationInfo(stage).empty()) {
        onGrowEnd();
        return;
    }
    if (growSprite) {
        tree->getParent()->removeChildByTag(kKeptFrameTag, true);
        growSprite = nullptr;
    }
    tree->setVisible(false);
    growSprite = SFAnimation::getInstance()->playAnimation(tree, stage, false, life.guard([this] { onGrowEnd(); }),
                                                           false, 0, 0, tree->getPosition());
    if (!growSprite) {
        tree->setVisible(true);
    }
}

void PlantTrees::onGrowEnd() {
    scoreTail(frame, [this] { showQuestion(); });
}

void PlantTrees::resumeTimer() {
    resume(frame);
}
