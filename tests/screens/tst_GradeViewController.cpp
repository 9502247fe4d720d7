#include "AnswerHandling.h"
#include "AppWindow.h"
#include "LoginState.h"
#include "NavigationController.h"
#include "NotificationCenter.h"
#include "ProgressHud.h"
#include "SegmentedControl.h"
#include "StubHttpServer.h"
#include "Tags.h"
#include "TeacherRequestManager.h"
#include "Toast.h"
#include "reflections/FeelRows.h"
#include "reflections/GradeAlertView.h"
#include "reflections/GradeDetailVC.h"
#include "reflections/GradeListCell.h"
#include "reflections/GradeListVC.h"
#include "reflections/GradeViewController.h"

#include <QAbstractItemModelTester>
#include <QListView>
#include <QPushButton>
#include <QtTest>

// The three reflection lists against the stub service: when each loads and what it sends, what a
// row shows for each grade and what it opens, each answer, and the grading notification.
class tst_GradeViewController : public QObject {
    Q_OBJECT

    StubHttpServer m_server;
    std::unique_ptr<AppWindow> m_window;
    QPointer<NavigationController> m_stack;
    QPointer<GradeViewController> m_screen;

    static constexpr const char *ListPath = "Mobile/GetFeelList";

    static QByteArray row(qint64 feelId, const QString &grade, const QString &book = "小王子") {
        return QJsonDocument(QJsonObject{{"FeelId", feelId},
                                         {"BookName", book},
                                         {"RealName", "李小明"},
                                         {"CreateTimeStr", "2026-12-01 09:30"},
                                         {"FeelTypeStr", grade}})
            .toJson(QJsonDocument::Compact);
    }
    static StubHttpServer::Answer list(const QList<QByteArray> &rows, int delayMs = 0) {
        auto answer = StubHttpServer::Answer::json(R"({"result":1,"feelList":[)" +
                                                   QByteArrayList(rows).join(',') + "]}");
        answer.delayMs = delayMs;
        return answer;
    }

    // The feelType of every list request so far.
    QStringList listRequests() const {
        QStringList types;
        for (const auto &request : m_server.requests()) {
            if (request.path == QLatin1String(ListPath))
                types << request.form().value("feelType");
        }
        return types;
    }

    GradeListVC *child(int index) const { return m_screen->gradeListVCs().value(index); }

    void choose(int segment) {
        auto *control = qobject_cast<SegmentedControl *>(m_screen->titleView());
        QVERIFY(control);
        QTest::mouseClick(control, Qt::LeftButton, {}, control->segmentRect(segment).center());
        QCOMPARE(m_screen->currentVC(), child(segment));
    }

    // Waits until `list` has loaded: its header stopped refreshing and the rows are in.
    static void settle(GradeListVC *list) {
        QTRY_VERIFY(list->refreshHeader() && !list->refreshHeader()->isRefreshing());
        QTRY_VERIFY(!list->gradeArray()->isLoading());
    }

    void open() {
        m_screen = new GradeViewController;
        m_stack->pushViewController(m_screen, false);
        QVERIFY(m_screen->isViewLoaded());
        settle(child(0));
    }

private slots:
    void initTestCase() {
        QVERIFY(m_server.start());
        qputenv("TEACHER_SERVICE_URL", m_server.baseUrl().toUtf8());
    }

    void init() {
        LoginState::reset();
        LoginRsp::shareRsp().uid = 7;
        m_server.clearRequests();
        m_server.setAnswer(ListPath, list({}));
        m_window = std::make_unique<AppWindow>();
        m_window->resize(375, 667);
        m_stack = new NavigationController(new BasicVC);
        m_window->setRootViewController(m_stack);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanup() {
        m_window.reset();
        Toast::hide();
        ProgressHud::dismiss();
    }

    void eachListLoadsWhenFirstChosen() {
        open();
        QVERIFY(m_screen->hidesBottomBarWhenPushed());
        auto *control = qobject_cast<SegmentedControl *>(m_screen->titleView());
        QCOMPARE(control->titles(), (QStringList{"全部", "待批阅", "已批阅"}));
        QCOMPARE(control->selectedSegmentIndex(), 0);
        QCOMPARE(m_server.lastRequest().form(),
                 (QHash<QString, QString>{{"uid", "7"}, {"feelType", "0"}}));
        QVERIFY(!child(1)->isViewLoaded());
        QVERIFY(!child(2)->isViewLoaded());
        choose(1);
        settle(child(1));
        QVERIFY(child(1)->isVisible());
        QVERIFY(!child(0)->isVisible());
        choose(0);
        choose(1);
        choose(1);
        QCOMPARE(listRequests(), (QStringList{"0", "1"}));
        // F5 in the list reloads it.
        child(1)->tableView()->setFocus();
        QTest::keyClick(child(1)->tableView(), Qt::Key_F5);
        settle(child(1));
        QCOMPARE(listRequests(), (QStringList{"0", "1", "1"}));
    }

    void rowsShowAndOpenByGrade_data() {
        QTest::addColumn<QString>("grade");
        QTest::addColumn<QString>("icon");
        QTest::addColumn<QString>("colour");
        QTest::addColumn<int>("detailType");
        QTest::newRow("excellent") << "优秀"
                                   << "grade_good_icon"
                                   << "#399f15" << 200;
        QTest::newRow("good") << "良好"
                              << "grade_liang_icon"
                              << "#399f15" << 200;
        QTest::newRow("pass") << "合格"
                              << "grade_success_icon"
                              << "#399f15" << 200;
        QTest::newRow("fail") << "不合格"
                              << "grade_fail_icon"
                              << "#eb0000" << 200;
        QTest::newRow("waiting: grading mode") << "待批阅"
                                               << ""
                                               << "#555555" << 201;
        QTest::newRow("unknown text: read-only, grey") << "已阅"
                                                       << ""
                                                       << "#555555" << 200;
    }

    void rowsShowAndOpenByGrade() {
        QFETCH(QString, grade);
        QFETCH(QString, icon);
        QFETCH(QString, colour);
        QFETCH(int, detailType);
        m_server.setAnswer(ListPath, list({row(5, "优秀", "其他"), row(42, grade)}));
        open();
        FeelRows *rows = child(0)->gradeArray();
        QCOMPARE(rows->count(), 2);
        const QModelIndex index = rows->index(1);
        QCOMPARE(index.data(FeelRows::BookNameRole).toString(), QStringLiteral("《小王子》"));
        QCOMPARE(index.data(FeelRows::AuthorNameRole).toString(), QStringLiteral("李小明"));
        QCOMPARE(index.data(FeelRows::TimeRole).toString(), QStringLiteral("2026-12-01 09:30"));
        QCOMPARE(index.data(FeelRows::TypeTextRole).toString(), grade);
        QCOMPARE(index.data(FeelRows::TypeImageRole).toString(), icon);
        QCOMPARE(index.data(FeelRows::TypeColorRole).value<QColor>().name(), colour);
        QListView *view = child(0)->tableView();
        QCOMPARE(view->visualRect(index).height(), GradeListCell::RowHeight);

        m_server.setAnswer("Mobile/GetSingleFeel", StubHttpServer::Answer::json(R"({"result":0})"));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
        auto *detail = qobject_cast<GradeDetailVC *>(m_stack->topViewController());
        QVERIFY(detail);
        QCOMPARE(detail->feelId(), 42);
        QCOMPARE(detail->detailType(), detailType);
        QVERIFY(!view->selectionModel()->hasSelection());
        QCOMPARE(m_stack->viewControllers().size(), 3);
        QTRY_VERIFY(!ProgressHud::isVisible());
    }

    void answersKeepOrReplaceTheList_data() {
        QTest::addColumn<StubHttpServer::Answer>("answer");
        QTest::addColumn<int>("rowsAfter");
        QTest::addColumn<QString>("toast");
        QTest::newRow("empty list: empty, no message") << list({}) << 0 << "";
        QTest::newRow("refusal keeps the rows")
            << StubHttpServer::Answer::json(R"({"result":0,"msg":"稍后再试","feelList":[]})") << 2
            << "稍后再试";
        QTest::newRow("transport failure keeps the rows")
            << StubHttpServer::Answer::dropped() << 2 << "无网络连接";
    }

    void answersKeepOrReplaceTheList() {
        QFETCH(StubHttpServer::Answer, answer);
        QFETCH(int, rowsAfter);
        QFETCH(QString, toast);
        m_server.setAnswer(ListPath, list({row(1, "优秀"), row(2, "待批阅")}));
        open();
        GradeListVC *all = child(0);
        QAbstractItemModelTester tester(all->gradeArray());
        QCOMPARE(all->gradeArray()->count(), 2);
        m_server.setAnswer(ListPath, answer);
        all->refreshHeader()->beginRefreshing();
        settle(all);
        QCOMPARE(all->gradeArray()->count(), rowsAfter);
        QCOMPARE(Toast::currentText(), toast);
        // The empty list shows no cover either.
        QVERIFY(!viewWithTag(all, 500));
    }

    void gradingReloadsEveryOpenList() {
        m_server.setAnswer(ListPath, list({row(9, "待批阅")}));
        open();
        choose(2);
        settle(child(2));
        QCOMPARE(listRequests(), (QStringList{"0", "2"}));
        // Graded from the review screen, opened on the "全部" list.
        choose(0);
        QListView *view = child(0)->tableView();
        m_server.setAnswer("Mobile/GetSingleFeel",
                           StubHttpServer::Answer::json(R"({"result":1,"feel":{"Content":"x"}})"));
        m_server.setAnswer("Mobile/UpdateFeel", StubHttpServer::Answer::json(R"({"result":1})"));
        view->setFocus();
        view->setCurrentIndex(child(0)->gradeArray()->index(0));
        QTest::keyClick(view, Qt::Key_Return);
        auto *detail = qobject_cast<GradeDetailVC *>(m_stack->topViewController());
        QVERIFY(detail);
        QTRY_VERIFY(detail->feelRsp().has_value());
        detail->markClickAction();
        GradeAlertView::current()->receiveGoodsAction();
        QTRY_COMPARE(listRequests().size(), 4);
        QCOMPARE(listRequests().mid(2), (QStringList{"0", "2"}));
        QVERIFY(!child(1)->isViewLoaded());
        // Back on the lists: no reload of its own.
        m_stack->popViewController(false);
        settle(child(0));
        settle(child(2));
        QCOMPARE(listRequests().size(), 4);
    }

    void aRowThatVanishedOpensNothing() {
        m_server.setAnswer(ListPath, list({row(1, "优秀"), row(2, "优秀"), row(3, "待批阅")}));
        open();
        FeelRows *rows = child(0)->gradeArray();
        const QModelIndex third = rows->index(2);
        m_server.setAnswer(ListPath, list({row(1, "优秀")}));
        child(0)->getFeelListAction();
        QTRY_COMPARE(rows->count(), 1);
        const int before = m_server.requests().size();
        child(0)->tableViewDidSelectRowAtIndexPath(third);
        child(0)->tableViewDidSelectRowAtIndexPath(rows->index(5));
        child(0)->tableViewDidSelectRowAtIndexPath({});
        QCOMPARE(m_stack->viewControllers().size(), 2);
        QCOMPARE(m_server.requests().size(), before);
    }

    void lateAnswerAfterTheScreenIsGone() {
        m_server.setAnswer(ListPath, list({row(1, "优秀")}, 300));
        QSignalSpy received(&m_server, &StubHttpServer::requestReceived);
        m_screen = new GradeViewController;
        m_stack->pushViewController(m_screen, false);
        QVERIFY(received.wait(5000));
        // Esc goes back, and the screen with its lists goes.
        m_screen->activateWindow();
        child(0)->tableView()->setFocus();
        QTest::keyClick(child(0)->tableView(), Qt::Key_Escape);
        m_stack->finishTransitions();
        QTRY_VERIFY(m_screen.isNull());
        QCOMPARE(NotificationCenter::observerCount(NOTIFICATION_UPDATE_GRADE), 0);
        // A probe sent now is answered after the late answer, which has then met no screen.
        bool probed = false;
        const auto probe = AnswerHandler<GetFeelListRsp>(nullptr).onSuccess(
            [&](const GetFeelListRsp &) { probed = true; });
        TeacherRequestManager::request_GetFeelList_WithParams({}, probe.completion(),
                                                              probe.failure());
        QTRY_VERIFY(probed);
        QCOMPARE(m_stack->viewControllers().size(), 1);
        QVERIFY(!Toast::isShowing());
    }
};

QTEST_MAIN(tst_GradeViewController)
#include "tst_GradeViewController.moc"
