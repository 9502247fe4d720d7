#include "GradeViewController.h"

#include "GradeListVC.h"
#include "SegmentedControl.h"
#include "StyleTokens.h"
#include "ui_GradeViewController.h"

#include <QGridLayout>

GradeViewController::GradeViewController(QWidget *parent)
    : BasicVC(parent)
    , m_ui(StyleTokens::makeForm<Ui::GradeViewController>(this)) {
    setHidesBottomBarWhenPushed(true);
}

GradeViewController::~GradeViewController() = default;

QList<GradeListVC *> GradeViewController::gradeListVCs() const {
    QList<GradeListVC *> children;
    for (const auto &child : m_children)
        children.append(child);
    return children;
}

void GradeViewController::viewDidLoad() {
    BasicVC::viewDidLoad();
    for (int type : {GradeListVC::AllType, GradeListVC::WaitingType, GradeListVC::ReviewedType}) {
        auto *child = new GradeListVC(type);
        // Hidden children neither load nor appear until their segment is chosen.
        if (type != GradeListVC::AllType)
            child->hide();
        // All in one cell: the layout sizes the one that shows to the whole screen.
        m_ui->childLayout->addWidget(child, 0, 0);
        addChildViewController(child, this);
        m_children.append(child);
    }
    m_currentVC = m_children.first();
    SegmentedControl *segment = makeTitleViewSegment(
        {QStringLiteral("全部"), QStringLiteral("待批阅"), QStringLiteral("已批阅")}, 0);
    segment->setObjectName(QStringLiteral("titleSegment"));
    segment->setAccessibleName(QStringLiteral("读后感"));
    segment->setFocusPolicy(Qt::StrongFocus);
}

void GradeViewController::segmentAction(SegmentedControl *sender) {
    if (!sender)
        return;
    GradeListVC *chosen = m_children.value(sender->selectedSegmentIndex());
    if (chosen && chosen != m_currentVC)
        replaceController(m_currentVC, chosen);
}

void GradeViewController::replaceController(GradeListVC *oldController,
                                            GradeListVC *newController) {
    if (!newController)
        return;
    transitionFromViewController(oldController, newController);
    // Off screen the transition makes no appearance calls; the list still loads when chosen.
    newController->loadViewIfNeeded();
    m_currentVC = newController;
}
