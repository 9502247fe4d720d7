#pragma once

#include <QtGlobal>

// One choice of the filter menu: the bar's column, which list (0 left or only, 1 right, -1
// grid), the left list's row and the row in the named list.
struct ChartIndexPath {
    qint64 column = 0;
    qint64 leftOrRight = 0;
    qint64 leftRow = 0;
    qint64 row = 0;

    static ChartIndexPath indexPathWithCol(qint64 column, qint64 leftOrRight, qint64 leftRow,
                                           qint64 row) {
        return {column, leftOrRight, leftRow, row};
    }
    bool operator==(const ChartIndexPath &other) const = default;
};
