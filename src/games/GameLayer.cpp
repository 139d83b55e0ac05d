// Index of this file:
// [SECTION] Small helpers
// [SECTION] Making the frame
// [SECTION] The pupils' row
// [SECTION] Round phases, time and score
// [SECTION] The result, the rank board and navigation
// [SECTION] Boards
// [SECTION] Questions and answers shared by the games
// [SECTION] Drawing lots and sounds

#include "games/GameLayer.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "audio/AudioEngine.h"
#include "base/Director.h"
#include "base/StringUtils.h"
#include "common/AudioManager.h"
#include "common/CommonTools.h"
#include "common/GDataManager.h"
#include "common/PlistManager.h"
#include "common/SFAnimation.h"
#include "common/TipsManager.h"
#include "common/UITools.h"
#include "games/GameManager.h"
#include "lesson/LogicTopicScene.h"
#include "common/FileManager.h"
#include "platform/FileUtils.h"
#include "tools/MusicLayer.h"
#include "tools/RankLayer.h"
#include "ui/ImageView.h"
#include "ui/Layout.h"
#include "ui/Text.h"

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Small helpers
//----------------------------------------------------------------------------------------------------------------------

namespace {

const char* const kClickSound = "BtnClick.mp3";
constexpr int kIconsPerPage = 5;
constexpr int kQuestionSlots = 10;
constexpr int kOptionTagBase = 10000;
const engine::Color3B kBackdrop(214, 236, 250);

// Frames and games alive: the search paths go back to the kept list when the last of them goes, so a new frame
// made before the old one is freed keeps its picture folder.
int liveLayers = 0;

void setShown(engine::Node* node, bool shown) {
    if (node) {
        node->setVisible(shown);
    }
}

void setEnabled(engine::ui::Widget* widget, bool enabled) {
    if (widget) {
        widget->setEnabled(enabled);
    }
}

int pageCount() {
    const int count = static_cast<int>(GDataManager::getInstance()->students.size());
    return (count + kIconsPerPage - 1) / kIconsPerPage;
}

// The lesson player removes this frame when it opens an entry: it does so on its next frame, after the click
// handler that asked for it has returned.
void goToNav(int nav) {
    LogicTopicScene* player = GDataManager::getInstance()->logicTopicScene;
    if (player) {
        player->scheduleOnce([player, nav](float) { player->selectNav(nav); }, 0.f, "gameNav");
    }
}

} // namespace

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Making the frame
//----------------------------------------------------------------------------------------------------------------------

GameLayer::GameLayer() {
    ++liveLayers;
    engine::FileUtils::getInstance()->addSearchPath(FileManager::getInstance()->getGameImgPath());
}

GameLayer::~GameLayer() {
    closeBoards();
    if (--liveLayers == 0) {
        const std::vector<std::string>& kept = FileManager::getInstance()->searchPaths;
        if (!kept.empty()) {
            engine::FileUtils::getInstance()->setSearchPaths(kept);
        } else {
            // No login kept a list (a frame opened without the login road): only this frame's folder goes.
            std::vector<std::string> paths = engine::FileUtils::getInstance()->getSearchPaths();
            const std::string own = FileManager::getInstance()->getGameImgPath();
            paths.erase(std::remove(paths.begin(), paths.end(), own), paths.end());
            engine::FileUtils::getInstance()->setSearchPaths(paths);
        }
    }
}

bool GameLayer::init() {
    return Layer::init();
}

void GameLayer::onEnter() {
    Node::onEnter();
    if (started) {
        return;
    }
    started = true;
    SFAnimation::getInstance()->preloadAnimations("Game", life.guard([this] { onGameStart(); }));
}

void GameLayer::onGameStart() {
    initRes();
    screenAdaptation();
    studentIcons.clear();
    setPhase(Phase::Ready);
    answeredCount = 0;
    elapsedTime = 0.f;
    score = 0.f;
    currentPage = 1;
    selectedStudent = -1;
    selectedId = -1;
    roundPupilId = -1;
    startCallback = nullptr;
    initStudentIcons();
    AudioManager* audio = AudioManager::getInstance();
    if (audio->backgroundMusicId == engine::AudioEngine::INVALID_AUDIO_ID) {
        const std::string music = GameManager::getInstance()->getMusic("BackGround");
        if (!music.empty()) {
            audio->backgroundMusicId =
                engine::AudioEngine::play2d(music, true, GDataManager::getInstance()->musicVolume);
        }
    }
    createGame();
    updatePageNum();
}

void GameLayer::initRes() {
    const engine::Size win = engine::Director::getInstance()->getWinSize();
    const engine::Vec2 centre(win.width / 2, win.height / 2);
    auto* shield = engine::ui::Layout::create();
    shield->setContentSize(win);
    shield->setAnchorPoint({0.5f, 0.5f});
    shield->setPosition(centre);
    shield->setTouchEnabled(true);
    // Opaque, so a game without its background picture still covers the lesson's buttons beneath.
    shield->setBackGroundColorType(engine::ui::Layout::BackGroundColorType::SOLID);
    shield->setBackGroundColor(kBackdrop);
    addChild(shield, 1);
    auto* background = engine::ui::ImageView::create();
    const std::string bg = GameManager::getInstance()->getGameMap()["BgImg"].asString();
    if (!bg.empty()) {
        background->loadTexture("GameBg/" + bg);
    }
    background->setPosition(centre);
    // A window taller than the picture is covered too: the picture grows, keeping its shape, until it fills it.
    const engine::Size picture = background->getVirtualRendererSize();
    float scale = engine::Director::getInstance()->getContentScaleFactor();
    if (picture.width > 0.f && picture.height > 0.f) {
        scale = std::max({scale, win.width / picture.width, win.height / picture.height});
    }
    background->setScale(scale);
    addChild(background, 1);

    rootNode = UITools::createCsbNode("GameLayer.csb");
    if (!rootNode) {
        return;
    }
    addChild(rootNode, 3);
    timeText = dynamic_cast<engine::ui::Text*>(UITools::seekChildByName(rootNode, "TimeText"));
    scoreText = dynamic_cast<engine::ui::Text*>(UITools::seekChildByName(rootNode, "ScoreText"));
    if (timeText) {
        timeText->setString("00:00");
    }
    if (scoreText) {
        scoreText->setString("0");
    }
    auto bind = [this](const std::function<void()>& handler, bool effect, const char* name) {
        return UITools::addClickListener(rootNode, life.guard(handler), effect, kClickSound, name);
    };
    leftBtn = bind([this] { onNavBtn(3); }, false, "LeftBtn");
    rightBtn = bind([this] { onNavBtn(5); }, false, "RightBtn");
    startBtn = bind([this] { onStartBtn(); }, false, "StartBtn");
    pauseBtn = bind([this] { onPauseBtn(); }, false, "PauseBtn");
    stopBtn = bind([this] { onStopBtn(); }, false, "StopBtn");
    resetBtn = bind([this] { restartGame(); }, false, "ResetBtn");
    rankBtn = bind([this] { onRankBtn(); }, false, "RankBtn");
    bind([this] { onReturnBtn(); }, true, "Btn_Return");
    bind([this] { turnPage(-1); }, false, "UpBtn");
    bind([this] { turnPage(1); }, false, "DownBtn");
    bind([this] { onMusicBtn(); }, false, "Btn_Music");
    setMusicBtnState();
}

void GameLayer::screenAdaptation() {
    if (!rootNode) {
        return;
    }
    if (engine::Node* rank = UITools::seekChildByName(rootNode, "RankBtn")) {
        rank->setPositionY(engine::Director::getInstance()->getWinSize().height);
    }
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] The pupils' row
//----------------------------------------------------------------------------------------------------------------------

void GameLayer::initStudentIcons() {
    for (engine::Node* icon : studentIcons) {
        UITools::removeSelf(icon);
    }
    studentIcons.clear();
    CommonTools::getInstance()->sortStudents(3);
    CommonTools::getInstance()->sortStudents(2);
    const std::vector<StudentRecord>& pupils = GDataManager::getInstance()->students;
    selectedStudent = -1;
    for (size_t i = 0; i < pupils.size(); ++i) {
        if (selectedId >= 0 && pupils[i].id == selectedId) {
            selectedStudent = static_cast<int>(i);
        }
    }
    for (int i = 0; i < kIconsPerPage; ++i) {
        const int index = (currentPage - 1) * kIconsPerPage + i;
        engine::Node* place = UITools::seekChildByName(rootNode, engine::StringUtils::format("PosNode%d", i + 1));
        if (index >= static_cast<int>(pupils.size()) || !place || !place->getParent()) {
            continue;
        }
        engine::Node* icon = UITools::addHeadItemListener(GDataManager::getInstance()->getStudent(index),
                                                          life.guard([this, i] { selectStudent(i); }));
        if (!icon) {
            continue;
        }
        icon->setPosition(place->getPosition());
        place->getParent()->addChild(icon);
        studentIcons.push_back(icon);
    }
    markSelection();
}

void GameLayer::markSelection() {
    for (engine::Node* icon : studentIcons) {
        setShown(UITools::seekChildByName(icon, "IconSelect"), selectedId >= 0 && icon->getTag() == selectedId);
    }
}

void GameLayer::selectStudent(int icon) {
    const int index = (currentPage - 1) * kIconsPerPage + icon;
    const std::vector<StudentRecord>& pupils = GDataManager::getInstance()->students;
    if (icon < 0 || icon >= static_cast<int>(studentIcons.size()) || index >= static_cast<int>(pupils.size())) {
        return;
    }
    selectedStudent = index;
    selectedId = pupils[index].id;
    markSelection();
}

void GameLayer::turnPage(int step) {
    const int pages = pageCount();
    currentPage = std::max(1, std::min(currentPage + step, pages));
    initStudentIcons();
    updatePageNum();
}

void GameLayer::updatePageNum() {
    const int pages = pageCount();
    setShown(UITools::seekChildByName(rootNode, "UpBtn"), currentPage != 1);
    setShown(UITools::seekChildByName(rootNode, "DownBtn"), currentPage != pages);
    if (auto* first = dynamic_cast<engine::ui::Text*>(UITools::seekChildByName(rootNode, "PageNum1"))) {
        first->setString(engine::StringUtils::format("%d", currentPage));
    }
    if (auto* second = dynamic_cast<engine::ui::Text*>(UITools::seekChildByName(rootNode, "PageNum2"))) {
        second->setString(engine::StringUtils::format("%d", pages));
    }
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Round phases, time and score
//----------------------------------------------------------------------------------------------------------------------

void GameLayer::setPhase(Phase next) {
    roundPhase = next;
    roundRunning = next == Phase::Running;
    roundEnded = next == Phase::Won || next == Phase::TimedOut || next == Phase::Stopped;
    roundState = next == Phase::Ready ? 1 : next == Phase::Won ? 3 : 2;
    if (next == Phase::Ready) {
        return; // the buttons as the layout and the game have them
    }
    const bool paused = next == Phase::Paused || next == Phase::PausedAnswering;
    setShown(startBtn, paused);
    setShown(pauseBtn, !ended() && !paused);
    setShown(stopBtn, !ended());
    setShown(leftBtn, ended());
    setShown(rightBtn, ended());
    // A won or timed-out round enables it with its result tip.
    setEnabled(rankBtn, next == Phase::Stopped);
    if (ended()) {
        unschedule("updateTime");
    } else if (!isScheduled("updateTime")) {
        schedule([this](float dt) { updateTime(dt); }, "updateTime");
    }
}

bool GameLayer::canPlay() const {
    if (!GameManager::getInstance()->isPlayable()) {
        return false;
    }
    if (!game) {
        return true; // without a game class the frame still counts down
    }
    for (int slot = 0; slot < kQuestionSlots; ++slot) {
        if (game->answerable(slot)) {
            return true;
        }
    }
    return false;
}

void GameLayer::onStartBtn() {
    if (ended()) {
        return;
    }
    if (selectedStudent < 0) {
        TipsManager::getInstance()->showTipsByKey("GameStr2", nullptr, nullptr);
        return;
    }
    if (roundPhase == Phase::Ready) {
        // A round that cannot be answered right would time out and overwrite the pupil's result.
        if (!canPlay()) {
            TipsManager::getInstance()->showTipsByKey("GameStr4", nullptr, nullptr);
            return;
        }
        roundPupilId = selectedId;
    }
    // An answer still in its effect goes first: its end runs the frame again and shows what comes next.
    const bool pending = roundPhase == Phase::Answering || roundPhase == Phase::PausedAnswering;
    setPhase(pending ? Phase::Answering : Phase::Running);
    if (!pending && startCallback) {
        startCallback();
    }
}

void GameLayer::onPauseBtn() {
    if (roundPhase == Phase::Running) {
        setPhase(Phase::Paused);
    } else if (roundPhase == Phase::Answering) {
        setPhase(Phase::PausedAnswering);
    }
}

void GameLayer::updateTime(float dt) {
    if (!running()) {
        return;
    }
    elapsedTime += dt;
    const float remaining = static_cast<float>(GameManager::getInstance()->getTime()) - elapsedTime;
    if (remaining <= 0.f) {
        gameOver();
        return;
    }
    const int s = static_cast<int>(remaining);
    if (timeText) {
        timeText->setString(engine::StringUtils::format("%.2d:%.2d", s / 60, s % 60));
    }
    if (scoreText) {
        scoreText->setString(updateScore());
    }
}

std::string GameLayer::updateScore() const {
    return std::to_string(shownScore(score));
}

int GameLayer::shownScore(float score) {
    return static_cast<int>(std::nearbyint(score));
}

bool GameLayer::checkFinish() {
    if (answeredCount < GameManager::getInstance()->getQuestionCount()) {
        resume(this);
        return false;
    }
    endRound(Phase::Won);
    return true;
}

void GameLayer::onStopBtn() {
    endRound(Phase::Stopped);
}

void GameLayer::gameOver() {
    endRound(Phase::TimedOut);
}

void GameLayer::endRound(Phase end) {
    if (ended()) {
        return;
    }
    setPhase(end);
    if (end == Phase::Stopped) {
        return; // nothing to store, celebrate or tell
    }
    showResult();
    engine::Node* centre = UITools::createCenterNode(this);
    playThen(centre, GameManager::getInstance()->getAnimation("Celebrate"), centre->getPosition(),
             [this] { showResultTip(); });
}

int GameLayer::roundPupil() const {
    const std::vector<StudentRecord>& pupils = GDataManager::getInstance()->students;
    for (size_t i = 0; i < pupils.size(); ++i) {
        if (roundPupilId >= 0 && pupils[i].id == roundPupilId) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] The result, the rank board and navigation
//----------------------------------------------------------------------------------------------------------------------

void GameLayer::showResult() {
    GDataManager* data = GDataManager::getInstance();
    const int index = roundPupil();
    StudentRecord record = data->getStudent(index);
    resultPreviousBest = record.gameTime;
    if (record.gameTime <= 0 || static_cast<float>(record.gameTime) > elapsedTime) {
        // A round played in under a second is still played: 0 reads as never played.
        record.gameTime = std::max(1, static_cast<int>(elapsedTime));
    }
    record.gameScore = shownScore(score);
    if (index >= 0) {
        data->students[index] = record;
    }
    resultName = record.name;
    resultElapsed = elapsedTime;
}

void GameLayer::showResultTip() {
    // A first round has no best time to compare with.
    const std::string text = PlistManager::getInstance()->getText(resultPreviousBest > 0 ? "GameStr1" : "GameStr3");
    TipsManager::getInstance()->showTips(formatResult(text, resultName, resultElapsed, resultPreviousBest), nullptr,
                                         nullptr);
    setEnabled(rankBtn, true);
}

std::string GameLayer::formatResult(const std::string& text, const std::string& name, double seconds, int shown) {
    std::string out;
    int argument = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%' || i + 1 >= text.size()) {
            out += text[i];
            continue;
        }
        size_t end = i + 1;
        while (end < text.size() && (text[end] == '.' || std::isdigit(static_cast<unsigned char>(text[end])))) {
            ++end;
        }
        if (end >= text.size()) {
            out += text.substr(i);
            break;
        }
        const char conversion = text[end];
        const std::string flags = text.substr(i + 1, end - i - 1);
        if (conversion == '%') {
            out += '%';
        } else if (conversion == 's' && argument == 0) {
            out += name;
            ++argument;
        } else if (conversion == 'f' && argument == 1) {
            const size_t dot = flags.find('.');
            const int digits = dot == std::string::npos ? 6 : std::min(9, std::atoi(flags.c_str() + dot + 1));
            out += engine::StringUtils::format("%.*f", digits, seconds);
            ++argument;
        } else if (conversion == 'd' && argument == 2) {
            out += std::to_string(shown);
            ++argument;
        } else {
            out += text.substr(i, end - i + 1);
        }
        i = end;
    }
    return out;
}

void GameLayer::onRankBtn() {
    // Outside a round only (the button is disabled during one).
    const bool inRound = roundPhase != Phase::Ready && !ended();
    if (!getParent() || rankBoard || inRound) {
        return;
    }
    auto* board = new RankLayer();
    if (!board->init()) {
        delete board;
        return;
    }
    board->autorelease();
    board->setLocalZOrder(103);
    getParent()->addChild(board);
    board->retain();
    rankBoard = board;
    board->closeCallback = life.guard([this] { onRankClose(); });
}

void GameLayer::onRankClose() {
    if (rankBoard) {
        rankBoard->release();
        rankBoard = nullptr;
    }
    // The board sorted the pupils: the chosen pupil is found again and the icons drawn in the new order.
    initStudentIcons();
}

void GameLayer::onNavBtn(int nav) {
    AudioManager* audio = AudioManager::getInstance();
    if (audio->backgroundMusicId > engine::AudioEngine::INVALID_AUDIO_ID) {
        engine::AudioEngine::stop(audio->backgroundMusicId);
        audio->backgroundMusicId = engine::AudioEngine::INVALID_AUDIO_ID;
    }
    goToNav(nav);
}

void GameLayer::onReturnBtn() {
    onNavBtn(5);
}

void GameLayer::restartGame() {
    goToNav(4);
}

void GameLayer::onMusicBtn() {
    if (!getParent() || musicBoard) {
        return;
    }
    MusicLayer* board = MusicLayer::create();
    if (!board) {
        return;
    }
    board->setLocalZOrder(106);
    getParent()->addChild(board);
    board->retain();
    musicBoard = board;
    board->closeCallback = life.guard([this] {
        musicBoard->release();
        musicBoard = nullptr;
        setMusicBtnState();
    });
}

void GameLayer::setMusicBtnState() {
    if (auto* music = dynamic_cast<engine::ui::Widget*>(UITools::seekChildByName(rootNode, "Btn_Music"))) {
        music->setBright(GDataManager::getInstance()->musicVolume != 0.f);
    }
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Boards
//----------------------------------------------------------------------------------------------------------------------

void GameLayer::closeBoards() {
    for (engine::Node** board : {&rankBoard, &musicBoard}) {
        if (*board) {
            UITools::removeSelf(*board);
            (*board)->release();
            *board = nullptr;
        }
    }
}

// -- shared game steps ----------------------------------------------------------------------------------------

void GameLayer::enterGame(GameLayer* frame, const std::function<void()>& questionStep,
                          const std::function<void(engine::Node*, int)>& onOption) {
    if (entered || !frame) {
        return;
    }
    entered = true;
    GameManager* manager = GameManager::getInstance();
    answers = manager->getAnswers();
    frame->startCallback = life.guard(questionStep);
    gameNode = manager->loadGameNode();
    if (gameNode) {
        addChild(gameNode);
    }
    manager->initGameImages(gameNode);
    std::vector<engine::Node*> options;
    if (onOption) {
        UITools::seekChildrenByPrefix(options, gameNode, "OperImg");
    }
    for (size_t k = 0; k < options.size(); ++k) {
        auto* option = dynamic_cast<engine::ui::Widget*>(options[k]);
        if (!option) {
            continue;
        }
        option->setTouchEnabled(true);
        const int number = static_cast<int>(k) + 1;
        option->addClickEventListener(
            life.guard([onOption, option, number](engine::Ref*) { onOption(option, number); }));
    }
    setShown(frame->startBtn, true);
    setShown(frame->resetBtn, true);
    questionOrder = drawDistinct(0, kQuestionSlots - 1, kQuestionSlots);
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Questions and answers shared by the games
//----------------------------------------------------------------------------------------------------------------------

int GameLayer::currentSlot(GameLayer* frame) const {
    if (!frame || frame->answeredCount < 0 || frame->answeredCount >= static_cast<int>(questionOrder.size())) {
        return -1;
    }
    return questionOrder[frame->answeredCount];
}

void GameLayer::showQuestionOf(int slot, bool withBoard) {
    GameManager* manager = GameManager::getInstance();
    const std::string question = GameManager::entryAt(manager->getQuestions(), slot).asString();
    engine::Node* picture = UITools::seekChildByName(gameNode, "QImg");
    engine::Node* board = withBoard ? UITools::seekChildByName(gameNode, "BoardImage") : nullptr;
    engine::Node* title = UITools::seekChildByName(gameNode, "TitleText");
    const int type = manager->getQuestionType();
    if (type == 2) {
        setShown(picture, false);
        setShown(board, true);
        setShown(title, true);
        if (auto* text = dynamic_cast<engine::ui::Text*>(title)) {
            text->setString(question);
        }
    } else if (type == 1) {
        setShown(picture, true);
        GameManager::setPicture(picture, question);
        setShown(board, false);
        setShown(title, false);
    }
}

void GameLayer::showCommonQuestion(GameLayer* frame, const std::function<void(engine::Node*, size_t)>& eachOption) {
    const int slot = currentSlot(frame);
    if (slot < 0 || !gameNode) {
        return;
    }
    showQuestionOf(slot, true);
    const engine::Value options = GameManager::entryAt(GameManager::getInstance()->getSelectImgs(), slot);
    if (options.getType() != engine::Value::Type::VECTOR) {
        return;
    }
    const engine::ValueVector& files = options.asValueVector();
    for (size_t k = 0; k < files.size(); ++k) {
        engine::Node* option = UITools::seekChildByName(gameNode, engine::StringUtils::format("OperImg%d", int(k) + 1));
        if (!option) {
            continue;
        }
        if (eachOption) {
            eachOption(option, k);
        }
        GameManager::setPicture(option, files[k].asString());
    }
}

bool GameLayer::takeClick(GameLayer* frame) {
    if (!frame || frame->roundPhase != Phase::Running) {
        return false;
    }
    frame->setPhase(Phase::Answering);
    return true;
}

int GameLayer::currentAnswer(GameLayer* frame) const {
    return answerAt(currentSlot(frame));
}

int GameLayer::answerAt(int slot) const {
    return slot >= 0 && slot < static_cast<int>(answers.size()) ? answers[slot] : INT_MIN;
}

bool GameLayer::hasQuestion(int slot) {
    return !GameManager::entryAt(GameManager::getInstance()->getQuestions(), slot).asString().empty();
}

bool GameLayer::answerable(int slot) const {
    const int answer = answerAt(slot);
    if (!gameNode || answer == INT_MIN || !hasQuestion(slot)) {
        return false;
    }
    const engine::Value options = GameManager::entryAt(GameManager::getInstance()->getSelectImgs(), slot);
    const int shown = options.getType() == engine::Value::Type::VECTOR ? int(options.asValueVector().size()) : 0;
    for (int k = 1; k <= shown; ++k) {
        const engine::Node* option = UITools::seekChildByName(gameNode, engine::StringUtils::format("OperImg%d", k));
        if (option && choiceOf(option) == answer) {
            return true;
        }
    }
    return false;
}

int GameLayer::choiceOf(const engine::Node* option) {
    return option ? option->getTag() - kOptionTagBase : INT_MIN;
}

bool GameLayer::isRightOption(GameLayer* frame, engine::Node* option) const {
    const int answer = currentAnswer(frame);
    return option && answer != INT_MIN && choiceOf(option) == answer;
}

engine::Node* GameLayer::takeOptionClick(GameLayer* frame, engine::Ref* sender) {
    if (!takeClick(frame)) {
        return nullptr;
    }
    auto* option = dynamic_cast<engine::Node*>(sender);
    if (!isRightOption(frame, option)) {
        wrongAnswer(frame);
        return nullptr;
    }
    return option;
}

void GameLayer::rightAnswerTail(GameLayer* frame, const std::function<void()>& nextQuestion) {
    if (!frame || frame->ended()) {
        return;
    }
    frame->answeredCount += 1;
    scoreTail(frame, nextQuestion);
}

void GameLayer::scoreTail(GameLayer* frame, const std::function<void()>& nextQuestion) {
    if (!frame || frame->ended()) {
        return;
    }
    frame->score += GameManager::getInstance()->getScore();
    if (frame->scoreText) {
        frame->scoreText->setString(frame->updateScore());
    }
    if (!frame->checkFinish() && nextQuestion) {
        nextQuestion();
    }
}

void GameLayer::wrongAnswer(GameLayer* frame) {
    resultThen(false, [frame] { resume(frame); });
}

void GameLayer::resultThen(bool right, const std::function<void()>& then) {
    // Feedback already playing would drop the callback and leave the game stopped: it goes on at once.
    if (SFAnimation::getInstance()->isResultBusy()) {
        then();
        return;
    }
    SFAnimation::getInstance()->playResultAnimation(right, life.guard(then));
}

void GameLayer::resume(GameLayer* frame) {
    if (!frame) {
        return;
    }
    if (frame->roundPhase == Phase::Answering) {
        frame->setPhase(Phase::Running);
    } else if (frame->roundPhase == Phase::PausedAnswering) {
        frame->setPhase(Phase::Paused);
    }
}

//----------------------------------------------------------------------------------------------------------------------
// [SECTION] Drawing lots and sounds
//----------------------------------------------------------------------------------------------------------------------

std::vector<int> GameLayer::drawDistinct(int first, int last, int n) {
    std::vector<int> pool;
    for (int number = first; number <= last; ++number) {
        pool.push_back(number);
    }
    std::vector<int> drawn;
    while (static_cast<int>(drawn.size()) < n && !pool.empty()) {
        const int k = drawIndex(static_cast<int>(pool.size()));
        drawn.push_back(pool[k]);
        pool.erase(pool.begin() + k);
    }
    return drawn;
}

int GameLayer::drawIndex(int n) {
    return n <= 0 ? 0 : CommonTools::getInstance()->drawIndex(n);
}

void GameLayer::playThen(engine::Node* posNode, const std::string& name, const engine::Vec2& pos,
                         const std::function<void()>& then) {
    if (name.empty()) {
        scheduleOnce(life.guard([then](float) { then(); }), 0.f, "unnamedAnimation" + std::to_string(++unnamedSteps));
        return;
    }
    SFAnimation::getInstance()->playAnimation(posNode, name, true, life.guard(then), false, 0, 0, pos);
}

void GameLayer::answerOption(GameLayer* frame, engine::Ref* sender, const std::function<void()>& onRight) {
    if (engine::Node* option = takeOptionClick(frame, sender)) {
        playEffectOver(option, onRight);
    }
}

void GameLayer::playEffectOver(engine::Node* option, const std::function<void()>& then) {
    const engine::Vec2 at(option->getPositionX(), option->getPositionY() + option->getContentSize().height * 0.5f);
    playThen(option, GameManager::getInstance()->getAnimation("Effect"), at, then);
    playEffectSound();
}

void GameLayer::playEffectSound(const std::string& role) {
    const std::string sound = GameManager::getInstance()->getMusic(role);
    if (!sound.empty()) {
        AudioManager::getInstance()->playVoice(sound, nullptr, false);
    }
}
