#pragma once

#include "SideBar.h"
#include "TabBar.h"
#include "ViewController.h"

class QShortcut;

// Screens side by side behind a tab bar; the selected one fills the space above the bar. The bar
// hides while a screen pushed on the selected stack asks for it (hidesBottomBarWhenPushed).
// Tapping the selected tab again takes its stack back to the root. In the window's desktop form
// a sidebar on the left (SideBar) takes the tab bar's place and stays while screens are pushed;
// Ctrl+1, Ctrl+2, … choose a section at every width.
class TabBarController : public ViewController {
    Q_OBJECT
public:
    explicit TabBarController(QWidget *parent = nullptr);
    ~TabBarController() override;

    // Replaces the tabs; the previous screens are deleted. Selects the first tab.
    void setViewControllers(const QList<ViewController *> &controllers);
    QList<ViewController *> viewControllers() const;
    void setTabBarItem(int index, const TabBarItem &item);
    TabBarItem tabBarItem(int index) const;
    // Out-of-range indexes are ignored.
    void setSelectedIndex(int index);
    int selectedIndex() const { return m_selected; }
    ViewController *selectedViewController() const;
    void setTitleColor(const QColor &normal, const QColor &selected);

    TabBar *tabBar() const { return m_tabBar; }
    bool isTabBarHidden() const;
    SideBar *sideBar() const { return m_sideBar; }
    // Lines a feature puts under a section of the sidebar (group: which of its lists).
    void setSectionEntries(int section, const QString &group, const QList<SideBarEntry> &entries);
    void setSideBarCollapsed(bool collapsed);
    // As the window's width decides.
    bool isDesktopForm() const;
    // Moves the keyboard into the screen in view of the selected section, unless it is there.
    void focusSelectedScreen();

    QList<ViewController *> visibleChildViewControllers() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    static QString sectionKeyText(const QString &title);
    void tabClicked(int index);
    void updateTabBarVisibility();
    void layoutContent();

    TabBar *m_tabBar;
    SideBar *m_sideBar;
    QList<QShortcut *> m_sectionKeys;
    QWidget *m_content;
    QList<QPointer<ViewController>> m_controllers;
    int m_selected = -1;
};
