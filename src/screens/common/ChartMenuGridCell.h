#pragma once

#include <QStyledItemDelegate>

class ChartDropDownMenu;

// A grid item of the filter menu: the title centred on white; the column's current choice on
// the resting grey with the check mark. The grid's own background shows through the gaps as
// the lines.
class ChartMenuGridCell : public QStyledItemDelegate {
public:
    ChartMenuGridCell(ChartDropDownMenu *menu, QObject *parent);

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

private:
    ChartDropDownMenu *m_menu;
};
