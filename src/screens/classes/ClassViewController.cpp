#include "ClassViewController.h"

#include "AnswerHandling.h"
#include "Assets.h"
#include "ClassDetailVC.h"
#include "ClassListCell.h"
#include "DesktopForm.h"
#include "FrameStyle.h"
#include "ListActions.h"
#include "LoginState.h"
#include "NavigationController.h"
#include "RefreshHeader.h"
#include "RosterColumns.h"
#include "StudentRows.h"
#include "StyleTokens.h"
#include "TextRules.h"
#include "ui_ClassViewController.h"

#include <QApplication>
#include <QHeaderView>
#include <QListView>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTableView>

namespace {
constexpr int SortBarHeight = 40;
constexpr QSize TitleViewSize(200, 30);
constexpr int TableRowHeight = 40;
constexpr int CellPadding = 12;
// The desktop form begins where the phone's thin scroll bars end (one shell constant to come).

// The table's cells with room at their sides: a name clears the window's edge, a count its
// neighbours' text. The row's background and selection still span the whole cell.
class PaddedCells : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override {
        QStyleOptionViewItem whole = option;
        initStyleOption(&whole, index);
        const QStyle *style = whole.widget ? whole.widget->style() : QApplication::style();
        style->drawPrimitive(QStyle::PE_PanelItemViewRow, &whole, painter, whole.widget);
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &whole, painter, whole.widget);
        QStyleOptionViewItem inset = option;
        inset.rect.adjust(CellPadding, 0, -CellPadding, 0);
        QStyledItemDelegate::paint(painter, inset, index);
    }
};
} // namespace

ClassViewController::ClassViewController(QWidget *parent)
    : BasicVC(parent)
    , m_ui(StyleTokens::makeForm<Ui::ClassViewController>(this)) {
    // The title view lives in the navigation bar, not in the screen.
    m_ui->rosterLayout->removeWidget(m_ui->headTitleButton);
    m_ui->headTitleButton->setFixedSize(TitleViewSize);
    setTitleView(m_ui->headTitleButton);
    connect(m_ui->headTitleButton, &QPushButton::clicked, this, [this] { changeClassAction(); });

    m_ui->changeModelBtn->setIcon(Assets::icon(QStringLiteral("class_card_icon")));
    connect(m_ui->changeModelBtn, &QPushButton::clicked, this, [this] { changeModelAction(); });

    m_students = new StudentRows(this);
    m_students->setPageRequest([this](int page, int) { requestRoster(page); });
    // The badges follow the rows shown: a roster sorted by name never carries them, even while
    // the one sorted by level is on its way.
    connect(m_students, &StudentRows::pageLoaded, this, [this] {
        m_students->setRanked(m_requestType == ByLevel);
        // A reload of the class keeps the pupil the teacher had selected.
        for (int row = 0; m_keptUserId >= 0 && row < m_students->count(); ++row) {
            if (m_students->at(row).UserId == m_keptUserId) {
                selectStudentRow(row);
                break;
            }
        }
        m_keptUserId = -1;
    });
    m_listCell = new ClassListCell(ClassListCell::ListDesign, this);
    m_cardCell = new ClassListCell(ClassListCell::CardDesign, this);
    QListView *list = m_ui->tableView;
    list->setModel(m_students);
    list->setItemDelegate(m_listCell);
    ListActions::openRowsOnce(
        list, [this](const QModelIndex &index) { tableViewDidSelectRowAtIndexPath(index.row()); });
    setUpTable();
}

void ClassViewController::setUpTable() {
    m_columns = new RosterColumns(m_students, this);
    QTableView *table = m_ui->rosterTable;
    table->hide();
    table->setModel(m_columns);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(TableRowHeight);
    table->setItemDelegate(new PaddedCells(table));
    QHeaderView *header = table->horizontalHeader();
    header->setObjectName(QStringLiteral("rosterHeader"));
    header->setAccessibleName(tr("列标题，点击排序"));
    header->setSectionResizeMode(QHeaderView::Stretch);
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setSortIndicatorShown(true);
    showSortInHeader();
    // The header flips its own indicator (a new column starts in the order the model names).
    connect(header, &QHeaderView::sortIndicatorChanged, this,
            [this](int column, Qt::SortOrder order) { sortByColumn(column, order); });
    ListActions::openRowsOnce(table, [this](const QModelIndex &index) {
        tableViewDidSelectRowAtIndexPath(m_columns->mapToSource(index).row());
    });
    // F5 reaches the list shown: the table has a pull-down control of its own, ended with every
    // load of the rows.
    RefreshHeader::attach(table, [this] { refreshRoster(); });
    connect(m_students, &PagedRowsBase::loadingChanged, this, [this](bool loading) {
        RefreshHeader *pull = RefreshHeader::of(m_ui->rosterTable);
        if (!loading && pull)
            pull->endRefreshing();
    });
}

ClassViewController::~ClassViewController() = default;

void ClassViewController::viewDidLoad() {
    BasicVC::viewDidLoad();
    m_sortView = new ClassSortView(QPoint(0, 0), SortBarHeight,
                                   window() ? window()->width() : width(), m_ui->topView);
    m_sortView->setSizePolicy(m_ui->sortViewPlace->sizePolicy());
    m_sortView->setMinimumHeight(SortBarHeight);
    m_sortView->setTextColor(QColor(FrameStyle::MenuGrey));
    m_sortView->setIndicatorColor(QColor(FrameStyle::MenuGrey));
    m_sortView->setSeparatorColor(QColor(FrameStyle::MenuLine));
    m_sortView->setDataSource(this);
    // Two thirds of the width, whatever the window's: the layout keeps the 2 : 1 split.
    delete m_ui->topLayout->replaceWidget(m_ui->sortViewPlace, m_sortView);
    delete m_ui->sortViewPlace;
    m_ui->sortViewPlace = nullptr;

    m_students->attach(m_ui->tableView, nullptr, [this] { refreshRoster(); });
    ExportActions::showBarButtonWhenWide(this);
    m_export = new ExportActions(this, [this] { return exportDocument(); });
    if (DesktopForm::holds(this))
        setWide(true);
    getMyClassListAction();
}

void ClassViewController::viewDidAppear(bool animated) {
    BasicVC::viewDidAppear(animated);
    // Up, Down and Enter work on the table as soon as it shows.
    if (m_wide)
        m_ui->rosterTable->setFocus(Qt::OtherFocusReason);
}

QString ClassViewController::classTitle(const MyClassListModel &model) {
    //: A class: the grade as the service names it, then the class's name.
    return tr("%1年级%2")
        .arg(model.GradeStr.value_or(QString()), model.ClassName.value_or(QString()));
}

void ClassViewController::getMyClassListAction() {
    GetMyClassForTeacherReq request;
    request.uid = LoginRsp::shareRsp().uid;
    // Kept from the home's visit, the classes come at once and the roster is asked beside
    // their refresh: one round trip instead of two.
    const auto answer = AnswerHandler<GetMyClassForTeacherRsp>(this).keptFirst().onSuccess(
        [this](const GetMyClassForTeacherRsp &rsp) {
            m_gradeArray = rsp.classList.value_or(RecordArray<MyClassListModel>());
            if (m_gradeArray.isEmpty())
                return;
            // The class shown stays through a refresh of the list; at first the one the teacher
            // chose in the sidebar, else the first.
            const qint64 wanted = m_requestClassId > 0 ? m_requestClassId : m_openClassId;
            m_currentRow = 0;
            for (int row = 0; row < m_gradeArray.size(); ++row) {
                if (m_gradeArray.at(row).ClassId == wanted)
                    m_currentRow = row;
            }
            const MyClassListModel &shown = m_gradeArray.at(m_currentRow);
            m_ui->headTitleLabel->setText(classTitle(shown));
            // That class's roster is asked already (or here): a refreshed list of classes does
            // not ask it again.
            if (shown.ClassId == m_requestClassId && m_currentType == m_requestType)
                return;
            // A sort chosen while the classes were coming applies to their first roster.
            getMyClassDetailActionWithClassId(shown.ClassId, m_currentType);
        });
    answer.sendShowingHud(request);
}

void ClassViewController::getMyClassDetailActionWithClassId(qint64 classId, qint64 type) {
    const int selected = selectedStudentRow();
    m_keptUserId =
        classId == m_requestClassId && selected >= 0 ? m_students->at(selected).UserId : -1;
    m_requestClassId = classId;
    m_requestType = type;
    // Page 1 of the model: a newer load makes an older answer stale.
    m_students->refresh();
}

void ClassViewController::requestRoster(int page) {
    GetMyClassDetailReq request;
    request.classId = m_requestClassId;
    request.type = m_requestType;
    auto answer = m_students->answerForPage<GetMyClassDetailRsp>(
        this, page, [](const GetMyClassDetailRsp &rsp) {
            return QList<StudentListModel>(rsp.list.value_or(RecordArray<StudentListModel>()));
        });
    answer.sendShowingHud(request);
}

void ClassViewController::refreshRoster() {
    if (m_currentRow < 0 || m_currentRow >= m_gradeArray.size()) {
        // No class to reload (the class list never came): let the pull end.
        if (RefreshHeader *header = m_students->header())
            header->endRefreshing();
        if (RefreshHeader *header = RefreshHeader::of(m_ui->rosterTable))
            header->endRefreshing();
        return;
    }
    getMyClassDetailActionWithClassId(m_gradeArray.at(m_currentRow).ClassId, m_currentType);
}

void ClassViewController::changeClassAction() {
    if (!m_changeView) {
        m_changeView = new ClassChangeView(QPoint(0, 0), this);
        m_changeView->setDataSource(this);
        m_changeView->setDelegate(this);
    }
    m_changeView->animateSelectView();
}

void ClassViewController::changeModelAction() {
    m_isCard = !m_isCard;
    showModelToggle();
    m_ui->changeModelBtn->setIcon(Assets::icon(m_isCard ? QStringLiteral("class_list_icon")
                                                        : QStringLiteral("class_card_icon")));
    m_ui->tableView->setItemDelegate(m_isCard ? m_cardCell : m_listCell);
    layOutRoster();
}

void ClassViewController::showModelToggle() {
    QPushButton *toggle = m_ui->changeModelBtn;
    const QString text = m_isCard ? tr("列表") : tr("名片");
    toggle->setText(text);
    toggle->setAccessibleName(text);
}

void ClassViewController::retranslate() {
    m_ui->retranslateUi(this);
    applyTexts();
    showModelToggle();
    if (m_currentRow >= 0 && m_currentRow < m_gradeArray.size())
        m_ui->headTitleLabel->setText(classTitle(m_gradeArray.at(m_currentRow)));
    if (m_changeView)
        m_changeView->reloadTitles();
    // The rows and the header compute their texts when painted.
    m_ui->tableView->viewport()->update();
    m_ui->rosterTable->viewport()->update();
    m_ui->rosterTable->horizontalHeader()->viewport()->update();
}

void ClassViewController::applyTexts() {
    m_ui->rosterTable->horizontalHeader()->setAccessibleName(tr("列标题，点击排序"));
    m_ui->changeModelBtn->setAccessibleDescription(tr("在列表和名片之间切换"));
}

void ClassViewController::layOutRoster() {
    QListView *list = m_ui->tableView;
    // Cards go side by side on a wide window; on a phone, and as a list, one a row.
    const bool grid = m_isCard && ClassListCell::cardColumnsFor(list->viewport()->width()) > 1;
    if (grid != (list->viewMode() == QListView::IconMode)) {
        list->setViewMode(grid ? QListView::IconMode : QListView::ListMode);
        list->setMovement(QListView::Static);
        list->setResizeMode(QListView::Adjust);
        list->setWrapping(grid);
        list->setFlow(grid ? QListView::LeftToRight : QListView::TopToBottom);
    }
    // Row heights change with the design, cell widths with the columns.
    list->doItemsLayout();
}

void ClassViewController::resizeEvent(QResizeEvent *event) {
    BasicVC::resizeEvent(event);
    // Before the view is loaded the sort bar is not there to hide.
    if (m_sortView && DesktopForm::holds(this) != m_wide)
        setWide(!m_wide);
    if (m_isCard && !m_wide)
        layOutRoster();
}

void ClassViewController::setWide(bool wide) {
    QAbstractItemView *leaving =
        m_wide ? static_cast<QAbstractItemView *>(m_ui->rosterTable) : m_ui->tableView;
    QAbstractItemView *coming =
        wide ? static_cast<QAbstractItemView *>(m_ui->rosterTable) : m_ui->tableView;
    const int selected = selectedStudentRow();
    const bool hadFocus = leaving->hasFocus();
    m_wide = wide;
    m_ui->topView->setVisible(!wide);
    m_ui->tableView->setVisible(!wide);
    m_ui->rosterTable->setVisible(wide);
    if (!wide && m_isCard)
        layOutRoster();
    if (hadFocus)
        coming->setFocus(Qt::OtherFocusReason);
    // Whichever way the width went, the same pupil stays selected (and in sight).
    coming->clearSelection();
    selectStudentRow(selected);
}

int ClassViewController::selectedStudentRow() const {
    const QAbstractItemView *shown =
        m_wide ? static_cast<QAbstractItemView *>(m_ui->rosterTable) : m_ui->tableView;
    const QModelIndexList rows = shown->selectionModel()->selectedIndexes();
    if (rows.isEmpty())
        return -1;
    return m_wide ? m_columns->mapToSource(rows.first()).row() : rows.first().row();
}

void ClassViewController::selectStudentRow(int row) {
    if (!m_students->isValidRow(row))
        return;
    QAbstractItemView *shown =
        m_wide ? static_cast<QAbstractItemView *>(m_ui->rosterTable) : m_ui->tableView;
    const QModelIndex index =
        m_wide ? m_columns->mapFromSource(m_students->index(row)) : m_students->index(row);
    shown->setCurrentIndex(index);
    shown->scrollTo(index);
}

qint64 ClassViewController::serviceTypeFor(int column) {
    switch (column) {
    case RosterColumns::Name:
        return ByName;
    // The service's order by level is the one by flowers: it has no other.
    case RosterColumns::Flowers:
    case RosterColumns::Level:
        return ByLevel;
    default:
        return -1;
    }
}

void ClassViewController::sortByColumn(int column, Qt::SortOrder order) {
    if (column < 0 || column >= RosterColumns::ColumnCount)
        return;
    const bool newColumn = column != m_sortColumn;
    if (!newColumn && order == m_sortOrder)
        return;
    m_sortColumn = column;
    m_sortOrder = order;
    showSortInHeader();
    m_columns->sort(column, order);
    // With no pupil selected, Down starts again at the top, not after the row the view took as
    // current when it got the focus (wherever the sort moved that row).
    QItemSelectionModel *selection = m_ui->rosterTable->selectionModel();
    if (!selection->hasSelection())
        selection->clearCurrentIndex();
    const qint64 type = serviceTypeFor(column);
    if (!newColumn || type < 0)
        return;
    // As a tap on the sort bar would: the phone form shows the same sort when the window narrows.
    m_currentType = type;
    if (m_sortView)
        m_sortView->showSelected(int(type));
    if (m_currentRow >= 0 && m_currentRow < m_gradeArray.size())
        getMyClassDetailActionWithClassId(m_gradeArray.at(m_currentRow).ClassId, m_currentType);
}

void ClassViewController::showSortInHeader() {
    QHeaderView *header = m_ui->rosterTable->horizontalHeader();
    const QSignalBlocker quiet(header);
    header->setSortIndicator(m_sortColumn, m_sortOrder);
}

void ClassViewController::tableViewDidSelectRowAtIndexPath(int row) {
    // The row may have gone with a reload between the press and this call.
    if (!m_students->isValidRow(row))
        return;
    auto *detail = new ClassDetailVC;
    detail->setStudentModel(m_students->at(row));
    // Beside the roster on a desktop window, pushed over it on a phone.
    if (NavigationController *stack = navigationController())
        stack->showDetail(this, detail);
    else
        delete detail;
    m_ui->tableView->clearSelection();
}

int ClassViewController::numberOfColumnsInMenu(ClassSortView *) {
    return 2;
}

QString ClassViewController::menuTitleForColumn(ClassSortView *, int column) {
    return sortTitle(column);
}

QString ClassViewController::sortTitle(int column) {
    switch (column) {
    case ByName:
        return tr("按姓名");
    case ByLevel:
        return tr("按等级");
    default:
        return QString();
    }
}

void ClassViewController::menuDidSelectColumn(ClassSortView *, int column) {
    m_currentType = column;
    // The table, when the window widens, is sorted the same way.
    m_sortColumn = column == ByLevel ? RosterColumns::Level : RosterColumns::Name;
    m_sortOrder = RosterColumns::firstOrder(m_sortColumn);
    m_columns->sort(m_sortColumn, m_sortOrder);
    showSortInHeader();
    if (m_currentRow < 0 || m_currentRow >= m_gradeArray.size())
        return;
    getMyClassDetailActionWithClassId(m_gradeArray.at(m_currentRow).ClassId, m_currentType);
}

qint64 ClassViewController::menuNumberOfRows(ClassChangeView *) {
    return m_gradeArray.size();
}

QString ClassViewController::menuTitleForRowAtIndexPath(ClassChangeView *,
                                                        const ClassChangeIndexPath &indexPath) {
    if (indexPath.row < 0 || indexPath.row >= m_gradeArray.size())
        return QString();
    return classTitle(m_gradeArray.at(indexPath.row));
}

void ClassViewController::menuDidSelectRowAtIndexPath(ClassChangeView *,
                                                      const ClassChangeIndexPath &indexPath) {
    // The chosen index comes from the panel's own rows: check it against the classes held now.
    if (indexPath.row < 0 || indexPath.row >= m_gradeArray.size())
        return;
    m_currentRow = int(indexPath.row);
    const MyClassListModel &chosen = m_gradeArray.at(m_currentRow);
    getMyClassDetailActionWithClassId(chosen.ClassId, m_currentType);
    m_ui->headTitleLabel->setText(classTitle(chosen));
}

void ClassViewController::backKeyAction() {
    // The key closes the open switcher first, as a tap on its dimming would.
    if (m_changeView && m_changeView->isShow()) {
        m_changeView->backgroundTapped();
        return;
    }
    BasicVC::backKeyAction();
}

const QList<StudentListModel> &ClassViewController::studentArray() const {
    return m_students->rows();
}

QListView *ClassViewController::tableView() const {
    return m_ui->tableView;
}

QTableView *ClassViewController::rosterTable() const {
    return m_ui->rosterTable;
}

QPushButton *ClassViewController::changeModelBtn() const {
    return m_ui->changeModelBtn;
}

QAbstractButton *ClassViewController::headTitleButton() const {
    return m_ui->headTitleButton;
}

QLabel *ClassViewController::headTitleLabel() const {
    return m_ui->headTitleLabel;
}

ClassListCell *ClassViewController::cell() const {
    return m_isCard ? m_cardCell : m_listCell;
}

void ClassViewController::rightBarButtonItemPressed() {
    if (m_export)
        m_export->offer();
}

ExportDocument ClassViewController::exportDocument() const {
    ExportTable table;
    const QString className = m_currentRow >= 0 && m_currentRow < m_gradeArray.size()
                                  ? classTitle(m_gradeArray.at(m_currentRow))
                                  : QString();
    // The badges come with the rows, so they tell the sort the rows are in; the table says its
    // own, and its rows go out in its order.
    QString sort = sortTitle(m_students->isRanked() ? ByLevel : ByName);
    if (m_wide)
        //: The table's sort: "按" (by), the column's title, then 升序 or 降序.
        sort = tr("按%1%2").arg(RosterColumns::title(m_sortColumn),
                                m_sortOrder == Qt::AscendingOrder ? tr("升序") : tr("降序"));
    //: The heading of an exported roster, with the class.
    table.title = tr("花名册 · %1").arg(className);
    table.subtitles = {tr("排序：%1").arg(sort),
                       tr("共 %n 人", nullptr, int(m_students->rows().size()))};
    for (int column = 0; column < RosterColumns::ColumnCount; ++column)
        table.headers.append(RosterColumns::title(column));
    // A spreadsheet would make a phone number a number: 1.38E+10, a leading 0 gone.
    table.textColumns = {4};
    for (int row = 0; row < m_columns->rowCount(); ++row) {
        const int pupil = m_wide ? m_columns->mapToSource(m_columns->index(row, 0)).row() : row;
        QStringList cells;
        for (int column = 0; column < RosterColumns::ColumnCount; ++column)
            cells.append(m_columns->cellText(pupil, column));
        table.rows.append(cells);
    }
    ExportDocument document;
    document.views = {table};
    document.screenWidth = width();
    //: A part of an exported roster's file name.
    document.nameParts = {tr("花名册"), className, sort};
    return document;
}
