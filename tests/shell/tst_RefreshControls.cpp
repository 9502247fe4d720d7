#include "LoadMoreFooter.h"
#include "RefreshHeader.h"
#include "SettingsStore.h"
#include "ShellState.h"

#include <QApplication>
#include <QListWidget>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// Pull-down refresh and pull-up load-more on a real list: texts per state, the shared last-update
// time, and that every way of pulling runs the action exactly once.
class tst_RefreshControls : public QObject {
    Q_OBJECT

    QTemporaryDir m_config;
    std::unique_ptr<QListWidget> m_list;
    int m_refreshes = 0;
    int m_loads = 0;

    QWidget *viewport() const { return m_list->viewport(); }
    QScrollBar *bar() const { return m_list->verticalScrollBar(); }

    void wheel(int angle, Qt::ScrollPhase phase = Qt::NoScrollPhase, QPoint pixels = {}) {
        const QPointF at(viewport()->width() / 2.0, viewport()->height() / 2.0);
        QWheelEvent event(at, viewport()->mapToGlobal(at), pixels, QPoint(0, angle), Qt::NoButton,
                          Qt::NoModifier, phase, false);
        QApplication::sendEvent(viewport(), &event);
    }
    void trackpad(int pixels, Qt::ScrollPhase phase) {
        wheel(pixels * 4, phase, QPoint(0, pixels));
    }

    void mouse(QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, viewport()->mapToGlobal(at), Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(viewport(), &event);
    }
    void drag(int dy) {
        const QPoint start(50, viewport()->height() / 2);
        mouse(QEvent::MouseButtonPress, start, Qt::LeftButton);
        for (int step = 1; step <= 4; ++step)
            mouse(QEvent::MouseMove, start + QPoint(0, dy * step / 4), Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, start + QPoint(0, dy), Qt::NoButton);
    }

    void fill(int rows) {
        m_list->clear();
        for (int i = 0; i < rows; ++i)
            m_list->addItem(QStringLiteral("第 %1 行").arg(i));
    }

    static QDateTime at(int y, int mo, int d, int h, int mi) {
        return QDateTime(QDate(y, mo, d), QTime(h, mi));
    }

private slots:
    void initTestCase() {
        QVERIFY(m_config.isValid());
        qputenv("TEACHER_CLIENT_CONFIG_DIR", m_config.path().toUtf8());
        SettingsStore::reset();
        QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC")));
    }

    void init() {
        ShellState::resetForTests();
        SettingsStore::settings().remove(RefreshHeader::settingsKey());
        m_refreshes = 0;
        m_loads = 0;
        m_list = std::make_unique<QListWidget>();
        m_list->resize(375, 500);
        fill(60);
        RefreshHeader::attach(m_list.get(), [this] { ++m_refreshes; });
        LoadMoreFooter::attach(m_list.get(), [this] { ++m_loads; });
        m_list->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_list.get()));
        QVERIFY(bar()->maximum() > 0);
        bar()->setValue(bar()->minimum());
    }

    void cleanup() { m_list.reset(); }

    void lastUpdatedFormats_data() {
        QTest::addColumn<QDateTime>("last");
        QTest::addColumn<QString>("text");
        QTest::newRow("today") << at(2024, 6, 15, 9, 5) << QStringLiteral("最后更新：今天 09:05");
        QTest::newRow("today, midnight")
            << at(2024, 6, 15, 0, 0) << QStringLiteral("最后更新：今天 00:00");
        QTest::newRow("yesterday")
            << at(2024, 6, 14, 23, 59) << QStringLiteral("最后更新：06-14 23:59");
        QTest::newRow("new year's day")
            << at(2024, 1, 1, 0, 0) << QStringLiteral("最后更新：01-01 00:00");
        QTest::newRow("last year")
            << at(2023, 12, 31, 23, 59) << QStringLiteral("最后更新：2023-12-31 23:59");
        QTest::newRow("same day, other year")
            << at(2023, 6, 15, 14, 30) << QStringLiteral("最后更新：2023-06-15 14:30");
        QTest::newRow("next year (clock changed)")
            << at(2025, 2, 1, 8, 0) << QStringLiteral("最后更新：2025-02-01 08:00");
        QTest::newRow("none") << QDateTime() << QStringLiteral("最后更新：无记录");
    }

    void lastUpdatedFormats() {
        QFETCH(QDateTime, last);
        QFETCH(QString, text);
        QCOMPARE(RefreshHeader::lastUpdatedText(last, at(2024, 6, 15, 14, 30)), text);
    }

    void completedRefreshIsRememberedForEveryList() {
        RefreshHeader::setClock([] { return at(2024, 6, 15, 14, 30); });
        RefreshHeader *header = RefreshHeader::of(m_list.get());
        QCOMPARE(header->lastUpdatedText(), QStringLiteral("最后更新：无记录"));
        header->beginRefreshing();
        // Not completed yet: nothing is stored.
        QCOMPARE(header->lastUpdatedText(), QStringLiteral("最后更新：无记录"));
        header->endRefreshing();
        QCOMPARE(header->lastUpdatedText(), QStringLiteral("最后更新：今天 14:30"));

        QListWidget other;
        RefreshHeader *otherHeader = RefreshHeader::attach(&other, [] {});
        QCOMPARE(otherHeader->lastUpdatedText(), QStringLiteral("最后更新：今天 14:30"));

        // Across runs: a fresh settings store reads it from the file.
        SettingsStore::reset();
        QCOMPARE(RefreshHeader::lastUpdated(), at(2024, 6, 15, 14, 30));
        RefreshHeader::setClock([] { return at(2024, 6, 16, 8, 0); });
        QCOMPARE(otherHeader->lastUpdatedText(), QStringLiteral("最后更新：06-15 14:30"));
    }

    // Every way of pulling at each edge: what the control says right after the gesture, and how
    // many actions run once it is let go.
    void pullEdges_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("gestures");
        QTest::addColumn<QString>("textAfter");
        QTest::addColumn<int>("refreshes");
        QTest::addColumn<int>("loads");
        QTest::newRow("one notch snaps back") << "top"
                                              << "w120"
                                              << "下拉可以刷新" << 0 << 0;
        QTest::newRow("two notches reach the threshold") << "top"
                                                         << "w120 w120"
                                                         << "松开立即刷新" << 1 << 0;
        QTest::newRow("pulled back disarms") << "top"
                                             << "w120 w120 w-120"
                                             << "下拉可以刷新" << 0 << 0;
        QTest::newRow("wheel mid-list scrolls") << "middle"
                                                << "w120"
                                                << "" << 0 << 0;
        QTest::newRow("trackpad lifts armed") << "top"
                                              << "t0 t40 t40 tend"
                                              << "刷新中..." << 1 << 0;
        QTest::newRow("trackpad inertia") << "top"
                                          << "tmom"
                                          << "下拉可以刷新" << 0 << 0;
        QTest::newRow("mouse drag at the top") << "top"
                                               << "d150"
                                               << "刷新中..." << 1 << 0;
        QTest::newRow("short mouse drag") << "top"
                                          << "d20"
                                          << "下拉可以刷新" << 0 << 0;
        QTest::newRow("mouse drag mid-list") << "middle"
                                             << "d150"
                                             << "" << 0 << 0;
        QTest::newRow("F5 anywhere") << "middle"
                                     << "f5"
                                     << "刷新中..." << 1 << 0;
        QTest::newRow("footer one notch") << "end"
                                          << "w-120"
                                          << "上拉可以加载更多" << 0 << 0;
        QTest::newRow("footer armed") << "end"
                                      << "w-120 w-120"
                                      << "松开立即加载更多" << 0 << 1;
        QTest::newRow("footer trackpad at its threshold") << "end"
                                                          << "t0 t-44 tend"
                                                          << "正在加载..." << 0 << 1;
        QTest::newRow("footer wheel mid-list") << "middle"
                                               << "w-120 w-120"
                                               << "" << 0 << 0;
        QTest::newRow("footer drag at the end") << "end"
                                                << "d-150"
                                                << "正在加载..." << 0 << 1;
        QTest::newRow("footer drag mid-list") << "middle"
                                              << "d-150"
                                              << "" << 0 << 0;
    }
    void pullEdges() {
        QFETCH(QString, start);
        QFETCH(QString, gestures);
        QFETCH(QString, textAfter);
        QFETCH(int, refreshes);
        QFETCH(int, loads);
        bar()->setValue(start == u"top"   ? bar()->minimum()
                        : start == u"end" ? bar()->maximum()
                                          : bar()->maximum() / 2);
        const int before = bar()->value();
        // The first pull's direction tells which control it is for.
        bool footer = false, decided = false;
        for (const QString &g : gestures.split(' ')) {
            const int n = g.mid(1).toInt();
            if (g == u"f5")
                QTest::keyClick(m_list.get(), Qt::Key_F5);
            else if (g == u"tend")
                trackpad(0, Qt::ScrollEnd);
            else if (g == u"tmom")
                trackpad(200, Qt::ScrollMomentum);
            else if (g.startsWith('t'))
                trackpad(n, n ? Qt::ScrollUpdate : Qt::ScrollBegin);
            else if (g.startsWith('w'))
                wheel(n);
            else
                drag(n);
            if (!decided && n) {
                footer = n < 0;
                decided = true;
            }
        }
        PullControl *control = footer ? static_cast<PullControl *>(LoadMoreFooter::of(m_list.get()))
                                      : RefreshHeader::of(m_list.get());
        if (textAfter.isEmpty()) {
            // Away from its edge the control stays out of it and the list moves instead.
            QCOMPARE(control->pullDistance(), 0);
            QVERIFY(gestures.startsWith('d') || bar()->value() != before);
        } else {
            QCOMPARE(footer ? LoadMoreFooter::of(m_list.get())->stateText()
                            : RefreshHeader::of(m_list.get())->stateText(),
                     textAfter);
        }
        QTRY_COMPARE(m_refreshes + m_loads, refreshes + loads);
        QTRY_VERIFY(control->phase() == PullControl::Phase::Busy || control->pullDistance() == 0);
        QCOMPARE(m_refreshes, refreshes);
        QCOMPARE(m_loads, loads);
        if (refreshes + loads)
            QCOMPARE(footer ? LoadMoreFooter::of(m_list.get())->stateText()
                            : RefreshHeader::of(m_list.get())->stateText(),
                     footer ? QStringLiteral("正在加载...") : QStringLiteral("刷新中..."));
    }
};

QTEST_MAIN(tst_RefreshControls)
#include "tst_RefreshControls.moc"
