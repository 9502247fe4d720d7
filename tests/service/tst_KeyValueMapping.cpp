#include "KeyValueMapping.h"
#include "RecordTestHelpers.h"
#include "records/AccountRecords.h"
#include "records/ContentRecords.h"

#include <QJsonDocument>
#include <QtTest>

// The conversion rules between JSON answers, records and parameter dictionaries. Values are
// written as JSON source so they go through the same parser as a real answer. Row names are the
// faults they catch.
class tst_KeyValueMapping : public QObject {
    Q_OBJECT

private slots:
    void int64Rule_data();
    void int64Rule();
    void boolRule_data();
    void boolRule();
    void stringRule_data();
    void stringRule();
    void recordFieldValues_data();
    void recordFieldValues();
    void arrayFieldValues_data();
    void arrayFieldValues();
    void recordArrayElements();
    void answersThatAreNoObject();
    void keysAreExactAndExtraKeysIgnored();
    void everyRecordSurvivesHostileValues();
    void keyValuesKindsAndAbsence();
};

using namespace RecordTestHelpers;

void tst_KeyValueMapping::int64Rule_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<qint64>("expected");

    QTest::newRow("real rounds") << QByteArray("12.7") << qint64(12);
    QTest::newRow("negative real floors") << QByteArray("-12.7") << qint64(-12);
    QTest::newRow("overflow wraps") << QByteArray("1e300") << qint64(0);
    QTest::newRow("boolean ignored") << QByteArray("true") << qint64(1);
    QTest::newRow("numeric text ignored") << QByteArray("\"+12\"") << qint64(12);
    QTest::newRow("text real not truncated") << QByteArray("\"-3.9\"") << qint64(-3);
    QTest::newRow("text prefix read") << QByteArray("\"12abc\"") << qint64(0);
    QTest::newRow("trailing blank skipped") << QByteArray("\"12 \"") << qint64(0);
    QTest::newRow("full-width digits read") << QByteArray("\"\uff11\uff12\"") << qint64(0);
}

void tst_KeyValueMapping::int64Rule() {
    QFETCH(QByteArray, json);
    QFETCH(qint64, expected);
    // The base's field and a response's own field both go through the rule.
    const QJsonObject answer{{"result", jsonValue(json)}, {"totalCount", jsonValue(json)}};
    const auto rsp = KeyValueMapping::objectWithKeyValues<GetBookListRsp>(answer).value();
    QCOMPARE(rsp.result, expected);
    QCOMPARE(rsp.totalCount, expected);
}

void tst_KeyValueMapping::boolRule_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<int>("expected"); // -1: unconvertible, the field keeps its default

    QTest::newRow("only 1 is true") << QByteArray("2") << 1;
    QTest::newRow("small real is false") << QByteArray("0.5") << 1;
    QTest::newRow("real zero is true") << QByteArray("0.0") << 0;
    QTest::newRow("YES case-sensitive") << QByteArray("\"yEs\"") << 1;
    QTest::newRow("False case-sensitive") << QByteArray("\"False\"") << 0;
    QTest::newRow("NO case-sensitive") << QByteArray("\"NO\"") << 0;
    QTest::newRow("text number not read") << QByteArray("\"2.5\"") << 1;
    QTest::newRow("text overflow not a number") << QByteArray("\"9223372036854775808\"") << 1;
    QTest::newRow("padded yes accepted") << QByteArray("\"yes \"") << -1;
    QTest::newRow("object is true") << QByteArray("{\"a\":true}") << -1;
}

void tst_KeyValueMapping::boolRule() {
    QFETCH(QByteArray, json);
    QFETCH(int, expected);
    const std::optional<bool> rule = MappingRules::toBool(jsonValue(json));
    QCOMPARE(rule ? int(*rule) : -1, expected);
    const auto rsp =
        KeyValueMapping::objectWithKeyValues<LoginRsp>(QJsonObject{{"isLogin", jsonValue(json)}});
    QCOMPARE(rsp->isLogin, expected == 1);
}

void tst_KeyValueMapping::stringRule_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty text absent") << QByteArray("\"\"") << true << QString();
    QTest::newRow("JSON in text parsed")
        << QByteArray("\"{\\\"a\\\":1}\"") << true << QStringLiteral("{\"a\":1}");
    QTest::newRow("negative number lost") << QByteArray("-3") << true << QStringLiteral("-3");
    QTest::newRow("small real as 0") << QByteArray("-0.25") << true << QStringLiteral("-0.25");
    QTest::newRow("whole real with .0") << QByteArray("12.0") << true << QStringLiteral("12");
    QTest::newRow("big integer through double")
        << QByteArray("9223372036854775807") << true << QStringLiteral("9223372036854775807");
    QTest::newRow("boolean as word") << QByteArray("false") << true << QStringLiteral("0");
    QTest::newRow("object as text") << QByteArray("{\"a\":\"b\"}") << false << QString();
    QTest::newRow("array as text") << QByteArray("[\"a\"]") << false << QString();
    QTest::newRow("null as text") << QByteArray("null") << false << QString();
}

void tst_KeyValueMapping::stringRule() {
    QFETCH(QByteArray, json);
    QFETCH(bool, present);
    QFETCH(QString, expected);
    const QJsonObject answer{{"msg", jsonValue(json)}, {"photo", jsonValue(json)}};
    const auto rsp = KeyValueMapping::objectWithKeyValues<LoginRsp>(answer).value();
    QCOMPARE(rsp.msg.has_value(), present);
    QCOMPARE(rsp.photo.has_value(), present);
    if (present) {
        QCOMPARE(*rsp.msg, expected);
        QCOMPARE(*rsp.photo, expected);
        QVERIFY(!rsp.msg->isNull());
    }
}

void tst_KeyValueMapping::recordFieldValues_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("present");
    QTest::addColumn<qint64>("userId");

    QTest::newRow("object not read") << QByteArray("{\"UserId\":7}") << true << qint64(7);
    QTest::newRow("text holding an object not parsed")
        << QByteArray("\"{\\\"UserId\\\":\\\"8\\\"}\"") << true << qint64(8);
    QTest::newRow("array element taken") << QByteArray("[{\"UserId\":7}]") << true << qint64(0);
    QTest::newRow("broken text crashes") << QByteArray("\"{oops\"") << true << qint64(0);
    QTest::newRow("number leaves it absent") << QByteArray("5") << true << qint64(0);
    QTest::newRow("null makes a record") << QByteArray("null") << false << qint64(0);
}

void tst_KeyValueMapping::recordFieldValues() {
    QFETCH(QByteArray, json);
    QFETCH(bool, present);
    QFETCH(qint64, userId);
    const auto rsp = KeyValueMapping::objectWithKeyValues<LoginRsp>(
                         QJsonObject{{"result", 1}, {"user", jsonValue(json)}})
                         .value();
    QCOMPARE(rsp.result, qint64(1));
    QCOMPARE(rsp.user.has_value(), present);
    if (present)
        QCOMPARE(rsp.user->UserId, userId);
}

void tst_KeyValueMapping::arrayFieldValues_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<int>("books");  // records in bookList, -1: absent
    QTest::addColumn<bool>("plain"); // whether ImgageUrlList is present

    QTest::newRow("empty array absent") << QByteArray("[]") << 0 << true;
    QTest::newRow("text holding an array not parsed")
        << QByteArray("\"[{\\\"BookId\\\":1}]\"") << 1 << false;
    QTest::newRow("object taken as one element") << QByteArray("{\"BookId\":1}") << -1 << false;
    QTest::newRow("number taken as a list") << QByteArray("3") << -1 << false;
    QTest::newRow("raw values changed")
        << QByteArray("[{\"BookId\":1},null,3,\"x\",[2]]") << 5 << true;
}

void tst_KeyValueMapping::arrayFieldValues() {
    QFETCH(QByteArray, json);
    QFETCH(int, books);
    QFETCH(bool, plain);
    const QJsonValue value = jsonValue(json);
    const auto rsp =
        KeyValueMapping::objectWithKeyValues<GetBookListRsp>(QJsonObject{{"bookList", value}})
            .value();
    QCOMPARE(rsp.bookList.has_value(), books >= 0);
    if (books >= 0)
        QCOMPARE(rsp.bookList->size(), books);
    if (books > 0)
        QCOMPARE(rsp.bookList->at(0).BookId, qint64(1));
    const auto feel =
        KeyValueMapping::objectWithKeyValues<FeelDetailRsp>(QJsonObject{{"ImgageUrlList", value}});
    QCOMPARE(feel->ImgageUrlList.has_value(), plain);
    if (plain)
        QCOMPARE(*feel->ImgageUrlList, value.toArray());
}

void tst_KeyValueMapping::recordArrayElements() {
    // Every kind of element keeps its slot: null, numbers and texts become default records, a
    // nested array a nested list, a text holding an object that object.
    const QJsonObject answer = jsonObject(R"({"result":1,"classList":[
        {"Name":"A","UserCount":"30","AverageFlower":2.5}, null,
        [{"Name":"inner"}, 4, [{"Name":"deep"}]], "{\"Name\":\"from text\"}", 7]})");
    const auto rsp = KeyValueMapping::objectWithKeyValues<GetTeacherReportRsp>(answer);
    QVERIFY(rsp && rsp->classList);
    const RecordArray<ChartListModel> &list = *rsp->classList;
    QCOMPARE(list.size(), 5);
    QCOMPARE(text(list[0].Name), QStringLiteral("A"));
    QCOMPARE(list[0].UserCount, qint64(30));
    QCOMPARE(text(list[0].AverageFlower), QStringLiteral("2.5"));
    QVERIFY(!list[1].Name && !list.nestedAt(1));
    const RecordArray<ChartListModel> *nested = list.nestedAt(2);
    QVERIFY(nested && !list[2].Name);
    QCOMPARE(nested->size(), 3);
    QCOMPARE(text((*nested)[0].Name), QStringLiteral("inner"));
    QVERIFY(nested->nestedAt(2));
    QCOMPARE(text((*nested->nestedAt(2))[0].Name), QStringLiteral("deep"));
    QCOMPARE(text(list[3].Name), QStringLiteral("from text"));
    QVERIFY(!list[4].Name && list[4].UserCount == 0);
}

void tst_KeyValueMapping::answersThatAreNoObject() {
    // Nothing in must give nothing (the screens read that as a refusal without a message).
    QVERIFY(!KeyValueMapping::objectWithKeyValues<GetFeelListRsp>(std::nullopt));
    for (const QByteArray &json : {QByteArray("[{\"result\":1}]"), QByteArray("\"result=1\""),
                                   QByteArray("1"), QByteArray("null")}) {
        const auto rsp = KeyValueMapping::objectWithKeyValues<GetFeelListRsp>(jsonValue(json));
        QVERIFY2(rsp && rsp->result == 0 && !rsp->msg, json.constData());
    }
    // A text holding the object is that object.
    const auto parsed = KeyValueMapping::objectWithKeyValues<GetFeelListRsp>(
        jsonValue("\"{\\\"result\\\":1,\\\"msg\\\":\\\"ok\\\"}\""));
    QCOMPARE(parsed->result, qint64(1));
}

void tst_KeyValueMapping::keysAreExactAndExtraKeysIgnored() {
    // Keys compared without case, or an extra key taken for a field.
    const auto model = KeyValueMapping::objectWithKeyValues<SelectClassModel>(
        jsonObject(R"({"GradeId":3,"gradeId":"5","classid":9,"CLASSNAME":"x","Extra":1})"));
    QCOMPARE(model->GradeId, qint64(3));
    QCOMPARE(model->gradeId, qint64(5));
    QCOMPARE(model->ClassId, qint64(0));
    QVERIFY(!model->ClassName);
    // One bad value must not stop the others.
    const auto rsp = KeyValueMapping::objectWithKeyValues<GetStudentPersonHomeIndextRsp>(
        jsonObject(R"({"result":"1","msg":{"text":"x"},"Result":5,
                       "user":{"UserId":[1],"RealName":"R","Grade":3.9},"testList":"none"})"));
    QCOMPARE(rsp->result, qint64(1));
    QVERIFY(!rsp->msg && !rsp->testList);
    QCOMPARE(rsp->user->UserId, qint64(0));
    QCOMPARE(text(rsp->user->RealName), QStringLiteral("R"));
    QCOMPARE(rsp->user->Grade, qint64(3));
}

void tst_KeyValueMapping::everyRecordSurvivesHostileValues() {
    // Every field of every record gets every awkward value; nothing may crash and the untouched
    // result must stay intact.
    const QList<QByteArray> hostile = {"null",
                                       "-0.0",
                                       "1e308",
                                       "\"\\u0000\"",
                                       "\"[\"",
                                       "\"{\\\"a\\\":[null]}\"",
                                       "[null,[],{},\"x\",1]",
                                       QByteArray(300, '[') + QByteArray(300, ']')};
    for (const RecordType *type : allRecordTypes()) {
        for (const FieldInfo *field : type->allFields()) {
            for (const QByteArray &value : hostile) {
                QJsonObject answer{{field->name, jsonValue(value)}};
                const bool hasResult = type->field(u"result") && field->name != u"result";
                if (hasResult)
                    answer.insert("result", 1);
                RecordHandle record = makeRecord(*type);
                KeyValueMapping::fillFromJson(record.get(), *type, answer);
                const ParameterDictionary dict = KeyValueMapping::keyValues(record.get(), *type);
                if (hasResult)
                    QCOMPARE(dict.value("result").integer(), qint64(1));
            }
        }
    }
}

void tst_KeyValueMapping::keyValuesKindsAndAbsence() {
    // Unset numbers left out, absent text sent, empty text dropped, bools as numbers.
    GetBookListReq books;
    books.pageIndex = 1;
    ParameterDictionary dict = KeyValueMapping::keyValues(books);
    QVERIFY(!dict.contains("name"));
    QCOMPARE(dict.value("gradeId"), ParameterValue(qint64(0)));
    books.name = QString();
    QCOMPARE(KeyValueMapping::keyValues(books).value("name"), ParameterValue(QString()));
    LoginRsp login;
    login.isLogin = true;
    QCOMPARE(KeyValueMapping::keyValues(login).value("isLogin"), ParameterValue(true));

    // Nested records become dictionaries, lists lists.
    GetTeacherInfoRsp info;
    info.user = UserDetailInfo();
    info.user->UserName = 13800138000;
    info.classList = RecordArray<SelectClassModel>();
    info.classList->append(SelectClassModel());
    dict = KeyValueMapping::keyValues(info);
    QCOMPARE(dict.value("user").dictionary().value("UserName").integer(), qint64(13800138000));
    QVERIFY(!dict.value("user").dictionary().contains("RealName"));
    QCOMPARE(dict.value("classList").items().size(), size_t(1));
    QCOMPARE(dict.value("classList").items()[0].dictionary().value("ClassId").integer(), qint64(0));
}

QTEST_GUILESS_MAIN(tst_KeyValueMapping)
#include "tst_KeyValueMapping.moc"
