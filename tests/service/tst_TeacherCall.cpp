#include "StubHttpServer.h"

#include <QProcess>
#include <QtTest>

// teacher-call as a user runs it: a separate process talking to the in-process stub.
class tst_TeacherCall : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void argumentErrorsSendNothing_data();
    void argumentErrorsSendNothing();
    void help();
    void printsTheMappedRecord();
    void rawPrintsTheAnswerAsReceived();
    void emptyAnswerPrintsNull_data();
    void emptyAnswerPrintsNull();
    void failureExitsWithOne_data();
    void failureExitsWithOne();
    void silentServiceTimesOut();
    void verboseWritesTheTransportLines();
    void baseComesFromTheEnvironment();
    void operationWithoutRecordTakesTextFields();

private:
    struct Run {
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
    };
    Run run(const QStringList &arguments, const QProcessEnvironment &environment = {});
    QStringList withBase(QStringList arguments) const {
        return QStringList{"--base", m_stub.baseUrl()} + arguments;
    }

    StubHttpServer m_stub;
};

void tst_TeacherCall::initTestCase() {
    QVERIFY(QFileInfo(QStringLiteral(TEACHER_CALL_PATH)).isExecutable());
    QVERIFY(m_stub.start());
}

void tst_TeacherCall::init() {
    m_stub.clearRequests();
}

tst_TeacherCall::Run tst_TeacherCall::run(const QStringList &arguments,
                                          const QProcessEnvironment &environment) {
    QProcess process;
    QProcessEnvironment env =
        environment.isEmpty() ? QProcessEnvironment::systemEnvironment() : environment;
    // The tool's own default must not reach a real service from a test.
    if (environment.isEmpty())
        env.insert("TEACHER_SERVICE_URL", "http://127.0.0.1:9/");
    process.setProcessEnvironment(env);
    process.setProgram(QStringLiteral(TEACHER_CALL_PATH));
    process.setArguments(arguments);
    QSignalSpy finished(&process, &QProcess::finished);
    process.start();
    Run result;
    // The event loop has to run meanwhile: the stub answering the tool lives in this process.
    if (!finished.wait(30000)) {
        process.kill();
        process.waitForFinished();
        qWarning("teacher-call did not finish");
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

    QTest::newRow("no operation") << QStringList{} << "no operation";
    QTest::newRow("unknown operation") << QStringList{"TeacherLogin"} << "ForgetVerification";
    QTest::newRow("operation in other case") << QStringList{"login"} << "unknown operation";
    QTest::newRow("unknown field") << QStringList{"Login", "username=1"} << "'username'";
    QTest::newRow("field of another record")
        << QStringList{"GetFeelList", "bookId=3"} << "'bookId'";
    QTest::newRow("not field=value") << QStringList{"GetFeelList", "uid"} << "FIELD=VALUE";
    QTest::newRow("empty field name") << QStringList{"GetFeelList", "=3"} << "FIELD=VALUE";
    QTest::newRow("bad int") << QStringList{"GetFeelList", "uid=12x"} << "'uid'";
    QTest::newRow("real for int") << QStringList{"GetFeelList", "uid=1.5"} << "'uid'";
    QTest::newRow("empty int") << QStringList{"GetFeelList", "uid="} << "'uid'";
    QTest::newRow("int with blanks") << QStringList{"GetFeelList", "uid= 12"} << "'uid'";
    QTest::newRow("int overflow") << QStringList{"GetFeelList", "uid=9223372036854775808"}
                                  << "'uid'";
    QTest::newRow("bad int after good field")
        << QStringList{"GetFeelList", "uid=1", "feelType=all"} << "'feelType'";
    QTest::newRow("unknown option") << QStringList{"--rawest", "Login"} << "rawest";
    QTest::newRow("base not http")
        << QStringList{"--base", "ftp://127.0.0.1/", "Login"} << "--base";
    QTest::newRow("base not a URL") << QStringList{"--base", "service", "Login"} << "--base";
}

void tst_TeacherCall::argumentErrorsSendNothing() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);

    // Pointed at the stub, so anything sent by mistake would be seen.
    const bool hasBase = arguments.contains("--base");
    const Run r = run(hasBase ? arguments : withBase(arguments));
    QCOMPARE(r.exitCode, 64);
    QVERIFY(r.out.isEmpty());
    QVERIFY2(QString::fromUtf8(r.err).contains(message), r.err.constData());
    QVERIFY(m_stub.requests().isEmpty());
}

void tst_TeacherCall::help() {
    const Run r = run({"--help"});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.startsWith("Usage: teacher-call"));
    QVERIFY(r.out.contains("GetStudentPersonHomeIndex"));
    QVERIFY(r.err.isEmpty());
}

void tst_TeacherCall::printsTheMappedRecord() {
    m_stub.setAnswer("Mobile/GetFeelList", StubHttpServer::Answer::json(R"({
        "result":"1", "msg":"ok", "unknown":[1,2], "totalCount":null,
        "feelList":[{"FeelId":9,"RealName":"\u5c0f\u660e","UserId":"3","BookName":null,
                     "Extra":"x"}, null]})"));
    const Run r = run(withBase({"GetFeelList", "uid=9007199254740993", "feelType=-1"}));
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.err.isEmpty(), r.err.constData());
    QCOMPARE(r.out, QByteArray("{\"feelList\":[{\"FeelId\":9,\"RealName\":\"\u5c0f\u660e\","
                               "\"UserId\":3},{\"FeelId\":0,\"UserId\":0}],\"msg\":\"ok\","
                               "\"result\":1}\n"));

    QCOMPARE(m_stub.requests().size(), 1);
    const StubHttpServer::Recorded request = m_stub.lastRequest();
    QCOMPARE(request.path, QStringLiteral("Mobile/GetFeelList"));
    QCOMPARE(request.form(),
             (QHash<QString, QString>{{"uid", "9007199254740993"}, {"feelType", "-1"}}));
}

void tst_TeacherCall::rawPrintsTheAnswerAsReceived() {
    m_stub.setAnswer("Mobile/TeacherLogin",
                     StubHttpServer::Answer::json(
                         R"({"uid":9007199254740993,"msg":null,"result":1,"z":[null,2.5,"\u4e66"],)"
                         R"("\uff41":1,"\ud83d\ude00":2,"A":{"b":null}})"));
    const Run r = run(withBase({"--raw", "Login", "userName=\u5f20 &=+", "password="}));
    QCOMPARE(r.exitCode, 0);
    // Nulls kept, integers exact, keys in code-point order (U+1F600 after U+FF41).
    QCOMPARE(r.out, QByteArray(R"({"A":{"b":null},"msg":null,"result":1,"uid":9007199254740993,)"
                               "\"z\":[null,2.5,\"\u4e66\"],\"\uff41\":1,\"\U0001F600\":2}\n"));
    QCOMPARE(
        m_stub.lastRequest().form(),
        (QHash<QString, QString>{{"userName", QStringLiteral("\u5f20 &=+")}, {"password", ""}}));

    // Without --raw the same answer is the login record: its own keys only, defaults filled in.
    const Run mapped = run(withBase({"Login", "userName=u"}));
    QCOMPARE(mapped.exitCode, 0);
    QCOMPARE(mapped.out, QByteArray(R"({"collectionNum":0,"isLogin":false,"result":1,)"
                                    R"("uid":9007199254740993})"
                                    "\n"));
    QVERIFY(!m_stub.lastRequest().form().contains("password"));
}

void tst_TeacherCall::emptyAnswerPrintsNull_data() {
    QTest::addColumn<QStringList>("options");
    QTest::newRow("mapped") << QStringList{};
    QTest::newRow("raw") << QStringList{"--raw"};
}

void tst_TeacherCall::emptyAnswerPrintsNull() {
    QFETCH(QStringList, options);
    m_stub.setAnswer("Mobile/UpdateFeel", StubHttpServer::Answer::json(""));
    const Run r = run(withBase(options + QStringList{"UpdateFeel", "feelId=3"}));
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, QByteArray("null\n"));
}

void tst_TeacherCall::failureExitsWithOne_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QByteArray>("body");

    QTest::newRow("server error") << 500 << QByteArray("application/json")
                                  << QByteArray(R"({"result":1})");
    QTest::newRow("unacceptable type")
        << 200 << QByteArray("text/html") << QByteArray(R"({"result":1})");
    QTest::newRow("broken JSON") << 200 << QByteArray("application/json")
                                 << QByteArray(R"({"result":)");
}

void tst_TeacherCall::failureExitsWithOne() {
    QFETCH(int, status);
    QFETCH(QByteArray, contentType);
    QFETCH(QByteArray, body);

    StubHttpServer::Answer answer = StubHttpServer::Answer::json(body, status);
    answer.contentType = contentType;
    m_stub.setAnswer("Mobile/AddGood", answer);
    const Run r = run(withBase({"AddGood", "uid=1", "bookId=2"}));
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.out.isEmpty());
    QVERIFY(!r.err.trimmed().isEmpty());
    QVERIFY(!r.err.contains("postRequestOperationForHost"));
}

void tst_TeacherCall::silentServiceTimesOut() {
    StubHttpServer::Answer late = StubHttpServer::Answer::json(R"({"result":1})");
    late.delayMs = 60000;
    m_stub.setAnswer("Mobile/GetTermYear", late);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TEACHER_CALL_TIMEOUT", "1");
    // Giving up exits with the request still in flight: Qt's network thread then leaves its
    // connection objects to the operating system. That is the point of the time-out, not a leak
    // of ours, so the leak check is off for this one run.
    QString asan = env.value("ASAN_OPTIONS");
    env.insert("ASAN_OPTIONS", (asan.isEmpty() ? QString() : asan + ':') + "detect_leaks=0");
    QElapsedTimer clock;
    clock.start();
    const Run r = run(withBase({"ChartTermList"}), env);
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.out.isEmpty());
    QVERIFY2(r.err.contains("no answer after 1 s"), r.err.constData());
    QVERIFY(clock.elapsed() < 20000);
    QCOMPARE(m_stub.requests().size(), 1);
}

void tst_TeacherCall::verboseWritesTheTransportLines() {
    m_stub.setAnswer("Mobile/GetSingleFeel",
                     StubHttpServer::Answer::json(R"({"result":1,"feel":{"FeelId":4}})"));

    const Run quiet = run(withBase({"GetSingleFeel", "feelId=4"}));
    QCOMPARE(quiet.exitCode, 0);
    QVERIFY2(quiet.err.isEmpty(), quiet.err.constData());

    const Run verbose = run(withBase({"--verbose", "GetSingleFeel", "feelId=4"}));
    QCOMPARE(verbose.exitCode, 0);
    QCOMPARE(verbose.out, quiet.out);
    const QList<QByteArray> lines = verbose.err.trimmed().split('\n');
    QCOMPARE(lines.size(), 2);
    QVERIFY2(lines[0].startsWith("postRequestOperationForHost, toUrl " + m_stub.baseUrl().toUtf8() +
                                 "Mobile/GetSingleFeel"),
             lines[0].constData());
    QVERIFY(lines[0].contains("feelId"));
    QVERIFY2(lines[1].startsWith("Response:"), lines[1].constData());
}

void tst_TeacherCall::baseComesFromTheEnvironment() {
    m_stub.setAnswer("Mobile/GetTermYear", StubHttpServer::Answer::json(R"({"result":1})"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QString base = m_stub.baseUrl();
    base.chop(1); // the missing slash is added
    env.insert("TEACHER_SERVICE_URL", base);
    const Run r = run({"ChartTermList"}, env);
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, QByteArray(R"({"result":1})"
                               "\n"));
    QCOMPARE(m_stub.lastRequest().path, QStringLiteral("Mobile/GetTermYear"));
    QVERIFY(m_stub.lastRequest().body.isEmpty());
}

void tst_TeacherCall::operationWithoutRecordTakesTextFields() {
    m_stub.setAnswer("Mobile/GetMyTestInfo",
                     StubHttpServer::Answer::json(R"({"result":1,"tests":[{"id":1,"n":null}]})"));
    const Run r = run(withBase({"GetTestBookList", "uid=abc", "pageIndex=1", "uid=15"}));
    QCOMPARE(r.exitCode, 0);
    // No response record to map into: the answer is printed as it came.
    QCOMPARE(r.out, QByteArray(R"({"result":1,"tests":[{"id":1,"n":null}]})"
                               "\n"));
    QCOMPARE(m_stub.lastRequest().path, QStringLiteral("Mobile/GetMyTestInfo"));
    QCOMPARE(m_stub.lastRequest().form(),
             (QHash<QString, QString>{{"uid", "15"}, {"pageIndex", "1"}}));
}

QTEST_GUILESS_MAIN(tst_TeacherCall)
#include "tst_TeacherCall.moc"
