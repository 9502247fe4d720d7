// What the development service does against callers that are not its client: requests from web
// pages and foreign host names, idle and surplus connections, code guessing and account flows
// out of order.

#include "ServiceTestClient.h"

#include <QTcpSocket>
#include <QtTest>

class tst_ServiceGuards : public QObject {
    Q_OBJECT

    std::unique_ptr<ServiceTestClient> m_client;
    QDateTime m_now = QDateTime(QDate(2025, 10, 8), QTime(9, 0), Qt::UTC);

    void start() {
        m_client = std::make_unique<ServiceTestClient>();
        QVERIFY2(m_client->isReady(), qPrintable(m_client->startError()));
        m_client->service().context().now = [this] { return m_now; };
    }
    QString msg(Operation operation, const Form &form) {
        return msgOf(m_client->call(operation, form));
    }

private slots:
    void requestsFromElsewhere_data();
    void requestsFromElsewhere();
    void halfSentAndSurplusConnectionsClose();
    void codesAndAccountFlows();
};

void tst_ServiceGuards::requestsFromElsewhere_data() {
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<QByteArray>("status");
    const QByteArray post = "POST /Mobile/SetNewPassword HTTP/1.1\r\nHost: ";
    QTest::newRow("client") << post + "127.0.0.1:PORT" << QByteArray("200");
    QTest::newRow("other site") << post + "localhost\r\nOrigin: http://example.com"
                                << QByteArray("403");
    QTest::newRow("dns rebinding") << post + "attacker.example:PORT" << QByteArray("403");
    QTest::newRow("operation by GET") << "GET" + post.mid(4) + "localhost" << QByteArray("405");
    QTest::newRow("long path") << "GET /" + QByteArray(5000, 'x') + " HTTP/1.1\r\nHost: localhost"
                               << QByteArray("404");
}

// Every request asks for Connection: close, so the service must end each exchange itself.
void tst_ServiceGuards::requestsFromElsewhere() {
    QFETCH(QByteArray, head);
    QFETCH(QByteArray, status);
    start();
    const QByteArray body = "NEWPassword=abcdef&oldPassword=123456&type=1&uid=1";
    QTcpSocket socket;
    QSignalSpy closed(&socket, &QTcpSocket::disconnected);
    socket.connectToHost(QHostAddress::LocalHost, m_client->service().port());
    socket.write(head.replace("PORT", QByteArray::number(m_client->service().port())) +
                 "\r\nContent-Type: application/x-www-form-urlencoded\r\nConnection: close\r\n"
                 "Content-Length: " +
                 QByteArray::number(body.size()) + "\r\n\r\n" + body);
    QVERIFY(closed.wait(5000));
    const QByteArray answer = socket.readAll();
    QVERIFY2(answer.startsWith("HTTP/1.1 " + status) && answer.size() < 400, answer.constData());
    // Only the served request changed the password.
    QCOMPARE(m_client->login(QStringLiteral("13800000001"), QStringLiteral("123456")) == 0,
             status == "200");
}

// A connection that sends half a request (or nothing) is closed; one too many is refused.
void tst_ServiceGuards::halfSentAndSurplusConnectionsClose() {
    start();
    ReadingServiceOptions options;
    options.port = 0;
    options.databasePath = m_client->databasePath();
    options.idleTimeoutMs = 1500;
    options.maxConnections = 1;
    ReadingService service(options);
    QVERIFY(service.start());
    QTcpSocket halfSent, surplus;
    halfSent.connectToHost(QHostAddress::LocalHost, service.port());
    halfSent.write("POST /Mobile/TeacherLogin HTTP/1.1\r\nContent-Length: 40\r\n\r\nuser");
    QTRY_COMPARE(service.openConnections(), 1);
    surplus.connectToHost(QHostAddress::LocalHost, service.port());
    QByteArray refusal;
    QTRY_VERIFY((refusal += surplus.readAll()).startsWith("HTTP/1.1 503"));
    QTRY_COMPARE(halfSent.state(), QAbstractSocket::UnconnectedState);
}

void tst_ServiceGuards::codesAndAccountFlows() {
    start();
    m_client->service().context().codeLimits = {60000, 3, 3};
    const Form send{{"uid", "2"}, {"mobile", "13800000002"}, {"type", "0"}};
    const Form wrong{{"uid", "2"}, {"mobile", "13800000002"}, {"type", "6"}, {"code", "000000"}};
    for (int i = 0; i < 3; ++i, m_now = m_now.addSecs(61)) {
        QCOMPARE(msg(Operation::SendVerification, send), QString());
        QCOMPARE(msg(Operation::SendVerification, send),
                 QStringLiteral("验证码发送过于频繁，请稍后再试"));
        QCOMPARE(msg(Operation::ConfirmVerification, wrong), QStringLiteral("验证码错误或已过期"));
    }
    QCOMPARE(msg(Operation::SendVerification, send),
             QStringLiteral("今日获取验证码次数已达上限，请明天再试"));
    // The wrong tries on earlier codes count against the latest one too.
    QCOMPARE(
        msg(Operation::ConfirmVerification, {wrong[0], wrong[1], wrong[2], {"code", "123456"}}),
        QStringLiteral("验证码错误次数过多，请明天再试"));
    // The account flows keep their order.
    QCOMPARE(
        msg(Operation::SendVerification, {{"uid", "1"}, {"mobile", "13911112222"}, {"type", "0"}}),
        QStringLiteral("该账号已绑定手机号"));
    QCOMPARE(msg(Operation::ForgetVerification, {{"mobile", "13800000001"}, {"type", "1"}}),
             QString());
    const Form forgot{{"uid", "1"}, {"mobile", "13800000001"}, {"type", "7"}, {"code", "123456"}};
    QCOMPARE(msg(Operation::ConfirmVerification, forgot), QString());
    m_now = m_now.addSecs(10 * 60 + 1);
    QCOMPARE(
        msg(Operation::SetNewPassword, {{"uid", "1"}, {"type", "0"}, {"NEWPassword", "abcdef"}}),
        QStringLiteral("请先验证手机号"));
}

QTEST_MAIN(tst_ServiceGuards)
#include "tst_ServiceGuards.moc"
