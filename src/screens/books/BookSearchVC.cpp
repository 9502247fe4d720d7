#include "BookSearchVC.h"

#include "BookStoreGrid.h"
#include "FrameStyle.h"
#include "NavigationBar.h"
#include "NavigationController.h"
#include "StyleTokens.h"
#include "Toast.h"
#include "ui_BookSearchVC.h"

#include <QEvent>
#include <QLineEdit>
#include <QListView>
#include <QShortcut>

namespace {
// The search's fixed filters: all grades, all categories, popularity ascending.
constexpr qint64 SearchOrder = 1;

// The field's length limit cuts a paste at a count of units, which can split an emoji in two; the
// half left over is no character and goes. `cursor` keeps its place beside the same character.
QString withoutBrokenPairs(const QString &text, int *cursor) {
    QString kept;
    kept.reserve(text.size());
    int removedBeforeCursor = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar unit = text.at(i);
        if (unit.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            kept += unit;
            kept += text.at(++i);
        } else if (unit.isSurrogate()) {
            removedBeforeCursor += i < *cursor ? 1 : 0;
        } else {
            kept += unit;
        }
    }
    *cursor -= removedBeforeCursor;
    return kept;
}
} // namespace

BookSearchVC::BookSearchVC(QWidget *parent)
    : InputVC(parent)
    , m_ui(StyleTokens::makeForm<Ui::BookSearchVC>(this)) {
    // The box is laid over the navigation bar, not into the screen.
    m_searchView = m_ui->searchView;
    m_ui->mainLayout->removeWidget(m_searchView);
    m_searchView->hide();
    m_ui->backButton->setImageName(QStringLiteral("left_back_icon"));
    connect(m_ui->backButton, &QPushButton::clicked, this, [this] { backClickAction(); });
    connect(m_ui->searchTextField, &QLineEdit::returnPressed, this,
            [this] { textFieldShouldReturn(); });
    // A longer name would only come back refused after the round trip.
    QLineEdit *field = m_ui->searchTextField;
    field->setMaxLength(MaxQueryLength);
    connect(field, &QLineEdit::textChanged, this, [field](const QString &text) {
        if (text.isValidUtf16())
            return;
        int cursor = field->cursorPosition();
        field->setText(withoutBrokenPairs(text, &cursor));
        field->setCursorPosition(cursor);
    });

    m_grid = new BookStoreGrid(this, m_ui->searchCollectionView, QString(), true);
    rows()->setPageRequest([this](int page, int) { getBookListActionWithPageIndex(page); });

    // The box is outside the screen's widgets while it sits on the bar: the frame's back keys,
    // which answer for the screen's own widgets, need a second pair for the box.
    for (const QKeySequence &key :
         {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::AltModifier | Qt::Key_Left)}) {
        auto *back = new QShortcut(key, m_searchView);
        m_backKeys << back;
        back->setContext(Qt::WidgetWithChildrenShortcut);
        connect(back, &QShortcut::activated, this, [this] { backKeyAction(); });
    }
    m_findKey = new QShortcut(QKeySequence::Find, this);
    connect(m_findKey, &QShortcut::activated, this, [this] {
        m_ui->searchTextField->setFocus(Qt::ShortcutFocusReason);
        m_ui->searchTextField->selectAll();
    });
    applyTexts();
}

void BookSearchVC::retranslate() {
    m_ui->retranslateUi(this);
    applyTexts();
}

void BookSearchVC::applyTexts() {
    m_ui->searchCollectionView->setAccessibleName(tr("搜索到的书"));
    for (QShortcut *back : std::as_const(m_backKeys))
        back->setWhatsThis(tr("返回"));
    m_findKey->setWhatsThis(tr("搜索"));
}

BookSearchVC::~BookSearchVC() {
    // Still on the bar when the screen goes without disappearing (its stack went at once).
    if (m_searchView && m_searchView->parentWidget() != this)
        delete m_searchView;
}

int BookSearchVC::pageIndex() const {
    return m_grid->pageIndex();
}

BookGridRows *BookSearchVC::rows() const {
    return m_grid->rows();
}

QWidget *BookSearchVC::searchView() const {
    return m_searchView;
}

QLineEdit *BookSearchVC::searchTextField() const {
    return m_ui->searchTextField;
}

QListView *BookSearchVC::searchCollectionView() const {
    return m_ui->searchCollectionView;
}

void BookSearchVC::viewWillAppear(bool animated) {
    InputVC::viewWillAppear(animated);
    NavigationController *stack = navigationController();
    if (!stack || !m_searchView)
        return;
    NavigationBar *bar = stack->navigationBar();
    if (m_bar != bar) {
        if (m_bar)
            m_bar->removeEventFilter(this);
        m_bar = bar;
        bar->installEventFilter(this);
    }
    m_searchView->setParent(bar);
    layOverBar();
    m_searchView->show();
    m_searchView->raise();
    m_ui->searchTextField->setFocus(Qt::OtherFocusReason);
}

void BookSearchVC::viewWillDisappear(bool animated) {
    InputVC::viewWillDisappear(animated);
    if (!m_searchView)
        return;
    m_searchView->hide();
    m_searchView->setParent(this);
}

void BookSearchVC::layOverBar() {
    if (m_searchView && m_bar && m_searchView->parentWidget() == m_bar)
        m_searchView->setGeometry(0, 0, m_bar->width(), FrameStyle::NavigationBarHeight);
}

bool BookSearchVC::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_bar.data() && event->type() == QEvent::Resize)
        layOverBar();
    return InputVC::eventFilter(watched, event);
}

void BookSearchVC::textFieldShouldReturn() {
    // On a phone the return key also put the keyboard away; here the focus stays in the field,
    // so the next query is typed at once.
    m_grid->reload();
}

GetBookListReq BookSearchVC::bookListRequest() const {
    GetBookListReq request;
    request.gradeId = 0;
    request.sortId = 0;
    request.orderbytype = SearchOrder;
    request.name = m_ui->searchTextField->text();
    return request;
}

void BookSearchVC::getBookListActionWithPageIndex(int pageIndex) {
    if (m_ui->searchTextField->text().isEmpty()) {
        Toast::show(emptyQueryText());
        // Ends both refresh controls and keeps the rows and the page counter as they are.
        rows()->pageFailed(pageIndex);
        return;
    }
    m_grid->requestPage(bookListRequest(), pageIndex);
}

void BookSearchVC::backClickAction() {
    leftBackClick();
}

void BookSearchVC::collectionView(const QModelIndex &index) {
    m_grid->openBook(index);
}
