#include "AppWindow.h"
#include "BasicVC.h"
#include "NavigationBar.h"
#include "NavigationController.h"
#include "ScreenTestFixture.h"
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

    ScreenTestFixture m_fixture;
    QStringList log;

    AppWindow *window() const { return m_fixture.window(); }
    Recorder *screen(const QString &name) { return new Recorder(name, &log); }
    void showRoot(ViewController *root) {
        QVERIFY(m_fixture.show(root));
        log.clear();
    }
    static void flushDeletes() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

private slots:
    void init() {
        log.clear();
        QVERIFY(m_fixture.reset());
    }
    void cleanup() {
        m_fixture.closeWindow();
        flushDeletes();
    }

    // The window names the screen in view, and only the program without a title.
    void windowTitleFollowsPushAndPop() {
        auto *nav = new NavigationController(screen("三年级1班"));
        showRoot(nav);
        QTRY_COMPARE(window()->windowTitle(), QStringLiteral("三年级1班 — 教师端"));
        auto *pushed = screen(QString());
        nav->pushViewController(pushed, false);
        QTRY_COMPARE(window()->windowTitle(), QStringLiteral("教师端"));
        pushed->setTitle(QStringLiteral("读后感"));
        QTRY_COMPARE(window()->windowTitle(), QStringLiteral("读后感 — 教师端"));
        nav->popViewController(false);
        QTRY_COMPARE(window()->windowTitle(), QStringLiteral("三年级1班 — 教师端"));
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

    void appearingAgainRunsNoLifecycle() {
        auto *a = screen("A");
        auto *nav = new NavigationController(a);
        showRoot(nav);
        // The window shows its top screen again; one already on screen must not appear twice.
        window()->hide();
        window()->show();
        QVERIFY(log.isEmpty());
        QVERIFY(a->isAppeared());
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

    void tabSwitchMovesAppearanceBetweenTheSelectedStacks() {
        auto *a = screen("A");
        auto *b = screen("B");
        auto *tabs = new TabBarController;
        tabs->setViewControllers({new NavigationController(a), new NavigationController(b)});
        QVERIFY(m_fixture.show(tabs));
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
        QCOMPARE(container->geometry(), window()->rect());

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
        window()->setRootViewController(next);
        QCOMPARE(log, QStringList({"M:willDisappear", "N:didLoad", "N:willAppear", "M:didDisappear",
                                   "N:didAppear"}));
        QCOMPARE(window()->rootViewController(), next);
        QCOMPARE(next->geometry(), window()->rect());
        flushDeletes();
        for (const auto &guard : guards)
            QVERIFY(guard.isNull());
    }
};

QTEST_MAIN(tst_FrameNavigation)
#include "tst_FrameNavigation.moc"
