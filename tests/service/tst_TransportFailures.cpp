// Answers that must end in a failure with a clear text, against the stub: every status outside
// 2xx, compressed bodies that do not unpack or unpack too far.
#include "BaseAFHttpManager.h"
#include "StubHttpServer.h"

#include <QTest>

namespace {

// qCompress writes a zlib stream, the body of "deflate", after four bytes of length.
StubHttpServer::Answer deflated(const QByteArray &body) {
    StubHttpServer::Answer answer = StubHttpServer::Answer::json(body);
    answer.headers = {{"Content-Encoding", "deflate"}};
    return answer;
}

} // namespace

class tst_TransportFailures : public QObject {
    Q_OBJECT
    StubHttpServer m_stub;

private slots:
    void initTestCase() { QVERIFY(m_stub.start()); }
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
    QTest::newRow("deflate") << deflated(qCompress(json).mid(4)) << "";
    QTest::newRow("broken deflate") << deflated("not deflate") << "cannot be decompressed";
    QTest::newRow("deflate bomb")
        << deflated(qCompress(QByteArray(BaseAFHttpManager::MaxAnswerBytes + 1, ' ')).mid(4))
        << "Request failed: answer larger than";
}

void tst_TransportFailures::answerEndsAs() {
    QFETCH(StubHttpServer::Answer, answer);
    QFETCH(QString, failure);
    m_stub.setAnswer(QStringLiteral("Mobile/AddGood"), answer);
    std::optional<QJsonValue> value;
    QString text;
    BaseAFHttpManager::postRequestOperationForHost(
        m_stub.baseUrl(), QStringLiteral("Mobile/AddGood"), {},
        [&](const std::optional<QJsonValue> &v) { value = v.value_or(QJsonValue(0)); },
        [&](const QString &t) { text = t; });
    QTRY_VERIFY_WITH_TIMEOUT(value || !text.isEmpty(), 20000);
    QVERIFY2(text.contains(failure) && text.isEmpty() == failure.isEmpty(), qPrintable(text));
}

QTEST_GUILESS_MAIN(tst_TransportFailures)
#include "tst_TransportFailures.moc"
