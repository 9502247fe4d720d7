#include "AppWindow.h"
#include "BasicVC.h"
#include "CataloguePath.h"
#include "LoadMoreFooter.h"
#include "NavigationController.h"
#include "OfflineBar.h"
#include "ProgressHud.h"
#include "ScreenTestFixture.h"
#include "Toast.h"
#include "classes/ClassDetailVC.h"
#include "common/BookCollectionCell.h"
#include "common/BookGridRows.h"
#include "common/ClassDetailListVC.h"
#include "common/FlowerListView.h"

#include <QAbstractItemModelTester>
#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

// The pupil's home and its book grids against the stub service, through the real transport.
class tst_ClassDetailVC : public QObject {
    Q_OBJECT
    using Answer = StubHttpServer::Answer;

    ScreenTestFixture m_fixture;
    StubHttpServer &m_server = m_fixture.server();
    QTemporaryDir m_imageCache;
    QPointer<NavigationController> m_stack;

    const QString HomePath = TestCatalogue::pathOf(Operation::GetStudentPersonHomeIndex);
    const QString RecommendPath = TestCatalogue::pathOf(Operation::GetRecommendBookList);

    // `count` books from `firstId`, their flowers under `flowerKey`.
    static QJsonArray books(int count, int firstId = 1, const char *flowerKey = "FlowerCount",
                            int flowers = 3) {
        QJsonArray list;
        for (int i = 0; i < count; ++i)
            list.append(QJsonObject{{"BookId", firstId + i},
                                    {"BookName", QStringLiteral("书%1").arg(firstId + i)},
                                    {"ImageUrl", ""},
                                    {flowerKey, flowers}});
        return list;
    }
    static QByteArray page(const QJsonArray &items, const char *listKey = "testList",
                           const QJsonObject &user = {{"RealName", "小明"}}) {
        return QJsonDocument(
                   QJsonObject{{"result", 1}, {"msg", ""}, {"user", user}, {listKey, items}})
            .toJson(QJsonDocument::Compact);
    }

    // A stack whose root is a plain screen, so the pushed screen has somewhere to go back to.
    void open(ViewController *screen) {
        QVERIFY(m_stack = m_fixture.showStack());
        m_stack->pushViewController(screen, false);
    }
    ClassDetailListVC *openGrid(ClassDetailListVC::ListType type) {
        auto *grid = new ClassDetailListVC(type);
        grid->setUserId(42);
        grid->setBookId(7);
        open(grid);
        return grid;
    }
    ClassDetailVC *openHome() {
        auto *home = new ClassDetailVC;
        StudentListModel pupil;
        pupil.UserId = 42;
        home->setStudentModel(pupil);
        open(home);
        return home;
    }
    // Waits until `n` requests were received and their answers handled.
    void settle(int n) {
        QTRY_COMPARE(m_server.requests().size(), n);
        m_fixture.settle();
    }
    QHash<QString, QString> form(int i) { return m_server.requests().value(i).form(); }
    // Outlets by the names the scripted driver uses.
    static QString label(QWidget *screen, const char *name) {
        return screen->findChild<QLabel *>(name)->text();
    }
    static QPushButton *button(QWidget *screen, const char *name) {
        return screen->findChild<QPushButton *>(name);
    }

private slots:
    void initTestCase() { qputenv("TEACHER_CLIENT_CACHE_DIR", m_imageCache.path().toUtf8()); }

    void init() { QVERIFY(m_fixture.reset()); }

    void cleanup() { m_fixture.closeWindow(); }

    // Under the offline bar the hand-placed grid and its tab headers move down with the header.
    void offlineBarPushesTheGridDown() {
        m_server.setAnswer(HomePath, Answer::json(page(books(3))));
        ClassDetailVC *home = openHome();
        settle(1);
        const QRect before = home->currentVC()->geometry();
        OfflineBar::showOn(home, QDateTime::currentDateTime());
        QCOMPARE(home->currentVC()->geometry(), before.adjusted(0, OfflineBar::Height, 0, 0));
        QCOMPARE(home->findChild<QFrame *>("testView")->geometry().bottom(),
                 before.top() + OfflineBar::Height);
    }

    void firstRequestOfEachMode_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("fields");
        QTest::newRow("100 tested") << 100 << HomePath << "pageIndex=1&pageSize=9&type=1&uid=42";
        QTest::newRow("101 collected") << 101 << HomePath << "pageIndex=1&pageSize=9&type=2&uid=42";
        QTest::newRow("102 recommended") << 102 << RecommendPath << "bookId=7&top=6";
    }
    void firstRequestOfEachMode() {
        QFETCH(int, mode);
        QFETCH(QString, path);
        QFETCH(QString, fields);
        m_server.setAnswer(path, Answer::json(StubAnswers::ok()));
        openGrid(ClassDetailListVC::ListType(mode));
        QVERIFY(ProgressHud::isVisible());
        settle(1);
        QCOMPARE(m_server.lastRequest().path, path);
        QCOMPARE(QString::fromUtf8(m_server.lastRequest().body), fields);
    }

    // Page 1 with nine books, then a pull-up answered as each row says. Only a success moves the
    // page on; after a refusal or a failure the next pull asks for page 2 again.
    void loadMoreAnswers_data() {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("pageAfter");
        QTest::addColumn<QString>("toast");
        QTest::newRow("result 1 appends") << Answer::json(page(books(4, 100))) << 13 << 2 << "";
        QTest::newRow("empty page still counts") << Answer::json(page({})) << 9 << 2 << "";
        QTest::newRow("refusal keeps the page")
            << Answer::json(StubAnswers::refused("暂无权限")) << 9 << 1 << "暂无权限";
        // A 500 rather than a dropped connection: the network layer may resend a dropped POST.
        QTest::newRow("transport failure keeps the page")
            << Answer::json("{}", 500) << 9 << 1 << "无网络连接";
    }
    void loadMoreAnswers() {
        QFETCH(Answer, answer);
        QFETCH(int, rows);
        QFETCH(int, pageAfter);
        QFETCH(QString, toast);
        m_server.queueAnswer(HomePath, Answer::json(page(books(9))));
        m_server.queueAnswer(HomePath, answer);
        m_server.setAnswer(HomePath, Answer::json(page(books(1, 500))));
        ClassDetailListVC *grid = openGrid(ClassDetailListVC::TestList);
        QAbstractItemModelTester tester(grid->rows(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        settle(1);
        QCOMPARE(grid->collectionArray().size(), 9);

        grid->rows()->loadMore();
        QTRY_COMPARE(grid->collectionArray().size(), rows);
        QTRY_VERIFY(!grid->rows()->isLoading());
        QCOMPARE(form(1).value("pageIndex"), "2");
        QCOMPARE(grid->pageIndex(), pageAfter);
        QCOMPARE(Toast::currentText(), toast);
        QCOMPARE(grid->collectionArray().first().BookId, 1);

        grid->rows()->loadMore();
        QTRY_COMPARE(grid->collectionArray().last().BookId, 500);
        QCOMPARE(m_server.lastRequest().form().value("pageIndex"), QString::number(pageAfter + 1));
    }

    // Each mode reads the flowers from its own field; the row shows at most five.
    void flowerCountRule_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<int>("shown");
        const QJsonObject both{{"BookId", 1}, {"FlowerCount", 7}, {"Flower", 2}};
        QTest::newRow("100 reads FlowerCount, 7 shows 5") << 100 << page({both}) << 7LL << 5;
        QTest::newRow("101 reads FlowerCount") << 101 << page({both}, "bookList") << 7LL << 5;
        QTest::newRow("102 reads Flower") << 102 << page({both}, "bookList") << 2LL << 2;
        QTest::newRow("0 shows none") << 100 << page(books(1, 1, "FlowerCount", 0)) << 0LL << 0;
        QTest::newRow("negative shows none")
            << 100 << page(books(1, 1, "FlowerCount", -3)) << -3LL << 0;
    }
    void flowerCountRule() {
        QFETCH(int, mode);
        QFETCH(QByteArray, answer);
        QFETCH(qint64, count);
        QFETCH(int, shown);
        const QString path = mode == 102 ? RecommendPath : HomePath;
        m_server.setAnswer(path, Answer::json(answer));
        ClassDetailListVC *grid = openGrid(ClassDetailListVC::ListType(mode));
        QTRY_COMPARE(grid->rows()->rowCount(), 1);
        const QModelIndex cell = grid->rows()->index(0);
        QCOMPARE(cell.data(BookGridRows::FlowerCountRole).toLongLong(), count);
        FlowerListView row;
        row.showFlowerWithCount(count);
        QCOMPARE(row.shownFlowers(), shown);
    }

    void recommendedGridHasNoPagingAndLoadsCovers() {
        QBuffer png;
        png.open(QIODevice::WriteOnly);
        QImage(30, 40, QImage::Format_RGB32).save(&png, "PNG");
        m_server.setAnswer("cover/9.png", {.contentType = "image/png", .body = png.data()});
        QJsonArray list = books(6, 1, "Flower");
        QJsonObject first = list[0].toObject();
        first["ImageUrl"] = m_server.baseUrl() + "cover/9.png";
        list[0] = first;
        m_server.setAnswer(RecommendPath, Answer::json(page(list, "bookList")));
        ClassDetailListVC *grid = openGrid(ClassDetailListVC::RecommendList);
        QTRY_COMPARE(grid->rows()->rowCount(), 6);
        QTRY_VERIFY(!grid->rows()->index(0).data(Qt::DecorationRole).value<QPixmap>().isNull());
        QCOMPARE(grid->rows()->index(0).data(Qt::DisplayRole).toString(), QStringLiteral("书1"));
        // A pull-up has nothing to run, and the view is never told there is more.
        QVERIFY(!LoadMoreFooter::of(grid->gridView()));
        QVERIFY(!grid->rows()->canFetchMore({}));
        QCOMPARE(m_server.requests().size(), 2); // the list and the cover
    }

    void tappedBookOpensItsDetail() {
        QPointer<BasicVC> detail;
        qint64 opened = 0;
        ClassDetailListVC::setBookDetailMaker([&](qint64 bookId) {
            opened = bookId;
            return detail = new BasicVC;
        });
        m_server.setAnswer(HomePath, Answer::json(page(books(3, 20))));
        ClassDetailListVC *grid = openGrid(ClassDetailListVC::TestList);
        QTRY_COMPARE(grid->rows()->rowCount(), 3);
        grid->collectionView(grid->rows()->index(5)); // not there: nothing
        grid->collectionView({});
        QVERIFY(!detail);
        grid->gridView()->setCurrentIndex(grid->rows()->index(1));
        QTest::keyClick(grid->gridView(), Qt::Key_Return);
        // A click while the detail slides in (a quick second tap) opens no second one.
        QTest::mouseClick(grid->gridView()->viewport(), Qt::LeftButton, {},
                          grid->gridView()->visualRect(grid->rows()->index(1)).center());
        QVERIFY(detail);
        QCOMPARE(m_stack->viewControllers().size(), 3);
        QCOMPARE(m_stack->topViewController(), detail.data());
        QCOMPARE(opened, 21);
        QVERIFY(detail->hidesBottomBarWhenPushed());
    }

    void homeHeaderFollowsTheLatestAnswer_data() {
        QTest::addColumn<QJsonObject>("user");
        QTest::addColumn<QString>("location");
        const QJsonObject full{{"AreaName", "海淀区"},
                               {"SchoolName", "实验小学"},
                               {"GradeStr", "三年级"},
                               {"ClassName", "2班"}};
        QTest::newRow("all four") << full << "海淀区实验小学三年级2班";
        QJsonObject noArea = full;
        noArea["AreaName"] = "";
        QTest::newRow("no area starts with the school") << noArea << "实验小学三年级2班";
        QJsonObject missing = full;
        missing.remove("GradeStr");
        QTest::newRow("an absent part is skipped") << missing << "海淀区实验小学2班";
        QTest::newRow("none") << QJsonObject{} << "";
    }
    void homeHeaderFollowsTheLatestAnswer() {
        QFETCH(QJsonObject, user);
        QFETCH(QString, location);
        user["RealName"] = "小红";
        user["MyTitle"] = "书童";
        user["FlowerNumber"] = 12;
        m_server.setAnswer(HomePath, Answer::json(page(books(2), "testList", user)));
        ClassDetailVC *home = openHome();
        settle(1);
        QCOMPARE(home->title(), QStringLiteral("详情"));
        QCOMPARE(form(0).value("uid"), "42");
        QCOMPARE(label(home, "studentNameLabel"), QStringLiteral("小红"));
        QCOMPARE(label(home, "studentTitleLabel"), QStringLiteral("(等级)书童"));
        QCOMPARE(label(home, "flowerCountLabel"), QStringLiteral("x12朵"));
        QCOMPARE(label(home, "studentClassLabel"), location);
    }

    // A page that a newer load overtook changes nothing, the pupil's header included.
    void supersededPageChangesNothing() {
        m_server.queueAnswer(
            HomePath, {.body = page(books(1), "testList", {{"RealName", "旧"}}), .delayMs = 50});
        m_server.queueAnswer(
            HomePath, {.body = page(books(1), "testList", {{"RealName", "新"}}), .delayMs = 600});
        ClassDetailVC *home = openHome();
        QTRY_COMPARE(m_server.requests().size(), 1);
        home->findChild<ClassDetailListVC *>()->reload();
        QTRY_COMPARE(m_server.requests().size(), 2);
        QTest::qWait(300);
        QVERIFY(label(home, "studentNameLabel") != QStringLiteral("旧"));
        settle(2);
        QCOMPARE(label(home, "studentNameLabel"), QStringLiteral("新"));
    }

    void tabsLoadOnceKeepTheirBooksAndTakeKeys() {
        m_server.setAnswer(HomePath, Answer::json(page(books(9))));
        ClassDetailVC *home = openHome();
        settle(1);
        QCOMPARE(home->currentVC(), home->grid(0));
        QVERIFY(!home->grid(1)->isViewLoaded());

        m_server.setAnswer(HomePath,
                           Answer::json(page(books(2, 50), "bookList", {{"RealName", "新名"}})));
        QTest::mouseClick(button(home, "collectCountButton"), Qt::LeftButton);
        settle(2);
        QCOMPARE(form(1).value("type"), "2");
        QCOMPARE(form(1).value("pageIndex"), "1");
        QCOMPARE(home->currentVC(), home->grid(1));
        QVERIFY(home->grid(1)->isVisible() && !home->grid(0)->isVisible());
        QCOMPARE(home->grid(1)->collectionArray().size(), 2);
        QCOMPARE(label(home, "studentNameLabel"), QStringLiteral("新名"));
        // The chosen tab's header lies above its grid.
        const QObjectList order = home->children();
        QVERIFY(order.indexOf(home->findChild<QWidget *>("collectView")) >
                order.indexOf(home->grid(1)));

        for (const char *tab :
             {"testCountButton", "testCountButton", "collectCountButton", "testCountButton"})
            QTest::mouseClick(button(home, tab), Qt::LeftButton);
        QCOMPARE(home->currentVC(), home->grid(0));
        QCOMPARE(home->grid(0)->collectionArray().size(), 9);
        QCOMPARE(m_server.requests().size(), 2);

        // F5 reloads the grid in front only.
        home->grid(0)->gridView()->setFocus();
        QTest::keyClick(home->grid(0)->gridView(), Qt::Key_F5);
        settle(3);
        QCOMPARE(form(2).value("type"), "1");
        QCOMPARE(form(2).value("pageIndex"), "1");

        // Esc in the grid leaves the home: the grid inside it adds no back keys of its own.
        QPointer<ClassDetailVC> gone(home);
        QTest::keyClick(home->grid(0)->gridView(), Qt::Key_Escape);
        QTRY_VERIFY(!gone);
    }

    void lateAnswersAfterTheHomeIsGone() {
        m_server.setAnswer(
            HomePath, {.body = page(books(3), "testList", {{"RealName", "迟到"}}), .delayMs = 300});
        QPointer<ClassDetailVC> home = openHome();
        QSignalSpy received(&m_server, &StubHttpServer::requestReceived);
        QVERIFY(received.wait(5000));
        m_stack->popViewController(false);
        QTRY_VERIFY(!home);
        QTRY_VERIFY(!ProgressHud::isVisible());
        QVERIFY(!Toast::isShowing());
        QCOMPARE(m_stack->viewControllers().size(), 1);
    }
};

QTEST_MAIN(tst_ClassDetailVC)
#include "tst_ClassDetailVC.moc"
