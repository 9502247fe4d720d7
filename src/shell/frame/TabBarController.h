#pragma once

#include "TabBar.h"
#include "ViewController.h"

// Screens side by side behind a tab bar; the selected one fills the space above the bar. The bar
// hides while a screen pushed on the selected stack asks for it (hidesBottomBarWhenPushed).
// Tapping the selected tab again takes its stack back to the root.
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

    QList<ViewController *> visibleChildViewControllers() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void tabClicked(int index);
    void updateTabBarVisibility();
    void layoutContent();

    TabBar *m_tabBar;
    QWidget *m_content;
    QList<QPointer<ViewController>> m_controllers;
    int m_selected = -1;
};
