// The service's HTTP contract: the envelope on every operation, statuses, form decoding,
// refusals that name the field, transactions, restarts and many clients at once. Rows name the
// fault they catch.

#include "CataloguePath.h"
#include "ServiceTestClient.h"

#include "FormBody.h"
#include "ServiceDatabase.h"
#include "TeacherRequestManager.h"

#include <QJsonArray>
#include <QtTest>

#include <algorithm>
#include <memory>
#include <vector>

class tst_ReadingServiceHttp : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void formDecoding_data();
    void formDecoding();
    void everyOperationAnswersWithTheEnvelope();
    void unknownPathsGet404WithJson_data();
    void unknownPathsGet404WithJson();
    void oversizedBodyGets413();
    void refusalsNameTheField_data();
    void refusalsNameTheField();
    void failedWriteIsRolledBackAndReported();
    void restartKeepsEverything();
    void concurrentGradingCountsEachReflectionOnce();
    void delayedAnswersWaitTheirTime();

private:
    QJsonArray feels(int type) {
        return m_client
            ->call(Operation::GetFeelList, {{"uid", "1"}, {"feelType", QString::number(type)}})
            .value(QStringLiteral("feelList"))
            .toArray();
    }
    std::unique_ptr<ServiceTestClient> m_client;
};

void tst_ReadingServiceHttp::init() {
    m_client = std::make_unique<ServiceTestClient>();
    QVERIFY2(m_client->isReady(), qPrintable(m_client->startError()));
}

void tst_ReadingServiceHttp::cleanup() {
    m_client.reset();
}

void tst_ReadingServiceHttp::formDecoding_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("value"); // of key t; null: the body is refused

    QTest::newRow("plus not a space") << QByteArray("t=a+b") << "a b";
    QTest::newRow("escaped plus a space") << QByteArray("t=a%2Bb") << "a+b";
    QTest::newRow("UTF-8 escapes as Latin-1") << QByteArray("t=%E5%A5%bd%20") << "好 ";
    QTest::newRow("value cut at a second equals") << QByteArray("&t=a=b&") << "a=b";
    QTest::newRow("bare name dropped") << QByteArray("t&x=1") << "";
    QTest::newRow("escaped name not decoded") << QByteArray("%74=7") << "7";
    QTest::newRow("broken escape accepted") << QByteArray("t=%4") << QString();
    QTest::newRow("invalid UTF-8 accepted") << QByteArray("t=%C0%AF") << QString();
    QTest::newRow("raw Latin-1 accepted") << QByteArray("t=caf\xE9") << QString();
    QTest::newRow("repeated name: last wins") << QByteArray("t=1&t=2") << QString();
}

void tst_ReadingServiceHttp::formDecoding() {
    QFETCH(QByteArray, body);
    QFETCH(QString, value);
    QString error;
    const std::optional<FormFields> fields = FormBody::decode(body, &error);
    QCOMPARE(fields.has_value(), !value.isNull());
    if (fields)
        QCOMPARE(fields->text(QStringLiteral("t")), std::optional<QString>(value));
}

void tst_ReadingServiceHttp::everyOperationAnswersWithTheEnvelope() {
    // With no fields every operation still answers 200, JSON with a charset, result and msg:
    // none may be unrouted, answer an empty body, or fail inside.
    for (const ServiceOperation &operation : TeacherRequestManager::operations()) {
        int status = 0;
        QByteArray type;
        const QByteArray body =
            m_client->postRaw(QString::fromLatin1(operation.path), {}, &status, &type);
        QVERIFY2(status == 200, operation.name);
        QCOMPARE(type, QByteArray("application/json; charset=utf-8"));
        const QJsonObject answer = QJsonDocument::fromJson(body).object();
        QVERIFY2(answer.value(QStringLiteral("result")).isDouble(), operation.name);
        QVERIFY2(answer.value(QStringLiteral("msg")).isString(), operation.name);
        QVERIFY2(msgOf(answer) != QStringLiteral("服务暂时不可用"), operation.name);
    }
    // A body that does not decode is a refusal, not an error status.
    QVERIFY(msgOf(QJsonDocument::fromJson(
                      m_client->postRaw(pathOf(Operation::Login), "userName=1&password=%3"))
                      .object())
                .startsWith(QStringLiteral("请求格式错误")));
    const QJsonObject terms = m_client->call(Operation::ChartTermList, {});
    QCOMPARE(resultOf(terms), 1);
    QCOMPARE(msgOf(terms), QString());
}

void tst_ReadingServiceHttp::unknownPathsGet404WithJson_data() {
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QString>("path");
    const QString login = pathOf(Operation::Login);
    QTest::newRow("unknown path answered") << QByteArray("POST") << "Mobile/NoSuchThing";
    QTest::newRow("path without case") << QByteArray("POST") << login.toLower();
    QTest::newRow("trailing slash ignored") << QByteArray("POST") << login + u'/';
    QTest::newRow("root") << QByteArray("GET") << "";
    QTest::newRow("image by POST") << QByteArray("POST") << "images/student/10001.png";
    QTest::newRow("photo path escapes its folder")
        << QByteArray("GET") << "images/student/..%2F..%2Fetc.png";
    QTest::newRow("picture 0 served") << QByteArray("GET") << "images/feel/1_0_thumbnail.png";
}

void tst_ReadingServiceHttp::unknownPathsGet404WithJson() {
    QFETCH(QByteArray, method);
    QFETCH(QString, path);
    QNetworkAccessManager network;
    QNetworkRequest request(QUrl(m_client->baseUrl() + path));
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QByteArrayLiteral("application/x-www-form-urlencoded"));
    QNetworkReply *reply = network.sendCustomRequest(request, method, QByteArray("uid=1"));
    QSignalSpy finished(reply, &QNetworkReply::finished);
    QVERIFY(finished.wait(10000));
    QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 404);
    const QJsonObject answer = QJsonDocument::fromJson(reply->readAll()).object();
    QCOMPARE(resultOf(answer), 0);
    QVERIFY(!msgOf(answer).isEmpty());
    reply->deleteLater();
}

void tst_ReadingServiceHttp::oversizedBodyGets413() {
    QByteArray body = "userName=13800000001&password=";
    body += QByteArray(ReadingService::MaximumBodySize + 1 - body.size(), 'a');
    int status = 0;
    m_client->postRaw(pathOf(Operation::Login), body, &status);
    QCOMPARE(status, 413);
    // Exactly at the limit is an ordinary request, refused for its content.
    body.chop(1);
    const QByteArray ordinary = m_client->postRaw(pathOf(Operation::Login), body, &status);
    QCOMPARE(status, 200);
    QCOMPARE(msgOf(QJsonDocument::fromJson(ordinary).object()), QStringLiteral("密码错误"));
}

void tst_ReadingServiceHttp::refusalsNameTheField_data() {
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<Form>("form");
    QTest::addColumn<QString>("message");

    QTest::newRow("missing text not named")
        << Operation::Login << Form{{"userName", "13800000001"}} << "缺少参数：password";
    QTest::newRow("missing number not named")
        << Operation::GetMyClassForTeacher << Form{} << "缺少参数：uid";
    QTest::newRow("blank read as a number")
        << Operation::GetTeacherInfo << Form{{"uid", " 1"}} << "参数格式错误：uid";
    QTest::newRow("full-width digit read")
        << Operation::GetTeacherInfo << Form{{"uid", QString::fromUtf8("１")}}
        << "参数格式错误：uid";
    QTest::newRow("overflow wraps") << Operation::GetTeacherInfo
                                    << Form{{"uid", "99999999999999999999"}} << "参数格式错误：uid";
    QTest::newRow("pupil taken for a teacher")
        << Operation::GetFeelList << Form{{"uid", "10001"}, {"feelType", "0"}} << "教师账号不存在";
    QTest::newRow("list type 3 accepted")
        << Operation::GetFeelList << Form{{"uid", "1"}, {"feelType", "3"}} << "参数错误：feelType";
    QTest::newRow("roster order 2 accepted")
        << Operation::GetMyClassDetail << Form{{"type", "2"}, {"classId", "105"}}
        << "参数错误：type";
    QTest::newRow("page size 0 accepted")
        << Operation::GetStudentPersonHomeIndex
        << Form{{"uid", "10001"}, {"type", "1"}, {"pageIndex", "1"}, {"pageSize", "0"}}
        << "参数错误：pageSize 至少为 1";
    QTest::newRow("teacher's home page served")
        << Operation::GetStudentPersonHomeIndex
        << Form{{"uid", "1"}, {"type", "1"}, {"pageIndex", "1"}, {"pageSize", "9"}} << "学生不存在";
    QTest::newRow("cities of no province")
        << Operation::ChartCityList << Form{{"provinceId", "9"}} << "省份不存在";
    const Form books{{"gradeId", "0"}, {"pageIndex", "1"}, {"pageSize", "9"}};
    QTest::newRow("book order 9 accepted")
        << Operation::GetBookList << books + Form{{"sortId", "0"}, {"orderbytype", "9"}}
        << "参数错误：orderbytype 只能是 1 到 8";
    QTest::newRow("unknown category accepted")
        << Operation::GetBookList << books + Form{{"sortId", "999"}, {"orderbytype", "1"}}
        << "该分类不存在";
    QTest::newRow("unknown book liked")
        << Operation::AddGood << Form{{"uid", "1"}, {"bookId", "987654"}} << "该书不存在";
    QTest::newRow("blank comment stored")
        << Operation::AddComment << Form{{"uid", "1"}, {"bookId", "1"}, {"comment", " \n\t　"}}
        << "评论内容不能为空";
    QTest::newRow("comment of 141 stored")
        << Operation::AddComment
        << Form{{"uid", "1"}, {"bookId", "1"}, {"comment", QString(141, u'好')}}
        << "评论内容不能超过140个字";
    QTest::newRow("report of no term")
        << Operation::ChartList
        << Form{{"type", "0"}, {"schoolId", "1"}, {"grade", "3"}, {"term", "99"}} << "学期不存在";
}

void tst_ReadingServiceHttp::refusalsNameTheField() {
    QFETCH(Operation, operation);
    QFETCH(Form, form);
    QFETCH(QString, message);
    int status = 0;
    const QJsonObject answer = m_client->call(operation, form, &status);
    QCOMPARE(status, 200);
    QCOMPARE(resultOf(answer), 0);
    QCOMPARE(msgOf(answer), message);
    // A refusal must leave the service able to answer the next request.
    QVERIFY(m_client->login(QStringLiteral("13800000001"), QStringLiteral("123456")) > 0);
}

void tst_ReadingServiceHttp::failedWriteIsRolledBackAndReported() {
    const qint64 uid = m_client->login(QStringLiteral("13800000001"), QStringLiteral("123456"));
    const Form change{{"uid", QString::number(uid)},
                      {"code", ServiceTestClient::FixedCode},
                      {"mobile", "13700000077"},
                      {"stuType", "1"}};
    QCOMPARE(resultOf(m_client->call(Operation::SendVerification, {{"uid", QString::number(uid)},
                                                                   {"mobile", "13700000077"},
                                                                   {"type", "1"},
                                                                   {"stuType", "1"}})),
             1);
    // The change marks the code used, then fails on the users table: both must be undone.
    const QSqlDatabase db = m_client->service().context().db;
    ServiceDatabase::run(db, QStringLiteral("CREATE TRIGGER refuse_users BEFORE UPDATE ON users "
                                            "BEGIN SELECT RAISE(ABORT, 'disk on fire'); END"));
    QCOMPARE(msgOf(m_client->call(Operation::ChangeMobile, change)),
             QStringLiteral("服务暂时不可用"));
    ServiceDatabase::run(db, QStringLiteral("DROP TRIGGER refuse_users"));
    QCOMPARE(resultOf(m_client->call(Operation::ChangeMobile, change)), 1);
    QCOMPARE(m_client->login(QStringLiteral("13700000077"), QStringLiteral("123456")), uid);
}

void tst_ReadingServiceHttp::restartKeepsEverything() {
    const qint64 uid = m_client->login(QStringLiteral("13800000001"), QStringLiteral("123456"));
    const QString teacher = QString::number(uid);
    const QJsonArray waiting = feels(1); // the signed-in teacher's
    QVERIFY(!waiting.isEmpty());
    const QString feelId = QString::number(integer(waiting.first(), "FeelId"));
    QCOMPARE(resultOf(m_client->call(Operation::UpdateFeel,
                                     {{"uid", teacher}, {"feelId", feelId}, {"feelType", "2"}})),
             1);
    QCOMPARE(resultOf(m_client->call(Operation::SetNewPassword, {{"uid", teacher},
                                                                 {"type", "1"},
                                                                 {"oldPassword", "123456"},
                                                                 {"NEWPassword", "654321"}})),
             1);
    QCOMPARE(resultOf(m_client->call(Operation::AddComment,
                                     {{"uid", teacher}, {"bookId", "3"}, {"comment", "好"}})),
             1);
    QCOMPARE(resultOf(m_client->call(Operation::AddGood, {{"uid", teacher}, {"bookId", "3"}})), 1);
    QCOMPARE(
        resultOf(m_client->call(Operation::AddBookCollect, {{"uid", teacher}, {"bookId", "3"}})),
        1);
    const auto book = [&] {
        QJsonObject detail =
            m_client->call(Operation::GetBookDetailShow, {{"uid", teacher}, {"bookId", "3"}})
                .value(QStringLiteral("book"))
                .toObject();
        detail.remove(QStringLiteral("ImageUrl")); // names the port, which a restart changes
        return detail;
    };
    const QJsonObject before = book();

    QVERIFY2(m_client->restart(), qPrintable(m_client->startError()));
    QVERIFY(!m_client->service().seededOnStart());
    QCOMPARE(m_client->login(QStringLiteral("13800000001"), QStringLiteral("654321")), uid);
    const QJsonObject feel = m_client->call(Operation::GetSingleFeel, {{"feelId", feelId}});
    QCOMPARE(text(feel.value(QStringLiteral("feel")), "FeelTypeStr"), QStringLiteral("合格"));
    QCOMPARE(book(), before);
}

void tst_ReadingServiceHttp::concurrentGradingCountsEachReflectionOnce() {
    // Four reflections graded by each of six clients at once, readers in between: each must be
    // graded exactly once, the others told it was, and no reader refused.
    const QJsonArray waiting = feels(1);
    const qsizetype reviewedBefore = feels(2).size();
    QVERIFY(waiting.size() >= 4);
    std::vector<std::unique_ptr<QNetworkAccessManager>> clients;
    QList<QNetworkReply *> replies;
    QHash<QNetworkReply *, QString> gradedFeel;
    for (int client = 0; client < 6; ++client) {
        clients.push_back(std::make_unique<QNetworkAccessManager>());
        const auto post = [&](Operation operation, const Form &form) {
            QNetworkRequest request(QUrl(m_client->baseUrl() + pathOf(operation)));
            request.setHeader(QNetworkRequest::ContentTypeHeader,
                              QByteArrayLiteral("application/x-www-form-urlencoded"));
            replies.append(clients.back()->post(request, ServiceTestClient::formBody(form)));
        };
        for (qsizetype i = 0; i < 4; ++i) {
            const QString feelId = QString::number(integer(waiting.at(i), "FeelId"));
            post(Operation::UpdateFeel, {{"uid", "1"}, {"feelId", feelId}, {"feelType", "2"}});
            gradedFeel.insert(replies.last(), feelId);
            post(Operation::GetFeelList, {{"uid", "1"}, {"feelType", "0"}});
        }
    }
    QTRY_VERIFY_WITH_TIMEOUT(std::all_of(replies.begin(), replies.end(),
                                         [](QNetworkReply *r) { return r->isFinished(); }),
                             60000);
    QHash<QString, int> successes;
    for (QNetworkReply *reply : replies) {
        const QJsonObject answer = QJsonDocument::fromJson(reply->readAll()).object();
        if (!gradedFeel.contains(reply))
            QCOMPARE(resultOf(answer), 1);
        else if (resultOf(answer) == 1)
            ++successes[gradedFeel.value(reply)];
        else
            QCOMPARE(msgOf(answer), QStringLiteral("该读后感已批阅"));
    }
    QCOMPARE(successes, (QHash<QString, int>{{gradedFeel.value(replies.at(0)), 1},
                                             {gradedFeel.value(replies.at(2)), 1},
                                             {gradedFeel.value(replies.at(4)), 1},
                                             {gradedFeel.value(replies.at(6)), 1}}));
    QCOMPARE(feels(2).size(), reviewedBefore + 4);
}

// An answer goes out no sooner than the delay after its request.
void tst_ReadingServiceHttp::delayedAnswersWaitTheirTime() {
    constexpr int DelayMs = 400;
    m_client = std::make_unique<ServiceTestClient>(DelayMs);
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(resultOf(m_client->call(Operation::GetFeelList, {{"uid", "1"}, {"feelType", "0"}})),
             1);
    QVERIFY2(clock.elapsed() >= DelayMs, qPrintable(QString::number(clock.elapsed())));
}

QTEST_MAIN(tst_ReadingServiceHttp)
#include "tst_ReadingServiceHttp.moc"
