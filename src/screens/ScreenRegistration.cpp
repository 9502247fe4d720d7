#include "ScreenRegistration.h"

#include "NavigationController.h"
#include "ScreenFactory.h"
#include "ScreenLinks.h"
#include "account/ChangePhoneVC.h"
#include "account/ChangePwdVC.h"
#include "account/LoginViewController.h"
#include "books/BookDetailVC.h"
#include "books/BookListVC.h"
#include "classes/ClassViewController.h"
#include "guide/GuideViewController.h"
#include "home/MainViewController.h"
#include "personal/MyCollectionVC.h"
#include "personal/UserViewController.h"
#include "reflections/GradeViewController.h"
#include "reports/ChartViewController.h"

namespace ScreenRegistration {

void registerAll() {
    ScreenFactory::setFirstLaunch<GuideViewController>();
    ScreenFactory::setLoginStack<LoginViewController>();
    // The roads between features: every book grid opens a tapped book in its detail, the home
    // opens the classes, grading and the collection, the settings open the account forms.
    using ScreenLinks::Link;
    ScreenLinks::set(Link::BookDetail, [](qint64 bookId) { return new BookDetailVC(bookId); });
    ScreenLinks::set(Link::ClassRoster, [](qint64 classId) {
        auto *roster = new ClassViewController;
        roster->setOpenClassId(classId);
        return roster;
    });
    ScreenLinks::set(Link::MyCollection, [](qint64) { return new MyCollectionVC; });
    ScreenLinks::set(Link::Grading, [](qint64) { return new GradeViewController; });
    ScreenLinks::set(Link::ChangePassword, [](qint64) { return new ChangePwdVC; });
    ScreenLinks::set(Link::ChangePhone, [](qint64) { return new ChangePhoneVC; });
    // The tabs keep their Chinese titles; the tab bar shows them translated in its own context.
    ScreenFactory::setTabs({
        ScreenFactory::tab<MainViewController>(
            QString::fromUtf8(QT_TRANSLATE_NOOP("TabBar", "首页")),
            QStringLiteral("main_item_normal"), QStringLiteral("main_item_selected")),
        ScreenFactory::tab<BookListVC>(QString::fromUtf8(QT_TRANSLATE_NOOP("TabBar", "书城")),
                                       QStringLiteral("book_item_normal"),
                                       QStringLiteral("book_item_selected")),
        ScreenFactory::tab<ChartViewController>(
            QString::fromUtf8(QT_TRANSLATE_NOOP("TabBar", "报表")),
            QStringLiteral("chart_item_normal"), QStringLiteral("chart_item_selected")),
        //: The tab of the teacher's own page (profile, collection, settings): "Me".
        ScreenFactory::tab<UserViewController>(QString::fromUtf8(QT_TRANSLATE_NOOP("TabBar", "我")),
                                               QStringLiteral("user_item_normal"),
                                               QStringLiteral("user_item_selected")),
    });
}

} // namespace ScreenRegistration
