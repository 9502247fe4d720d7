#include "BookGridRows.h"

#include "BookCollectionCell.h"

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

QVariant BookGridRows::rowData(const BookGridItem &book, int role) const {
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
    case Qt::ToolTipRole:
        return book.BookName;
    case BookCollectionCell::FlowerCountRole:
        return book.flowers;
    case BookCollectionCell::BookIdRole:
        return book.BookId;
    case BookCollectionCell::ImageUrlRole:
        return book.ImageUrl;
    default:
        return {};
    }
}
