#pragma once

#include "BasicVC.h"
#include "records/ContentRecords.h"

#include <QPointer>

#include <memory>
#include <optional>

class BookCommentVC;
class BookIntroduceVC;
class ClassDetailListVC;
class QAbstractButton;
class QFont;
class QPushButton;
class QShortcut;
namespace Ui {
class BookDetailVC;
}

// One book of the catalogue: cover, name, flowers, likes, comments, ISBN and publisher above three
// tabs, the introduction (0), the comments with the like button (1) and recommended books (2).
// The collect button in the bar adds the book to the teacher's collection or takes it out. The
// detail is asked for once; the pages are made once and keep their state while another is in
// front. F5 reloads the comments or the recommendations, whichever is in front.
class BookDetailVC : public BasicVC {
    Q_OBJECT
public:
    enum Tab { IntroduceTab = 0, CommentTab = 1, RecommandTab = 2, TabCount };
    // The tab header of tab N carries the tag HeaderTag + N, its button the tag N.
    static constexpr int HeaderTag = 10;
    // The name is set at 14 px less one per line it needs, but never below this.
    static constexpr int NameFontBase = 14;
    static constexpr int MinNameFontPixelSize = 9;

    explicit BookDetailVC(qint64 bookId = 0, QWidget *parent = nullptr);
    ~BookDetailVC() override;

    qint64 bookId() const { return m_bookId; }
    void setBookId(qint64 bookId) { m_bookId = bookId; }
    // The last successful detail, with the totals and the collect state changed since.
    const std::optional<BookDetailModel> &detailModel() const { return m_detailModel; }

    void getBookDetailShowAction();
    // Fills the header, the introduction and the comment tab's record from a detail.
    void layoutWithDetailModel(const BookDetailModel &detail);
    // AddBookCollect or DeleteBookCollect by the book's state; the state, the title and the
    // collection's reload follow a successful answer only.
    void collectClickAction();
    void rightBarButtonItemPressed() override { collectClickAction(); }
    // The comment tab's reports of the book's new like and comment totals.
    void zanTextBlock(qint64 goodCount);
    void commentTextBlock(qint64 commentsCount);

    // A tab button: its tag chooses the page; choosing the one in front does nothing.
    void segmentAction(QAbstractButton *sender);
    using BasicVC::segmentAction;
    // Puts `chosen` in front (adding its page the first time) with the header of `button`.
    void changeToNewController(ViewController *chosen, QAbstractButton *button);

    ViewController *currentVC() const;
    BookIntroduceVC *introduceVC() const;
    BookCommentVC *commentVC() const;
    ClassDetailListVC *recommandVC() const;
    QPushButton *rightButton() const;

    // "已收藏" or "收藏".
    static QString collectTitle(bool collected);
    // 14 less the whole lines `name` needs in `font` at `width`, at least MinNameFontPixelSize.
    static int nameFontPixelSize(const QString &name, const QFont &font, int width);

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void resizeEvent(QResizeEvent *event) override;
    void retranslate() override;

private:
    void makePages();
    // The texts made from the detail: the publisher line, the header's names, the collect title.
    void applyDetailTexts(const BookDetailModel &detail);
    void applyCountNames();
    void applyNameFont();
    void styleTabs();
    QAbstractButton *tabButton(int tab) const;

    std::unique_ptr<Ui::BookDetailVC> m_ui;
    qint64 m_bookId = 0;
    std::optional<BookDetailModel> m_detailModel;
    QPointer<QPushButton> m_rightButton;
    QShortcut *m_collectKey = nullptr;
    QShortcut *m_refreshKey = nullptr;
    QPointer<BookIntroduceVC> m_introduceVC;
    QPointer<BookCommentVC> m_commentVC;
    QPointer<ClassDetailListVC> m_recommandVC;
    QPointer<ViewController> m_currentVC;
    QList<ViewController *> m_pagesShown;
    bool m_appearedBefore = false;
};
