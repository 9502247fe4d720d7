#pragma once

#include "BasicVC.h"
#include "DesktopForm.h"
#include "GradeListVC.h"

#include <QList>
#include <QPointer>

#include <memory>

class QShortcut;
class ReviewDesk;
namespace Ui {
class GradeViewController;
}

// The reflections of the teacher's pupils in three lists, "全部", "待批阅" and "已批阅", chosen
// by the segmented title. The lists are made once and kept: switching only swaps which one shows,
// so each keeps its rows, and a list first loads when it is first chosen. On a window at least
// WideWidth wide the list keeps the left and the review desk shows the selected reflection on the
// right, graded from the keyboard; crossing the width either way keeps the selection.
class GradeViewController : public BasicVC {
    Q_OBJECT
public:
    explicit GradeViewController(QWidget *parent = nullptr);
    ~GradeViewController() override;

    // The child shown, the "全部" list at start.
    GradeListVC *currentVC() const { return m_currentVC; }
    // In segment order.
    QList<GradeListVC *> gradeListVCs() const;

    static constexpr int WideWidth = DesktopForm::MinWidth;
    // The list's share of a wide window.
    static constexpr int WideListWidth = 380;
    bool isWide() const { return m_wide; }
    ReviewDesk *desk() const { return m_desk; }

    void segmentAction(SegmentedControl *sender) override;
    // "导出": the list in view as CSV, PNG or PDF.
    void rightBarButtonItemPressed() override;
    void replaceController(GradeListVC *oldController, GradeListVC *newController);

protected:
    void viewDidLoad() override;
    void resizeEvent(QResizeEvent *event) override;
    void retranslate() override;

private:
    static QStringList segmentTitles();
    void applyTexts();
    void setWide(bool wide);
    void addDeskKeys();

    std::unique_ptr<Ui::GradeViewController> m_ui;
    QList<QPointer<GradeListVC>> m_children;
    QPointer<GradeListVC> m_currentVC;
    ReviewDesk *m_desk = nullptr;
    SegmentedControl *m_segment = nullptr;
    QList<QShortcut *> m_deskKeys;
    bool m_wide = false;
};
