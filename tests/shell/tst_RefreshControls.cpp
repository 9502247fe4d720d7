#include "LoadMoreFooter.h"
#include "RefreshHeader.h"
#include "SettingsStore.h"

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
        SettingsStore::settings().remove(RefreshHeader::settingsKey());
        RefreshHeader::setClock({});
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

    void cleanup() {
        m_list.reset();
        RefreshHeader::setClock({});
    }

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

    // "Today" is the user's calendar day even when the time was stored in another offset.
    void lastUpdatedIsReadInLocalTime() {
        const QDateTime localNoon = at(2024, 6, 15, 12, 0);
        const QDateTime elsewhere =
            localNoon.toOffsetFromUtc(localNoon.offsetFromUtc() + 11 * 3600);
        QCOMPARE(RefreshHeader::lastUpdatedText(elsewhere, localNoon),
                 QStringLiteral("最后更新：今天 12:00"));
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

    // Lists end both controls on every answer; only a refresh that ran counts as one.
    void endingAnIdleHeaderKeepsTheTime() {
        RefreshHeader::setClock([] { return at(2024, 6, 15, 14, 30); });
        RefreshHeader *header = RefreshHeader::of(m_list.get());
        header->endRefreshing();
        QVERIFY(!RefreshHeader::lastUpdated().isValid());
        LoadMoreFooter::of(m_list.get())->beginRefreshing();
        LoadMoreFooter::of(m_list.get())->endRefreshing();
        QVERIFY(!RefreshHeader::lastUpdated().isValid());
    }

    void unreadableStoredTimeReadsAsNone_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::newRow("garbage") << QVariant(QStringLiteral("yesterday-ish"));
        QTest::newRow("empty") << QVariant(QString());
        QTest::newRow("impossible date") << QVariant(QStringLiteral("2024-13-45T99:00:00"));
        QTest::newRow("number") << QVariant(12345);
        QTest::newRow("list") << QVariant(QStringList{QStringLiteral("a"), QStringLiteral("b")});
    }

    void unreadableStoredTimeReadsAsNone() {
        QFETCH(QVariant, stored);
        SettingsStore::settings().setValue(RefreshHeader::settingsKey(), stored);
        SettingsStore::flush();
        SettingsStore::reset();
        QVERIFY(!RefreshHeader::lastUpdated().isValid());
        QCOMPARE(RefreshHeader::of(m_list.get())->lastUpdatedText(),
                 QStringLiteral("最后更新：无记录"));
        // The next completed refresh repairs it.
        RefreshHeader::setClock([] { return at(2024, 6, 15, 14, 30); });
        RefreshHeader::of(m_list.get())->beginRefreshing();
        RefreshHeader::of(m_list.get())->endRefreshing();
        QCOMPARE(RefreshHeader::lastUpdated(), at(2024, 6, 15, 14, 30));
    }

    void headerTextsFollowTheWheelPull() {
        RefreshHeader *header = RefreshHeader::of(m_list.get());
        QCOMPARE(header->stateText(), QStringLiteral("下拉可以刷新"));
        QVERIFY(header->isHidden());
        wheel(120);
        QCOMPARE(header->state(), RefreshHeader::State::Pulling);
        QCOMPARE(header->stateText(), QStringLiteral("下拉可以刷新"));
        QVERIFY(header->isVisible());
        wheel(120);
        QCOMPARE(header->state(), RefreshHeader::State::WillRefresh);
        QCOMPARE(header->stateText(), QStringLiteral("松开立即刷新"));
        QCOMPARE(m_refreshes, 0);
        // Released when the wheel stops.
        QTRY_VERIFY(header->isRefreshing());
        QCOMPARE(header->stateText(), QStringLiteral("刷新中..."));
        QCOMPARE(header->height(), RefreshHeader::Height);
        QCOMPARE(m_refreshes, 1);
        header->grab();
        header->endRefreshing();
        QCOMPARE(header->state(), RefreshHeader::State::Idle);
        QCOMPARE(header->stateText(), QStringLiteral("下拉可以刷新"));
        QVERIFY(header->isHidden());
    }

    void oneActionPerPull() {
        RefreshHeader *header = RefreshHeader::of(m_list.get());
        for (int i = 0; i < 6; ++i)
            wheel(120);
        QTRY_VERIFY(header->isRefreshing());
        // Still refreshing: more pulls, F5 and explicit begins change nothing.
        for (int i = 0; i < 6; ++i)
            wheel(120);
        QTest::keyClick(m_list.get(), Qt::Key_F5);
        header->beginRefreshing();
        QCOMPARE(m_refreshes, 1);
        header->endRefreshing();
        for (int i = 0; i < 3; ++i)
            wheel(120);
        QTRY_VERIFY(header->isRefreshing());
        QCOMPARE(m_refreshes, 2);
    }

    void shortPullSnapsBack() {
        RefreshHeader *header = RefreshHeader::of(m_list.get());
        wheel(120);
        QCOMPARE(header->state(), RefreshHeader::State::Pulling);
        QTRY_COMPARE(header->state(), RefreshHeader::State::Idle);
        QCOMPARE(m_refreshes, 0);
        QCOMPARE(header->pullDistance(), 0);
    }

    // Pulling back down before letting go disarms the pull.
    void pullingBackDisarms() {
        RefreshHeader *header = RefreshHeader::of(m_list.get());
        wheel(120);
        wheel(120);
        QCOMPARE(header->state(), RefreshHeader::State::WillRefresh);
        wheel(-120);
        QCOMPARE(header->state(), RefreshHeader::State::Pulling);
        QTRY_COMPARE(header->state(), RefreshHeader::State::Idle);
        QCOMPARE(m_refreshes, 0);
        // The list did not move while the pull was taken back.
        QCOMPARE(bar()->value(), bar()->minimum());
    }

    void wheelAwayFromTheTopScrollsTheList() {
        bar()->setValue(bar()->maximum() / 2);
        const int before = bar()->value();
        wheel(120);
        QVERIFY(bar()->value() < before);
        QCOMPARE(RefreshHeader::of(m_list.get())->pullDistance(), 0);
    }

    void trackpadReleasesWhenTheFingersLift() {
        RefreshHeader *header = RefreshHeader::of(m_list.get());
        trackpad(0, Qt::ScrollBegin);
        trackpad(40, Qt::ScrollUpdate);
        trackpad(40, Qt::ScrollUpdate);
        QCOMPARE(header->state(), RefreshHeader::State::WillRefresh);
        trackpad(0, Qt::ScrollEnd);
        QVERIFY(header->isRefreshing());
        QCOMPARE(m_refreshes, 1);
    }

    // Inertia after the fingers lift must not arm a pull on its own.
    void trackpadInertiaNeverPulls() {
        trackpad(200, Qt::ScrollMomentum);
        QCOMPARE(RefreshHeader::of(m_list.get())->pullDistance(), 0);
        QCOMPARE(m_refreshes, 0);
    }

    void mouseDragRefreshes() {
        drag(150);
        RefreshHeader *header = RefreshHeader::of(m_list.get());
        QVERIFY(header->isRefreshing());
        QCOMPARE(m_refreshes, 1);
        // The pull is not a drag-selection: the row pressed stays the current one.
        QCOMPARE(m_list->currentRow(), m_list->indexAt(QPoint(50, viewport()->height() / 2)).row());
        header->endRefreshing();
        drag(20);
        QVERIFY(!header->isRefreshing());
        QCOMPARE(m_refreshes, 1);
    }

    void mouseDragAwayFromTheTopDoesNothing() {
        bar()->setValue(bar()->maximum() / 2);
        drag(150);
        QVERIFY(!RefreshHeader::of(m_list.get())->isRefreshing());
        QCOMPARE(m_refreshes, 0);
    }

    void f5Refreshes() {
        bar()->setValue(bar()->maximum() / 2);
        QTest::keyClick(m_list.get(), Qt::Key_F5);
        QVERIFY(RefreshHeader::of(m_list.get())->isRefreshing());
        QCOMPARE(m_refreshes, 1);
        // The refreshed part of the list is brought into view.
        QCOMPARE(bar()->value(), bar()->minimum());
    }

    // An action that answers at once (a cached answer) ends the refresh inside the action.
    void actionMayEndTheRefreshItself() {
        RefreshHeader *header = RefreshHeader::attach(m_list.get(), [this] {
            ++m_refreshes;
            RefreshHeader::of(m_list.get())->endRefreshing();
        });
        QCOMPARE(RefreshHeader::of(m_list.get()), header);
        header->beginRefreshing();
        QCOMPARE(m_refreshes, 1);
        QCOMPARE(header->state(), RefreshHeader::State::Idle);
        QVERIFY(RefreshHeader::lastUpdated().isValid());
    }

    void attachingAgainReplacesTheAction() {
        int replaced = 0;
        RefreshHeader *first = RefreshHeader::of(m_list.get());
        RefreshHeader *again = RefreshHeader::attach(m_list.get(), [&replaced] { ++replaced; });
        QCOMPARE(again, first);
        QCOMPARE(m_list->findChildren<RefreshHeader *>().size(), 1);
        again->beginRefreshing();
        QCOMPARE(replaced, 1);
        QCOMPARE(m_refreshes, 0);
        QVERIFY(!RefreshHeader::attach(nullptr, [] {}));
        QVERIFY(!LoadMoreFooter::attach(nullptr, [] {}));
        QVERIFY(!RefreshHeader::of(nullptr));
    }

    // A list that goes away in the middle of a pull leaves no timer behind.
    void listDestroyedMidPull() {
        wheel(120);
        wheel(120);
        QPointer<RefreshHeader> header = RefreshHeader::of(m_list.get());
        m_list.reset();
        QVERIFY(!header);
        QTimer timer;
        QSignalSpy spy(&timer, &QTimer::timeout);
        timer.start(RefreshHeader::ReleaseDelayMs + 200);
        QVERIFY(spy.wait());
        QCOMPARE(m_refreshes, 0);
        init();
    }

    void footerTextsFollowTheWheelPull() {
        LoadMoreFooter *footer = LoadMoreFooter::of(m_list.get());
        QCOMPARE(footer->stateText(), QStringLiteral("上拉可以加载更多"));
        bar()->setValue(bar()->maximum());
        wheel(-120);
        QCOMPARE(footer->state(), LoadMoreFooter::State::Pulling);
        QCOMPARE(footer->stateText(), QStringLiteral("上拉可以加载更多"));
        wheel(-120);
        QCOMPARE(footer->state(), LoadMoreFooter::State::WillLoad);
        QCOMPARE(footer->stateText(), QStringLiteral("松开立即加载更多"));
        QTRY_VERIFY(footer->isRefreshing());
        QCOMPARE(footer->stateText(), QStringLiteral("正在加载..."));
        QCOMPARE(m_loads, 1);
        QCOMPARE(m_refreshes, 0);
        QVERIFY(footer->geometry().bottom() == viewport()->geometry().bottom());
        footer->grab();
        wheel(-120);
        wheel(-120);
        QCOMPARE(m_loads, 1);
        footer->endRefreshing();
        QCOMPARE(footer->stateText(), QStringLiteral("上拉可以加载更多"));
        // Still there after the last page: another pull loads again.
        wheel(-120);
        wheel(-120);
        QTRY_VERIFY(footer->isRefreshing());
        QCOMPARE(m_loads, 2);
    }

    void footerIgnoresPullsAboveTheEnd() {
        bar()->setValue(bar()->maximum() / 2);
        const int before = bar()->value();
        wheel(-120);
        QVERIFY(bar()->value() > before);
        QCOMPARE(LoadMoreFooter::of(m_list.get())->pullDistance(), 0);
        drag(-150);
        QCOMPARE(m_loads, 0);
    }

    void footerMouseDrag() {
        bar()->setValue(bar()->maximum());
        drag(-150);
        QVERIFY(LoadMoreFooter::of(m_list.get())->isRefreshing());
        QCOMPARE(m_loads, 1);
        QVERIFY(!RefreshHeader::of(m_list.get())->isRefreshing());
    }

    // A list shorter than its view is at its top and its end at once: the direction decides.
    void shortListTellsThePullsApart() {
        fill(2);
        QTRY_COMPARE(bar()->maximum(), 0);
        wheel(120);
        wheel(120);
        QCOMPARE(LoadMoreFooter::of(m_list.get())->pullDistance(), 0);
        wheel(-60); // taking part of the pull back is not a load-more pull
        QCOMPARE(LoadMoreFooter::of(m_list.get())->pullDistance(), 0);
        wheel(120);
        QTRY_VERIFY(RefreshHeader::of(m_list.get())->isRefreshing());
        QCOMPARE(m_loads, 0);
        wheel(-120);
        wheel(-120);
        QTRY_VERIFY(LoadMoreFooter::of(m_list.get())->isRefreshing());
        QCOMPARE(m_refreshes, 1);
        QCOMPARE(m_loads, 1);
    }

    void stripsFollowTheListSize() {
        RefreshHeader *header = RefreshHeader::of(m_list.get());
        header->beginRefreshing();
        m_list->resize(414, 600);
        QTRY_COMPARE(header->width(), viewport()->width());
        QCOMPARE(header->geometry().top(), viewport()->geometry().top());
    }
};

QTEST_MAIN(tst_RefreshControls)
#include "tst_RefreshControls.moc"
