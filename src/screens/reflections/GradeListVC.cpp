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
#include "TeacherRequestManager.h"
#include "ui_GradeListVC.h"

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

    m_rows->setPageRequest([this](int page, int) {
        GetFeelListReq request;
        request.uid = LoginRsp::shareRsp().uid;
        request.feelType = m_listType;
        auto answer =
            m_rows->answerForPage<GetFeelListRsp>(this, page, [](const GetFeelListRsp &rsp) {
                return QList<GradeListModel>(rsp.feelList.value_or(RecordArray<GradeListModel>()));
            });
        const auto [done, failed] = m_loads.track(answer.completion(), answer.failure());
        TeacherRequestManager::request_GetFeelList_WithParams(request, done, failed);
    });

    NotificationCenter::addObserver(this, NOTIFICATION_UPDATE_GRADE,
                                    [this] { getFeelListAction(); });
    m_rows->attach(list);
    m_rows->header()->beginRefreshing();
}

RefreshHeader *GradeListVC::refreshHeader() const {
    return m_rows->header();
}

void GradeListVC::getFeelListAction() {
    m_rows->refresh();
}

void GradeListVC::tableViewDidSelectRowAtIndexPath(const QModelIndex &index) {
    if (!index.isValid() || index.model() != m_rows || !m_rows->isValidRow(index.row()))
        return;
    const GradeListModel row = m_rows->at(index.row());
    auto *detail = new GradeDetailVC;
    detail->setDetailType(row.FeelTypeStr == GradeVocabulary::WaitingText
                              ? GradeDetailVC::GradingType
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
