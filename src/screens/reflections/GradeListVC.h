#pragma once

#include "BasicVC.h"
#include "ExportActions.h"
#include "RefreshHeader.h"

#include <QPointer>

#include <functional>

#include <memory>

class FeelRows;
class QListView;
class QModelIndex;
namespace Ui {
class GradeListVC;
}

// One of the three reflection lists. Its view, and with it the first load and the subscription to
// NOTIFICATION_UPDATE_GRADE, is made when the list is first shown; from then on every grading
// reloads it, shown or not. Pull down (or F5) reloads it too; the answer to a load that a newer
// one overtook is dropped, so only the latest ends the pull. Ctrl+S exports and Ctrl+P prints the
// rows as the list shows them (book, pupil, time, grade), while it is the list in view.
class GradeListVC : public BasicVC {
    Q_OBJECT
public:
    // listType, sent as feelType.
    enum GradeListType { AllType = 0, WaitingType = 1, ReviewedType = 2 };

    explicit GradeListVC(int gradeListType, QWidget *parent = nullptr);
    ~GradeListVC() override;

    int listType() const { return m_listType; }
    FeelRows *gradeArray() const { return m_rows; }
    QListView *tableView() const;
    // Null until the list is first shown.
    RefreshHeader *refreshHeader() const;

    // Beside the review desk: rows are selected (several with Shift/Ctrl) instead of opened,
    // and Enter runs `onEnter`. Back to opening rows when false.
    void setWideMode(bool wide, std::function<void()> onEnter = {});
    bool isWideMode() const { return m_wide; }

    void getFeelListAction();
    // "全部", "待批阅" or "已批阅", as the segments name the lists.
    static QString listName(int listType);
    ExportDocument exportDocument() const;
    // Null until the list is first shown.
    ExportActions *exportActions() const { return m_export; }
    // Opens the review of the row: grading mode for a reflection still "待批阅". A row that is
    // not there (the list was reloaded meanwhile) opens nothing.
    void tableViewDidSelectRowAtIndexPath(const QModelIndex &index);

protected:
    void viewDidLoad() override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void retranslate() override;

private:
    std::unique_ptr<Ui::GradeListVC> m_ui;
    int m_listType;
    FeelRows *m_rows;
    bool m_wide = false;
    ExportActions *m_export = nullptr;
    std::function<void()> m_onEnter;
};
