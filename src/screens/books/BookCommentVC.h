#pragma once

#include "BasicVC.h"
#include "BookCommentRows.h"
#include "records/ContentRecords.h"

#include <functional>
#include <memory>

class CatZanButton;
class QLineEdit;
class QListView;
class QPushButton;
namespace Ui {
class BookCommentVC;
}

// The comments page of a book's detail: the like button, the header box that opens the compose
// screen, and the comments, nine a page, more on a pull-up. The teacher deletes their own
// comments (the row's delete button, or Delete on the current row) after a confirmation. New
// like and comment totals go back to the detail through its two callbacks.
class BookCommentVC : public BasicVC {
    Q_OBJECT
public:
    static constexpr int PageSize = 9;
    // The toast about unsupported characters stands this far above the input toolbar.
    static constexpr int ToastAboveKeyboard = 20;
    static QString emojiRefusedText();

    using CountBlock = std::function<void(qint64 total)>;

    explicit BookCommentVC(QWidget *parent = nullptr);
    ~BookCommentVC() override;

    qint64 bookId() const { return m_bookId; }
    void setBookId(qint64 bookId) { m_bookId = bookId; }
    // The detail's record after each detail answer; the like button follows its IsGood.
    const BookDetailModel &detailModel() const { return m_detailModel; }
    void setDetailModel(const BookDetailModel &detail);
    void setZanTextBlock(CountBlock block) { m_zanTextBlock = std::move(block); }
    void setCommentTextBlock(CountBlock block) { m_commentTextBlock = std::move(block); }

    const QList<BookCommentModel> &commentArray() const { return m_rows->rows(); }
    BookCommentRows *rows() const { return m_rows; }
    // The page being asked for, else the last page that arrived (0 before any).
    int pageIndex() const;

    // Page 1 again, and the like button set from the detail without animation.
    void reloadComments();
    // The request for one page; the model calls it, so an answer lands on its own page.
    void getCommentShowActionWithPageIndex(int pageIndex);
    // The like button was tapped (its state already flipped): AddGood or CancelGood.
    void zanClickAction(CatZanButton *sender);
    // Asks "确认删除？" for the teacher's own comment at `row`; nothing for another row.
    void deleteCommentClick(int row);
    // Sends the deletion of the comment `commentId` (the answer removes whichever row shows it).
    void deleteCommentAction(qint64 commentId);
    // Pushes the compose screen, starting from `text` (what was typed in the inline field).
    void publishCommonAction(const QString &text = {});
    // The inline field's rules after a user edit: unsupported characters out, at most 140.
    void commentTextFieldEdited();

    CatZanButton *zanButton() const;
    QLineEdit *commentTextField() const;
    QPushButton *publishCommonButton() const;
    QListView *tableView() const;

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void retranslate() override;

private:
    void likeAnswered(bool liked, qint64 goodCount);
    void likeRefused(bool liked);
    bool refusesTyping(const QKeyEvent *event) const;
    void showEmojiRefused();

    std::unique_ptr<Ui::BookCommentVC> m_ui;
    BookCommentRows *m_rows;
    qint64 m_bookId = 0;
    BookDetailModel m_detailModel;
    CountBlock m_zanTextBlock;
    CountBlock m_commentTextBlock;
};
