#include "games/GameManager.h"

#include <algorithm>

#include "base/Director.h"
#include "base/Log.h"
#include "base/StringUtils.h"
#include "common/PlistManager.h"
#include "common/UITools.h"
#include "common/FileManager.h"
#include "platform/FileUtils.h"
#include "scene/Sprite.h"
#include "ui/ImageView.h"
#include "ui/Text.h"

using engine::Value;
using engine::ValueMap;
using engine::ValueVector;

namespace {

constexpr int kQuestionSlots = 10;

ValueVector listOf(const Value& value) {
    return value.getType() == Value::Type::VECTOR ? value.asValueVector() : ValueVector();
}

std::string mapEntry(const Value& value, const std::string& name) {
    if (value.getType() != Value::Type::MAP) {
        return {};
    }
    const ValueMap& map = value.asValueMap();
    const auto found = map.find(name);
    return found == map.end() ? std::string() : found->second.asString();
}

} // namespace

GameManager* GameManager::getInstance() {
    static GameManager* instance = [] {
        auto* manager = new GameManager();
        manager->init();
        return manager;
    }();
    return instance;
}

ValueMap GameManager::getGameMap() const {
    return PlistManager::getInstance()->getValueMap(FileManager::getInstance()->getTopicPlistPath(), "Game");
}

Value GameManager::value(const std::string& key) const {
    const ValueMap map = getGameMap();
    const auto found = map.find(key);
    return found == map.end() ? Value() : found->second;
}

int GameManager::getGameModel() const {
    const ValueMap map = getGameMap();
    const auto model = map.find("GameModel");
    if (model != map.end() && !model->second.isNull()) {
        return model->second.asInt();
    }
    const auto type = map.find("GameType");
    const auto layout = map.find("LayoutType");
    return (type == map.end() ? 0 : type->second.asInt()) * 10 + (layout == map.end() ? 0 : layout->second.asInt());
}

int GameManager::getTime() const {
    return value("Time").asInt();
}

int GameManager::getQNum() const {
    return value("QNum").asInt();
}

int GameManager::getQuestionCount() const {
    return std::clamp(getQNum(), 0, kQuestionSlots);
}

float GameManager::getScore() const {
    const int count = getQuestionCount();
    return count > 0 ? value("Score").asFloat() / static_cast<float>(count) : 0.f;
}

bool GameManager::isPlayable() const {
    return getQuestionCount() > 0 && getTime() > 0;
}

int GameManager::getQuestionType() const {
    return value("QuestionType").asInt();
}

std::vector<int> GameManager::getAnswers() const {
    std::vector<int> out;
    for (const Value& entry : listOf(value("Answers"))) {
        out.push_back(entry.asInt());
    }
    return out;
}

ValueVector GameManager::getQuestions() const {
    return listOf(value("Questions"));
}
ValueVector GameManager::getContImgs() const {
    return listOf(value("ContImgs"));
}
ValueVector GameManager::getSelectImgs() const {
    return listOf(value("SelectImgs"));
}
ValueVector GameManager::getOperImgs() const {
    return listOf(value("OperImgs"));
}
ValueVector GameManager::getAniImgs() const {
    return listOf(value("AniImgs"));
}
ValueVector GameManager::getAnswerImgs() const {
    return listOf(value("AnswerImgs"));
}

std::string GameManager::getAnimation(const std::string& name) const {
    return mapEntry(value("Animations"), name);
}

std::string GameManager::getMusic(const std::string& name) const {
    return mapEntry(value("Music"), name);
}

engine::Node* GameManager::loadGameNode() const {
    const std::string file = engine::StringUtils::format("Game%d.csb", getGameModel());
    if (!engine::FileUtils::getInstance()->isFileExist(file)) {
        engine::log("game layout missing: %s", file.c_str());
        return nullptr;
    }
    return UITools::createCsbNode(file);
}

void GameManager::initGameImages(engine::Node* node) const {
    if (!node) {
        return;
    }
    if (engine::Node* board = UITools::seekChildByName(node, "BoardImage")) {
        setPicture(board, value("BoardImg").asString());
    }
    loadImageList(node, "AniImg", "AniImgs");
    loadImageList(node, "OperImg", "OperImgs");
    setTitle(node);
}

void GameManager::loadImageList(engine::Node* node, const std::string& prefix, const std::string& key) const {
    const ValueVector list = listOf(value(key));
    for (size_t i = 0; i < list.size(); ++i) {
        auto* widget = dynamic_cast<engine::ui::ImageView*>(
            UITools::seekChildByName(node, engine::StringUtils::format("%s%d", prefix.c_str(), int(i) + 1)));
        if (!widget) {
            continue;
        }
        setPicture(widget, list[i].asString());
        widget->setTouchEnabled(false);
    }
}

void GameManager::setTitle(engine::Node* node) const {
    if (auto* title = dynamic_cast<engine::ui::Text*>(UITools::seekChildByName(node, "TitleText"))) {
        title->setString(value("Title").asString());
    }
}

Value GameManager::entryAt(const ValueVector& list, int index) {
    return index >= 0 && index < static_cast<int>(list.size()) ? list[index] : Value();
}

void GameManager::setPicture(engine::Node* widget, const std::string& file) {
    auto* image = dynamic_cast<engine::ui::ImageView*>(widget);
    if (!image || file.empty()) {
        return;
    }
    engine::Sprite* sprite = engine::Sprite::create(file);
    if (!sprite) {
        engine::log("game picture missing: %s", file.c_str());
        return;
    }
    image->loadTexture(file);
    image->ignoreContentAdaptWithSize(false);
    image->setContentSize(sprite->getContentSize() * engine::Director::getInstance()->getContentScaleFactor());
}
