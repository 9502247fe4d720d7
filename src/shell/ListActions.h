#pragma once

#include "ServiceTypes.h"

#include <QModelIndex>

#include <functional>
#include <memory>
#include <utility>

class QAbstractItemView;

// What every list screen does the same way: a row opens its screen once per action, and only the
// answer to the latest load counts.
namespace ListActions {

// Wires `view` so that a click on a row, or Enter/Return on its current row, calls `open` with
// the row's index. A double click (which also activates), a second click while the pushed screen
// slides in, or a key held down would open the row again: `open` is called only while the screen
// holding `view` is the top of its stack and the stack is still. Invalid indexes are not passed.
void openRowsOnce(QAbstractItemView *view, std::function<void(const QModelIndex &)> open);

} // namespace ListActions

// The loads of one list: each new request makes the earlier ones superseded, and their answers
// and failures are dropped before any handling, so they neither end the refresh controls nor take
// the progress indicator down while the newer request still runs, nor show a toast. Held by
// value in the screen; answers arriving after it has gone still reach their handler (which then
// only takes its HUD down).
class LatestRequest {
public:
    // The callbacks to hand to the catalogue for a new request, in place of the handler's own.
    std::pair<ServiceCompletion, ServiceFailure> track(ServiceCompletion completion,
                                                       ServiceFailure failure);

private:
    std::shared_ptr<quint64> m_latest = std::make_shared<quint64>(0);
};
