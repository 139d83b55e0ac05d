// Helpers shared by the paged pupil boards and the tool layers: widget lookups by name, touch-ended buttons,
// page arithmetic and the head items of the rows.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace engine {
class Node;
} // namespace engine

struct StudentRecord;

namespace BoardRows {

// Sets the text of the Text widget named name below root; a missing widget is skipped.
void setText(engine::Node* root, const std::string& name, const std::string& text);
// Shows or hides the node named name below root; a missing node is skipped.
void setVisible(engine::Node* root, const std::string& name, bool visible);
// Binds the widget's touch listener (no sound) so that action runs on touch ended only.
void onTouchEnded(engine::Node* widget, const std::function<void(engine::Node* sender)>& action);

// ceil(rows / rowsPerPage) in single precision, truncated; 0 rows give 0 pages.
int pageCount(int rows, int rowsPerPage);
// The page after a turn by delta: lowered to the page count, then raised to 1 (an empty board stays on 1).
int turnPage(int page, int delta, int pages);
// The list position shown by row r of page: r + (page - 1) * rowsPerPage; -1 when outside 0 .. count - 1.
int rowPosition(int row, int page, int rowsPerPage, int count);

// Removes every head item from its parent and empties the list.
void clearHeadItems(std::vector<engine::Node*>& items);
// A "Head2.csb" item of the pupil at the row's "PosNode", added to the row and remembered in items.
void addHeadItem(engine::Node* row, const StudentRecord& pupil, std::vector<engine::Node*>& items);

} // namespace BoardRows
