#include "ClassDetailListVC.h"

#include "BookCollectionCell.h"
#include "ListActions.h"
#include "NavigationController.h"
#include "ScreenLinks.h"
#include "StyleTokens.h"
#include "ui_ClassDetailListVC.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcBookGrid, "teacher.screens.grid")

void ClassDetailListVC::setBookDetailMaker(BookDetailMaker maker) {
    ScreenLinks::set(ScreenLinks::Link::BookDetail, std::move(maker));
}

ViewController *ClassDetailListVC::makeBookDetail(qint64 bookId) {
    return ScreenLinks::make(ScreenLinks::Link::BookDetail, bookId);
}

ClassDetailListVC::ClassDetailListVC(ListType listType, QWidget *parent)
    : BasicVC(parent)
    , m_ui(StyleTokens::makeForm<Ui::ClassDetailListVC>(this))
    , m_listType(listType)
    , m_rows(new BookGridRows(this)) {
    m_rows->setPageSize(PageSize);
}

ClassDetailListVC::~ClassDetailListVC() = default;

QListView *ClassDetailListVC::gridView() const {
    return m_ui->collectionView;
}

int ClassDetailListVC::pageIndex() const {
    return m_rows->isLoading() ? m_rows->requestedPage() : m_rows->currentPage();
}

void ClassDetailListVC::viewDidLoad() {
    BasicVC::viewDidLoad();
    QListView *grid = m_ui->collectionView;
    // The form hides the scroll bar: a wrapping list keeps room for one even when none shows,
    // and three cells of (width - 32) / 3 would no longer fit. Wheel and keys still scroll.
    m_rows->showIn(grid);
    applyTexts();
    ListActions::openRowsOnce(grid, [this](const QModelIndex &index) { collectionView(index); });

    switch (m_listType) {
    case TestList:
    case CollectList:
        m_rows->setPageRequest(
            [this](int page, int) { getStudentPersonHomeIndexActionWithPageIndex(page); });
        break;
    case RecommendList:
        // One list, no paging: nothing happens on a pull-up, and only F5 or a pull-down asks
        // again.
        m_rows->setSinglePage(true);
        m_rows->setPageRequest([this](int, int) { getRecommandBookListAction(); });
        break;
    default:
        qCWarning(lcBookGrid) << "grid of unknown mode" << int(m_listType) << "asks for nothing";
        return;
    }
    m_rows->attach(grid);
    m_rows->refresh();
}

void ClassDetailListVC::retranslate() {
    m_ui->retranslateUi(this);
    applyTexts();
}

void ClassDetailListVC::applyTexts() {
    m_ui->collectionView->setAccessibleName(m_listType == TestList      ? tr("测试的书")
                                            : m_listType == CollectList ? tr("收藏的书")
                                                                        : tr("推荐的书"));
}

void ClassDetailListVC::viewWillAppear(bool animated) {
    // Inside another screen (a pupil's home, a book's detail) the grid is not a screen of the
    // stack: the bar, the back button and the back keys belong to the screen holding it.
    if (parentViewController() && !qobject_cast<NavigationController *>(parentViewController())) {
        ViewController::viewWillAppear(animated);
        return;
    }
    BasicVC::viewWillAppear(animated);
}

void ClassDetailListVC::reload() {
    if (isViewLoaded())
        m_rows->refresh();
}

void ClassDetailListVC::getStudentPersonHomeIndexActionWithPageIndex(int pageIndex) {
    GetStudentPersonHomeIndexReq request;
    request.uid = m_userId;
    request.type = m_listType == CollectList ? CollectType : TestType;
    request.pageIndex = pageIndex;
    request.pageSize = PageSize;

    const ListType mode = m_listType;
    QPointer<ClassDetailListVC> self(this);
    auto answer = m_rows->answerForPage<GetStudentPersonHomeIndextRsp>(
        this, pageIndex, [self, mode](const GetStudentPersonHomeIndextRsp &rsp) {
            // The header follows every successful answer, before the grid shows the page.
            if (self && self->m_studentInfo && rsp.user)
                self->m_studentInfo(*rsp.user);
            return BookGridItem::listFrom(mode == CollectList ? rsp.bookList : rsp.testList);
        });
    answer.sendShowingHud(request);
}

void ClassDetailListVC::getRecommandBookListAction() {
    GetRecommendBookListReq request;
    request.bookId = m_bookId;
    request.top = RecommendTop;
    auto answer = m_rows->answerForPage<GetRecommendBookListRsp>(
        this, 1,
        [](const GetRecommendBookListRsp &rsp) { return BookGridItem::listFrom(rsp.bookList); });
    answer.sendShowingHud(request);
}

void ClassDetailListVC::collectionView(const QModelIndex &index) {
    openBook(this, m_rows, index);
}

void ClassDetailListVC::openBook(ViewController *screen, const BookGridRows *rows,
                                 const QModelIndex &index) {
    if (!screen || !rows || !index.isValid() || index.model() != rows ||
        !rows->isValidRow(index.row()))
        return;
    NavigationController *stack = screen->navigationController();
    if (!stack)
        return;
    const qint64 bookId = rows->at(index.row()).BookId;
    ViewController *detail = makeBookDetail(bookId);
    if (!detail) {
        qCWarning(lcBookGrid) << "no book detail screen to open book" << bookId;
        return;
    }
    detail->setHidesBottomBarWhenPushed(true);
    // Beside the grid on a desktop window, pushed over it on a phone.
    stack->showDetail(screen, detail);
}
