#include "GradeListVC.h"

#include "FeelRows.h"
#include "GradeDetailVC.h"
#include "GradeListCell.h"
#include "GradeVocabulary.h"
#include "ListActions.h"
#include "LoginState.h"
#include "NavigationController.h"
#include "NotificationCenter.h"
#include "RefreshHeader.h"
#include "StyleTokens.h"
#include "ui_GradeListVC.h"

#include <QKeyEvent>

GradeListVC::GradeListVC(int gradeListType, QWidget *parent)
    : BasicVC(parent)
    , m_ui(StyleTokens::makeForm<Ui::GradeListVC>(this))
    , m_listType(gradeListType)
    , m_rows(new FeelRows(this)) {
    setObjectName(QStringLiteral("GradeListVC%1").arg(gradeListType));
}

GradeListVC::~GradeListVC() = default;

QListView *GradeListVC::tableView() const {
    return m_ui->tableView;
}

void GradeListVC::viewDidLoad() {
    BasicVC::viewDidLoad();
    QListView *list = m_ui->tableView;
    list->setModel(m_rows);
    list->setItemDelegate(new GradeListCell(list));
    ListActions::openRowsOnce(
        list, [this](const QModelIndex &index) { tableViewDidSelectRowAtIndexPath(index); });
    // After the row opener, so this filter sees Enter first.
    list->installEventFilter(this);

    m_rows->setPageRequest([this](int page, int) {
        GetFeelListReq request;
        request.uid = LoginRsp::shareRsp().uid;
        request.feelType = m_listType;
        auto answer =
            m_rows->answerForPage<GetFeelListRsp>(this, page, [](const GetFeelListRsp &rsp) {
                return QList<GradeListModel>(rsp.feelList.value_or(RecordArray<GradeListModel>()));
            });
        answer.send(request);
    });

    NotificationCenter::addObserver(this, NOTIFICATION_UPDATE_GRADE,
                                    [this] { getFeelListAction(); });
    m_rows->attach(list);
    m_rows->header()->beginRefreshing();
    m_export = new ExportActions(this, [this] { return exportDocument(); });
}

void GradeListVC::retranslate() {
    m_ui->retranslateUi(this);
    // The rows translate their fixed texts when painted.
    m_ui->tableView->viewport()->update();
}

RefreshHeader *GradeListVC::refreshHeader() const {
    return m_rows->header();
}

void GradeListVC::getFeelListAction() {
    m_rows->refresh();
}

QString GradeListVC::listName(int listType) {
    switch (listType) {
    case WaitingType:
        return tr("待批阅");
    case ReviewedType:
        return tr("已批阅");
    default:
        //: The list of every reflection, graded or not.
        return tr("全部");
    }
}

ExportDocument GradeListVC::exportDocument() const {
    ExportTable table;
    //: An export's title: reflections, then the list's name.
    table.title = tr("读后感 · %1").arg(listName(m_listType));
    table.subtitles = {tr("共 %n 篇", nullptr, m_rows->rowCount())};
    //: The grade column's heading.
    table.headers = {tr("书名"), tr("学生"), tr("时间"), tr("批阅")};
    // The model's texts, so a grade given here and not yet listed goes out as shown.
    for (int row = 0; row < m_rows->rowCount(); ++row) {
        const QModelIndex index = m_rows->index(row);
        QStringList cells;
        for (int role : {FeelRows::BookNameRole, FeelRows::AuthorNameRole, FeelRows::TimeRole,
                         FeelRows::TypeTextRole})
            cells.append(index.data(role).toString());
        table.rows.append(cells);
    }
    ExportDocument document;
    document.views = {table};
    document.screenWidth = width();
    document.nameParts = {tr("读后感"), listName(m_listType)};
    return document;
}

void GradeListVC::setWideMode(bool wide, std::function<void()> onEnter) {
    m_wide = wide;
    m_onEnter = std::move(onEnter);
    m_ui->tableView->setSelectionMode(wide ? QAbstractItemView::ExtendedSelection
                                           : QAbstractItemView::SingleSelection);
}

bool GradeListVC::eventFilter(QObject *watched, QEvent *event) {
    if (m_wide && watched == m_ui->tableView && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (m_onEnter)
                m_onEnter();
            return true;
        }
    }
    return BasicVC::eventFilter(watched, event);
}

void GradeListVC::tableViewDidSelectRowAtIndexPath(const QModelIndex &index) {
    // Beside the desk a click only selects: the desk shows the row.
    if (m_wide)
        return;
    if (!index.isValid() || index.model() != m_rows || !m_rows->isValidRow(index.row()))
        return;
    const GradeListModel row = m_rows->at(index.row());
    auto *detail = new GradeDetailVC;
    // Waiting as the rows say it, a grade given here and not yet listed included: a held grade
    // must not be given a second time, nor overwrite one given in the detail.
    detail->setDetailType(m_rows->isWaiting(index.row()) ? GradeDetailVC::GradingType
                                                         : GradeDetailVC::ReadOnlyType);
    detail->setFeelId(row.FeelId);
    m_ui->tableView->clearSelection();
    NavigationController *stack = navigationController();
    if (!stack) {
        delete detail;
        return;
    }
    stack->pushViewController(detail, true);
}
