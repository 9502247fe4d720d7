#include "OverlayHost.h"
#include "Toast.h"

#include <QApplication>
#include <QtTest>

#include <cmath>
#include <limits>
#include <memory>

// The transient text bubble: durations, placement, replacement, and the ways it goes away.
class tst_Toast : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> m_window;

    int visibleToasts() const {
        int count = 0;
        for (QWidget *w : m_window->findChildren<QWidget *>(QStringLiteral("Toast")))
            count += w->isVisible() ? 1 : 0;
        return count;
    }

private slots:
    void initTestCase() { QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC"))); }

    void init() {
        m_window = std::make_unique<QWidget>();
        m_window->resize(375, 667);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        OverlayHost::setHost(m_window.get());
    }

    void cleanup() {
        Toast::hide();
        OverlayHost::setHost(nullptr);
        m_window.reset();
    }

    void durations_data() {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<int>("ms");
        QTest::newRow("given") << 2.0 << 2000;
        QTest::newRow("fraction") << 0.25 << 250;
        QTest::newRow("zero: default") << 0.0 << 1500;
        QTest::newRow("negative: default") << -3.0 << 1500;
        QTest::newRow("not a number: default") << std::nan("") << 1500;
        QTest::newRow("infinite: default") << std::numeric_limits<double>::infinity() << 1500;
        QTest::newRow("absurd: capped") << 1e12 << 600000;
    }

    void durations() {
        QFETCH(double, seconds);
        QFETCH(int, ms);
        Toast::show(QStringLiteral("无网络连接"), seconds);
        QVERIFY(Toast::isShowing());
        QCOMPARE(Toast::currentDuration(), ms);
    }

    void defaultDurationIsOneAndAHalfSeconds() {
        Toast::show(QStringLiteral("无网络连接"));
        QCOMPARE(Toast::currentText(), QStringLiteral("无网络连接"));
        QCOMPARE(Toast::currentDuration(), 1500);
    }

    void hidesAfterItsDuration() {
        QElapsedTimer clock;
        clock.start();
        Toast::show(QStringLiteral("已保存"), 0.2);
        QVERIFY(Toast::isShowing());
        QTRY_VERIFY_WITH_TIMEOUT(!Toast::isShowing(), 5000);
        QVERIFY2(clock.elapsed() >= 180, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(Toast::currentText().isEmpty());
        QCOMPARE(Toast::currentDuration(), 0);
        QTRY_COMPARE(visibleToasts(), 0);
    }

    void clickHidesAtOnce() {
        Toast::show(QStringLiteral("请输入用户名"), 10);
        QWidget *bubble = Toast::widget();
        QVERIFY(bubble);
        QCOMPARE(m_window->childAt(bubble->geometry().center()), bubble);
        QTest::mouseClick(bubble, Qt::LeftButton);
        QVERIFY(!Toast::isShowing());
        QCOMPARE(visibleToasts(), 0);
    }

    void newToastReplacesTheOld() {
        Toast::show(QStringLiteral("第一条"), 10);
        QPointer<QWidget> first = Toast::widget();
        Toast::show(QStringLiteral("第二条"), 0.2);
        QCOMPARE(Toast::currentText(), QStringLiteral("第二条"));
        QCOMPARE(visibleToasts(), 1);
        QTRY_VERIFY(!first);
        // The first one's long timer must not outlive it, and the second goes on its own time.
        QTRY_VERIFY_WITH_TIMEOUT(!Toast::isShowing(), 5000);
    }

    void emptyTextShowsNothing_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("blank") << QStringLiteral("  \n\t ");
    }

    void emptyTextShowsNothing() {
        QFETCH(QString, text);
        Toast::show(text);
        QVERIFY(!Toast::isShowing());
        // Nor does it take down one that is showing.
        Toast::show(QStringLiteral("无网络连接"), 10);
        Toast::show(text);
        QCOMPARE(Toast::currentText(), QStringLiteral("无网络连接"));
    }

    void placement_data() {
        QTest::addColumn<int>("distance");
        QTest::addColumn<int>("bottom");
        QTest::newRow("default") << -1 << 667 - 80;
        QTest::newRow("given") << 200 << 667 - 200;
        QTest::newRow("at the edge") << 0 << 667;
        QTest::newRow("negative: at the edge") << -50 << 667;
    }

    void placement() {
        QFETCH(int, distance);
        QFETCH(int, bottom);
        if (distance == -1)
            Toast::show(QStringLiteral("修改成功"));
        else
            Toast::showAtDistanceFromBottom(QStringLiteral("修改成功"), 1.5, distance);
        const QRect g = Toast::widget()->geometry();
        QCOMPARE(g.bottom() + 1, bottom);
        QVERIFY(qAbs(g.center().x() - m_window->rect().center().x()) <= 1);
    }

    void farDistanceStaysInsideTheWindow() {
        Toast::showAtDistanceFromBottom(QStringLiteral("修改成功"), 1.5, 100000);
        QVERIFY(m_window->rect().contains(Toast::widget()->geometry()));
    }

    void longTextWraps() {
        Toast::show(QStringLiteral("修改成功"));
        const int oneLine = Toast::widget()->height();
        Toast::show(QString(80, QChar(0x8BFB)));
        const QRect g = Toast::widget()->geometry();
        QVERIFY(m_window->rect().contains(g));
        QVERIFY(g.width() <= m_window->width() - 60);
        QVERIFY2(g.height() > 2 * oneLine, "long text must wrap onto several lines");
        // A runaway message from the service is shown cut, and still fits the window.
        Toast::show(QString(200000, QLatin1Char('x')));
        QVERIFY(m_window->rect().contains(Toast::widget()->geometry()));
        QCOMPARE(Toast::currentText().size(), 200000);
    }

    void followsWindowResizes() {
        Toast::show(QStringLiteral("修改成功"), 10);
        m_window->resize(414, 736);
        QTRY_COMPARE(Toast::widget()->geometry().bottom() + 1, 736 - 80);
        QVERIFY(qAbs(Toast::widget()->geometry().center().x() - 207) <= 1);
    }

    // Turning the device hides the toast; on the desktop the window turns portrait/landscape.
    void turningTheWindowHidesIt() {
        Toast::show(QStringLiteral("修改成功"), 10);
        m_window->resize(667, 375);
        QTRY_VERIFY(!Toast::isShowing());
    }

    void staysAboveLaterScreens() {
        Toast::show(QStringLiteral("修改成功"), 10);
        auto *screen = new QWidget(m_window.get());
        screen->setGeometry(m_window->rect());
        screen->show();
        QTRY_COMPARE(m_window->childAt(Toast::widget()->geometry().center()), Toast::widget());
    }

    void withoutAWindowNothingHappens() {
        OverlayHost::setHost(nullptr);
        m_window.reset();
        Toast::show(QStringLiteral("无网络连接"));
        QVERIFY(!Toast::isShowing());
        Toast::hide();
        init();
    }

    void windowGoingAwayTakesTheToast() {
        Toast::show(QStringLiteral("无网络连接"), 10);
        m_window.reset();
        QVERIFY(!Toast::isShowing());
        Toast::hide();
        init();
    }
};

QTEST_MAIN(tst_Toast)
#include "tst_Toast.moc"
