#pragma once

#include <QListView>

// A book grid's view: BookCollectionCell's columns with the room they leave shared out on both
// sides, so a row sits in the middle of the grid rather than against its left edge. The cells
// take their size from the whole width (BookCollectionCell::gridWidthOf), margin included.
class BookGridView : public QListView {
    Q_OBJECT
public:
    using QListView::QListView;

    // The viewport's width with the margin.
    int gridWidth() const;

protected:
    void resizeEvent(QResizeEvent *event) override;
};
