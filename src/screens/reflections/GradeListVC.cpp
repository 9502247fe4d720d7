#include "GradeListVC.h"

#include "FeelRows.h"
#include "GradeDetailVC.h"
#include "GradeListCell.h"
#include "GradeVocabulary.h"
#include "LoginState.h"
#include "NavigationController.h"
#include "NotificationCenter.h"
#include "RefreshHeader.h"
#include "TeacherRequestManager.h"
#include "ui_GradeListVC.h"

#include <QApplication>
#include <QKeyEvent>

GradeListVC::GradeListVC(int gradeListType, QWidget *parent)
    : BasicVC(parent)
    , m_ui(std::make_unique<Ui::GradeListVC>())
    , m_listType(gradeListType)
    , m_rows(new FeelRows(this)) {
    m_ui->setupUi(this);
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
    // A click, a double click (on styles that activate on it) or an activation by other means.
    for (auto signal : {&QListView::clicked, &QListView::activated}) {
        connect(list, signal, this,
                [this](const QModelIndex &index) { tableViewDidSelectRowAtIndexPath(index); });
    }
    list->installEventFilter(this);

    m_rows->setPageRequest([this](int page, int) {
        GetFeelListReq request;
        request.uid = LoginRsp::shareRsp().uid;
        request.feelType = m_listType;
        auto answer =
            m_rows->answerForPage<GetFeelListRsp>(this, page, [](const GetFeelListRsp &rsp) {
                return QList<GradeListModel>(rsp.feelList.value_or(RecordArray<GradeListModel>()));
            });
        answer.endingRefresh(m_header);
        TeacherRequestManager::request_GetFeelList_WithParams(request, answer.completion(),
                                                              answer.failure());
    });

    NotificationCenter::addObserver(this, NOTIFICATION_UPDATE_GRADE,
                                    [this] { getFeelListAction(); });
    m_header = RefreshHeader::attach(list, [this] { getFeelListAction(); });
    m_header->beginRefreshing();
}

void GradeListVC::getFeelListAction() {
    m_rows->refresh();
}

void GradeListVC::tableViewDidSelectRowAtIndexPath(const QModelIndex &index) {
    // One tap pushes one review screen, however many signals it makes.
    const bool justOpened =
        m_lastOpened.isValid() && m_lastOpened.elapsed() < QApplication::doubleClickInterval();
    if (justOpened || !index.isValid() || index.model() != m_rows ||
        !m_rows->isValidRow(index.row()))
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
    m_lastOpened.start();
    stack->pushViewController(detail, true);
}

bool GradeListVC::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_ui->tableView && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            tableViewDidSelectRowAtIndexPath(m_ui->tableView->currentIndex());
            return true;
        }
    }
    return BasicVC::eventFilter(watched, event);
}
