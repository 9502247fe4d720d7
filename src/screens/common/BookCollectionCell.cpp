#include "BookCollectionCell.h"

#include "BookGridRows.h"
#include "BookGridView.h"
#include "CellPainter.h"
#include "FlowerListView.h"
#include "FrameStyle.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QPixmapCache>

namespace {
constexpr int NamePixelSize = 12;

// Covers come in whatever size the service has; scaling one on every frame of a scroll would
// cost more than the rest of the cell, so the fitted copy is kept. Rows that keep their covers
// at the cell's size (BookGridRows::showIn) hand over one that is drawn as it is.
QPixmap fitted(const QPixmap &cover, QSize box, qreal ratio) {
    const QSize target = cover.size().scaled(box * ratio, Qt::KeepAspectRatio);
    if (target.isEmpty())
        return {};
    if (target == cover.size())
        return cover;
    const QString key = QStringLiteral("cover:%1:%2x%3")
                            .arg(cover.cacheKey())
                            .arg(target.width())
                            .arg(target.height());
    QPixmap scaled;
    if (!QPixmapCache::find(key, &scaled)) {
        scaled = cover.scaled(target, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        scaled.setDevicePixelRatio(ratio);
        QPixmapCache::insert(key, scaled);
    }
    return scaled;
}
} // namespace

BookCollectionCell::BookCollectionCell(QObject *parent)
    : QStyledItemDelegate(parent) {}

namespace {
// Spacing before every cell and after the last, and the few pixels a row needs to spare so the
// view does not wrap it: 32 for three columns.
int insetsFor(int columns) {
    return BookCollectionCell::GridInsets +
           (columns - BookCollectionCell::MinColumns) * BookCollectionCell::Spacing;
}
} // namespace

int BookCollectionCell::columnsFor(int gridWidth) {
    int columns = MinColumns;
    // Bounded: a window is never wider than a few thousand pixels, and a cell is at least 1.
    while (columns < 64 && (gridWidth - insetsFor(columns)) / columns > MaxCellWidth)
        ++columns;
    return columns;
}

QSize BookCollectionCell::itemSizeFor(int gridWidth) {
    const int columns = columnsFor(gridWidth);
    const int width = qMax(1, (gridWidth - insetsFor(columns)) / columns);
    return {width, width + ExtraHeight};
}

int BookCollectionCell::gridWidthOf(const QAbstractScrollArea *view) {
    const auto *grid = qobject_cast<const BookGridView *>(view);
    return grid ? grid->gridWidth() : view->viewport()->width();
}

int BookCollectionCell::leftMarginFor(int gridWidth) {
    const int columns = columnsFor(gridWidth);
    const int row = columns * itemSizeFor(gridWidth).width() + (columns + 1) * Spacing;
    return qMax(0, (gridWidth - row) / 2);
}

QRect BookCollectionCell::coverRect(const QRect &cell) {
    return {cell.topLeft(), QSize(cell.width(), cell.width())};
}

QRect BookCollectionCell::nameRect(const QRect &cell) {
    return {cell.left(), cell.top() + cell.width() + NameTop, cell.width(), NameHeight};
}

QPoint BookCollectionCell::flowersOrigin(const QRect &cell) {
    return {cell.left() + (cell.width() - FlowerListView::RowWidth) / 2,
            cell.top() + cell.width() + FlowersTop};
}

QSize BookCollectionCell::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const {
    const auto *view = qobject_cast<const QAbstractItemView *>(option.widget);
    return itemSizeFor(view ? gridWidthOf(view) : option.rect.width());
}

void BookCollectionCell::paint(QPainter *painter, const QStyleOptionViewItem &option,
                               const QModelIndex &index) const {
    const QRect cell = option.rect;
    painter->save();
    CellPainter::paintBackground(painter, option, QColor());

    const QPixmap cover = index.data(Qt::DecorationRole).value<QPixmap>();
    if (!cover.isNull()) {
        const QRect box = coverRect(cell);
        const qreal ratio = painter->device()->devicePixelRatioF();
        const QPixmap shown = fitted(cover, box.size(), ratio);
        // Device pixels to the cell's own: the pixmap lands on the screen's pixels unscaled.
        const QSize logical = (QSizeF(shown.size()) / ratio).toSize();
        painter->drawPixmap(QRect(QPoint(box.left() + (box.width() - logical.width()) / 2,
                                         box.top() + (box.height() - logical.height()) / 2),
                                  logical),
                            shown);
    }

    QFont font = option.font;
    font.setPixelSize(NamePixelSize);
    painter->setFont(font);
    painter->setPen(QColor(FrameStyle::SheetTextColor));
    const QRect name = nameRect(cell);
    const QString text = index.data(Qt::DisplayRole).toString();
    painter->drawText(name, Qt::AlignCenter,
                      QFontMetrics(font).elidedText(text, Qt::ElideRight, name.width()));

    FlowerListView::paintFlowers(painter, flowersOrigin(cell),
                                 index.data(BookGridRows::FlowerCountRole).toLongLong());

    CellPainter::finish(painter, option, CellPainter::Hairline::None);
    painter->restore();
}
