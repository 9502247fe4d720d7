#include "AnswerCache.h"
#include "BaseAFHttpManager.h"
#include "StubHttpServer.h"
#include "TeacherRequestManager.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

// The catalogue against the real transport and an in-process stub: every typed method posts its
// own record to its own path and hands back the answer, or the failure text, untouched.
class tst_TeacherRequestManager : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void catalogueIsTheServicesNamesAndPaths();
    void methodPostsItsRecordToItsPath_data();
    void methodPostsItsRecordToItsPath();
    void failureAndEmptyAnswerPassUnchanged();
    void callByNameAndUnknownName();
    void keptReadsStandInForAFailedCallOnly();
    void changesNeverComeFromTheKeep();
    void keptPrivatelyWithinItsBound();
    void keepTrustsNothingInItsFolder_data();
    void keepTrustsNothingInItsFolder();

private:
    StubHttpServer m_stub;
};

namespace {

using Invoke = std::function<ParameterDictionary(ServiceCompletion, ServiceFailure)>;

struct Row {
    const char *name;
    const char *path;
    Invoke invoke; // calls the typed method; gives the parameters it was called with
};

// Every field gets a value of its own, so a method that sends another record, or none, shows.
template <class Req> Req distinctRecord() {
    Req record;
    QJsonObject json;
    qint64 n = 100;
    for (const FieldInfo *field : Req::recordType().allFields())
        json.insert(field->name, field->kind == FieldKind::String
                                     ? QJsonValue(QStringLiteral("t %1 &=").arg(++n))
                                     : QJsonValue(++n));
    KeyValueMapping::fillFromJson(&record, Req::recordType(), json);
    return record;
}

template <class Req>
Row op(const char *name, const char *path,
       void (*method)(const Req &, ServiceCompletion, ServiceFailure)) {
    return {name, path, [method](ServiceCompletion completion, ServiceFailure failure) {
                const Req record = distinctRecord<Req>();
                method(record, std::move(completion), std::move(failure));
                return KeyValueMapping::keyValues(record);
            }};
}

// The service's paths, spelled out here and nowhere else in the tests.
#define OP(name, path) op(#name, path, &TeacherRequestManager::request_##name##_WithParams)
const QList<Row> &operations() {
    static const QList<Row> table = {
        OP(Login, "Mobile/TeacherLogin"),
        OP(SendVerification, "Mobile/SendVerification"),
        OP(ChangeMobile, "Mobile/ChangeMobile"),
        OP(ForgetVerification, "Mobile/GetPasswordForget"),
        OP(ConfirmVerification, "Mobile/ConfirmVerification"),
        OP(ChartList, "Mobile/GetTeacherReport"),
        OP(ChartTermList, "Mobile/GetTermYear"),
        OP(ChartCityList, "Mobile/GetCityList"),
        OP(ChartAreaList, "Mobile/GetAreaList"),
        OP(GetTeacherInfo, "Mobile/GetTeacherInfo"),
        OP(ChangeClassForTeacher, "Mobile/ChangeClassForTeacher"),
        OP(SelectClassForTeacher, "Mobile/SelectClassForTeacher"),
        OP(GetTeacherCollections, "Mobile/GetTeacherCollections"),
        OP(GetMyCollectionInfo, "Mobile/GetMyCollectionInfo"),
        OP(GetBookSortTree, "Mobile/GetBookSortTree"),
        OP(GetBookList, "Mobile/GetBookList"),
        OP(GetBookDetailShow, "Mobile/GetBookDetailShow"),
        OP(GetCommentShow, "Mobile/GetCommentShow"),
        OP(AddComment, "Mobile/AddComment"),
        OP(GetRecommendBookList, "Mobile/GetRecommendBookList"),
        OP(GetStudentPersonHomeIndex, "Mobile/GetStudentPersonHomeIndex"),
        {"GetTestBookList", "Mobile/GetMyTestInfo",
         [](ServiceCompletion completion, ServiceFailure failure) {
             const ParameterDictionary anything{{"uid", qint64(15)}, {"x", QStringLiteral("y z")}};
             TeacherRequestManager::request_GetTestBookList_WithParams(
                 anything, std::move(completion), std::move(failure));
             return anything;
         }},
        OP(AddBookCollect, "Mobile/AddBookCollect"),
        OP(DeleteBookCollect, "Mobile/DeleteBookCollect"),
        OP(AddGood, "Mobile/AddGood"),
        OP(CancelGood, "Mobile/CancelGood"),
        OP(GetFeelList, "Mobile/GetFeelList"),
        OP(UpdateFeel, "Mobile/UpdateFeel"),
        OP(GetSingleFeel, "Mobile/GetSingleFeel"),
        OP(GetMyClassDetail, "Mobile/GetMyClassDetail"),
        OP(GetMyClassForTeacher, "Mobile/GetMyClassForTeacher"),
        OP(SetNewPassword, "Mobile/SetNewPassword"),
        OP(PhotoUpdate, "Mobile/PhotoUpdate"),
        OP(DeleteComment, "Mobile/DeleteComment"),
    };
    return table;
}

struct Outcome {
    int completions = 0;
    int failures = 0;
    std::optional<QJsonValue> value;
    QString failureText;
    std::optional<QDateTime> keptFrom;

    ServiceCompletion completion() {
        return [this](const std::optional<QJsonValue> &v) {
            ++completions;
            value = v;
            const std::optional<KeptDelivery> kept = TeacherRequestManager::deliveringKept();
            keptFrom = kept ? std::optional(kept->receivedAt) : std::nullopt;
        };
    }
    ServiceFailure failure() {
        return [this](const QString &text) {
            ++failures;
            failureText = text;
        };
    }
    int calls() const { return completions + failures; }
};

} // namespace

void tst_TeacherRequestManager::initTestCase() {
    QVERIFY(m_stub.start());
    // Read once per process: it has to be in place before the first call.
    qputenv("TEACHER_SERVICE_URL", m_stub.baseUrl().toUtf8());
    QCOMPARE(ServiceBaseURL(), m_stub.baseUrl());
}

void tst_TeacherRequestManager::init() {
    m_stub.clearRequests();
}

void tst_TeacherRequestManager::cleanup() {
    AnswerCache::instance().resetForTests();
}

void tst_TeacherRequestManager::catalogueIsTheServicesNamesAndPaths() {
    // A renamed, reordered, missing or re-pathed row.
    QStringList expected;
    for (const Row &o : operations())
        expected << QStringLiteral("%1 -> %2").arg(o.name, o.path);
    QStringList catalogue;
    for (const ServiceOperation &op : TeacherRequestManager::operations())
        catalogue << QStringLiteral("%1 -> %2").arg(op.name, op.path);
    QCOMPARE(catalogue, expected);
}

void tst_TeacherRequestManager::methodPostsItsRecordToItsPath_data() {
    QTest::addColumn<int>("index");
    for (int i = 0; i < operations().size(); ++i)
        QTest::newRow(operations()[i].name) << i;
}

void tst_TeacherRequestManager::methodPostsItsRecordToItsPath() {
    // A method wired to another row, or sending another record; an answer touched on the way.
    QFETCH(int, index);
    const Row &o = operations()[index];
    const QByteArray answer = R"({"result":1,"msg":"","extra":null,"big":9007199254740993})";
    m_stub.setAnswer(QString::fromLatin1(o.path), StubHttpServer::Answer::json(answer));

    Outcome outcome;
    const ParameterDictionary sent = o.invoke(outcome.completion(), outcome.failure());
    QCOMPARE(outcome.calls(), 0); // never inside the call itself
    QTRY_COMPARE(outcome.calls(), 1);
    QCOMPARE(m_stub.requests().size(), 1);
    QCOMPARE(m_stub.lastRequest().path, QString::fromLatin1(o.path));
    QCOMPARE(m_stub.lastRequest().body, BaseAFHttpManager::formEncode(sent));
    QVERIFY(outcome.value);
    QCOMPARE(*outcome.value, QJsonValue(QJsonDocument::fromJson(answer).object()));
}

void tst_TeacherRequestManager::failureAndEmptyAnswerPassUnchanged() {
    // The catalogue must pass the transport's failure text on as it is...
    m_stub.setAnswer("Mobile/GetFeelList", StubHttpServer::Answer::json(R"({"result":1})", 503));
    Outcome failed;
    TeacherRequestManager::request_GetFeelList_WithParams(GetFeelListReq(), failed.completion(),
                                                          failed.failure());
    QTRY_COMPARE(failed.calls(), 1);
    QCOMPARE(failed.failureText, QStringLiteral("Request failed: Service Unavailable (503)"));

    // ...and an empty answer as nothing, not as an empty object.
    m_stub.setAnswer("Mobile/GetFeelList", StubHttpServer::Answer::json(""));
    Outcome empty;
    TeacherRequestManager::request_GetFeelList_WithParams(GetFeelListReq(), empty.completion(),
                                                          empty.failure());
    QTRY_COMPARE(empty.calls(), 1);
    QCOMPARE(empty.completions, 1);
    QVERIFY(!empty.value);
}

void tst_TeacherRequestManager::callByNameAndUnknownName() {
    // An unknown name fails later, never inside the call.
    Outcome outcome;
    TeacherRequestManager::call(u"GetEverything", {}, outcome.completion(), outcome.failure());
    QCOMPARE(outcome.calls(), 0);
    QTRY_COMPARE(outcome.calls(), 1);
    QVERIFY(outcome.failureText.contains(QStringLiteral("GetEverything")));
    QVERIFY(m_stub.requests().isEmpty());
}

void tst_TeacherRequestManager::keptReadsStandInForAFailedCallOnly() {
    // Only what reads (and the sign-in) may ever be answered from what the service said before.
    static const QRegularExpression reads(QStringLiteral("^(Get|Chart|Select)"));
    for (const ServiceOperation &op : TeacherRequestManager::operations())
        QVERIFY2((op.offline == OfflineUse::Read) ==
                     reads.match(QString::fromLatin1(op.name)).hasMatch(),
                 op.name);

    QTemporaryDir dir;
    AnswerCache &cache = AnswerCache::instance();
    cache.setFolder(dir.path());
    cache.openFor(1);
    const QByteArray list = R"({"result":1,"feelList":[{"FeelId":7}]})";
    const auto call = [](const char *name, const ParameterDictionary &parameters) {
        auto outcome = std::make_shared<Outcome>();
        TeacherRequestManager::call(QString::fromLatin1(name), parameters, outcome->completion(),
                                    outcome->failure());
        [&] { QTRY_COMPARE(outcome->calls(), 1); }();
        return outcome;
    };
    const ParameterDictionary waiting = {{"feelType", ParameterValue(1)}};

    // Answered once each, then the network is gone.
    for (const char *path : {"Mobile/GetFeelList", "Mobile/GetBookList"})
        m_stub.setAnswer(QLatin1String(path), StubHttpServer::Answer::dropped());
    m_stub.queueAnswer("Mobile/GetFeelList", StubHttpServer::Answer::json(list));
    m_stub.queueAnswer("Mobile/GetBookList", StubHttpServer::Answer::json(R"({"result":0})"));
    QVERIFY(!call("GetFeelList", waiting)->keptFrom); // a new answer is not a kept one
    call("GetBookList", {});

    const auto kept = call("GetFeelList", waiting);
    QCOMPARE(*kept->value, QJsonValue(QJsonDocument::fromJson(list).object()));
    QVERIFY(kept->keptFrom && *kept->keptFrom <= QDateTime::currentDateTime());
    QCOMPARE(call("GetFeelList", waiting)->keptFrom, kept->keptFrom); // handed out, not renewed
    // Other parameters and a refusal have nothing to stand in.
    QCOMPARE(call("GetFeelList", {{"feelType", ParameterValue(2)}})->failures, 1);
    QCOMPARE(call("GetBookList", {})->failures, 1);

    // An answer to the teacher before that comes after another signed in is not theirs.
    StubHttpServer::Answer late = StubHttpServer::Answer::json(list);
    late.delayMs = 200;
    m_stub.queueAnswer("Mobile/GetFeelList", late);
    Outcome before;
    TeacherRequestManager::call(u"GetFeelList", waiting, before.completion(), before.failure());
    cache.openFor(2);
    QTRY_COMPARE(before.calls(), 1);
    QCOMPARE(cache.answersKept(), 0);
}

// A change is never answered from the keep, however it is asked (screens showing what they saw
// before is the lists' and the start-up's to test).
void tst_TeacherRequestManager::changesNeverComeFromTheKeep() {
    QTemporaryDir dir;
    AnswerCache &cache = AnswerCache::instance();
    cache.setFolder(dir.path());
    cache.openFor(1);
    cache.store(cache.generation(), "UpdateFeel", "", QJsonObject{{"result", 1}});
    m_stub.queueAnswer("Mobile/UpdateFeel", StubHttpServer::Answer::json(R"({"result":0})"));
    Outcome change;
    QVERIFY(!TeacherRequestManager::call(Operation::UpdateFeel, {}, change.completion(),
                                         change.failure(), Fetch::KeptFirst));
    QTRY_COMPARE(change.calls(), 1);
    QCOMPARE(change.value->toObject().value("result").toInt(), 0);
}

void tst_TeacherRequestManager::keptPrivatelyWithinItsBound() {
    QTemporaryDir dir;
    AnswerCache &cache = AnswerCache::instance();
    cache.setFolder(dir.path());
    cache.setMaxBytes(20 * 1024);
    cache.openFor(1);
    const QJsonObject answer{{"result", 1}, {"text", QString(900, u'读')}};
    const auto has = [&](int n) { return cache.find("Op", QByteArray::number(n)).has_value(); };
    // A disk that does not answer for a while: nothing waits for it, and what is on its way is
    // read from memory.
    QSemaphore disk;
    const auto release = qScopeGuard([&] { disk.release(), cache.waitForWrites(); });
    cache.runOnWriter([&disk] { disk.tryAcquire(1, 10000); });
    const QDeadlineTimer quick(5000);
    cache.store(cache.generation(), "Login", "userName=1", answer); // the sign-in, never read again
    // Full: the least recently used leave, the one read all along stays.
    for (int n = 0; n < 40; ++n) {
        cache.store(cache.generation(), "Op", QByteArray::number(n), answer);
        QVERIFY(has(0));
    }
    QVERIFY(cache.bytesKept() <= 20 * 1024);
    QVERIFY(!has(1) && has(39));
    // A newer answer too large to keep: the older one is not kept either.
    const QString tooLarge(AnswerCache::MaxAnswerBytes, u'x');
    cache.store(cache.generation(), "Op", "0", QJsonObject{{"result", 1}, {"text", tooLarge}});
    QVERIFY(!has(0));
    QVERIFY2(!quick.hasExpired(), "a lookup or an eviction waited for the disk");
    disk.release();
    cache.waitForWrites();
    QVERIFY(!has(0)); // and the write queued before it did not come back

    // Only the user reads them.
    const QString folder =
        QDir(dir.path()).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot).value(0).filePath();
    QCOMPARE(int(QFileInfo(folder).permissions() & 0x0777), 0x0700);
    const QFileInfo file = QDir(folder).entryInfoList(QDir::Files).value(0);
    QCOMPARE(int(file.permissions() & 0x0777), 0x0600);

    // The sign-in outlived every eviction, and does so when opened again.
    cache.setFolder(QString());
    cache.setFolder(dir.path());
    cache.setMaxBytes(1);
    cache.openFor(1);
    QVERIFY(cache.find("Login", "userName=1"));
    // The same uid at another service finds nothing of it.
    cache.setFolder(dir.path(), QStringLiteral("http://b.example/"));
    cache.resumeLastTeacher();
    QVERIFY(!cache.isOpen());
}

void tst_TeacherRequestManager::keepTrustsNothingInItsFolder_data() {
    QTest::addColumn<QString>("at");   // {t}: the teacher's folder, {k}: a kept answer in it
    QTest::addColumn<QString>("what"); // a pipe, or where a link put there points
    for (const auto &[at, what] : {std::pair{"answers/{t}/{k}", "pipe"},
                                   {"answers/{t}/{k}", "/dev/zero"},
                                   {"answers/{t}", "target"},
                                   {"answers", "target"}})
        QTest::addRow("%s: %s", at, what) << QString(at) << QString(what);
}

void tst_TeacherRequestManager::keepTrustsNothingInItsFolder() {
    QFETCH(QString, at);
    QFETCH(QString, what);
    QTemporaryDir dir;
    AnswerCache &cache = AnswerCache::instance();
    const QString target = dir.filePath("target");
    const QString teacher = AnswerCache::teacherName(ServiceBaseURL(), 1);
    // Somebody's folder, holding one named like a teacher's.
    QVERIFY(QDir().mkpath(target + '/' + teacher) &&
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                              QFile::ReadGroup));
    const QFileDevice::Permissions mode = QFileInfo(target).permissions();
    cache.setFolder(dir.filePath("answers"));
    cache.openFor(1);
    cache.store(cache.generation(), "GetFeelList", "a", QJsonObject{{"result", 1}});
    cache.waitForWrites();
    const QString kept = QDir(dir.filePath("answers/" + teacher)).entryList(QDir::Files).value(0);
    const QString path = dir.filePath(at.replace("{t}", teacher).replace("{k}", kept));
    QVERIFY(QFile::remove(path) || QDir(path).removeRecursively());
    QVERIFY(what == "pipe" ? ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0
                           : QFile::link(QDir(dir.path()).filePath(what), path));
    ::alarm(10); // a read that hangs ends the run
    const auto disarm = qScopeGuard([] { ::alarm(0); });
    cache.setFolder(QString());
    cache.setFolder(dir.filePath("answers"));
    cache.openFor(1);
    QVERIFY(!cache.find("GetFeelList", "a"));
    cache.clear();
    QCOMPARE(QFileInfo(target).permissions(), mode);
    QCOMPARE(QDir(target).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{teacher});
}

QTEST_GUILESS_MAIN(tst_TeacherRequestManager)
#include "tst_TeacherRequestManager.moc"
