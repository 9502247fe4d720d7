#include "AppWindow.h"

#include "AlertView.h"
#include "DeviceProfile.h"
#include "FrameStyle.h"
#include "HeldChanges.h"
#include "NavigationController.h"
#include "ProgressHud.h"
#include "RefreshHeader.h"
#include "SettingsStore.h"
#include "TabBarController.h"
#include "ThinScrollBars.h"
#include "ViewController.h"
#include "WindowMenu.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

namespace {
QPointer<AppWindow> s_instance;

// The screen actually on top: the root, or the last screen presented over it.
ViewController *visibleTop(ViewController *root) {
    ViewController *top = root;
    while (top && top->presentedViewController())
        top = top->presentedViewController();
    return top;
}

// The smallest phone the client can pretend to be: below it no screen was ever laid out.
QSize smallestDevice() {
    QSize smallest(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    for (const QString &name : DeviceProfile::names()) {
        if (const std::optional<DeviceProfile> profile = DeviceProfile::fromName(name))
            smallest = smallest.boundedTo(profile->screenSize);
    }
    return smallest;
}

// Qt brings back a window that lies off every screen, but leaves one that still overlaps a
// screen where it is: half a window on a monitor that has gone (or under a panel) cannot be
// reached. It goes whole onto the screen that shows most of it, shrunk if it must be.
void keepWhollyOnScreen(QWidget *window) {
    if (window->isMaximized() || window->isFullScreen())
        return;
    const QRect frame = window->frameGeometry();
    const QScreen *best = QGuiApplication::primaryScreen();
    qint64 bestArea = -1;
    const auto screens = QGuiApplication::screens();
    for (const QScreen *screen : screens) {
        const QRect available = screen->availableGeometry();
        if (available.contains(frame))
            return;
        const QRect common = available.intersected(frame);
        if (const qint64 area = qint64(common.width()) * common.height(); area > bestArea) {
            best = screen;
            bestArea = area;
        }
    }
    if (!best)
        return;
    const QRect available = best->availableGeometry();
    const QSize border = frame.size() - window->size();
    const QSize size =
        window->size().boundedTo(available.size() - border).expandedTo(window->minimumSize());
    const QSize outer = size + border;
    window->resize(size);
    window->move(qBound(available.left(), frame.left(), available.right() + 1 - outer.width()),
                 qBound(available.top(), frame.top(), available.bottom() + 1 - outer.height()));
}
} // namespace

AppWindow::AppWindow(QWidget *parent)
    : QWidget(parent)
    , m_content(new QWidget(this))
    , m_menu(new WindowMenu(this)) {
    resize(FrameStyle::WindowWidth, FrameStyle::WindowHeight);
    setMinimumSize(smallestDevice());
    const int top = m_menu->follow();
    m_content->setGeometry(0, top, width(), height() - top);
    m_content->lower();
    ThinScrollBars::follow(this);
    s_instance = this;
    setWindowTitle(titleFor(QString()));
    // The focus going into a detail pane or back to its list changes the screen in view.
    connect(qApp, &QApplication::focusChanged, this, [] { screenInViewMayHaveChanged(); });
}

AppWindow::~AppWindow() {
    if (s_instance == this)
        s_instance = nullptr;
}

AppWindow *AppWindow::instance() {
    return s_instance;
}

void AppWindow::setRootViewController(ViewController *controller) {
    if (controller == m_root)
        return;
    if (controller && (controller->parentViewController() ||
                       controller->presentingViewController() || controller->isAncestorOf(this))) {
        return;
    }
    QPointer<ViewController> old = m_root;
    // Everything shown over the old root goes with it.
    QList<QPointer<ViewController>> discarded;
    for (ViewController *vc = old; vc; vc = vc->presentedViewController()) {
        vc->finishPresentation();
        discarded.append(vc);
    }
    ViewController *oldTop = discarded.isEmpty() ? nullptr : discarded.last().data();
    const bool onScreen = isVisible();

    if (controller) {
        controller->setParent(m_content);
        controller->setGeometry(m_content->rect());
        controller->show();
    }
    if (onScreen) {
        if (oldTop)
            oldTop->beginAppearanceTransition(false, false);
        if (controller)
            controller->beginAppearanceTransition(true, false);
    }
    m_root = controller;
    screenInViewMayHaveChanged();
    if (controller)
        controller->raise();
    if (onScreen) {
        if (oldTop)
            oldTop->endAppearanceTransition();
        if (controller)
            controller->endAppearanceTransition();
    }
    for (const auto &vc : std::as_const(discarded)) {
        if (!vc)
            continue;
        vc->m_presentedViewController = nullptr;
        vc->m_presentingViewController = nullptr;
        vc->hide();
        vc->deleteLater();
    }
}

void AppWindow::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    m_leaveAnyway = false;
    if (ViewController *top = visibleTop(m_root)) {
        top->beginAppearanceTransition(true, false);
        top->endAppearanceTransition();
    }
}

void AppWindow::closeEvent(QCloseEvent *event) {
    // Nothing the teacher graded goes with the window unanswered, unless the teacher says so.
    if (!m_leaveAnyway && HeldChanges::instance().pendingCount() > 0) {
        event->ignore();
        closeWhenSent(true);
        return;
    }
    if (m_remembersGeometry) {
        SettingsStore::settings().setValue(QLatin1String(GeometryKey), saveGeometry());
        SettingsStore::flush();
    }
    QWidget::closeEvent(event);
}

void AppWindow::closeWhenSent(bool ask) {
    if (m_sending)
        return;
    m_sending = true;
    ProgressHud::showWithStatus(tr("正在发送批阅结果…"));
    QPointer<AppWindow> self = this;
    HeldChanges::instance().settleThen(HeldChanges::LeavingWaitMs, this, [self, ask](int left) {
        ProgressHud::dismiss();
        self->m_sending = false;
        if (left > 0)
            HeldChanges::instance().markWaitedOut();
        if (left == 0 || !ask) {
            self->m_leaveAnyway = true;
            self->close();
            // Asked to quit, not only to close: whatever else is open goes too.
            if (!ask)
                QCoreApplication::quit();
            return;
        }
        AlertView *alert = AlertView::show(
            QString(),
            tr("还有 %n 篇批阅未发送：服务还没有回答。现在退出，这些批阅可能没有保存。", nullptr,
               left),
            {tr("继续等待"), tr("仍然退出")}, [self](int button) {
                if (!self)
                    return;
                if (button == 0) {
                    self->closeWhenSent(true);
                    return;
                }
                HeldChanges::instance().markWaitedOut();
                self->m_leaveAnyway = true;
                self->close();
            });
        // Waiting loses nothing: it is what Enter and Esc choose.
        alert->setDefaultButton(0);
    });
}

bool AppWindow::rememberGeometry() {
    m_remembersGeometry = true;
    const QByteArray stored =
        SettingsStore::settings().value(QLatin1String(GeometryKey)).toByteArray();
    if (stored.isEmpty() || !restoreGeometry(stored))
        return false;
    keepWhollyOnScreen(this);
    return true;
}

void AppWindow::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_F5 && event->modifiers() == Qt::NoModifier &&
        !event->isAutoRepeat() && RefreshHeader::refreshListShownIn(this)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void AppWindow::changeEvent(QEvent *event) {
    QWidget::changeEvent(event);
    // The program's name in the title; the screens' titles follow as they retranslate.
    if (event->type() == QEvent::LanguageChange)
        screenInViewMayHaveChanged();
}

void AppWindow::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    ThinScrollBars::follow(this);
    const int top = m_menu->follow();
    m_content->setGeometry(0, top, width(), height() - top);
    for (QObject *child : m_content->children()) {
        if (auto *vc = qobject_cast<ViewController *>(child))
            vc->setGeometry(m_content->rect());
    }
    // Crossing the width brings or takes away what the menu acts on (the sidebar).
    screenInViewMayHaveChanged();
}

ViewController *AppWindow::rootViewController() const {
    return m_root;
}

ViewController *AppWindow::visibleScreen() const {
    return visibleTop(m_root);
}

ViewController *AppWindow::screenInView() const {
    ViewController *screen = visibleScreen();
    while (qobject_cast<NavigationController *>(screen) ||
           qobject_cast<TabBarController *>(screen)) {
        const QList<ViewController *> shown = screen->visibleChildViewControllers();
        if (shown.isEmpty())
            break;
        // Beside a list, its detail pane is in view while the focus is inside it.
        auto *stack = qobject_cast<NavigationController *>(screen);
        NavigationController *pane = stack ? stack->detailPane() : nullptr;
        const QWidget *focus = QApplication::focusWidget();
        screen = pane && shown.contains(pane) && focus && pane->isAncestorOf(focus) ? pane
                                                                                    : shown.first();
    }
    return screen;
}

bool AppWindow::focusFirstControlOf(QWidget *screen) {
    if (!screen || !screen->isVisible())
        return false;
    for (QWidget *w = screen->nextInFocusChain(); w && w != screen; w = w->nextInFocusChain()) {
        if (screen->isAncestorOf(w) && w->isVisible() && w->isEnabled() &&
            (w->focusPolicy() & Qt::TabFocus)) {
            w->setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    return false;
}

bool AppWindow::focusNextPrevChild(bool next) {
    const QWidget *focus = QApplication::focusWidget();
    if (focus && !focus->isVisible() && focusFirstControlOf(screenInView()))
        return true;
    return QWidget::focusNextPrevChild(next);
}

QString AppWindow::titleFor(const QString &screenTitle) {
    const QString title = screenTitle.simplified();
    return title.isEmpty() ? programName() : QStringLiteral("%1 — %2").arg(title, programName());
}

void AppWindow::screenInViewMayHaveChanged() {
    AppWindow *window = s_instance;
    if (!window || window->m_followQueued)
        return;
    window->m_followQueued = true;
    QMetaObject::invokeMethod(window, &AppWindow::followScreenInView, Qt::QueuedConnection);
}

void AppWindow::followScreenInView() {
    m_followQueued = false;
    const ViewController *screen = screenInView();
    setWindowTitle(titleFor(screen ? screen->title() : QString()));
    m_menu->update();
}
