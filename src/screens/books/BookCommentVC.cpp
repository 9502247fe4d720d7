#include "BookCommentVC.h"

#include "AlertView.h"
#include "AnswerHandling.h"
#include "BookCommentCell.h"
#include "CatZanButton.h"
#include "CommentText.h"
#include "KeyboardAvoidance.h"
#include "NavigationController.h"
#include "ProgressHud.h"
#include "REDetailCommentViewController.h"
#include "StyleTokens.h"
#include "Toast.h"
#include "records/AccountRecords.h"
#include "ui_BookCommentVC.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>

namespace {

// The two like operations answer alike: the book's new total, or nothing to keep.
template <class Rsp>
AnswerHandler<Rsp> likeAnswer(QObject *screen, std::function<void(qint64)> done,
                              std::function<void()> undo) {
    AnswerHandler<Rsp> answer(screen);
    answer.dismissingHud()
        .onSuccess([done](const Rsp &rsp) { done(rsp.goodCount); })
        .onRefusal([undo](const Rsp &rsp) {
            AnswerHandling::showRefusal(rsp);
            undo();
        })
        .onFailure(undo);
    return answer;
}

} // namespace

BookCommentVC::BookCommentVC(QWidget *parent)
    : BasicVC(parent)
    , m_ui(std::make_unique<Ui::BookCommentVC>())
    , m_rows(new BookCommentRows(this)) {
    m_ui->setupUi(this);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    // After the palette: expanding polishes the form, which keeps the palette it has then.
    StyleTokens::expandTree(this);
    m_rows->setPageSize(PageSize);
}

BookCommentVC::~BookCommentVC() = default;

QString BookCommentVC::emojiRefusedText() {
    return tr("暂不支持表情");
}

void BookCommentVC::retranslate() {
    m_ui->retranslateUi(this);
}

CatZanButton *BookCommentVC::zanButton() const {
    return m_ui->catZanButton;
}

QLineEdit *BookCommentVC::commentTextField() const {
    return m_ui->commentTextField;
}

QPushButton *BookCommentVC::publishCommonButton() const {
    return m_ui->publishCommonButton;
}

QListView *BookCommentVC::tableView() const {
    return m_ui->tableView;
}

int BookCommentVC::pageIndex() const {
    return m_rows->isLoading() ? m_rows->requestedPage() : m_rows->currentPage();
}

void BookCommentVC::viewDidLoad() {
    BasicVC::viewDidLoad();
    m_ui->catZanButton->setClickHandler([this](CatZanButton *sender) { zanClickAction(sender); });
    connect(m_ui->publishCommonButton, &QPushButton::clicked, this,
            [this] { publishCommonAction(); });
    QLineEdit *field = m_ui->commentTextField;
    field->setTextMargins(8, 0, 8, 0);
    connect(field, &QLineEdit::textEdited, this, [this] { commentTextFieldEdited(); });
    connect(field, &QLineEdit::returnPressed, this,
            [this, field] { publishCommonAction(field->text()); });
    field->installEventFilter(this);

    QListView *list = m_ui->tableView;
    auto *cell = new BookCommentCell(list);
    list->setModel(m_rows);
    list->setItemDelegate(cell);
    list->installEventFilter(this);
    connect(cell, &BookCommentCell::deleteClicked, this,
            [this](int row) { deleteCommentClick(row); });
    connect(m_rows, &PagedRowsBase::pageLoaded, list, [list](int page) {
        if (page == 1)
            list->scrollToTop();
    });
    m_rows->setPageRequest([this](int page, int) { getCommentShowActionWithPageIndex(page); });
    // A pull-up loads more; the list has no pull-down.
    m_rows->attach(list, this);
    delete m_rows->header();
    reloadComments();
}

void BookCommentVC::viewWillAppear(bool animated) {
    // A page inside the detail: the bar and the back keys belong to the detail.
    ViewController::viewWillAppear(animated);
    KeyboardAvoidance::setEnabled(true);
    KeyboardAvoidance::setToolbarEnabled(true);
}

void BookCommentVC::viewWillDisappear(bool animated) {
    ViewController::viewWillDisappear(animated);
    KeyboardAvoidance::setEnabled(false);
    m_ui->commentTextField->clearFocus();
}

void BookCommentVC::setDetailModel(const BookDetailModel &detail) {
    m_detailModel = detail;
    // A detail that arrives after the page was shown would otherwise leave the wrong look until
    // the next reload; a like on its way decides the look itself.
    if (!m_ui->catZanButton->isWaiting())
        m_ui->catZanButton->setIsZan(m_detailModel.IsGood == 1);
}

void BookCommentVC::reloadComments() {
    if (!m_ui->catZanButton->isWaiting())
        m_ui->catZanButton->setIsZan(m_detailModel.IsGood == 1);
    m_rows->refresh();
}

void BookCommentVC::getCommentShowActionWithPageIndex(int pageIndex) {
    GetCommentShowReq request;
    request.bookId = m_bookId;
    request.pageIndex = m_rows->servicePageFor(pageIndex);
    request.pageSize = PageSize;

    // Back from posting a comment, "评论成功" is up: the spinner would take its place at once and
    // the answer take it down, so the teacher never reads it. The reload goes quietly instead.
    const bool spinner = !ProgressHud::isSuccess();
    // The model calls this only while it lives, so it may be reached from the rows' function.
    BookCommentRows *rows = m_rows;
    auto answer = m_rows->answerForPage<GetCommentShowRsp>(
        this, pageIndex, [rows](const GetCommentShowRsp &rsp) {
            return rows->notShownYet(
                QList<BookCommentModel>(rsp.commentList.value_or(RecordArray<BookCommentModel>())));
        });
    if (spinner)
        answer.sendShowingHud(request);
    else
        answer.send(request);
}

void BookCommentVC::zanClickAction(CatZanButton *sender) {
    if (!sender)
        return;
    const bool liked = sender->isZan();
    auto done = [this, liked](qint64 total) { likeAnswered(liked, total); };
    auto undo = [this, liked] { likeRefused(liked); };
    // One like at a time: a second tap before the answer would race it.
    sender->setWaiting(true);
    ProgressHud::show();
    if (liked) {
        AddGoodReq request;
        request.uid = LoginRsp::shareRsp().uid;
        request.bookId = m_bookId;
        const auto answer = likeAnswer<AddGoodRsp>(this, done, undo);
        answer.send(request);
    } else {
        CancelGoodReq request;
        request.uid = LoginRsp::shareRsp().uid;
        request.bookId = m_bookId;
        const auto answer = likeAnswer<CancelGoodRsp>(this, done, undo);
        answer.send(request);
    }
}

void BookCommentVC::likeAnswered(bool liked, qint64 goodCount) {
    m_ui->catZanButton->setWaiting(false);
    m_ui->catZanButton->setIsZan(liked);
    m_detailModel.IsGood = liked ? 1 : 0;
    m_detailModel.GoodCount = goodCount;
    if (m_zanTextBlock)
        m_zanTextBlock(goodCount);
}

// The service kept the like as it was, so the button shows it as it was; the count never moved.
void BookCommentVC::likeRefused(bool liked) {
    m_ui->catZanButton->setWaiting(false);
    m_ui->catZanButton->setIsZan(!liked);
}

void BookCommentVC::deleteCommentClick(int row) {
    const QModelIndex index = m_rows->index(row);
    if (!m_rows->isValidRow(row) || !index.data(BookCommentRows::OwnRole).toBool())
        return;
    // The comment, not the row: the list may reload while the question is open.
    const qint64 commentId = m_rows->at(row).CommentId;
    QPointer<BookCommentVC> self(this);
    AlertView::show(QString(), tr("确认删除？"), {tr("取消"), tr("确定")},
                    [self, commentId](int button) {
                        if (self && button == 1)
                            self->deleteCommentAction(commentId);
                    });
}

void BookCommentVC::deleteCommentAction(qint64 commentId) {
    DeleteCommentReq request;
    request.uid = LoginRsp::shareRsp().uid;
    request.bookId = m_bookId;
    request.commentId = commentId;
    const auto answer = AnswerHandler<DeleteCommentRsp>(this).onSuccess(
        [this, commentId](const DeleteCommentRsp &rsp) {
            m_detailModel.CommentsCount = rsp.commentCount;
            if (m_commentTextBlock)
                m_commentTextBlock(rsp.commentCount);
            m_rows->removeComment(commentId);
        });
    answer.sendShowingHud(request);
}

void BookCommentVC::publishCommonAction(const QString &text) {
    NavigationController *stack = navigationController();
    if (!stack)
        return;
    auto *composer = new REDetailCommentViewController;
    composer->setBookId(m_bookId);
    composer->setCommentText(text);
    // The header's comment total follows a new comment as it follows a deletion, and the inline
    // field's text has been said. Told while the composer still covers the detail, the list
    // reloads when the detail shows again; told after the teacher left the composer, it reloads
    // now, since the reload on coming back may have been answered before the comment was there.
    QPointer<BookCommentVC> self(this);
    composer->setCommentAdded([self](qint64 total) {
        if (!self)
            return;
        self->m_detailModel.CommentsCount = total;
        if (self->m_commentTextBlock)
            self->m_commentTextBlock(total);
        self->m_ui->commentTextField->clear();
        const ViewController *holder =
            self->parentViewController() ? self->parentViewController() : self.data();
        if (holder->isAppeared())
            self->reloadComments();
    });
    stack->pushViewController(composer, true);
}

void BookCommentVC::commentTextFieldEdited() {
    QLineEdit *field = m_ui->commentTextField;
    int cursor = field->cursorPosition();
    QString text = CommentText::removeUnsupported(field->text(), &cursor);
    const bool removed = text != field->text();
    text = CommentText::cutToLimit(text);
    if (text != field->text()) {
        field->setText(text);
        field->setCursorPosition(qMin(cursor, int(text.size())));
    }
    if (removed)
        showEmojiRefused();
}

void BookCommentVC::showEmojiRefused() {
    const QWidget *toolbar = KeyboardAvoidance::toolbar();
    const int keyboardHeight = toolbar && toolbar->isVisible() ? toolbar->height() : 0;
    Toast::showAtDistanceFromBottom(emojiRefusedText(), Toast::DefaultSeconds,
                                    keyboardHeight + ToastAboveKeyboard);
}

// Once the field is full, an edit that would lengthen it is refused outright.
bool BookCommentVC::refusesTyping(const QKeyEvent *event) const {
    const QLineEdit *field = m_ui->commentTextField;
    const int length = int(field->text().size());
    if (length < CommentText::MaxLength)
        return false;
    const int replaced = int(field->selectedText().size());
    if (event->matches(QKeySequence::Paste)) {
        const QClipboard *clipboard = QApplication::clipboard();
        return clipboard && clipboard->text().size() > replaced;
    }
    const QString typed = event->text();
    const bool inserts = !typed.isEmpty() && typed.front().isPrint() &&
                         !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
    return inserts && typed.size() > replaced;
}

bool BookCommentVC::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (watched == m_ui->commentTextField && refusesTyping(key))
            return true;
        if (watched == m_ui->tableView && key->key() == Qt::Key_Delete) {
            deleteCommentClick(m_ui->tableView->currentIndex().row());
            return true;
        }
    }
    return BasicVC::eventFilter(watched, event);
}
