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

// One page of a paged board of count entries, one entry per row: the rows with a position are shown and filled,
// the others hidden; "PageText" below root reads "page/pages".
void showPage(engine::Node* root, const std::vector<engine::Node*>& rows, int page, int count,
              const std::function<void(engine::Node* row, int position)>& fill);
// The rank columns of a row: the medal on the first three of page 1, the rank number, the pupil's "Head2.csb"
// item at the row's "PosNode" (remembered in items) and the score.
void fillRankRow(engine::Node* row, int position, int page, const StudentRecord& pupil, int score,
                 std::vector<engine::Node*>& items);
// Removes every head item from its parent and empties the list.
void clearHeadItems(std::vector<engine::Node*>& items);

} // namespace BoardRows
