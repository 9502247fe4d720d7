#include "BookStoreGrid.h"

#include "BasicVC.h"
#include "BookCollectionCell.h"
#include "ClassDetailListVC.h"
#include "ListActions.h"

#include <QListView>

BookStoreGrid::BookStoreGrid(BasicVC *screen, QListView *grid, const QString &accessibleName,
                             bool coverWhenEmpty)
    : QObject(screen)
    , m_screen(screen)
    , m_grid(grid)
    , m_rows(new BookGridRows(this)) {
    m_rows->setPageSize(PageSize);
    m_rows->showIn(grid);
    grid->setAccessibleName(accessibleName);
    ListActions::openRowsOnce(grid, [this](const QModelIndex &index) { openBook(index); });
    m_rows->attach(grid, coverWhenEmpty ? screen : nullptr);
}

int BookStoreGrid::pageIndex() const {
    return m_rows->isLoading() ? m_rows->requestedPage() : m_rows->currentPage();
}

void BookStoreGrid::reload() {
    m_rows->reloadWithSpinner();
}

void BookStoreGrid::requestPage(GetBookListReq request, int pageIndex) {
    request.pageIndex = pageIndex;
    request.pageSize = m_rows->pageSize();
    auto answer =
        m_rows->answerForPage<GetBookListRsp>(m_screen, pageIndex, [](const GetBookListRsp &rsp) {
            return BookGridItem::listFrom(rsp.bookList);
        });
    answer.send(request);
}

void BookStoreGrid::openBook(const QModelIndex &index) {
    ClassDetailListVC::openBook(m_screen, m_rows, index);
}
