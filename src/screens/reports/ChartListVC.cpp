#include "ChartListVC.h"

#include "Assets.h"
#include "ChartListCell.h"
#include "FrameStyle.h"
#include "ProgressHud.h"
#include "RefreshHeader.h"
#include "StyleTokens.h"
#include "records/AccountRecords.h"
#include "ui_ChartListVC.h"

#include <QLoggingCategory>
#include <QResizeEvent>

Q_LOGGING_CATEGORY(lcChart, "teacher.reports")

namespace {

const UserInfo &teacher() {
    static const UserInfo none;
    const auto &user = LoginRsp::shareRsp().user;
    return user ? *user : none;
}

} // namespace

ChartListVC::ChartListVC(int listType, QWidget *parent)
    : BasicVC(parent)
    , m_ui(StyleTokens::makeForm<Ui::ChartListVC>(this))
    , m_listType(std::clamp(listType, int(GradeList), int(RegionList))) {
    m_ui->flowerImageView->setPixmap(Assets::pixmap(QStringLiteral("flower_icon"), {16, 16}));
    m_rows = new ChartRows(this);
    m_rows->setPageRequest([this](int page, int) {
        QPointer<ChartListVC> self(this);
        const int screenWidth = width();
        auto answer = m_rows->answerForPage<GetTeacherReportRsp>(
            this, page, [self, screenWidth](const GetTeacherReportRsp &rsp) {
                QList<ChartListModel> rows(rsp.classList.value_or(RecordArray<ChartListModel>()));
                ChartBars::applyBarWidths(rows, screenWidth);
                // Shown once the rows are taken: a stale answer's rows are dropped, and so is this.
                if (self) {
                    self->m_answerWidth = screenWidth;
                    self->m_answerAverage = rsp.averageCount.value_or(QString());
                }
                return rows;
            });
        answer.sendShowingHud(reportRequest());
    });
    connect(m_rows, &PagedRowsBase::pageLoaded, this, [this] {
        m_cell->setScreenWidth(m_answerWidth);
        showAverage(m_answerAverage);
    });
    m_ui->tableView->setModel(m_rows);
    m_cell = new ChartListCell(m_rows, m_ui->tableView);
    m_ui->tableView->setItemDelegate(m_cell);
}

ChartListVC::~ChartListVC() = default;

QLabel *ChartListVC::averageLabel() const {
    return m_ui->averageLabel;
}

ChartListCell *ChartListVC::cell() const {
    return m_cell;
}

QListView *ChartListVC::tableView() const {
    return m_ui->tableView;
}

// The district or city list arrived: it becomes the second column and the view starts.
template <class Rsp, class Row>
AnswerHandler<Rsp> ChartListVC::secondArrayAnswer(std::optional<RecordArray<Row>> Rsp::*list,
                                                  QList<Row> &into) {
    return AnswerHandler<Rsp>(this).keptFirst().onSuccess([this, list, &into](const Rsp &rsp) {
        into = (rsp.*list).value_or(RecordArray<Row>());
        m_currentData2Index = 0;
        reloadDropMenuAction();
    });
}

void ChartListVC::viewDidLoad() {
    BasicVC::viewDidLoad();
    m_menu = new ChartDropDownMenu(QPoint(0, 0), MenuHeight, this, width() * 2 / 3);
    m_menu->setObjectName(QStringLiteral("filterMenu"));
    m_menu->setTextColor(QColor(FrameStyle::MenuGrey));
    m_menu->setIndicatorColor(QColor(FrameStyle::MenuGrey));
    m_menu->setSeparatorColor(QColor(FrameStyle::MenuLine));
    m_menu->raise();
    layoutMenu();
    m_rows->attach(m_ui->tableView);

    switch (m_listType) {
    case GradeList:
        m_grades = ChartMenuModel::arrayForGradeMenu();
        break;
    case SchoolList: {
        GetAreaListReq req;
        req.cityId = teacher().CityId;
        auto answer = secondArrayAnswer(&GetAreaListRsp::areaList, m_areas);
        answer.send(req);
        break;
    }
    case RegionList: {
        GetCityListReq req;
        req.provinceId = teacher().ProvinceId;
        auto answer = secondArrayAnswer(&GetCityListRsp::cityList, m_cities);
        answer.send(req);
        break;
    }
    }
}

void ChartListVC::setFirstArray(const QList<TermListModel> &terms) {
    m_firstArray = terms;
    if (m_currentData1Index >= m_firstArray.size())
        m_currentData1Index = 0;
    // A bar already built shows the term that is now chosen.
    if (m_menu && m_menu->dataSource() == this)
        m_menu->column(0)->setTitle(menuTitleForColumn(m_menu, 0));
}

qsizetype ChartListVC::secondCount() const {
    switch (m_listType) {
    case GradeList:
        return m_grades.size();
    case SchoolList:
        return m_areas.size();
    default:
        return m_cities.size();
    }
}

void ChartListVC::reloadDropMenuAction() {
    loadViewIfNeeded();
    m_menu->setDataSource(this);
    m_menu->setDelegate(this);
    getChartListInfoAction();
}

GetTeacherReportReq ChartListVC::reportRequest() const {
    GetTeacherReportReq req;
    req.type = m_listType;
    req.schoolId = teacher().SchoolId;
    if (m_currentData1Index >= 0 && m_currentData1Index < m_firstArray.size()) {
        const TermListModel &term = m_firstArray.at(m_currentData1Index);
        req.term = term.Id;
        req.year = term.Year;
    }
    const qint64 second = m_currentData2Index;
    if (second >= 0 && second < secondCount()) {
        if (m_listType == GradeList)
            req.grade = m_grades.at(second).gradeId;
        else if (m_listType == SchoolList)
            req.areaId = m_areas.at(second).AreaId;
        else
            req.cityId = m_cities.at(second).CityId;
    }
    return req;
}

void ChartListVC::getChartListInfoAction() {
    m_rows->refresh();
}

QString ChartListVC::viewName(int listType) {
    switch (listType) {
    case GradeList:
        return tr("年级");
    case SchoolList:
        return tr("学校");
    default:
        return tr("区域");
    }
}

QString ChartListVC::termName() const {
    return rowTitle(0, m_currentData1Index);
}

ExportTable ChartListVC::exportTable() const {
    ExportTable table;
    //: The heading of an exported report, with the view (grade, school or region).
    table.title = tr("报表 · %1").arg(viewName(m_listType));
    // The second column holds a grade, a district or a city.
    const QString secondName = m_listType == GradeList    ? tr("年级")
                               : m_listType == SchoolList ? tr("区县")
                                                          : tr("城市");
    table.subtitles = {tr("学期：%1").arg(termName()),
                       //: The second filter of an exported report: its kind, then its value.
                       tr("%1：%2").arg(secondName, rowTitle(1, m_currentData2Index)),
                       tr("平均：%1朵小花").arg(m_answerAverage)};
    table.headers = {tr("名称"), tr("平均小花")};
    for (const ChartListModel &row : m_rows->rows()) {
        table.rows.append({row.Name.value_or(QString()), row.AverageFlower.value_or(QString())});
        table.bars.append(ChartBars::averageOf(row));
    }
    return table;
}

void ChartListVC::showAverage(const QString &averageCount) {
    const QString count =
        QStringLiteral("<span style=\"color:%1; font-size:14px;\">%2</span>")
            .arg(QColor(FrameStyle::FlowerRed).name(), averageCount.toHtmlEscaped());
    //: The average beside the report's filters; %1 is the number, drawn in red.
    m_ui->averageLabel->setText(tr("%1朵小花").arg(count));
    m_ui->averageLabel->setAccessibleDescription(tr("%1朵小花").arg(averageCount));
}

void ChartListVC::retranslate() {
    m_ui->retranslateUi(this);
    // Nothing to say before the first report came.
    if (!m_ui->averageLabel->text().isEmpty())
        showAverage(m_answerAverage);
    // The rows compute their texts when painted; the filter bar asks for its titles itself.
    m_ui->tableView->viewport()->update();
}

void ChartListVC::layoutMenu() {
    if (m_menu)
        m_menu->resize(width() * 2 / 3, MenuHeight);
    m_ui->flowerConstraintLeft->changeSize(width() * 2 / 3, 10, QSizePolicy::Fixed);
    m_ui->averageLayout->invalidate();
}

void ChartListVC::resizeEvent(QResizeEvent *event) {
    BasicVC::resizeEvent(event);
    layoutMenu();
}

qint64 ChartListVC::numberOfColumnsInMenu(ChartDropDownMenu *) {
    return 2;
}

std::optional<qint64> ChartListVC::currentLeftSelectedRow(qint64 column) {
    if (column == 0)
        return m_currentData1Index;
    if (column == 1)
        return m_currentData2Index;
    return 0;
}

qint64 ChartListVC::menuNumberOfRowsInColumn(ChartDropDownMenu *, qint64 column, qint64, qint64) {
    if (column == 0)
        return m_firstArray.size();
    if (column == 1)
        return secondCount();
    return 0;
}

QString ChartListVC::rowTitle(qint64 column, qint64 row) const {
    if (row < 0)
        return {};
    if (column == 0)
        return row < m_firstArray.size() ? m_firstArray.at(row).TermName.value_or(QString())
                                         : QString();
    if (column != 1 || row >= secondCount())
        return {};
    switch (m_listType) {
    case GradeList:
        return m_grades.at(row).shownName();
    case SchoolList:
        return m_areas.at(row).AreaName.value_or(QString());
    default:
        return m_cities.at(row).CityName.value_or(QString());
    }
}

QString ChartListVC::menuTitleForColumn(ChartDropDownMenu *, qint64 column) {
    return rowTitle(column, column == 0 ? m_currentData1Index : m_currentData2Index);
}

QString ChartListVC::menuTitleForRowAtIndexPath(ChartDropDownMenu *,
                                                const ChartIndexPath &indexPath) {
    return rowTitle(indexPath.column, indexPath.row);
}

void ChartListVC::menuDidSelectRowAtIndexPath(ChartDropDownMenu *,
                                              const ChartIndexPath &indexPath) {
    // The lists can change under an open menu: a row that is gone is no choice.
    const qint64 count = menuNumberOfRowsInColumn(m_menu, indexPath.column, 0, 0);
    if (indexPath.row < 0 || indexPath.row >= count) {
        qCWarning(lcChart) << "no row" << indexPath.row << "in column" << indexPath.column;
        if (ChartMenuColumn *column = m_menu->column(int(indexPath.column)))
            column->setTitle(menuTitleForColumn(m_menu, indexPath.column));
        return;
    }
    qint64 &current = indexPath.column == 0 ? m_currentData1Index : m_currentData2Index;
    if (indexPath.column > 1 || current == indexPath.row)
        return;
    current = indexPath.row;
    getChartListInfoAction();
}
