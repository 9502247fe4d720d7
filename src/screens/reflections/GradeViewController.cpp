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
    m_segment = makeTitleViewSegment(segmentTitles(), 0);
    m_segment->setObjectName(QStringLiteral("titleSegment"));
    m_segment->setFocusPolicy(Qt::StrongFocus);
    ExportActions::showBarButtonWhenWide(this);
    applyTexts();
}

void GradeViewController::retranslate() {
    m_ui->retranslateUi(this);
    applyTexts();
}

QStringList GradeViewController::segmentTitles() {
    return {GradeListVC::listName(GradeListVC::AllType),
            GradeListVC::listName(GradeListVC::WaitingType),
            GradeListVC::listName(GradeListVC::ReviewedType)};
}

void GradeViewController::applyTexts() {
    m_segment->setTitles(segmentTitles());
    m_segment->setAccessibleName(tr("读后感"));
    // The descriptions are what the key sheet (F1) shows beside the keys, in addDeskKeys' order.
    QStringList descriptions;
    for (int digit = 1; digit <= 4; ++digit) {
        const auto grade = GradeVocabulary::byKey(digit);
        descriptions << (grade ? tr("批为「%1」").arg(GradeVocabulary::displayText(grade->text))
                               : QString());
    }
    descriptions << tr("下一篇") << tr("上一篇") << tr("正文下翻一页") << tr("正文上翻一页")
                 << tr("撤销");
    for (int i = 0; i < m_deskKeys.size(); ++i)
        m_deskKeys[i]->setWhatsThis(descriptions.value(i));
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
    // Described by applyTexts(), in this order.
    const auto add = [this](const QKeySequence &sequence, std::function<void()> action) {
        auto *key = new QShortcut(sequence, this);
        key->setContext(Qt::WidgetWithChildrenShortcut);
        key->setEnabled(false);
        connect(key, &QShortcut::activated, this, std::move(action));
        m_deskKeys.append(key);
    };
    for (int digit = 1; digit <= 4; ++digit)
        add(QKeySequence(Qt::Key_0 + digit), [this, digit] { m_desk->gradeWithKey(digit); });
    add(QKeySequence(Qt::Key_J), [this] { m_desk->moveBy(1); });
    add(QKeySequence(Qt::Key_K), [this] { m_desk->moveBy(-1); });
    add(QKeySequence(Qt::Key_Space), [this] { m_desk->pageText(1); });
    add(QKeySequence(Qt::SHIFT | Qt::Key_Space), [this] { m_desk->pageText(-1); });
    add(QKeySequence::Undo, [this] { m_desk->undoLast(); });
}
