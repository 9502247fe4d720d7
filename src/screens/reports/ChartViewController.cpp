#include "ChartViewController.h"

#include "ChartListVC.h"
#include "NavigationController.h"
#include "SegmentedControl.h"
#include "StyleTokens.h"
#include "ui_ChartViewController.h"

#include <QPushButton>
#include <QShortcut>

namespace {
// The views' names, as the segments show them.
QStringList segmentTitles() {
    QStringList titles;
    for (int type = ChartListVC::GradeList; type <= ChartListVC::RegionList; ++type)
        titles << ChartListVC::viewName(type);
    return titles;
}
} // namespace

ChartViewController::ChartViewController(QWidget *parent)
    : BasicVC(parent)
    , m_ui(StyleTokens::makeForm<Ui::ChartViewController>(this)) {}

ChartViewController::~ChartViewController() = default;

NavigationController *ChartViewController::navigationControllerContainSelf() {
    auto *stack = new NavigationController(new ChartViewController);
    return stack;
}

void ChartViewController::viewDidLoad() {
    BasicVC::viewDidLoad();
    setTitle(tr("报表"));
    m_segment = makeTitleViewSegment(segmentTitles(), 0);
    ExportActions::showBarButtonWhenWide(this);
    m_export = new ExportActions(this, [this] { return exportDocument(); });
    getTermList();
    for (int type = ChartListVC::GradeList; type <= ChartListVC::RegionList; ++type) {
        auto *list = new ChartListVC(type);
        // Only the grade view shows at first; the others start when first chosen.
        list->setVisible(type == ChartListVC::GradeList);
        addChildViewController(list, m_ui->contentView);
        m_ui->contentLayout->addWidget(list);
        m_lists.append(list);
    }
    m_current = m_lists.first();
    m_current->loadViewIfNeeded();
    m_refreshKey = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(m_refreshKey, &QShortcut::activated, this, [this] {
        if (m_current)
            m_current->getChartListInfoAction();
    });
    applyTexts();
}

void ChartViewController::retranslate() {
    m_ui->retranslateUi(this);
    m_segment->setTitles(segmentTitles());
    applyTexts();
}

void ChartViewController::applyTexts() {
    setTitle(tr("报表"));
    m_segment->setAccessibleName(tr("报表类型"));
    m_refreshKey->setWhatsThis(tr("刷新"));
}

void ChartViewController::getTermList() {
    auto answer = AnswerHandler<GetTermYearRsp>(this).keptFirst().onSuccess(
        [this](const GetTermYearRsp &rsp) {
            const QList<TermListModel> terms(rsp.list.value_or(RecordArray<TermListModel>()));
            for (const auto &list : std::as_const(m_lists)) {
                if (list)
                    list->setFirstArray(terms);
            }
            if (!m_lists.isEmpty() && m_lists.first())
                m_lists.first()->reloadDropMenuAction();
        });
    answer.sendShowingHud(GetTermYearReq());
}

QList<ChartListVC *> ChartViewController::lists() const {
    QList<ChartListVC *> all;
    for (const auto &list : m_lists)
        all.append(list);
    return all;
}

void ChartViewController::segmentAction(SegmentedControl *sender) {
    if (sender)
        showList(sender->selectedSegmentIndex());
}

void ChartViewController::showList(int index) {
    if (index < 0 || index >= m_lists.size() || !m_lists.at(index) ||
        m_lists.at(index) == m_current)
        return;
    ChartListVC *next = m_lists.at(index);
    next->loadViewIfNeeded();
    transitionFromViewController(m_current, next);
    m_current = next;
    if (m_segment && m_segment->selectedSegmentIndex() != index)
        m_segment->setSelectedSegmentIndex(index);
}

void ChartViewController::rightBarButtonItemPressed() {
    if (m_export)
        m_export->offer();
}

ExportDocument ChartViewController::exportDocument() const {
    ExportDocument document;
    document.screenWidth = width();
    for (const auto &list : m_lists) {
        // A view never opened has no rows to show.
        if (!list || !list->isViewLoaded())
            continue;
        if (list == m_current)
            document.current = int(document.views.size());
        document.views.append(list->exportTable());
    }
    if (m_current) {
        document.nameParts = {title(), ChartListVC::viewName(m_current->listType()),
                              m_current->termName()};
    }
    return document;
}
