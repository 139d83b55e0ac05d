// The paged course buttons of the course-type and subject scenes: one page of catalogue entries on
// "Panel_Layout", and the "Btn_Preview" and "Btn_Next" buttons that turn the pages.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "base/Geometry.h"
#include "scene/Node.h"

namespace CourseButtonPages {

// Where the button at index (0 to perPage - 1) of a page stands on a panel of that size.
using Place = std::function<engine::Vec2(int index, const engine::Size& panelSize)>;
using ClickCallback = std::function<void(engine::Ref*)>;

// "Btn_Preview" turns by -1, "Btn_Next" by 1; both are shown only when there is more than one page, otherwise
// they keep the visibility the layout gives them.
void bindTurnButtons(engine::Node* root, int pageCount, const std::function<void(int)>& changePage);

// Moves page by delta. Past either end the page is held at that end and false comes back: there is nothing new
// to show. With no pages, a turn forward ends at 0.
bool turn(int& page, int delta, int pageCount);

// A button on panel with those icons, tagged with code, at position; a locked one is dimmed and takes no touches.
void addButton(engine::Node* panel, const std::string& iconNormal, const std::string& iconSelected,
               const std::string& iconLocked, int code, bool enabled, const engine::Vec2& position,
               const ClickCallback& onClick);

// The "Panel_Layout" of root, emptied for a new page; null (logged) when the layout has none.
engine::Node* clearPanel(engine::Node* root);

// Refills root's "Panel_Layout" with page (from 1) of records, perPage to a page, each tagged with its code.
template <class Record>
void show(engine::Node* root, const std::map<int, Record>& records, int Record::*code, int page, int perPage,
          const Place& place, const ClickCallback& onClick) {
    engine::Node* panel = clearPanel(root);
    if (!panel) {
        return;
    }
    const engine::Size size = panel->getContentSize();
    int skip = (page - 1) * perPage;
    int index = 0;
    for (const auto& [key, record] : records) {
        if (skip > 0) {
            --skip;
            continue;
        }
        addButton(panel, record.iconNormal, record.iconSelected, record.iconLocked, record.*code, record.enabled != 0,
                  place(index, size), onClick);
        if (++index == perPage) {
            break;
        }
    }
}

} // namespace CourseButtonPages
