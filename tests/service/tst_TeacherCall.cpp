#include "CataloguePath.h"
#include "StubHttpServer.h"

#include <QProcess>
#include <QtTest>

using TestCatalogue::pathOf;

// teacher-call as a user runs it: a separate process talking to the in-process stub.
class tst_TeacherCall : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void argumentErrorsSendNothing_data();
    void argumentErrorsSendNothing();
    void printsTheMappedRecordOrTheRawAnswer();
    void failureExitsWithOne();

private:
    struct Run {
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
    };
    Run run(QStringList arguments);

    StubHttpServer m_stub;
};

void tst_TeacherCall::initTestCase() {
    QVERIFY(QFileInfo(QStringLiteral(TEACHER_CALL_PATH)).isExecutable());
    QVERIFY(m_stub.start());
}

void tst_TeacherCall::init() {
    m_stub.clearRequests();
}

tst_TeacherCall::Run tst_TeacherCall::run(QStringList arguments) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // The tool's own default must not reach a real service from a test.
    env.insert("TEACHER_SERVICE_URL", "http://127.0.0.1:9/");
    process.setProcessEnvironment(env);
    if (!arguments.contains("--base"))
        arguments = QStringList{"--base", m_stub.baseUrl()} + arguments;
    process.setProgram(QStringLiteral(TEACHER_CALL_PATH));
    process.setArguments(arguments);
    QSignalSpy finished(&process, &QProcess::finished);
    process.start();
    Run result;
    // The event loop has to run meanwhile: the stub answering the tool lives in this process.
    if (!finished.wait(30000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

void tst_TeacherCall::argumentErrorsSendNothing_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");

    QTest::newRow("path taken for a name") << QStringList{"TeacherLogin"} << "ForgetVerification";
    QTest::newRow("name without case") << QStringList{"login"} << "unknown operation";
    QTest::newRow("field of another record")
        << QStringList{"GetFeelList", "bookId=3"} << "'bookId'";
    QTest::newRow("int overflow") << QStringList{"GetFeelList", "uid=9223372036854775808"}
                                  << "'uid'";
    QTest::newRow("base not http")
        << QStringList{"--base", "ftp://127.0.0.1/", "Login"} << "--base";
}

void tst_TeacherCall::argumentErrorsSendNothing() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    const Run r = run(arguments);
    QCOMPARE(r.exitCode, 64);
    QVERIFY(r.out.isEmpty());
    QVERIFY2(QString::fromUtf8(r.err).contains(message), r.err.constData());
    QVERIFY(m_stub.requests().isEmpty());
}

void tst_TeacherCall::printsTheMappedRecordOrTheRawAnswer() {
    m_stub.setAnswer(pathOf(Operation::GetFeelList), StubHttpServer::Answer::json(R"({
        "result":"1", "msg":"ok", "unknown":[1,2], "totalCount":null,
        "feelList":[{"FeelId":9,"RealName":"\u5c0f\u660e","UserId":"3","Extra":"x"}, null]})"));
    const Run r = run({"GetFeelList", "uid=9007199254740993", "feelType=-1"});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, QByteArray("{\"feelList\":[{\"FeelId\":9,\"RealName\":\"\u5c0f\u660e\","
                               "\"UserId\":3},{\"FeelId\":0,\"UserId\":0}],\"msg\":\"ok\","
                               "\"result\":1}\n"));
    QCOMPARE(m_stub.lastRequest().path, pathOf(Operation::GetFeelList));
    QCOMPARE(m_stub.lastRequest().form(),
             (QHash<QString, QString>{{"uid", "9007199254740993"}, {"feelType", "-1"}}));

    // Raw: nulls kept, integers exact, keys in code-point order (U+1F600 after U+FF41).
    m_stub.setAnswer(
        pathOf(Operation::Login),
        StubHttpServer::Answer::json(R"({"uid":9007199254740993,"msg":null,"result":1,)"
                                     R"("\uff41":1,"\ud83d\ude00":2,"A":{"b":null}})"));
    const Run raw = run({"--raw", "Login", "userName=\u5f20 &=+", "password="});
    QCOMPARE(raw.out, QByteArray(R"({"A":{"b":null},"msg":null,"result":1,"uid":9007199254740993,)"
                                 "\"\uff41\":1,\"\U0001F600\":2}\n"));
    QCOMPARE(
        m_stub.lastRequest().form(),
        (QHash<QString, QString>{{"userName", QStringLiteral("\u5f20 &=+")}, {"password", ""}}));
}

void tst_TeacherCall::failureExitsWithOne() {
    m_stub.setAnswer(pathOf(Operation::AddGood),
                     StubHttpServer::Answer::json(R"({"result":1})", 500));
    const Run r = run({"AddGood", "uid=1", "bookId=2"});
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.out.isEmpty());
    QVERIFY(r.err.contains("Internal Server Error (500)"));
}

QTEST_GUILESS_MAIN(tst_TeacherCall)
#include "tst_TeacherCall.moc"
