// The lesson player: a navigation bar of seven entries, one content layer at a time (lesson videos, topics,
// the game, the examination page) and the lesson's tools around it.
#pragma once

#include <functional>
#include <vector>

#include "common/BaseScene.h"
#include "common/LifeToken.h"

namespace engine {
class Node;
namespace ui {
class Button;
class Widget;
} // namespace ui
} // namespace engine

// Navigation numbers: what each entry of the bar opens.
enum NavLayerTag {
    NavOpeningVideo = 1,
    NavLectureVideo = 2,
    NavTopics1 = 3,
    NavGame = 4,
    NavTopics2 = 5,
    NavTopics3 = 6,
    NavSummaryVideo = 7,
    NavExamination = 9,
};

class LogicTopicScene : public BaseScene {
public:
    static LogicTopicScene* create() { return createScene<LogicTopicScene>(); }
    ~LogicTopicScene() override;

    void initData() override;
    void initRes() override;
    void screenAdaptation() override;
    // Publishes the scene in the global data; the first time only, it also opens the first content.
    void onEnterTransitionDidFinish() override;

    // Moves the lesson to navigation number nav.
    void selectNav(int nav);
    // Replaces the content layer by the one of nav; an unknown number leaves the area empty.
    void openContent(int nav);

    void onReturn();
    void onDrawBoardClicked();
    void onSignClicked();
    void onScoreClicked();
    void onPrevNav();
    void onNextNav();
    void onSetClicked();
    void onSetAddition();
    void onSetRest();
    void onSetMusic();

    int getCurrentNav() const { return currentNav; }
    engine::Node* getContentLayer() const { return contentLayer; }
    bool isMenuOpen() const { return menuOpen; }
    const std::vector<engine::ui::Button*>& getNavButtons() const { return navButtons; }

    // grade above 4 and lesson a multiple of 6.
    static bool isExaminationLecture(int gradeCode, int lessonNumber);

protected:
    friend class BaseScene;
    LogicTopicScene() = default;

private:
    // The standard click (with "BtnClick.mp3") bound to the widget of that name; null, logged, when missing.
    engine::ui::Widget* bindButton(const char* name, const std::function<void()>& handler, bool withEffect = false);
    void initNavButtons();
    void initSetMenu();
    void setMenuScale(bool open);
    // Closes the settings menu after one of its entries, whatever state a tap during its animation left.
    void closeMenu();
    void updateArrows();
    // Adds a tool layer to the scene; a tool that could not be made (or is not part of the program yet) only logs.
    void addTool(engine::Node* tool, int zOrder, const char* name);

    engine::Node* rootNode = nullptr;
    engine::ui::Widget* layerPanel = nullptr;
    engine::ui::Widget* gamePanel = nullptr;
    std::vector<engine::ui::Button*> navButtons;
    int currentNav = 0;
    engine::Node* contentLayer = nullptr;
    bool menuOpen = false;
    engine::ui::Widget* setMenuBg = nullptr;
    engine::ui::Button* leftButton = nullptr;
    engine::ui::Button* rightButton = nullptr;
    bool entered = false;
    LifeToken life;
};
