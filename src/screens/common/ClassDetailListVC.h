#pragma once

#include "BasicVC.h"
#include "BookGridRows.h"

#include <functional>
#include <memory>

class QListView;
namespace Ui {
class ClassDetailListVC;
}

// A grid of books, three to a row, in one of three modes fixed at creation: a pupil's tested
// books (100) or collected books (101), paged by pulling the grid up; or the books recommended
// with a book (102), asked for once. A tapped book opens its detail on the current stack.
class ClassDetailListVC : public BasicVC {
    Q_OBJECT
public:
    enum ListType { TestList = 100, CollectList = 101, RecommendList = 102 };
    Q_ENUM(ListType)

    static constexpr int PageSize = 9;
    static constexpr int RecommendTop = 6;
    // The GetStudentPersonHomeIndex type of each pupil mode.
    static constexpr int TestType = 1;
    static constexpr int CollectType = 2;

    // The mode fixes the request and the items' flower field for the grid's whole life.
    explicit ClassDetailListVC(ListType listType, QWidget *parent = nullptr);
    ~ClassDetailListVC() override;

    ListType listType() const { return m_listType; }
    // The pupil of modes 100 and 101, the book of mode 102; set before the grid is shown.
    qint64 userId() const { return m_userId; }
    void setUserId(qint64 userId) { m_userId = userId; }
    qint64 bookId() const { return m_bookId; }
    void setBookId(qint64 bookId) { m_bookId = bookId; }
    // Receives the pupil record of every successful answer in modes 100 and 101.
    void setStudentInfo(std::function<void(const StudentUseInfo &)> studentInfo) {
        m_studentInfo = std::move(studentInfo);
    }

    // The items shown, page after page in the order received.
    const QList<BookGridItem> &collectionArray() const { return m_rows->rows(); }
    // The page being asked for, else the last page that arrived (0 before any). A failed page
    // leaves it where it was, so the next pull asks for that page again.
    int pageIndex() const;
    BookGridRows *rows() const { return m_rows; }
    QListView *gridView() const;

    // The request for one page in mode 100 or 101. The grid's model calls it: refresh() and a
    // pull-up (loadMore()) decide the page, so an answer never lands on the wrong page.
    void getStudentPersonHomeIndexActionWithPageIndex(int pageIndex);
    // The request of mode 102, made for the model's single page.
    void getRecommandBookListAction();
    // Page 1 again (F5, the pull-down); mode 102 asks for the recommendations again.
    void reload();
    // Opens the book at `index` in a new detail screen; nothing for a row that is not there.
    void collectionView(const QModelIndex &index);

    // Makes the detail screen of a book: the BookDetail link of ScreenLinks, which the program
    // registers; without one a tapped book opens nothing.
    using BookDetailMaker = std::function<ViewController *(qint64 bookId)>;
    static void setBookDetailMaker(BookDetailMaker maker);
    // The detail screen of `bookId` from the handed-over maker; null while there is none.
    static ViewController *makeBookDetail(qint64 bookId);
    // Pushes the detail of the book at `index` of `rows` onto `screen`'s stack; nothing for a row
    // that is not there, a screen off any stack or while no maker was handed over.
    static void openBook(ViewController *screen, const BookGridRows *rows,
                         const QModelIndex &index);

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void retranslate() override;

private:
    void applyTexts();

    std::unique_ptr<Ui::ClassDetailListVC> m_ui;
    ListType m_listType;
    qint64 m_userId = 0;
    qint64 m_bookId = 0;
    std::function<void(const StudentUseInfo &)> m_studentInfo;
    BookGridRows *m_rows;
};
