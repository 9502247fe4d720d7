#pragma once

#include "BasicVC.h"
#include "ClassChangeView.h"
#include "ClassSortView.h"
#include "ExportActions.h"
#include "records/ContentRecords.h"

#include <QList>
#include <QPointer>

#include <memory>

class ClassListCell;
class QAbstractButton;
class QLabel;
class QListView;
class QPushButton;
class QTableView;
class RosterColumns;
class StudentRows;
namespace Ui {
class ClassViewController;
}

// The roster of one of the teacher's classes: a sort bar (by name, by level), a list/cards
// toggle, and the pupils in the order the service sorts them. The title names the class and opens
// the class switcher. Every roster load sends the current class and the current sort, so a class
// switch keeps the sort and a sort change keeps the class. On a desktop-wide window a table with a
// sortable header takes the place of the bar, the toggle and the list, over the same rows.
// "导出" (Ctrl+S) and Ctrl+P write the pupils as listed, in the sort they are shown in.
class ClassViewController : public BasicVC,
                            public ClassSortViewDataSource,
                            public ClassChangeViewDataSource,
                            public ClassChangeViewDelegate {
    Q_OBJECT
public:
    enum SortType { ByName = 0, ByLevel = 1 };

    explicit ClassViewController(QWidget *parent = nullptr);
    ~ClassViewController() override;

    // The teacher's classes, then the roster of the one to open (else the first) by name.
    void getMyClassListAction();
    // Before the first appearance: the class whose roster opens.
    void setOpenClassId(qint64 classId) { m_openClassId = classId; }
    void getMyClassDetailActionWithClassId(qint64 classId, qint64 type);
    // Opens the class switcher (made on first use).
    void changeClassAction();
    // Flips between list rows and cards; no request.
    void changeModelAction();
    // Opens the home of the pupil at `row`; a row that is not there does nothing.
    void tableViewDidSelectRowAtIndexPath(int row);
    // Pull-down or F5: the roster of the current class in the current sort again.
    void refreshRoster();
    // The table's header: sorts by a RosterColumns column. A new column the service orders asks
    // the service for it and reloads; the others, and the same column reversed, sort the rows
    // held.
    void sortByColumn(int column, Qt::SortOrder order);
    // The service's sort for a table column: by name for names, by level for flowers and level;
    // -1 for the columns sorted here.
    static qint64 serviceTypeFor(int column);

    // ClassSortViewDataSource
    int numberOfColumnsInMenu(ClassSortView *menu) override;
    QString menuTitleForColumn(ClassSortView *menu, int column) override;
    void menuDidSelectColumn(ClassSortView *menu, int column) override;
    // ClassChangeViewDataSource, ClassChangeViewDelegate
    qint64 menuNumberOfRows(ClassChangeView *menu) override;
    QString menuTitleForRowAtIndexPath(ClassChangeView *menu,
                                       const ClassChangeIndexPath &indexPath) override;
    void menuDidSelectRowAtIndexPath(ClassChangeView *menu,
                                     const ClassChangeIndexPath &indexPath) override;

    void backKeyAction() override;
    // The "导出" button and Ctrl+S: the formats to choose from.
    void rightBarButtonItemPressed() override;
    // The pupils shown, with the roster's columns, under the class and the sort.
    ExportDocument exportDocument() const;
    ExportActions *exportActions() const { return m_export; }

    static QString classTitle(const MyClassListModel &model);
    // "按姓名", "按等级": the sort bar's titles.
    static QString sortTitle(int column);

    const QList<MyClassListModel> &gradeArray() const { return m_gradeArray; }
    const QList<StudentListModel> &studentArray() const;
    int currentRow() const { return m_currentRow; }
    qint64 currentType() const { return m_currentType; }
    bool isCard() const { return m_isCard; }
    ClassSortView *sortView() const { return m_sortView; }
    ClassChangeView *changeView() const { return m_changeView; }
    QListView *tableView() const;
    // The desktop form's table ("rosterTable") and its columns over the rows.
    QTableView *rosterTable() const;
    RosterColumns *rosterColumns() const { return m_columns; }
    // The desktop form is shown.
    bool isWide() const { return m_wide; }
    // The row of studentArray() selected in the view shown; -1 for none.
    int selectedStudentRow() const;
    QPushButton *changeModelBtn() const;
    QAbstractButton *headTitleButton() const;
    QLabel *headTitleLabel() const;
    ClassListCell *cell() const;

protected:
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void resizeEvent(QResizeEvent *event) override;
    void retranslate() override;

private:
    void layOutRoster();
    void applyTexts();
    // The toggle names the mode it switches to.
    void showModelToggle();
    void requestRoster(int page);
    void setUpTable();
    void setWide(bool wide);
    void selectStudentRow(int row);
    // The table's header indicator shows the sort held here.
    void showSortInHeader();

    std::unique_ptr<Ui::ClassViewController> m_ui;
    ClassSortView *m_sortView = nullptr;
    QPointer<ClassChangeView> m_changeView;
    StudentRows *m_students = nullptr;
    RosterColumns *m_columns = nullptr;
    ClassListCell *m_listCell = nullptr;
    ClassListCell *m_cardCell = nullptr;
    QList<MyClassListModel> m_gradeArray;
    int m_currentRow = 0;
    qint64 m_currentType = ByName;
    bool m_isCard = false;
    bool m_wide = false;
    // The table's sort (a RosterColumns column); the service's is m_currentType.
    int m_sortColumn = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    // The pupil selected when a reload of the same class went out, selected again in its answer.
    qint64 m_keptUserId = -1;
    // What the next roster request sends.
    qint64 m_requestClassId = 0;
    qint64 m_openClassId = 0;
    qint64 m_requestType = ByName;
    ExportActions *m_export = nullptr;
};
