#include "BookGridView.h"

#include "BookCollectionCell.h"

int BookGridView::gridWidth() const {
    const QMargins margins = viewportMargins();
    return viewport()->width() + margins.left() + margins.right();
}

void BookGridView::resizeEvent(QResizeEvent *event) {
    QListView::resizeEvent(event);
    // Setting the margin resizes the viewport, which comes back here with it in place.
    const int left = BookCollectionCell::leftMarginFor(BookCollectionCell::gridWidthOf(this));
    if (viewportMargins().left() != left)
        setViewportMargins(left, 0, 0, 0);
}
