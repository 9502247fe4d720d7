#include "ChartMenuColumn.h"

#include "ChartDropDownMenu.h"

namespace {
// The defaults, turning its triangle as the menu opens.
const DropDownBarColumn::Look ChartLook{.turnMs = ChartDropDownMenu::RotateMs};
} // namespace

ChartMenuColumn::ChartMenuColumn(QWidget *parent)
    : DropDownBarColumn(ChartLook, parent) {
    backgroundColor = ChartDropDownMenu::RestingColor;
}
