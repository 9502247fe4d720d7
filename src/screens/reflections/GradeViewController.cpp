#include "GradeViewController.h"

#include "ExportActions.h"
#include "FeelRows.h"
#include "GradeListVC.h"
#include "GradeVocabulary.h"
#include "ReviewDesk.h"
#include "SegmentedControl.h"
#include "StyleTokens.h"
#include "ui_GradeViewController.h"

#include <QGridLayout>
#include <QListView>
#include <QPushButton>
#include <QShortcut>

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
    m_desk = new ReviewDesk(this);
    m_desk->hide();
    m_ui->childLayout->addWidget(m_desk, 0, 1);
    addDeskKeys();
    setWide(DesktopForm::holds(this));
    SegmentedControl *segment = makeTitleViewSegment(
        {QStringLiteral("全部"), QStringLiteral("待批阅"), QStringLiteral("已批阅")}, 0);
    segment->setObjectName(QStringLiteral("titleSegment"));
    segment->setAccessibleName(QStringLiteral("读后感"));
    segment->setFocusPolicy(Qt::StrongFocus);
    ExportActions::showBarButtonWhenWide(this);
}

void GradeViewController::rightBarButtonItemPressed() {
    // The list in view is what goes out.
    if (m_currentVC && m_currentVC->exportActions())
        m_currentVC->exportActions()->offer();
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
    if (m_wide)
        m_desk->setList(newController->tableView(), newController->gradeArray());
}

void GradeViewController::resizeEvent(QResizeEvent *event) {
    BasicVC::resizeEvent(event);
    if (m_desk && DesktopForm::holds(this) != m_wide)
        setWide(!m_wide);
}

void GradeViewController::setWide(bool wide) {
    m_wide = wide;
    for (GradeListVC *child : gradeListVCs()) {
        child->setMaximumWidth(wide ? WideListWidth : QWIDGETSIZE_MAX);
        child->setWideMode(wide, [this] { m_desk->openFirstPicture(); });
    }
    m_desk->setVisible(wide);
    for (QShortcut *key : std::as_const(m_deskKeys))
        key->setEnabled(wide);
    // The selection is the list's: the desk picks it up again, whichever way the width went.
    m_desk->setList(wide && m_currentVC ? m_currentVC->tableView() : nullptr,
                    wide && m_currentVC ? m_currentVC->gradeArray() : nullptr);
}

void GradeViewController::addDeskKeys() {
    // The description is what the key sheet (F1) shows beside the key.
    const auto add = [this](const QKeySequence &sequence, const QString &description,
                            std::function<void()> action) {
        auto *key = new QShortcut(sequence, this);
        key->setWhatsThis(description);
        key->setContext(Qt::WidgetWithChildrenShortcut);
        key->setEnabled(false);
        connect(key, &QShortcut::activated, this, std::move(action));
        m_deskKeys.append(key);
    };
    for (int digit = 1; digit <= 4; ++digit) {
        const auto grade = GradeVocabulary::byKey(digit);
        add(QKeySequence(Qt::Key_0 + digit), grade ? tr("批为「%1」").arg(grade->text) : QString(),
            [this, digit] { m_desk->gradeWithKey(digit); });
    }
    add(QKeySequence(Qt::Key_J), tr("下一篇"), [this] { m_desk->moveBy(1); });
    add(QKeySequence(Qt::Key_K), tr("上一篇"), [this] { m_desk->moveBy(-1); });
    add(QKeySequence(Qt::Key_Space), tr("正文下翻一页"), [this] { m_desk->pageText(1); });
    add(QKeySequence(Qt::SHIFT | Qt::Key_Space), tr("正文上翻一页"),
        [this] { m_desk->pageText(-1); });
    add(QKeySequence::Undo, tr("撤销"), [this] { m_desk->undoLast(); });
}
