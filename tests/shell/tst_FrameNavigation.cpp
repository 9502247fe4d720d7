#include "AppWindow.h"
#include "BasicVC.h"
#include "NavigationBar.h"
#include "NavigationController.h"
#include "TabBarController.h"

#include <QPointer>
#include <QtTest>

// Screens that write their lifecycle into one shared log, "name:event".
class Recorder : public BasicVC {
    Q_OBJECT
public:
    Recorder(const QString &name, QStringList *log)
        : m_name(name)
        , m_log(log) {
        setObjectName(name);
        setTitle(name);
    }
    int loads = 0;

protected:
    void viewDidLoad() override {
        BasicVC::viewDidLoad();
        ++loads;
        record("didLoad");
    }
    void viewWillAppear(bool animated) override {
        BasicVC::viewWillAppear(animated);
        record("willAppear");
    }
    void viewDidAppear(bool) override { record("didAppear"); }
    void viewWillDisappear(bool) override { record("willDisappear"); }
    void viewDidDisappear(bool) override { record("didDisappear"); }

private:
    void record(const char *event) { m_log->append(m_name + QLatin1Char(':') + event); }
    QString m_name;
    QStringList *m_log;
};

class tst_FrameNavigation : public QObject {
    Q_OBJECT

private:
    QStringList log;
    AppWindow *window = nullptr;

    Recorder *screen(const QString &name) { return new Recorder(name, &log); }
    void showRoot(ViewController *root) {
        window->setRootViewController(root);
        window->show();
        log.clear();
    }
    static void flushDeletes() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

private slots:
    void initTestCase() { QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC"))); }
    void init() {
        log.clear();
        window = new AppWindow;
    }
    void cleanup() {
        delete window;
        flushDeletes();
    }

    void pushThenPopRunsTheLifecycleInOrder() {
        auto *a = screen("A");
        auto *nav = new NavigationController(a);
        showRoot(nav);
        QCOMPARE(a->loads, 1);

        auto *b = screen("B");
        nav->pushViewController(b, false);
        QCOMPARE(log, QStringList({"A:willDisappear", "B:didLoad", "B:willAppear", "A:didDisappear",
                                   "B:didAppear"}));
        QCOMPARE(nav->topViewController(), b);
        QVERIFY(b->isVisible());
        QVERIFY(!a->isVisible());
        QCOMPARE(b->navigationController(), nav);
        QCOMPARE(nav->navigationBar()->title(), QStringLiteral("B"));

        log.clear();
        QPointer<ViewController> popped = nav->popViewController(false);
        QCOMPARE(popped.data(), b);
        QCOMPARE(log,
                 QStringList({"B:willDisappear", "A:willAppear", "B:didDisappear", "A:didAppear"}));
        QCOMPARE(nav->viewControllers(), QList<ViewController *>({a}));
        QCOMPARE(nav->navigationBar()->title(), QStringLiteral("A"));
        flushDeletes();
        QVERIFY2(popped.isNull(), "a popped screen is destroyed");
        QCOMPARE(a->loads, 1);
    }

    void popOnTheRootAndBadPushesChangeNothing() {
        auto *a = screen("A");
        auto *nav = new NavigationController(a);
        showRoot(nav);
        QCOMPARE(nav->popViewController(false), nullptr);
        QVERIFY(nav->popToRootViewController(false).isEmpty());
        nav->pushViewController(nullptr, false);
        nav->pushViewController(a, false); // already on the stack
        nav->pushViewController(nav, false);
        QCOMPARE(nav->viewControllers(), QList<ViewController *>({a}));
        QVERIFY(log.isEmpty());
        QVERIFY(a->isAppeared());
    }

    void animatedPushEndsItsLifecycleWhenTheSlideEnds() {
        auto *a = screen("A");
        auto *nav = new NavigationController(a);
        showRoot(nav);
        nav->pushViewController(screen("B"), true);
        QCOMPARE(log, QStringList({"A:willDisappear", "B:didLoad", "B:willAppear"}));
        QVERIFY(nav->isTransitioning());
        QTRY_VERIFY(!nav->isTransitioning());
        QCOMPARE(log.mid(3), QStringList({"A:didDisappear", "B:didAppear"}));
        QCOMPARE(nav->topViewController()->pos(), QPoint(0, 0));
    }

    void aSecondPushDuringASlideCompletesTheFirst() {
        auto *a = screen("A");
        auto *nav = new NavigationController(a);
        showRoot(nav);
        nav->pushViewController(screen("B"), true);
        nav->pushViewController(screen("C"), true);
        QCOMPARE(log, QStringList({"A:willDisappear", "B:didLoad", "B:willAppear", "A:didDisappear",
                                   "B:didAppear", "B:willDisappear", "C:didLoad", "C:willAppear"}));
        // Popping in the middle of the second slide completes it first.
        log.clear();
        nav->popViewController(true);
        QCOMPARE(log,
                 QStringList({"B:didDisappear", "C:didAppear", "C:willDisappear", "B:willAppear"}));
        QTRY_VERIFY(!nav->isTransitioning());
        QCOMPARE(log.mid(4), QStringList({"C:didDisappear", "B:didAppear"}));
        QCOMPARE(nav->viewControllers().size(), 2);
    }

    void popToRootOnlyTheTopDisappearsAndAllPoppedAreDestroyed() {
        auto *a = screen("A");
        auto *nav = new NavigationController(a);
        showRoot(nav);
        QPointer<Recorder> b = screen("B");
        QPointer<Recorder> c = screen("C");
        nav->pushViewController(b, false);
        nav->pushViewController(c, false);
        log.clear();
        const auto popped = nav->popToRootViewController(false);
        QCOMPARE(popped.size(), 2);
        QCOMPARE(log,
                 QStringList({"C:willDisappear", "A:willAppear", "C:didDisappear", "A:didAppear"}));
        flushDeletes();
        QVERIFY(b.isNull());
        QVERIFY(c.isNull());
    }

    void aTopScreenDeletedFromOutsideUncoversTheOneBeneath() {
        auto *a = screen("A");
        auto *nav = new NavigationController(a);
        showRoot(nav);
        auto *b = screen("B");
        nav->pushViewController(b, false);
        log.clear();
        delete b;
        QCOMPARE(nav->viewControllers(), QList<ViewController *>({a}));
        QTRY_COMPARE(log, QStringList({"A:willAppear", "A:didAppear"}));
        QVERIFY(a->isVisible());
    }

    void tabSwitchMovesAppearanceBetweenTheSelectedStacks() {
        auto *a = screen("A");
        auto *b = screen("B");
        auto *tabs = new TabBarController;
        tabs->setViewControllers({new NavigationController(a), new NavigationController(b)});
        window->setRootViewController(tabs);
        window->show();
        QCOMPARE(log, QStringList({"A:didLoad", "A:willAppear", "A:didAppear"}));
        QCOMPARE(b->loads, 0);

        log.clear();
        tabs->setSelectedIndex(1);
        QCOMPARE(log, QStringList({"A:willDisappear", "B:didLoad", "B:willAppear", "A:didDisappear",
                                   "B:didAppear"}));
        QCOMPARE(tabs->selectedIndex(), 1);

        log.clear();
        tabs->setSelectedIndex(1);
        tabs->setSelectedIndex(7);
        tabs->setSelectedIndex(-1);
        QVERIFY2(log.isEmpty(), "reselecting or an out-of-range index changes nothing");

        tabs->setSelectedIndex(0);
        QCOMPARE(log,
                 QStringList({"B:willDisappear", "A:willAppear", "B:didDisappear", "A:didAppear"}));
        QCOMPARE(a->loads, 1);
    }

    void tappingTheTabsSwitchesAndASecondTapReturnsToTheRoot() {
        auto *a = screen("A");
        auto *tabs = new TabBarController;
        auto *nav = new NavigationController(a);
        tabs->setViewControllers({nav, new NavigationController(screen("B"))});
        tabs->setTabBarItem(0, {QStringLiteral("首页"), "main_item_normal", "main_item_selected"});
        showRoot(tabs);
        QTest::mouseClick(tabs->tabBar()->button(1), Qt::LeftButton);
        QCOMPARE(tabs->selectedIndex(), 1);
        QTest::mouseClick(tabs->tabBar()->button(0), Qt::LeftButton);
        QCOMPARE(tabs->selectedIndex(), 0);
        nav->pushViewController(screen("C"), false);
        QTest::mouseClick(tabs->tabBar()->button(0), Qt::LeftButton);
        QTRY_COMPARE(nav->viewControllers(), QList<ViewController *>({a}));
        QCOMPARE(tabs->tabBar()->item(0).title, QStringLiteral("首页"));
        QVERIFY(tabs->tabBar()->button(0)->isChecked());
        QVERIFY(!tabs->tabBar()->button(1)->isChecked());
    }

    void tabBarVisibilityFollowsThePushedScreens_data() {
        QTest::addColumn<QList<bool>>("hides"); // hidesBottomBarWhenPushed of root, then pushed
        QTest::addColumn<bool>("barHidden");
        QTest::newRow("root only") << QList<bool>{false} << false;
        QTest::newRow("a root asking is not pushed") << QList<bool>{true} << false;
        QTest::newRow("plain push") << QList<bool>{false, false} << false;
        QTest::newRow("push that hides") << QList<bool>{false, true} << true;
        QTest::newRow("plain screen above one that hides")
            << QList<bool>{false, true, false} << true;
        QTest::newRow("hiding screen above a plain one") << QList<bool>{false, false, true} << true;
    }
    void tabBarVisibilityFollowsThePushedScreens() {
        QFETCH(QList<bool>, hides);
        QFETCH(bool, barHidden);
        auto *root = screen("R");
        root->setHidesBottomBarWhenPushed(hides.first());
        auto *nav = new NavigationController(root);
        auto *tabs = new TabBarController;
        tabs->setViewControllers({nav});
        showRoot(tabs);
        for (qsizetype i = 1; i < hides.size(); ++i) {
            auto *pushed = screen(QStringLiteral("P%1").arg(i));
            pushed->setHidesBottomBarWhenPushed(hides.at(i));
            nav->pushViewController(pushed, false);
        }
        QCOMPARE(tabs->isTabBarHidden(), barHidden);
        // The selected stack fills exactly the space the bar leaves.
        QCOMPARE(nav->height(), tabs->height() - (barHidden ? 0 : 49));
        nav->popToRootViewController(false);
        QVERIFY(!tabs->isTabBarHidden());
        QCOMPARE(nav->height(), tabs->height() - 49);
    }

    void modalPresentationHidesThePresenterUntilDismissed() {
        auto *a = screen("A");
        auto *tabs = new TabBarController;
        tabs->setViewControllers({new NavigationController(a)});
        showRoot(tabs);

        auto *l = screen("L");
        auto *container = new NavigationController(l);
        bool presented = false;
        a->presentViewController(container, false, [&] { presented = true; });
        QVERIFY(presented);
        QCOMPARE(log, QStringList({"A:willDisappear", "L:didLoad", "L:willAppear", "A:didDisappear",
                                   "L:didAppear"}));
        // The presentation is made by the outermost screen holding the presenter.
        QCOMPARE(container->presentingViewController(), tabs);
        QCOMPARE(l->presentingViewController(), tabs);
        QCOMPARE(tabs->presentedViewController(), container);
        QCOMPARE(a->presentedViewController(), container);
        QVERIFY(container->isVisible());
        QVERIFY(!tabs->isVisible());
        QCOMPARE(container->geometry(), window->rect());

        log.clear();
        QPointer<NavigationController> guard = container;
        bool dismissed = false;
        l->dismissViewController(false, [&] { dismissed = true; });
        QVERIFY(dismissed);
        QCOMPARE(log,
                 QStringList({"L:willDisappear", "A:willAppear", "L:didDisappear", "A:didAppear"}));
        QCOMPARE(tabs->presentedViewController(), nullptr);
        QVERIFY(tabs->isVisible());
        flushDeletes();
        QVERIFY(guard.isNull());
    }

    void animatedPresentationAndDismissalFinishAfterTheSlide() {
        auto *a = screen("A");
        showRoot(new NavigationController(a));
        auto *m = screen("M");
        bool presented = false;
        a->presentViewController(m, true, [&] { presented = true; });
        QVERIFY(!presented);
        QCOMPARE(log, QStringList({"A:willDisappear", "M:didLoad", "M:willAppear"}));
        QTRY_VERIFY(presented);
        QCOMPARE(m->pos(), QPoint(0, 0));
        log.clear();
        bool dismissed = false;
        a->dismissViewController(true, [&] { dismissed = true; });
        QTRY_VERIFY(dismissed);
        QCOMPARE(log,
                 QStringList({"M:willDisappear", "A:willAppear", "M:didDisappear", "A:didAppear"}));
    }

    void presentingWhilePresentingStacksAndOneDismissalClosesAll() {
        auto *a = screen("A");
        showRoot(new NavigationController(a));
        auto *m1 = screen("M1");
        auto *m2 = screen("M2");
        a->presentViewController(m1, false);
        a->presentViewController(m2, false);
        QCOMPARE(m2->presentingViewController(), m1);
        QPointer<Recorder> g1 = m1, g2 = m2;
        log.clear();
        a->dismissViewController(false);
        QCOMPARE(log, QStringList(
                          {"M2:willDisappear", "A:willAppear", "M2:didDisappear", "A:didAppear"}));
        flushDeletes();
        QVERIFY(g1.isNull() && g2.isNull());
    }

    void presentingNothingOrTheSameScreenTwiceIsRefused() {
        auto *a = screen("A");
        auto *nav = new NavigationController(a);
        showRoot(nav);
        a->presentViewController(nullptr, false);
        a->presentViewController(a, false);
        auto *pushed = screen("P");
        nav->pushViewController(pushed, false);
        log.clear();
        a->presentViewController(pushed, false); // already in a stack
        a->presentViewController(nav, false);    // its own container
        QVERIFY(log.isEmpty());
        QCOMPARE(nav->presentedViewController(), nullptr);
        bool done = false;
        a->dismissViewController(false, [&] { done = true; });
        QVERIFY2(done, "dismissing with nothing presented still completes");
    }

    void replacingTheRootTakesDownEveryScreenOnIt() {
        auto *a = screen("A");
        auto *tabs = new TabBarController;
        auto *nav = new NavigationController(a);
        tabs->setViewControllers({nav, new NavigationController(screen("B"))});
        showRoot(tabs);
        auto *pushed = screen("P");
        nav->pushViewController(pushed, false);
        auto *modal = screen("M");
        pushed->presentViewController(modal, false);
        QPointer<ViewController> guards[] = {tabs, nav, a, pushed, modal};

        log.clear();
        auto *next = screen("N");
        window->setRootViewController(next);
        QCOMPARE(log, QStringList({"M:willDisappear", "N:didLoad", "N:willAppear", "M:didDisappear",
                                   "N:didAppear"}));
        QCOMPARE(window->rootViewController(), next);
        QCOMPARE(next->geometry(), window->rect());
        flushDeletes();
        for (const auto &guard : guards)
            QVERIFY(guard.isNull());
    }

    void aRootSetBeforeTheWindowShowsAppearsWithTheWindow() {
        auto *a = screen("A");
        window->setRootViewController(new NavigationController(a));
        QVERIFY(log.isEmpty());
        window->show();
        QCOMPARE(log, QStringList({"A:didLoad", "A:willAppear", "A:didAppear"}));
        QCOMPARE(AppWindow::instance(), window);
    }

    void navigationBarHidingGivesTheSpaceToTheScreen() {
        auto *a = screen("A");
        auto *nav = new NavigationController(a);
        showRoot(nav);
        QCOMPARE(a->geometry().height(), window->height() - 44);
        nav->setNavigationBarHidden(true, true);
        QTRY_VERIFY(!nav->isTransitioning());
        QVERIFY(nav->isNavigationBarHidden());
        QVERIFY(!nav->navigationBar()->isVisible());
        QCOMPARE(a->height(), window->height());
        nav->setNavigationBarHidden(false, false);
        QCOMPARE(a->height(), window->height() - 44);
        QCOMPARE(nav->navigationBar()->geometry(), QRect(0, 0, window->width(), 44));
        window->resize(414, 736);
        QCOMPARE(a->size(), QSize(414, 736 - 44));
    }

    void childScreensTakePartInTheirParentsAppearance() {
        auto *parent = screen("P");
        auto *first = screen("C0");
        auto *second = screen("C1");
        second->hide();
        parent->addChildViewController(first);
        parent->addChildViewController(second);
        showRoot(new NavigationController(parent));
        QCOMPARE(first->loads, 1);
        QCOMPARE(second->loads, 0);
        QVERIFY(first->isAppeared());
        QCOMPARE(first->navigationController(), parent->navigationController());

        log.clear();
        parent->transitionFromViewController(first, second);
        QCOMPARE(log, QStringList({"C0:willDisappear", "C1:didLoad", "C1:willAppear",
                                   "C0:didDisappear", "C1:didAppear"}));
        QVERIFY(!first->isVisible());
        QVERIFY(second->isVisible());
    }
};

QTEST_MAIN(tst_FrameNavigation)
#include "tst_FrameNavigation.moc"
