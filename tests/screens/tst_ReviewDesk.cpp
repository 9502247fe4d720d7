#include "AlertView.h"
#include "AppDelegate.h"
#include "AppWindow.h"
#include "BaseAFHttpManager.h"
#include "CataloguePath.h"
#include "HeldChanges.h"
#include "LoginState.h"
#include "NavigationController.h"
#include "OfflineBar.h"
#include "ScreenFactory.h"
#include "ScreenTestFixture.h"
#include "SegmentedControl.h"
#include "reflections/FeelRows.h"
#include "reflections/GradeAlertView.h"
#include "reflections/GradeDetailVC.h"
#include "reflections/GradePost.h"
#include "reflections/GradeViewController.h"
#include "reflections/GradeVocabulary.h"
#include "reflections/ReviewDesk.h"

#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QtTest>

// The review desk beside the reflection list, against the stub service: what each key grades,
// moving on to the next waiting reflection, the undo window, held grades at sign-out, a batch with
// refusals, prefetches of a list left behind, the width switch, a reload under held grades.
class tst_ReviewDesk : public QObject {
    Q_OBJECT
    using Answer = StubHttpServer::Answer;
    using Rows = QList<std::pair<qint64, QString>>;

    ScreenTestFixture m_fixture;
    StubHttpServer &m_server = m_fixture.server();
    QPointer<NavigationController> m_stack;
    QPointer<GradeViewController> m_lists;
    QPointer<ReviewDesk> m_desk;

    inline static const QString ListPath = TestCatalogue::pathOf(Operation::GetFeelList);
    inline static const QString LoadPath = TestCatalogue::pathOf(Operation::GetSingleFeel);
    inline static const QString GradePath = TestCatalogue::pathOf(Operation::UpdateFeel);
    inline static const QString W = GradeVocabulary::WaitingText;

    static Answer late(const QByteArray &body, int delayMs) {
        Answer answer = Answer::json(body);
        answer.delayMs = delayMs;
        return answer;
    }
    static Answer list(const Rows &rows) {
        QJsonArray feels;
        for (const auto &[feelId, grade] : rows)
            feels.append(QJsonObject{{"FeelId", feelId}, {"FeelTypeStr", grade}});
        return Answer::json(StubAnswers::ok({{"feelList", feels}}));
    }
    // feelId -> feelType of every grade the stub received.
    QMap<QString, QString> sent() const {
        QMap<QString, QString> grades;
        for (const auto &request : m_server.requestsTo(GradePath))
            grades.insert(request.form().value("feelId"), request.form().value("feelType"));
        return grades;
    }
    QListView *view() const { return m_lists->currentVC()->tableView(); }
    FeelRows *rows() const { return m_lists->currentVC()->gradeArray(); }
    qint64 currentFeel() const {
        return view()->currentIndex().data(FeelRows::FeelIdRole).toLongLong();
    }
    void select(int row) { view()->setCurrentIndex(rows()->index(row)); }

    void openDesk(const Rows &feels) {
        m_server.setAnswer(ListPath, list(feels));
        m_fixture.window()->resize(1000, 700);
        m_lists = new GradeViewController;
        m_stack->pushViewController(m_lists, false);
        QTRY_VERIFY(m_lists->currentVC()->refreshHeader() &&
                    !m_lists->currentVC()->refreshHeader()->isRefreshing());
        QTRY_VERIFY(m_lists->isWide() && rows()->rowCount() == int(feels.size()));
        m_desk = m_lists->desk();
        QVERIFY(m_desk->isVisible());
        view()->setFocus();
    }

private slots:
    void init() {
        QVERIFY(m_fixture.reset());
        LoginRsp::shareRsp().uid = 7;
        m_server.setAnswer(LoadPath, Answer::json(StubAnswers::ok(
                                         {{"feel", QJsonObject{{"Content", "读后感"}}}})));
        m_server.setAnswer(GradePath, Answer::json(StubAnswers::ok()));
        QVERIFY(m_stack = m_fixture.showStack());
    }

    void cleanup() {
        m_fixture.closeWindow();
        QTRY_VERIFY(!GradeAlertView::current());
    }

    // A key before the list has its rows (the screen opened wide, the first answer not in).
    void keyBeforeTheListHasRows() {
        ReviewDesk desk;
        QListView view;
        FeelRows rows;
        desk.setList(&view, &rows);
        desk.gradeWithKey(1);
        QCOMPARE(HeldChanges::instance().heldCount(), 0);
    }

    void keysGiveTheGradesInTheDialogsOrder_data() {
        QTest::addColumn<int>("digit");
        QTest::addColumn<int>("code"); // 0: no grade
        QTest::newRow("1 excellent") << 1 << 4;
        QTest::newRow("2 good") << 2 << 3;
        QTest::newRow("3 pass") << 3 << 2;
        QTest::newRow("4 fail") << 4 << 1;
        QTest::newRow("0 nothing") << 0 << 0;
        QTest::newRow("5 nothing") << 5 << 0;
    }

    void keysGiveTheGradesInTheDialogsOrder() {
        QFETCH(int, digit);
        QFETCH(int, code);
        const auto grade = GradeVocabulary::byKey(digit);
        QCOMPARE(grade ? grade->code : 0, code);
        // The phone-width dialog picks the same, from a grade the key does not give.
        auto *dialog = new GradeAlertView([](int) {});
        dialog->show();
        const int from = digit == 4 ? 0 : 3;
        dialog->gradeClickAction(dialog->panel()->gradeButtons().at(from));
        QTest::keyClick(dialog->backgroundView(), Qt::Key(Qt::Key_0 + digit));
        QCOMPARE(dialog->resultType(), code ? code : 4 - from);
        dialog->dismissAlertShow();
    }

    // The key holds the grade and the next waiting one follows; on a graded or held one it does
    // nothing. A reload keeps the held ones pending and the selection; only the two grades go out.
    void gradingMovesOnAndSkipsWhatIsNotWaiting() {
        openDesk({{1, W}, {2, "优秀"}, {3, W}, {4, W}, {5, W}});
        select(2);
        QTest::keyClick(view(), Qt::Key_3);
        QCOMPARE(currentFeel(), 4);
        select(0);
        QTest::keyClick(view(), Qt::Key_1);
        QCOMPARE(currentFeel(), 4);
        for (int row : {1, 2}) {
            select(row);
            QTest::keyClick(view(), Qt::Key_4);
            QCOMPARE(currentFeel(), row + 1);
        }
        m_server.setAnswer(ListPath, list({{1, W}, {2, "优秀"}, {3, W}, {4, W}, {5, W}, {6, W}}));
        m_lists->currentVC()->getFeelListAction();
        QTRY_COMPARE(rows()->rowCount(), 6);
        QCOMPARE(currentFeel(), 3);
        QCOMPARE(m_desk->shownFeelId(), 3);
        for (int row : {0, 2}) {
            QVERIFY(rows()->index(row).data(FeelRows::PendingRole).toBool());
            QVERIFY(!rows()->index(row).data(FeelRows::WaitingRole).toBool());
        }
        QCOMPARE(m_desk->waitingCount(), 3);
        QCOMPARE(HeldChanges::instance().heldCount(), 2);
        QCOMPARE(m_desk->gradedThisSitting(), 0); // held is not graded: it may still be refused
        QCOMPARE(HeldChanges::instance().settle(5000), 0);
        QCOMPARE(m_desk->gradedThisSitting(), 2);
        QCOMPARE(sent(), (QMap<QString, QString>{{"1", "4"}, {"3", "2"}}));
        QCOMPARE(m_server.requestsTo(GradePath).size(), 2);
    }

    void undoTakesBackTheLastGradeOnly() {
        openDesk({{1, W}, {2, W}, {3, W}});
        select(0);
        m_desk->gradeWithKey(2);
        m_desk->gradeWithKey(4);
        QCOMPARE(currentFeel(), 3);
        QTest::keyClick(view(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(currentFeel(), 2);
        QCOMPARE(m_desk->shownFeelId(), 2);
        QVERIFY(rows()->index(1).data(FeelRows::WaitingRole).toBool());
        QCOMPARE(HeldChanges::instance().state(FeelRows::gradeKey(1)), HeldChanges::State::Held);
        QCOMPARE(HeldChanges::instance().settle(5000), 0);
        QCOMPARE(sent(), (QMap<QString, QString>{{"1", "3"}}));
    }

    // One window ending sends its grade only; the later one can still be taken back.
    void aWindowEndingSendsOnlyItsGrade() {
        HeldChanges::instance().setHoldMs(400);
        openDesk({{1, W}, {2, W}});
        select(0);
        m_desk->gradeWithKey(1);
        QTest::qWait(200);
        m_desk->gradeWithKey(2);
        QTRY_COMPARE(sent().size(), 1);
        QCOMPARE(HeldChanges::instance().state(FeelRows::gradeKey(2)), HeldChanges::State::Held);
        QCOMPARE(HeldChanges::instance().takeBackLast(), FeelRows::gradeKey(2));
        QTRY_COMPARE(HeldChanges::instance().pendingCount(), 0);
        QCOMPARE(sent(), (QMap<QString, QString>{{"1", "4"}}));
    }

    // A call cut by a sign-out or the program quitting ends the grade: waiting again, nothing
    // left on its way for a later leaving to wait for.
    void aGradeWhoseCallIsCutWaitsAgain() {
        m_server.setAnswer(GradePath, late(StubAnswers::ok(), 3000));
        openDesk({{1, W}, {2, W}});
        select(0);
        m_desk->gradeWithKey(1);
        HeldChanges::instance().sendAllNow();
        QTRY_COMPARE(m_server.requestsTo(GradePath).size(), 1);
        BaseAFHttpManager::abortPendingCalls();
        QTRY_COMPARE(HeldChanges::instance().pendingCount(), 0);
        QVERIFY(rows()->isWaiting(0));
        QCOMPARE(m_desk->gradedThisSitting(), 0);
    }

    // Every grade ends accepted, or waiting again with the reason in words; a service that
    // answered is never "no network".
    void everyGradeEndsWithItsReason_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("reason"); // empty: accepted
        QTest::newRow("accepted") << StubAnswers::ok() << 200 << QString();
        QTest::newRow("refused") << StubAnswers::refused("已被批阅") << 200 << "已被批阅";
        QTest::newRow("refused, no msg") << StubAnswers::refused("") << 200 << "服务未说明原因";
        QTest::newRow("server error") << QByteArray("{}") << 500 << "服务出错（500）";
        QTest::newRow("not json") << QByteArray("[1,") << 200 << "服务的回答无法读取";
    }
    void everyGradeEndsWithItsReason() {
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(QString, reason);
        m_server.setAnswer(GradePath, Answer::json(body, status));
        auto said = std::make_shared<std::optional<QString>>();
        GradePost::submit(9, 4, [said](bool, const QString &why) { *said = why; });
        QTRY_VERIFY(said->has_value());
        QCOMPARE(**said, reason);
        QCOMPARE(HeldChanges::instance().state(FeelRows::gradeKey(9)),
                 reason.isEmpty() ? HeldChanges::State::Accepted : HeldChanges::State::None);
    }

    void signingOutSendsEveryHeldGradeFirst() {
        ScreenFactory::setLoginStack(&BasicVC::staticMetaObject,
                                     [] { return new NavigationController(new BasicVC); });
        m_server.setAnswer(GradePath, late(StubAnswers::ok(), 200));
        openDesk({{1, W}, {2, W}, {3, W}});
        select(0);
        for (int digit : {1, 3, 4})
            m_desk->gradeWithKey(digit);
        QCOMPARE(HeldChanges::instance().heldCount(), 3);
        QVERIFY(AppDelegate::makeLoginStackRoot());
        QCOMPARE(sent(), (QMap<QString, QString>{{"1", "4"}, {"2", "2"}, {"3", "1"}}));
        QCOMPARE(HeldChanges::instance().heldCount() + HeldChanges::instance().sendingCount(), 0);
    }

    // Six selected, two refused: at most four on their way at once, the summary names the failures
    // and their reason, and the refused stay selected and waiting after the lists reload.
    void batchKeepsTheRefusedSelected() {
        openDesk({{1, W}, {2, W}, {3, W}, {4, W}, {5, W}, {6, W}, {7, "优秀"}});
        int mostOut = 0;
        QObject counting;
        connect(&m_server, &StubHttpServer::requestReceived, &counting,
                [&](const StubHttpServer::Recorded &request) {
                    if (request.path != GradePath)
                        return;
                    const bool refused = QStringList{"2", "5"}.contains(request.form()["feelId"]);
                    m_server.queueAnswer(
                        GradePath,
                        late(refused ? StubAnswers::refused("已被批阅") : StubAnswers::ok(), 300));
                    mostOut = qMax(mostOut, BaseAFHttpManager::callsInFlight());
                });
        select(0);
        view()->selectAll();
        m_desk->gradeWithKey(2);
        QVERIFY(AlertView::current());
        QCOMPARE(AlertView::current()->message(), QStringLiteral("将 6 篇读后感批为「良好」？"));
        QCOMPARE(AlertView::current()->buttonTitles(), (QStringList{"取消", "确定"}));
        QTRY_COMPARE(BaseAFHttpManager::callsInFlight(), 0); // the prefetches
        const QString G = "良好";
        m_server.setAnswer(ListPath,
                           list({{1, G}, {2, W}, {3, G}, {4, G}, {5, W}, {6, G}, {7, G}}));
        AlertView::current()->clickButton(1);
        QVERIFY(m_desk->isBatchRunning());
        QTRY_VERIFY_WITH_TIMEOUT(!m_desk->isBatchRunning(), 10000);
        QCOMPARE(mostOut, ReviewDesk::BatchInFlight);
        const QMap<QString, QString> grades = sent();
        QCOMPARE(grades.size(), 6);
        QCOMPARE(QSet<QString>(grades.cbegin(), grades.cend()), QSet<QString>{"3"});
        QCOMPARE(m_desk->findChild<QLabel *>("deskBatchLine")->text(),
                 QStringLiteral("4 篇已批阅，2 篇未能批阅：已被批阅"));
        // The reload the batch asks for (the stub may still see requests a previous case left).
        QTRY_COMPARE(rows()->index(0).data(FeelRows::TypeTextRole).toString(), QString("良好"));
        QSet<qint64> selected;
        for (const QModelIndex &index : view()->selectionModel()->selectedIndexes()) {
            QVERIFY(index.data(FeelRows::WaitingRole).toBool());
            selected << index.data(FeelRows::FeelIdRole).toLongLong();
        }
        QCOMPARE(selected, (QSet<qint64>{2, 5}));
    }

    // Back during a batch loses nothing: every grade still goes out, and its row shows it at once.
    void aBatchGoesOnAfterTheScreenIsLeft() {
        m_server.setAnswer(GradePath, late(StubAnswers::ok(), 200));
        openDesk({{1, W}, {2, W}, {3, W}, {4, W}, {5, W}, {6, W}});
        select(0);
        view()->selectAll();
        m_desk->gradeWithKey(3);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(m_desk->isBatchRunning());
        QCOMPARE(rows()->index(5).data(FeelRows::TypeTextRole).toString(), QStringLiteral("合格"));
        QVERIFY(!rows()->isWaiting(5));
        m_stack->popViewController(false);
        QTRY_VERIFY(!m_lists);
        QTRY_COMPARE(sent().size(), 6);
        QTRY_COMPARE(HeldChanges::instance().pendingCount(), 0);
    }

    // Closing the window with a grade unanswered waits, then asks rather than vanishing; waiting
    // on (Enter) closes it once the answer is in.
    void closingWithAnUnansweredGradeAsks() {
        m_server.setAnswer(GradePath, late(StubAnswers::ok(), HeldChanges::LeavingWaitMs + 1500));
        openDesk({{1, W}});
        select(0);
        m_desk->gradeWithKey(1);
        QVERIFY(!m_fixture.window()->close());
        QTRY_VERIFY_WITH_TIMEOUT(AlertView::current(), HeldChanges::LeavingWaitMs + 1000);
        QVERIFY(m_fixture.window()->isVisible());
        QVERIFY(AlertView::current()->message().startsWith(QStringLiteral("还有 1 篇批阅未发送")));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(!m_fixture.window()->isVisible(), 5000);
        QCOMPARE(HeldChanges::instance().state(FeelRows::gradeKey(1)),
                 HeldChanges::State::Accepted);
    }

    // Offline the desk gives no grade it could not send, and says why.
    void offlineTheDeskDoesNotGrade() {
        openDesk({{1, W}, {2, W}});
        select(0);
        OfflineBar::showOn(m_lists, QDateTime::currentDateTime());
        m_desk->gradeWithKey(1);
        QCOMPARE(HeldChanges::instance().pendingCount(), 0);
        select(1);
        QVERIFY(!m_desk->findChild<QPushButton *>("deskGrade1")->isEnabled());
        QCOMPARE(m_desk->findChild<QLabel *>("deskGradeState")->text(), ReviewDesk::OfflineText);
    }

    // On the graded list the desk shows a graded reflection with its grade and counts what waits
    // in the teacher's other list.
    void theGradedListCountsTheTeachersWaiting() {
        QObject answering;
        connect(&m_server, &StubHttpServer::requestReceived, &answering,
                [this](const StubHttpServer::Recorded &request) {
                    if (request.path == ListPath)
                        m_server.queueAnswer(ListPath, request.form().value("feelType") == "1"
                                                           ? list({{8, W}, {9, W}})
                                                           : list({{1, "优秀"}, {2, "良好"}}));
                });
        openDesk({{1, "优秀"}, {2, "良好"}});
        QTRY_COMPARE(m_desk->progressText(), QStringLiteral("待批阅 2 篇 · 本次已批 0 篇"));
        QCOMPARE(m_desk->shownFeelId(), 1);
        QCOMPARE(m_desk->findChild<QLabel *>("deskGradeState")->text(),
                 QStringLiteral("已批阅：优秀"));
        QVERIFY(!m_desk->findChild<QLabel *>("deskAllDone")->isVisible());
    }

    // At phone width a reflection graded on the desk and still held opens read-only.
    void aHeldGradeOpensReadOnly() {
        openDesk({{1, W}, {2, W}});
        select(0);
        m_desk->gradeWithKey(2);
        m_fixture.window()->resize(600, 700);
        QTRY_VERIFY(!m_lists->isWide());
        m_lists->currentVC()->tableViewDidSelectRowAtIndexPath(rows()->index(0));
        auto *detail = qobject_cast<GradeDetailVC *>(m_stack->topViewController());
        QVERIFY(detail);
        QCOMPARE(detail->detailType(), int(GradeDetailVC::ReadOnlyType));
        QTRY_VERIFY(!detail->rightButton());
    }

    void prefetchesOfAListLeftBehindAreDropped() {
        m_server.setAnswer(LoadPath, late(StubAnswers::ok({{"feel", QJsonObject()}}), 300));
        openDesk({{1, W}, {2, "优秀"}, {3, W}, {4, W}});
        select(0);
        const QList<qint64> fetching = m_desk->prefetching();
        QCOMPARE(QSet<qint64>(fetching.cbegin(), fetching.cend()), (QSet<qint64>{1, 3, 4}));
        // The list switched to has none of them, so only the old list's answers could bring them.
        m_server.setAnswer(ListPath, list({}));
        auto *segment = qobject_cast<SegmentedControl *>(m_lists->titleView());
        QTest::mouseClick(segment, Qt::LeftButton, {}, segment->segmentRect(1).center());
        QCOMPARE(m_desk->list(), view());
        QVERIFY(m_desk->prefetching().isEmpty());
        QTRY_COMPARE(BaseAFHttpManager::callsInFlight(), 0);
        for (qint64 feelId : {1, 3, 4})
            QVERIFY(!m_desk->hasDetail(feelId));
    }

    // The list in view goes out as it is shown, a grade held here included.
    void exportShowsTheGradesGivenHere() {
        openDesk({{1, W}, {2, "优秀"}});
        select(0);
        m_desk->gradeWithKey(3);
        const ExportTable table = m_lists->currentVC()->exportDocument().currentView();
        QCOMPARE(table.rows.size(), 2);
        QCOMPARE(table.rows[0].last(), QStringLiteral("合格"));
        QCOMPARE(table.rows[1].last(), QStringLiteral("优秀"));
    }

    void crossingTheWidthKeepsTheSelection() {
        openDesk({{1, "优秀"}, {2, W}, {3, W}});
        // The desk opens on the first waiting reflection.
        QTRY_COMPARE(m_desk->shownFeelId(), 2);
        select(1);
        for (int width : {600, 1000, 899, 900}) {
            m_fixture.window()->resize(width, 700);
            const bool wide = width >= GradeViewController::WideWidth;
            QTRY_COMPARE(m_lists->isWide(), wide);
            QCOMPARE(m_desk->isVisible(), wide);
            QCOMPARE(currentFeel(), 2);
            QCOMPARE(m_desk->shownFeelId(), wide ? 2 : 0);
        }
    }
};

QTEST_MAIN(tst_ReviewDesk)
#include "tst_ReviewDesk.moc"
