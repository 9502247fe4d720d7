#pragma once

#include "BasicVC.h"
#include "BookGridRows.h"
#include "ChartDropDownMenu.h"

#include <array>
#include <memory>

class BookStoreGrid;
class NavigationController;
class QListView;
class QPushButton;
class QShortcut;
namespace Ui {
class BookListVC;
}

// The book store, root of the second tab: the catalogue three books a row under a bar of three
// filters (grade, sort order, category), a page of nine at a time. A change of one filter
// reloads from page 1 and keeps the other two; the search button opens the book search.
class BookListVC : public BasicVC,
                   public ChartDropDownMenuDataSource,
                   public ChartDropDownMenuDelegate {
    Q_OBJECT
public:
    enum Column { GradeColumn = 0, SortColumn = 1, CategoryColumn = 2 };
    static constexpr int MenuHeight = 40;

    explicit BookListVC(QWidget *parent = nullptr);
    ~BookListVC() override;

    // A new screen in a new navigation stack.
    static NavigationController *navigationControllerContainSelf();

    // The three menus; cateArray stays empty until the categories arrive.
    const QList<BookSortModel> &gradeArray() const { return m_gradeArray; }
    const QList<BookSortModel> &sortArray() const { return m_sortArray; }
    const QList<BookSortModel> &cateArray() const { return m_cateArray; }
    // The chosen row of each column, 0 at start.
    qint64 currentData1Index() const { return m_currentDataIndex[GradeColumn]; }
    qint64 currentData2Index() const { return m_currentDataIndex[SortColumn]; }
    qint64 currentData3Index() const { return m_currentDataIndex[CategoryColumn]; }

    const QList<BookGridItem> &bookListArray() const;
    int pageIndex() const;
    BookGridRows *rows() const;
    QListView *gridView() const;
    ChartDropDownMenu *menu() const { return m_menu; }

    // The categories, asked for once without the progress indicator.
    void getBookSortTreeAction();
    // The request for one page with the three current filters; the grid's rows call it, so the
    // pull-down (page 1) and the pull-up (the next page) decide the page.
    void getBookListActionWithPageIndex(int pageIndex);
    GetBookListReq bookListRequest() const;
    // Page 1 again with the current filters (F5, a filter change).
    void reloadBookList();
    // Opens the book at `index` in a new detail screen; nothing for a row that is not there.
    void collectionView(const QModelIndex &index);
    // The search button: pushes the book search with the tab bar hidden.
    void rightBarButtonItemPressed() override;

    // The menu's data source and delegate.
    qint64 numberOfColumnsInMenu(ChartDropDownMenu *menu) override;
    QString menuTitleForColumn(ChartDropDownMenu *menu, qint64 column) override;
    std::optional<qint64> currentLeftSelectedRow(qint64 column) override;
    qint64 menuNumberOfRowsInColumn(ChartDropDownMenu *menu, qint64 column, qint64 leftOrRight,
                                    qint64 leftRow) override;
    QString menuTitleForRowAtIndexPath(ChartDropDownMenu *menu,
                                       const ChartIndexPath &indexPath) override;
    void menuDidSelectRowAtIndexPath(ChartDropDownMenu *menu,
                                     const ChartIndexPath &indexPath) override;

protected:
    void viewDidLoad() override;
    void retranslate() override;

private:
    void applyTexts();
    // The title the teacher reads for `row` of `column` (the rows keep the untranslated ones).
    QString rowTitle(qint64 column, qsizetype row) const;
    const QList<BookSortModel> *menuOf(qint64 column) const;
    const BookSortModel *selectedRow(qint64 column) const;

    std::unique_ptr<Ui::BookListVC> m_ui;
    QList<BookSortModel> m_gradeArray;
    QList<BookSortModel> m_sortArray;
    QList<BookSortModel> m_cateArray;
    // currentData1Index, currentData2Index, currentData3Index by column.
    std::array<qint64, 3> m_currentDataIndex{};
    BookStoreGrid *m_grid;
    ChartDropDownMenu *m_menu = nullptr;
    QPushButton *m_searchButton = nullptr;
    QShortcut *m_findKey = nullptr;
    QShortcut *m_refreshKey = nullptr;
};
