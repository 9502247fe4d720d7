#include "ChartMenuGridCell.h"

#include "ChartDropDownMenu.h"
#include "CheckMarkRowDelegate.h"

#include <QListView>
#include <QPainter>

namespace {
constexpr int TitleFontPx = 13;
constexpr int TitleMargin = 25;

QFont titleFont() {
    QFont font;
    font.setPixelSize(TitleFontPx);
    return font;
}
} // namespace

ChartMenuGridCell::ChartMenuGridCell(ChartDropDownMenu *menu, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_menu(menu) {}

QSize ChartMenuGridCell::sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const {
    const QListView *grid = m_menu->collectionView();
    return grid ? grid->gridSize() : QSize(0, ChartDropDownMenu::RowHeight);
}

void ChartMenuGridCell::paint(QPainter *painter, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const {
    // One point between the two items of a row, one below each row.
    const QRect r = option.rect.adjusted(0, 0, -1, -1);
    const bool selected = index.data(CheckMarkRoles::MarkedRole).toBool();
    painter->save();
    painter->fillRect(r, selected ? ChartDropDownMenu::RestingColor : Qt::white);
    painter->setFont(titleFont());
    painter->setPen(m_menu->textColor());
    // A long title loses its middle, as the bar's titles do.
    painter->drawText(r.adjusted(4, 0, -4, 0), Qt::AlignCenter,
                      QFontMetrics(titleFont())
                          .elidedText(index.data().toString(), Qt::ElideMiddle,
                                      std::max(0, r.width() - 2 * TitleMargin)));
    if (selected)
        CheckMarkRowDelegate::paintCheckMark(painter, r, TitleMargin);
    painter->restore();
}
