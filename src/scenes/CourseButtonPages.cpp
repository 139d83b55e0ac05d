#include "scenes/CourseButtonPages.h"

#include "common/UITools.h"
#include "scenes/SceneWidgets.h"
#include "ui/Button.h"

namespace CourseButtonPages {

void bindTurnButtons(engine::Node* root, int pageCount, const std::function<void(int)>& changePage) {
    engine::Node* previous = SceneWidgets::bindClick(
        root, "Btn_Preview", [changePage] { changePage(-1); }, false);
    engine::Node* next = SceneWidgets::bindClick(
        root, "Btn_Next", [changePage] { changePage(1); }, false);
    if (pageCount > 1) {
        if (previous) {
            previous->setVisible(true);
        }
        if (next) {
            next->setVisible(true);
        }
    }
}

bool turn(int& page, int delta, int pageCount) {
    page += delta;
    if (page < 1) {
        page = 1;
        return false;
    }
    if (page > pageCount) {
        page = pageCount;
        return false;
    }
    return true;
}

void addButton(engine::Node* panel, const std::string& iconNormal, const std::string& iconSelected,
               const std::string& iconLocked, int code, bool enabled, const engine::Vec2& position,
               const ClickCallback& onClick) {
    engine::ui::Button* button = UITools::createCourseButton(panel, iconNormal, iconSelected, iconLocked);
    if (!button) {
        return;
    }
    button->setPosition(position);
    button->setTag(code);
    button->setBright(enabled);
    button->setTouchEnabled(enabled);
    button->addClickEventListener(onClick);
}

engine::Node* clearPanel(engine::Node* root) {
    engine::Node* panel = SceneWidgets::find(root, "Panel_Layout");
    if (panel) {
        panel->removeAllChildren();
    }
    return panel;
}

} // namespace CourseButtonPages
