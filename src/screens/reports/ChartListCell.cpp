#include "ChartListCell.h"

#include "CellPainter.h"
#include "ChartBars.h"
#include "ChartRows.h"
#include "FrameStyle.h"

#include <QAbstractItemModel>
#include <QPainter>
#include <QRandomGenerator>

namespace {

constexpr int BarHeight = 14;

QFont pixelFont(int px) {
    QFont font;
    font.setPixelSize(px);
    return font;
}

} // namespace

ChartListCell::ChartListCell(QAbstractItemModel *model, QObject *parent)
    : QStyledItemDelegate(parent) {
    if (model)
        connect(model, &QAbstractItemModel::modelReset, this, [this] { m_colors.clear(); });
}

QSize ChartListCell::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const {
    return {option.rect.width(), RowHeight};
}

QColor ChartListCell::barColor(int row) const {
    auto it = m_colors.find(row);
    if (it == m_colors.end())
        it = m_colors.insert(row, ChartBars::randomBarColor(*QRandomGenerator::global()));
    return *it;
}

int ChartListCell::barLength(int imageWidth, int rowWidth) const {
    const int area = std::max(0, rowWidth - 2 * ChartBars::BarInset);
    const int computedArea = m_screenWidth - 2 * ChartBars::BarInset;
    if (computedArea <= 0 || computedArea == area)
        return std::clamp(imageWidth, 0, area);
    return std::clamp(int(qint64(imageWidth) * area / computedArea), 0, area);
}

void ChartListCell::paint(QPainter *painter, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const {
    const QRect r = option.rect;
    const int inset = ChartBars::BarInset;
    painter->save();
    CellPainter::paintBackground(painter, option);
    const QRect textRow(r.left() + inset, r.top() + 10, r.width() - 2 * inset, 24);
    painter->setPen(QColor(FrameStyle::SheetTextColor));
    painter->setFont(pixelFont(15));
    painter->drawText(textRow, Qt::AlignLeft | Qt::AlignVCenter,
                      index.data(ChartRows::NameRole).toString());
    painter->setPen(QColor(FrameStyle::MenuGrey));
    painter->setFont(pixelFont(14));
    painter->drawText(textRow, Qt::AlignRight | Qt::AlignVCenter,
                      index.data(ChartRows::CountRole).toString());
    const int barLength = this->barLength(index.data(ChartRows::ImageWidthRole).toInt(), r.width());
    if (barLength > 0) {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(barColor(index.row()));
        painter->drawRoundedRect(QRect(r.left() + inset, r.top() + 42, barLength, BarHeight), 2, 2);
        painter->restore();
    }
    CellPainter::finish(painter, option, CellPainter::Hairline::Pixel, 0, FrameStyle::ChartLine);
    painter->restore();
}
