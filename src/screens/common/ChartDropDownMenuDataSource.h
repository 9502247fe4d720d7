#pragma once

#include "ChartIndexPath.h"

#include <QPixmap>
#include <QString>

#include <optional>

class ChartDropDownMenu;

// What the menu asks its owner each time it needs it; the menu keeps no filter values. The
// operations with a body are optional: the body is the answer of an owner that does not give one.
class ChartDropDownMenuDataSource {
public:
    virtual ~ChartDropDownMenuDataSource() = default;

    virtual qint64 numberOfColumnsInMenu(ChartDropDownMenu *menu) {
        Q_UNUSED(menu)
        return 1;
    }
    virtual QString menuTitleForColumn(ChartDropDownMenu *menu, qint64 column) = 0;
    virtual bool displayByCollectionViewInColumn(qint64 column) {
        Q_UNUSED(column)
        return false;
    }
    // Most menus are one list a column; a two-level menu answers true and shares the width.
    virtual bool haveRightTableViewInColumn(qint64 column) {
        Q_UNUSED(column)
        return false;
    }
    // Nothing answered: the menu keeps the row it had.
    virtual std::optional<qint64> currentLeftSelectedRow(qint64 column) {
        Q_UNUSED(column)
        return std::nullopt;
    }
    virtual double widthRatioOfLeftColumn(qint64 column) {
        Q_UNUSED(column)
        return 1.0;
    }
    virtual qint64 menuNumberOfRowsInColumn(ChartDropDownMenu *menu, qint64 column,
                                            qint64 leftOrRight, qint64 leftRow) {
        Q_UNUSED(menu)
        Q_UNUSED(column)
        Q_UNUSED(leftOrRight)
        Q_UNUSED(leftRow)
        return 0;
    }
    virtual QString menuTitleForRowAtIndexPath(ChartDropDownMenu *menu,
                                               const ChartIndexPath &indexPath) = 0;
    virtual QPixmap menuImageForRowAtIndexPath(ChartDropDownMenu *menu,
                                               const ChartIndexPath &indexPath,
                                               bool isEqualToLeft) {
        Q_UNUSED(menu)
        Q_UNUSED(indexPath)
        Q_UNUSED(isEqualToLeft)
        return {};
    }
};
