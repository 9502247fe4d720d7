// The service-call transport against the in-process stub: what goes on the wire, how each kind
// of answer ends, and where and how often the callbacks run.
#include "BaseAFHttpManager.h"
#include "StubHttpServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QMutex>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <memory>
#include <utility>

Q_DECLARE_METATYPE(ParameterDictionary)
Q_DECLARE_METATYPE(std::optional<QString>)

namespace {

// Debug lines of the transport, captured for the log tests and kept short so a 30 MB answer does
// not flood the test output.
QMutex g_logMutex;
QStringList g_logLines;
QtMessageHandler g_previousHandler = nullptr;

void captureLog(QtMsgType type, const QMessageLogContext &context, const QString &message) {
    if (context.category && qstrcmp(context.category, "teacher.service") == 0) {
        QMutexLocker lock(&g_logMutex);
        g_logLines.append(message.left(4000));
        return;
    }
    g_previousHandler(type, context, message);
}

QStringList takeLogLines() {
    QMutexLocker lock(&g_logMutex);
    return std::exchange(g_logLines, {});
}

// What came back from one call.
struct Outcome {
    int completions = 0;
    int failures = 0;
    std::optional<QJsonValue> value;
    QString failureText;
    bool onMainThread = true;

    int callbacks() const { return completions + failures; }
};

std::shared_ptr<Outcome> post(const QString &host, const std::optional<QString> &path,
                              const std::optional<ParameterDictionary> &parameters = {}) {
    auto outcome = std::make_shared<Outcome>();
    QThread *mainThread = QCoreApplication::instance()->thread();
    BaseAFHttpManager::postRequestOperationForHost(
        host, path, parameters,
        [outcome, mainThread](const std::optional<QJsonValue> &value) {
            ++outcome->completions;
            outcome->value = value;
            outcome->onMainThread &= QThread::currentThread() == mainThread;
        },
        [outcome, mainThread](const QString &text) {
            ++outcome->failures;
            outcome->failureText = text;
            outcome->onMainThread &= QThread::currentThread() == mainThread;
        });
    return outcome;
}

QJsonValue parsed(const QByteArray &json) {
    const QJsonDocument document = QJsonDocument::fromJson(json);
    return document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
}

StubHttpServer::Answer answer(int status, std::optional<QByteArray> contentType,
                              const QByteArray &body) {
    StubHttpServer::Answer a = StubHttpServer::Answer::json(body, status);
    a.contentType = std::move(contentType);
    return a;
}

ParameterValue set(std::vector<ParameterValue> items) {
    return ParameterValue::set(std::move(items));
}

ParameterValue list(std::vector<ParameterValue> items) {
    return ParameterValue::list(std::move(items));
}

} // namespace

class tst_BaseAFHttpManager : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void urlBuilding_data();
    void urlBuilding();
    void absentOrEscapedPathReachesTheServerAsBuilt();

    void formEncoding_data();
    void formEncoding();

    void requestIsAFormPostWithTheThreeHeaders();
    void acceptLanguageFormat_data();
    void acceptLanguageFormat();
    void userAgentFormat_data();
    void userAgentFormat();
    void cookiesDoNotCarryOver();

    void answerRules_data();
    void answerRules();
    void thirtyMegabyteAnswerCompletes();
    void overLimitAnswerFails_data();
    void overLimitAnswerFails();

    void transportErrorsFail_data();
    void transportErrorsFail();
    void callbacksRunOnceOnTheMainThreadEvenWhenCalledFromAnother();
    void concurrentCallsEachReachTheirOwnCallback();
    void callbacksAreReleasedAfterDelivery();
    void missingCallbacksAreTolerated();

    void logMasksPasswordsAtAnyDepth_data();
    void logMasksPasswordsAtAnyDepth();
    void logLinesAreWrittenButTheWireKeepsThePassword();

private:
    StubHttpServer *m_server = nullptr;
};

void tst_BaseAFHttpManager::initTestCase() {
    g_previousHandler = qInstallMessageHandler(captureLog);
    QCoreApplication::setApplicationName(QStringLiteral("TeacherTests"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.3"));
}

void tst_BaseAFHttpManager::init() {
    delete m_server;
    m_server = new StubHttpServer(this);
    QVERIFY(m_server->start());
    takeLogLines();
}

void tst_BaseAFHttpManager::urlBuilding_data() {
    QTest::addColumn<QString>("host");
    QTest::addColumn<std::optional<QString>>("path");
    QTest::addColumn<QString>("url");

    const QString base = QStringLiteral("http://svc.example:8080/");
    QTest::newRow("absent path") << base << std::optional<QString>() << base;
    QTest::newRow("empty path") << base << std::optional<QString>(QString()) << base;
    QTest::newRow("plain path") << base << std::optional<QString>("Mobile/TeacherLogin")
                                << base + "Mobile/TeacherLogin";
    QTest::newRow("no separator added")
        << QStringLiteral("http://svc/api") << std::optional<QString>("Login")
        << QStringLiteral("http://svc/apiLogin");
    QTest::newRow("space and quote")
        << base << std::optional<QString>("a b\"c") << base + "a%20b%22c";
    QTest::newRow("non-ASCII as UTF-8 bytes")
        << base << std::optional<QString>(QStringLiteral("书/é")) << base + "%E4%B9%A6/%C3%A9";
    QTest::newRow("unsafe ASCII") << base << std::optional<QString>("<>\\^`{|}")
                                  << base + "%3C%3E%5C%5E%60%7B%7C%7D";
    QTest::newRow("reserved kept") << base << std::optional<QString>("p?a=1&b=(2)+3;[x]@!$',*")
                                   << base + "p?a=1&b=(2)+3;[x]@!$',*";
    QTest::newRow("existing escape kept") << QStringLiteral("http://svc/a%20b/")
                                          << std::optional<QString>("c") << "http://svc/a%20b/c";
    QTest::newRow("lone percent escaped")
        << base << std::optional<QString>("100%") << base + "100%25";
    QTest::newRow("percent before non-hex")
        << base << std::optional<QString>("%zz%4") << base + "%25zz%254";
    QTest::newRow("control characters")
        << base << std::optional<QString>("a\nb\tc") << base + "a%0Ab%09c";
}

void tst_BaseAFHttpManager::urlBuilding() {
    QFETCH(QString, host);
    QFETCH(std::optional<QString>, path);
    QFETCH(QString, url);
    QCOMPARE(BaseAFHttpManager::p_getURLWithParameters(path, host), url);
}

void tst_BaseAFHttpManager::absentOrEscapedPathReachesTheServerAsBuilt() {
    m_server->setDefaultAnswer(StubHttpServer::Answer::json(R"({"result":1})"));
    auto root = post(m_server->baseUrl(), std::nullopt);
    QTRY_COMPARE(root->callbacks(), 1);
    QCOMPARE(m_server->lastRequest().target, QByteArray("/"));

    auto spaced = post(m_server->baseUrl(), QStringLiteral("Mobile/好 书"));
    QTRY_COMPARE(spaced->callbacks(), 1);
    QCOMPARE(m_server->lastRequest().target, QByteArray("/Mobile/%E5%A5%BD%20%E4%B9%A6"));
    QCOMPARE(m_server->lastRequest().path, QStringLiteral("Mobile/好 书"));
    QCOMPARE(spaced->completions, 1);
}

void tst_BaseAFHttpManager::formEncoding_data() {
    QTest::addColumn<ParameterDictionary>("parameters");
    QTest::addColumn<QByteArray>("body");

    QTest::newRow("comment example")
        << ParameterDictionary{{"uid", 15}, {"comment", QStringLiteral("好 书!")}, {"bookId", 230}}
        << QByteArray("bookId=230&comment=%E5%A5%BD%20%E4%B9%A6%21&uid=15");
    QTest::newRow("separators escaped") << ParameterDictionary{{"q", QStringLiteral("a&b=c+d#e f")}}
                                        << QByteArray("q=a%26b%3Dc%2Bd%23e%20f");
    QTest::newRow("slash and question mark kept")
        << ParameterDictionary{{"u", QStringLiteral("a/b?c-d.e_f~g")}}
        << QByteArray("u=a/b?c-d.e_f~g");
    QTest::newRow("other ASCII escaped uppercase")
        << ParameterDictionary{{"p", QStringLiteral("!*'();:@$,[]%\"\n")}}
        << QByteArray("p=%21%2A%27%28%29%3B%3A%40%24%2C%5B%5D%25%22%0A");
    QTest::newRow("key escaped too")
        << ParameterDictionary{{"a b&c", 1}} << QByteArray("a%20b%26c=1");
    QTest::newRow("code-point key order")
        << ParameterDictionary{{"alpha", 1}, {"Zeta", 2}, {"_x", 3}, {"Beta", 4}, {"1", 5}}
        << QByteArray("1=5&Beta=4&Zeta=2&_x=3&alpha=1");
    // UTF-16 order would put the surrogate pair (D83D...) before U+FF21.
    QTest::newRow("above U+FFFF sorts after U+FF21")
        << ParameterDictionary{{QStringLiteral("\U0001F600"), 2}, {QStringLiteral("\uFF21"), 1}}
        << QByteArray("%EF%BC%A1=1&%F0%9F%98%80=2");
    QTest::newRow("null is a bare name")
        << ParameterDictionary{{"b", 1}, {"a", ParameterValue()}} << QByteArray("a&b=1");
    QTest::newRow("booleans") << ParameterDictionary{{"t", true}, {"f", false}}
                              << QByteArray("f=0&t=1");
    QTest::newRow("negative and extreme integers")
        << ParameterDictionary{{"n", -42},
                               {"min", std::numeric_limits<qint64>::min()},
                               {"max", std::numeric_limits<qint64>::max()}}
        << QByteArray("max=9223372036854775807&min=-9223372036854775808&n=-42");
    QTest::newRow("empty text keeps the equals sign")
        << ParameterDictionary{{"k", QString()}} << QByteArray("k=");
    QTest::newRow("nested dictionary, sorted inside")
        << ParameterDictionary{{"user", ParameterDictionary{{"name", QStringLiteral("x")},
                                                            {"age", 3},
                                                            {"gone", ParameterValue()}}}}
        << QByteArray("user%5Bage%5D=3&user%5Bgone%5D&user%5Bname%5D=x");
    QTest::newRow("two levels")
        << ParameterDictionary{{"a", ParameterDictionary{{"b", ParameterDictionary{{"c", 1}}}}}}
        << QByteArray("a%5Bb%5D%5Bc%5D=1");
    QTest::newRow("list keeps its order") << ParameterDictionary{{"ids", list({3, 1, 2})}}
                                          << QByteArray("ids%5B%5D=3&ids%5B%5D=1&ids%5B%5D=2");
    QTest::newRow("list of dictionaries")
        << ParameterDictionary{{"l", list({ParameterDictionary{{"b", 2}, {"a", 1}}})}}
        << QByteArray("l%5B%5D%5Ba%5D=1&l%5B%5D%5Bb%5D=2");
    QTest::newRow("set sorted by text form")
        << ParameterDictionary{{"tags", set({QStringLiteral("b"), QStringLiteral("a"),
                                             QStringLiteral("C")})}}
        << QByteArray("tags=C&tags=a&tags=b");
    QTest::newRow("set of numbers sorts as text")
        << ParameterDictionary{{"s", set({10, 9, -1})}} << QByteArray("s=-1&s=10&s=9");
    QTest::newRow("empty composites vanish")
        << ParameterDictionary{{"e", list({})}, {"d", ParameterDictionary{}}, {"x", 1}}
        << QByteArray("x=1");
    QTest::newRow("empty dictionary") << ParameterDictionary{} << QByteArray();
    QTest::newRow("emoji value") << ParameterDictionary{{"v", QStringLiteral("\U0001F600")}}
                                 << QByteArray("v=%F0%9F%98%80");
}

void tst_BaseAFHttpManager::formEncoding() {
    QFETCH(ParameterDictionary, parameters);
    QFETCH(QByteArray, body);
    QCOMPARE(BaseAFHttpManager::formEncode(parameters), body);

    // And exactly these bytes on the wire.
    m_server->setAnswer("Mobile/Form", StubHttpServer::Answer::json("{}"));
    auto outcome = post(m_server->baseUrl(), QStringLiteral("Mobile/Form"), parameters);
    QTRY_COMPARE(outcome->callbacks(), 1);
    QCOMPARE(m_server->lastRequest().body, body);
}

void tst_BaseAFHttpManager::requestIsAFormPostWithTheThreeHeaders() {
    m_server->setAnswer("Mobile/TeacherLogin", StubHttpServer::Answer::jsonFile("login_ok.json"));
    auto outcome = post(m_server->baseUrl(), QStringLiteral("Mobile/TeacherLogin"),
                        ParameterDictionary{{"mobile", QStringLiteral("13800000000")}});
    QTRY_COMPARE(outcome->callbacks(), 1);
    const auto request = m_server->lastRequest();
    QCOMPARE(request.method, QByteArray("POST"));
    QCOMPARE(request.target, QByteArray("/Mobile/TeacherLogin"));
    QCOMPARE(request.headers.value("content-type"),
             QByteArray("application/x-www-form-urlencoded"));
    QCOMPARE(request.headers.value("content-length"), QByteArray("18"));

    const QByteArray language = request.headers.value("accept-language");
    QVERIFY2(QRegularExpression(R"(^[^,;\s]+;q=1(, [^,;\s]+;q=0\.[5-9]){0,5}$)")
                 .match(QString::fromLatin1(language))
                 .hasMatch(),
             language.constData());
    QCOMPARE(language, BaseAFHttpManager::acceptLanguage());

    const QByteArray agent = request.headers.value("user-agent");
    QVERIFY2(QRegularExpression(R"(^TeacherTests/2\.3 \([^;]+; iOS [^;]+; Scale/\d+\.\d\d\)$)")
                 .match(QString::fromLatin1(agent))
                 .hasMatch(),
             agent.constData());
    for (const char *absent : {"accept", "authorization", "cookie"})
        QVERIFY2(!request.headers.contains(absent), absent);
}

void tst_BaseAFHttpManager::acceptLanguageFormat_data() {
    QTest::addColumn<QStringList>("languages");
    QTest::addColumn<QByteArray>("header");
    QTest::newRow("one") << QStringList{"zh-CN"} << QByteArray("zh-CN;q=1");
    QTest::newRow("two") << QStringList{"zh-CN", "en"} << QByteArray("zh-CN;q=1, en;q=0.9");
    QTest::newRow("six of eight")
        << QStringList{"zh-Hans-CN", "zh", "en-US", "en", "fr", "de", "ja", "ko"}
        << QByteArray("zh-Hans-CN;q=1, zh;q=0.9, en-US;q=0.8, en;q=0.7, fr;q=0.6, de;q=0.5");
}

void tst_BaseAFHttpManager::acceptLanguageFormat() {
    QFETCH(QStringList, languages);
    QFETCH(QByteArray, header);
    QCOMPARE(BaseAFHttpManager::acceptLanguage(languages), header);
}

void tst_BaseAFHttpManager::userAgentFormat_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("version");
    QTest::addColumn<double>("scale");
    QTest::addColumn<QByteArray>("agent");
    QTest::newRow("plain") << "Teacher"
                           << "1.2" << 2.0
                           << QByteArray("Teacher/1.2 (x86_64; iOS 12; Scale/2.00)");
    QTest::newRow("fractional scale rounds to two places")
        << "Teacher"
        << "1.2" << 1.3333 << QByteArray("Teacher/1.2 (x86_64; iOS 12; Scale/1.33)");
    QTest::newRow("accents come off")
        << QStringLiteral("Lehrer Ünterricht") << "1" << 1.0
        << QByteArray("Lehrer Unterricht/1 (x86_64; iOS 12; Scale/1.00)");
    QTest::newRow("letters spelled out") << QStringLiteral("Ærøß") << "1" << 1.0
                                         << QByteArray("AEross/1 (x86_64; iOS 12; Scale/1.00)");
    QTest::newRow("full-width folded") << QStringLiteral("ＡＢ１") << "1" << 1.0
                                       << QByteArray("AB1/1 (x86_64; iOS 12; Scale/1.00)");
    QTest::newRow("no Latin spelling is dropped")
        << QStringLiteral("阅读Teacher") << "1" << 1.0
        << QByteArray("Teacher/1 (x86_64; iOS 12; Scale/1.00)");
    QTest::newRow("line breaks cannot split the header")
        << QStringLiteral("Bad\r\nX-Injected: 1 é") << "1" << 1.0
        << QByteArray("BadX-Injected: 1 e/1 (x86_64; iOS 12; Scale/1.00)");
}

void tst_BaseAFHttpManager::userAgentFormat() {
    QFETCH(QString, name);
    QFETCH(QString, version);
    QFETCH(double, scale);
    QFETCH(QByteArray, agent);
    QCOMPARE(BaseAFHttpManager::userAgent(name, version, QStringLiteral("x86_64"),
                                          QStringLiteral("12"), scale),
             agent);
}

void tst_BaseAFHttpManager::cookiesDoNotCarryOver() {
    StubHttpServer::Answer withCookie = StubHttpServer::Answer::json(R"({"result":1})");
    withCookie.headers = {{"Set-Cookie", "session=abc; Path=/"}};
    m_server->setAnswer("Mobile/A", withCookie);
    m_server->setAnswer("Mobile/B", StubHttpServer::Answer::json(R"({"result":1})"));
    auto first = post(m_server->baseUrl(), QStringLiteral("Mobile/A"));
    QTRY_COMPARE(first->callbacks(), 1);
    auto second = post(m_server->baseUrl(), QStringLiteral("Mobile/B"));
    QTRY_COMPARE(second->callbacks(), 1);
    QCOMPARE(m_server->requests().size(), 2);
    QVERIFY(!m_server->lastRequest().headers.contains("cookie"));
}

void tst_BaseAFHttpManager::answerRules_data() {
    QTest::addColumn<StubHttpServer::Answer>("reply");
    QTest::addColumn<QString>("failure");  // empty: completion expected
    QTest::addColumn<QByteArray>("value"); // for completion; empty: nothing

    const QByteArray json = R"({"result":1,"msg":"ok"})";
    const QByteArray utf8 = "application/json; charset=utf-8";

    QTest::newRow("ok object") << answer(200, utf8, json) << QString() << json;
    QTest::newRow("text/json") << answer(200, "text/json", json) << QString() << json;
    QTest::newRow("text/javascript") << answer(200, "text/javascript", json) << QString() << json;
    QTest::newRow("type compared without case")
        << answer(200, "Application/JSON; Charset=UTF-8", json) << QString() << json;
    QTest::newRow("201 is success") << answer(201, utf8, json) << QString() << json;
    QTest::newRow("unlisted 299 is success") << answer(299, utf8, json) << QString() << json;

    QTest::newRow("html with JSON body")
        << answer(200, "text/html; charset=utf-8", json)
        << "Request failed: unacceptable content-type: text/html" << QByteArray();
    QTest::newRow("no type with JSON body")
        << answer(200, std::nullopt, json) << "Request failed: unacceptable content-type: (null)"
        << QByteArray();
    QTest::newRow("json-like type is not json")
        << answer(200, "application/jsonp", json)
        << "Request failed: unacceptable content-type: application/jsonp" << QByteArray();

    QTest::newRow("500 with JSON")
        << answer(500, utf8, json) << "Request failed: Internal Server Error (500)" << QByteArray();
    StubHttpServer::Answer ownReason = answer(503, utf8, json);
    ownReason.reason = "Come Back Tomorrow";
    QTest::newRow("server's own reason phrase ignored")
        << ownReason << "Request failed: Service Unavailable (503)" << QByteArray();
    QTest::newRow("status and type both wrong")
        << answer(404, "text/html", "<h1>gone</h1>") << "Request failed: Not Found (404)"
        << QByteArray();
    QTest::newRow("error status with empty body")
        << answer(401, utf8, "") << "Request failed: Unauthorized (401)" << QByteArray();
    QTest::newRow("unlisted 5xx") << answer(599, utf8, json) << "Request failed: Server Error (599)"
                                  << QByteArray();
    QTest::newRow("300 without location")
        << answer(300, utf8, json) << "Request failed: Multiple Choices (300)" << QByteArray();

    QTest::newRow("empty body, json") << answer(200, utf8, "") << QString() << QByteArray();
    QTest::newRow("empty body, html") << answer(200, "text/html", "") << QString() << QByteArray();
    QTest::newRow("empty body, no type")
        << answer(200, std::nullopt, "") << QString() << QByteArray();
    QTest::newRow("204 no content") << answer(204, std::nullopt, "") << QString() << QByteArray();
    QTest::newRow("single space") << answer(200, utf8, " ") << QString() << QByteArray();
    QTest::newRow("two spaces are a syntax error")
        << answer(200, utf8, "  ") << "illegal value" << QByteArray();
    QTest::newRow("newline is a syntax error")
        << answer(200, utf8, "\n") << "illegal value" << QByteArray();

    QTest::newRow("bare string") << answer(200, utf8, "\"hello\"") << "illegal value"
                                 << QByteArray();
    QTest::newRow("bare number") << answer(200, utf8, "42") << "illegal value" << QByteArray();
    QTest::newRow("bare true") << answer(200, utf8, "true") << "illegal value" << QByteArray();
    QTest::newRow("bare null") << answer(200, utf8, "null") << "illegal value" << QByteArray();
    QTest::newRow("trailing comma")
        << answer(200, utf8, R"({"a":1,})") << "object is missing after a comma" << QByteArray();
    QTest::newRow("garbage after value") << answer(200, utf8, R"({"a":1} x)")
                                         << "garbage at the end of the document" << QByteArray();
    QTest::newRow("html error page as json")
        << answer(200, utf8, "<html>") << "illegal value" << QByteArray();
    QTest::newRow("absurd nesting") << answer(200, utf8, QByteArray(100000, '['))
                                    << "too deeply nested document" << QByteArray();

    QTest::newRow("nulls kept")
        << StubHttpServer::Answer::jsonFile("with_nulls.json") << QString()
        << QByteArray(R"({"result":1,"msg":null,"list":[null,{"name":null,"id":7}],"extra":null})");
    QTest::newRow("array top level") << StubHttpServer::Answer::jsonFile("array_top.json")
                                     << QString() << QByteArray(R"([{"id":1},{"id":2},null])");

    QTest::newRow("charset latin1")
        << answer(200, "application/json; charset=iso-8859-1", "{\"n\":\"caf\xe9\"}") << QString()
        << QByteArray("{\"n\":\"caf\xc3\xa9\"}");
    QTest::newRow("charset quoted, upper case")
        << answer(200, "application/json; charset=\"ISO-8859-1\"", "{\"n\":\"\xe9\"}") << QString()
        << QByteArray("{\"n\":\"\xc3\xa9\"}");
    QTest::newRow("charset gbk") << answer(200, "application/json;charset=gbk",
                                           "{\"n\":\"\xba\xc3\xca\xe9\"}")
                                 << QString() << QByteArray(R"({"n":"好书"})");
    QTest::newRow("unknown charset read as UTF-8")
        << answer(200, "application/json; charset=x-no-such-set", R"({"n":"好"})") << QString()
        << QByteArray(R"({"n":"好"})");
    QTest::newRow("no charset read as UTF-8") << answer(200, "application/json", R"({"n":"好"})")
                                              << QString() << QByteArray(R"({"n":"好"})");
    QTest::newRow("invalid UTF-8 yields nothing")
        << answer(200, "application/json", "{\"n\":\"\xff\xfe\"}") << QString() << QByteArray();
    QTest::newRow("truncated UTF-8 yields nothing")
        << answer(200, utf8, "{\"n\":\"\xe5\xa5\"}") << QString() << QByteArray();
}

void tst_BaseAFHttpManager::answerRules() {
    QFETCH(StubHttpServer::Answer, reply);
    QFETCH(QString, failure);
    QFETCH(QByteArray, value);

    m_server->setAnswer("Mobile/Rule", reply);
    auto outcome =
        post(m_server->baseUrl(), QStringLiteral("Mobile/Rule"), ParameterDictionary{{"uid", 1}});
    QTRY_COMPARE(outcome->callbacks(), 1);
    if (!failure.isEmpty()) {
        QCOMPARE(outcome->failures, 1);
        QCOMPARE(outcome->failureText, failure);
        return;
    }
    QCOMPARE(outcome->completions, 1);
    if (value.isEmpty()) {
        QVERIFY2(!outcome->value.has_value(),
                 qPrintable(QJsonDocument(outcome->value->toObject()).toJson()));
    } else {
        QVERIFY(outcome->value.has_value());
        QCOMPARE(*outcome->value, parsed(value));
    }
}

void tst_BaseAFHttpManager::thirtyMegabyteAnswerCompletes() {
    QByteArray body = R"({"result":1,"rows":[)";
    const QByteArray row = R"({"name":"一本很长的书","id":123456},)";
    while (body.size() < 30 * 1024 * 1024)
        body += row;
    body.chop(1);
    body += "]}";
    const qsizetype rows = body.count("\"id\"");
    m_server->queueAnswer("Mobile/Big", StubHttpServer::Answer::json(body));
    body.clear();

    // Writing a 30 MB debug line is not what this test is about and would dominate its time.
    QLoggingCategory::setFilterRules(QStringLiteral("teacher.service.debug=false"));
    const auto restoreLog = qScopeGuard([] { QLoggingCategory::setFilterRules(QString()); });
    auto outcome = post(m_server->baseUrl(), QStringLiteral("Mobile/Big"));
    QTRY_COMPARE_WITH_TIMEOUT(outcome->callbacks(), 1, 60000);
    QCOMPARE(outcome->completions, 1);
    QVERIFY(outcome->value.has_value());
    QCOMPARE(outcome->value->toObject().value("rows").toArray().size(), rows);
}

void tst_BaseAFHttpManager::overLimitAnswerFails_data() {
    QTest::addColumn<bool>("withLength");
    QTest::newRow("declared length") << true;
    QTest::newRow("length unknown until close") << false;
}

void tst_BaseAFHttpManager::overLimitAnswerFails() {
    QFETCH(bool, withLength);
    StubHttpServer::Answer huge =
        StubHttpServer::Answer::json(QByteArray(BaseAFHttpManager::MaxAnswerBytes + 1024, ' '));
    huge.closeDelimited = !withLength;
    m_server->queueAnswer("Mobile/Huge", huge);
    huge = {};

    auto outcome = post(m_server->baseUrl(), QStringLiteral("Mobile/Huge"));
    QTRY_COMPARE_WITH_TIMEOUT(outcome->callbacks(), 1, 60000);
    QCOMPARE(outcome->failures, 1);
    QCOMPARE(outcome->failureText, QStringLiteral("Request failed: answer larger than %1 bytes")
                                       .arg(BaseAFHttpManager::MaxAnswerBytes));

    // The transport is still usable afterwards.
    m_server->setAnswer("Mobile/Small", StubHttpServer::Answer::json(R"({"result":1})"));
    auto next = post(m_server->baseUrl(), QStringLiteral("Mobile/Small"));
    QTRY_COMPARE(next->completions, 1);
}

void tst_BaseAFHttpManager::transportErrorsFail_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("dropped before answering") << "drop";
    QTest::newRow("connection refused") << "refused";
    QTest::newRow("body cut short") << "short";
    QTest::newRow("not a URL") << "garbage";
    QTest::newRow("unknown scheme") << "scheme";
}

void tst_BaseAFHttpManager::transportErrorsFail() {
    QFETCH(QString, kind);
    QString host = m_server->baseUrl();
    if (kind == "drop") {
        m_server->setAnswer("Mobile/X", StubHttpServer::Answer::dropped());
    } else if (kind == "refused") {
        // A port that was just handed out and is closed again.
        StubHttpServer closed;
        QVERIFY(closed.start());
        host = closed.baseUrl();
    } else if (kind == "short") {
        // Claims more than it sends, then hangs up.
        StubHttpServer::Answer cut = StubHttpServer::Answer::json(R"({"result":1})");
        cut.closeDelimited = true;
        cut.headers = {{"Content-Length", "500"}};
        m_server->setAnswer("Mobile/X", cut);
    } else if (kind == "garbage") {
        host = QStringLiteral(":: not a url ::");
    } else {
        host = QStringLiteral("gopher://127.0.0.1:%1/").arg(m_server->port());
    }

    auto outcome = post(host, QStringLiteral("Mobile/X"));
    QTRY_COMPARE(outcome->callbacks(), 1);
    QCOMPARE(outcome->failures, 1);
    QVERIFY(!outcome->failureText.isEmpty());
    QVERIFY(outcome->onMainThread);
}

void tst_BaseAFHttpManager::callbacksRunOnceOnTheMainThreadEvenWhenCalledFromAnother() {
    m_server->setAnswer("Mobile/Ok", StubHttpServer::Answer::json(R"({"result":1})"));
    m_server->setAnswer("Mobile/Bad", answer(500, "application/json", "{}"));

    std::shared_ptr<Outcome> fromMain = post(m_server->baseUrl(), QStringLiteral("Mobile/Ok"));
    std::shared_ptr<Outcome> fromWorkerOk;
    std::shared_ptr<Outcome> fromWorkerBad;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        fromWorkerOk = post(m_server->baseUrl(), QStringLiteral("Mobile/Ok"));
        fromWorkerBad = post(m_server->baseUrl(), QStringLiteral("Mobile/Bad"));
    }));
    worker->start();
    QVERIFY(worker->wait(10000));

    QTRY_VERIFY(fromMain->callbacks() && fromWorkerOk->callbacks() && fromWorkerBad->callbacks());
    // A late duplicate would arrive before this fresh round trip ends.
    auto fence = post(m_server->baseUrl(), QStringLiteral("Mobile/Ok"));
    QTRY_COMPARE(fence->callbacks(), 1);

    for (const auto &outcome : {fromMain, fromWorkerOk, fromWorkerBad}) {
        QCOMPARE(outcome->callbacks(), 1);
        QVERIFY(outcome->onMainThread);
    }
    QCOMPARE(fromWorkerOk->completions, 1);
    QCOMPARE(fromWorkerBad->failures, 1);
}

void tst_BaseAFHttpManager::concurrentCallsEachReachTheirOwnCallback() {
    constexpr int Calls = 16;
    for (int i = 0; i < Calls; ++i) {
        StubHttpServer::Answer a = StubHttpServer::Answer::json(
            QStringLiteral(R"({"result":1,"i":%1})").arg(i).toUtf8(), i % 5 == 4 ? 500 : 200);
        a.delayMs = (Calls - i) * 15; // later calls answer sooner
        m_server->setAnswer(QStringLiteral("Mobile/C%1").arg(i), a);
    }
    std::vector<std::shared_ptr<Outcome>> outcomes;
    QList<int> arrival;
    for (int i = 0; i < Calls; ++i) {
        auto outcome = std::make_shared<Outcome>();
        outcomes.push_back(outcome);
        BaseAFHttpManager::postRequestOperationForHost(
            m_server->baseUrl(), QStringLiteral("Mobile/C%1").arg(i), ParameterDictionary{{"i", i}},
            [outcome, &arrival, i](const std::optional<QJsonValue> &value) {
                ++outcome->completions;
                outcome->value = value;
                arrival.append(i);
            },
            [outcome, &arrival, i](const QString &text) {
                ++outcome->failures;
                outcome->failureText = text;
                arrival.append(i);
            });
    }
    QTRY_COMPARE_WITH_TIMEOUT(arrival.size(), Calls, 20000);
    auto fence = post(m_server->baseUrl(), QStringLiteral("Mobile/C0"));
    QTRY_COMPARE_WITH_TIMEOUT(fence->callbacks(), 1, 10000);

    QCOMPARE(arrival.size(), Calls);
    QList<int> sorted = arrival;
    std::sort(sorted.begin(), sorted.end());
    QVERIFY2(arrival != sorted, "answers were meant to arrive out of call order");
    for (int i = 0; i < Calls; ++i) {
        const auto &outcome = *outcomes[size_t(i)];
        QCOMPARE(outcome.callbacks(), 1);
        if (i % 5 == 4) {
            QCOMPARE(outcome.failureText,
                     QStringLiteral("Request failed: Internal Server Error (500)"));
        } else {
            QVERIFY(outcome.value.has_value());
            QCOMPARE(outcome.value->toObject().value("i").toInt(-1), i);
        }
    }
    for (const auto &request : m_server->requests()) {
        if (!request.body.isEmpty()) // the fence has none
            QCOMPARE(request.path, QStringLiteral("Mobile/C") + request.form().value("i"));
    }
}

void tst_BaseAFHttpManager::callbacksAreReleasedAfterDelivery() {
    m_server->setAnswer("Mobile/Ok", StubHttpServer::Answer::json(R"({"result":1})"));
    m_server->setAnswer("Mobile/Bad", StubHttpServer::Answer::dropped());
    for (const char *path : {"Mobile/Ok", "Mobile/Bad"}) {
        auto held = std::make_shared<int>(7);
        std::weak_ptr<int> watch = held;
        int calls = 0;
        BaseAFHttpManager::postRequestOperationForHost(
            m_server->baseUrl(), QString::fromLatin1(path), std::nullopt,
            [held, &calls](const std::optional<QJsonValue> &) { ++calls; },
            [held, &calls](const QString &) { ++calls; });
        held.reset();
        QVERIFY(!watch.expired()); // the call keeps what its callbacks hold while in flight
        QTRY_COMPARE(calls, 1);
        // ... and lets go of both once one has run.
        QTRY_VERIFY(watch.expired());
    }
}

void tst_BaseAFHttpManager::missingCallbacksAreTolerated() {
    m_server->setAnswer("Mobile/Ok", StubHttpServer::Answer::json(R"({"result":1})"));
    m_server->setAnswer("Mobile/Bad", answer(500, "application/json", "{}"));
    BaseAFHttpManager::postRequestOperationForHost(m_server->baseUrl(), QStringLiteral("Mobile/Ok"),
                                                   std::nullopt, nullptr, nullptr);
    BaseAFHttpManager::postRequestOperationForHost(
        m_server->baseUrl(), QStringLiteral("Mobile/Bad"), std::nullopt, nullptr, nullptr);
    QTRY_COMPARE(m_server->requests().size(), 2);
    auto fence = post(m_server->baseUrl(), QStringLiteral("Mobile/Ok"));
    QTRY_COMPARE(fence->completions, 1);
}

void tst_BaseAFHttpManager::logMasksPasswordsAtAnyDepth_data() {
    QTest::addColumn<ParameterDictionary>("parameters");
    QTest::addColumn<QString>("logged");

    QTest::newRow("login") << ParameterDictionary{{"mobile", QStringLiteral("138")},
                                                  {"password", QStringLiteral("s3cret")}}
                           << R"({"mobile":"138","password":"***"})";
    QTest::newRow("password change") << ParameterDictionary{{"uid", 15},
                                                            {"oldPassword", QStringLiteral("old1")},
                                                            {"NEWPassword", QStringLiteral("new2")}}
                                     << R"({"NEWPassword":"***","oldPassword":"***","uid":15})";
    QTest::newRow("nested and in lists")
        << ParameterDictionary{{"a", ParameterDictionary{{"password", QStringLiteral("p1")},
                                                         {"keep", QStringLiteral("k")}}},
                               {"l", list({ParameterDictionary{{"oldPassword", 5}}})}}
        << R"({"a":{"keep":"k","password":"***"},"l":[{"oldPassword":"***"}]})";
    QTest::newRow("other keys untouched")
        << ParameterDictionary{{"passwordHint", QStringLiteral("pet")},
                               {"pwd", QStringLiteral("x")}}
        << R"({"passwordHint":"pet","pwd":"x"})";
    QTest::newRow("empty") << ParameterDictionary{} << "{}";
}

void tst_BaseAFHttpManager::logMasksPasswordsAtAnyDepth() {
    QFETCH(ParameterDictionary, parameters);
    QFETCH(QString, logged);
    QCOMPARE(BaseAFHttpManager::loggableParameters(parameters), logged);
    QCOMPARE(
        BaseAFHttpManager::requestLogLine(QStringLiteral("http://h/Mobile/P"), parameters),
        QStringLiteral("postRequestOperationForHost, toUrl http://h/Mobile/P, with parameters ") +
            logged);
}

void tst_BaseAFHttpManager::logLinesAreWrittenButTheWireKeepsThePassword() {
    m_server->setAnswer("Mobile/TeacherLogin", StubHttpServer::Answer::jsonFile("refusal.json"));
    const ParameterDictionary login{{"mobile", QStringLiteral("13800000000")},
                                    {"password", QStringLiteral("s3cret&=")}};
    auto outcome = post(m_server->baseUrl(), QStringLiteral("Mobile/TeacherLogin"), login);
    QTRY_COMPARE(outcome->completions, 1);

    QCOMPARE(m_server->lastRequest().form().value("password"), QStringLiteral("s3cret&="));
    const QStringList lines = takeLogLines();
    const QString url = m_server->baseUrl() + QStringLiteral("Mobile/TeacherLogin");
    QVERIFY2(lines.contains(QStringLiteral("postRequestOperationForHost, toUrl %1, with parameters "
                                           R"({"mobile":"13800000000","password":"***"})")
                                .arg(url)),
             qPrintable(lines.join('\n')));
    QVERIFY(lines.contains(QStringLiteral(R"(Response:{"msg":"密码错误","result":0})")));
    QVERIFY(!lines.join('\n').contains(QStringLiteral("s3cret")));
    // indexOf(QRegularExpression) wants the whole line to match.
    QVERIFY2(lines.indexOf(QRegularExpression("postRequest.*")) >= 0 &&
                 lines.indexOf(QRegularExpression("postRequest.*")) <
                     lines.indexOf(QRegularExpression("Response:.*")),
             qPrintable(lines.join('\n')));

    auto empty = post(m_server->baseUrl(), std::nullopt);
    QTRY_COMPARE(empty->callbacks(), 1);
    QVERIFY(takeLogLines().contains(
        QStringLiteral("postRequestOperationForHost, toUrl %1, with parameters (null)")
            .arg(m_server->baseUrl())));
}

QTEST_MAIN(tst_BaseAFHttpManager)
#include "tst_BaseAFHttpManager.moc"
