#include "AppWindow.h"
#include "OverlayHost.h"
#include "ProgressHud.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QtTest>

#include <memory>

// The one progress indicator: its forms, their input rules, the success timing and its life in
// the window.
class tst_ProgressHud : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> m_window;
    QPushButton *m_button = nullptr;
    QLineEdit *m_field = nullptr;

    QList<QWidget *> huds() const {
        QList<QWidget *> visible;
        for (QWidget *w : m_window->findChildren<QWidget *>(QStringLiteral("ProgressHud"))) {
            if (w->isVisible())
                visible << w;
        }
        return visible;
    }
    QPoint centre() const { return m_window->rect().center(); }

    // Lets the event loop run for `ms` without blocking it.
    static void letTimePass(int ms) {
        QTimer timer;
        timer.setSingleShot(true);
        QSignalSpy spy(&timer, &QTimer::timeout);
        timer.start(ms);
        QVERIFY(spy.wait(ms + 5000));
    }

private slots:
    void initTestCase() { QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC"))); }

    void init() {
        m_window = std::make_unique<QWidget>();
        m_window->resize(375, 667);
        // The button sits right under the indicator's box, where a plain indicator must let
        // clicks through and a blocking one must not.
        m_button = new QPushButton(QStringLiteral("按钮"), m_window.get());
        m_button->setGeometry(137, 313, 100, 40);
        m_field = new QLineEdit(m_window.get());
        m_field->setGeometry(20, 20, 200, 30);
        m_window->show();
        QApplication::setActiveWindow(m_window.get());
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        OverlayHost::setHost(m_window.get());
    }

    void cleanup() {
        ProgressHud::dismiss();
        OverlayHost::setHost(nullptr);
        m_window.reset();
    }

    void forms_data() {
        QTest::addColumn<int>("form");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("blocking");
        QTest::addColumn<bool>("success");
        QTest::addColumn<QString>("status");
        QTest::newRow("spinner") << 0 << QString() << false << false << QString();
        QTest::newRow("status") << 1 << QStringLiteral("正在登录") << true << false
                                << QStringLiteral("正在登录");
        QTest::newRow("empty status still blocks") << 1 << QString() << true << false << QString();
        QTest::newRow("success") << 2 << QStringLiteral("修改成功") << false << true
                                 << QStringLiteral("修改成功");
    }

    void forms() {
        QFETCH(int, form);
        QFETCH(QString, text);
        QFETCH(bool, blocking);
        QFETCH(bool, success);
        QFETCH(QString, status);
        QVERIFY(!ProgressHud::isVisible());
        if (form == 0)
            ProgressHud::show();
        else if (form == 1)
            ProgressHud::showWithStatus(text);
        else
            ProgressHud::showSuccess(text);
        QVERIFY(ProgressHud::isVisible());
        QCOMPARE(ProgressHud::isBlocking(), blocking);
        QCOMPARE(ProgressHud::isSuccess(), success);
        QCOMPARE(ProgressHud::status(), status);
        QCOMPARE(huds().size(), 1);
        QCOMPARE(ProgressHud::widget(), huds().constFirst());

        ProgressHud::dismiss();
        QVERIFY(!ProgressHud::isVisible());
        QVERIFY(!ProgressHud::isBlocking());
        QVERIFY(ProgressHud::status().isEmpty());
        QVERIFY(huds().isEmpty());
        QVERIFY(!ProgressHud::widget());
    }

    // Showing again replaces text and form; there is never a second indicator.
    void atMostOne() {
        ProgressHud::showWithStatus(QStringLiteral("正在登录"));
        ProgressHud::showWithStatus(QStringLiteral("正在提交"));
        QCOMPARE(ProgressHud::status(), QStringLiteral("正在提交"));
        QCOMPARE(huds().size(), 1);
        ProgressHud::show();
        QVERIFY(!ProgressHud::isBlocking());
        QVERIFY(ProgressHud::status().isEmpty());
        QCOMPARE(huds().size(), 1);
        ProgressHud::showSuccess(QStringLiteral("好"));
        QCOMPARE(huds().size(), 1);
        QCOMPARE(m_window->findChildren<QWidget *>(QStringLiteral("ProgressHud")).size(), 1);
    }

    void successInterval_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("ms");
        QTest::newRow("empty") << QString() << 300;
        QTest::newRow("one character") << QStringLiteral("好") << 360;
        QTest::newRow("four characters") << QStringLiteral("登录成功") << 540;
        QTest::newRow("latin") << QStringLiteral("saved") << 600;
        QTest::newRow("ten") << QStringLiteral("0123456789") << 900;
        QTest::newRow("runaway text is capped") << QString(100000, QLatin1Char('x')) << 60000;
    }

    void successInterval() {
        QFETCH(QString, text);
        QFETCH(int, ms);
        QCOMPARE(ProgressHud::successInterval(text), ms);
    }

    // The success form goes by itself, not before its time.
    void successHidesItselfAfterItsInterval() {
        const QString text = QStringLiteral("好");
        QElapsedTimer clock;
        clock.start();
        ProgressHud::showSuccess(text);
        QVERIFY(ProgressHud::isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!ProgressHud::isVisible(), 5000);
        QVERIFY2(clock.elapsed() >= ProgressHud::successInterval(text) - 20,
                 qPrintable(QString::number(clock.elapsed())));
        QVERIFY(huds().isEmpty());
    }

    // A success replaced by a spinner must not take the spinner down with its old timer.
    void replacingSuccessCancelsItsTimer() {
        ProgressHud::showSuccess(QStringLiteral("好"));
        ProgressHud::show();
        letTimePass(ProgressHud::successInterval(QStringLiteral("好")) + 150);
        QVERIFY(ProgressHud::isVisible());
        QVERIFY(!ProgressHud::isSuccess());
    }

    void plainFormLetsInputThrough() {
        ProgressHud::show();
        QCOMPARE(m_window->childAt(centre()), m_button);
        QSignalSpy clicked(m_button, &QPushButton::clicked);
        QTest::mouseClick(m_button, Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
        m_field->setFocus();
        QTest::keyClicks(m_field, QStringLiteral("abc"));
        QCOMPARE(m_field->text(), QStringLiteral("abc"));
    }

    void blockingFormEatsInput() {
        m_field->setFocus();
        int shortcuts = 0;
        auto *shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), m_field);
        shortcut->setContext(Qt::ApplicationShortcut);
        connect(shortcut, &QShortcut::activated, this, [&shortcuts] { ++shortcuts; });
        QTest::keyClick(m_field, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(shortcuts, 1);

        ProgressHud::showWithStatus(QStringLiteral("正在登录"));
        QCOMPARE(m_window->childAt(centre()), ProgressHud::widget());
        QCOMPARE(ProgressHud::widget()->geometry(), m_window->rect());
        QSignalSpy clicked(m_button, &QPushButton::clicked);
        QTest::mouseClick(m_button, Qt::LeftButton);
        QTest::mouseDClick(m_button, Qt::LeftButton);
        QCOMPARE(clicked.count(), 0);
        QTest::keyClicks(m_field, QStringLiteral("abc"));
        QTest::keyClick(m_button, Qt::Key_Space);
        QTest::keyClick(m_field, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(m_field->text().isEmpty());
        QCOMPARE(clicked.count(), 0);
        QCOMPARE(shortcuts, 1);

        // Once it goes, everything answers again.
        ProgressHud::dismiss();
        QTest::mouseClick(m_button, Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
        QTest::keyClicks(m_field, QStringLiteral("abc"));
        QCOMPARE(m_field->text(), QStringLiteral("abc"));
        QTest::keyClick(m_field, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(shortcuts, 2);
    }

    // A blocking indicator turned into a plain one stops eating input.
    void switchingToPlainReleasesInput() {
        ProgressHud::showWithStatus(QStringLiteral("正在登录"));
        ProgressHud::show();
        QSignalSpy clicked(m_button, &QPushButton::clicked);
        QTest::mouseClick(m_button, Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
    }

    void followsTheWindow() {
        ProgressHud::showWithStatus(QStringLiteral("正在登录"));
        m_window->resize(414, 736);
        QTRY_COMPARE(ProgressHud::widget()->geometry(), m_window->rect());
        ProgressHud::show();
        m_window->resize(320, 480);
        QTRY_COMPARE(ProgressHud::widget()->geometry().center(), m_window->rect().center());
    }

    // A screen shown after the indicator must not cover it.
    void staysAboveLaterScreens() {
        ProgressHud::showWithStatus(QStringLiteral("正在登录"));
        auto *screen = new QWidget(m_window.get());
        screen->setGeometry(m_window->rect());
        screen->show();
        QTRY_COMPARE(m_window->childAt(centre()), ProgressHud::widget());
    }

    void longStatusStaysInsideTheWindow() {
        ProgressHud::showWithStatus(QString(5000, QChar(0x8BFB)));
        QWidget *hud = ProgressHud::widget();
        QVERIFY(hud);
        QVERIFY(m_window->rect().contains(hud->geometry()));
        QCOMPARE(ProgressHud::status().size(), 5000);
        hud->grab(); // paints without trouble
    }

    // Without an explicit host the overlays live in the application's window, even when another
    // window is the active one.
    void theApplicationWindowHostsOverlays() {
        OverlayHost::setHost(nullptr);
        AppWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QApplication::setActiveWindow(m_window.get());
        QCOMPARE(OverlayHost::host(), &window);
        ProgressHud::showWithStatus(QStringLiteral("正在登录"));
        QCOMPARE(ProgressHud::widget()->parentWidget(), &window);
        QCOMPARE(ProgressHud::widget()->geometry(), window.rect());
        ProgressHud::dismiss();
    }

    void withoutAWindowNothingHappens() {
        OverlayHost::setHost(nullptr);
        m_window.reset();
        ProgressHud::show();
        QVERIFY(!ProgressHud::isVisible());
        ProgressHud::showWithStatus(QStringLiteral("正在登录"));
        QVERIFY(!ProgressHud::isBlocking());
        ProgressHud::showSuccess(QStringLiteral("好"));
        ProgressHud::dismiss();
        QVERIFY(!ProgressHud::widget());
        init(); // cleanup() expects a window
    }

    void windowGoingAwayTakesTheIndicator() {
        ProgressHud::showWithStatus(QStringLiteral("正在登录"));
        QPointer<QWidget> hud = ProgressHud::widget();
        m_window.reset();
        QVERIFY(!hud);
        QVERIFY(!ProgressHud::isVisible());
        ProgressHud::dismiss();
        // A new window gets a new indicator.
        init();
        ProgressHud::show();
        QVERIFY(ProgressHud::isVisible());
        QCOMPARE(ProgressHud::widget()->parentWidget(), m_window.get());
    }
};

QTEST_MAIN(tst_ProgressHud)
#include "tst_ProgressHud.moc"
