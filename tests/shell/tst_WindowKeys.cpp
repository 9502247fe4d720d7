#include "AppDelegate.h"
#include "AppWindow.h"
#include "BasicVC.h"
#include "DeviceProfile.h"
#include "KeySheet.h"
#include "ScreenTestFixture.h"
#include "SettingsStore.h"

#include <QLabel>
#include <QScreen>
#include <QShortcut>
#include <QtTest>

// The window where the teacher left it, and the key sheet generated from what is registered.
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
                                            {"F1 / Ctrl+/", "快捷键一览", true}};
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
};

QTEST_MAIN(tst_WindowKeys)
#include "tst_WindowKeys.moc"
