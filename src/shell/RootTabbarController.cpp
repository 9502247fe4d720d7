#include "RootTabbarController.h"

#include "BasicVC.h"
#include "NavigationController.h"
#include "ScreenFactory.h"
#include "TextRules.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcTabs, "teacher.tabs")

const QList<RootTabbarController::Tab> &RootTabbarController::tabs() {
    static const QList<Tab> list{
        {"MainViewController", "首页", "main_item_normal", "main_item_selected"},
        {"BookListVC", "书城", "book_item_normal", "book_item_selected"},
        {"ChartViewController", "报表", "chart_item_normal", "chart_item_selected"},
        {"UserViewController", "我", "user_item_normal", "user_item_selected"},
    };
    return list;
}

RootTabbarController::RootTabbarController(QWidget *parent)
    : TabBarController(parent) {}

void RootTabbarController::viewDidLoad() {
    TabBarController::viewDidLoad();
    QList<ViewController *> stacks;
    for (const Tab &tab : tabs()) {
        ViewController *stack = ScreenFactory::create(QLatin1String(tab.className));
        if (!stack) {
            // Keep the tab (and the order of the others) with an empty titled screen.
            qCWarning(lcTabs) << "no screen registered for" << tab.className;
            auto *empty = new BasicVC;
            empty->setTitle(QString::fromUtf8(tab.title));
            stack = new NavigationController(empty);
        }
        stacks << stack;
    }
    setViewControllers(stacks);
    for (int i = 0; i < tabs().size(); ++i) {
        const Tab &tab = tabs().at(i);
        setTabBarItem(i, TabBarItem{QString::fromUtf8(tab.title), QLatin1String(tab.normalIcon),
                                    QLatin1String(tab.selectedIcon)});
    }
    const QColor title = TextRules::colorWithHexString(QStringLiteral("3c3c3c"));
    setTitleColor(title, title);
    setSelectedIndex(0);
}
