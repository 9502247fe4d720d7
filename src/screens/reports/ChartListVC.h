#pragma once

#include "BasicVC.h"
#include "ChartBars.h"
#include "ChartDropDownMenu.h"
#include "ChartRows.h"
#include "Export.h"
#include "LoadMoreFooter.h"
#include "PagedRows.h"
#include "RefreshHeader.h"
#include "records/ContentRecords.h"

#include <memory>

class ChartListCell;
class QLabel;
class QListView;

namespace Ui {
class ChartListVC;
}

// One report view: a term and a second filter (grade, district or city) in a two-column bar
// two thirds wide, the overall average beside it, and the ranked rows with their bars.
// The view answers its menu only once its filter lists are there; until then the report goes out
// with whatever it has (no term: term 0 and no year).
class ChartListVC : public BasicVC,
                    public ChartDropDownMenuDataSource,
                    public ChartDropDownMenuDelegate {
    Q_OBJECT
public:
    enum ListType { GradeList = 0, SchoolList = 1, RegionList = 2 };
    static constexpr int MenuHeight = 40;

    explicit ChartListVC(int listType, QWidget *parent = nullptr);
    ~ChartListVC() override;

    int listType() const { return m_listType; }
    const QList<TermListModel> &firstArray() const { return m_firstArray; }
    // A choice that is no longer in the list goes back to the first term.
    void setFirstArray(const QList<TermListModel> &terms);
    qsizetype secondCount() const;
    qint64 currentData1Index() const { return m_currentData1Index; }
    qint64 currentData2Index() const { return m_currentData2Index; }
    const QList<ChartListModel> &chartListArray() const { return m_rows->rows(); }
    // "年级", "学校" or "区域", as the report's segments name the views.
    static QString viewName(int listType);
    // The chosen term's name; empty before the terms came.
    QString termName() const;
    // The rows as shown, under the view, the term, the second filter and the average.
    ExportTable exportTable() const;

    // The filter lists are there: answer the menu and load the report.
    void reloadDropMenuAction();
    // The report with the current filters, under the progress indicator.
    void getChartListInfoAction();
    GetTeacherReportReq reportRequest() const;

    ChartDropDownMenu *menu() const { return m_menu; }
    QLabel *averageLabel() const;
    QListView *tableView() const;
    ChartListCell *cell() const;
    RefreshHeader *refreshHeader() const { return m_rows->header(); }

    // The menu's data source and delegate.
    qint64 numberOfColumnsInMenu(ChartDropDownMenu *menu) override;
    QString menuTitleForColumn(ChartDropDownMenu *menu, qint64 column) override;
    std::optional<qint64> currentLeftSelectedRow(qint64 column) override;
    qint64 menuNumberOfRowsInColumn(ChartDropDownMenu *menu, qint64 column, qint64 leftOrRight,
                                    qint64 leftRow) override;
    QString menuTitleForRowAtIndexPath(ChartDropDownMenu *menu,
                                       const ChartIndexPath &indexPath) override;
    void menuDidSelectRowAtIndexPath(ChartDropDownMenu *menu,
                                     const ChartIndexPath &indexPath) override;

protected:
    void viewDidLoad() override;
    void resizeEvent(QResizeEvent *event) override;
    void retranslate() override;

private:
    QString rowTitle(qint64 column, qint64 row) const;
    void showAverage(const QString &averageCount);
    void layoutMenu();
    template <class Rsp, class Row>
    AnswerHandler<Rsp> secondArrayAnswer(std::optional<RecordArray<Row>> Rsp::*list,
                                         QList<Row> &into);

    std::unique_ptr<Ui::ChartListVC> m_ui;
    int m_listType;
    QList<TermListModel> m_firstArray;
    QList<ChartMenuModel> m_grades;
    QList<AreaListModel> m_areas;
    QList<CityListModel> m_cities;
    qint64 m_currentData1Index = 0;
    qint64 m_currentData2Index = 0;
    ChartRows *m_rows;
    ChartDropDownMenu *m_menu = nullptr;
    ChartListCell *m_cell = nullptr;
    QString m_answerAverage;
    int m_answerWidth = 0;
};
