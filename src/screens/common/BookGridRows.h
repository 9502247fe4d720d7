#pragma once

#include "LoadMoreFooter.h"
#include "PagedRows.h"
#include "RefreshHeader.h"
#include "records/ContentRecords.h"

#include <QString>

class QAbstractScrollArea;
class QListView;

// One book of a grid, whichever answer it came in: the pupil's tested and collected books carry
// their flowers in FlowerCount, the recommended books in Flower.
struct BookGridItem {
    qint64 BookId = 0;
    QString BookName;
    QString ImageUrl;
    qint64 flowers = 0;

    bool operator==(const BookGridItem &) const = default;

    static BookGridItem from(const StudentBookListModel &book);
    static BookGridItem from(const BookListModel &book);
    // The items of an answer's book list, in its order; none when the answer has no list.
    template <class Book>
    static QList<BookGridItem> listFrom(const std::optional<RecordArray<Book>> &books) {
        QList<BookGridItem> items;
        if (books) {
            items.reserve(books->size());
            for (const Book &book : *books)
                items.append(from(book));
        }
        return items;
    }
};

// The rows of a book grid, in the roles BookCollectionCell paints. A grid asks for its next page
// only when it is pulled up (the load-more footer), never because the view has room or reaches
// its end: the requests are the ones the teacher makes.
class BookGridRows : public PagedRows<BookGridItem> {
    Q_OBJECT
public:
    // A cell's parts:
    //   Qt::DecorationRole  bookImageView: the loaded cover as a QPixmap, nothing until it arrives
    //   Qt::DisplayRole     bookNameLabel: the book's name (also what lists of rows show as text)
    enum Role {
        FlowerCountRole = Qt::UserRole + 1, // flowerView: the count (capped at five when drawn)
        BookIdRole,                         // the book a tap opens
        ImageUrlRole,                       // where the cover comes from
    };

    explicit BookGridRows(QObject *parent = nullptr);

    bool canFetchMore(const QModelIndex &) const override { return false; }
    QHash<int, QByteArray> roleNames() const override;

    // Puts these rows in `grid`, BookCollectionCell three to a row. The covers are kept at the
    // size the cells draw them, following the grid's width.
    void showIn(QListView *grid);

protected:
    QVariant rowData(const BookGridItem &book, int role) const override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fitCoversTo(const QAbstractScrollArea *grid);
};
