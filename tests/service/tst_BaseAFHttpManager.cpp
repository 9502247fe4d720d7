// The service-call transport against the in-process stub. Each row names the fault it catches.
#include "BaseAFHttpManager.h"
#include "CataloguePath.h"
#include "StubHttpServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QMutex>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <memory>
#include <utility>

Q_DECLARE_METATYPE(ParameterDictionary)
Q_DECLARE_METATYPE(std::optional<QString>)

namespace {

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

StubHttpServer::Answer answer(int status, std::optional<QByteArray> contentType,
                              const QByteArray &body) {
    StubHttpServer::Answer a = StubHttpServer::Answer::json(body, status);
    a.contentType = std::move(contentType);
    return a;
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
    void formEncodingOnTheWire_data();
    void formEncodingOnTheWire();
    void requestIsAFormPostWithTheThreeHeaders();
    void headerFormats();
    void redirectRule_data();
    void redirectRule();
    void answerRules_data();
    void answerRules();
    void overLimitAnswerFails_data();
    void overLimitAnswerFails();
    void transportErrorsFail_data();
    void transportErrorsFail();
    void callbacksRunOnceOnTheMainThreadEvenWhenCalledFromAnother();
    void concurrentCallsEachReachTheirOwnCallback();
    void callbacksAreReleasedAfterDelivery();
    void logLinesAreWrittenButTheWireKeepsThePassword();

private:
    StubHttpServer *m_server = nullptr;
};

void tst_BaseAFHttpManager::initTestCase() {
    g_previousHandler = qInstallMessageHandler(captureLog);
    // The transport's request and answer lines are what several cases read.
    QLoggingCategory::setFilterRules(QStringLiteral("teacher.service.debug=true"));
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
    QTest::newRow("absent path must not add text") << base << std::optional<QString>() << base;
    QTest::newRow("non-ASCII must be UTF-8 escaped")
        << base << std::optional<QString>(QStringLiteral("书 é")) << base + "%E4%B9%A6%20%C3%A9";
    QTest::newRow("unsafe ASCII must be escaped")
        << base << std::optional<QString>("<>\\^`{|}\"") << base + "%3C%3E%5C%5E%60%7B%7C%7D%22";
    QTest::newRow("reserved must be kept")
        << base << std::optional<QString>("p?a=1&b=(2)+3;[x]@!$',*")
        << base + "p?a=1&b=(2)+3;[x]@!$',*";
    QTest::newRow("existing escape must not double")
        << QStringLiteral("http://svc/a%20b/") << std::optional<QString>("100%")
        << "http://svc/a%20b/100%25";
}

void tst_BaseAFHttpManager::urlBuilding() {
    QFETCH(QString, host);
    QFETCH(std::optional<QString>, path);
    QFETCH(QString, url);
    QCOMPARE(BaseAFHttpManager::p_getURLWithParameters(path, host), url);
}

void tst_BaseAFHttpManager::formEncodingOnTheWire_data() {
    QTest::addColumn<ParameterDictionary>("parameters");
    QTest::addColumn<QByteArray>("body");

    QTest::newRow("keys out of order, space as plus")
        << ParameterDictionary{{"uid", 15}, {"comment", QStringLiteral("好 书!")}, {"bookId", 230}}
        << QByteArray("bookId=230&comment=%E5%A5%BD%20%E4%B9%A6%21&uid=15");
    QTest::newRow("separators left raw") << ParameterDictionary{{"q", QStringLiteral("a&b=c+d#e")}}
                                         << QByteArray("q=a%26b%3Dc%2Bd%23e");
    QTest::newRow("slash or question mark escaped")
        << ParameterDictionary{{"u", QStringLiteral("a/b?c-d.e_f~g")}}
        << QByteArray("u=a/b?c-d.e_f~g");
    QTest::newRow("case-folded key order")
        << ParameterDictionary{{"alpha", 1}, {"Zeta", 2}, {"_x", 3}, {"1", 5}}
        << QByteArray("1=5&Zeta=2&_x=3&alpha=1");
    // UTF-16 order would put the surrogate pair (D83D...) before U+FF21.
    QTest::newRow("UTF-16 key order")
        << ParameterDictionary{{QStringLiteral("\U0001F600"), 2}, {QStringLiteral("\uFF21"), 1}}
        << QByteArray("%EF%BC%A1=1&%F0%9F%98%80=2");
    QTest::newRow("null written with equals")
        << ParameterDictionary{{"b", 1}, {"a", ParameterValue()}} << QByteArray("a&b=1");
    QTest::newRow("empty text dropped")
        << ParameterDictionary{{"k", QString()}, {"t", true}, {"n", -42}}
        << QByteArray("k=&n=-42&t=1");
    QTest::newRow("nested names or order wrong")
        << ParameterDictionary{{"user",
                                ParameterDictionary{{"name", QStringLiteral("x")}, {"age", 3}}},
                               {"ids", list({3, 1})}}
        << QByteArray("ids%5B%5D=3&ids%5B%5D=1&user%5Bage%5D=3&user%5Bname%5D=x");
}

void tst_BaseAFHttpManager::formEncodingOnTheWire() {
    QFETCH(ParameterDictionary, parameters);
    QFETCH(QByteArray, body);
    m_server->setAnswer("Mobile/Form", StubHttpServer::Answer::json("{}"));
    auto outcome = post(m_server->baseUrl(), QStringLiteral("Mobile/Form"), parameters);
    QTRY_COMPARE(outcome->callbacks(), 1);
    QCOMPARE(m_server->lastRequest().body, body);
}

void tst_BaseAFHttpManager::requestIsAFormPostWithTheThreeHeaders() {
    m_server->setAnswer(TestCatalogue::pathOf(Operation::Login),
                        StubHttpServer::Answer::jsonFile("login_ok.json"));
    auto outcome = post(m_server->baseUrl(), TestCatalogue::pathOf(Operation::Login),
                        ParameterDictionary{{"mobile", QStringLiteral("13800000000")}});
    QTRY_COMPARE(outcome->callbacks(), 1);
    const auto request = m_server->lastRequest();
    QCOMPARE(request.method, QByteArray("POST"));
    QCOMPARE(request.path, TestCatalogue::pathOf(Operation::Login));
    QCOMPARE(request.headers.value("content-type"),
             QByteArray("application/x-www-form-urlencoded"));
    QCOMPARE(request.headers.value("accept-language"), BaseAFHttpManager::acceptLanguage());
    const QByteArray agent = request.headers.value("user-agent");
    QVERIFY2(QRegularExpression(R"(^TeacherTests/2\.3 \([^;]+; iOS [^;]+; Scale/\d+\.\d\d\)$)")
                 .match(QString::fromLatin1(agent))
                 .hasMatch(),
             agent.constData());
    for (const char *absent : {"accept", "authorization", "cookie"})
        QVERIFY2(!request.headers.contains(absent), absent);

    // A cookie the service sets must not ride along on the next call.
    StubHttpServer::Answer withCookie = StubHttpServer::Answer::json(R"({"result":1})");
    withCookie.headers = {{"Set-Cookie", "session=abc; Path=/"}};
    m_server->setAnswer("Mobile/A", withCookie);
    auto first = post(m_server->baseUrl(), QStringLiteral("Mobile/A"));
    QTRY_COMPARE(first->callbacks(), 1);
    auto second = post(m_server->baseUrl(), QStringLiteral("Mobile/A"));
    QTRY_COMPARE(second->callbacks(), 1);
    QVERIFY(!m_server->lastRequest().headers.contains("cookie"));
}

void tst_BaseAFHttpManager::headerFormats() {
    // Weights off by one, or more than six languages.
    QCOMPARE(
        BaseAFHttpManager::acceptLanguage({"zh-Hans-CN", "zh", "en-US", "en", "fr", "de", "ja"}),
        QByteArray("zh-Hans-CN;q=1, zh;q=0.9, en-US;q=0.8, en;q=0.7, fr;q=0.6, de;q=0.5"));
    // Scale not rounded to two places.
    QCOMPARE(BaseAFHttpManager::userAgent("Teacher", "1.2", "x86_64", "12", 1.3333),
             QByteArray("Teacher/1.2 (x86_64; iOS 12; Scale/1.33)"));
    // Non-ASCII or line breaks reaching the header.
    QCOMPARE(BaseAFHttpManager::userAgent(QStringLiteral("Ærø阅读\r\nX: é"), "1", "m", "12", 1.0),
             QByteArray("AEroX: e/1 (m; iOS 12; Scale/1.00)"));
}

// A redirect that leaves its origin would carry the form (the password with it) elsewhere.
void tst_BaseAFHttpManager::redirectRule_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<QByteArray>("location");
    QTest::addColumn<ParameterDictionary>("form");
    QTest::addColumn<QString>("followedTo"); // empty: not followed
    const auto row = [](const char *name, const char *from, const char *location, const char *to,
                        const ParameterDictionary &form = {{"uid", 7}}) {
        QTest::newRow(name) << QString::fromLatin1(from) << QByteArray(location) << form << to;
    };
    const char *from = "https://service.test/Mobile/AddGood";
    row("same origin", from, "/Mobile/Moved", "https://service.test/Mobile/Moved");
    row("relative Location", "http://127.0.0.1:8080/Mobile/AddGood", " Moved#top ",
        "http://127.0.0.1:8080/Mobile/Moved");
    row("default port spelled", from, "https://SERVICE.test:443/a", "https://service.test:443/a");
    row("other host", from, "https://other.test/Mobile/Moved", "");
    row("other port", from, "https://service.test:8443/Mobile/Moved", "");
    // On one port, so that only the scheme tells them apart.
    row("other scheme", "http://service.test:8080/a", "https://service.test:8080/a", "");
    row("https to http", "https://service.test:8443/a", "http://service.test:8443/a", "");
    row("sign-in never", from, "/Mobile/Moved", "",
        {{"userName", QStringLiteral("t")}, {"password", QStringLiteral("pw")}});
    row("no Location", from, " ", "");
    row("loop to itself", from, "AddGood#again", "");
}

void tst_BaseAFHttpManager::redirectRule() {
    QFETCH(QString, from);
    QFETCH(QByteArray, location);
    QFETCH(ParameterDictionary, form);
    QFETCH(QString, followedTo);
    const std::optional<QUrl> target =
        BaseAFHttpManager::redirectTarget(QUrl(from), location, form);
    QCOMPARE(target ? target->toString() : QString(), followedTo);
}

void tst_BaseAFHttpManager::answerRules_data() {
    QTest::addColumn<StubHttpServer::Answer>("reply");
    QTest::addColumn<QString>("failure");  // empty: completion expected
    QTest::addColumn<QByteArray>("value"); // for completion; empty: nothing

    const QByteArray json = R"({"result":1,"msg":"ok"})";
    const QByteArray utf8 = "application/json; charset=utf-8";

    QTest::newRow("text/javascript refused")
        << answer(200, "text/javascript", json) << QString() << json;
    QTest::newRow("299 refused") << answer(299, utf8, json) << QString() << json;
    QTest::newRow("html accepted")
        << answer(200, "text/html; charset=utf-8", json)
        << "Request failed: unacceptable content-type: text/html" << QByteArray();
    QTest::newRow("missing type accepted")
        << answer(200, std::nullopt, json) << "Request failed: unacceptable content-type: (null)"
        << QByteArray();
    QTest::newRow("prefix match on type")
        << answer(200, "application/jsonp", json)
        << "Request failed: unacceptable content-type: application/jsonp" << QByteArray();
    QTest::newRow("500 completes")
        << answer(500, utf8, json) << "Request failed: Internal Server Error (500)" << QByteArray();
    StubHttpServer::Answer ownReason = answer(503, utf8, json);
    ownReason.reason = "Come Back Tomorrow";
    QTest::newRow("server's phrase reported")
        << ownReason << "Request failed: Service Unavailable (503)" << QByteArray();
    QTest::newRow("type checked before status")
        << answer(404, "text/html", "<h1>gone</h1>") << "Request failed: Not Found (404)"
        << QByteArray();
    QTest::newRow("300 accepted") << answer(300, utf8, json)
                                  << "Request failed: Multiple Choices (300)" << QByteArray();
    QTest::newRow("lone space parsed") << answer(200, utf8, " ") << QString() << QByteArray();
    QTest::newRow("bare string accepted")
        << answer(200, utf8, "\"hello\"") << "illegal value" << QByteArray();
    QTest::newRow("trailing garbage accepted")
        << answer(200, utf8, R"({"a":1} x)") << "garbage at the end of the document"
        << QByteArray();
    QTest::newRow("nulls removed")
        << StubHttpServer::Answer::jsonFile("with_nulls.json") << QString()
        << QByteArray(R"({"result":1,"msg":null,"list":[null,{"name":null,"id":7}],"extra":null})");
    QTest::newRow("array top level refused")
        << StubHttpServer::Answer::jsonFile("array_top.json") << QString()
        << QByteArray(R"([{"id":1},{"id":2},null])");
    QTest::newRow("charset ignored")
        << answer(200, "application/json;charset=\"GBK\"", "{\"n\":\"\xba\xc3\xca\xe9\"}")
        << QString() << QByteArray(R"({"n":"好书"})");
    QTest::newRow("undecodable body fails")
        << answer(200, "application/json", "{\"n\":\"\xe5\xa5\"}") << QString() << QByteArray();
}

void tst_BaseAFHttpManager::answerRules() {
    QFETCH(StubHttpServer::Answer, reply);
    QFETCH(QString, failure);
    QFETCH(QByteArray, value);

    m_server->setAnswer("Mobile/Rule", reply);
    auto outcome =
        post(m_server->baseUrl(), QStringLiteral("Mobile/Rule"), ParameterDictionary{{"uid", 1}});
    QTRY_COMPARE(outcome->callbacks(), 1);
    QCOMPARE(outcome->failureText, failure);
    QCOMPARE(outcome->completions, failure.isEmpty() ? 1 : 0);
    QCOMPARE(outcome->value.has_value(), !value.isEmpty());
    if (!value.isEmpty())
        QCOMPARE(*outcome->value, QJsonDocument::fromJson(value).isArray()
                                      ? QJsonValue(QJsonDocument::fromJson(value).array())
                                      : QJsonValue(QJsonDocument::fromJson(value).object()));
}

void tst_BaseAFHttpManager::overLimitAnswerFails_data() {
    QTest::addColumn<bool>("withLength");
    QTest::newRow("declared length not checked") << true;
    QTest::newRow("streamed size not checked") << false;
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
    QCOMPARE(outcome->failureText, QStringLiteral("Request failed: answer larger than %1 bytes")
                                       .arg(BaseAFHttpManager::MaxAnswerBytes));
    m_server->setAnswer("Mobile/Small", StubHttpServer::Answer::json(R"({"result":1})"));
    auto next = post(m_server->baseUrl(), QStringLiteral("Mobile/Small"));
    QTRY_COMPARE(next->completions, 1);
}

void tst_BaseAFHttpManager::transportErrorsFail_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("dropped connection completes") << "drop";
    QTest::newRow("refused connection completes") << "refused";
    QTest::newRow("short body completes") << "short";
}

void tst_BaseAFHttpManager::transportErrorsFail() {
    QFETCH(QString, kind);
    QString host = m_server->baseUrl();
    if (kind == "drop") {
        m_server->setAnswer("Mobile/X", StubHttpServer::Answer::dropped());
    } else if (kind == "refused") {
        StubHttpServer closed;
        QVERIFY(closed.start());
        host = closed.baseUrl();
    } else {
        StubHttpServer::Answer cut = StubHttpServer::Answer::json(R"({"result":1})");
        cut.closeDelimited = true;
        cut.headers = {{"Content-Length", "500"}};
        m_server->setAnswer("Mobile/X", cut);
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
    QCOMPARE(fromWorkerBad->failures, 1);

    // Callers that pass no callbacks must not crash the delivery.
    BaseAFHttpManager::postRequestOperationForHost(
        m_server->baseUrl(), QStringLiteral("Mobile/Bad"), std::nullopt, nullptr, nullptr);
    QTRY_COMPARE(m_server->requests().size(), 5);
    auto last = post(m_server->baseUrl(), QStringLiteral("Mobile/Ok"));
    QTRY_COMPARE(last->completions, 1);
}

void tst_BaseAFHttpManager::concurrentCallsEachReachTheirOwnCallback() {
    constexpr int Calls = 12;
    for (int i = 0; i < Calls; ++i) {
        StubHttpServer::Answer a = StubHttpServer::Answer::json(
            QStringLiteral(R"({"result":1,"i":%1})").arg(i).toUtf8(), i % 4 == 3 ? 500 : 200);
        a.delayMs = (Calls - i) * 15; // later calls answer sooner
        m_server->setAnswer(QStringLiteral("Mobile/C%1").arg(i), a);
    }
    std::vector<std::shared_ptr<Outcome>> outcomes;
    for (int i = 0; i < Calls; ++i)
        outcomes.push_back(post(m_server->baseUrl(), QStringLiteral("Mobile/C%1").arg(i),
                                ParameterDictionary{{"i", i}}));
    for (int i = 0; i < Calls; ++i) {
        const auto &outcome = *outcomes[size_t(i)];
        QTRY_COMPARE_WITH_TIMEOUT(outcome.callbacks(), 1, 20000);
        if (i % 4 == 3)
            QCOMPARE(outcome.failureText,
                     QStringLiteral("Request failed: Internal Server Error (500)"));
        else
            QCOMPARE(outcome.value->toObject().value("i").toInt(-1), i);
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
        QVERIFY(!watch.expired()); // a call in flight keeps its callbacks
        QTRY_COMPARE(calls, 1);
        QTRY_VERIFY(watch.expired()); // a screen captured by them is let go afterwards
    }
}

void tst_BaseAFHttpManager::logLinesAreWrittenButTheWireKeepsThePassword() {
    m_server->setAnswer(TestCatalogue::pathOf(Operation::Login),
                        StubHttpServer::Answer::jsonFile("refusal.json"));
    const ParameterDictionary login{{"mobile", QStringLiteral("13800000000")},
                                    {"password", QStringLiteral("s3cret&=")}};
    auto outcome = post(m_server->baseUrl(), TestCatalogue::pathOf(Operation::Login), login);
    QTRY_COMPARE(outcome->completions, 1);

    QCOMPARE(m_server->lastRequest().form().value("password"), QStringLiteral("s3cret&="));
    const QStringList lines = takeLogLines();
    const QString url = m_server->baseUrl() + TestCatalogue::pathOf(Operation::Login);
    QCOMPARE(lines,
             (QStringList{QStringLiteral("postRequestOperationForHost, toUrl %1, with parameters "
                                         R"({"mobile":"13800000000","password":"***"})")
                              .arg(url),
                          QStringLiteral(R"(Response:{"msg":"密码错误","result":0})")}));
}

QTEST_MAIN(tst_BaseAFHttpManager)
#include "tst_BaseAFHttpManager.moc"
