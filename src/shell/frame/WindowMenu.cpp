#include "WindowMenu.h"

#include "AlertView.h"
#include "AppDelegate.h"
#include "AppWindow.h"
#include "DesktopForm.h"
#include "KeySheet.h"
#include "NavigationController.h"
#include "RefreshHeader.h"
#include "RootTabbarController.h"
#include "ScreenFactory.h"
#include "ServiceTypes.h"
#include "SideBar.h"
#include "TabBarController.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QMenuBar>
#include <QShortcut>

namespace {
const QKeySequence BackKey(Qt::AltModifier | Qt::Key_Left);
const QKeySequence RefreshKey(Qt::Key_F5);
} // namespace

WindowMenu::WindowMenu(AppWindow *window)
    : QObject(window)
    , m_window(window)
    , m_bar(new QMenuBar(window)) {
    m_bar->setObjectName(QStringLiteral("menuBar"));
    // A desktop that exports menus (a global menu bar) would show it at phone width too.
    m_bar->setNativeMenuBar(false);
    m_bar->hide();
    const auto addMenu = [this](const char *name, const QString &title) {
        QMenu *menu = m_bar->addMenu(title);
        menu->setObjectName(QLatin1String(name));
        menu->setAccessibleName(title);
        menu->menuAction()->setObjectName(QLatin1String(name) + QStringLiteral("Title"));
        // What applies may have changed since the last screen change (a list that came later).
        connect(menu, &QMenu::aboutToShow, this, &WindowMenu::update);
        return menu;
    };

    QMenu *file = addMenu("fileMenu", QString());
    m_export = add(file, "exportAction", QString(), QKeySequence::Save);
    connect(m_export, &QAction::triggered, this, [this] { pressKey(QKeySequence::Save, true); });
    m_print = add(file, "printAction", QString(), QKeySequence::Print);
    connect(m_print, &QAction::triggered, this, [this] { pressKey(QKeySequence::Print, true); });
    file->addSeparator();
    m_signOut = add(file, "signOutAction", QString(), {});
    connect(m_signOut, &QAction::triggered, this, [this] {
        if (canSignOut())
            AppDelegate::signOut();
    });
    QAction *quit = add(file, "quitAction", QString(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    // Quitting is closing the window: the grades held are sent first (AppWindow::closeEvent).
    connect(quit, &QAction::triggered, m_window, &QWidget::close);

    QMenu *view = addMenu("viewMenu", QString());
    m_refresh = add(view, "refreshAction", QString(), RefreshKey);
    connect(m_refresh, &QAction::triggered, this, [this] { refresh(true); });
    m_back = add(view, "backAction", QString(), BackKey);
    connect(m_back, &QAction::triggered, this, [this] {
        if (canGoBack())
            pressKey(BackKey, true);
    });
    view->addSeparator();
    // Narrows the sidebar to its icons and back; enabled while the window shows one.
    m_sidebar = add(view, "sidebarAction", QString(), QKeySequence(Qt::CTRL | Qt::Key_B));
    m_sidebar->setEnabled(false);
    connect(m_sidebar, &QAction::triggered, this, [this] {
        if (SideBar *bar = sideBarShown())
            if (auto *tabs = qobject_cast<TabBarController *>(bar->parentWidget()))
                tabs->setSideBarCollapsed(!bar->isCollapsed());
    });

    QMenu *help = addMenu("helpMenu", QString());
    QAction *keys = add(help, "keysAction", QString(), QKeySequence(Qt::Key_F1));
    keys->setShortcuts({QKeySequence(Qt::Key_F1), QKeySequence(Qt::CTRL | Qt::Key_Slash)});
    connect(keys, &QAction::triggered, m_window, [this] { KeySheet::toggle(m_window); });
    QAction *about = add(help, "aboutAction", QString(), {});
    connect(about, &QAction::triggered, this, &WindowMenu::showAbout);

    // Ctrl+Q and F1 belong to the window at every width, bar or no bar; the key sheet lists them.
    for (QAction *action : {keys, quit, m_sidebar}) {
        action->setShortcutContext(Qt::WindowShortcut);
        m_window->addAction(action);
    }
    applyTexts();
    // The bar is told of a language change as every widget is; the menu follows it.
    m_bar->installEventFilter(this);
}

bool WindowMenu::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_bar && event->type() == QEvent::LanguageChange)
        applyTexts();
    return QObject::eventFilter(watched, event);
}

void WindowMenu::applyTexts() {
    m_bar->setAccessibleName(tr("菜单栏"));
    const auto menu = [this](const char *name, const QString &title) {
        if (auto *found = m_bar->findChild<QMenu *>(QLatin1String(name))) {
            found->setTitle(title);
            found->setAccessibleName(title);
        }
    };
    const auto action = [this](const char *name, const QString &text) {
        if (auto *found = m_bar->findChild<QAction *>(QLatin1String(name)))
            found->setText(text);
    };
    menu("fileMenu", tr("文件"));
    action("exportAction", tr("导出…"));
    action("printAction", tr("打印…"));
    action("signOutAction", tr("退出登录"));
    //: Quits the program.
    action("quitAction", tr("退出"));
    menu("viewMenu", tr("视图"));
    action("refreshAction", tr("刷新"));
    action("backAction", tr("返回"));
    action("sidebarAction", tr("侧栏"));
    menu("helpMenu", tr("帮助"));
    action("keysAction", tr("快捷键"));
    if (auto *keys = m_bar->findChild<QAction *>(QStringLiteral("keysAction")))
        keys->setWhatsThis(tr("快捷键一览"));
    action("aboutAction", tr("关于"));
}

QAction *WindowMenu::add(QMenu *menu, const char *name, const QString &text,
                         const QKeySequence &key) {
    QAction *action = menu->addAction(text);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(key);
    // The key itself stays with whoever answers it today (the screen's shortcut, the list): the
    // menu only shows it. On the bar alone the action's shortcut answers while the bar holds the
    // keyboard, which a screen's shortcut cannot then.
    action->setShortcutContext(Qt::WidgetShortcut);
    return action;
}

int WindowMenu::follow() {
    const bool desktop = DesktopForm::isDesktop(m_window->width());
    m_bar->setVisible(desktop);
    if (!desktop)
        return 0;
    const int height = m_bar->sizeHint().height();
    m_bar->setGeometry(0, 0, m_window->width(), height);
    return height;
}

void WindowMenu::update() {
    m_export->setEnabled(pressKey(QKeySequence::Save, false));
    m_print->setEnabled(pressKey(QKeySequence::Print, false));
    m_refresh->setEnabled(refresh(false));
    m_back->setEnabled(canGoBack() && pressKey(BackKey, false));
    m_signOut->setEnabled(canSignOut());
    m_sidebar->setEnabled(sideBarShown() != nullptr);
}

SideBar *WindowMenu::sideBarShown() const {
    for (SideBar *bar : m_window->findChildren<SideBar *>()) {
        if (bar->isVisible())
            return bar;
    }
    return nullptr;
}

bool WindowMenu::pressKey(const QKeySequence &key, bool run) {
    QShortcut *shortcut = KeySheet::keyInView(m_window, key);
    if (shortcut && run)
        emit shortcut->activated();
    return shortcut;
}

bool WindowMenu::refresh(bool run) {
    // F5's own order: a screen's shortcut first, else the largest list shown (AppWindow).
    if (pressKey(RefreshKey, run))
        return true;
    return run ? RefreshHeader::refreshListShownIn(m_window)
               : RefreshHeader::listShownIn(m_window) != nullptr;
}

bool WindowMenu::canGoBack() const {
    // What the back button does (BasicVC::leftBackClick): a pop, or closing a presented stack.
    // The root of a stack shown as the window's root has the button and nowhere to go.
    const ViewController *screen = m_window->screenInView();
    if (!screen)
        return false;
    const NavigationController *stack = screen->navigationController();
    // A detail pane closes with the back keys, from its list or from inside it.
    if (stack && (stack->detailPane() || stack->paneOwner()))
        return true;
    return (stack && stack->viewControllers().size() > 1) || screen->presentingViewController();
}

bool WindowMenu::canSignOut() const {
    auto *tabs = qobject_cast<RootTabbarController *>(m_window->rootViewController());
    if (!tabs)
        return false;
    // The login stack presented over the tabs: no one is signed in.
    for (ViewController *shown = tabs->presentedViewController(); shown;
         shown = shown->presentedViewController()) {
        const auto *stack = qobject_cast<NavigationController *>(shown);
        if (ScreenFactory::isLoginRoot(shown) ||
            (stack && ScreenFactory::isLoginRoot(stack->rootViewController())))
            return false;
    }
    return true;
}

void WindowMenu::showAbout() {
    QStringList lines{AppWindow::programName()};
    if (const QString version = QCoreApplication::applicationVersion(); !version.isEmpty())
        lines << tr("版本 %1").arg(version);
    lines << tr("服务地址：%1").arg(ServiceBaseURL()) << tr("许可：%1").arg(licence());
    //: The about box's title; %1 is the program's name.
    AlertView::show(tr("关于%1").arg(AppWindow::programName()), lines.join(QLatin1Char('\n')),
                    //: The about box's only button.
                    {tr("好")});
}
