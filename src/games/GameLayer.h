// The game frame: background, pupil picker, countdown, score, start/pause/stop/reset/rank buttons and the result
// of the pupil who played. The mini-games derive from it too and reach their frame through a static of their
// class; the shared game steps are the protected helpers below.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/LifeToken.h"
#include "scene/Layer.h"

namespace engine {
namespace ui {
class Text;
class Widget;
} // namespace ui
} // namespace engine

class GameLayer : public engine::Layer {
public:
    GameLayer();
    ~GameLayer() override;
    void onEnter() override;
    bool init() override;
    virtual void initRes();
    virtual void screenAdaptation();

    void onGameStart();
    void createGame();

    void initStudentIcons();
    void selectStudent(int icon);
    void turnPage(int step);
    void updatePageNum();

    void onStartBtn();
    void onPauseBtn();
    // Stop: the round ends without a result, the pupil keeps the one stored before.
    void onStopBtn();
    void gameOver();
    void restartGame();
    void onRankBtn();
    void onRankClose();
    void onNavBtn(int nav);
    void onReturnBtn();
    void onMusicBtn();
    void setMusicBtnState();

    void updateTime(float dt);
    std::string updateScore() const;
    // The score as the score text shows it ("%.0f": half to even); stored, ranked and uploaded so.
    static int shownScore(float score);
    bool checkFinish();
    void showResult();

    // The result text filled with its string, real and whole-number conversions in order; never used as a format.
    static std::string formatResult(const std::string& text, const std::string& name, double seconds, int shown);

    // The round: ready until Start, then running, an answer pending (a taken click not yet dealt with) or paused
    // (with or without an answer pending), and at last won, timed out or stopped. Only setPhase changes it.
    enum class Phase { Ready, Running, Answering, Paused, PausedAnswering, Won, TimedOut, Stopped };
    Phase phase() const { return roundPhase; }
    // Mirrors of the phase for the games. running: the countdown counts and a click can be taken.
    bool running() const { return roundRunning; }
    // 1 ready, 2 in play (also after a time-out or Stop), 3 won.
    int state() const { return roundState; }
    // Won, timed out or stopped: nothing starts the round again.
    bool ended() const { return roundEnded; }

    engine::Node* rootNode = nullptr;
    int answeredCount = 0;
    float elapsedTime = 0.f;
    float score = 0.f;
    engine::ui::Text* timeText = nullptr;
    engine::ui::Text* scoreText = nullptr;
    engine::ui::Widget* startBtn = nullptr;
    engine::ui::Widget* pauseBtn = nullptr;
    engine::ui::Widget* stopBtn = nullptr;
    engine::ui::Widget* resetBtn = nullptr;
    engine::ui::Widget* rankBtn = nullptr;
    engine::ui::Widget* leftBtn = nullptr;
    engine::ui::Widget* rightBtn = nullptr;
    int currentPage = 1;
    int selectedStudent = -1;
    std::function<void()> startCallback;
    std::vector<engine::Node*> studentIcons;

    // The chosen pupil's id: the index is found again after every sort of the pupil list.
    int selectedId = -1;
    engine::Node* rankBoard = nullptr;  // retained while open
    engine::Node* musicBoard = nullptr; // retained while open

protected:
    // -- the steps every game shares; frame is the game's own frame ---------------------------------------------

    // Layout, pictures, the option click handler on "OperImg1", "OperImg2", ... (none when onOption is empty),
    // start and reset shown, and the question order; once per game even when the scene is entered again.
    void enterGame(GameLayer* frame, const std::function<void()>& questionStep,
                   const std::function<void(engine::Node*, int)>& onOption);
    // The slot of the current question, or -1 when the order has no entry for it.
    int currentSlot(GameLayer* frame) const;
    // The slot's question as text (type 2) or picture (type 1), "BoardImage" shown with the text when withBoard.
    void showQuestionOf(int slot, bool withBoard);
    // Question text or picture, then the option pictures of the slot; eachOption sees every option widget found
    // (with its 0-based number) before its picture is set.
    void showCommonQuestion(GameLayer* frame, const std::function<void(engine::Node*, size_t)>& eachOption = nullptr);
    // A click is taken only while the frame runs; taking it stops the frame until its answer has been dealt with
    // (resume or the game's end): a Start meanwhile waits for that, so one question cannot be answered twice.
    static bool takeClick(GameLayer* frame);
    // A question of the slot can be answered right: its question names something and one of its options is
    // right. Per game; the pair game asks for a pair of pieces with pictures whatever the slot.
    virtual bool answerable(int slot) const;
    // The answer of the current slot, INT_MIN when there is none.
    int currentAnswer(GameLayer* frame) const;
    // The answer of a slot, INT_MIN when there is none.
    int answerAt(int slot) const;
    // The slot names a question (text or picture).
    static bool hasQuestion(int slot);
    // The choice number an option's layout tag carries (tag minus 10000).
    static int choiceOf(const engine::Node* option);
    // The option's choice number equals the slot's answer; a missing answer makes every option wrong.
    bool isRightOption(GameLayer* frame, engine::Node* option) const;
    // Counts the answer and the points, then shows the next question unless the game is over.
    void rightAnswerTail(GameLayer* frame, const std::function<void()>& nextQuestion);
    // The points of an answer counted already, then the next question unless the game is over.
    void scoreTail(GameLayer* frame, const std::function<void()>& nextQuestion);
    // A click on an option: taken while the frame runs and judged by the option's choice number. Returns the
    // option when it is right; a wrong one gets the wrong feedback and null comes back, as for a click not taken.
    engine::Node* takeOptionClick(GameLayer* frame, engine::Ref* sender);
    // The common wrong feedback, then the frame runs again.
    void wrongAnswer(GameLayer* frame);
    // The common right or wrong feedback, then then while this game exists; at once when one already plays.
    void resultThen(bool right, const std::function<void()>& then);
    // The taken click has been dealt with; runs the frame again unless it ended or was paused meanwhile.
    static void resume(GameLayer* frame);
    // A random index below n (0 when n is not positive).
    static int drawIndex(int n);
    // n distinct numbers of first .. last in drawn order (fewer when the range is shorter).
    static std::vector<int> drawDistinct(int first, int last, int n);
    // Plays animation name over posNode at pos, then runs then while this game still exists; without a name
    // (the Game map names none) then runs on the next frame.
    void playThen(engine::Node* posNode, const std::string& name, const engine::Vec2& pos,
                  const std::function<void()>& then);
    // A click on an option judged by its tag: right plays the success effect over the option, then onRight; wrong
    // plays the common wrong feedback. Ignored unless the frame runs.
    void answerOption(GameLayer* frame, engine::Ref* sender, const std::function<void()>& onRight);
    // The "Effect" animation over the top half of option with the "Effect" sound, then then.
    void playEffectOver(engine::Node* option, const std::function<void()>& then);
    // The Game map's sound of role ("Effect" unless named), when it names one.
    static void playEffectSound(const std::string& role = "Effect");

    engine::Node* gameNode = nullptr;
    std::vector<int> answers;
    std::vector<int> questionOrder;
    bool entered = false;
    LifeToken life;

private:
    // The one place the round changes: the phase, its mirrors, the buttons and the countdown.
    void setPhase(Phase next);
    // Ends the round once: a won or timed-out round stores its result and celebrates, a stopped one does not.
    void endRound(Phase end);
    // The data has a question, time and, when a game was made, a question it can be answered right.
    bool canPlay() const;
    void showResultTip();
    void closeBoards();
    // The index of the pupil who plays the round, -1 when that pupil is no longer in the list.
    int roundPupil() const;
    // The icon of the chosen pupil on this page, found by id.
    void markSelection();
    static std::string stringKey(const std::string& key);
    bool started = false;
    Phase roundPhase = Phase::Ready;
    bool roundRunning = false;
    int roundState = 1;
    bool roundEnded = false;
    // The game the factory made, a child of this frame; null without a game class.
    GameLayer* game = nullptr;
    // The pupil chosen when the round started: the result is theirs whoever is chosen meanwhile.
    int roundPupilId = -1;
    // Keys of the steps run on the next frame in place of an animation.
    int unnamedSteps = 0;
    float resultElapsed = 0.f;
    // The best time stored before this round; 0 or less when there was none.
    int resultPreviousBest = 0;
    std::string resultName;
};
