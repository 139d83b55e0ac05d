// Building screens from layout files: loading and adapting layouts, finding widgets, the standard click handler,
// and the recurring list items.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/Geometry.h"
#include "base/Log.h"

namespace engine {
class Node;
namespace ui {
class Button;
class Widget;
} // namespace ui
} // namespace engine

struct StudentRecord;
struct CoursewareData;

namespace UITools {

using ClickCallback = std::function<void()>;

// The loaded layout, adapted to the window unless it is one of the list items "LectureBtn.csb", "Head1.csb"
// and "Head2.csb". Null (logged) when the file cannot be loaded. A file without a node of each required name gives
// way to the next file of that name through the search paths.
engine::Node* createCsbNode(const std::string& file, const std::vector<std::string>& requiredNames = {});
// Raises the root's direct children by the layout offset, fits "Panel1", "Panel2", ... to the window and puts
// "Btn_Return" at the top edge.
void adaptCsbNode(engine::Node* root);

// The root when it matches, else the first match breadth-first below it; null when none or root is null.
engine::Node* seekChildByName(engine::Node* root, const std::string& name);
engine::Node* seekChildByTag(engine::Node* root, int tag);
// The widget of that name and kind below root; null, logged as "error widget: <layout> <name>", when the layout
// has none.
template <class T> T* seekWidget(engine::Node* root, const std::string& name, const char* layout) {
    T* widget = dynamic_cast<T*>(seekChildByName(root, name));
    if (!widget) {
        engine::log("error widget: %s %s", layout, name.c_str());
    }
    return widget;
}
// Clears out, then appends prefix1, prefix2, ... up to the first missing number.
void seekChildrenByPrefix(std::vector<engine::Node*>& out, engine::Node* root, const std::string& prefix);

// Binds the standard click to the widget named widgetName: the sound, then with the press effect a 0.3 s
// scale to 1.02 before the callback, else the callback at once. A click arriving while any such click is
// handled, or while this widget's press effect runs, is dropped. Null when there is no such widget.
engine::ui::Widget* addClickListener(engine::Node* root, const ClickCallback& callback, bool withEffect,
                                     const std::string& soundFile, const std::string& widgetName);

// A pupil's "Head1.csb" item tagged with the pupil's id; the caller adds and places it.
engine::Node* createHeadItem(const StudentRecord& pupil);
// The same from "Head2.csb" with the "HeadFrame2%d.png" frames.
engine::Node* createHeadItem2(const StudentRecord& pupil);
// A "Head1.csb" item whose frame calls callback when clicked (no sound, no effect).
engine::Node* addHeadItemListener(const StudentRecord& pupil, const ClickCallback& callback);

// "CourseBtn.csb" added to parent; its "Btn_Course" with the three pictures, sized to the normal picture.
engine::ui::Button* createCourseButton(engine::Node* parent, const std::string& normal, const std::string& selected,
                                       const std::string& disabled);
// "LectureBtn.csb" at position, tagged with the identify code and added to parent; its "LectBtn" shows the
// courseware state.
engine::ui::Button* createLectureButton(engine::Node* parent, const CoursewareData& courseware,
                                        const engine::Vec2& position);

// An empty node at the window centre, added to parent or, when parent is null, to the running scene.
engine::Node* createCenterNode(engine::Node* parent);
// Removes node from its parent with clean-up; a null node is ignored.
void removeSelf(engine::Node* node);
// Shows "Img_Bg" + the "ClientId" of "Configs.plist" when the layout has it.
void showClientBackground(engine::Node* root);

} // namespace UITools
