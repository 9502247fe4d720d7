#pragma once

#include <QModelIndex>

#include <functional>

class QAbstractItemView;

// What every list screen does the same way: a row opens its screen once per action. (Only the
// answer to the latest load counts: PagedRows::answerForPage() sees to that.)
namespace ListActions {

// Wires `view` so that a click on a row, or Enter/Return on its current row, calls `open` with
// the row's index. A double click (which also activates), a second click while the pushed screen
// slides in, or a key held down would open the row again: `open` is called only while the screen
// holding `view` is the top of its stack and the stack is still. Invalid indexes are not passed.
void openRowsOnce(QAbstractItemView *view, std::function<void(const QModelIndex &)> open);

} // namespace ListActions
