#pragma once

#include "DropDownBarColumn.h"

// One column of the filter bar: it rests grey, cuts a long title in its middle (choices of one
// list often share their start and differ at the end, a year's two terms) and turns its
// triangle up while its list is open.
class ChartMenuColumn : public DropDownBarColumn {
    Q_OBJECT
public:
    explicit ChartMenuColumn(QWidget *parent);
};
