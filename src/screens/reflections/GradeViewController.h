#pragma once

#include "BasicVC.h"
#include "GradeListVC.h"

#include <QList>
#include <QPointer>

#include <memory>

class GradeListVC;
namespace Ui {
class GradeViewController;
}

// The reflections of the teacher's pupils in three lists, "全部", "待批阅" and "已批阅", chosen
// by the segmented title. The lists are made once and kept: switching only swaps which one shows,
// so each keeps its rows, and a list first loads when it is first chosen.
class GradeViewController : public BasicVC {
    Q_OBJECT
public:
    explicit GradeViewController(QWidget *parent = nullptr);
    ~GradeViewController() override;

    // The child shown, the "全部" list at start.
    GradeListVC *currentVC() const { return m_currentVC; }
    // In segment order.
    QList<GradeListVC *> gradeListVCs() const;

    void segmentAction(SegmentedControl *sender) override;
    void replaceController(GradeListVC *oldController, GradeListVC *newController);

protected:
    void viewDidLoad() override;

private:
    std::unique_ptr<Ui::GradeViewController> m_ui;
    QList<QPointer<GradeListVC>> m_children;
    QPointer<GradeListVC> m_currentVC;
};
