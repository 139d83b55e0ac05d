// The pupils' sign-in: pupils not signed in stand in a paged list, signed-in ones on the ship; a pupil is dragged
// from one side to the other, or everybody is signed in with one key. Confirming sails the ship off to grouping.
#pragma once

#include <vector>

#include "base/Geometry.h"
#include "common/BaseScene.h"
#include "common/ClassroomRecords.h"
#include "common/LifeToken.h"

namespace engine {
class Event;
class Node;
class Touch;
namespace ui {
class Widget;
}
} // namespace engine

class SignScene : public BaseScene {
public:
    static SignScene* create() { return createScene<SignScene>(); }
    // A lecture list whose pupils are loaded replaces itself by a new sign-in scene (entered-from code 2).
    static void openFromLectureList();

    bool init() override;
    void initData() override;
    void initRes() override;
    void onEnterTransitionDidFinish() override;

    virtual bool onTouchBegan(engine::Touch* touch, engine::Event* event);
    virtual void onTouchEnded(engine::Touch* touch, engine::Event* event);
    virtual void onTouchMoved(engine::Touch* touch, engine::Event* event);

    void splitStudents();
    void refreshList();
    void refreshShip();
    // side 0 is the list, 1 the ship.
    int getPageCount(int side) const;
    void onTurnPage(int side, int shift);
    void onOneKeySign();
    void onConfirm();
    void startConfirmAnimation();
    void playSailAnimation();
    void playEarthAnimation();
    void onAnimationDone(float delay);
    void onPreloadDone();
    void onReturn();

    int getListPage() const { return listPage; }
    int getShipPage() const { return shipPage; }
    const std::vector<engine::Node*>& getListItems() const { return listItems; }
    const std::vector<engine::Node*>& getShipItems() const { return shipItems; }

protected:
    friend class BaseScene;
    SignScene() = default;

private:
    // Rebuilds one side's head items from its pupils and page.
    void refreshSide(const char* markerFormat, const std::vector<StudentRecord>& pupils, int page,
                     std::vector<engine::Node*>& items);
    // A page of 0 while the side has pupils shows them again from page 1.
    void keepPagesShowing();

    engine::ui::Widget* leftBtn = nullptr;
    engine::ui::Widget* rightBtn = nullptr;
    engine::Node* root = nullptr;
    engine::Node* draggedIcon = nullptr;
    engine::Vec2 dragStartPos;
    int dragSource = 0;
    int shipPage = 1;
    int listPage = 1;
    bool confirmBusy = false;
    std::vector<engine::Node*> listItems;
    std::vector<engine::Node*> shipItems;
    std::vector<StudentRecord> signedStudents;
    std::vector<StudentRecord> unsignedStudents;
    LifeToken lifeToken;
};
