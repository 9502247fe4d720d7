#include "ChartMenuColumn.h"

#include "ChartDropDownMenu.h"

namespace {
DropDownBarColumn::Look chartLook() {
    DropDownBarColumn::Look look;
    look.titlePixelSize = 13;
    look.elision = Qt::ElideMiddle;
    look.cutMargin = 25;
    look.onFontLine = true;
    look.turnMs = ChartDropDownMenu::RotateMs;
    return look;
}
} // namespace

ChartMenuColumn::ChartMenuColumn(QWidget *parent)
    : DropDownBarColumn(chartLook(), parent) {
    backgroundColor = ChartDropDownMenu::RestingColor;
}
