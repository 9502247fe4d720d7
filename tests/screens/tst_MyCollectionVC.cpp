#include "CataloguePath.h"
#include "NavigationController.h"
#include "NotificationCenter.h"
#include "RefreshHeader.h"
#include "ScreenTestFixture.h"
#include "Tags.h"
#include "Toast.h"
#include "personal/MyCollectionVC.h"
#include "records/AccountRecords.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

// The teacher's collection against the stub service, through the real transport.
class tst_MyCollectionVC : public QObject {
    Q_OBJECT
    using Answer = StubHttpServer::Answer;
    using Ids = QList<qint64>;
    ScreenTestFixture m_fixture;
    StubHttpServer &m_server = m_fixture.server();
    const QString Path = TestCatalogue::pathOf("GetTeacherCollections");
    NavigationController *m_stack = nullptr;

    static QByteArray collection(const Ids &ids) {
        QJsonArray list;
        for (qint64 id : ids)
            list.append(QJsonObject{{"BookId", id}, {"BookName", "书"}, {"Flower", 2}});
        return QJsonDocument(QJsonObject{{"result", 1}, {"collectlist", list}}).toJson();
    }
    static Answer json(const Ids &ids) { return Answer::json(collection(ids)); }
    static Ids ids(MyCollectionVC *screen) {
        Ids found;
        for (const BookGridItem &book : screen->collectionArray())
            found.append(book.BookId);
        return found;
    }
    void settle(MyCollectionVC *screen, int requests) {
        QTRY_COMPARE(m_server.requests().size(), requests);
        QTRY_VERIFY(!screen->rows()->isLoading());
    }

private slots:
    void init() {
        QVERIFY(m_fixture.reset());
        LoginRsp::shareRsp().uid = 31;
        QVERIFY(m_fixture.show(m_stack = new NavigationController(new BasicVC)));
    }
    void cleanup() { m_fixture.closeWindow(); }

    // A first list, then the book detail's broadcast reloads the grid.
    void reloadAfterAList_data() {
        QTest::addColumn<Ids>("first");
        QTest::addColumn<Answer>("second");
        QTest::addColumn<Ids>("shown");
        QTest::addColumn<QString>("toast");
        const Ids old{3, 1, 2};
        QTest::newRow("list replaces") << old << json({9, 8}) << Ids{9, 8} << "";
        QTest::newRow("empty covers") << old << json({}) << Ids{} << "";
        QTest::newRow("cover goes") << Ids{} << json({5}) << Ids{5} << "";
        QTest::newRow("refusal") << old << Answer::json(R"({"result":0,"msg":"无权"})") << old
                                 << "无权";
        QTest::newRow("failure") << old << Answer::json("{}", 500) << old << "无网络连接";
    }
    void reloadAfterAList() {
        QFETCH(Ids, first);
        QFETCH(Answer, second);
        QFETCH(Ids, shown);
        QFETCH(QString, toast);
        m_server.queueAnswer(Path, json(first));
        m_server.setAnswer(Path, second);
        auto *screen = new MyCollectionVC;
        m_stack->pushViewController(screen, false);
        settle(screen, 1);
        QCOMPARE(m_server.lastRequest().path, Path);
        QCOMPARE(QString::fromUtf8(m_server.lastRequest().body), "uid=31");
        QCOMPARE(ids(screen), first);
        QCOMPARE(viewWithTag(screen, 500) != nullptr, first.isEmpty());

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
            Answer slow = Answer::json(body);
            slow.delayMs = 300;
            m_server.queueAnswer(Path, slow);
        }
        QPointer<MyCollectionVC> gone = new MyCollectionVC;
        m_stack->pushViewController(gone, false);
        QTRY_COMPARE(m_server.requests().size(), 1);
        m_stack->popViewController(false);
        QTRY_VERIFY(!gone);
        auto *again = new MyCollectionVC;
        m_stack->pushViewController(again, false);
        QTRY_COMPARE(ids(again), Ids{4});
        QVERIFY(!Toast::isShowing());
    }
};

QTEST_MAIN(tst_MyCollectionVC)
#include "tst_MyCollectionVC.moc"
