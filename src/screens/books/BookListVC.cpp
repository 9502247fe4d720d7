#include "BookListVC.h"

#include "AnswerHandling.h"
#include "BookSearchVC.h"
#include "BookSortMenus.h"
#include "BookStoreGrid.h"
#include "FrameStyle.h"
#include "NavigationController.h"
#include "StyleTokens.h"
#include "ui_BookListVC.h"

#include <QListView>
#include <QLoggingCategory>
#include <QPushButton>
#include <QShortcut>

Q_LOGGING_CATEGORY(lcBookList, "teacher.books.list")

namespace {
constexpr QSizeF SearchButtonSize(20, 20);
} // namespace

BookListVC::BookListVC(QWidget *parent)
    : BasicVC(parent)
    , m_ui(StyleTokens::makeForm<Ui::BookListVC>(this)) {
    m_grid = new BookStoreGrid(this, m_ui->collectionView, tr("书城的书"), false);
    rows()->setPageRequest([this](int page, int) { getBookListActionWithPageIndex(page); });
}

BookListVC::~BookListVC() = default;

NavigationController *BookListVC::navigationControllerContainSelf() {
    auto *stack = new NavigationController(new BookListVC);
    return stack;
}

const QList<BookGridItem> &BookListVC::bookListArray() const {
    return m_grid->rows()->rows();
}

int BookListVC::pageIndex() const {
    return m_grid->pageIndex();
}

BookGridRows *BookListVC::rows() const {
    return m_grid->rows();
}

QListView *BookListVC::gridView() const {
    return m_ui->collectionView;
}

void BookListVC::viewDidLoad() {
    BasicVC::viewDidLoad();
    m_searchButton =
        setNavigationRightButtonWithImageName(QStringLiteral("book_search_btn"), SearchButtonSize);
    m_searchButton->setObjectName(QStringLiteral("searchButton"));

    getBookSortTreeAction();
    m_gradeArray = BookSortMenu::arrayForGradeMenu();
    m_sortArray = BookSortMenu::arrayForSortMenuWithSortNameArray(BookSortMenu::sortNameArray());

    m_menu = new ChartDropDownMenu(QPoint(0, 0), MenuHeight, this);
    m_menu->setObjectName(QStringLiteral("filterMenu"));
    m_menu->setTextColor(QColor(FrameStyle::MenuGrey));
    m_menu->setIndicatorColor(QColor(FrameStyle::MenuGrey));
    m_menu->setSeparatorColor(QColor(FrameStyle::MenuLine));
    m_menu->setDataSource(this);
    m_menu->setDelegate(this);
    m_menu->raise();

    // The tab's own keys, whichever of its widgets has the focus (or none, after a tab switch):
    // the screen answers only while it is the one shown.
    m_findKey = new QShortcut(QKeySequence::Find, this);
    connect(m_findKey, &QShortcut::activated, this, [this] { rightBarButtonItemPressed(); });
    m_refreshKey = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(m_refreshKey, &QShortcut::activated, this, [this] { reloadBookList(); });
    applyTexts();

    rows()->header()->beginRefreshing();
}

void BookListVC::retranslate() {
    m_ui->retranslateUi(this);
    applyTexts();
    // The filter bar asks for its titles again by itself.
}

void BookListVC::applyTexts() {
    setTitle(tr("书城"));
    m_searchButton->setAccessibleName(tr("搜索"));
    m_searchButton->setToolTip(tr("搜索 (Ctrl+F)"));
    m_findKey->setWhatsThis(tr("搜索"));
    m_refreshKey->setWhatsThis(tr("刷新"));
    gridView()->setAccessibleName(tr("书城的书"));
}

void BookListVC::getBookSortTreeAction() {
    auto answer = AnswerHandler<GetBookSortTreeRsp>(this).keptFirst().onSuccess(
        [this](const GetBookSortTreeRsp &rsp) {
            // The menu is not told: it reads the rows the next time the column opens.
            m_cateArray = BookSortMenu::arrayForCategoryMenu(
                QList<BookSortModel>(rsp.sortList.value_or(RecordArray<BookSortModel>())));
        });
    answer.send(GetBookSortTreeReq());
}

GetBookListReq BookListVC::bookListRequest() const {
    GetBookListReq request;
    if (const BookSortModel *grade = selectedRow(GradeColumn))
        request.gradeId = grade->gradeId;
    if (const BookSortModel *sort = selectedRow(SortColumn))
        request.orderbytype = sort->orderbytype;
    if (const BookSortModel *category = selectedRow(CategoryColumn))
        request.sortId = category->SortId;
    // The catalogue never filters by name, but the field goes out empty.
    request.name = QStringLiteral("");
    return request;
}

void BookListVC::getBookListActionWithPageIndex(int pageIndex) {
    m_grid->requestPage(bookListRequest(), pageIndex);
}

void BookListVC::reloadBookList() {
    m_grid->reload();
}

void BookListVC::collectionView(const QModelIndex &index) {
    m_grid->openBook(index);
}

void BookListVC::rightBarButtonItemPressed() {
    NavigationController *stack = navigationController();
    if (!stack)
        return;
    // An open filter list stays behind otherwise, over the grid, when the search comes back.
    if (m_menu && m_menu->isShow())
        m_menu->backgroundTapped();
    auto *search = new BookSearchVC;
    search->setHidesBottomBarWhenPushed(true);
    stack->pushViewController(search, true);
}

const QList<BookSortModel> *BookListVC::menuOf(qint64 column) const {
    switch (column) {
    case GradeColumn:
        return &m_gradeArray;
    case SortColumn:
        return &m_sortArray;
    case CategoryColumn:
        return &m_cateArray;
    default:
        return nullptr;
    }
}

// The chosen row of `column`; null while its menu has no such row (the categories before they
// arrive).
const BookSortModel *BookListVC::selectedRow(qint64 column) const {
    const QList<BookSortModel> *menu = menuOf(column);
    if (!menu)
        return nullptr;
    const qint64 index = m_currentDataIndex[size_t(column)];
    return index >= 0 && index < menu->size() ? &menu->at(index) : nullptr;
}

qint64 BookListVC::numberOfColumnsInMenu(ChartDropDownMenu *) {
    return 3;
}

std::optional<qint64> BookListVC::currentLeftSelectedRow(qint64 column) {
    return menuOf(column) ? m_currentDataIndex[size_t(column)] : 0;
}

qint64 BookListVC::menuNumberOfRowsInColumn(ChartDropDownMenu *, qint64 column, qint64, qint64) {
    const QList<BookSortModel> *menu = menuOf(column);
    return menu ? menu->size() : 0;
}

QString BookListVC::menuTitleForColumn(ChartDropDownMenu *, qint64 column) {
    if (column == CategoryColumn && currentData3Index() == 0)
        return BookSortMenu::categoryTitle(BookSortModel(), 0);
    return selectedRow(column) ? rowTitle(column, m_currentDataIndex[size_t(column)]) : QString();
}

QString BookListVC::rowTitle(qint64 column, qsizetype row) const {
    const BookSortModel &model = menuOf(column)->at(row);
    switch (column) {
    case GradeColumn:
        return BookSortMenu::gradeTitle(model);
    case SortColumn:
        return BookSortMenu::sortTitle(model);
    default:
        return BookSortMenu::categoryTitle(model, row);
    }
}

QString BookListVC::menuTitleForRowAtIndexPath(ChartDropDownMenu *,
                                               const ChartIndexPath &indexPath) {
    const QList<BookSortModel> *menu = menuOf(indexPath.column);
    if (!menu || indexPath.row < 0 || indexPath.row >= menu->size())
        return {};
    return rowTitle(indexPath.column, indexPath.row);
}

void BookListVC::menuDidSelectRowAtIndexPath(ChartDropDownMenu *menu,
                                             const ChartIndexPath &indexPath) {
    if (!menuOf(indexPath.column))
        return;
    qint64 &current = m_currentDataIndex[size_t(indexPath.column)];
    if (current == indexPath.row)
        return;
    // A row outside the column's menu is no choice; the bar goes back to the current title.
    if (indexPath.row < 0 ||
        indexPath.row >= menuNumberOfRowsInColumn(menu, indexPath.column, 0, 0)) {
        qCWarning(lcBookList) << "no row" << indexPath.row << "in column" << indexPath.column;
        if (ChartMenuColumn *column = m_menu->column(int(indexPath.column)))
            column->setTitle(menuTitleForColumn(m_menu, indexPath.column));
        return;
    }
    current = indexPath.row;
    reloadBookList();
}
