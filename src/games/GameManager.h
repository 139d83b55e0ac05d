// The lecture's mini-game description: the "Game" map of its Topic.plist, read anew at every call, and the
// dressing of the game's layout with the map's pictures and title.
#pragma once

#include <string>
#include <vector>

#include "base/Ref.h"
#include "base/Value.h"

namespace engine {
class Node;
}

class GameManager : public engine::Ref {
public:
    static GameManager* getInstance();
    virtual bool init() { return true; }

    engine::ValueMap getGameMap() const;
    // "GameModel" when present, else "GameType" * 10 + "LayoutType".
    int getGameModel() const;
    int getTime() const;
    int getQNum() const;
    // "QNum" limited to the ten question slots; 0 when not positive.
    int getQuestionCount() const;
    // The points of one right answer: "Score" / the question count, 0 when there are no questions.
    float getScore() const;
    // A round can be played: at least one question and some time to answer it.
    bool isPlayable() const;
    int getQuestionType() const;
    std::vector<int> getAnswers() const;
    engine::ValueVector getQuestions() const;
    engine::ValueVector getContImgs() const;
    engine::ValueVector getSelectImgs() const;
    engine::ValueVector getOperImgs() const;
    engine::ValueVector getAniImgs() const;
    engine::ValueVector getAnswerImgs() const;
    std::string getAnimation(const std::string& name) const;
    std::string getMusic(const std::string& name) const;

    // "Game%d.csb" of the game model, or null when the file is not there.
    engine::Node* loadGameNode() const;
    void initGameImages(engine::Node* node) const;
    void loadImageList(engine::Node* node, const std::string& prefix, const std::string& key) const;
    void setTitle(engine::Node* node) const;

    // Entry index of a list, or a null value when the index is outside it.
    static engine::Value entryAt(const engine::ValueVector& list, int index);
    // Puts file on the image view and sizes it to the picture when the picture loads.
    static void setPicture(engine::Node* widget, const std::string& file);

private:
    GameManager() = default;
    engine::Value value(const std::string& key) const;
};
