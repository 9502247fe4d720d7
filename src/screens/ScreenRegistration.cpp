#include "ScreenRegistration.h"

#include "NavigationController.h"
#include "ScreenFactory.h"
#include "account/LoginViewController.h"
#include "books/BookDetailVC.h"
#include "books/BookListVC.h"
#include "classes/ClassDetailListVC.h"
#include "classes/MainViewController.h"
#include "personal/UserViewController.h"
#include "reports/ChartViewController.h"

namespace ScreenRegistration {

void registerAll() {
    ScreenFactory::setLoginStack<LoginViewController>();
    // Every book grid opens a tapped book in its detail.
    ClassDetailListVC::setBookDetailMaker([](qint64 bookId) { return new BookDetailVC(bookId); });
    ScreenFactory::setTabs({
        ScreenFactory::tab<MainViewController>(QStringLiteral("首页"),
                                               QStringLiteral("main_item_normal"),
                                               QStringLiteral("main_item_selected")),
        ScreenFactory::tab<BookListVC>(QStringLiteral("书城"), QStringLiteral("book_item_normal"),
                                       QStringLiteral("book_item_selected")),
        ScreenFactory::tab<ChartViewController>(QStringLiteral("报表"),
                                                QStringLiteral("chart_item_normal"),
                                                QStringLiteral("chart_item_selected")),
        ScreenFactory::tab<UserViewController>(QStringLiteral("我"),
                                               QStringLiteral("user_item_normal"),
                                               QStringLiteral("user_item_selected")),
    });
}

} // namespace ScreenRegistration
