#include "RootTabbarController.h"

#include "BasicVC.h"
#include "FrameStyle.h"
#include "NavigationController.h"
#include "ScreenFactory.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcTabs, "teacher.tabs")

RootTabbarController::RootTabbarController(QWidget *parent)
    : TabBarController(parent) {}

void RootTabbarController::viewDidLoad() {
    TabBarController::viewDidLoad();
    const QList<ScreenFactory::Tab> &tabs = ScreenFactory::tabs();
    QList<ViewController *> stacks;
    for (int i = 0; i < tabs.size(); ++i) {
        ViewController *stack = ScreenFactory::makeTab(i);
        if (!stack) {
            // Keep the tab (and the order of the others) with an empty titled screen.
            qCWarning(lcTabs) << "tab" << tabs.at(i).title << "made no screen";
            auto *empty = new BasicVC;
            empty->setTitle(tabs.at(i).title);
            stack = new NavigationController(empty);
        }
        stacks << stack;
    }
    setViewControllers(stacks);
    for (int i = 0; i < tabs.size(); ++i) {
        const ScreenFactory::Tab &tab = tabs.at(i);
        setTabBarItem(i, TabBarItem{tab.title, tab.normalIcon, tab.selectedIcon});
    }
    const QColor title(FrameStyle::LabelColor);
    setTitleColor(title, title);
    setSelectedIndex(0);
}
