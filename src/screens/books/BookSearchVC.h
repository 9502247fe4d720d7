#pragma once

#include "BookGridRows.h"
#include "InputVC.h"

#include <QPointer>

#include <memory>

class QShortcut;
class BookStoreGrid;
class QLineEdit;
class QListView;
namespace Ui {
class BookSearchVC;
}

// Finds catalogue books by name. The search box lies across the navigation bar while the screen
// is shown; Enter searches from page 1, the grid pulls further pages with the query as the field
// holds it at each pull. Nothing is asked before the first search.
class BookSearchVC : public InputVC {
    Q_OBJECT
public:
    // The toast's source text; it shows as emptyQueryText(), in the language in force.
    static inline const char EmptyQuerySource[] = QT_TR_NOOP("搜索内容不能为空");
    static inline const QString EmptyQueryText = QString::fromUtf8(EmptyQuerySource);
    static QString emptyQueryText() { return tr(EmptyQuerySource); }
    // The longest name the service searches for, counted as it counts: UTF-16 units, so a
    // Chinese character is one and an emoji two. The field takes no more.
    static constexpr int MaxQueryLength = 50;

    explicit BookSearchVC(QWidget *parent = nullptr);
    ~BookSearchVC() override;

    int pageIndex() const;
    BookGridRows *rows() const;
    QWidget *searchView() const;
    QLineEdit *searchTextField() const;
    QListView *searchCollectionView() const;

    // Enter in the field: a new search from page 1.
    void textFieldShouldReturn();
    // One page of the query in the field, sent exactly as typed (spaces too). An empty field
    // sends nothing: the toast says so and the page counter stays, so it does not skip a page.
    void getBookListActionWithPageIndex(int pageIndex);
    GetBookListReq bookListRequest() const;
    // Closes the screen.
    void backClickAction();
    // Opens the book at `index` in a new detail screen; nothing for a row that is not there.
    void collectionView(const QModelIndex &index);

protected:
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void retranslate() override;

private:
    void applyTexts();
    void layOverBar();

    std::unique_ptr<Ui::BookSearchVC> m_ui;
    BookStoreGrid *m_grid;
    // Lives on the navigation bar while the screen is shown; the screen deletes it wherever it is.
    QPointer<QWidget> m_searchView;
    QList<QShortcut *> m_backKeys;
    QShortcut *m_findKey = nullptr;
    QPointer<QWidget> m_bar;
};
