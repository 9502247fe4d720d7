// The HTTP stub the transport tests stand on, checked byte by byte over raw sockets: if it
// misframes requests or answers, every transport test above it proves nothing.
#include "StubHttpServer.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

namespace {
// Everything the server sent until it closed the connection or the wait ran out; requests ask
// for the close.
QByteArray exchange(quint16 port, const QList<QByteArray> &chunks, int waitMs = 3000) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(waitMs))
        return "not connected";
    for (const QByteArray &chunk : chunks) {
        socket.write(chunk);
        socket.flush();
        QCoreApplication::processEvents(); // let the server read this piece on its own
    }
    QByteArray answer;
    QDeadlineTimer deadline(waitMs);
    while (socket.state() == QAbstractSocket::ConnectedState && !deadline.hasExpired()) {
        QSignalSpy spy(&socket, &QTcpSocket::readyRead);
        if (spy.wait(50))
            answer += socket.readAll();
    }
    return answer + socket.readAll();
}
} // namespace

class tst_BaseAFHttpManagerWire : public QObject {
    Q_OBJECT
private slots:
    void listensOnLoopbackOnly();
    void bodyArrivingInPiecesIsJoined();
    void answerBytesAreExactlyScripted_data();
    void answerBytesAreExactlyScripted();
    void queuedAnswersComeFirstThenFixedThenDefault();
    void malformedRequestsGetAnErrorAndTheServerLivesOn_data();
    void malformedRequestsGetAnErrorAndTheServerLivesOn();
    void keepAliveConnectionServesSeveralRequests();
    void qnamRoundTripWithDelayAndDrop();
    void formDecodingKeepsBareNamesApart();
};

void tst_BaseAFHttpManagerWire::listensOnLoopbackOnly() {
    StubHttpServer server;
    QVERIFY(server.start());
    QVERIFY(server.port() != 0);
    QCOMPARE(server.baseUrl(), QStringLiteral("http://127.0.0.1:%1/").arg(server.port()));
    QVERIFY(server.start()); // a second start keeps the port
}

void tst_BaseAFHttpManagerWire::bodyArrivingInPiecesIsJoined() {
    StubHttpServer server;
    QVERIFY(server.start());
    server.setAnswer("Mobile/Echo", StubHttpServer::Answer::json(R"({"result":1})"));
    const QByteArray answer =
        exchange(server.port(),
                 {"POST /Mobile/Ec", "ho HTTP/1.1\r\nHost: x\r\nContent-Le",
                  "ngth: 11\r\nX-Mixed-Case: v\r\nConnection: close\r\n\r\nabc", "=1&d", "ef=2"});
    QVERIFY2(answer.startsWith("HTTP/1.1 200 OK\r\n"), answer.constData());
    QVERIFY(answer.endsWith(R"({"result":1})"));
    QCOMPARE(server.requests().size(), 1);
    const auto request = server.lastRequest();
    QCOMPARE(request.method, QByteArray("POST"));
    QCOMPARE(request.target, QByteArray("/Mobile/Echo"));
    QCOMPARE(request.path, QStringLiteral("Mobile/Echo"));
    QCOMPARE(request.body, QByteArray("abc=1&def=2"));
    QCOMPARE(request.headers.value("x-mixed-case"), QByteArray("v"));
}

void tst_BaseAFHttpManagerWire::answerBytesAreExactlyScripted_data() {
    QTest::addColumn<StubHttpServer::Answer>("answer");
    QTest::addColumn<QByteArray>("expected");

    StubHttpServer::Answer plain = StubHttpServer::Answer::json("{}", 500);
    QTest::newRow("standard reason") << plain
                                     << QByteArray("HTTP/1.1 500 Internal Server Error\r\n"
                                                   "Content-Type: application/json; "
                                                   "charset=utf-8\r\nContent-Length: 2\r\n");
    StubHttpServer::Answer own = StubHttpServer::Answer::json("", 418);
    own.reason = "Kettle Is Off";
    own.contentType = std::nullopt;
    QTest::newRow("own reason, no type")
        << own << QByteArray("HTTP/1.1 418 Kettle Is Off\r\nContent-Length: 0\r\n");
    StubHttpServer::Answer html = StubHttpServer::Answer::json("<p>");
    html.contentType = QByteArray("text/html");
    QTest::newRow("other type")
        << html
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 3\r\n");
}

void tst_BaseAFHttpManagerWire::answerBytesAreExactlyScripted() {
    QFETCH(StubHttpServer::Answer, answer);
    QFETCH(QByteArray, expected);
    StubHttpServer server;
    QVERIFY(server.start());
    server.setAnswer("p", answer);
    const QByteArray got = exchange(
        server.port(), {"POST /p HTTP/1.1\r\nConnection: close\r\nContent-Length: 0\r\n\r\n"});
    QVERIFY2(got.startsWith(expected), got.constData());
    QVERIFY(got.contains("Connection: close\r\n"));
    QVERIFY(got.endsWith("\r\n\r\n" + answer.body));
}

void tst_BaseAFHttpManagerWire::queuedAnswersComeFirstThenFixedThenDefault() {
    StubHttpServer server;
    QVERIFY(server.start());
    server.setAnswer("a", StubHttpServer::Answer::json("fixed"));
    server.queueAnswer("a", StubHttpServer::Answer::json("first"));
    server.queueAnswer("a", StubHttpServer::Answer::json("second"));
    const QByteArray request = "POST /a HTTP/1.1\r\nConnection: close\r\nContent-Length: 0\r\n\r\n";
    QVERIFY(exchange(server.port(), {request}).endsWith("first"));
    QVERIFY(exchange(server.port(), {request}).endsWith("second"));
    QVERIFY(exchange(server.port(), {request}).endsWith("fixed"));
    QVERIFY(exchange(server.port(), {request}).endsWith("fixed"));
    const QByteArray other = exchange(
        server.port(), {"POST /b HTTP/1.1\r\nConnection: close\r\nContent-Length: 0\r\n\r\n"});
    QVERIFY(other.startsWith("HTTP/1.1 404 Not Found\r\n"));
    QVERIFY(other.endsWith(R"({"result":0,"msg":"no route"})"));
    QCOMPARE(server.requests().size(), 5);
    server.clearRequests();
    QVERIFY(server.requests().isEmpty());
    QVERIFY(server.lastRequest().method.isEmpty());
}

void tst_BaseAFHttpManagerWire::malformedRequestsGetAnErrorAndTheServerLivesOn_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("statusLine");
    QTest::newRow("garbage line") << QByteArray("HELLO\r\n\r\n") << QByteArray("HTTP/1.1 400 ");
    QTest::newRow("not http") << QByteArray("GET / FTP/2\r\n\r\n") << QByteArray("HTTP/1.1 400 ");
    QTest::newRow("header without colon")
        << QByteArray("POST / HTTP/1.1\r\nnonsense\r\n\r\n") << QByteArray("HTTP/1.1 400 ");
    QTest::newRow("negative length") << QByteArray("POST / HTTP/1.1\r\nContent-Length: -4\r\n\r\n")
                                     << QByteArray("HTTP/1.1 400 ");
    QTest::newRow("text length") << QByteArray("POST / HTTP/1.1\r\nContent-Length: many\r\n\r\n")
                                 << QByteArray("HTTP/1.1 400 ");
    QTest::newRow("huge length") << QByteArray(
                                        "POST / HTTP/1.1\r\nContent-Length: 99999999999\r\n\r\n")
                                 << QByteArray("HTTP/1.1 413 ");
    QTest::newRow("chunked")
        << QByteArray("POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n")
        << QByteArray("HTTP/1.1 501 ");
    QTest::newRow("endless head") << QByteArray(70 * 1024, 'x') << QByteArray("HTTP/1.1 431 ");
}

void tst_BaseAFHttpManagerWire::malformedRequestsGetAnErrorAndTheServerLivesOn() {
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, statusLine);
    StubHttpServer server;
    QVERIFY(server.start());
    const QByteArray got = exchange(server.port(), {request});
    QVERIFY2(got.startsWith(statusLine), got.left(80).constData());
    QVERIFY(server.requests().isEmpty());
    // Still serving after the bad one.
    const QByteArray next = exchange(
        server.port(), {"POST /x HTTP/1.1\r\nConnection: close\r\nContent-Length: 0\r\n\r\n"});
    QVERIFY(next.startsWith("HTTP/1.1 404 "));
}

void tst_BaseAFHttpManagerWire::keepAliveConnectionServesSeveralRequests() {
    StubHttpServer server;
    QVERIFY(server.start());
    server.setAnswer("k", StubHttpServer::Answer::json("ok"));
    // Two requests in one write: the second must wait for the first answer, not be lost.
    const QByteArray two = "POST /k HTTP/1.1\r\nContent-Length: 1\r\n\r\nA"
                           "POST /k HTTP/1.1\r\nContent-Length: 1\r\nConnection: close\r\n\r\nB";
    const QByteArray got = exchange(server.port(), {two, QByteArray()});
    QCOMPARE(got.count("HTTP/1.1 200 OK"), 2);
    QCOMPARE(server.requests().size(), 2);
    QCOMPARE(server.requests()[0].body, QByteArray("A"));
    QCOMPARE(server.requests()[1].body, QByteArray("B"));
    QCOMPARE(server.connectionCount(), 1);
}

void tst_BaseAFHttpManagerWire::qnamRoundTripWithDelayAndDrop() {
    StubHttpServer server;
    QVERIFY(server.start());
    StubHttpServer::Answer slow = StubHttpServer::Answer::jsonFile("refusal.json");
    slow.delayMs = 150;
    server.setAnswer("slow", slow);
    server.setAnswer("drop", StubHttpServer::Answer::dropped());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no-such-file.json cannot be read"));
    server.setAnswer("missing", StubHttpServer::Answer::jsonFile("no-such-file.json"));

    QNetworkAccessManager nam;
    auto post = [&](const QString &path) {
        QNetworkRequest request(QUrl(server.baseUrl() + path));
        request.setHeader(QNetworkRequest::ContentTypeHeader, "text/plain");
        return nam.post(request, QByteArray("x=1"));
    };
    QSignalSpy received(&server, &StubHttpServer::requestReceived);
    QNetworkReply *slowReply = post("slow");
    QNetworkReply *dropReply = post("drop");
    QNetworkReply *missingReply = post("missing");
    QTRY_VERIFY(slowReply->isFinished() && dropReply->isFinished() && missingReply->isFinished());

    QCOMPARE(slowReply->error(), QNetworkReply::NoError);
    QCOMPARE(slowReply->readAll(), QByteArray("{\"result\":0,\"msg\":\"密码错误\"}\n"));
    QVERIFY(!dropReply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid());
    QVERIFY(dropReply->error() != QNetworkReply::NoError);
    QCOMPARE(missingReply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 500);
    QVERIFY(received.size() >= 3);
    QCOMPARE(received.first().first().value<StubHttpServer::Recorded>().body, QByteArray("x=1"));
    delete slowReply;
    delete dropReply;
    delete missingReply;
}

void tst_BaseAFHttpManagerWire::formDecodingKeepsBareNamesApart() {
    StubHttpServer::Recorded request;
    request.body = "a=1&bare&empty=&sp=x+y%20z&%E5%A5%BD=%E4%B9%A6&a=2&&";
    const auto pairs = request.formPairs();
    QCOMPARE(pairs.size(), 6);
    QCOMPARE(pairs[1].first, QStringLiteral("bare"));
    QVERIFY(pairs[1].second.isNull());
    QVERIFY(!pairs[2].second.isNull());
    QVERIFY(pairs[2].second.isEmpty());
    const auto form = request.form();
    QCOMPARE(form.value("sp"), QStringLiteral("x y z"));
    QCOMPARE(form.value(QStringLiteral("好")), QStringLiteral("书"));
    QCOMPARE(form.value("a"), QStringLiteral("2")); // the later repeat wins in the hash
}

QTEST_MAIN(tst_BaseAFHttpManagerWire)
#include "tst_BaseAFHttpManagerWire.moc"
