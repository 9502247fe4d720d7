// Answers that must end in a failure with a clear text, against the stub: every status outside
// 2xx, compressed bodies that do not unpack or unpack too far; and teacher-call giving up.
#include "BaseAFHttpManager.h"
#include "StubHttpServer.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <zlib.h>

namespace {

QByteArray gzip(const QByteArray &data) {
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY);
    QByteArray out(qsizetype(deflateBound(&stream, uLong(data.size()))), Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.truncate(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return out;
}

// Unpacks past the answer limit.
QByteArray gzipBomb() {
    static const QByteArray bomb = gzip(QByteArray(BaseAFHttpManager::MaxAnswerBytes + 1024, ' '));
    return bomb;
}

StubHttpServer::Answer encoded(const QByteArray &body, const QByteArray &encoding = "gzip") {
    StubHttpServer::Answer answer = StubHttpServer::Answer::json(body);
    answer.headers.append({"Content-Encoding", encoding});
    return answer;
}

} // namespace

class tst_TransportFailures : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_stub.start()); }
    void answerEndsAs_data();
    void answerEndsAs();
    void teacherCallGivesUpCleanly_data();
    void teacherCallGivesUpCleanly();

private:
    StubHttpServer m_stub;
};

void tst_TransportFailures::answerEndsAs_data() {
    QTest::addColumn<StubHttpServer::Answer>("answer");
    QTest::addColumn<QString>("failure"); // empty: completion
    const QByteArray json = R"({"result":1})";
    for (const int status : {400, 407, 418, 503}) {
        QTest::addRow("status %d", status) << StubHttpServer::Answer::json(json, status)
                                           << QStringLiteral("Request failed: %1 (%2)")
                                                  .arg(BaseAFHttpManager::reasonPhrase(status))
                                                  .arg(status);
    }
    QTest::newRow("redirect without location")
        << StubHttpServer::Answer::json(json, 301) << "Request failed: Moved Permanently (301)";
    QTest::newRow("gzip") << encoded(gzip(json)) << "";
    QTest::newRow("broken gzip") << encoded("\x1f\x8b not really gzip")
                                 << "Request failed: the answer's gzip body cannot be decompressed";
    QTest::newRow("gzip bomb") << encoded(gzipBomb())
                               << QStringLiteral("Request failed: answer larger than %1 bytes")
                                      .arg(BaseAFHttpManager::MaxAnswerBytes);
    QTest::newRow("unknown encoding")
        << encoded(json, "br") << "Request failed: unsupported content-encoding: br";
}

void tst_TransportFailures::answerEndsAs() {
    QFETCH(StubHttpServer::Answer, answer);
    QFETCH(QString, failure);
    m_stub.setAnswer(QStringLiteral("Mobile/AddGood"), answer);
    std::optional<QJsonValue> value;
    QString text;
    int callbacks = 0;
    BaseAFHttpManager::postRequestOperationForHost(
        m_stub.baseUrl(), QStringLiteral("Mobile/AddGood"), {},
        [&](const std::optional<QJsonValue> &v) { value = v, ++callbacks; },
        [&](const QString &t) { text = t, ++callbacks; });
    QTRY_COMPARE_WITH_TIMEOUT(callbacks, 1, 20000);
    QCOMPARE(text, failure);
    QCOMPARE(value.has_value(), failure.isEmpty());
}

void tst_TransportFailures::teacherCallGivesUpCleanly_data() {
    QTest::addColumn<StubHttpServer::Answer>("answer");
    QTest::addColumn<QByteArray>("error");
    QTest::addColumn<QString>("timeout");
    StubHttpServer::Answer late = StubHttpServer::Answer::json(R"({"result":1})");
    late.delayMs = 60000;
    QTest::newRow("time-out") << late << QByteArray("no answer after 1 s") << "1";
    QTest::newRow("over the limit")
        << encoded(gzipBomb()) << QByteArray("answer larger than") << "20";
}

// Runs with the leak check of a sanitizer build on: giving up must release the call.
void tst_TransportFailures::teacherCallGivesUpCleanly() {
    QFETCH(StubHttpServer::Answer, answer);
    QFETCH(QByteArray, error);
    QFETCH(QString, timeout);
    m_stub.setAnswer(QStringLiteral("Mobile/GetTermYear"), answer);
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TEACHER_CALL_TIMEOUT"), timeout);
    process.setProcessEnvironment(env);
    QSignalSpy finished(&process, &QProcess::finished);
    process.start(QStringLiteral(TEACHER_CALL_PATH),
                  {QStringLiteral("--base"), m_stub.baseUrl(), QStringLiteral("ChartTermList")});
    QVERIFY(finished.wait(30000));
    const QByteArray err = process.readAllStandardError();
    QCOMPARE(process.exitCode(), 1);
    QVERIFY2(
        err.startsWith("teacher-call: " + m_stub.baseUrl().toLatin1() + "Mobile/GetTermYear: ") &&
            err.contains(error),
        err.constData());
}

QTEST_GUILESS_MAIN(tst_TransportFailures)
#include "tst_TransportFailures.moc"
