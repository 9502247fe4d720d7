#pragma once

#include <QStyledItemDelegate>

class QAbstractScrollArea;

// A book of a grid, three to a row on a phone and more on a wider window: the cover
// (bookImageView), the name below it (bookNameLabel) and the flower row under the name
// (flowerView). The delegate paints a cell from the model's roles (BookGridRows::Role), so the
// cell's parts are read from the model, never from pixels.
class BookCollectionCell : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int GridInsets = 32; // what the three cells leave of the grid's width
    // A wider grid takes another column once its cells would grow past this; never fewer than
    // the phone's three.
    static constexpr int MaxCellWidth = 160;
    static constexpr int MinColumns = 3;
    // The view's spacing. A list view puts it before every cell and after the last one, and
    // wraps a row that reaches its very last pixel: four of 6 fit in the 32 with room to spare.
    static constexpr int Spacing = 6;
    static constexpr int ExtraHeight = 38;
    static constexpr int NameTop = 2;
    static constexpr int NameHeight = 18;
    static constexpr int FlowersTop = 20;

    explicit BookCollectionCell(QObject *parent = nullptr);

    // The columns of a grid `gridWidth` wide: three, or as many as keep a cell at most
    // MaxCellWidth.
    static int columnsFor(int gridWidth);
    // A cell's size in a grid `gridWidth` wide: its share of the width left by the spacing (with
    // three columns (width - 32) / 3), that plus 38 high.
    static QSize itemSizeFor(int gridWidth);
    // The width the cells share out: the viewport's with the margins of a BookGridView.
    static int gridWidthOf(const QAbstractScrollArea *view);
    // The left margin that puts a full row in the middle of a grid `gridWidth` wide: half of
    // what the cells and the spacing leave (the view puts the other half, and the few pixels a
    // row must spare, on the right).
    static int leftMarginFor(int gridWidth);
    // Where each part of a cell lies within `cell`.
    static QRect coverRect(const QRect &cell);
    static QRect nameRect(const QRect &cell);
    static QPoint flowersOrigin(const QRect &cell);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
