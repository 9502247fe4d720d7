#include "MainViewController.h"

#include "AnswerHandling.h"
#include "Assets.h"
#include "DesktopForm.h"
#include "FormWidth.h"
#include "KeyValueMapping.h"
#include "LoginState.h"
#include "NavigationController.h"
#include "NotificationCenter.h"
#include "ScreenLinks.h"
#include "StyleTokens.h"
#include "TabBarController.h"
#include "Tags.h"
#include "TeacherRequestManager.h"
#include "Toast.h"
#include "ui_MainViewController.h"

#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QScrollBar>

namespace {
constexpr int DashboardWidth = 960;
constexpr int LineStep = 20;
constexpr int LineExtraWidth = 20;
constexpr int ContentBottomMargin = 10;
constexpr int LinePixelSize = 12;
constexpr int ReportsTabIndex = 2;
constexpr int HomeSection = 0;
// The reflections that wait for a grade, as the reflections' own list asks for them.
constexpr qint64 WaitingFeelType = 1;
const char *const ClassLineName = "classLine";
} // namespace

MainViewController::MainViewController(QWidget *parent)
    : BasicVC(parent)
    , m_ui(StyleTokens::makeForm<Ui::MainViewController>(this)) {
    // The four areas as a dashboard, not as banners across a wide window.
    FormWidth::keep(this, DashboardWidth);
    const QList<std::pair<QPushButton *, ButtonTag>> buttons{{m_ui->classBtn, ClassTag},
                                                             {m_ui->gradeBtn, GradeTag},
                                                             {m_ui->collectBtn, CollectTag},
                                                             {m_ui->statisticsBtn, StatisticsTag}};
    for (const auto &[button, tag] : buttons) {
        setTag(button, tag);
        connect(button, &QPushButton::clicked, this, [this, button] { btnClickAction(button); });
    }
    m_ui->mainClassImageView->setPixmap(
        Assets::pixmap(QStringLiteral("main_class_icon"), QSize(28, 28)));
    m_ui->gradeImageView->setPixmap(Assets::pixmap(QStringLiteral("main_grade_icon")));
    m_ui->statisticsImageView->setPixmap(Assets::pixmap(QStringLiteral("main_statistics_icon")));
    m_ui->collectImageView->setPixmap(Assets::pixmap(QStringLiteral("main_collect_icon")));
    m_ui->collectNumImageView->setPixmap(Assets::pixmap(QStringLiteral("main_collect_num_bg")));
    // The strip scrolls with the wheel; clicks elsewhere in the area open the roster.
    m_ui->classScrollView->viewport()->setAutoFillBackground(false);
    m_ui->classScrollView->verticalScrollBar()->setAccessibleName(tr("班级列表"));
    // The number waiting, under the reflections' title on a desktop window.
    m_waitingLabel = new QLabel(m_ui->gradeBtn);
    m_waitingLabel->setObjectName(QStringLiteral("waitingLabel"));
    m_waitingLabel->setAlignment(Qt::AlignCenter);
    m_waitingLabel->setStyleSheet(QStringLiteral("color: white;"));
    m_waitingLabel->hide();
    m_ui->gradeAreaLayout->addWidget(m_waitingLabel);
    if (auto *grid = qobject_cast<QGridLayout *>(layout())) {
        for (int row = 0; row < 3; ++row)
            m_phoneRowStretch.append(grid->rowStretch(row));
    }
}

MainViewController::~MainViewController() = default;

NavigationController *MainViewController::navigationControllerContainSelf() {
    return new NavigationController(new MainViewController);
}

void MainViewController::viewDidLoad() {
    BasicVC::viewDidLoad();
    setTitle(tr("首页"));
    NotificationCenter::addObserver(this, NOTIFICATION_UPDATE_MAIN, [this] { updateMainAction(); });
    NotificationCenter::addObserver(this, NOTIFICATION_UPDATE_GRADE, [this] { countWaiting(); });
    getMyClassListAction();
    makeViewsConstraints();
}

void MainViewController::retranslate() {
    m_ui->retranslateUi(this);
    setTitle(tr("首页"));
    m_ui->classScrollView->verticalScrollBar()->setAccessibleName(tr("班级列表"));
    showWaitingCount();
    layoutClassView();
    publishSideBarEntries();
}

void MainViewController::viewWillAppear(bool animated) {
    BasicVC::viewWillAppear(animated);
    if (LoginRsp::shareRsp().isLogin) {
        getCollectionBookListAction();
        countWaiting();
    }
}

void MainViewController::resizeEvent(QResizeEvent *event) {
    BasicVC::resizeEvent(event);
    arrangeAreas(DesktopForm::holds(this));
    makeViewsConstraints();
}

void MainViewController::arrangeAreas(bool desktop) {
    if (desktop == m_desktop)
        return;
    m_desktop = desktop;
    // The phone's banners (classes and collection across, two tiles between) or, on a desktop
    // window, four tiles two by two: none wider than half the dashboard.
    auto *grid = qobject_cast<QGridLayout *>(layout());
    if (!grid)
        return;
    struct Place {
        QWidget *area;
        int row, column, columns;
    };
    const QList<Place> places = desktop ? QList<Place>{{m_ui->classBtn, 0, 0, 1},
                                                       {m_ui->gradeBtn, 0, 1, 1},
                                                       {m_ui->statisticsBtn, 1, 0, 1},
                                                       {m_ui->collectBtn, 1, 1, 1}}
                                        : QList<Place>{{m_ui->classBtn, 0, 0, 2},
                                                       {m_ui->gradeBtn, 1, 0, 1},
                                                       {m_ui->statisticsBtn, 1, 1, 1},
                                                       {m_ui->collectBtn, 2, 0, 2}};
    for (const Place &place : places)
        grid->removeWidget(place.area);
    for (int row = 0; row < 3; ++row)
        grid->setRowStretch(row, 0);
    for (const Place &place : places)
        grid->addWidget(place.area, place.row, place.column, 1, place.columns);
    if (desktop) {
        // The rows share the height; the phone's stretches come back with its rows.
        grid->setRowStretch(0, 1);
        grid->setRowStretch(1, 1);
        // The number was not asked for while the window was narrow (an appearance asks itself).
        if (isAppeared())
            countWaiting();
    } else {
        for (int row = 0; row < 3; ++row)
            grid->setRowStretch(row, m_phoneRowStretch.value(row));
    }
    showWaitingCount();
}

void MainViewController::showWaitingCount() {
    m_waitingLabel->setText(m_waiting >= 0 ? tr("待批阅 %n 篇", nullptr, m_waiting) : QString());
    m_waitingLabel->setVisible(m_desktop && m_waiting >= 0);
    m_ui->gradeBtn->setAccessibleDescription(m_waitingLabel->isVisible() ? m_waitingLabel->text()
                                                                         : QString());
}

void MainViewController::updateMainAction() {
    getCollectionBookListAction();
    getMyClassListAction();
}

void MainViewController::getMyClassListAction() {
    const LoginRsp &login = LoginRsp::shareRsp();
    if (!login.isLogin)
        return;
    GetMyClassForTeacherReq request;
    request.uid = login.uid;
    const auto answer = AnswerHandler<GetMyClassForTeacherRsp>(this).keptFirst().onSuccess(
        [this](const GetMyClassForTeacherRsp &rsp) {
            m_gradeArray = rsp.classList.value_or(RecordArray<MyClassListModel>());
            layoutClassView();
            publishSideBarEntries();
        });
    answer.sendShowingHud(request);
}

void MainViewController::getCollectionBookListAction() {
    GetTeacherCollectionsReq request;
    request.uid = LoginRsp::shareRsp().uid;
    const auto answer = AnswerHandler<GetTeacherCollectionsRsp>(this).keptFirst().onSuccess(
        [this](const GetTeacherCollectionsRsp &rsp) {
            const qsizetype n = rsp.collectlist ? rsp.collectlist->size() : 0;
            if (n > 0)
                m_ui->collectNumLabel->setText(QString::number(n));
            m_ui->collectNumLabel->setVisible(n > 0);
            m_ui->collectNumImageView->setVisible(n > 0);
        });
    answer.send(request);
}

QString MainViewController::classLineText(const MyClassListModel &model) {
    //: A class on the home: grade as the service names it, class name, number of pupils.
    return tr("%1年级%2(%3人)")
        .arg(model.GradeStr.value_or(QString()), model.ClassName.value_or(QString()))
        .arg(model.StudentNum);
}

void MainViewController::layoutClassView() {
    QWidget *content = m_ui->classScrollContentView;
    qDeleteAll(classLines());
    QFont font = content->font();
    font.setPixelSize(LinePixelSize);
    for (const MyClassListModel &model : std::as_const(m_gradeArray)) {
        auto *line = new QLabel(classLineText(model), content);
        line->setObjectName(ClassLineName);
        line->setFont(font);
        line->setAlignment(Qt::AlignCenter);
        line->setStyleSheet(QStringLiteral("color: white;"));
        line->setAccessibleName(line->text());
        line->show();
    }
    makeViewsConstraints();
}

QList<QLabel *> MainViewController::classLines() const {
    QList<QLabel *> lines;
    for (QLabel *label :
         m_ui->classScrollContentView->findChildren<QLabel *>(Qt::FindDirectChildrenOnly)) {
        if (label->objectName() == QLatin1String(ClassLineName))
            lines << label;
    }
    return lines;
}

void MainViewController::makeViewsConstraints() {
    // The lines follow the caption's size and the strip's width, which the layout settles late.
    QWidget *content = m_ui->classScrollContentView;
    const int stripWidth = m_ui->classScrollView->viewport()->width();
    const QSize caption = m_ui->mainClassLabel->size();
    const QList<QLabel *> lines = classLines();
    const int width = caption.width() + LineExtraWidth;
    int bottom = 0;
    for (int i = 0; i < lines.size(); ++i) {
        lines[i]->setGeometry((stripWidth - width) / 2, i * LineStep, width, caption.height());
        bottom = lines[i]->geometry().bottom() + 1;
    }
    content->resize(stripWidth, lines.isEmpty() ? 0 : bottom + ContentBottomMargin);
}

void MainViewController::btnClickAction(QAbstractButton *sender) {
    if (!sender)
        return;
    switch (tagOf(sender)) {
    case ClassTag:
        if (m_gradeArray.isEmpty()) {
            Toast::show(tr("您暂无班级，请先添加班级"));
            return;
        }
        push(ScreenLinks::make(ScreenLinks::Link::ClassRoster));
        break;
    case GradeTag:
        push(ScreenLinks::make(ScreenLinks::Link::Grading));
        break;
    case CollectTag:
        push(ScreenLinks::make(ScreenLinks::Link::MyCollection));
        break;
    case StatisticsTag:
        if (TabBarController *tabs = tabBarController())
            tabs->setSelectedIndex(ReportsTabIndex);
        break;
    default:
        break;
    }
}

void MainViewController::countWaiting() {
    // Only the sidebar shows the number: a phone window asks nothing more than it always did.
    TabBarController *tabs = tabBarController();
    if (!tabs || !tabs->isDesktopForm() || !LoginRsp::shareRsp().isLogin)
        return;
    GetFeelListReq request;
    request.uid = LoginRsp::shareRsp().uid;
    request.feelType = WaitingFeelType;
    // A count beside the sections, asked quietly: the list itself tells of a failure.
    QPointer<MainViewController> self = this;
    TeacherRequestManager::request(
        request,
        [self](const std::optional<QJsonValue> &value) {
            if (!self || !value)
                return;
            const auto rsp = KeyValueMapping::recordFromJson<GetFeelListRsp>(*value);
            if (rsp.result != 1)
                return;
            self->m_waiting = rsp.feelList ? int(rsp.feelList->size()) : 0;
            self->publishSideBarEntries();
            self->showWaitingCount();
        },
        [](const QString &) {});
}

void MainViewController::publishSideBarEntries() {
    TabBarController *tabs = tabBarController();
    if (!tabs)
        return;
    // The sidebar keeps the lines after the home that made them may have gone.
    const auto openFromSideBar = [self = QPointer<MainViewController>(this)](ScreenLinks::Link link,
                                                                             qint64 argument) {
        if (!self)
            return;
        if (NavigationController *stack = self->navigationController())
            stack->popToRootViewController(false);
        self->push(ScreenLinks::make(link, argument));
    };
    QList<SideBarEntry> classes;
    for (const MyClassListModel &model : std::as_const(m_gradeArray)) {
        const qint64 classId = model.ClassId;
        classes.append(
            {tr("%1年级%2")
                 .arg(model.GradeStr.value_or(QString()), model.ClassName.value_or(QString())),
             [openFromSideBar, classId] {
                 openFromSideBar(ScreenLinks::Link::ClassRoster, classId);
             }});
    }
    tabs->setSectionEntries(HomeSection, QStringLiteral("classes"), classes);
    const QString grading = m_waiting >= 0 ? tr("读后感批阅 %1").arg(m_waiting) : tr("读后感批阅");
    tabs->setSectionEntries(
        HomeSection, QStringLiteral("grading"),
        {{grading, [openFromSideBar] { openFromSideBar(ScreenLinks::Link::Grading, 0); }}});
}

void MainViewController::push(ViewController *screen) {
    if (!screen)
        return;
    screen->setHidesBottomBarWhenPushed(true);
    // The second half of a double click reaches the button too: only the home on top opens.
    NavigationController *stack = navigationController();
    if (stack && stack->topViewController() == this)
        stack->pushViewController(screen, true);
    else
        delete screen;
}

QPushButton *MainViewController::button(ButtonTag tag) const {
    switch (tag) {
    case ClassTag:
        return m_ui->classBtn;
    case GradeTag:
        return m_ui->gradeBtn;
    case CollectTag:
        return m_ui->collectBtn;
    case StatisticsTag:
        return m_ui->statisticsBtn;
    }
    return nullptr;
}

QLabel *MainViewController::collectNumLabel() const {
    return m_ui->collectNumLabel;
}

QLabel *MainViewController::collectNumImageView() const {
    return m_ui->collectNumImageView;
}

QWidget *MainViewController::classScrollContentView() const {
    return m_ui->classScrollContentView;
}
