#include "ClassDetailVC.h"

#include "Assets.h"
#include "ClassDetailListVC.h"
#include "FrameStyle.h"
#include "ImageLoader.h"
#include "StyleTokens.h"
#include "Tags.h"
#include "ui_ClassDetailVC.h"

#include <QListView>
#include <QShortcut>

namespace {
const QString PlaceholderHead = QStringLiteral("user_man_head");

QString borderColor() {
    return QColor(FrameStyle::HairlineColor).name();
}
} // namespace

ClassDetailVC::ClassDetailVC(QWidget *parent)
    : BasicVC(parent)
    , m_ui(StyleTokens::makeForm<Ui::ClassDetailVC>(this)) {
    QLabel *head = m_ui->headImageView;
    head->setMask(QRegion(QRect(QPoint(0, 0), head->minimumSize()), QRegion::Ellipse));
    head->setPixmap(Assets::pixmap(PlaceholderHead, head->minimumSize()));
    for (QPushButton *button : {m_ui->testCountButton, m_ui->collectCountButton}) {
        connect(button, &QPushButton::clicked, this, [this, button] { segmentAction(button); });
    }
    for (QLabel *label : {m_ui->studentNameLabel, m_ui->studentTitleLabel, m_ui->flowerCountLabel,
                          m_ui->studentClassLabel})
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);

    // F5 reloads the grid in front, wherever the focus is on this screen (the frame gives Esc
    // and Alt+Left to the back button).
    auto *refresh = m_refreshKey = new QShortcut(QKeySequence(Qt::Key_F5), this);
    refresh->setContext(Qt::WidgetWithChildrenShortcut);
    connect(refresh, &QShortcut::activated, this, [this] {
        if (m_currentVC)
            m_currentVC->reload();
    });
    applyTexts();
}

void ClassDetailVC::applyTexts() {
    for (QPushButton *button : {m_ui->testCountButton, m_ui->collectCountButton})
        button->setAccessibleName(button->text());
    m_refreshKey->setWhatsThis(tr("刷新"));
}

void ClassDetailVC::retranslate() {
    m_ui->retranslateUi(this);
    applyTexts();
    setTitle(tr("详情"));
    if (m_shownInfo)
        layoutMainViewWithUserInfo(*m_shownInfo);
}

ClassDetailVC::~ClassDetailVC() = default;

ClassDetailListVC *ClassDetailVC::currentVC() const {
    return m_currentVC;
}

ClassDetailListVC *ClassDetailVC::grid(int tab) const {
    return tab == 0 || tab == 1 ? m_grids[tab].data() : nullptr;
}

QFrame *ClassDetailVC::tabHeader(int tab) const {
    return tab == 0 ? m_ui->testView : m_ui->collectView;
}

void ClassDetailVC::viewDidLoad() {
    BasicVC::viewDidLoad();
    setTitle(tr("详情"));

    // The grids hold the home weakly: an answer after the home is gone fills nothing.
    QPointer<ClassDetailVC> home(this);
    const ClassDetailListVC::ListType modes[2] = {ClassDetailListVC::TestList,
                                                  ClassDetailListVC::CollectList};
    for (int tab = 0; tab < 2; ++tab) {
        auto *grid = new ClassDetailListVC(modes[tab], this);
        grid->hide();
        grid->setUserId(m_studentModel.UserId);
        grid->setStudentInfo([home](const StudentUseInfo &info) {
            if (home)
                home->layoutMainViewWithUserInfo(info);
        });
        grid->gridView()->setStyleSheet(
            QStringLiteral("QListView { background: white; border: 1px solid %1; }")
                .arg(borderColor()));
        m_grids[tab] = grid;
    }
    changeToNewController(m_grids[0], m_ui->testCountButton);
}

void ClassDetailVC::segmentAction(QAbstractButton *sender) {
    if (!sender)
        return;
    const int tab = tagOf(sender);
    ClassDetailListVC *chosen = grid(tab);
    if (!chosen || chosen == m_currentVC)
        return;
    changeToNewController(chosen, sender);
}

void ClassDetailVC::changeToNewController(ClassDetailListVC *chosen, QAbstractButton *button) {
    const int tab = chosen == m_grids[0] ? 0 : chosen == m_grids[1] ? 1 : -1;
    if (tab < 0 || !button)
        return;
    if (!m_gridShown[tab]) {
        m_gridShown[tab] = true;
        chosen->show();
        // Adding the grid loads it, and its first page with it.
        addChildViewController(chosen, this);
        if (m_currentVC)
            transitionFromViewController(m_currentVC, chosen);
    } else {
        transitionFromViewController(m_currentVC, chosen);
    }
    chosen->setGeometry(gridRect());
    m_currentVC = chosen;
    if (QWidget *header = viewWithTag(this, HeaderTag + tagOf(button)))
        header->raise();
    styleTabs();
}

QRect ClassDetailVC::gridRect() const {
    if (layout())
        layout()->activate();
    const int top = m_ui->levelLabel->geometry().bottom() + 1 + GridTopGap;
    return QRect(GridMargin, top, qMax(0, width() - 2 * GridMargin),
                 qMax(0, height() - top - GridMargin));
}

void ClassDetailVC::placeTabs() {
    const QRect grid = gridRect();
    // The headers reach one pixel into the grid: the one in front hides the grid's top border
    // under it and reads as open into its grid.
    int left = grid.left();
    for (int tab = 0; tab < 2; ++tab) {
        QFrame *header = tabHeader(tab);
        const QSize size = header->size();
        header->setGeometry(left, grid.top() + 1 - size.height(), size.width(), size.height());
        left += size.width() + 6;
    }
}

void ClassDetailVC::styleTabs() {
    for (int tab = 0; tab < 2; ++tab) {
        const bool chosen = m_currentVC && m_currentVC == m_grids[tab];
        QFrame *header = tabHeader(tab);
        header->setStyleSheet(
            QStringLiteral("QFrame#%1 { background: %2; border: 1px solid %3; border-bottom: none;"
                           " border-top-left-radius: 10px; border-top-right-radius: 10px; }"
                           " QPushButton { color: %4; font-size: 14px; border: none; }")
                .arg(header->objectName(),
                     QColor(chosen ? FrameStyle::White : FrameStyle::ToolbarBackground).name())
                .arg(borderColor(),
                     QColor(chosen ? FrameStyle::TitleColor : FrameStyle::MutedGrey).name()));
    }
}

void ClassDetailVC::resizeEvent(QResizeEvent *event) {
    BasicVC::resizeEvent(event);
    placeTabs();
    for (int tab = 0; tab < 2; ++tab) {
        if (m_gridShown[tab] && m_grids[tab])
            m_grids[tab]->setGeometry(gridRect());
    }
}

QString ClassDetailVC::titleText(const StudentUseInfo &info) {
    //: A pupil's level title, after the word for level in brackets.
    return tr("(等级)%1").arg(info.MyTitle.value_or(QString()));
}

QString ClassDetailVC::flowerText(const StudentUseInfo &info) {
    //: A pupil's flowers: "x" and the count.
    return tr("x%1朵").arg(info.FlowerNumber);
}

QString ClassDetailVC::classText(const StudentUseInfo &info) {
    QString line;
    for (const auto &part : {info.AreaName, info.SchoolName, info.GradeStr, info.ClassName}) {
        if (part && !part->isEmpty())
            line += *part;
    }
    return line;
}

void ClassDetailVC::layoutMainViewWithUserInfo(const StudentUseInfo &info) {
    m_shownInfo = info;
    m_ui->studentNameLabel->setText(info.RealName.value_or(QString()));
    m_ui->studentTitleLabel->setText(titleText(info));
    m_ui->flowerCountLabel->setText(flowerText(info));
    m_ui->studentClassLabel->setText(classText(info));
    for (QLabel *label : {m_ui->studentNameLabel, m_ui->studentTitleLabel, m_ui->flowerCountLabel,
                          m_ui->studentClassLabel})
        label->setAccessibleName(label->text());
    // Whatever the pupil's sex, the same placeholder.
    setImageFromUrl(m_ui->headImageView, info.PhotoStr.value_or(QString()), PlaceholderHead);
}
