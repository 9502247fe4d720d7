#include "AnswerCache.h"
#include "BaseAFHttpManager.h"
#include "CataloguePath.h"
#include "ImageLoader.h"
#include "LoginState.h"
#include "NavigationController.h"
#include "NotificationCenter.h"
#include "OfflineBar.h"
#include "ProgressHud.h"
#include "ScreenTestFixture.h"
#include "SegmentedControl.h"
#include "Tags.h"
#include "Toast.h"
#include "reflections/FeelRows.h"
#include "reflections/GradeAlertView.h"
#include "reflections/GradeDetailVC.h"
#include "reflections/GradeListCell.h"
#include "reflections/GradeListVC.h"
#include "reflections/GradePost.h"
#include "reflections/GradeViewController.h"
#include "reflections/PictureBrowser.h"
#include "reflections/PictureGrid.h"

#include <QAbstractItemModelTester>
#include <QBuffer>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

// The reflection screens against the stub service. The lists: when each loads and what it sends,
// what a row shows for each grade and what it opens, each answer, the grading notification. The
// review: what it shows in each mode, the grading dialog and what each of its ways out sends, and
// the picture browser. Late answers and vanished rows on both.
class tst_Reflections : public QObject {
    Q_OBJECT
    using Answer = StubHttpServer::Answer;

    ScreenTestFixture m_fixture;
    StubHttpServer &m_server = m_fixture.server();
    QTemporaryDir m_cache;
    QPointer<NavigationController> m_stack;
    QPointer<GradeViewController> m_lists;
    QPointer<GradeDetailVC> m_detail;
    int m_serial = 0;

    inline static const QString ListPath = TestCatalogue::pathOf(Operation::GetFeelList);
    inline static const QString LoadPath = TestCatalogue::pathOf(Operation::GetSingleFeel);
    inline static const QString GradePath = TestCatalogue::pathOf(Operation::UpdateFeel);

    QList<QHash<QString, QString>> formsOf(const QString &path) const {
        QList<QHash<QString, QString>> forms;
        for (const auto &request : m_server.requestsTo(path))
            forms << request.form();
        return forms;
    }
    int countOf(const QString &path) const { return int(formsOf(path).size()); }
    QHash<QString, QString> lastFormOf(const QString &path) const {
        return formsOf(path).value(countOf(path) - 1);
    }
    // The feelType of every list request so far.
    QStringList listRequests() const {
        QStringList types;
        for (const auto &form : formsOf(ListPath))
            types << form.value("feelType");
        return types;
    }

    // ---- the lists ----
    static QByteArray row(qint64 feelId, const QString &grade, const QString &book = "小王子") {
        return QJsonDocument(QJsonObject{{"FeelId", feelId},
                                         {"BookName", book},
                                         {"RealName", "李小明"},
                                         {"CreateTimeStr", "2026-12-01 09:30"},
                                         {"FeelTypeStr", grade}})
            .toJson(QJsonDocument::Compact);
    }
    static Answer list(const QList<QByteArray> &rows, int delayMs = 0) {
        return {.body = R"({"result":1,"feelList":[)" + QByteArrayList(rows).join(',') + "]}",
                .delayMs = delayMs};
    }

    GradeListVC *child(int index) const { return m_lists->gradeListVCs().value(index); }

    void choose(int segment) {
        auto *control = qobject_cast<SegmentedControl *>(m_lists->titleView());
        QVERIFY(control);
        QTest::mouseClick(control, Qt::LeftButton, {}, control->segmentRect(segment).center());
        QCOMPARE(m_lists->currentVC(), child(segment));
    }

    // Waits until `list` has loaded: its header stopped refreshing and the rows are in.
    static void settle(GradeListVC *list) {
        QTRY_VERIFY(list->refreshHeader() && !list->refreshHeader()->isRefreshing());
        QTRY_VERIFY(!list->gradeArray()->isLoading());
    }

    void openLists() {
        m_lists = new GradeViewController;
        m_stack->pushViewController(m_lists, false);
        QVERIFY(m_lists->isViewLoaded());
        settle(child(0));
    }

    // ---- the review ----
    static Answer png(QSize size, int delayMs = 0) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        Answer answer{.contentType = "image/png", .delayMs = delayMs};
        QBuffer buffer(&answer.body);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return answer;
    }

    // `count` picture URLs that no earlier test asked for; each has a thumbnail and a full picture.
    QStringList pictures(int count) {
        QStringList urls;
        for (int i = 0; i < count; ++i) {
            const QString name = QStringLiteral("img/feel/%1_thumbnail.png").arg(++m_serial);
            m_server.setAnswer(name, png({160, 120}));
            urls << m_server.baseUrl() + name;
        }
        return urls;
    }

    static QByteArray feelJson(const QString &grade, const QStringList &urls) {
        QJsonObject feel{{"Content", "读了这本书我很开心。"},
                         {"FeelTypeStr", grade},
                         {"ImgageUrlList", QJsonArray::fromStringList(urls)}};
        return StubAnswers::ok({{"feel", feel}});
    }

    void openDetail(int detailType, qint64 feelId = 31) {
        m_detail = new GradeDetailVC;
        m_detail->setFeelId(feelId);
        m_detail->setDetailType(detailType);
        m_stack->pushViewController(m_detail, false);
        QVERIFY(m_detail->isViewLoaded());
    }

    void openLoaded(int detailType, const QByteArray &json) {
        m_server.setAnswer(LoadPath, Answer::json(json));
        openDetail(detailType);
        QTRY_VERIFY(m_detail->feelRsp().has_value());
    }

    // Confirms the dialog that the grading button opens, after tapping `grade` when given.
    void grade(QPushButton *(GradeShowView::*button)() const) {
        const int before = countOf(GradePath);
        QTest::mouseClick(m_detail->rightButton(), Qt::LeftButton);
        GradeAlertView *dialog = GradeAlertView::current();
        QVERIFY(dialog);
        if (button)
            QTest::mouseClick((dialog->panel()->*button)(), Qt::LeftButton);
        QTest::mouseClick(dialog->panel()->decideButton(), Qt::LeftButton);
        QVERIFY(!m_detail->rightButton()->isEnabled()); // no second grade while one is on its way
        // At least one: the network layer may resend a POST whose connection dropped.
        QTRY_VERIFY(countOf(GradePath) > before);
        QTRY_VERIFY(!ProgressHud::isVisible());
    }

private slots:
    void initTestCase() { qputenv("TEACHER_CLIENT_CACHE_DIR", m_cache.path().toUtf8()); }

    void init() {
        QVERIFY(m_fixture.reset());
        LoginRsp::shareRsp().uid = 7;
        m_server.setAnswer(ListPath, list({}));
        QVERIFY(m_stack = m_fixture.showStack());
    }

    void cleanup() {
        m_fixture.closeWindow();
        QTRY_VERIFY(!GradeAlertView::current());
    }

    void eachListLoadsWhenFirstChosen() {
        openLists();
        QVERIFY(m_lists->hidesBottomBarWhenPushed());
        auto *control = qobject_cast<SegmentedControl *>(m_lists->titleView());
        QCOMPARE(control->titles(), (QStringList{"全部", "待批阅", "已批阅"}));
        QCOMPARE(control->selectedSegmentIndex(), 0);
        QCOMPARE(lastFormOf(ListPath), (QHash<QString, QString>{{"uid", "7"}, {"feelType", "0"}}));
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

    // The grade text, its icon and its colour, and the mode the row opens the review in.
    void rowsShowAndOpenByGrade_data() {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("detailType");
        QTest::newRow("excellent") << "优秀|grade_good_icon|#399f15" << 200;
        QTest::newRow("good") << "良好|grade_liang_icon|#399f15" << 200;
        QTest::newRow("pass") << "合格|grade_success_icon|#399f15" << 200;
        QTest::newRow("fail") << "不合格|grade_fail_icon|#eb0000" << 200;
        QTest::newRow("waiting: grading mode") << "待批阅||#555555" << 201;
        QTest::newRow("unknown text: read-only, grey") << "已阅||#555555" << 200;
    }

    void rowsShowAndOpenByGrade() {
        QFETCH(QString, shown);
        QFETCH(int, detailType);
        m_server.setAnswer(ListPath,
                           list({row(5, "优秀", "其他"), row(42, shown.section('|', 0, 0))}));
        openLists();
        FeelRows *rows = child(0)->gradeArray();
        QCOMPARE(rows->count(), 2);
        const QModelIndex index = rows->index(1);
        QCOMPARE(index.data(FeelRows::BookNameRole).toString(), QStringLiteral("《小王子》"));
        QCOMPARE(index.data(FeelRows::AuthorNameRole).toString(), QStringLiteral("李小明"));
        QCOMPARE(index.data(FeelRows::TimeRole).toString(), QStringLiteral("2026-12-01 09:30"));
        const QStringList parts{index.data(FeelRows::TypeTextRole).toString(),
                                index.data(FeelRows::TypeImageRole).toString(),
                                index.data(FeelRows::TypeColorRole).value<QColor>().name()};
        QCOMPARE(parts.join('|'), shown);
        QListView *view = child(0)->tableView();
        QCOMPARE(view->visualRect(index).height(), GradeListCell::RowHeight);

        m_server.setAnswer(TestCatalogue::pathOf(Operation::GetSingleFeel),
                           Answer::json(R"({"result":0})"));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
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
            << Answer::json(R"({"result":0,"msg":"稍后再试","feelList":[]})") << 2 << "稍后再试";
        QTest::newRow("transport failure keeps the rows") << Answer::dropped() << 2 << "无网络连接";
    }

    void answersKeepOrReplaceTheList() {
        QFETCH(StubHttpServer::Answer, answer);
        QFETCH(int, rowsAfter);
        QFETCH(QString, toast);
        m_server.setAnswer(ListPath, list({row(1, "优秀"), row(2, "待批阅")}));
        openLists();
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

    // A list seen before opens on its kept rows, with no spinner, while the service is asked;
    // its answer changes the rows in place. A grade given in this run wins over the kept rows,
    // and a refresh that fails leaves them with the offline bar.
    void keptRowsFirstThenTheServices() {
        QTemporaryDir keep;
        AnswerCache::instance().setFolder(keep.path());
        AnswerCache::instance().openFor(7);
        m_server.setAnswer(ListPath, list({row(1, "待批阅"), row(2, "待批阅"), row(3, "优秀")}));
        openLists();
        m_server.setAnswer(GradePath, Answer::json(StubAnswers::ok()));
        GradePost::submit(1, 4);
        QTRY_COMPARE(countOf(GradePath), 1);
        const auto reopen = [this](const Answer &answer) {
            m_stack->popViewController(false);
            m_server.setAnswer(ListPath, answer);
            m_lists = new GradeViewController;
            m_stack->pushViewController(m_lists, false);
            return child(0)->gradeArray();
        };
        FeelRows *rows = reopen(list({row(1, "待批阅"), row(2, "良好"), row(3, "优秀")}, 500));
        QTRY_COMPARE(rows->count(), 3);
        QVERIFY(rows->isLoading()); // asked, not yet answered
        QVERIFY(!ProgressHud::isVisible() && !child(0)->refreshHeader()->isRefreshing());
        QVERIFY(!rows->isWaiting(0) && rows->isWaiting(1)); // 1 was graded here
        QListView *view = child(0)->tableView();
        view->setCurrentIndex(rows->index(2));
        QTRY_VERIFY(!rows->isWaiting(1));
        QCOMPARE(view->currentIndex().row(), 2);
        QVERIFY(!OfflineBar::of(m_lists));

        rows = reopen(Answer::dropped());
        settle(child(0));
        QCOMPARE(rows->count(), 3);
        QVERIFY(OfflineBar::of(m_lists) && Toast::currentText().isEmpty());
    }

    void gradingReloadsEveryOpenList() {
        m_server.setAnswer(ListPath, list({row(9, "待批阅")}));
        openLists();
        choose(2);
        settle(child(2));
        QCOMPARE(listRequests(), (QStringList{"0", "2"}));
        // Graded from the review screen, opened on the "全部" list.
        choose(0);
        QListView *view = child(0)->tableView();
        m_server.setAnswer(TestCatalogue::pathOf(Operation::GetSingleFeel),
                           Answer::json(R"({"result":1,"feel":{"Content":"x"}})"));
        m_server.setAnswer(TestCatalogue::pathOf(Operation::UpdateFeel),
                           Answer::json(StubAnswers::ok()));
        view->setFocus();
        view->setCurrentIndex(child(0)->gradeArray()->index(0));
        QTest::keyClick(view, Qt::Key_Return);
        auto *detail = qobject_cast<GradeDetailVC *>(m_stack->topViewController());
        QVERIFY(detail);
        QTRY_VERIFY(detail->feelRsp().has_value());
        detail->markClickAction();
        QVERIFY(GradeAlertView::current());
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
        openLists();
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
        m_lists = new GradeViewController;
        m_stack->pushViewController(m_lists, false);
        QVERIFY(received.wait(5000));
        // Esc goes back, and the screen with its lists goes.
        m_lists->activateWindow();
        child(0)->tableView()->setFocus();
        QTest::keyClick(child(0)->tableView(), Qt::Key_Escape);
        m_stack->finishTransitions();
        QTRY_VERIFY(m_lists.isNull());
        QCOMPARE(NotificationCenter::observerCount(NOTIFICATION_UPDATE_GRADE), 0);
        // The late answer has come and met no screen.
        QTRY_COMPARE(BaseAFHttpManager::callsInFlight(), 0);
        QCOMPARE(m_stack->viewControllers().size(), 1);
        QVERIFY(!Toast::isShowing());
    }

    void showsTheReflectionByMode_data() {
        QTest::addColumn<int>("detailType");
        QTest::addColumn<QString>("grade");
        QTest::addColumn<int>("pictureCount");
        QTest::addColumn<int>("columns");
        QTest::addColumn<QString>("stamp");
        QTest::newRow("read-only excellent, three a row")
            << 200 << "优秀" << 3 << 3 << "grade_big_excellent";
        QTest::newRow("read-only good, four make a square")
            << 200 << "良好" << 4 << 2 << "grade_big_good";
        QTest::newRow("read-only pass, five") << 200 << "合格" << 5 << 3 << "grade_big_pass";
        QTest::newRow("read-only fail") << 200 << "不合格" << 1 << 3 << "grade_big_fair";
        QTest::newRow("read-only, unknown grade, no pictures")
            << 200 << "还没想好" << 0 << 3 << "grade_big_fair";
        QTest::newRow("grading: no stamp") << 201 << "待批阅" << 2 << 3 << "";
    }

    void showsTheReflectionByMode() {
        QFETCH(int, detailType);
        QFETCH(QString, grade);
        QFETCH(int, pictureCount);
        QFETCH(int, columns);
        QFETCH(QString, stamp);
        const QStringList urls = pictures(pictureCount);
        openLoaded(detailType, feelJson(grade, urls));
        QCOMPARE(lastFormOf(LoadPath), (QHash<QString, QString>{{"feelId", "31"}}));
        QCOMPARE(m_detail->title(), QStringLiteral("详情"));
        QCOMPARE(m_detail->contentLabel()->toPlainText(), QStringLiteral("读了这本书我很开心。"));
        QVERIFY(m_detail->contentLabel()->isReadOnly());
        PictureGrid *grid = m_detail->photosGroup();
        QCOMPARE(grid->pictureItems().size(), pictureCount);
        QCOMPARE(grid->columnCount(), columns);
        for (int i = 0; i < pictureCount; ++i) {
            QCOMPARE(grid->pictureItems().at(i).thumbnailUrl, urls.at(i));
            QTRY_VERIFY(!grid->thumbnailAt(i)->image().isNull());
        }
        QCOMPARE(m_detail->gradeImageName(), stamp);
        QCOMPARE(m_detail->gradeImageView()->isVisible(), !stamp.isEmpty());
        QCOMPARE(m_detail->rightButton() != nullptr, detailType == 201);
        QCOMPARE(m_detail->rightBarButton() != nullptr, detailType == 201);
        QVERIFY(!ProgressHud::isVisible());
    }

    void loadRefusedOrFailedLeavesTheScreenEmpty_data() {
        QTest::addColumn<StubHttpServer::Answer>("answer");
        QTest::addColumn<QString>("toast");
        QTest::addColumn<bool>("answerKept");
        QTest::newRow("refusal") << Answer::json(R"({"result":0,"msg":"没有这篇读后感",)"
                                                 R"("feel":{"Content":"不该显示"}})")
                                 << "没有这篇读后感" << true;
        QTest::newRow("transport failure") << Answer::dropped() << "无网络连接" << false;
    }

    void loadRefusedOrFailedLeavesTheScreenEmpty() {
        QFETCH(StubHttpServer::Answer, answer);
        QFETCH(QString, toast);
        QFETCH(bool, answerKept);
        m_server.setAnswer(LoadPath, answer);
        openDetail(201);
        QTRY_COMPARE(Toast::currentText(), toast);
        QTRY_VERIFY(!ProgressHud::isVisible());
        QCOMPARE(m_detail->feelRsp().has_value(), answerKept);
        QVERIFY(m_detail->contentLabel()->toPlainText().isEmpty());
        QVERIFY(!m_detail->gradeImageView()->isVisible());
        // Grading still works on an empty screen.
        m_server.setAnswer(GradePath, Answer::json(StubAnswers::ok()));
        grade(nullptr);
        QCOMPARE(lastFormOf(GradePath).value("feelId"), QStringLiteral("31"));
    }

    void gradingSendsTheChosenCode_data() {
        QTest::addColumn<int>("buttonIndex"); // -1: the default, untouched
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("stamp");
        QTest::newRow("untouched: excellent") << -1 << 4 << "grade_big_excellent";
        QTest::newRow("good") << 1 << 3 << "grade_big_good";
        QTest::newRow("pass") << 2 << 2 << "grade_big_pass";
        QTest::newRow("fail") << 3 << 1 << "grade_big_fair";
        QTest::newRow("fail, then excellent again") << 0 << 4 << "grade_big_excellent";
    }

    void gradingSendsTheChosenCode() {
        QFETCH(int, buttonIndex);
        QFETCH(int, code);
        QFETCH(QString, stamp);
        openLoaded(201, feelJson("待批阅", {}));
        int notified = 0;
        QObject observer;
        NotificationCenter::addObserver(&observer, NOTIFICATION_UPDATE_GRADE, [&] { ++notified; });
        m_server.setAnswer(GradePath, Answer::json(R"({"result":1,"msg":"ok"})"));

        m_detail->markClickAction();
        GradeAlertView *dialog = GradeAlertView::current();
        QVERIFY(dialog);
        QCOMPARE(dialog->resultType(), 4);
        const QList<QPushButton *> buttons = dialog->panel()->gradeButtons();
        QVERIFY(buttons.first()->isChecked());
        if (buttonIndex == 0)
            QTest::mouseClick(buttons.at(3), Qt::LeftButton);
        if (buttonIndex >= 0)
            QTest::mouseClick(buttons.at(buttonIndex), Qt::LeftButton);
        for (int i = 0; i < buttons.size(); ++i)
            QCOMPARE(buttons.at(i)->isChecked(), i == qMax(0, buttonIndex));
        // Enter confirms.
        QTest::keyClick(dialog->panel()->decideButton(), Qt::Key_Return);
        QTRY_COMPARE(countOf(GradePath), 1);
        QTRY_VERIFY(!ProgressHud::isVisible());

        QCOMPARE(lastFormOf(GradePath),
                 (QHash<QString, QString>{
                     {"uid", "7"}, {"feelId", "31"}, {"feelType", QString::number(code)}}));
        QCOMPARE(notified, 1);
        QCOMPARE(m_detail->gradeImageName(), stamp);
        QVERIFY(m_detail->gradeImageView()->isVisible());
        QVERIFY(!m_detail->rightButton());
        QVERIFY(!m_detail->rightBarButton());
        QVERIFY(!Toast::isShowing());
        // Graded once per visit.
        m_detail->markClickAction();
        QVERIFY(!GradeAlertView::current());
    }

    void gradingRefusedOrFailedChangesNothing_data() {
        QTest::addColumn<StubHttpServer::Answer>("answer");
        QTest::addColumn<QString>("toast");
        QTest::newRow("refusal") << Answer::json(StubAnswers::refused("已被批阅")) << "已被批阅";
        QTest::newRow("transport failure") << Answer::dropped() << "无网络连接";
    }

    void gradingRefusedOrFailedChangesNothing() {
        QFETCH(StubHttpServer::Answer, answer);
        QFETCH(QString, toast);
        openLoaded(201, feelJson("待批阅", {}));
        int notified = 0;
        QObject observer;
        NotificationCenter::addObserver(&observer, NOTIFICATION_UPDATE_GRADE, [&] { ++notified; });
        m_server.setAnswer(GradePath, answer);
        grade(&GradeShowView::unQualifiedBtn);
        QCOMPARE(Toast::currentText(), toast);
        QCOMPARE(notified, 0);
        QVERIFY(!m_detail->gradeImageView()->isVisible());
        QVERIFY(m_detail->rightButton()->isEnabled());
        QCOMPARE(m_detail->rightBarButton(), m_detail->rightButton());
    }

    void gradeAcceptedAfterGoingBackReloadsTheLists() {
        openLists();
        openLoaded(201, feelJson("待批阅", {}));
        m_server.setAnswer(GradePath, {.body = StubAnswers::ok(), .delayMs = 300});
        m_detail->gradeFeelDetailActionWithFeelType(4);
        m_stack->popViewController(false);
        QTRY_VERIFY(m_detail.isNull());
        QTRY_COMPARE(listRequests().size(), 2);
    }

    // A quick refusal for a load that a newer one overtook: the header spins on, no toast.
    void supersededLoadEndsNothing() {
        openLists();
        m_server.queueAnswer(ListPath, {.body = StubAnswers::refused("旧"), .delayMs = 100});
        m_server.queueAnswer(ListPath, list({}, 1000));
        child(0)->refreshHeader()->beginRefreshing();
        child(0)->getFeelListAction();
        QTRY_COMPARE(BaseAFHttpManager::callsInFlight(), 1);
        QVERIFY(child(0)->refreshHeader()->isRefreshing() && !Toast::isShowing());
    }

    // Esc and the close button grade nothing; nor does confirming once the review is gone.
    void closingTheDialogSendsNothing() {
        openLoaded(201, feelJson("待批阅", {}));
        m_detail->markClickAction();
        QPointer<GradeAlertView> dialog = GradeAlertView::current();
        QVERIFY(dialog);
        QTest::keyClick(dialog->panel()->goodBtn(), Qt::Key_Escape);
        QTRY_VERIFY(dialog.isNull());
        m_detail->markClickAction();
        dialog = GradeAlertView::current();
        QVERIFY(dialog);
        QTest::mouseClick(dialog->panel()->closeButton(), Qt::LeftButton);
        QTRY_VERIFY(dialog.isNull());
        QVERIFY(m_detail->rightButton());
        m_detail->markClickAction();
        dialog = GradeAlertView::current();
        QVERIFY(dialog);
        delete m_detail;
        dialog->receiveGoodsAction();
        QTRY_VERIFY(dialog.isNull());
        QCOMPARE(countOf(GradePath), 0);
        QVERIFY(!ProgressHud::isVisible());
    }

    void lateAnswersAfterTheScreenIsGone() {
        m_server.setAnswer(LoadPath, {.body = feelJson("优秀", pictures(2)), .delayMs = 300});
        QSignalSpy received(&m_server, &StubHttpServer::requestReceived);
        openDetail(200);
        QVERIFY(received.wait(5000));
        m_stack->popViewController(false);
        QTRY_VERIFY(m_detail.isNull());
        QTRY_VERIFY(!ProgressHud::isVisible());
        QVERIFY(!Toast::isShowing());
    }

    void browserPagesZoomsAndReportsFailures() {
        QStringList urls = pictures(3);
        // The first full picture comes late, the second never.
        const QString late = urls.at(0).mid(m_server.baseUrl().size());
        m_server.setAnswer(QString(late).replace("thumbnail", "bmiddle"), png({640, 480}, 400));
        m_server.setAnswer(
            urls.at(1).mid(m_server.baseUrl().size()).replace("thumbnail", "bmiddle"),
            Answer::json("{}", 404));
        openLoaded(200, feelJson("优秀", urls));
        PictureGrid *grid = m_detail->photosGroup();
        QTRY_VERIFY(!grid->thumbnailAt(0)->image().isNull());

        QTest::mouseClick(grid->thumbnailAt(0), Qt::LeftButton);
        QPointer<PictureBrowser> browser = PictureBrowser::current();
        QVERIFY(browser);
        QCOMPARE(browser->positionLabel()->text(), QStringLiteral("1/3"));
        // The thumbnail until the full picture arrives.
        QCOMPARE(browser->pageImage(0).size(), QSize(160, 120));
        QTRY_COMPARE(browser->pageState(0), PictureBrowser::PageState::Loaded);
        QCOMPARE(browser->pageImage(0).size(), QSize(640, 480));
        QVERIFY(!browser->failureLabel()->isVisible());

        QTest::keyClick(browser, Qt::Key_Right);
        QCOMPARE(browser->positionLabel()->text(), QStringLiteral("2/3"));
        QTRY_COMPARE(browser->slideOffset(), 0); // slid in sideways, now in place
        QTRY_COMPARE(browser->pageState(1), PictureBrowser::PageState::Failed);
        QVERIFY(browser->failureLabel()->isVisible());
        QCOMPARE(browser->failureLabel()->text(), QStringLiteral("图片加载失败"));
        browser->nextPage();
        browser->nextPage(); // past the end: stays
        QCOMPARE(browser->currentIndex(), 2);
        QCOMPARE(browser->positionText(), QStringLiteral("3/3"));

        browser->toggleZoom();
        QTRY_COMPARE(browser->zoomScale(), 2.0);
        browser->toggleZoom();
        QTRY_COMPARE(browser->zoomScale(), 1.0);
        browser->closeBrowser();
        QTRY_VERIFY(browser.isNull());
        QVERIFY(m_detail);

        // Opened on a later picture, it says where it is.
        grid->openBrowserAt(2);
        QCOMPARE(PictureBrowser::current()->positionText(), QStringLiteral("3/3"));
        QTest::keyClick(PictureBrowser::current(), Qt::Key_Escape);
        QTRY_VERIFY(!PictureBrowser::current());
    }
};

QTEST_MAIN(tst_Reflections)
#include "tst_Reflections.moc"
