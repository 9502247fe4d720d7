#pragma once

#include <QHash>
#include <QPointer>
#include <QStyledItemDelegate>

class QAbstractItemModel;

// A report row, 70 high: the entry's name (nameLabel) and average as received (countLabel), and
// the bar (colorImageView) from 23 points in, imageWidth points long. A bar keeps its colour
// until the rows are reloaded, when every row draws a fresh one. It paints ChartRows' roles.
class ChartListCell : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int RowHeight = 70;

    // `model` is the model the view shows: its resets renew the colours.
    ChartListCell(QAbstractItemModel *model, QObject *parent = nullptr);

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

    // The screen width the rows' imageWidth was computed for. Rows drawn at another width (a
    // resized window, a scroll bar) scale their bars so the top bar still ends 23 from the edge.
    void setScreenWidth(int width) { m_screenWidth = width; }
    int barLength(int imageWidth, int rowWidth) const;

    // The colour of the bar in `row`, drawn the first time it is asked for after a reload.
    QColor barColor(int row) const;

private:
    mutable QHash<int, QColor> m_colors;
    int m_screenWidth = 0;
};
