#include "AppDelegate.h"
#include "AppWindow.h"
#include "BasicVC.h"
#include "DeviceProfile.h"
#include "ExportActions.h"
#include "HeldChanges.h"
#include "KeySheet.h"
#include "NavigationController.h"
#include "RefreshHeader.h"
#include "ScreenTestFixture.h"
#include "SettingsStore.h"
#include "WindowMenu.h"

#include <QAction>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>
#include <QtTest>

// The window where the teacher left it, the key sheet generated from what is registered, the
// desktop form's menu bar and Ctrl+Q.
class tst_WindowKeys : public QObject {
    Q_OBJECT

    ScreenTestFixture m_fixture;

    static bool onSomeScreen(const QRect &rect) {
        const auto screens = QGuiApplication::screens();
        return std::any_of(screens.begin(), screens.end(), [&](const QScreen *screen) {
            return screen->availableGeometry().contains(rect);
        });
    }

private slots:
    void init() { QVERIFY(m_fixture.reset()); }

    void comesBackWhereItWasLeft_data() {
        QTest::addColumn<QRect>("left");
        QTest::addColumn<bool>("maximised");
        QTest::addColumn<bool>("samePlace");
        QTest::newRow("on the screen") << QRect(60, 40, 420, 500) << false << true;
        QTest::newRow("maximised") << QRect(60, 40, 420, 500) << true << true;
        QTest::newRow("on a screen that is gone") << QRect(5000, 4000, 420, 500) << false << false;
        QTest::newRow("partly off the screen") << QRect(-300, 200, 420, 500) << false << false;
    }
    void comesBackWhereItWasLeft() {
        QFETCH(QRect, left);
        QFETCH(bool, maximised);
        QFETCH(bool, samePlace);
        AppWindow *first = m_fixture.window();
        QVERIFY(!first->rememberGeometry());
        first->setGeometry(left);
        if (maximised)
            first->setWindowState(Qt::WindowMaximized);
        first->close();

        AppWindow again;
        QVERIFY(again.rememberGeometry());
        QCOMPARE(again.isMaximized(), maximised);
        QCOMPARE(again.normalGeometry().size(), left.size());
        QVERIFY2(onSomeScreen(again.normalGeometry()), "restored off every screen");
        if (samePlace)
            QCOMPARE(again.normalGeometry(), left);
    }

    // A script, the tour and an explicit size or device neither take nor overwrite it.
    void explicitSizeWins_data() {
        QTest::addColumn<bool>("remembers");
        QTest::newRow("interactive") << true;
        QTest::newRow("size given or scripted") << false;
    }
    void explicitSizeWins() {
        QFETCH(bool, remembers);
        const QRect left(40, 30, 500, 560);
        m_fixture.window()->rememberGeometry();
        m_fixture.window()->setGeometry(left);
        m_fixture.window()->close();
        const QVariant stored = SettingsStore::settings().value(AppWindow::GeometryKey);

        AppDelegate delegate;
        delegate.setRemembersWindow(remembers);
        delegate.didFinishLaunchingWithOptions();
        QCOMPARE(delegate.window()->size(),
                 remembers ? left.size() : DeviceProfile::current().screenSize);
        delegate.window()->resize(700, 500);
        delegate.window()->close();
        QCOMPARE(SettingsStore::settings().value(AppWindow::GeometryKey) == stored, !remembers);
    }

    void sheetListsWhatIsRegisteredAndEnabled() {
        auto *screen = new BasicVC;
        const auto key = [&](QWidget *owner, QKeySequence sequence, const char *text) {
            auto *shortcut = new QShortcut(sequence, owner);
            shortcut->setWhatsThis(QString::fromUtf8(text));
            return shortcut;
        };
        key(screen, QKeySequence(Qt::CTRL | Qt::Key_R), "刷新");
        key(screen, QKeySequence(Qt::CTRL | Qt::Key_E), "导出")->setEnabled(false);
        key(screen, QKeySequence(Qt::CTRL | Qt::Key_K), "");
        key(screen, QKeySequence(Qt::Key_F5), "刷新");
        auto *hidden = new QWidget(screen);
        hidden->hide();
        key(hidden, QKeySequence(Qt::CTRL | Qt::Key_H), "藏起来的");
        QVERIFY(m_fixture.show(screen));
        m_fixture.window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_fixture.window()));

        const QList<KeySheet::Row> expected{{"Ctrl+R / F5", "刷新", false},
                                            {"Ctrl+K", "", false},
                                            {"F1 / Ctrl+/", "快捷键一览", true},
                                            {"Ctrl+Q", "退出", true}};
        QCOMPARE(KeySheet::rowsFor(m_fixture.window()), expected);

        // Each way in and each way out.
        const QList<std::function<void(KeySheet *)>> closers{
            [](KeySheet *sheet) { QTest::keyClick(sheet, Qt::Key_Escape); },
            [](KeySheet *sheet) { QTest::keyClick(sheet, Qt::Key_F1); },
            [](KeySheet *sheet) { QTest::mouseClick(sheet, Qt::LeftButton); }};
        for (int i = 0; i < closers.size(); ++i) {
            QTest::keyClick(m_fixture.window(), i == 1 ? Qt::Key_Slash : Qt::Key_F1,
                            i == 1 ? Qt::ControlModifier : Qt::NoModifier);
            KeySheet *sheet = KeySheet::current();
            QVERIFY(sheet && sheet->isVisible());
            QCOMPARE(sheet->rows(), expected);
            auto *keys = sheet->findChild<QLabel *>("keySheetKeys0");
            QVERIFY(keys && keys->isVisible());
            QCOMPARE(keys->accessibleName(), QStringLiteral("Ctrl+R / F5：刷新"));
            closers.at(i)(sheet);
            QVERIFY(!KeySheet::current());
        }
    }

    void menuBarOnlyInTheDesktopForm_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("shown");
        QTest::newRow("phone 375x667") << QSize(375, 667) << false;
        QTest::newRow("just below") << QSize(899, 700) << false;
        QTest::newRow("from 900") << QSize(900, 700) << true;
        QTest::newRow("desktop 1280x800") << QSize(1280, 800) << true;
    }
    void menuBarOnlyInTheDesktopForm() {
        QFETCH(QSize, size);
        QFETCH(bool, shown);
        AppWindow *window = m_fixture.window();
        window->resize(size);
        QVERIFY(m_fixture.show(new BasicVC));
        QMenuBar *bar = window->menu()->bar();
        QCOMPARE(bar->isVisible(), shown);
        // The screens start under the bar, and fill the window without it.
        QCOMPARE(window->contentLayer()->geometry(),
                 QRect(0, shown ? bar->height() : 0, size.width(),
                       size.height() - (shown ? bar->height() : 0)));
        QCOMPARE(window->rootViewController()->size(), window->contentLayer()->size());
    }

    // Each action is enabled only where the key it stands for answers, and then does what the
    // key does.
    void menuActionsFollowTheScreenInView_data() {
        QTest::addColumn<bool>("pushed");
        QTest::addColumn<bool>("exports");
        QTest::addColumn<bool>("list");
        QTest::newRow("root screen") << false << false << false;
        QTest::newRow("root with a table") << false << true << true;
        QTest::newRow("pushed screen") << true << false << false;
        QTest::newRow("pushed with a table") << true << true << true;
        QTest::newRow("pushed with a list only") << true << false << true;
    }
    void menuActionsFollowTheScreenInView() {
        QFETCH(bool, pushed);
        QFETCH(bool, exports);
        QFETCH(bool, list);
        AppWindow *window = m_fixture.window();
        window->resize(1280, 800);
        // As a real screen makes them: with the screen, before it shows.
        const auto make = [&](bool inView) {
            auto *screen = new BasicVC;
            if (inView && exports)
                new ExportActions(screen, [] { return ExportDocument(); });
            if (inView && list) {
                auto *rows = new QListView(screen);
                rows->setGeometry(0, 0, 300, 300);
                RefreshHeader::attach(rows, [] {});
            }
            return screen;
        };
        BasicVC *root = make(!pushed);
        auto *stack = new NavigationController(root);
        QVERIFY(m_fixture.show(stack));
        if (pushed)
            stack->pushViewController(make(true), false);
        const auto action = [window](const char *name) {
            return window->findChild<QAction *>(QLatin1String(name));
        };
        const auto enabled = [&] {
            return QList<bool>{
                action("backAction")->isEnabled(), action("exportAction")->isEnabled(),
                action("printAction")->isEnabled(), action("refreshAction")->isEnabled()};
        };
        QTRY_COMPARE(enabled(), (QList<bool>{pushed, exports, exports, list}));
        // No tab bar behind the screen: nobody signed in.
        QVERIFY(!action("signOutAction")->isEnabled());
        if (pushed) {
            action("backAction")->trigger();
            QTRY_COMPARE(stack->topViewController(), root);
            QTRY_VERIFY(!action("backAction")->isEnabled());
        }
    }

    // Ctrl+Q is closing the window, at phone width too (no bar): the held grade goes out and is
    // answered first.
    void quitKeySendsHeldGradesFirst() {
        AppWindow *window = m_fixture.window();
        QVERIFY(m_fixture.show(new BasicVC));
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        bool openWhenSent = false;
        HeldChanges::instance().hold("feel:1", 4, [&](HeldChanges::Answered answered) {
            openWhenSent = window->isVisible();
            QTimer::singleShot(100, qApp, [answered] { answered(true, QString()); });
        });
        QTest::keyClick(window, Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(window->isVisible());
        QTRY_VERIFY(!window->isVisible());
        QVERIFY(openWhenSent);
        QCOMPARE(HeldChanges::instance().state("feel:1"), HeldChanges::State::Accepted);
    }
};

QTEST_MAIN(tst_WindowKeys)
#include "tst_WindowKeys.moc"
