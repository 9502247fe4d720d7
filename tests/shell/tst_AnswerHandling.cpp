#include "AnswerHandling.h"
#include "LoadMoreFooter.h"
#include "OverlayHost.h"
#include "ProgressHud.h"
#include "RefreshHeader.h"
#include "StubHttpServer.h"
#include "TeacherRequestManager.h"
#include "Toast.h"

#include <QListWidget>
#include <QTemporaryDir>
#include <QtTest>

// The shared answer handling, driven through the real transport against the in-process stub.
class tst_AnswerHandling : public QObject {
    Q_OBJECT

    StubHttpServer m_server;
    QTemporaryDir m_config;
    QWidget m_window;

    // Records what the screen's own code saw.
    struct Seen {
        int successes = 0;
        int refusals = 0;
        int failures = 0;
        LoginRsp last;
    };

    static LoginReq request() {
        LoginReq req;
        req.userName = QStringLiteral("13800138000");
        req.password = QStringLiteral("pw");
        return req;
    }

    // Sends a login through `handler` and waits until one of its callbacks has run.
    static void sendAndWait(AnswerHandler<LoginRsp> &handler, bool *done) {
        TeacherRequestManager::request_Login_WithParams(request(), handler.completion(),
                                                        handler.failure());
        QTRY_VERIFY_WITH_TIMEOUT(*done, 10000);
    }

private slots:
    void initTestCase() {
        QVERIFY(m_server.start());
        qputenv("TEACHER_SERVICE_URL", m_server.baseUrl().toUtf8());
        qputenv("TEACHER_CLIENT_CONFIG_DIR", m_config.path().toUtf8());
        m_window.resize(375, 667);
        m_window.show();
        OverlayHost::setHost(&m_window);
    }

    void cleanup() {
        Toast::hide();
        ProgressHud::dismiss();
    }

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
    }

    void answers() {
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(bool, succeeds);
        QFETCH(QString, toast);
        m_server.setAnswer("Mobile/TeacherLogin", StubHttpServer::Answer::json(body, status));

        QObject screen;
        Seen seen;
        bool done = false;
        ProgressHud::showWithStatus(QStringLiteral("正在登录"));
        auto handler = AnswerHandler<LoginRsp>(&screen)
                           .dismissingHud()
                           .onSuccess([&](const LoginRsp &rsp) {
                               ++seen.successes;
                               seen.last = rsp;
                               done = true;
                           })
                           .onFailure([&] {
                               ++seen.failures;
                               done = true;
                           });
        TeacherRequestManager::request_Login_WithParams(request(), handler.completion(),
                                                        handler.failure());
        // Refusals have no hook here: wait for the HUD to go instead.
        QTRY_VERIFY_WITH_TIMEOUT(done || !ProgressHud::isVisible(), 10000);

        QVERIFY(!ProgressHud::isVisible());
        QCOMPARE(seen.successes, succeeds ? 1 : 0);
        if (succeeds)
            QCOMPARE(seen.last.uid, 42);
        QCOMPARE(Toast::isShowing(), !toast.isEmpty());
        if (!toast.isEmpty())
            QCOMPARE(Toast::currentText(), toast);
        QCOMPARE(seen.failures, toast == AnswerHandling::NoNetworkText ? 1 : 0);
    }

    void refreshControlsEndInBothCases_data() {
        QTest::addColumn<bool>("fail");
        QTest::newRow("answer") << false;
        QTest::newRow("failure") << true;
    }

    void refreshControlsEndInBothCases() {
        QFETCH(bool, fail);
        m_server.setAnswer("Mobile/TeacherLogin",
                           fail ? StubHttpServer::Answer::dropped()
                                : StubHttpServer::Answer::json(R"({"result":0,"msg":"m"})"));
        QListWidget list(&m_window);
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
        sendAndWait(handler, &done);
        QVERIFY(!header->isRefreshing());
        QVERIFY(!footer->isRefreshing());
    }
};

QTEST_MAIN(tst_AnswerHandling)
#include "tst_AnswerHandling.moc"
