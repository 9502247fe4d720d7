// Answers that must end in a failure with a clear text, against the stub: every status outside
// 2xx, bodies past the size limit, compressed bodies that do not unpack or unpack too far; and the
// one redirect followed. No call is ever sent on as another method or twice to one place. An
// answer that comes reaches its completion mapped already.
#include "BaseAFHttpManager.h"
#include "CataloguePath.h"
#include "StubHttpServer.h"
#include "records/BaseRecords.h"

#include <QTest>

namespace {

// qCompress writes a zlib stream, the body of "deflate", after four bytes of length.
StubHttpServer::Answer deflated(const QByteArray &body) {
    StubHttpServer::Answer answer = StubHttpServer::Answer::json(body);
    answer.headers = {{"Content-Encoding", "deflate"}};
    return answer;
}

// Mobile/Moved answers with a value, Mobile/Again moves on to it.
StubHttpServer::Answer moved(int status, const QByteArray &location) {
    StubHttpServer::Answer answer = StubHttpServer::Answer::json(R"({"result":1})", status);
    answer.headers = {{"Location", location}};
    return answer;
}

} // namespace

class tst_TransportFailures : public QObject {
    Q_OBJECT
    StubHttpServer m_stub;
    StubHttpServer m_elsewhere; // another origin: the same address, another port

private slots:
    void initTestCase() {
        QVERIFY(m_stub.start());
        QVERIFY(m_elsewhere.start());
        m_stub.setAnswer(QStringLiteral("Mobile/Moved"), moved(200, {}));
        m_stub.setAnswer(QStringLiteral("Mobile/Again"), moved(307, "/Mobile/Moved"));
        m_elsewhere.setAnswer(QStringLiteral("Mobile/Moved"), moved(200, {}));
    }
    void answerEndsAs_data();
    void answerEndsAs();
};

void tst_TransportFailures::answerEndsAs_data() {
    QTest::addColumn<StubHttpServer::Answer>("answer");
    QTest::addColumn<QString>("failure"); // the failure text's start or part; empty: a value
    const QByteArray json = R"({"result":1})";
    for (const int status : {400, 407, 418, 301}) // 301 without a Location
        QTest::addRow("status %d", status) << StubHttpServer::Answer::json(json, status)
                                           << QStringLiteral("Request failed: %1 (%2)")
                                                  .arg(BaseAFHttpManager::reasonPhrase(status))
                                                  .arg(status);
    for (const int status : {301, 302, 303}) // would go on as a GET
        QTest::addRow("%d moved", status)
            << moved(status, "/Mobile/Moved") << QStringLiteral("(%1)").arg(status);
    QTest::newRow("307 followed") << moved(307, "Moved") << "";
    QTest::newRow("a second redirect") << moved(308, "/Mobile/Again") << "Temporary Redirect (307)";
    QTest::newRow("to itself") << moved(307, "AddGood") << "Temporary Redirect (307)";
    QTest::newRow("not http") << moved(307, "ftp://127.0.0.1/Mobile/Moved")
                              << "Temporary Redirect (307)";
    QTest::newRow("another origin")
        << moved(307, m_elsewhere.baseUrl().toLatin1() + "Mobile/Moved") << "(307)";
    // {"result":1,"pad":"xx…"} of exactly `size` bytes.
    const auto padded = [](qint64 size) {
        QByteArray body = R"({"result":1,"pad":""})";
        return body.insert(body.size() - 2, QByteArray(size - body.size(), 'x'));
    };
    QTest::newRow("as large as accepted")
        << StubHttpServer::Answer::json(padded(BaseAFHttpManager::MaxAnswerBytes)) << "";
    QTest::newRow("a byte larger")
        << StubHttpServer::Answer::json(padded(BaseAFHttpManager::MaxAnswerBytes + 1))
        << "Request failed: answer larger than";
    QTest::newRow("deflate") << deflated(qCompress(json).mid(4)) << "";
    QTest::newRow("broken deflate") << deflated("not deflate") << "cannot be decompressed";
    QTest::newRow("deflate bomb")
        << deflated(qCompress(QByteArray(BaseAFHttpManager::MaxAnswerBytes + 1, ' ')).mid(4))
        << "Request failed: answer larger than";
}

void tst_TransportFailures::answerEndsAs() {
    QFETCH(StubHttpServer::Answer, answer);
    QFETCH(QString, failure);
    m_stub.setAnswer(TestCatalogue::pathOf(Operation::AddGood), answer);
    m_stub.clearRequests();
    m_elsewhere.clearRequests();
    std::optional<QJsonValue> value;
    QString text;
    qint64 mapped = -1; // the result of the record mapped while the answer was decoded
    BaseAFHttpManager::postRequestOperationForHost(
        m_stub.baseUrl(), TestCatalogue::pathOf(Operation::AddGood),
        ParameterDictionary{{"uid", 7}},
        [&](const std::optional<QJsonValue> &v) {
            value = v.value_or(QJsonValue(0));
            if (const void *record = BaseAFHttpManager::takeDeliveringRecord(BaseRsp::recordType()))
                mapped = static_cast<const BaseRsp *>(record)->result;
        },
        [&](const QString &t) { text = t; }, &BaseRsp::recordType());
    QTRY_VERIFY_WITH_TIMEOUT(value || !text.isEmpty(), 20000);
    QVERIFY2(text.contains(failure) && text.isEmpty() == failure.isEmpty(), qPrintable(text));
    QCOMPARE(mapped, text.isEmpty() ? 1 : -1);
    QStringList sent;
    for (const StubHttpServer::Recorded &request : m_stub.requests())
        sent << QString::fromLatin1(request.method + ' ' + request.body + ' ') + request.path;
    QVERIFY2(sent.filter(QStringLiteral("POST uid=7 ")) == sent && sent.removeDuplicates() == 0,
             qPrintable(sent.join(u',')));
    QVERIFY(m_elsewhere.requests().isEmpty());
}

QTEST_GUILESS_MAIN(tst_TransportFailures)
#include "tst_TransportFailures.moc"
