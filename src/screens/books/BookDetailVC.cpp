#include "BookDetailVC.h"

#include "AnswerHandling.h"
#include "Assets.h"
#include "BookCommentVC.h"
#include "BookIntroduceVC.h"
#include "ClassDetailListVC.h"
#include "FrameStyle.h"
#include "ImageLoader.h"
#include "NotificationCenter.h"
#include "ProgressHud.h"
#include "StyleTokens.h"
#include "Tags.h"
#include "TextRules.h"
#include "records/AccountRecords.h"
#include "ui_BookDetailVC.h"

#include <QListView>
#include <QLoggingCategory>
#include <QShortcut>
#include <QtMath>

Q_LOGGING_CATEGORY(lcBookDetail, "teacher.books.detail")

namespace {

// Adding and removing answer alike: nothing but the result. Only once the service made the
// change is the collection different: told earlier, it could reload the old one. It is told
// even when the teacher has left the detail meanwhile.
template <class Rsp>
AnswerHandler<Rsp> collectAnswer(QObject *screen, std::function<void()> done,
                                 std::function<void()> settled) {
    AnswerHandler<Rsp> answer(screen);
    answer.dismissingHud()
        .onAccepted([](const Rsp &) { NotificationCenter::post(NOTIFICATION_UPDATE_MYCOLLECT); })
        .onSuccess([done, settled](const Rsp &) {
            settled();
            done();
        })
        .onRefusal([settled](const Rsp &rsp) {
            AnswerHandling::showRefusal(rsp);
            settled();
        })
        .onFailure(settled);
    return answer;
}

} // namespace

BookDetailVC::BookDetailVC(qint64 bookId, QWidget *parent)
    : BasicVC(parent)
    , m_ui(StyleTokens::makeForm<Ui::BookDetailVC>(this))
    , m_bookId(bookId) {
    const QList<std::pair<QLabel *, const char *>> icons{
        {m_ui->flowerIcon, "flower_icon"},
        {m_ui->zanIcon, "book_comment_zan_normal"},
        {m_ui->commentIcon, "book_comment_count_icon"}};
    for (const auto &[label, asset] : icons)
        label->setPixmap(Assets::pixmap(QString::fromLatin1(asset), label->minimumSize()));
    for (int tab = 0; tab < TabCount; ++tab) {
        QAbstractButton *button = tabButton(tab);
        connect(button, &QAbstractButton::clicked, this, [this, button] { segmentAction(button); });
    }
    for (QLabel *label : {m_ui->bookNameLabel, m_ui->isbnLabel, m_ui->companyLabel})
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);

    // The collect button has a key of its own, from anywhere on the screen.
    auto *collect = m_collectKey =
        new QShortcut(QKeySequence(Qt::ControlModifier | Qt::Key_D), this);
    collect->setWhatsThis(tr("收藏"));
    collect->setContext(Qt::WidgetWithChildrenShortcut);
    connect(collect, &QShortcut::activated, this, [this] {
        if (m_rightButton && m_rightButton->isEnabled())
            collectClickAction();
    });
    auto *refresh = m_refreshKey = new QShortcut(QKeySequence(Qt::Key_F5), this);
    refresh->setWhatsThis(tr("刷新"));
    refresh->setContext(Qt::WidgetWithChildrenShortcut);
    connect(refresh, &QShortcut::activated, this, [this] {
        if (m_currentVC && m_currentVC == m_commentVC)
            m_commentVC->reloadComments();
        else if (m_currentVC && m_currentVC == m_recommandVC)
            m_recommandVC->reload();
    });
}

BookDetailVC::~BookDetailVC() = default;

ViewController *BookDetailVC::currentVC() const {
    return m_currentVC;
}

BookIntroduceVC *BookDetailVC::introduceVC() const {
    return m_introduceVC;
}

BookCommentVC *BookDetailVC::commentVC() const {
    return m_commentVC;
}

ClassDetailListVC *BookDetailVC::recommandVC() const {
    return m_recommandVC;
}

QPushButton *BookDetailVC::rightButton() const {
    return m_rightButton;
}

QAbstractButton *BookDetailVC::tabButton(int tab) const {
    switch (tab) {
    case IntroduceTab:
        return m_ui->introduceButton;
    case CommentTab:
        return m_ui->commentButton;
    case RecommandTab:
        return m_ui->recommandButton;
    default:
        return nullptr;
    }
}

QString BookDetailVC::collectTitle(bool collected) {
    return collected ? tr("已收藏") : tr("收藏");
}

void BookDetailVC::viewDidLoad() {
    BasicVC::viewDidLoad();
    setTitle(tr("详情"));
    // Made as wide as the longer title, so the bar never has to make room when it changes.
    m_rightButton = setNavigationRightButtonWithTitle(collectTitle(true));
    m_rightButton->setObjectName(QStringLiteral("rightButton"));
    m_rightButton->setText(collectTitle(false));
    m_rightButton->setAccessibleName(m_rightButton->text());
    m_rightButton->setToolTip(tr("收藏或取消收藏 (Ctrl+D)"));
    // Nothing to collect until the service has described the book.
    m_rightButton->setEnabled(false);
    makePages();
    changeToNewController(m_introduceVC, m_ui->introduceButton);
    getBookDetailShowAction();
}

void BookDetailVC::makePages() {
    m_introduceVC = new BookIntroduceVC(this);
    m_commentVC = new BookCommentVC(this);
    m_commentVC->setBookId(m_bookId);
    // The comment tab lives inside this screen: its reports cannot outlive it.
    m_commentVC->setZanTextBlock([this](qint64 total) { zanTextBlock(total); });
    m_commentVC->setCommentTextBlock([this](qint64 total) { commentTextBlock(total); });
    m_recommandVC = new ClassDetailListVC(ClassDetailListVC::RecommendList, this);
    m_recommandVC->setBookId(m_bookId);
    m_recommandVC->gridView()->setStyleSheet(
        QStringLiteral("QListView { background: white; border: none; }"));
    for (ViewController *page :
         {static_cast<ViewController *>(m_introduceVC), static_cast<ViewController *>(m_commentVC),
          static_cast<ViewController *>(m_recommandVC)})
        page->hide();
}

void BookDetailVC::viewWillAppear(bool animated) {
    BasicVC::viewWillAppear(animated);
    // Back from a screen pushed above (the compose screen, a recommended book): the comments
    // may have changed meanwhile.
    if (m_appearedBefore && m_commentVC && m_pagesShown.contains(m_commentVC.data()))
        m_commentVC->reloadComments();
    m_appearedBefore = true;
}

void BookDetailVC::getBookDetailShowAction() {
    GetBookDetailShowReq request;
    request.uid = LoginRsp::shareRsp().uid;
    request.bookId = m_bookId;
    auto answer = AnswerHandler<GetBookDetailShowRsp>(this).keptFirst().onSuccess(
        [this](const GetBookDetailShowRsp &rsp) {
            if (!rsp.book) {
                qCWarning(lcBookDetail) << "detail of book" << m_bookId << "came without a book";
                return;
            }
            m_detailModel = *rsp.book;
            layoutWithDetailModel(*m_detailModel);
            // Whether the book is collected is the service's to say before it can be changed:
            // a kept answer may be from before a change made elsewhere.
            const std::optional<KeptDelivery> kept = TeacherRequestManager::deliveringKept();
            m_rightButton->setEnabled(!kept || !kept->ahead);
        });
    answer.onUnchanged([this] { m_rightButton->setEnabled(true); });
    answer.sendShowingHud(request);
}

void BookDetailVC::layoutWithDetailModel(const BookDetailModel &detail) {
    m_ui->bookNameLabel->setText(detail.BookName.value_or(QString()));
    applyNameFont();
    m_ui->flowerCountLabel->setText(QString::number(detail.FlowerCount));
    m_ui->commentCountLabel->setText(QString::number(detail.CommentsCount));
    m_ui->zanCountLabel->setText(QString::number(detail.GoodCount));
    applyDetailTexts(detail);
    setImageFromUrl(m_ui->bookImageView, detail.ImageUrl.value_or(QString()));
    m_rightButton->setEnabled(true);
    m_introduceVC->setIntroduce(detail.Introduce.value_or(QString()));
    m_commentVC->setDetailModel(detail);
}

void BookDetailVC::applyDetailTexts(const BookDetailModel &detail) {
    m_ui->isbnLabel->setText(QStringLiteral("ISBN:%1").arg(detail.ISBN.value_or(QString())));
    //: The publisher line under the book's ISBN.
    m_ui->companyLabel->setText(tr("出版:%1").arg(detail.Press.value_or(QString())));
    for (QLabel *label : {m_ui->bookNameLabel, m_ui->isbnLabel, m_ui->companyLabel})
        label->setAccessibleName(label->text());
    applyCountNames();
    m_rightButton->setText(collectTitle(detail.IsCollect != 0));
    m_rightButton->setAccessibleName(m_rightButton->text());
}

// The numbers beside the icons say what they count to a screen reader.
void BookDetailVC::applyCountNames() {
    m_ui->flowerCountLabel->setAccessibleName(tr("小红花%1").arg(m_ui->flowerCountLabel->text()));
    m_ui->zanCountLabel->setAccessibleName(tr("点赞%1").arg(m_ui->zanCountLabel->text()));
    m_ui->commentCountLabel->setAccessibleName(tr("评论%1").arg(m_ui->commentCountLabel->text()));
}

void BookDetailVC::retranslate() {
    m_ui->retranslateUi(this);
    setTitle(tr("详情"));
    m_rightButton->setToolTip(tr("收藏或取消收藏 (Ctrl+D)"));
    // The bar measured the titles of the language before.
    fitBarButton(m_rightButton, {collectTitle(true), collectTitle(false)});
    m_collectKey->setWhatsThis(tr("收藏"));
    m_refreshKey->setWhatsThis(tr("刷新"));
    if (m_detailModel) {
        applyDetailTexts(*m_detailModel);
    } else {
        applyCountNames();
        m_rightButton->setText(collectTitle(false));
        m_rightButton->setAccessibleName(m_rightButton->text());
    }
}

int BookDetailVC::nameFontPixelSize(const QString &name, const QFont &font, int width) {
    const QSizeF needed = TextRules::textSizeWithFont(name, font, QSizeF(qMax(1, width), 0));
    const QFontMetricsF metrics(font);
    const qreal lineHeight = metrics.height() + qMax<qreal>(metrics.leading(), 0);
    const int lines = lineHeight > 0 ? qFloor(needed.height() / lineHeight + 1e-6) : 0;
    return qMax(MinNameFontPixelSize, NameFontBase - lines);
}

void BookDetailVC::applyNameFont() {
    QLabel *name = m_ui->bookNameLabel;
    QFont measure = name->font();
    measure.setPixelSize(NameFontBase);
    QFont shown = measure;
    shown.setBold(true);
    shown.setPixelSize(nameFontPixelSize(name->text(), measure, name->width()));
    name->setFont(shown);
}

void BookDetailVC::resizeEvent(QResizeEvent *event) {
    BasicVC::resizeEvent(event);
    if (m_detailModel)
        applyNameFont();
}

void BookDetailVC::zanTextBlock(qint64 goodCount) {
    if (m_detailModel)
        m_detailModel->GoodCount = goodCount;
    m_ui->zanCountLabel->setText(QString::number(goodCount));
    applyCountNames();
}

void BookDetailVC::commentTextBlock(qint64 commentsCount) {
    if (m_detailModel)
        m_detailModel->CommentsCount = commentsCount;
    m_ui->commentCountLabel->setText(QString::number(commentsCount));
    applyCountNames();
}

void BookDetailVC::collectClickAction() {
    if (!m_detailModel)
        return;
    const bool collected = m_detailModel->IsCollect != 0;
    auto done = [this, collected] {
        m_detailModel->IsCollect = collected ? 0 : 1;
        m_rightButton->setText(collectTitle(!collected));
        m_rightButton->setAccessibleName(m_rightButton->text());
    };
    auto settled = [this] { m_rightButton->setEnabled(true); };
    // One change at a time: a second tap would send the same change again.
    m_rightButton->setEnabled(false);
    ProgressHud::show();
    if (collected) {
        DeleteBookCollectReq request;
        request.uid = LoginRsp::shareRsp().uid;
        request.bookId = m_detailModel->BookId;
        const auto answer = collectAnswer<DeleteBookCollectRsp>(this, done, settled);
        answer.send(request);
    } else {
        AddBookCollectReq request;
        request.uid = LoginRsp::shareRsp().uid;
        request.bookId = m_detailModel->BookId;
        const auto answer = collectAnswer<AddBookCollectRsp>(this, done, settled);
        answer.send(request);
    }
}

void BookDetailVC::segmentAction(QAbstractButton *sender) {
    if (!sender)
        return;
    const QList<ViewController *> pages{m_introduceVC, m_commentVC, m_recommandVC};
    ViewController *chosen = pages.value(tagOf(sender));
    if (!chosen || chosen == m_currentVC)
        return;
    changeToNewController(chosen, sender);
}

void BookDetailVC::changeToNewController(ViewController *chosen, QAbstractButton *button) {
    if (!chosen || !button || chosen == m_currentVC)
        return;
    if (!m_pagesShown.contains(chosen)) {
        m_pagesShown.append(chosen);
        // All pages share the one cell of the framed host: the one shown fills it.
        m_ui->pageLayout->addWidget(chosen, 0, 0);
        chosen->show();
        // Adding a page loads it, and its first data with it.
        addChildViewController(chosen, m_ui->pageHost);
    }
    if (m_currentVC)
        transitionFromViewController(m_currentVC, chosen);
    m_currentVC = chosen;
    if (QWidget *header = viewWithTag(this, HeaderTag + tagOf(button)))
        header->raise();
    styleTabs();
}

void BookDetailVC::styleTabs() {
    const QList<ViewController *> pages{m_introduceVC, m_commentVC, m_recommandVC};
    const QString hairline = QColor(FrameStyle::HairlineColor).name();
    for (int tab = 0; tab < TabCount; ++tab) {
        const bool chosen = m_currentVC && m_currentVC == pages.value(tab);
        QWidget *header = tabButton(tab)->parentWidget();
        header->setStyleSheet(
            QStringLiteral("QFrame#%1 { background: %2; border: 1px solid %3; border-bottom: none;"
                           " border-top-left-radius: 8px; border-top-right-radius: 8px; }"
                           " QPushButton { color: %4; font-size: 14px; border: none; }"
                           " QPushButton:focus { text-decoration: underline; }")
                .arg(header->objectName(),
                     QColor(chosen ? FrameStyle::White : FrameStyle::ToolbarBackground).name(),
                     hairline,
                     QColor(chosen ? FrameStyle::TitleColor : FrameStyle::MutedGrey).name()));
    }
}
