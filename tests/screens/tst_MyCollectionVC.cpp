#include "CataloguePath.h"
#include "NavigationController.h"
#include "NotificationCenter.h"
#include "ScreenTestFixture.h"
#include "Tags.h"
#include "Toast.h"
#include "common/ClassDetailListVC.h"
#include "personal/MyCollectionVC.h"
#include "records/AccountRecords.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QListView>
#include <QtTest>

// The teacher's collection against the stub service, through the real transport.
class tst_MyCollectionVC : public QObject {
    Q_OBJECT
    using Answer = StubHttpServer::Answer;
    using Ids = QList<qint64>;
    ScreenTestFixture m_fixture;
    StubHttpServer &m_server = m_fixture.server();
    const QString Path = TestCatalogue::pathOf(Operation::GetTeacherCollections);
    NavigationController *m_stack = nullptr;

    static Answer json(const Ids &ids) {
        QJsonArray list;
        for (qint64 id : ids)
            list.append(QJsonObject{{"BookId", id}, {"BookName", "书"}});
        return Answer::json(StubAnswers::ok({{"collectlist", list}}));
    }
    // The grid's books once the requests so far are answered, or "cover" for the empty cover.
    Ids settle(MyCollectionVC *screen, int requests) {
        Ids found;
        [&] {
            QTRY_COMPARE(m_server.requests().size(), requests);
            QTRY_VERIFY(!screen->rows()->isLoading());
        }();
        for (const BookGridItem &book : screen->collectionArray())
            found.append(book.BookId);
        return viewWithTag(screen, 500) ? Ids{-1} + found : found;
    }

private slots:
    void init() {
        QVERIFY(m_fixture.reset());
        LoginRsp::shareRsp().uid = 31;
        QVERIFY(m_stack = m_fixture.showStack());
    }
    void cleanup() { m_fixture.closeWindow(); }

    // A first list, then the book detail's broadcast reloads the grid; -1 stands for the cover.
    void reloadAfterAList_data() {
        QTest::addColumn<Ids>("first");
        QTest::addColumn<Answer>("second");
        QTest::addColumn<Ids>("shown");
        QTest::addColumn<QString>("toast");
        const Ids old{3, 1, 2};
        QTest::newRow("list replaces") << Ids{} << json({9, 8}) << Ids{9, 8} << "";
        QTest::newRow("empty covers") << old << json({}) << Ids{-1} << "";
        QTest::newRow("refusal") << old << Answer::json(StubAnswers::refused("无权")) << old
                                 << "无权";
    }
    void reloadAfterAList() {
        QFETCH(Ids, first);
        QFETCH(Answer, second);
        m_server.queueAnswer(Path, json(first));
        m_server.setAnswer(Path, second);
        auto *screen = new MyCollectionVC;
        m_stack->pushViewController(screen, false);
        QCOMPARE(settle(screen, 1), first.isEmpty() ? Ids{-1} : first);
        NotificationCenter::post(NOTIFICATION_UPDATE_MYCOLLECT);
        QTEST(settle(screen, 2), "shown");
        QTEST(Toast::isShowing() ? Toast::currentText() : QString(), "toast");
    }

    // Enter opens the current book, once however often it is pressed.
    void enterOpensTheBookOnce() {
        ClassDetailListVC::setBookDetailMaker([](qint64) { return new BasicVC; });
        m_server.setAnswer(Path, json({4, 5}));
        auto *screen = new MyCollectionVC;
        m_stack->pushViewController(screen, false);
        settle(screen, 1);
        screen->gridView()->setCurrentIndex(screen->rows()->index(1));
        QTest::keyClick(screen->gridView(), Qt::Key_Return);
        QTest::keyClick(screen->gridView(), Qt::Key_Enter);
        QCOMPARE(m_stack->viewControllers().size(), 3);
    }
};

QTEST_MAIN(tst_MyCollectionVC)
#include "tst_MyCollectionVC.moc"
