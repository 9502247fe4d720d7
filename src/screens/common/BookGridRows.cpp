#include "BookGridRows.h"

#include "BookCollectionCell.h"

#include <QEvent>
#include <QListView>

BookGridItem BookGridItem::from(const StudentBookListModel &book) {
    return {book.BookId, book.BookName.value_or(QString()), book.ImageUrl.value_or(QString()),
            book.FlowerCount};
}

BookGridItem BookGridItem::from(const BookListModel &book) {
    return {book.BookId, book.BookName.value_or(QString()), book.ImageUrl.value_or(QString()),
            book.Flower};
}

BookGridRows::BookGridRows(QObject *parent)
    : PagedRows<BookGridItem>({}, parent) {
    setImageUrlOf([](const BookGridItem &book) { return book.ImageUrl; }, Qt::DecorationRole);
}

QHash<int, QByteArray> BookGridRows::roleNames() const {
    QHash<int, QByteArray> names = PagedRows<BookGridItem>::roleNames();
    names.insert(
        {{FlowerCountRole, "flowerView"}, {BookIdRole, "BookId"}, {ImageUrlRole, "ImageUrl"}});
    return names;
}

QVariant BookGridRows::rowData(const BookGridItem &book, int role) const {
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return book.BookName;
    case Qt::AccessibleTextRole:
        // The flowers are drawn, not written: a screen reader says how many.
        return book.flowers > 0
                   ? tr("%1，%n 朵小红花", nullptr, int(book.flowers)).arg(book.BookName)
                   : book.BookName;
    case FlowerCountRole:
        return book.flowers;
    case BookIdRole:
        return book.BookId;
    case ImageUrlRole:
        return book.ImageUrl;
    default:
        return {};
    }
}

void BookGridRows::showIn(QListView *grid) {
    grid->setModel(this);
    grid->setItemDelegate(new BookCollectionCell(grid));
    grid->setSpacing(BookCollectionCell::Spacing);
    grid->viewport()->installEventFilter(this);
    fitCoversTo(grid);
}

bool BookGridRows::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::Resize && watched->isWidgetType()) {
        if (auto *grid = qobject_cast<QAbstractScrollArea *>(watched->parent()))
            fitCoversTo(grid);
    }
    return PagedRows<BookGridItem>::eventFilter(watched, event);
}

// Full-size covers of a thousand books would take half a gigabyte, and scaling them on every
// frame of a scroll costs more than the rest of the cell.
void BookGridRows::fitCoversTo(const QAbstractScrollArea *grid) {
    const QSize cell = BookCollectionCell::itemSizeFor(BookCollectionCell::gridWidthOf(grid));
    setImageBound(BookCollectionCell::coverRect(QRect(QPoint(), cell)).size() *
                  grid->devicePixelRatioF());
}
