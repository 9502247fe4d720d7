#pragma once

#include "BookGridRows.h"

#include <QObject>
#include <QPointer>

class BasicVC;
class QListView;

// What the book store's two grids share (the catalogue and the search results): the pupil
// grid's rows and cells three to a row, pull-down refresh and pull-up load-more, a page of
// GetBookList at a time, and a click or Enter on a book opening its detail.
class BookStoreGrid : public QObject {
    Q_OBJECT
public:
    static constexpr int PageSize = 9;

    // Sets `grid` up for `screen`. With `coverWhenEmpty` an answer without books puts the
    // empty-data cover over the grid.
    BookStoreGrid(BasicVC *screen, QListView *grid, const QString &accessibleName,
                  bool coverWhenEmpty);

    BookGridRows *rows() const { return m_rows; }
    QListView *view() const { return m_grid; }
    // The page being asked for, else the last page that arrived (0 before any). A failed or
    // refused page leaves it where it was, so the next pull-up asks for that page again.
    int pageIndex() const;

    // Page 1 through the refresh header, so its spinner shows; a load already running is
    // overtaken (its answer is dropped), so the newest request is the one that counts.
    void reload();
    // Sends `request` as page `pageIndex` of the rows' page size (9); the answer goes to the rows.
    void requestPage(GetBookListReq request, int pageIndex);
    // Pushes the detail of the book at `index`; nothing for a row that is not there.
    void openBook(const QModelIndex &index);

private:
    QPointer<BasicVC> m_screen;
    QListView *m_grid;
    BookGridRows *m_rows;
};
