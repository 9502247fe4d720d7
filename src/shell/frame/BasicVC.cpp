#include "BasicVC.h"

#include "BarButton.h"
#include "FrameLog.h"
#include "FrameStyle.h"
#include "KeyboardAvoidance.h"
#include "NavigationBar.h"
#include "NavigationController.h"
#include "NothingView.h"
#include "ScreenFactory.h"
#include "SegmentedControl.h"
#include "TabBarController.h"

#include <QEvent>
#include <QFontMetrics>
#include <QShortcut>

namespace {
const char *const BackButtonName = "backButton";
}

BasicVC::BasicVC(QWidget *parent)
    : ViewController(parent) {}

bool BasicVC::isTabRootClass(const QObject *screen) {
    return ScreenFactory::isTabRoot(screen);
}

void BasicVC::viewDidLoad() {
    // Ordinary screens never move their content for the keyboard; input screens switch it on
    // while they are visible.
    KeyboardAvoidance::setEnabled(false);
    KeyboardAvoidance::setToolbarEnabled(false);
}

void BasicVC::viewWillAppear(bool animated) {
    ViewController::viewWillAppear(animated);
    if (NavigationController *nav = navigationController()) {
        nav->navigationBar()->setTitleColor(QColor(FrameStyle::TitleColor));
        nav->navigationBar()->setBackgroundImage(QStringLiteral("nav_bg"));
    }
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(FrameStyle::BackgroundColor));
    setPalette(pal);
    setAutoFillBackground(true);
    setTheBackItemButton();
}

void BasicVC::setTheBackItemButton() {
    NavigationController *nav = navigationController();
    ViewController *root = nav ? nav->rootViewController() : nullptr;
    if (!qobject_cast<BasicVC *>(root) || isTabRootClass(this))
        return;
    if (leftBarButton() && leftBarButton()->objectName() == QLatin1String(BackButtonName))
        return;
    auto *button = new BarButton;
    button->setObjectName(BackButtonName);
    button->setAccessibleName(tr("返回"));
    button->setFixedSize(FrameStyle::BackButtonWidth, FrameStyle::BackButtonHeight);
    button->setImageName(QStringLiteral("left_back_icon"));
    connect(button, &QPushButton::clicked, this, [this] { leftBackClick(); });
    setLeftBarButton(button);
    // The desktop's back keys, gone with the button. They answer while the focus is inside this
    // screen, so one screen answers and an overlay or a dialog keeps Esc for itself.
    // A screen shown inside another screen (a list of a segmented screen) leaves the keys to the
    // screen on the stack: two shortcuts for one key would cancel each other out.
    if (!nav->viewControllers().contains(this))
        return;
    for (const QKeySequence &key :
         {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::AltModifier | Qt::Key_Left)}) {
        auto *shortcut = new QShortcut(key, this);
        shortcut->setObjectName(QLatin1String(BackButtonName));
        shortcut->setWhatsThis(tr("返回"));
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(button, &QObject::destroyed, shortcut, &QObject::deleteLater);
        connect(shortcut, &QShortcut::activated, this, [this] { backKeyAction(); });
    }
}

void BasicVC::changeEvent(QEvent *event) {
    ViewController::changeEvent(event);
    if (event->type() != QEvent::LanguageChange)
        return;
    // The back button and its keys are the frame's, not the screen's: they follow here.
    if (QWidget *back = leftBarButton();
        back && back->objectName() == QLatin1String(BackButtonName))
        back->setAccessibleName(tr("返回"));
    for (QShortcut *shortcut :
         findChildren<QShortcut *>(QLatin1String(BackButtonName), Qt::FindDirectChildrenOnly))
        shortcut->setWhatsThis(tr("返回"));
}

void BasicVC::leftBackClick() {
    NavigationController *nav = navigationController();
    // The root of a stack shown modally (the login stack) has nothing to pop back to: its back
    // button closes the whole stack instead.
    const bool rootOfPresentedStack =
        nav && nav->rootViewController() == this && presentingViewController();
    if (ScreenFactory::isLoginRoot(this) || rootOfPresentedStack) {
        if (presentingViewController())
            dismissViewController(true);
        return;
    }
    // A list with its detail beside it closes the detail first; the detail's own root closes
    // the pane it lies in.
    if (nav && nav->detailSource() == this && nav->closeDetailPane())
        return;
    if (NavigationController *owner = nav ? nav->paneOwner() : nullptr;
        owner && nav->rootViewController() == this) {
        owner->closeDetailPane();
        return;
    }
    if (nav)
        nav->popViewController(true);
}

QPushButton *BasicVC::setNavigationRightButtonWithTitle(const QString &title,
                                                        std::optional<QColor> color) {
    auto *button = new BarButton;
    QFont font = button->font();
    font.setPixelSize(FrameStyle::RightButtonPixelSize);
    button->setFont(font);
    button->setText(title);
    button->setTextColor(color && color->isValid() ? *color : QColor(FrameStyle::TitleColor));
    button->setFixedHeight(FrameStyle::RightButtonHeight);
    fitBarButton(button, {title});
    connect(button, &QPushButton::clicked, this, [this] { rightBarButtonItemPressed(); });
    setRightBarButton(button);
    return button;
}

void BasicVC::fitBarButton(QPushButton *button, const QStringList &titles) {
    // Measured within the bar's 21-pixel line.
    const QFontMetrics metrics(button->font());
    int widest = 0;
    for (const QString &title : titles)
        widest = qMax(widest, metrics
                                  .boundingRect(QRect(0, 0, QWIDGETSIZE_MAX,
                                                      FrameStyle::RightButtonMeasureHeight),
                                                Qt::TextSingleLine, title)
                                  .width());
    button->setFixedWidth(widest);
}

QPushButton *BasicVC::setNavigationRightButtonWithImageName(const QString &imageName, QSizeF size) {
    QSize buttonSize(FrameStyle::DefaultImageButtonSide, FrameStyle::DefaultImageButtonSide);
    if (size.width() > 0)
        buttonSize = QSize(qMax(1, qRound(size.width())), qMax(0, qRound(size.height())));
    auto *button = new BarButton;
    button->setFixedSize(buttonSize);
    button->setImageName(imageName);
    connect(button, &QPushButton::clicked, this, [this] { rightBarButtonItemPressed(); });
    setRightBarButton(button);
    return button;
}

SegmentedControl *BasicVC::makeTitleViewSegment(const QStringList &titles, int index) {
    auto *segment = new SegmentedControl(titles);
    segment->setFixedSize(FrameStyle::SegmentWidth, FrameStyle::SegmentHeight);
    // An index outside the titles selects nothing rather than failing.
    segment->setSelectedSegmentIndex(index >= 0 && index < titles.size() ? index : -1);
    connect(segment, &SegmentedControl::valueChanged, this,
            [this, segment] { segmentAction(segment); });
    setTitleView(segment);
    return segment;
}

void BasicVC::presentLoginVCAction() {
    ViewController *login = ScreenFactory::makeLoginStack();
    if (!login) {
        qCWarning(lcFrame) << "no login screen to present";
        return;
    }
    TabBarController *tabs = tabBarController();
    ViewController *presenter = this;
    if (!presentingViewController() && tabs)
        presenter = tabs;
    presenter->presentViewController(login, true);
}

void BasicVC::showNothingViewForView(QWidget *view) {
    if (!view)
        return;
    // One cover per view: a second call must not leave a cover behind that a single
    // removeTheNoneView() would miss.
    const auto existing = view->findChildren<NothingView *>(Qt::FindDirectChildrenOnly);
    for (NothingView *cover : existing)
        delete cover;
    auto *cover = new NothingView(view);
    cover->show();
    cover->raise();
}

void BasicVC::removeTheNoneView() {
    const auto descendants = findChildren<QWidget *>();
    for (QWidget *widget : descendants) {
        if (tagOf(widget) == FrameStyle::NothingViewTag) {
            delete widget;
            return;
        }
    }
}
