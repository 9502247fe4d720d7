// The service's HTTP contract: statuses, content type, form decoding, refusals of bad input,
// transactions and restarts. Every request goes over real HTTP on 127.0.0.1.

#include "ServiceTestClient.h"

#include "FormBody.h"
#include "ServiceDatabase.h"
#include "TeacherRequestManager.h"

#include <QJsonArray>
#include <QSqlQuery>
#include <QtTest>

class tst_ReadingServiceHttp : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void formDecoding_data();
    void formDecoding();

    void answersAreJsonWithCharset();
    void everyCatalogueOperationAnswersWithAnEnvelope();
    void unknownPathsGet404WithJson_data();
    void unknownPathsGet404WithJson();
    void oversizedBodyGets413();
    void badEncodingIsRefusedNotCrashed_data();
    void badEncodingIsRefusedNotCrashed();
    void missingOrMalformedFieldsNameTheField_data();
    void missingOrMalformedFieldsNameTheField();
    void sqlLookingTextIsStoredVerbatim();
    void plusInFormMeansSpace();
    void failedWriteIsRolledBackAndReported();
    void restartKeepsEverything();

private:
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
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");

    QTest::newRow("plain") << QByteArray("a=1&b=2") << true << "b"
                           << "2";
    QTest::newRow("plus is a space") << QByteArray("t=a+b") << true << "t"
                                     << "a b";
    QTest::newRow("escaped plus stays") << QByteArray("t=a%2Bb") << true << "t"
                                        << "a+b";
    QTest::newRow("utf-8 escapes")
        << QByteArray("t=%E5%A5%BD%20%E4%B9%A6") << true << "t" << QString::fromUtf8("好 书");
    QTest::newRow("lower-case hex")
        << QByteArray("t=%e5%a5%bd") << true << "t" << QString::fromUtf8("好");
    QTest::newRow("raw utf-8 bytes")
        << QByteArray("t=\xE5\xA5\xBD") << true << "t" << QString::fromUtf8("好");
    QTest::newRow("name alone is empty") << QByteArray("flag&x=1") << true << "flag"
                                         << "";
    QTest::newRow("empty value") << QByteArray("name=&x=1") << true << "name"
                                 << "";
    QTest::newRow("value holds equals") << QByteArray("t=a=b") << true << "t"
                                        << "a=b";
    QTest::newRow("empty pairs skipped") << QByteArray("&&a=1&") << true << "a"
                                         << "1";
    QTest::newRow("escaped name") << QByteArray("%75id=7") << true << "uid"
                                  << "7";
    QTest::newRow("escaped NUL kept")
        << QByteArray("t=a%00b") << true << "t" << QString::fromUtf8("a\0b", 3);

    QTest::newRow("percent at end") << QByteArray("t=abc%") << false << ""
                                    << "";
    QTest::newRow("percent one digit") << QByteArray("t=%4") << false << ""
                                       << "";
    QTest::newRow("percent not hex") << QByteArray("t=%zz") << false << ""
                                     << "";
    QTest::newRow("bad escape in name") << QByteArray("%g1=2") << false << ""
                                        << "";
    QTest::newRow("lone continuation byte") << QByteArray("t=%80") << false << ""
                                            << "";
    QTest::newRow("truncated sequence") << QByteArray("t=%E5%A5") << false << ""
                                        << "";
    QTest::newRow("overlong slash") << QByteArray("t=%C0%AF") << false << ""
                                    << "";
    QTest::newRow("surrogate half") << QByteArray("t=%ED%A0%80") << false << ""
                                    << "";
    QTest::newRow("raw latin-1 byte") << QByteArray("t=caf\xE9") << false << ""
                                      << "";
    QTest::newRow("empty name") << QByteArray("=5") << false << ""
                                << "";
    QTest::newRow("name twice") << QByteArray("uid=1&uid=2") << false << ""
                                << "";
}

void tst_ReadingServiceHttp::formDecoding() {
    QFETCH(QByteArray, body);
    QFETCH(bool, valid);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QString error;
    const std::optional<FormFields> fields = FormBody::decode(body, &error);
    QCOMPARE(fields.has_value(), valid);
    if (!valid) {
        QVERIFY(error.startsWith(QStringLiteral("请求格式错误")));
        return;
    }
    QCOMPARE(fields->text(key), std::optional<QString>(value));
}

void tst_ReadingServiceHttp::answersAreJsonWithCharset() {
    int status = 0;
    QByteArray type;
    const QByteArray body =
        m_client->postRaw(QStringLiteral("Mobile/GetTermYear"), {}, &status, &type);
    QCOMPARE(status, 200);
    QCOMPARE(type, QByteArray("application/json; charset=utf-8"));
    const QJsonObject answer = QJsonDocument::fromJson(body).object();
    QCOMPARE(resultOf(answer), 1);
    QCOMPARE(msgOf(answer), QString());
    QVERIFY(answer.contains(QStringLiteral("msg")));
}

void tst_ReadingServiceHttp::everyCatalogueOperationAnswersWithAnEnvelope() {
    // With no fields at all every operation must still answer 200 with result and msg (most
    // refuse for a missing field): none may be an unknown path or an empty body.
    for (const ServiceOperation &operation : TeacherRequestManager::operations()) {
        int status = 0;
        const QByteArray body = m_client->postRaw(QString::fromLatin1(operation.path), {}, &status);
        QVERIFY2(status == 200, operation.path);
        const QJsonObject answer = QJsonDocument::fromJson(body).object();
        QVERIFY2(answer.value(QStringLiteral("result")).isDouble(), operation.path);
        QVERIFY2(answer.value(QStringLiteral("msg")).isString(), operation.path);
        QVERIFY2(msgOf(answer) != QStringLiteral("服务暂时不可用"), operation.path);
    }
}

void tst_ReadingServiceHttp::unknownPathsGet404WithJson_data() {
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QString>("path");
    QTest::newRow("unknown operation") << QByteArray("POST") << "Mobile/NoSuchThing";
    QTest::newRow("wrong case") << QByteArray("POST") << "mobile/teacherlogin";
    QTest::newRow("trailing slash") << QByteArray("POST") << "Mobile/TeacherLogin/";
    QTest::newRow("root") << QByteArray("GET") << "";
    QTest::newRow("image by POST") << QByteArray("POST") << "images/student/10001.png";
    QTest::newRow("unknown pupil photo") << QByteArray("GET") << "images/student/1.png";
    QTest::newRow("pupil id as teacher") << QByteArray("GET") << "images/teacher/10001.jpg";
    QTest::newRow("photo name with dots")
        << QByteArray("GET") << "images/student/..%2F..%2Fetc.png";
    QTest::newRow("huge id") << QByteArray("GET") << "images/student/99999999999999999999999.png";
    QTest::newRow("picture of no reflection")
        << QByteArray("GET") << "images/feel/999999_1_thumbnail.png";
    QTest::newRow("picture number 0") << QByteArray("GET") << "images/feel/1_0_thumbnail.png";
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
    QCOMPARE(reply->header(QNetworkRequest::ContentTypeHeader).toByteArray(),
             QByteArray("application/json; charset=utf-8"));
    const QJsonObject answer = QJsonDocument::fromJson(reply->readAll()).object();
    QCOMPARE(resultOf(answer), 0);
    QVERIFY(!msgOf(answer).isEmpty());
    reply->deleteLater();
}

void tst_ReadingServiceHttp::oversizedBodyGets413() {
    QByteArray body = "userName=13800000001&password=";
    body += QByteArray(9 * 1024 * 1024, 'a');
    int status = 0;
    const QJsonObject answer =
        QJsonDocument::fromJson(
            m_client->postRaw(QStringLiteral("Mobile/TeacherLogin"), body, &status))
            .object();
    QCOMPARE(status, 413);
    QCOMPARE(resultOf(answer), 0);

    // Just under the limit is an ordinary request (refused for its content, not its size).
    QByteArray large = "userName=13800000001&password=";
    large += QByteArray(ReadingService::MaximumBodySize - large.size(), 'a');
    const QJsonObject ordinary =
        QJsonDocument::fromJson(
            m_client->postRaw(QStringLiteral("Mobile/TeacherLogin"), large, &status))
            .object();
    QCOMPARE(status, 200);
    QCOMPARE(msgOf(ordinary), QStringLiteral("密码错误"));
    // And the service still works afterwards.
    QVERIFY(m_client->login(QStringLiteral("13800000001"), QStringLiteral("123456")) > 0);
}

void tst_ReadingServiceHttp::badEncodingIsRefusedNotCrashed_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("broken escape") << QByteArray("userName=13800000001&password=12%3");
    QTest::newRow("latin-1 byte") << QByteArray("userName=13800000001&password=\xFF\xFE");
    QTest::newRow("escaped invalid utf-8") << QByteArray("userName=%C3%28&password=123456");
    QTest::newRow("duplicate key")
        << QByteArray("userName=13800000001&userName=13800000002&password=123456");
}

void tst_ReadingServiceHttp::badEncodingIsRefusedNotCrashed() {
    QFETCH(QByteArray, body);
    int status = 0;
    const QJsonObject answer =
        QJsonDocument::fromJson(
            m_client->postRaw(QStringLiteral("Mobile/TeacherLogin"), body, &status))
            .object();
    QCOMPARE(status, 200);
    QCOMPARE(resultOf(answer), 0);
    QVERIFY(msgOf(answer).startsWith(QStringLiteral("请求格式错误")));
}

void tst_ReadingServiceHttp::missingOrMalformedFieldsNameTheField_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<Form>("form");
    QTest::addColumn<QString>("message");

    QTest::newRow("login without password")
        << "Mobile/TeacherLogin" << Form{{"userName", "13800000001"}} << "缺少参数：password";
    QTest::newRow("classes without uid")
        << "Mobile/GetMyClassForTeacher" << Form{} << "缺少参数：uid";
    QTest::newRow("uid with letters")
        << "Mobile/GetMyClassForTeacher" << Form{{"uid", "1a"}} << "参数格式错误：uid";
    QTest::newRow("uid with blank")
        << "Mobile/GetTeacherInfo" << Form{{"uid", " 1"}} << "参数格式错误：uid";
    QTest::newRow("uid empty") << "Mobile/GetTeacherInfo" << Form{{"uid", ""}}
                               << "参数格式错误：uid";
    QTest::newRow("uid fraction") << "Mobile/GetTeacherInfo" << Form{{"uid", "1.0"}}
                                  << "参数格式错误：uid";
    QTest::newRow("uid full-width digit")
        << "Mobile/GetTeacherInfo" << Form{{"uid", QString::fromUtf8("１")}} << "参数格式错误：uid";
    QTest::newRow("uid overflowing")
        << "Mobile/GetTeacherInfo" << Form{{"uid", "99999999999999999999"}} << "参数格式错误：uid";
    QTest::newRow("unknown teacher")
        << "Mobile/GetTeacherInfo" << Form{{"uid", "424242"}} << "教师账号不存在";
    QTest::newRow("negative teacher")
        << "Mobile/GetFeelList" << Form{{"uid", "-1"}, {"feelType", "0"}} << "教师账号不存在";
    QTest::newRow("pupil as teacher")
        << "Mobile/GetFeelList" << Form{{"uid", "10001"}, {"feelType", "0"}} << "教师账号不存在";
    QTest::newRow("feel list without type")
        << "Mobile/GetFeelList" << Form{{"uid", "1"}} << "缺少参数：feelType";
    QTest::newRow("feel list bad type")
        << "Mobile/GetFeelList" << Form{{"uid", "1"}, {"feelType", "3"}} << "参数错误：feelType";
    QTest::newRow("roster unknown class")
        << "Mobile/GetMyClassDetail" << Form{{"type", "0"}, {"classId", "77"}} << "班级不存在";
    QTest::newRow("roster bad order")
        << "Mobile/GetMyClassDetail" << Form{{"type", "2"}, {"classId", "105"}} << "参数错误：type";
    QTest::newRow("home page 0") << "Mobile/GetStudentPersonHomeIndex"
                                 << Form{{"uid", "10001"},
                                         {"type", "1"},
                                         {"pageIndex", "0"},
                                         {"pageSize", "9"}}
                                 << "参数错误：pageIndex 从 1 开始";
    QTest::newRow("home page size 0")
        << "Mobile/GetStudentPersonHomeIndex"
        << Form{{"uid", "10001"}, {"type", "1"}, {"pageIndex", "1"}, {"pageSize", "0"}}
        << "参数错误：pageSize 至少为 1";
    QTest::newRow("home of a teacher")
        << "Mobile/GetStudentPersonHomeIndex"
        << Form{{"uid", "1"}, {"type", "1"}, {"pageIndex", "1"}, {"pageSize", "9"}} << "学生不存在";
    QTest::newRow("single unknown feel")
        << "Mobile/GetSingleFeel" << Form{{"feelId", "999999"}} << "读后感不存在";
    QTest::newRow("cities of no province")
        << "Mobile/GetCityList" << Form{{"provinceId", "9"}} << "省份不存在";
    QTest::newRow("areas of no city")
        << "Mobile/GetAreaList" << Form{{"cityId", "0"}} << "城市不存在";
    QTest::newRow("report unknown term")
        << "Mobile/GetTeacherReport"
        << Form{{"type", "0"}, {"schoolId", "1"}, {"grade", "3"}, {"term", "99"}} << "学期不存在";
    QTest::newRow("report unknown type")
        << "Mobile/GetTeacherReport" << Form{{"type", "5"}, {"term", "4"}} << "参数错误：type";
    QTest::newRow("classes of no school")
        << "Mobile/SelectClassForTeacher" << Form{{"schoolId", "0"}, {"grade", "0"}}
        << "学校不存在";
    QTest::newRow("photo without data")
        << "Mobile/PhotoUpdate" << Form{{"uid", "1"}} << "缺少参数：imagedata";
}

void tst_ReadingServiceHttp::missingOrMalformedFieldsNameTheField() {
    QFETCH(QString, path);
    QFETCH(Form, form);
    QFETCH(QString, message);
    int status = 0;
    const QJsonObject answer = m_client->post(path, form, &status);
    QCOMPARE(status, 200);
    QCOMPARE(resultOf(answer), 0);
    QCOMPARE(msgOf(answer), message);
}

void tst_ReadingServiceHttp::sqlLookingTextIsStoredVerbatim() {
    const QString nasty = QStringLiteral("x'); DROP TABLE users; --\"%_*");
    const qint64 uid = m_client->login(QStringLiteral("13800000001"), QStringLiteral("123456"));
    QVERIFY(uid > 0);
    QJsonObject answer =
        m_client->post(QStringLiteral("Mobile/SetNewPassword"), {{"uid", QString::number(uid)},
                                                                 {"type", "1"},
                                                                 {"oldPassword", "123456"},
                                                                 {"NEWPassword", nasty.left(20)}});
    QCOMPARE(resultOf(answer), 1);
    QCOMPARE(m_client->login(QStringLiteral("13800000001"), nasty.left(20)), uid);

    // A user name that looks like a condition matches nobody.
    answer = m_client->post(QStringLiteral("Mobile/TeacherLogin"),
                            {{"userName", "' OR '1'='1"}, {"password", "' OR '1'='1"}});
    QCOMPARE(msgOf(answer), QStringLiteral("该手机号未注册"));
    // The users are all still there.
    QVERIFY(m_client->login(QStringLiteral("13800000003"), QStringLiteral("123456")) > 0);
}

void tst_ReadingServiceHttp::plusInFormMeansSpace() {
    const qint64 uid = m_client->login(QStringLiteral("13800000003"), QStringLiteral("123456"));
    const QJsonObject answer =
        QJsonDocument::fromJson(
            m_client->postRaw(QStringLiteral("Mobile/SetNewPassword"),
                              "uid=" + QByteArray::number(uid) +
                                  "&type=1&oldPassword=123456&NEWPassword=a+b+c+d%2B"))
            .object();
    QCOMPARE(resultOf(answer), 1);
    QCOMPARE(m_client->login(QStringLiteral("13800000003"), QStringLiteral("a b c d+")), uid);
}

void tst_ReadingServiceHttp::failedWriteIsRolledBackAndReported() {
    const qint64 uid = m_client->login(QStringLiteral("13800000001"), QStringLiteral("123456"));
    QJsonObject answer =
        m_client->post(QStringLiteral("Mobile/SendVerification"), {{"uid", QString::number(uid)},
                                                                   {"mobile", "13700000077"},
                                                                   {"type", "1"},
                                                                   {"stuType", "1"}});
    QCOMPARE(resultOf(answer), 1);

    // The change marks the code used, then fails on the users table: both must be undone.
    const QSqlDatabase db = m_client->service().context().db;
    ServiceDatabase::run(db, QStringLiteral("CREATE TRIGGER refuse_users BEFORE UPDATE ON users "
                                            "BEGIN SELECT RAISE(ABORT, 'disk on fire'); END"));
    const Form change{{"uid", QString::number(uid)},
                      {"code", ServiceTestClient::FixedCode},
                      {"mobile", "13700000077"},
                      {"stuType", "1"}};
    answer = m_client->post(QStringLiteral("Mobile/ChangeMobile"), change);
    QCOMPARE(resultOf(answer), 0);
    QCOMPARE(msgOf(answer), QStringLiteral("服务暂时不可用"));

    ServiceDatabase::run(db, QStringLiteral("DROP TRIGGER refuse_users"));
    answer = m_client->post(QStringLiteral("Mobile/ChangeMobile"), change);
    QCOMPARE(resultOf(answer), 1); // the code was not spent by the failed attempt
    QCOMPARE(m_client->login(QStringLiteral("13700000077"), QStringLiteral("123456")), uid);
}

void tst_ReadingServiceHttp::restartKeepsEverything() {
    const qint64 uid = m_client->login(QStringLiteral("13800000001"), QStringLiteral("123456"));
    const QJsonObject waiting = m_client->post(QStringLiteral("Mobile/GetFeelList"),
                                               {{"uid", QString::number(uid)}, {"feelType", "1"}});
    const QJsonArray list = waiting.value(QStringLiteral("feelList")).toArray();
    QVERIFY(!list.isEmpty());
    const QString feelId =
        QString::number(list.first().toObject().value(QStringLiteral("FeelId")).toInteger());
    QCOMPARE(resultOf(m_client->post(
                 QStringLiteral("Mobile/UpdateFeel"),
                 {{"uid", QString::number(uid)}, {"feelId", feelId}, {"feelType", "2"}})),
             1);
    QCOMPARE(resultOf(m_client->post(QStringLiteral("Mobile/SetNewPassword"),
                                     {{"uid", QString::number(uid)},
                                      {"type", "1"},
                                      {"oldPassword", "123456"},
                                      {"NEWPassword", "654321"}})),
             1);

    QVERIFY2(m_client->restart(), qPrintable(m_client->startError()));
    QVERIFY(!m_client->service().seededOnStart());
    QCOMPARE(m_client->login(QStringLiteral("13800000001"), QStringLiteral("654321")), uid);
    const QJsonObject feel =
        m_client->post(QStringLiteral("Mobile/GetSingleFeel"), {{"feelId", feelId}});
    QCOMPARE(feel.value(QStringLiteral("feel"))
                 .toObject()
                 .value(QStringLiteral("FeelTypeStr"))
                 .toString(),
             QStringLiteral("合格"));
}

QTEST_MAIN(tst_ReadingServiceHttp)
#include "tst_ReadingServiceHttp.moc"
