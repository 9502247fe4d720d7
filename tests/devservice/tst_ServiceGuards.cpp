// What the development service does against callers that are not its client: requests from web
// pages and foreign host names, idle and flooding connections, code guessing, account flows out
// of order, and damaged databases.

#include "ServiceTestClient.h"

#include "ServiceDatabase.h"

#include <QSqlQuery>
#include <QTcpSocket>
#include <QtTest>

#include <sys/resource.h>

namespace {

const QString Teacher1 = QStringLiteral("13800000001");
const QString Teacher2 = QStringLiteral("13800000002");

// Set by the service's warning when accept() fails.
bool g_acceptFailed = false;
QtMessageHandler g_previousHandler = nullptr;
void noteAcceptFailures(QtMsgType type, const QMessageLogContext &context, const QString &text) {
    if (text.contains(QLatin1String("cannot accept")))
        g_acceptFailed = true;
    g_previousHandler(type, context, text);
}

} // namespace

class tst_ServiceGuards : public QObject {
    Q_OBJECT

private slots:
    void init() { start({}); }
    void cleanup() { m_client.reset(); }

    void onlyLocalCallersAreServed_data();
    void onlyLocalCallersAreServed();
    void wrongMethodAndLongPath();
    void idleAndHalfSentConnectionsClose();
    void connectionsBeyondTheLimitAreRefused();
    void acceptingResumesAfterDescriptorsRunOut();
    void codeIssuingIsLimited();
    void wrongTriesAddUpAcrossCodes();
    void flowsKeepTheirOrder_data();
    void flowsKeepTheirOrder();
    void startWritesNothingAndRefusesDamage();

private:
    void start(std::function<void(ReadingServiceOptions &)> adjust) {
        m_client = std::make_unique<ServiceTestClient>(std::move(adjust));
        QVERIFY2(m_client->isReady(), qPrintable(m_client->startError()));
        m_now = QDateTime(QDate(2025, 10, 8), QTime(9, 0), Qt::UTC);
        m_client->service().context().now = [this] { return m_now; };
    }
    void connectTo(QTcpSocket &socket) {
        socket.connectToHost(QHostAddress::LocalHost, m_client->service().port());
    }
    // Sends a request on a new connection and returns what comes back until the service closes
    // it, which it must do by itself within five seconds.
    QByteArray exchange(const QByteArray &request) {
        QTcpSocket socket;
        QSignalSpy closed(&socket, &QTcpSocket::disconnected);
        QByteArray answer;
        QObject::connect(&socket, &QTcpSocket::readyRead, [&] { answer += socket.readAll(); });
        connectTo(socket);
        socket.write(request);
        return closed.wait(5000) ? answer + socket.readAll() : QByteArrayLiteral("(still open)");
    }
    QJsonObject sendCode(qint64 uid, const QString &mobile, int type) {
        return m_client->post(
            QStringLiteral("Mobile/SendVerification"),
            {{"uid", QString::number(uid)}, {"mobile", mobile}, {"type", QString::number(type)}});
    }
    QJsonObject confirm(qint64 uid, const QString &mobile, const QString &code, int type) {
        return m_client->post(QStringLiteral("Mobile/ConfirmVerification"),
                              {{"uid", QString::number(uid)},
                               {"code", code},
                               {"mobile", mobile},
                               {"type", QString::number(type)}});
    }

    std::unique_ptr<ServiceTestClient> m_client;
    QDateTime m_now;
};

void tst_ServiceGuards::onlyLocalCallersAreServed_data() {
    QTest::addColumn<QByteArray>("host");
    QTest::addColumn<QByteArray>("origin");
    QTest::addColumn<bool>("served");
    // PORT stands for the service's port.
    QTest::newRow("client") << QByteArray("127.0.0.1:PORT") << QByteArray() << true;
    QTest::newRow("loopback name") << QByteArray("localhost:PORT") << QByteArray() << true;
    QTest::newRow("own page") << QByteArray("[::1]:PORT") << QByteArray("http://localhost:PORT")
                              << true;
    QTest::newRow("other site") << QByteArray("127.0.0.1:PORT") << QByteArray("http://example.com")
                                << false;
    QTest::newRow("other local port")
        << QByteArray("127.0.0.1:PORT") << QByteArray("http://127.0.0.1:3000") << false;
    QTest::newRow("sandboxed page") << QByteArray("127.0.0.1:PORT") << QByteArray("null") << false;
    QTest::newRow("dns rebinding") << QByteArray("attacker.example:PORT") << QByteArray() << false;
}

void tst_ServiceGuards::onlyLocalCallersAreServed() {
    QFETCH(QByteArray, host);
    QFETCH(QByteArray, origin);
    QFETCH(bool, served);
    const QByteArray port = QByteArray::number(m_client->service().port());
    const QByteArray body = "NEWPassword=abcdef&oldPassword=123456&type=1&uid=1";
    QByteArray request = "POST /Mobile/SetNewPassword HTTP/1.1\r\nHost: " + host + "\r\n";
    if (!origin.isEmpty())
        request += "Origin: " + origin + "\r\n";
    request += "Content-Type: application/x-www-form-urlencoded\r\nConnection: close\r\n"
               "Content-Length: " +
               QByteArray::number(body.size()) + "\r\n\r\n" + body;
    const QByteArray answer = exchange(request.replace("PORT", port));
    QVERIFY2(answer.startsWith(served ? "HTTP/1.1 200" : "HTTP/1.1 403"), answer.constData());
    // A refused request changes nothing.
    QCOMPARE(m_client->login(Teacher1, QStringLiteral("123456")) != 0, !served);
}

void tst_ServiceGuards::wrongMethodAndLongPath() {
    int status = 0;
    m_client->get(QStringLiteral("Mobile/TeacherLogin"), &status);
    QCOMPARE(status, 405);
    const QJsonObject answer =
        QJsonDocument::fromJson(m_client->get(QString(5000, u'x'), &status)).object();
    QCOMPARE(status, 404);
    QVERIFY(msgOf(answer).size() < 120);
}

void tst_ServiceGuards::idleAndHalfSentConnectionsClose() {
    start([](ReadingServiceOptions &options) { options.idleTimeoutMs = 200; });
    QTcpSocket idle, halfSent, answered;
    for (QTcpSocket *socket : {&idle, &halfSent, &answered})
        connectTo(*socket);
    halfSent.write("POST /Mobile/TeacherLogin HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                   "Content-Length: 40\r\n\r\nuserName=");
    QTRY_COMPARE_WITH_TIMEOUT(idle.state(), QAbstractSocket::UnconnectedState, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(halfSent.state(), QAbstractSocket::UnconnectedState, 5000);
}

void tst_ServiceGuards::connectionsBeyondTheLimitAreRefused() {
    start([](ReadingServiceOptions &options) { options.maxConnections = 3; });
    QTcpSocket held[3];
    for (QTcpSocket &socket : held)
        connectTo(socket);
    QTRY_COMPARE(m_client->service().openConnections(), 3);
    QVERIFY(exchange("GET / HTTP/1.1\r\n\r\n").startsWith("HTTP/1.1 503"));
    held[0].abort();
    QTRY_COMPARE(m_client->service().openConnections(), 2);
    QCOMPARE(m_client->login(Teacher1, QStringLiteral("123456")), 1);
}

void tst_ServiceGuards::acceptingResumesAfterDescriptorsRunOut() {
    // The clients take the last descriptors, so the service's accept() finds none.
    rlimit saved{};
    QVERIFY(getrlimit(RLIMIT_NOFILE, &saved) == 0);
    rlimit tight = saved;
    tight.rlim_cur = rlim_t(QDir(QStringLiteral("/proc/self/fd")).count() + 4);
    g_acceptFailed = false;
    {
        g_previousHandler = qInstallMessageHandler(noteAcceptFailures);
        const auto restore = qScopeGuard([&] {
            setrlimit(RLIMIT_NOFILE, &saved);
            qInstallMessageHandler(g_previousHandler);
        });
        QVERIFY(setrlimit(RLIMIT_NOFILE, &tight) == 0);
        std::vector<std::unique_ptr<QTcpSocket>> sockets;
        for (int i = 0; i < 8; ++i) {
            sockets.push_back(std::make_unique<QTcpSocket>());
            connectTo(*sockets.back());
        }
        QTRY_VERIFY_WITH_TIMEOUT(g_acceptFailed, 5000);
    }
    QCOMPARE(m_client->login(Teacher1, QStringLiteral("123456")), 1);
}

void tst_ServiceGuards::codeIssuingIsLimited() {
    start([](ReadingServiceOptions &options) { options.codeLimits = CodeLimits(); });
    const QString tooSoon = QStringLiteral("验证码发送过于频繁，请稍后再试");
    QCOMPARE(resultOf(sendCode(2, Teacher2, 0)), 1);
    QCOMPARE(msgOf(sendCode(2, Teacher2, 0)), tooSoon);
    QCOMPARE(msgOf(sendCode(2, QStringLiteral("13911112222"), 0)), tooSoon); // same account
    for (int i = 1; i < CodeLimits().perDay; ++i) {
        m_now = m_now.addSecs(61);
        QCOMPARE(resultOf(sendCode(2, Teacher2, 0)), 1);
    }
    m_now = m_now.addSecs(61);
    QCOMPARE(msgOf(sendCode(2, Teacher2, 0)),
             QStringLiteral("今日获取验证码次数已达上限，请明天再试"));
    // A day later the allowance is back and the old codes are gone.
    m_now = m_now.addDays(1);
    QCOMPARE(resultOf(sendCode(2, Teacher2, 0)), 1);
    QCOMPARE(ServiceDatabase::scalar(m_client->service().context().db,
                                     QStringLiteral("SELECT COUNT(*) FROM verification_codes"))
                 ->toInt(),
             1);
}

void tst_ServiceGuards::wrongTriesAddUpAcrossCodes() {
    start([](ReadingServiceOptions &options) { options.codeLimits.wrongTriesPerDay = 6; });
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(resultOf(sendCode(2, Teacher2, 0)), 1); // a new code each time
        QCOMPARE(resultOf(confirm(2, Teacher2, QStringLiteral("000000"), 6)), 0);
    }
    QCOMPARE(resultOf(sendCode(2, Teacher2, 0)), 1);
    QCOMPARE(msgOf(confirm(2, Teacher2, ServiceTestClient::FixedCode, 6)),
             QStringLiteral("验证码错误次数过多，请明天再试"));
}

void tst_ServiceGuards::flowsKeepTheirOrder_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<Form>("form");
    QTest::addColumn<QString>("message");
    QTest::newRow("binding a second number")
        << "SendVerification" << Form{{"uid", "1"}, {"mobile", "13911112222"}, {"type", "0"}}
        << "该账号已绑定手机号";
    QTest::newRow("changing a number never bound")
        << "SendVerification" << Form{{"uid", "2"}, {"mobile", "13911112222"}, {"type", "1"}}
        << "请先绑定手机号";
    QTest::newRow("reset after ten minutes")
        << "SetNewPassword" << Form{{"uid", "1"}, {"type", "0"}, {"NEWPassword", "abcdef"}}
        << "请先验证手机号";
}

void tst_ServiceGuards::flowsKeepTheirOrder() {
    QFETCH(QString, operation);
    QFETCH(Form, form);
    QFETCH(QString, message);
    QCOMPARE(resultOf(m_client->post(QStringLiteral("Mobile/GetPasswordForget"),
                                     {{"mobile", Teacher1}, {"type", "1"}})),
             1);
    QCOMPARE(resultOf(confirm(1, Teacher1, ServiceTestClient::FixedCode, 7)), 1);
    m_now = m_now.addSecs(10 * 60 + 1);
    QCOMPARE(msgOf(m_client->post(QStringLiteral("Mobile/") + operation, form)), message);
}

void tst_ServiceGuards::startWritesNothingAndRefusesDamage() {
    QVERIFY(m_client->restart());
    QCOMPARE(ServiceDatabase::scalar(m_client->service().context().db,
                                     QStringLiteral("SELECT total_changes()"))
                 ->toInt(),
             0);
    m_client->restart(); // closes the file cleanly before it is damaged
    QFile file(m_client->databasePath());
    QVERIFY(file.open(QIODevice::ReadWrite));
    file.seek(file.size() / 2);
    file.write(QByteArray(64 * 1024, '\x5a'));
    file.close();
    QVERIFY(!m_client->restart());
    QVERIFY2(m_client->startError().contains(QLatin1String("damaged")),
             qPrintable(m_client->startError()));
}

QTEST_MAIN(tst_ServiceGuards)
#include "tst_ServiceGuards.moc"
