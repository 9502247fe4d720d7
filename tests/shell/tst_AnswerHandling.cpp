#include "AnswerCache.h"
#include "AnswerHandling.h"
#include "AppWindow.h"
#include "BaseAFHttpManager.h"
#include "CataloguePath.h"
#include "LoadMoreFooter.h"
#include "OfflineBar.h"
#include "OverlayHost.h"
#include "ProgressHud.h"
#include "RefreshHeader.h"
#include "ScreenTestFixture.h"
#include "TeacherRequestManager.h"
#include "Toast.h"
#include "ViewController.h"

#include <QListWidget>
#include <QTemporaryDir>
#include <QtTest>

// The shared answer handling, driven through the real transport against the in-process stub.
class tst_AnswerHandling : public QObject {
    Q_OBJECT

    ScreenTestFixture m_fixture;

    // Sends a sign-in whose answer reaches the handler.
    static void send(const AnswerHandler<LoginRsp> &handler) {
        LoginReq req;
        req.userName = QStringLiteral("13800138000");
        req.password = QStringLiteral("pw");
        TeacherRequestManager::request_Login_WithParams(req, handler.completion(),
                                                        handler.failure());
    }

private slots:
    void init() { QVERIFY(m_fixture.reset() && m_fixture.show(nullptr)); }

    void answers_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("succeeds");
        QTest::addColumn<QString>("toast"); // empty: none

        QTest::newRow("result 1") << QByteArray(R"({"result":1,"msg":"ok","uid":42})") << 200
                                  << true << "";
        QTest::newRow("result 0 with msg")
            << QByteArray(R"({"result":0,"msg":"密码错误"})") << 200 << false << "密码错误";
        QTest::newRow("other result with msg")
            << QByteArray(R"({"result":5,"msg":"稍后再试"})") << 200 << false << "稍后再试";
        QTest::newRow("result 0 without msg")
            << QByteArray(R"({"result":0})") << 200 << false << "";
        QTest::newRow("empty msg") << QByteArray(R"({"result":0,"msg":""})") << 200 << false << "";
        QTest::newRow("no result at all") << QByteArray(R"({"msg":"x"})") << 200 << false << "x";
        QTest::newRow("answer without a value") << QByteArray("") << 200 << false << "";
        QTest::newRow("array instead of object") << QByteArray("[1,2]") << 200 << false << "";
        QTest::newRow("server error")
            << QByteArray(R"({"result":1})") << 500 << false << AnswerHandling::NoNetworkText;
        QTest::newRow("not JSON") << QByteArray("<html>") << 200 << false
                                  << AnswerHandling::NoNetworkText;
        QTest::newRow("larger than accepted")
            << QByteArray(R"({"result":1,"msg":")").append(BaseAFHttpManager::MaxAnswerBytes, 'x') +
                   "\"}"
            << 200 << false << AnswerHandling::TooLargeText;
    }

    void answers() {
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(bool, succeeds);
        QFETCH(QString, toast);
        m_fixture.server().setAnswer(TestCatalogue::pathOf(Operation::Login),
                                     StubHttpServer::Answer::json(body, status));

        QObject screen;
        int successes = 0, failures = 0, uid = 0;
        bool done = false;
        ProgressHud::showWithStatus(QStringLiteral("正在登录"));
        auto handler = AnswerHandler<LoginRsp>(&screen)
                           .dismissingHud()
                           .onSuccess([&](const LoginRsp &rsp) {
                               ++successes;
                               uid = rsp.uid;
                               done = true;
                           })
                           .onFailure([&] {
                               ++failures;
                               done = true;
                           });
        send(handler);
        // Refusals have no hook here: wait for the HUD to go instead.
        QTRY_VERIFY_WITH_TIMEOUT(done || !ProgressHud::isVisible(), 10000);

        QVERIFY(!ProgressHud::isVisible());
        QCOMPARE(successes, succeeds ? 1 : 0);
        QCOMPARE(uid, succeeds ? 42 : 0);
        QCOMPARE(Toast::isShowing(), !toast.isEmpty());
        if (!toast.isEmpty())
            QCOMPARE(Toast::currentText(), toast);
        QCOMPARE(failures,
                 toast == AnswerHandling::NoNetworkText || toast == AnswerHandling::TooLargeText
                     ? 1
                     : 0);
    }

    void refreshControlsEndInBothCases_data() {
        QTest::addColumn<bool>("fail");
        QTest::newRow("answer") << false;
        QTest::newRow("failure") << true;
    }

    void refreshControlsEndInBothCases() {
        QFETCH(bool, fail);
        m_fixture.server().setAnswer(
            TestCatalogue::pathOf(Operation::Login),
            fail ? StubHttpServer::Answer::dropped()
                 : StubHttpServer::Answer::json(R"({"result":0,"msg":"m"})"));
        QListWidget list(m_fixture.window());
        auto *header = RefreshHeader::attach(&list, [] {});
        auto *footer = LoadMoreFooter::attach(&list, [] {});
        header->beginRefreshing();
        footer->beginRefreshing();
        QVERIFY(header->isRefreshing() && footer->isRefreshing());

        bool done = false;
        auto handler = AnswerHandler<LoginRsp>(&list)
                           .endingRefresh(header, footer)
                           .onRefusal([&](const LoginRsp &) { done = true; })
                           .onFailure([&] { done = true; });
        send(handler);
        QTRY_VERIFY_WITH_TIMEOUT(done, 10000);
        QVERIFY(!header->isRefreshing());
        QVERIFY(!footer->isRefreshing());
    }

    // A screen closed before its answer: only the accepted step runs (the notification a grade
    // owes other lists), never the screen's own code, and a refusal touches nothing.
    void lateAnswerRunsOnlyTheAcceptedStep_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("accepted");
        QTest::newRow("accepted") << QByteArray(R"({"result":1,"uid":7})") << 1;
        QTest::newRow("refused") << QByteArray(R"({"result":0,"msg":"no"})") << 0;
    }

    void lateAnswerRunsOnlyTheAcceptedStep() {
        QFETCH(QByteArray, body);
        QFETCH(int, accepted);
        auto answer = StubHttpServer::Answer::json(body);
        answer.delayMs = 200;
        m_fixture.server().setAnswer(TestCatalogue::pathOf(Operation::Login), answer);
        auto *screen = new QObject;
        int accepts = 0, others = 0;
        auto handler = AnswerHandler<LoginRsp>(screen)
                           .onAccepted([&](const LoginRsp &rsp) { accepts += rsp.uid == 7; })
                           .onSuccess([&](const LoginRsp &) { ++others; })
                           .onRefusal([&](const LoginRsp &) { ++others; });
        send(handler);
        delete screen;
        QTRY_COMPARE_WITH_TIMEOUT(BaseAFHttpManager::callsInFlight(), 0, 10000);
        QCOMPARE(accepts, accepted);
        QCOMPARE(others, 0);
        QVERIFY(!Toast::isShowing());
    }

    // A read the network could not bring, answered from what was kept, shows the offline bar on
    // its screen instead of the toast, above the content rather than over it; a refusal is no
    // new answer; the next accepted one takes the bar away and gives the room back.
    void offlineBarShowsWhileAnswersAreKeptOnes() {
        QTemporaryDir dir;
        AnswerCache::instance().setFolder(dir.path());
        AnswerCache::instance().openFor(1);
        ViewController screen(m_fixture.window());
        const int top = screen.contentsMargins().top();
        using Answer = StubHttpServer::Answer;
        const struct {
            Answer answer;
            bool bar;
            QString toast;
        } steps[] = {
            {Answer::json(R"({"result":1})"), false, {}},
            {Answer::dropped(), true, {}},
            {Answer::json(R"({"result":0,"msg":"停用"})"), true, QStringLiteral("停用")},
            {Answer::json(R"({"result":1})"), false, {}},
        };
        static const QRegularExpression words(QStringLiteral("^离线 · 数据更新于 \\d\\d:\\d\\d$"));
        for (const auto &step : steps) {
            m_fixture.server().setAnswer(TestCatalogue::pathOf(Operation::GetFeelList),
                                         step.answer);
            Toast::hide();
            const auto handler = AnswerHandler<GetFeelListRsp>(&screen);
            TeacherRequestManager::request_GetFeelList_WithParams(
                GetFeelListReq(), handler.completion(), handler.failure());
            QTRY_COMPARE_WITH_TIMEOUT(BaseAFHttpManager::callsInFlight(), 0, 10000);
            OfflineBar *bar = OfflineBar::of(&screen);
            QCOMPARE(bar != nullptr, step.bar);
            QVERIFY(!bar || words.match(bar->text()).hasMatch());
            QCOMPARE(Toast::isShowing() ? Toast::currentText() : QString(), step.toast);
            QCOMPARE(screen.contentsMargins().top(), top + (bar ? OfflineBar::Height : 0));
        }
        // A screen's part that is a screen of its own (the review desk's list) shares its bar.
        auto *part = new ViewController;
        screen.addChildViewController(part);
        OfflineBar::showOn(part, QDateTime::currentDateTime());
        QVERIFY(screen.findChild<OfflineBar *>(QString(), Qt::FindDirectChildrenOnly));

        // An answer kept on another day says which.
        const QDateTime now(QDate(2026, 12, 7), QTime(9, 30));
        QCOMPARE(OfflineBar::wordsFor(now.addSecs(-3600), now),
                 QStringLiteral("离线 · 数据更新于 08:30"));
        QCOMPARE(OfflineBar::wordsFor(now.addDays(-2), now),
                 QStringLiteral("离线 · 数据更新于 12月5日 09:30"));
    }
};

QTEST_MAIN(tst_AnswerHandling)
#include "tst_AnswerHandling.moc"
