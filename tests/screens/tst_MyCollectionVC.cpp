#include "BasicVC.h"
#include "CataloguePath.h"
#include "NavigationController.h"
#include "NotificationCenter.h"
#include "RefreshHeader.h"
#include "ScreenTestFixture.h"
#include "Tags.h"
#include "Toast.h"
#include "classes/ClassDetailListVC.h"
#include "personal/MyCollectionVC.h"
#include "records/AccountRecords.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

// The teacher's collection against the stub service, through the real transport.
class tst_MyCollectionVC : public QObject {
    Q_OBJECT

    ScreenTestFixture m_fixture;
    StubHttpServer &m_server = m_fixture.server();
    QPointer<NavigationController> m_stack;
    const QString Path = TestCatalogue::pathOf("GetTeacherCollections");

    static QByteArray collection(const QList<int> &ids) {
        QJsonArray list;
        for (int id : ids)
            list.append(QJsonObject{{"BookId", id}, {"BookName", "书"}, {"Flower", 2}});
        return QJsonDocument(QJsonObject{{"result", 1}, {"collectlist", list}})
            .toJson(QJsonDocument::Compact);
    }
    MyCollectionVC *open() {
        auto *screen = new MyCollectionVC;
        m_stack = new NavigationController(new BasicVC);
        if (m_fixture.show(m_stack))
            m_stack->pushViewController(screen, false);
        return screen;
    }
    void settle(MyCollectionVC *screen, int requests) {
        QTRY_COMPARE(m_server.requests().size(), requests);
        QTRY_VERIFY(!screen->rows()->isLoading());
    }
    static QList<qint64> ids(MyCollectionVC *screen) {
        QList<qint64> found;
        for (const BookGridItem &book : screen->collectionArray())
            found.append(book.BookId);
        return found;
    }

private slots:
    void init() {
        QVERIFY(m_fixture.reset());
        LoginRsp::shareRsp().uid = 31;
    }
    void cleanup() {
        m_fixture.closeWindow();
        ClassDetailListVC::setBookDetailMaker({});
    }

    // A first list, a tap on its first book (the detail stays on top), then the detail's
    // broadcast reloads the grid beneath it.
    void reloadAfterAList_data() {
        using A = StubHttpServer::Answer;
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<A>("second");
        QTest::addColumn<QList<qint64>>("shown");
        QTest::addColumn<QString>("toast");
        const QByteArray three = collection({3, 1, 2});
        QTest::newRow("new list replaces")
            << three << A::json(collection({9, 8})) << QList<qint64>{9, 8} << "";
        QTest::newRow("empty list covers")
            << three << A::json(collection({})) << QList<qint64>{} << "";
        QTest::newRow("cover goes on reload")
            << collection({}) << A::json(collection({5})) << QList<qint64>{5} << "";
        QTest::newRow("refusal keeps rows") << three << A::json(R"({"result":0,"msg":"已下架"})")
                                            << QList<qint64>{3, 1, 2} << "已下架";
        QTest::newRow("failure keeps rows")
            << three << A::json("{}", 500) << QList<qint64>{3, 1, 2} << "无网络连接";
    }
    void reloadAfterAList() {
        QFETCH(QByteArray, first);
        QFETCH(StubHttpServer::Answer, second);
        QFETCH(QList<qint64>, shown);
        QFETCH(QString, toast);
        m_server.queueAnswer(Path, StubHttpServer::Answer::json(first));
        m_server.setAnswer(Path, second);
        qint64 opened = 0;
        ClassDetailListVC::setBookDetailMaker([&opened](qint64 id) {
            opened = id;
            return new BasicVC;
        });
        MyCollectionVC *screen = open();
        settle(screen, 1);
        QCOMPARE(m_server.lastRequest().path, Path);
        QCOMPARE(QString::fromUtf8(m_server.lastRequest().body), "uid=31");
        const QList<qint64> before = ids(screen);
        QCOMPARE(viewWithTag(screen, 500) != nullptr, before.isEmpty());
        screen->collectionView(screen->rows()->index(0));
        QCOMPARE(opened, before.value(0));
        QCOMPARE(m_stack->viewControllers().size(), before.isEmpty() ? 2 : 3);

        NotificationCenter::post(NOTIFICATION_UPDATE_MYCOLLECT);
        settle(screen, 2);
        QCOMPARE(ids(screen), shown);
        QCOMPARE(viewWithTag(screen, 500) != nullptr, shown.isEmpty());
        QCOMPARE(Toast::isShowing() ? Toast::currentText() : QString(), toast);
        QVERIFY(!screen->rows()->header()->isRefreshing());
    }

    // A refusal answering after its screen closed toasts nothing; the next screen's answer, sent
    // after it, shows that it came back.
    void lateAnswerAfterTheScreenIsGone() {
        for (const QByteArray &body :
             {QByteArray(R"({"result":0,"msg":"迟到"})"), collection({4})}) {
            StubHttpServer::Answer slow = StubHttpServer::Answer::json(body);
            slow.delayMs = 300;
            m_server.queueAnswer(Path, slow);
        }
        QPointer<MyCollectionVC> gone = open();
        QTRY_COMPARE(m_server.requests().size(), 1);
        m_stack->popViewController(false);
        QTRY_VERIFY(!gone);
        auto *again = new MyCollectionVC;
        m_stack->pushViewController(again, false);
        QTRY_COMPARE(ids(again), QList<qint64>{4});
        QVERIFY(!Toast::isShowing());
    }
};

QTEST_MAIN(tst_MyCollectionVC)
#include "tst_MyCollectionVC.moc"
