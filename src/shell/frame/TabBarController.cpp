#include "TabBarController.h"

#include "AppWindow.h"
#include "DesktopForm.h"
#include "FrameLog.h"
#include "FrameStyle.h"
#include "NavigationController.h"

#include <QApplication>
#include <QShortcut>

TabBarController::TabBarController(QWidget *parent)
    : ViewController(parent)
    , m_tabBar(new TabBar(this))
    , m_sideBar(new SideBar(this))
    , m_content(new QWidget(this)) {
    resize(FrameStyle::WindowWidth, FrameStyle::WindowHeight);
    m_sideBar->hide();
    connect(m_tabBar, &TabBar::tabClicked, this, &TabBarController::tabClicked);
    connect(m_sideBar, &SideBar::sectionChosen, this, [this](int section) {
        // An entry opens its own screen: only a section's line goes back to its start.
        if (section != m_selected)
            setSelectedIndex(section);
    });
    connect(m_sideBar, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) {
        if (!m_sideBar->rows()->isEntry(index.row()) &&
            m_sideBar->rows()->sectionOf(index.row()) == m_selected)
            tabClicked(m_selected);
    });
    connect(m_sideBar, &SideBar::contentWantsFocus, this, &TabBarController::focusSelectedScreen);
    layoutContent();
}

QString TabBarController::sectionKeyText(const QString &title) {
    return title.isEmpty() ? tr("切换栏目") : tr("切换到「%1」").arg(title);
}

void TabBarController::setSectionEntries(int section, const QString &group,
                                         const QList<SideBarEntry> &entries) {
    m_sideBar->rows()->setEntries(section, group, entries);
}

void TabBarController::focusSelectedScreen() {
    ViewController *screen = selectedViewController();
    while (auto *stack = qobject_cast<NavigationController *>(screen))
        screen = stack->topViewController();
    const QWidget *focus = QApplication::focusWidget();
    if (screen && !(focus && screen->isAncestorOf(focus)))
        AppWindow::focusFirstControlOf(screen);
}

void TabBarController::setSideBarCollapsed(bool collapsed) {
    m_sideBar->setCollapsed(collapsed);
    layoutContent();
}

bool TabBarController::isDesktopForm() const {
    return DesktopForm::holds(this);
}

TabBarController::~TabBarController() {
    for (const auto &vc : std::as_const(m_controllers)) {
        if (vc)
            disconnect(vc, nullptr, this, nullptr);
    }
}

void TabBarController::setViewControllers(const QList<ViewController *> &controllers) {
    QList<ViewController *> incoming;
    for (ViewController *vc : controllers) {
        if (!vc || vc == this || incoming.contains(vc) || vc->isAncestorOf(this))
            continue;
        if (vc->parentViewController() && vc->parentViewController() != this) {
            qCWarning(lcFrame) << "ignored a tab screen that belongs elsewhere" << vc;
            continue;
        }
        incoming.append(vc);
    }

    ViewController *oldSelected = selectedViewController();
    const bool onScreen =
        appearance() == Appearance::Appeared || appearance() == Appearance::Appearing;
    if (oldSelected && onScreen && !incoming.contains(oldSelected)) {
        oldSelected->beginAppearanceTransition(false, false);
        oldSelected->endAppearanceTransition();
    }
    for (const auto &old : std::as_const(m_controllers)) {
        if (!old || incoming.contains(old))
            continue;
        disconnect(old, nullptr, this, nullptr);
        old->setParentViewController(nullptr);
        old->hide();
        old->deleteLater();
    }

    m_controllers.clear();
    for (ViewController *vc : std::as_const(incoming)) {
        if (vc->parentWidget() != m_content)
            vc->setParent(m_content);
        vc->setParentViewController(this);
        if (vc != oldSelected)
            vc->hide();
        m_controllers.append(vc);
        if (auto *nav = qobject_cast<NavigationController *>(vc)) {
            connect(nav, &NavigationController::viewControllersChanged, this,
                    &TabBarController::updateTabBarVisibility, Qt::UniqueConnection);
        }
    }
    m_tabBar->setCount(int(m_controllers.size()));
    // Ctrl+1, Ctrl+2, … one a section (nine at most), listed in the key sheet by its title.
    qDeleteAll(m_sectionKeys);
    m_sectionKeys.clear();
    for (int section = 0; section < qMin(9, int(m_controllers.size())); ++section) {
        auto *key = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + section)), this);
        key->setContext(Qt::WidgetWithChildrenShortcut);
        key->setWhatsThis(sectionKeyText(m_tabBar->item(section).title));
        connect(key, &QShortcut::activated, this, [this, section] {
            setSelectedIndex(section);
            focusSelectedScreen();
        });
        m_sectionKeys.append(key);
    }
    m_selected = oldSelected ? int(m_controllers.indexOf(oldSelected)) : -1;
    if (m_selected < 0 && !m_controllers.isEmpty()) {
        ViewController *first = m_controllers.first();
        m_selected = 0;
        layoutContent();
        if (onScreen)
            first->beginAppearanceTransition(true, false);
        first->show();
        if (appearance() == Appearance::Appeared)
            first->endAppearanceTransition();
    }
    m_tabBar->setSelectedIndex(m_selected);
    m_sideBar->rows()->setSelectedSection(m_selected);
    updateTabBarVisibility();
}

QList<ViewController *> TabBarController::viewControllers() const {
    QList<ViewController *> list;
    for (const auto &vc : m_controllers) {
        if (vc)
            list.append(vc);
    }
    return list;
}

void TabBarController::setTabBarItem(int index, const TabBarItem &item) {
    m_tabBar->setItem(index, item);
    if (QShortcut *key = m_sectionKeys.value(index))
        key->setWhatsThis(sectionKeyText(item.title));
    QList<TabBarItem> items;
    for (int i = 0; i < m_tabBar->count(); ++i)
        items.append(m_tabBar->item(i));
    m_sideBar->rows()->setSections(items);
    m_sideBar->rows()->setSelectedSection(m_selected);
}

TabBarItem TabBarController::tabBarItem(int index) const {
    return m_tabBar->item(index);
}

ViewController *TabBarController::selectedViewController() const {
    return m_selected >= 0 && m_selected < m_controllers.size() ? m_controllers.at(m_selected)
                                                                : nullptr;
}

void TabBarController::setSelectedIndex(int index) {
    if (index < 0 || index >= m_controllers.size() || index == m_selected)
        return;
    ViewController *from = selectedViewController();
    ViewController *to = m_controllers.at(index);
    if (!to)
        return;
    const bool onScreen =
        appearance() == Appearance::Appeared || appearance() == Appearance::Appearing;
    if (onScreen) {
        if (from)
            from->beginAppearanceTransition(false, false);
        to->beginAppearanceTransition(true, false);
    }
    m_selected = index;
    m_tabBar->setSelectedIndex(index);
    m_sideBar->rows()->setSelectedSection(index);
    updateTabBarVisibility();
    to->show();
    if (from)
        from->hide();
    if (onScreen) {
        if (from)
            from->endAppearanceTransition();
        if (appearance() == Appearance::Appeared)
            to->endAppearanceTransition();
    }
}

void TabBarController::setTitleColor(const QColor &normal, const QColor &selected) {
    m_tabBar->setTitleColor(normal, selected);
}

bool TabBarController::isTabBarHidden() const {
    return m_tabBar->isHidden();
}

QList<ViewController *> TabBarController::visibleChildViewControllers() const {
    if (ViewController *selected = selectedViewController())
        return {selected};
    return {};
}

void TabBarController::tabClicked(int index) {
    if (index == m_selected) {
        // A second tap on the current tab goes back to the start of its stack.
        if (auto *nav = qobject_cast<NavigationController *>(selectedViewController()))
            nav->popToRootViewController(true);
        return;
    }
    setSelectedIndex(index);
}

void TabBarController::updateTabBarVisibility() {
    bool hidden = false;
    if (auto *nav = qobject_cast<NavigationController *>(selectedViewController())) {
        // Once a screen that hides the bar is pushed, the bar stays away until it is popped,
        // also while screens pushed above it are shown.
        const QList<ViewController *> stack = nav->viewControllers();
        for (qsizetype i = 1; i < stack.size() && !hidden; ++i)
            hidden = stack.at(i)->hidesBottomBarWhenPushed();
    }
    m_tabBar->setHidden(hidden || isDesktopForm());
    layoutContent();
}

void TabBarController::resizeEvent(QResizeEvent *event) {
    ViewController::resizeEvent(event);
    layoutContent();
}

void TabBarController::layoutContent() {
    const bool desktop = isDesktopForm();
    if (desktop != !m_sideBar->isHidden()) {
        // Crossing the width: the bar of the other form goes, the stacks stay as they are.
        m_sideBar->setVisible(desktop);
        updateTabBarVisibility();
        return;
    }
    const int side = desktop ? m_sideBar->preferredWidth() : 0;
    m_sideBar->setGeometry(0, 0, side, height());
    const int barHeight = m_tabBar->isHidden() ? 0 : FrameStyle::TabBarHeight;
    m_tabBar->setGeometry(0, height() - FrameStyle::TabBarHeight, width(),
                          FrameStyle::TabBarHeight);
    m_tabBar->raise();
    m_content->setGeometry(side, 0, qMax(0, width() - side), qMax(0, height() - barHeight));
    for (const auto &vc : std::as_const(m_controllers)) {
        if (vc)
            vc->setGeometry(m_content->rect());
    }
}
