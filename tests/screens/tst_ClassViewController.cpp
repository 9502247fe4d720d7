#include "AlertView.h"
#include "AnswerCache.h"
#include "AppWindow.h"
#include "BaseAFHttpManager.h"
#include "CataloguePath.h"
#include "LoginState.h"
#include "NavigationController.h"
#include "ProgressHud.h"
#include "RefreshHeader.h"
#include "ScreenRegistration.h"
#include "ScreenTestFixture.h"
#include "Toast.h"
#include "classes/ClassChangeView.h"
#include "classes/ClassDetailVC.h"
#include "classes/ClassListCell.h"
#include "classes/ClassSortView.h"
#include "classes/ClassViewController.h"
#include "classes/RosterColumns.h"
#include "classes/StudentRows.h"
#include "common/CheckMarkRoles.h"

#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

// The class roster with its sort bar, toggle and switcher, against the stub service.
class tst_ClassViewController : public QObject {
    Q_OBJECT
    using Answer = StubHttpServer::Answer;

    ScreenTestFixture m_fixture{ScreenRegistration::registerAll};
    StubHttpServer &m_server = m_fixture.server();
    QPointer<NavigationController> m_stack;
    QPointer<ClassViewController> m_roster;

    inline static const QString ClassPath = TestCatalogue::pathOf(Operation::GetMyClassForTeacher);
    inline static const QString DetailPath = TestCatalogue::pathOf(Operation::GetMyClassDetail);

    static QByteArray answer(const char *key, const QJsonArray &list) {
        return QJsonDocument(QJsonObject{{"result", 1}, {key, list}}).toJson();
    }
    static QByteArray classes(int n) {
        QJsonArray list;
        for (int i = 1; i <= n; ++i)
            list.append(QJsonObject{{"ClassId", 10 * i},
                                    {"GradeStr", QString::number(i)},
                                    {"ClassName", QStringLiteral("%1班").arg(i)}});
        return answer("classList", list);
    }
    static QByteArray pupils(int n, const QString &first = QStringLiteral("甲")) {
        QJsonArray list;
        for (int i = 0; i < n; ++i)
            list.append(QJsonObject{{"UserId", 100 + i},
                                    {"RealName", i ? QString::number(i) : first},
                                    {"Sex", i % 2},
                                    {"MyTitle", QStringLiteral("书童")},
                                    {"Mobile", i ? QStringLiteral("0138%1").arg(i) : ""},
                                    {"FlowerNumber", 12},
                                    {"TestPassNum", 3}});
        return answer("list", list);
    }

    // Sent in this order; by tests, by mobile and by name (李 王 张 赵 as read, not as coded) the
    // orders all differ from it and from one another.
    static QByteArray fourPupils() {
        QJsonArray list;
        const QStringList names{"张三", "李四", "王五", "赵六"};
        const int tests[] = {2, 2, 7, 0};
        const QStringList mobiles{"13900000002", "", "13800000001", "13700000003"};
        for (int i = 0; i < 4; ++i)
            list.append(QJsonObject{{"UserId", i + 1},
                                    {"RealName", names[i]},
                                    {"TestPassNum", tests[i]},
                                    {"Mobile", mobiles[i]}});
        return answer("list", list);
    }
    void resizeTo(int width, int height) {
        m_fixture.window()->resize(width, height);
        QTRY_COMPARE(m_roster->isWide(), width >= 900);
    }
    void clickHeader(int column) {
        QHeaderView *header = m_roster->rosterTable()->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          {header->sectionViewportPosition(column) + 20, header->height() / 2});
    }
    QStringList tableNames() const {
        const QAbstractItemModel *model = m_roster->rosterTable()->model();
        QStringList names;
        for (int row = 0; row < model->rowCount(); ++row)
            names << model->index(row, RosterColumns::Name).data().toString();
        return names;
    }

    auto detailRequests() const { return m_server.requestsTo(DetailPath); }
    // classId and type of the last roster request.
    QPair<QString, QString> lastDetail() const {
        const auto form = detailRequests().value(detailRequests().size() - 1).form();
        return {form.value("classId"), form.value("type")};
    }
    QVariant role(int row, int role) const {
        const QAbstractItemModel *model = m_roster->tableView()->model();
        return model->data(model->index(row, 0), role);
    }
    // At least n: the network layer may send a POST again when its connection dropped.
    void waitForDetails(int n) {
        QTRY_VERIFY(detailRequests().size() >= n);
        m_fixture.settle();
    }
    // A (refused) request sent now arrives after any that the steps before would have sent.
    void nothingSentSince(int before) {
        m_server.setAnswer(ClassPath, Answer::json(R"({"result":0})"));
        m_roster->getMyClassListAction();
        QTRY_COMPARE(m_server.requests().size(), before + 1);
        QCOMPARE(m_server.lastRequest().path, QString(ClassPath));
    }
    void tapColumn(int column) {
        QWidget *c = m_roster->sortView()->columns().value(column);
        QTest::mouseClick(m_roster->sortView(), Qt::LeftButton, {}, c->geometry().center());
    }

    // A fresh window with the roster pushed on a stack, signed in as teacher 7.
    void open() {
        QVERIFY(m_fixture.reset());
        LoginRsp::shareRsp().isLogin = true;
        LoginRsp::shareRsp().uid = 7;
        QVERIFY(m_stack = m_fixture.showStack());
        m_roster = new ClassViewController;
        m_stack->pushViewController(m_roster, false);
        QVERIFY(m_roster->isViewLoaded());
    }

private slots:
    void init() {
        m_server.setAnswer(ClassPath, Answer::json(classes(2)));
        m_server.setAnswer(DetailPath, Answer::json(pupils(5)));
        open();
        waitForDetails(1);
    }

    void cleanup() { m_fixture.closeWindow(); }

    void firstClassByNameOnStart() {
        QCOMPARE(m_server.requests().first().path, QString(ClassPath));
        QCOMPARE(m_server.requests().first().form().value("uid"), QStringLiteral("7"));
        QCOMPARE(lastDetail(), qMakePair(QStringLiteral("10"), QStringLiteral("0")));
        QCOMPARE(m_roster->headTitleLabel()->text(), QStringLiteral("1年级1班"));
        QCOMPARE(m_roster->tableView()->model()->rowCount(), 5);
        QVERIFY(m_roster->leftBarButton()); // the frame's back button
        // The bar: two columns over two thirds of the width, none selected.
        ClassSortView *bar = m_roster->sortView();
        QCOMPARE(bar->numOfMenu(), 2);
        QCOMPARE(bar->columnTitle(0), QStringLiteral("按姓名"));
        QCOMPARE(bar->columnTitle(1), QStringLiteral("按等级"));
        QCOMPARE(bar->currentSelectedMenudIndex(), -1);
        QVERIFY(qAbs(bar->width() - m_roster->width() * 2 / 3) <= 1);
    }

    // Seen before, the classes come from the keep at once and the roster is asked beside their
    // refresh: both calls are out before either is answered, the kept roster shows meanwhile,
    // and the refreshed classes do not ask for the roster again.
    void keptClassesAskForTheRosterAtOnce() {
        QTemporaryDir keep;
        AnswerCache::instance().setFolder(keep.path());
        AnswerCache::instance().openFor(7);
        const auto visit = [this] {
            m_stack->popViewController(false);
            m_roster = new ClassViewController;
            m_stack->pushViewController(m_roster, false);
        };
        visit();
        QTRY_COMPARE(m_roster->tableView()->model()->rowCount(), 5);
        m_fixture.settle();
        const qsizetype rostersAsked = detailRequests().size();
        Answer slowClasses = Answer::json(classes(2));
        Answer slowPupils = Answer::json(pupils(6));
        slowClasses.delayMs = slowPupils.delayMs = 500;
        m_server.setAnswer(ClassPath, slowClasses);
        m_server.setAnswer(DetailPath, slowPupils);
        visit();
        QTRY_COMPARE(detailRequests().size(), rostersAsked + 1);
        QCOMPARE(BaseAFHttpManager::callsInFlight(), 2); // the classes' refresh too
        QCOMPARE(m_roster->tableView()->model()->rowCount(), 5);
        QTRY_COMPARE(m_roster->tableView()->model()->rowCount(), 6);
        m_fixture.settle();
        QCOMPARE(detailRequests().size(), rostersAsked + 1);
    }

    // The roster goes out as the teacher sees it: its class, its sort, a row a pupil; a phone
    // number stays text in a spreadsheet, its leading zero with it.
    void exportHoldsTheRosterAsSorted() {
        ExportTable table = m_roster->exportDocument().currentView();
        QCOMPARE(table.headers, QStringList({"姓名", "小红花", "等级", "测评", "手机"}));
        QCOMPARE(table.rows.first(), QStringList({"甲", "12", "书童", "3", ""}));
        QVERIFY(Export::csv(table).contains("书童,3,'01381\r\n"));
        QCOMPARE(m_roster->exportDocument().nameParts,
                 QStringList({"花名册", "1年级1班", "按姓名"}));
        tapColumn(1);
        waitForDetails(2);
        table = m_roster->exportDocument().currentView();
        QCOMPARE(table.subtitles.first(), QStringLiteral("排序：按等级"));
    }

    // Ranking, list rows and cards as the model gives them to the two cell designs.
    void rowsAndBadges() {
        QCOMPARE(role(0, StudentRows::StudentNameRole).toString(), QStringLiteral("甲"));
        QCOMPARE(role(0, StudentRows::FlowerCountRole).toString(), QStringLiteral("x12朵"));
        QCOMPARE(role(0, StudentRows::StudentNumRole).toString(), QStringLiteral("1"));
        QCOMPARE(role(0, StudentRows::HeadPlaceholderRole).toString(),
                 QStringLiteral("user_man_head"));
        QCOMPARE(role(1, StudentRows::HeadPlaceholderRole).toString(),
                 QStringLiteral("user_woman_head"));
        for (int row = 0; row < 5; ++row)
            QVERIFY(role(row, StudentRows::FirstImageRole).toString().isEmpty());

        tapColumn(1);
        waitForDetails(2);
        QCOMPARE(lastDetail(), qMakePair(QStringLiteral("10"), QStringLiteral("1")));
        const QStringList badges{"class_first_icon", "class_second_icon", "class_third_icon",
                                 "class_general_icon", "class_general_icon"};
        for (int row = 0; row < 5; ++row)
            QCOMPARE(role(row, StudentRows::FirstImageRole).toString(), badges[row]);
        QCOMPARE(m_roster->sortView()->columnTitleColor(1), QColor(0xb1, 0x6c, 0x2b));
        QCOMPARE(m_roster->sortView()->columnBackground(1), QColor(238, 238, 238));

        // The selected column again: nothing.
        tapColumn(1);
        tapColumn(0);
        waitForDetails(3);
        QCOMPARE(lastDetail(), qMakePair(QStringLiteral("10"), QStringLiteral("0")));
        QVERIFY(role(0, StudentRows::FirstImageRole).toString().isEmpty());
        QCOMPARE(m_roster->sortView()->columnBackground(1), QColor(244, 244, 244));
    }

    void toggleSendsNothingAndKeepsTheSort() {
        tapColumn(1);
        waitForDetails(2);
        const int before = m_server.requests().size();
        QPushButton *toggle = m_roster->changeModelBtn();
        QCOMPARE(toggle->text(), QStringLiteral("名片"));
        const QModelIndex first = m_roster->tableView()->model()->index(0, 0);
        QCOMPARE(m_roster->tableView()->visualRect(first).height(), 70);
        QTest::mouseClick(toggle, Qt::LeftButton);
        QVERIFY(m_roster->isCard());
        QCOMPARE(toggle->text(), QStringLiteral("列表"));
        QCOMPARE(m_roster->tableView()->itemDelegate(), m_roster->cell());
        QTRY_COMPARE(m_roster->tableView()->visualRect(first).height(), 150);
        QCOMPARE(role(0, StudentRows::MobileRole).toString(), QStringLiteral("手机:"));
        QCOMPARE(role(0, StudentRows::CardFlowerRole).toString(),
                 QStringLiteral("小红花:<span style=\"color:#ffd823\">12朵</span>"));
        QCOMPARE(role(0, StudentRows::TestCountRole).toString(),
                 QStringLiteral("测评:<span style=\"color:#ffd823\">3次</span>"));
        QTest::mouseClick(toggle, Qt::LeftButton);
        QCOMPARE(toggle->text(), QStringLiteral("名片"));
        nothingSentSince(before);
        QCOMPARE(m_roster->currentType(), 1);
        QCOMPARE(m_roster->studentArray().size(), 5);
        QCOMPARE(role(0, StudentRows::FirstImageRole).toString(),
                 QStringLiteral("class_first_icon"));
    }

    void switcherKeepsTheSort() {
        tapColumn(1);
        waitForDetails(2);
        QTest::mouseClick(m_roster->headTitleButton(), Qt::LeftButton);
        ClassChangeView *panel = m_roster->changeView();
        QVERIFY(panel);
        QVERIFY(panel->isShow());
        panel->finishAnimations();
        QCOMPARE(panel->dimAlpha(), 77);
        // The dimming follows the window while it is open.
        QWidget *dim = panel->backGroundView();
        m_fixture.window()->resize(m_fixture.window()->width() + 200, 900);
        QTRY_COMPARE(dim->geometry().bottomRight(), dim->parentWidget()->rect().bottomRight());
        QCOMPARE(panel->leftTableView()->height(), 2 * 38);
        const QAbstractItemModel *rows = panel->leftTableView()->model();
        QCOMPARE(rows->index(1, 0).data().toString(), QStringLiteral("2年级2班"));
        QVERIFY(rows->index(0, 0).data(CheckMarkRoles::MarkedRole).toBool());

        m_server.setAnswer(DetailPath, Answer::json(pupils(2, QStringLiteral("乙"))));
        QTest::mouseClick(panel->leftTableView()->viewport(), Qt::LeftButton, {},
                          panel->leftTableView()->visualRect(rows->index(1, 0)).center());
        waitForDetails(3);
        QCOMPARE(lastDetail(), qMakePair(QStringLiteral("20"), QStringLiteral("1")));
        QCOMPARE(m_roster->headTitleLabel()->text(), QStringLiteral("2年级2班"));
        QCOMPARE(m_roster->currentRow(), 1);
        QCOMPARE(role(0, StudentRows::StudentNameRole).toString(), QStringLiteral("乙"));
        QVERIFY(!panel->isShow());
        panel->finishAnimations();
        QVERIFY(!panel->leftTableView()->isVisible());
        QVERIFY(!panel->backGroundView()->isVisible());

        // Opened again, the mark has moved; the dimming closes without a request. The same
        // class chosen again still reloads it.
        m_roster->changeClassAction();
        QVERIFY(rows->index(1, 0).data(CheckMarkRoles::MarkedRole).toBool());
        QCOMPARE(panel->leftSelectedRow(), 1);
        panel->finishAnimations();
        QTest::mouseClick(panel->backGroundView(), Qt::LeftButton, {}, QPoint(10, 300));
        QVERIFY(!panel->isShow());
        panel->finishAnimations();
        QCOMPARE(panel->dimAlpha(), 0);
        m_roster->changeClassAction();
        panel->tableViewDidSelectRowAtIndexPath(1);
        waitForDetails(4);
        QCOMPARE(lastDetail(), qMakePair(QStringLiteral("20"), QStringLiteral("1")));
    }

    void indexesOutsideTheListsSendNothing() {
        m_roster->changeClassAction();
        ClassChangeView *panel = m_roster->changeView();
        const int before = m_server.requests().size();
        panel->tableViewDidSelectRowAtIndexPath(2);
        panel->tableViewDidSelectRowAtIndexPath(-1);
        QVERIFY(panel->isShow());
        m_roster->menuDidSelectRowAtIndexPath(panel, ClassChangeIndexPath::indexPathWithRow(5));
        QCOMPARE(m_roster->menuTitleForRowAtIndexPath(panel, {9}), QString());
        QCOMPARE(m_roster->currentRow(), 0);
        // A pupil row that vanished with a reload.
        m_roster->tableViewDidSelectRowAtIndexPath(5);
        m_roster->tableViewDidSelectRowAtIndexPath(-1);
        QCOMPARE(m_stack->viewControllers().size(), 2);
        nothingSentSince(before);
    }

    void doubleClickedPupilOpensTheirHomeOnce() {
        const QModelIndex second = m_roster->tableView()->model()->index(1, 0);
        const QPoint at = m_roster->tableView()->visualRect(second).center();
        QTest::mouseClick(m_roster->tableView()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(m_roster->tableView()->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(m_stack->viewControllers().size(), 3);
        auto *detail = qobject_cast<ClassDetailVC *>(m_stack->topViewController());
        QVERIFY(detail);
        QCOMPARE(detail->studentModel().UserId, 101);
        QVERIFY(!m_roster->tableView()->selectionModel()->hasSelection());
    }

    void failedRosterKeepsTheList_data() {
        QTest::addColumn<StubHttpServer::Answer>("answer");
        QTest::addColumn<QString>("toast");
        QTest::newRow("refused") << Answer::json(StubAnswers::refused("班级不存在"))
                                 << "班级不存在";
        QTest::newRow("dropped") << Answer::dropped() << "无网络连接";
    }

    void failedRosterKeepsTheList() {
        QFETCH(StubHttpServer::Answer, answer);
        QFETCH(QString, toast);
        m_server.setAnswer(DetailPath, answer);
        // F5 in the list reloads through the pull-down control, which must end too.
        RefreshHeader *header = RefreshHeader::of(m_roster->tableView());
        QTest::keyClick(m_roster->tableView(), Qt::Key_F5);
        QVERIFY(header->isRefreshing());
        waitForDetails(2);
        QTRY_COMPARE(Toast::currentText(), toast);
        QTRY_VERIFY(!header->isRefreshing());
        QCOMPARE(lastDetail(), qMakePair(QStringLiteral("10"), QStringLiteral("0")));
        QCOMPARE(m_roster->tableView()->model()->rowCount(), 5);
    }

    void levelChosenWhileTheClassesComeSortsTheirFirstRoster() {
        m_server.setAnswer(ClassPath, {.body = classes(2), .delayMs = 300});
        open();
        tapColumn(1);
        waitForDetails(1);
        QCOMPARE(lastDetail(), qMakePair(QStringLiteral("10"), QStringLiteral("1")));
    }

    // A quick refusal or network failure for a load that a newer one overtook ends no spinner and
    // shows no toast; the rows by name get no badges while the roster by level is on its way.
    void supersededLoadEndsNothing_data() {
        QTest::addColumn<StubHttpServer::Answer>("overtaken");
        QTest::newRow("refused") << Answer{.body = StubAnswers::refused("旧"), .delayMs = 100};
        // Cut after its first byte (the network stack would send a request dropped before any
        // byte again, and that one would be answered).
        QTest::newRow("network") << Answer{.body = "{",
                                           .delayMs = 100,
                                           .closeDelimited = true,
                                           .headers = {{"Content-Length", "100"}}};
    }
    void supersededLoadEndsNothing() {
        QFETCH(StubHttpServer::Answer, overtaken);
        m_server.queueAnswer(DetailPath, overtaken);
        m_server.queueAnswer(DetailPath, {.body = pupils(2), .delayMs = 1000});
        QTest::keyClick(m_roster->tableView(), Qt::Key_F5);
        tapColumn(1);
        QTRY_COMPARE(BaseAFHttpManager::callsInFlight(), 1);
        QVERIFY(RefreshHeader::of(m_roster->tableView())->isRefreshing());
        QVERIFY(ProgressHud::isVisible() && !Toast::isShowing());
        QVERIFY(role(0, StudentRows::FirstImageRole).toString().isEmpty());
    }

    void failedClassListLeavesTheTitle() {
        m_server.setAnswer(ClassPath, Answer::json(StubAnswers::refused("无")));
        open();
        QTRY_COMPARE(Toast::currentText(), QStringLiteral("无"));
        QCOMPARE(m_roster->headTitleLabel()->text(), QStringLiteral("我的班级"));
        // Nothing to reload or switch to.
        RefreshHeader::of(m_roster->tableView())->beginRefreshing();
        QVERIFY(!RefreshHeader::of(m_roster->tableView())->isRefreshing());
        m_roster->changeClassAction();
        QCOMPARE(m_roster->changeView()->openHeight(), 0);
        QVERIFY(detailRequests().isEmpty());
    }

    void twentyClassesScroll() {
        m_server.setAnswer(ClassPath, Answer::json(classes(20)));
        open();
        waitForDetails(1);
        m_roster->changeClassAction();
        m_roster->changeView()->finishAnimations();
        QCOMPARE(m_roster->changeView()->leftTableView()->height(), 667 - 64);
    }

    void escapeClosesTheSwitcherThenGoesBack() {
        QVERIFY(QTest::qWaitForWindowActive(m_fixture.window()));
        m_roster->changeClassAction();
        QTest::keyClick(m_fixture.window(), Qt::Key_Escape);
        QVERIFY(!m_roster->changeView()->isShow());
        QCOMPARE(m_stack->viewControllers().size(), 2);
        // An alert over the roster takes Esc for itself.
        bool closed = false;
        AlertView::show(QStringLiteral("t"), QString(), {QStringLiteral("好")},
                        [&closed](int) { closed = true; });
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(closed);
        QCOMPARE(m_stack->viewControllers().size(), 2);
        QTest::keyClick(m_fixture.window(), Qt::Key_Left, Qt::AltModifier);
        m_stack->finishTransitions();
        QTRY_VERIFY(m_roster.isNull());
    }

    // The table's header: name, flowers and level ask the service (a new column) and keep its
    // order; the same column again reverses what is held; tests and mobile are ordered here, ties
    // by name as read, a pupil without a number last.
    void headerSorts_data() {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QString>("type"); // the sort asked for; empty: nothing asked
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("order");
        using C = RosterColumns;
        const QStringList sent{"张三", "李四", "王五", "赵六"};
        QTest::newRow("name") << QList<int>{C::Tests, C::Name} << "0" << sent << 0;
        QTest::newRow("name again")
            << QList<int>{C::Name} << "" << QStringList{"赵六", "王五", "李四", "张三"} << 1;
        QTest::newRow("flowers") << QList<int>{C::Flowers} << "1" << sent << 1;
        QTest::newRow("level") << QList<int>{C::Level} << "1" << sent << 1;
        QTest::newRow("tests") << QList<int>{C::Tests} << ""
                               << QStringList{"王五", "李四", "张三", "赵六"} << 1;
        QTest::newRow("tests again") << QList<int>{C::Tests, C::Tests} << ""
                                     << QStringList{"赵六", "李四", "张三", "王五"} << 0;
        QTest::newRow("mobile") << QList<int>{C::Mobile} << ""
                                << QStringList{"赵六", "王五", "张三", "李四"} << 0;
        QTest::newRow("mobile again") << QList<int>{C::Mobile, C::Mobile} << ""
                                      << QStringList{"张三", "王五", "赵六", "李四"} << 1;
    }
    void headerSorts() {
        QFETCH(QList<int>, clicks);
        QFETCH(QString, type);
        QFETCH(QStringList, names);
        QFETCH(int, order);
        m_server.setAnswer(DetailPath, Answer::json(fourPupils()));
        resizeTo(1280, 800);
        m_roster->refreshRoster();
        waitForDetails(2);
        const int before = m_server.requests().size();
        for (int column : clicks)
            clickHeader(column);
        if (type.isEmpty()) {
            nothingSentSince(before);
        } else {
            waitForDetails(3);
            QCOMPARE(lastDetail().second, type);
        }
        QCOMPARE(tableNames(), names);
        const QHeaderView *header = m_roster->rosterTable()->horizontalHeader();
        QCOMPARE(header->sortIndicatorSection(), clicks.last());
        QCOMPARE(int(header->sortIndicatorOrder()), order);
    }

    // The table from 900 px on, the list below; class, sort and the selected pupil cross either
    // way (a reload of the class keeps the pupil too), and crossing asks the service nothing.
    void crossingTheWidthKeepsClassSortAndSelection() {
        m_roster->changeClassAction();
        m_roster->changeView()->tableViewDidSelectRowAtIndexPath(1);
        waitForDetails(2);
        m_roster->tableView()->setCurrentIndex(m_roster->tableView()->model()->index(3, 0));
        resizeTo(1280, 800);
        QTableView *table = m_roster->rosterTable();
        QVERIFY(table->isVisible() && !m_roster->tableView()->isVisible());
        QVERIFY(!m_roster->sortView()->isVisible() && !m_roster->changeModelBtn()->isVisible());
        QCOMPARE(m_roster->selectedStudentRow(), 3);
        clickHeader(RosterColumns::Flowers);
        waitForDetails(3);
        QCOMPARE(lastDetail(), qMakePair(QStringLiteral("20"), QStringLiteral("1")));
        QCOMPARE(m_roster->selectedStudentRow(), 3);
        clickHeader(RosterColumns::Tests);
        const int before = m_server.requests().size();
        resizeTo(375, 667);
        QVERIFY(m_roster->tableView()->isVisible() && !table->isVisible());
        QCOMPARE(m_roster->sortView()->currentSelectedMenudIndex(), 1);
        QCOMPARE(m_roster->selectedStudentRow(), 3);
        QCOMPARE(m_roster->headTitleLabel()->text(), QStringLiteral("2年级2班"));
        resizeTo(1280, 800);
        QCOMPARE(table->horizontalHeader()->sortIndicatorSection(), int(RosterColumns::Tests));
        QCOMPARE(m_roster->selectedStudentRow(), 3);
        nothingSentSince(before);
        resizeTo(375, 667);
        tapColumn(0);
        waitForDetails(4);
        resizeTo(1280, 800);
        QCOMPARE(table->horizontalHeader()->sortIndicatorSection(), int(RosterColumns::Name));
        QCOMPARE(m_roster->currentRow(), 1);
    }

    // Down and Enter open the pupil in the table's order beside the table; Down moves it on.
    void tableRowOpensTheirHome() {
        m_server.setAnswer(DetailPath, Answer::json(fourPupils()));
        resizeTo(1280, 800);
        m_roster->refreshRoster();
        waitForDetails(2);
        QTableView *table = m_roster->rosterTable();
        // Current but not selected, as the focus leaves it: Down still starts at the top.
        table->selectionModel()->setCurrentIndex(table->model()->index(0, 0),
                                                 QItemSelectionModel::NoUpdate);
        clickHeader(RosterColumns::Tests);
        QCOMPARE(table->accessibleName(), QStringLiteral("学生列表"));
        QVERIFY(!table->horizontalHeader()->accessibleName().isEmpty());
        QTest::keyClick(table, Qt::Key_Down);
        QTest::keyClick(table, Qt::Key_Return);
        QCOMPARE(m_stack->topViewController(), m_roster);
        const auto paneDetail = [this] {
            NavigationController *pane = m_stack->detailPane();
            return pane ? qobject_cast<ClassDetailVC *>(pane->topViewController()) : nullptr;
        };
        QVERIFY(paneDetail());
        QCOMPARE(paneDetail()->studentModel().RealName, QStringLiteral("王五"));
        QTest::keyClick(table, Qt::Key_Down);
        QVERIFY(paneDetail());
        QCOMPARE(paneDetail()->studentModel().RealName,
                 table->currentIndex().siblingAtColumn(RosterColumns::Name).data().toString());
    }

    void lateAnswerAfterTheRosterIsGone() {
        m_server.setAnswer(DetailPath, {.body = pupils(3), .delayMs = 300});
        QSignalSpy received(&m_server, &StubHttpServer::requestReceived);
        tapColumn(1);
        QVERIFY(received.wait(5000));
        m_stack->popViewController(false);
        QTRY_VERIFY(m_roster.isNull());
        QTRY_VERIFY(!ProgressHud::isVisible());
        QVERIFY(!Toast::isShowing());
    }
};

QTEST_MAIN(tst_ClassViewController)
#include "tst_ClassViewController.moc"
