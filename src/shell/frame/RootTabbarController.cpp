#include "RootTabbarController.h"

#include "BasicVC.h"
#include "FrameStyle.h"
#include "NavigationController.h"
#include "ScreenFactory.h"

#include <QCoreApplication>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcTabs, "teacher.tabs")

RootTabbarController::RootTabbarController(QWidget *parent)
    : TabBarController(parent) {}

QString RootTabbarController::titleOf(const ScreenFactory::Tab &tab) {
    // The registration gives the source text (context "TabBar").
    return QCoreApplication::translate("TabBar", tab.title.toUtf8().constData());
}

void RootTabbarController::showTabTitles() {
    const QList<ScreenFactory::Tab> &tabs = ScreenFactory::tabs();
    for (int i = 0; i < tabs.size(); ++i) {
        const ScreenFactory::Tab &tab = tabs.at(i);
        setTabBarItem(i, TabBarItem{titleOf(tab), tab.normalIcon, tab.selectedIcon});
    }
}

void RootTabbarController::retranslate() {
    TabBarController::retranslate();
    showTabTitles();
}

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
            empty->setTitle(titleOf(tabs.at(i)));
            stack = new NavigationController(empty);
        }
        stacks << stack;
    }
    setViewControllers(stacks);
    showTabTitles();
    const QColor title(FrameStyle::LabelColor);
    setTitleColor(title, title);
    setSelectedIndex(0);
}
