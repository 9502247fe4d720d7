#include "AppWindow.h"
#include "BarButton.h"
#include "BasicVC.h"
#include "FrameStyle.h"
#include "InputVC.h"
#include "NavigationBar.h"
#include "NavigationController.h"
#include "ScreenFactory.h"
#include "SegmentedControl.h"
#include "TabBarController.h"

#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

// Stand-ins for the tab roots and the login screen, registered as the program registers them.
class MainViewController : public BasicVC {
    Q_OBJECT
};
class BookListVC : public BasicVC {
    Q_OBJECT
};
class ChartViewController : public BasicVC {
    Q_OBJECT
};
class UserViewController : public BasicVC {
    Q_OBJECT
};
class LoginViewController : public InputVC {
    Q_OBJECT
};

class Screen : public BasicVC {
    Q_OBJECT
public:
    std::function<void()> onRight;
    int rightPresses = 0;
    QList<QPair<SegmentedControl *, int>> segments;
    void rightBarButtonItemPressed() override {
        ++rightPresses;
        if (onRight)
            onRight();
    }
    void segmentAction(SegmentedControl *sender) override {
        segments.append({sender, sender->selectedSegmentIndex()});
    }
};

class tst_FrameScreens : public QObject {
    Q_OBJECT

private:
    AppWindow *window = nullptr;

    static void flushDeletes() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    static bool hasBackButton(ViewController *vc) {
        return vc->leftBarButton() &&
               vc->leftBarButton()->objectName() == QLatin1String("backButton");
    }
    // The four tabs with their real class names, in a shown window.
    TabBarController *showTabs(Screen **pushedOnFirst = nullptr) {
        auto *tabs = new TabBarController;
        auto *user = new NavigationController(new UserViewController);
        user->setNavigationBarHidden(true, false);
        tabs->setViewControllers({new NavigationController(new MainViewController),
                                  new NavigationController(new BookListVC),
                                  new NavigationController(new ChartViewController), user});
        window->setRootViewController(tabs);
        window->show();
        if (pushedOnFirst) {
            *pushedOnFirst = new Screen;
            static_cast<NavigationController *>(tabs->viewControllers().first())
                ->pushViewController(*pushedOnFirst, false);
        }
        return tabs;
    }
    Screen *showPushedScreen() {
        auto *nav = new NavigationController(new MainViewController);
        window->setRootViewController(nav);
        window->show();
        auto *screen = new Screen;
        nav->pushViewController(screen, false);
        return screen;
    }

private slots:
    void initTestCase() { QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC"))); }
    void init() {
        window = new AppWindow;
        ScreenFactory::setLoginStack(&LoginViewController::staticMetaObject, [] {
            auto *nav = new NavigationController(new LoginViewController);
            nav->setNavigationBarHidden(true, false);
            return nav;
        });
        ScreenFactory::setTabs({ScreenFactory::tab<MainViewController>("首页", {}, {}),
                                ScreenFactory::tab<BookListVC>("书城", {}, {}),
                                ScreenFactory::tab<ChartViewController>("报表", {}, {}),
                                ScreenFactory::tab<UserViewController>("我", {}, {})});
    }
    void cleanup() {
        delete window;
        flushDeletes();
        ScreenFactory::reset();
    }

    void backButtonRule_data() {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<bool>("expected");
        QTest::newRow("home tab root") << "tab 0" << false;
        QTest::newRow("book tab root") << "tab 1" << false;
        QTest::newRow("report tab root") << "tab 2" << false;
        QTest::newRow("me tab root, bar hidden") << "tab 3" << false;
        QTest::newRow("pushed on a tab stack") << "pushed" << true;
        QTest::newRow("tab root class pushed elsewhere") << "tab class pushed" << false;
        QTest::newRow("root of the presented login stack") << "login" << true;
        QTest::newRow("outside any stack") << "alone" << false;
        QTest::newRow("stack rooted in a plain screen") << "plain root" << false;
    }
    void backButtonRule() {
        QFETCH(QString, situation);
        QFETCH(bool, expected);
        ViewController *subject = nullptr;
        if (situation.startsWith("tab ") && situation != "tab class pushed") {
            TabBarController *tabs = showTabs();
            const int index = situation.mid(4).toInt();
            tabs->setSelectedIndex(index);
            subject = static_cast<NavigationController *>(tabs->viewControllers().at(index))
                          ->rootViewController();
        } else if (situation == "pushed") {
            Screen *pushed = nullptr;
            showTabs(&pushed);
            subject = pushed;
        } else if (situation == "tab class pushed") {
            auto *nav = new NavigationController(new Screen);
            window->setRootViewController(nav);
            window->show();
            subject = new BookListVC;
            nav->pushViewController(subject, false);
        } else if (situation == "login") {
            TabBarController *tabs = showTabs();
            static_cast<BasicVC *>(tabs->selectedViewController()->childViewControllers().first())
                ->presentLoginVCAction();
            auto *container = qobject_cast<NavigationController *>(tabs->presentedViewController());
            QVERIFY(container);
            subject = container->rootViewController();
        } else if (situation == "alone") {
            subject = new Screen;
            window->setRootViewController(subject);
            window->show();
        } else if (situation == "plain root") {
            auto *nav = new NavigationController(new ViewController);
            window->setRootViewController(nav);
            window->show();
            subject = new Screen;
            nav->pushViewController(subject, false);
        }
        QVERIFY(subject);
        QTRY_VERIFY(subject->isAppeared());
        QCOMPARE(hasBackButton(subject), expected);
        if (expected) {
            QCOMPARE(subject->leftBarButton()->size(), QSize(49, 17));
            QCOMPARE(subject->navigationController()->navigationBar()->leftItem(),
                     subject->leftBarButton());
        }
    }

    void backButtonPopsAPushedScreen() {
        Screen *screen = showPushedScreen();
        NavigationController *nav = screen->navigationController();
        QPointer<Screen> guard = screen;
        QTest::mouseClick(nav->navigationBar()->leftItem(), Qt::LeftButton);
        QTRY_COMPARE(nav->viewControllers().size(), 1);
        QTRY_VERIFY(guard.isNull());
        QVERIFY(!nav->navigationBar()->leftItem() ||
                !nav->navigationBar()->leftItem()->isVisible());
    }

    void loginBackButtonClosesTheWholePresentedStack() {
        Screen *pushed = nullptr;
        TabBarController *tabs = showTabs(&pushed);
        pushed->presentLoginVCAction();
        auto *container = qobject_cast<NavigationController *>(tabs->presentedViewController());
        QVERIFY2(container, "from a tab the tab bar controller presents the login stack");
        QTRY_VERIFY(container->rootViewController()->isAppeared());
        // A screen pushed on the login stack pops back to the login screen, as usual.
        auto *forgotten = new Screen;
        container->pushViewController(forgotten, false);
        forgotten->leftBackClick();
        QTRY_COMPARE(container->viewControllers().size(), 1);

        QPointer<NavigationController> guard = container;
        static_cast<BasicVC *>(container->rootViewController())->leftBackClick();
        QTRY_VERIFY(guard.isNull());
        QCOMPARE(tabs->presentedViewController(), nullptr);
        QVERIFY(pushed->isAppeared());
        QCOMPARE(tabs->viewControllers().size(), 4);
    }

    void rightImageButton_data() {
        QTest::addColumn<QSizeF>("given");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("given size") << QSizeF(30, 24) << QSize(30, 24);
        QTest::newRow("zero width") << QSizeF(0, 50) << QSize(20, 20);
        QTest::newRow("negative width") << QSizeF(-4, 10) << QSize(20, 20);
        QTest::newRow("empty") << QSizeF() << QSize(20, 20);
        QTest::newRow("fractional") << QSizeF(22.4, 21.6) << QSize(22, 22);
    }
    void rightImageButton() {
        QFETCH(QSizeF, given);
        QFETCH(QSize, expected);
        Screen *screen = showPushedScreen();
        QPushButton *button =
            screen->setNavigationRightButtonWithImageName("book_search_btn", given);
        QCOMPARE(button->size(), expected);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(screen->rightPresses, 1);
    }

    void emptyCoverCoversTheWholeViewAndComesOff() {
        auto *screen = new Screen;
        auto *list = new QListWidget(screen);
        list->setGeometry(0, 40, 375, 500);
        list->addItem("row");
        auto *other = new QLabel("keep", screen);
        window->setRootViewController(new NavigationController(screen));
        window->show();

        screen->showNothingViewForView(list);
        QWidget *cover = viewWithTag(screen, 500);
        QVERIFY(cover);
        QCOMPARE(cover->parentWidget(), list);
        // The view's whole area, wherever the view sits in its parent.
        QCOMPARE(cover->geometry(), list->rect());
        QVERIFY(cover->isVisible());
        QCOMPARE(list->childAt(list->rect().center())->window(), window);
        QVERIFY(cover == list->childAt(list->rect().center()) ||
                cover->isAncestorOf(list->childAt(list->rect().center())));
        auto *image = cover->findChild<QLabel *>();
        QVERIFY(image);
        QCOMPARE(image->size(), QSize(127, 122));
        QCOMPARE(image->geometry().center(), cover->rect().center());

        list->resize(300, 300);
        QCOMPARE(cover->geometry(), list->rect());
        QCOMPARE(image->geometry().center(), cover->rect().center());

        screen->showNothingViewForView(list);
        QCOMPARE(countTagged(screen), 1);

        screen->removeTheNoneView();
        QCOMPARE(countTagged(screen), 0);
        QVERIFY(other->parentWidget() == screen && list->parentWidget() == screen);
        screen->removeTheNoneView(); // nothing left to remove
        screen->showNothingViewForView(nullptr);
        QCOMPARE(countTagged(screen), 0);
    }

private:
    static int countTagged(QWidget *root) {
        int n = 0;
        for (QWidget *w : root->findChildren<QWidget *>())
            n += tagOf(w) == 500 ? 1 : 0;
        return n;
    }
};

QTEST_MAIN(tst_FrameScreens)
#include "tst_FrameScreens.moc"
