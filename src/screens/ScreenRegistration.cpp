#include "ScreenRegistration.h"

#include "NavigationController.h"
#include "ScreenFactory.h"
#include "account/LoginViewController.h"
#include "books/BookListVC.h"
#include "classes/MainViewController.h"
#include "personal/UserViewController.h"
#include "reports/ChartViewController.h"

namespace ScreenRegistration {

void registerAll() {
    ScreenFactory::registerFactory(QStringLiteral("LoginViewController"), [] {
        return LoginViewController::navigationControllerContainSelf();
    });
    ScreenFactory::registerFactory(QStringLiteral("MainViewController"), [] {
        return MainViewController::navigationControllerContainSelf();
    });
    ScreenFactory::registerFactory(QStringLiteral("BookListVC"),
                                   [] { return BookListVC::navigationControllerContainSelf(); });
    ScreenFactory::registerFactory(QStringLiteral("ChartViewController"), [] {
        return ChartViewController::navigationControllerContainSelf();
    });
    ScreenFactory::registerFactory(QStringLiteral("UserViewController"), [] {
        return UserViewController::navigationControllerContainSelf();
    });
}

} // namespace ScreenRegistration
