#include "KeyValueMapping.h"
#include "RecordTestHelpers.h"
#include "records/AccountRecords.h"
#include "records/ContentRecords.h"

#include <QJsonDocument>
#include <QtTest>

// The conversion rules between JSON answers, records and parameter dictionaries. Values are
// written as JSON source so they go through the same parser as a real answer: a rule that tells
// integers from reals by the parsed value's internal form is exercised as it is in production.
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
    void recordArrayElements();
    void recordArrayFieldValues_data();
    void recordArrayFieldValues();
    void plainArrayValues_data();
    void plainArrayValues();
    void topLevelValues_data();
    void topLevelValues();
    void keysAreExactAndCaseSensitive();
    void extraKeysAreIgnored();
    void badValueInOneFieldLeavesOthersAlone();
    void everyRecordSurvivesHostileValues();

    void keyValuesKindsAndAbsence();
    void keyValuesOfNestedRecordsAndLists();
    void roundTrip_data();
    void roundTrip();
};

namespace {

using namespace RecordTestHelpers;

// Every key of `part` is in `whole` with the same value; objects are compared the same way
// inside, since the mapping adds the defaults of fields the answer did not hold.
bool containsAll(const QJsonValue &part, const QJsonValue &whole) {
    if (part.isObject()) {
        if (!whole.isObject())
            return false;
        const QJsonObject p = part.toObject();
        const QJsonObject w = whole.toObject();
        for (auto it = p.begin(); it != p.end(); ++it) {
            if (!w.contains(it.key()) || !containsAll(it.value(), w.value(it.key())))
                return false;
        }
        return true;
    }
    if (part.isArray()) {
        const QJsonArray p = part.toArray();
        const QJsonArray w = whole.toArray();
        if (!whole.isArray() || p.size() != w.size())
            return false;
        for (qsizetype i = 0; i < p.size(); ++i) {
            if (!containsAll(p.at(i), w.at(i)))
                return false;
        }
        return true;
    }
    return part == whole;
}

} // namespace

void tst_KeyValueMapping::int64Rule_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<qint64>("expected");

    QTest::newRow("integer") << QByteArray("42") << qint64(42);
    QTest::newRow("negative integer") << QByteArray("-42") << qint64(-42);
    QTest::newRow("real truncates") << QByteArray("12.7") << qint64(12);
    QTest::newRow("negative real truncates toward zero") << QByteArray("-12.7") << qint64(-12);
    QTest::newRow("small negative real") << QByteArray("-0.5") << qint64(0);
    QTest::newRow("exponent integer") << QByteArray("1e2") << qint64(100);
    QTest::newRow("beyond double precision exact")
        << QByteArray("9007199254740993") << qint64(9007199254740993LL);
    QTest::newRow("int64 max") << QByteArray("9223372036854775807")
                               << std::numeric_limits<qint64>::max();
    QTest::newRow("int64 min") << QByteArray("-9223372036854775808")
                               << std::numeric_limits<qint64>::min();
    QTest::newRow("just past int64 max") << QByteArray("9223372036854775808") << qint64(0);
    QTest::newRow("huge real") << QByteArray("1e300") << qint64(0);
    QTest::newRow("huge negative real") << QByteArray("-1e300") << qint64(0);
    QTest::newRow("true") << QByteArray("true") << qint64(1);
    QTest::newRow("false") << QByteArray("false") << qint64(0);
    QTest::newRow("text integer") << QByteArray("\"12\"") << qint64(12);
    QTest::newRow("text with plus") << QByteArray("\"+12\"") << qint64(12);
    QTest::newRow("text negative") << QByteArray("\"-7\"") << qint64(-7);
    QTest::newRow("text real") << QByteArray("\"12.7\"") << qint64(12);
    QTest::newRow("text negative real") << QByteArray("\"-3.9\"") << qint64(-3);
    QTest::newRow("text exponent") << QByteArray("\"1E+2\"") << qint64(100);
    QTest::newRow("text beyond double precision exact")
        << QByteArray("\"9007199254740993\"") << qint64(9007199254740993LL);
    QTest::newRow("text int64 max")
        << QByteArray("\"9223372036854775807\"") << std::numeric_limits<qint64>::max();
    QTest::newRow("text past int64 max") << QByteArray("\"9223372036854775808\"") << qint64(0);
    QTest::newRow("text huge") << QByteArray("\"1e300\"") << qint64(0);
    QTest::newRow("text overflowing double") << QByteArray("\"1e999\"") << qint64(0);
    QTest::newRow("text letters") << QByteArray("\"abc\"") << qint64(0);
    QTest::newRow("text number then letters") << QByteArray("\"12abc\"") << qint64(0);
    QTest::newRow("text with spaces") << QByteArray("\" 12 \"") << qint64(0);
    QTest::newRow("text with trailing space") << QByteArray("\"12 \"") << qint64(0);
    QTest::newRow("text with trailing newline") << QByteArray("\"12\\n\"") << qint64(0);
    QTest::newRow("text hexadecimal") << QByteArray("\"0x1F\"") << qint64(0);
    QTest::newRow("text full-width digits") << QByteArray("\"\uff11\uff12\"") << qint64(0);
    QTest::newRow("text empty") << QByteArray("\"\"") << qint64(0);
    QTest::newRow("text sign only") << QByteArray("\"-\"") << qint64(0);
    QTest::newRow("text dot only") << QByteArray("\".\"") << qint64(0);
    QTest::newRow("text bare exponent") << QByteArray("\"1e\"") << qint64(0);
    QTest::newRow("text nan") << QByteArray("\"nan\"") << qint64(0);
    QTest::newRow("text yes") << QByteArray("\"YES\"") << qint64(0);
    QTest::newRow("object") << QByteArray("{\"a\":1}") << qint64(0);
    QTest::newRow("array") << QByteArray("[5]") << qint64(0);
    QTest::newRow("null") << QByteArray("null") << qint64(0);
}

void tst_KeyValueMapping::int64Rule() {
    QFETCH(QByteArray, json);
    QFETCH(qint64, expected);

    // Both the base's field and a response's own field go through the rule.
    const QJsonObject answer{{"result", jsonValue(json)}, {"totalCount", jsonValue(json)}};
    const auto rsp = KeyValueMapping::objectWithKeyValues<GetBookListRsp>(answer);
    QVERIFY(rsp);
    QCOMPARE(rsp->result, expected);
    QCOMPARE(rsp->totalCount, expected);
}

void tst_KeyValueMapping::boolRule_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("expected");

    QTest::newRow("true") << QByteArray("true") << true;
    QTest::newRow("false") << QByteArray("false") << false;
    QTest::newRow("one") << QByteArray("1") << true;
    QTest::newRow("two") << QByteArray("2") << true;
    QTest::newRow("negative") << QByteArray("-1") << true;
    QTest::newRow("small real") << QByteArray("0.5") << true;
    QTest::newRow("zero") << QByteArray("0") << false;
    QTest::newRow("real zero") << QByteArray("0.0") << false;
    QTest::newRow("huge") << QByteArray("1e300") << true;
    QTest::newRow("YES") << QByteArray("\"YES\"") << true;
    QTest::newRow("yes") << QByteArray("\"yes\"") << true;
    QTest::newRow("yEs") << QByteArray("\"yEs\"") << true;
    QTest::newRow("True") << QByteArray("\"True\"") << true;
    QTest::newRow("TRUE") << QByteArray("\"TRUE\"") << true;
    QTest::newRow("False") << QByteArray("\"False\"") << false;
    QTest::newRow("NO") << QByteArray("\"NO\"") << false;
    QTest::newRow("text one") << QByteArray("\"1\"") << true;
    QTest::newRow("text two") << QByteArray("\"2\"") << true;
    QTest::newRow("text zero") << QByteArray("\"0\"") << false;
    QTest::newRow("text real zero") << QByteArray("\"0.0\"") << false;
    QTest::newRow("text real") << QByteArray("\"2.5\"") << true;
    QTest::newRow("text exponent") << QByteArray("\"1e3\"") << true;
    QTest::newRow("text past int64") << QByteArray("\"9223372036854775808\"") << true;
    QTest::newRow("text y") << QByteArray("\"y\"") << false;
    QTest::newRow("text t") << QByteArray("\"t\"") << false;
    QTest::newRow("text yes with space") << QByteArray("\"yes \"") << false;
    QTest::newRow("text letters") << QByteArray("\"abc\"") << false;
    QTest::newRow("text empty") << QByteArray("\"\"") << false;
    QTest::newRow("object") << QByteArray("{\"a\":true}") << false;
    QTest::newRow("array") << QByteArray("[true]") << false;
    QTest::newRow("null") << QByteArray("null") << false;
}

void tst_KeyValueMapping::boolRule() {
    QFETCH(QByteArray, json);
    QFETCH(bool, expected);

    const QJsonObject answer{{"isLogin", jsonValue(json)}};
    const auto rsp = KeyValueMapping::objectWithKeyValues<LoginRsp>(answer);
    QVERIFY(rsp);
    QCOMPARE(rsp->isLogin, expected);
}

void tst_KeyValueMapping::stringRule_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("expected");

    QTest::newRow("text") << QByteArray("\"hello\"") << true << QStringLiteral("hello");
    QTest::newRow("empty text is present") << QByteArray("\"\"") << true << QString();
    QTest::newRow("Chinese text") << QByteArray("\"\u597d\u4e66 \U0001F600\"") << true
                                  << QStringLiteral("\u597d\u4e66 \U0001F600");
    QTest::newRow("text with JSON inside stays text")
        << QByteArray("\"{\\\"a\\\":1}\"") << true << QStringLiteral("{\"a\":1}");
    QTest::newRow("15") << QByteArray("15") << true << QStringLiteral("15");
    QTest::newRow("-3") << QByteArray("-3") << true << QStringLiteral("-3");
    QTest::newRow("2.5") << QByteArray("2.5") << true << QStringLiteral("2.5");
    QTest::newRow("-0.25") << QByteArray("-0.25") << true << QStringLiteral("-0.25");
    QTest::newRow("0.1") << QByteArray("0.1") << true << QStringLiteral("0.1");
    QTest::newRow("123456789") << QByteArray("123456789") << true << QStringLiteral("123456789");
    QTest::newRow("12.0 is whole") << QByteArray("12.0") << true << QStringLiteral("12");
    QTest::newRow("large integer exact")
        << QByteArray("9007199254740993") << true << QStringLiteral("9007199254740993");
    QTest::newRow("int64 max exact")
        << QByteArray("9223372036854775807") << true << QStringLiteral("9223372036854775807");
    QTest::newRow("mobile number")
        << QByteArray("13800138000") << true << QStringLiteral("13800138000");
    QTest::newRow("true") << QByteArray("true") << true << QStringLiteral("1");
    QTest::newRow("false") << QByteArray("false") << true << QStringLiteral("0");
    QTest::newRow("object") << QByteArray("{\"a\":\"b\"}") << false << QString();
    QTest::newRow("empty object") << QByteArray("{}") << false << QString();
    QTest::newRow("array") << QByteArray("[\"a\"]") << false << QString();
    QTest::newRow("null") << QByteArray("null") << false << QString();
}

void tst_KeyValueMapping::stringRule() {
    QFETCH(QByteArray, json);
    QFETCH(bool, present);
    QFETCH(QString, expected);

    const QJsonObject answer{{"msg", jsonValue(json)}, {"photo", jsonValue(json)}};
    const auto rsp = KeyValueMapping::objectWithKeyValues<LoginRsp>(answer);
    QVERIFY(rsp);
    QCOMPARE(rsp->msg.has_value(), present);
    QCOMPARE(rsp->photo.has_value(), present);
    if (present) {
        QCOMPARE(*rsp->msg, expected);
        QCOMPARE(*rsp->photo, expected);
        // Present-but-empty must not collapse into absent or null text.
        QVERIFY(!rsp->msg->isNull());
    }
}

void tst_KeyValueMapping::recordFieldValues_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("present");
    QTest::addColumn<qint64>("userId");
    QTest::addColumn<QString>("realName");

    QTest::newRow("object") << QByteArray("{\"UserId\":7,\"RealName\":\"\u738b\"}") << true
                            << qint64(7) << QStringLiteral("\u738b");
    QTest::newRow("text holding an object")
        << QByteArray("\"{\\\"UserId\\\":\\\"8\\\",\\\"RealName\\\":\\\"\u674e\\\"}\"") << true
        << qint64(8) << QStringLiteral("\u674e");
    QTest::newRow("text holding an array")
        << QByteArray("\"[1,2]\"") << true << qint64(0) << QString();
    QTest::newRow("text that is not JSON")
        << QByteArray("\"{oops\"") << true << qint64(0) << QString();
    QTest::newRow("empty object") << QByteArray("{}") << true << qint64(0) << QString();
    QTest::newRow("number") << QByteArray("5") << true << qint64(0) << QString();
    QTest::newRow("boolean") << QByteArray("true") << true << qint64(0) << QString();
    QTest::newRow("array") << QByteArray("[{\"UserId\":7}]") << true << qint64(0) << QString();
    QTest::newRow("null") << QByteArray("null") << false << qint64(0) << QString();
}

void tst_KeyValueMapping::recordFieldValues() {
    QFETCH(QByteArray, json);
    QFETCH(bool, present);
    QFETCH(qint64, userId);
    QFETCH(QString, realName);

    const QJsonObject answer{{"result", 1}, {"user", jsonValue(json)}};
    const auto rsp = KeyValueMapping::objectWithKeyValues<LoginRsp>(answer);
    QVERIFY(rsp);
    QCOMPARE(rsp->result, qint64(1));
    QCOMPARE(rsp->user.has_value(), present);
    if (!present)
        return;
    QCOMPARE(rsp->user->UserId, userId);
    QCOMPARE(rsp->user->RealName.has_value(), !realName.isEmpty());
    if (!realName.isEmpty())
        QCOMPARE(*rsp->user->RealName, realName);
    QVERIFY(!rsp->user->Photo.has_value());
}

void tst_KeyValueMapping::recordArrayElements() {
    // One list holding every kind of element the service could send.
    const QJsonObject answer = jsonObject(R"({"result":1,"classList":[
        {"Name":"A","UserCount":"30","AverageFlower":2.5},
        null,
        [{"Name":"inner"}, 4, [{"Name":"deep"}]],
        "{\"Name\":\"from text\"}",
        "[{\"Name\":\"text array\"}]",
        7,
        "plain words",
        true
    ]})");
    const auto rsp = KeyValueMapping::objectWithKeyValues<GetTeacherReportRsp>(answer);
    QVERIFY(rsp && rsp->classList);
    const RecordArray<ChartListModel> &list = *rsp->classList;
    QCOMPARE(list.size(), 8);

    QCOMPARE(text(list[0].Name), QStringLiteral("A"));
    QCOMPARE(list[0].UserCount, qint64(30));
    QCOMPARE(text(list[0].AverageFlower), QStringLiteral("2.5"));
    QVERIFY(!list.nestedAt(0));

    // A null element keeps its slot as a record with all defaults.
    QVERIFY(!list[1].Name);
    QCOMPARE(list[1].UserCount, qint64(0));

    // A nested array becomes a nested list converted the same way, its slot a default record.
    QVERIFY(!list[2].Name);
    const RecordArray<ChartListModel> *nested = list.nestedAt(2);
    QVERIFY(nested);
    QCOMPARE(nested->size(), 3);
    QCOMPARE(text((*nested)[0].Name), QStringLiteral("inner"));
    QVERIFY(!(*nested)[1].Name);
    const RecordArray<ChartListModel> *deeper = nested->nestedAt(2);
    QVERIFY(deeper);
    QCOMPARE(deeper->size(), 1);
    QCOMPARE(text((*deeper)[0].Name), QStringLiteral("deep"));

    // A text holding an object is that object; a text holding an array is no object.
    QCOMPARE(text(list[3].Name), QStringLiteral("from text"));
    QVERIFY(!list[4].Name);
    QVERIFY(!list.nestedAt(4));
    for (int i = 5; i < 8; ++i) {
        QVERIFY2(!list[i].Name && list[i].UserCount == 0, qPrintable(QString::number(i)));
        QVERIFY(!list.nestedAt(i));
    }
}

void tst_KeyValueMapping::recordArrayFieldValues_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<int>("size"); // -1: absent

    QTest::newRow("array") << QByteArray("[{\"BookId\":1},{\"BookId\":2}]") << 2;
    QTest::newRow("empty array") << QByteArray("[]") << 0;
    QTest::newRow("text holding an array") << QByteArray("\"[{\\\"BookId\\\":1}]\"") << 1;
    QTest::newRow("text holding an object") << QByteArray("\"{\\\"BookId\\\":1}\"") << -1;
    QTest::newRow("object") << QByteArray("{\"BookId\":1}") << -1;
    QTest::newRow("text") << QByteArray("\"books\"") << -1;
    QTest::newRow("number") << QByteArray("3") << -1;
    QTest::newRow("null") << QByteArray("null") << -1;
}

void tst_KeyValueMapping::recordArrayFieldValues() {
    QFETCH(QByteArray, json);
    QFETCH(int, size);

    const QJsonObject answer{{"bookList", jsonValue(json)}};
    const auto rsp = KeyValueMapping::objectWithKeyValues<GetBookListRsp>(answer);
    QVERIFY(rsp);
    QCOMPARE(rsp->bookList.has_value(), size >= 0);
    if (size < 0)
        return;
    QCOMPARE(rsp->bookList->size(), size);
    if (size > 0)
        QCOMPARE(rsp->bookList->at(0).BookId, qint64(1));
}

void tst_KeyValueMapping::plainArrayValues_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("present");

    QTest::newRow("texts") << QByteArray("[\"http://a/1.jpg\",\"http://a/2.jpg\"]") << true;
    QTest::newRow("mixed raw values")
        << QByteArray("[null,3,2.5,true,{\"k\":[1]},[\"x\"],\"\"]") << true;
    QTest::newRow("empty") << QByteArray("[]") << true;
    QTest::newRow("text holding an array") << QByteArray("\"[\\\"a\\\"]\"") << false;
    QTest::newRow("object") << QByteArray("{\"0\":\"a\"}") << false;
    QTest::newRow("text") << QByteArray("\"a\"") << false;
    QTest::newRow("number") << QByteArray("1") << false;
}

void tst_KeyValueMapping::plainArrayValues() {
    QFETCH(QByteArray, json);
    QFETCH(bool, present);

    const QJsonValue value = jsonValue(json);
    const QJsonObject answer{{"ImgageUrlList", value}};
    const auto feel = KeyValueMapping::objectWithKeyValues<FeelDetailRsp>(answer);
    QVERIFY(feel);
    QCOMPARE(feel->ImgageUrlList.has_value(), present);
    if (present)
        QCOMPARE(*feel->ImgageUrlList, value.toArray());
}

void tst_KeyValueMapping::topLevelValues_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<qint64>("result");
    QTest::addColumn<bool>("hasMsg");

    QTest::newRow("object") << QByteArray("{\"result\":1,\"msg\":\"ok\"}") << qint64(1) << true;
    QTest::newRow("text holding an object")
        << QByteArray("\"{\\\"result\\\":1,\\\"msg\\\":\\\"ok\\\"}\"") << qint64(1) << true;
    QTest::newRow("array") << QByteArray("[{\"result\":1,\"msg\":\"ok\"}]") << qint64(0) << false;
    QTest::newRow("text holding an array")
        << QByteArray("\"[{\\\"result\\\":1}]\"") << qint64(0) << false;
    QTest::newRow("text that is not JSON") << QByteArray("\"result=1\"") << qint64(0) << false;
    QTest::newRow("number") << QByteArray("1") << qint64(0) << false;
    QTest::newRow("boolean") << QByteArray("true") << qint64(0) << false;
    QTest::newRow("null") << QByteArray("null") << qint64(0) << false;
    QTest::newRow("empty object") << QByteArray("{}") << qint64(0) << false;
}

void tst_KeyValueMapping::topLevelValues() {
    QFETCH(QByteArray, json);
    QFETCH(qint64, result);
    QFETCH(bool, hasMsg);

    const auto rsp = KeyValueMapping::objectWithKeyValues<GetFeelListRsp>(jsonValue(json));
    QVERIFY(rsp);
    QCOMPARE(rsp->result, result);
    QCOMPARE(rsp->msg.has_value(), hasMsg);
    QVERIFY(!rsp->feelList);

    // Nothing in, nothing out.
    QVERIFY(!KeyValueMapping::objectWithKeyValues<GetFeelListRsp>(std::nullopt));
}

void tst_KeyValueMapping::keysAreExactAndCaseSensitive() {
    const auto model = KeyValueMapping::objectWithKeyValues<SelectClassModel>(
        jsonObject(R"({"GradeId":3,"gradeId":"5","classid":9,"CLASSNAME":"x"})"));
    QVERIFY(model);
    QCOMPARE(model->GradeId, qint64(3));
    QCOMPARE(model->gradeId, qint64(5));
    QCOMPARE(model->ClassId, qint64(0));
    QVERIFY(!model->ClassName);

    const auto rsp = KeyValueMapping::objectWithKeyValues<LoginRsp>(
        jsonObject(R"({"Result":1,"UID":4,"Msg":"x"})"));
    QVERIFY(rsp);
    QCOMPARE(rsp->result, qint64(0));
    QCOMPARE(rsp->uid, qint64(0));
    QVERIFY(!rsp->msg);
}

void tst_KeyValueMapping::extraKeysAreIgnored() {
    const QJsonObject plain =
        jsonObject(R"({"result":1,"msg":"","book":{"BookId":3,"BookName":"B","Introduce":"I"}})");
    QJsonObject extra = plain;
    extra.insert("unknown", jsonObject(R"({"BookId":99})"));
    extra.insert("bookId", 99);
    QJsonObject book = extra.value("book").toObject();
    book.insert("Author", "nobody");
    extra.insert("book", book);

    const auto a = KeyValueMapping::objectWithKeyValues<GetBookDetailShowRsp>(plain);
    const auto b = KeyValueMapping::objectWithKeyValues<GetBookDetailShowRsp>(extra);
    QVERIFY(a && b);
    QCOMPARE(compact(KeyValueMapping::toJsonObject(*b)),
             compact(KeyValueMapping::toJsonObject(*a)));
    QCOMPARE(b->book->BookId, qint64(3));
}

void tst_KeyValueMapping::badValueInOneFieldLeavesOthersAlone() {
    const auto rsp = KeyValueMapping::objectWithKeyValues<GetStudentPersonHomeIndextRsp>(
        jsonObject(R"({"result":"1","msg":{"text":"x"},
                       "user":{"UserId":[1],"RealName":"R","TestCount":"many","Grade":3.9},
                       "testList":"none","bookList":[{"BookId":"x","BookName":5}]})"));
    QVERIFY(rsp);
    QCOMPARE(rsp->result, qint64(1));
    QVERIFY(!rsp->msg);
    QVERIFY(rsp->user);
    QCOMPARE(rsp->user->UserId, qint64(0));
    QCOMPARE(text(rsp->user->RealName), QStringLiteral("R"));
    QCOMPARE(rsp->user->TestCount, qint64(0));
    QCOMPARE(rsp->user->Grade, qint64(3));
    QVERIFY(!rsp->testList);
    QVERIFY(rsp->bookList);
    QCOMPARE(rsp->bookList->at(0).BookId, qint64(0));
    QCOMPARE(text(rsp->bookList->at(0).BookName), QStringLiteral("5"));
}

void tst_KeyValueMapping::everyRecordSurvivesHostileValues() {
    // Every field of every record gets every awkward value in turn; the record must come out
    // with the untouched fields intact and keyValues must still work on it.
    QByteArray deep;
    for (int i = 0; i < 500; ++i)
        deep += '[';
    deep += "{}";
    for (int i = 0; i < 500; ++i)
        deep += ']';
    const QList<QByteArray> hostile = {
        "null",
        "true",
        "-0.0",
        "1e308",
        "-9223372036854775808",
        "\"\"",
        "\"\\u0000\"",
        "\"[\"",
        "\"{\\\"a\\\":[null]}\"",
        "{}",
        "[null,[],{},\"x\",1]",
        deep,
        "\"[[[[[[[[[[1]]]]]]]]]]\"",
        "{\"result\":1}",
    };
    const QList<const RecordType *> types = allRecordTypes();
    QVERIFY(types.size() > 60);
    for (const RecordType *type : types) {
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
                (void)dict.toJson();
            }
        }
    }
}

void tst_KeyValueMapping::keyValuesKindsAndAbsence() {
    CancelGoodReq cancel;
    cancel.uid = 15;
    cancel.bookId = 230;
    QCOMPARE(KeyValueMapping::keyValues(cancel),
             (ParameterDictionary{{"bookId", qint64(230)}, {"uid", qint64(15)}}));

    // Unset int64 fields are still sent, as 0; an absent string is left out, an empty one sent.
    GetBookListReq books;
    books.pageIndex = 1;
    ParameterDictionary dict = KeyValueMapping::keyValues(books);
    QCOMPARE(dict.size(), 5);
    QVERIFY(!dict.contains("name"));
    QCOMPARE(dict.value("gradeId").type(), ParameterValue::Type::Integer);
    QCOMPARE(dict.value("gradeId").integer(), qint64(0));
    books.name = QString();
    dict = KeyValueMapping::keyValues(books);
    QCOMPARE(dict.value("name").type(), ParameterValue::Type::Text);
    QCOMPARE(dict.value("name").text(), QString());

    // A bool is always sent as a boolean; absent records and lists are left out.
    LoginRsp login;
    dict = KeyValueMapping::keyValues(login);
    QCOMPARE(dict.value("isLogin").type(), ParameterValue::Type::Boolean);
    QVERIFY(!dict.value("isLogin").boolean());
    QVERIFY(!dict.contains("user"));
    QVERIFY(!dict.contains("classList"));
    QVERIFY(!dict.contains("msg"));
    QVERIFY(!dict.contains("photo"));
    QCOMPARE(dict.size(), 4); // result, uid, collectionNum, isLogin
    login.isLogin = true;
    QVERIFY(KeyValueMapping::keyValues(login).value("isLogin").boolean());
}

void tst_KeyValueMapping::keyValuesOfNestedRecordsAndLists() {
    GetTeacherInfoRsp info;
    info.result = 1;
    info.user = UserDetailInfo();
    info.user->UserName = 13800138000;
    info.classList = RecordArray<SelectClassModel>();
    SelectClassModel first;
    first.ClassId = 11;
    first.ClassName = QStringLiteral("\u4e00\u73ed");
    info.classList->append(first);
    info.classList->append(SelectClassModel());

    const ParameterDictionary dict = KeyValueMapping::keyValues(info);
    const ParameterValue user = dict.value("user");
    QCOMPARE(user.type(), ParameterValue::Type::Dictionary);
    QCOMPARE(user.dictionary().value("UserName").integer(), qint64(13800138000));
    QVERIFY(!user.dictionary().contains("RealName"));

    const ParameterValue list = dict.value("classList");
    QCOMPARE(list.type(), ParameterValue::Type::List);
    QCOMPARE(list.items().size(), size_t(2));
    QCOMPARE(list.items()[0].type(), ParameterValue::Type::Dictionary);
    QCOMPARE(list.items()[0].dictionary().value("ClassName").text(),
             QStringLiteral("\u4e00\u73ed"));
    QVERIFY(!list.items()[1].dictionary().contains("ClassName"));
    QCOMPARE(list.items()[1].dictionary().value("ClassId").integer(), qint64(0));

    // Plain array elements pass unchanged, nulls included.
    FeelDetailRsp feel;
    feel.ImgageUrlList = jsonValue(R"(["a",null,7])").toArray();
    const ParameterValue urls = KeyValueMapping::keyValues(feel).value("ImgageUrlList");
    QCOMPARE(urls.type(), ParameterValue::Type::List);
    QCOMPARE(urls.items().size(), size_t(3));
    QCOMPARE(urls.items()[0].text(), QStringLiteral("a"));
    QVERIFY(urls.items()[1].isNull());
    QCOMPARE(urls.items()[2].integer(), qint64(7));
}

void tst_KeyValueMapping::roundTrip_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QByteArray>("json");

    QTest::newRow("login") << "LoginRsp"
                           << QByteArray(R"({"classList":[1,"a",null,{"k":"v"}],"collectionNum":3,
                              "isLogin":true,"msg":"","photo":"http://p/1.png","result":1,
                              "uid":9007199254740993,"user":{"AreaId":5,"Mobile":13800138000,
                              "RealName":"\u5f20\u8001\u5e08","Email":""}})");
    QTest::newRow("teacher info") << "GetTeacherInfoRsp"
                                  << QByteArray(R"({"classList":[{"ClassId":1,"GradeId":2,
                                     "gradeId":3,"ClassName":"c"},{}],"result":1,
                                     "user":{"UserName":138}})");
    QTest::newRow("nested lists") << "GetBookListRsp"
                                  << QByteArray(R"({"bookList":[{"BookId":1,"BookName":"b"},
                                     [{"BookId":2},[{"BookId":3}]],{"Flower":-4}],
                                     "result":0,"totalCount":3})");
    QTest::newRow("feel") << "GetSingleFeelRsp" << QByteArray(R"({"feel":{"Content":"c","FeelId":8,
                             "ImgageUrlList":["u1",null,"u2"]},"result":1})");
    QTest::newRow("request") << "SetNewPasswordReq"
                             << QByteArray(R"({"NEWPassword":"n \u00e9&=","type":1,"uid":2})");
}

void tst_KeyValueMapping::roundTrip() {
    QFETCH(QString, type);
    QFETCH(QByteArray, json);

    const RecordType *recordType = recordTypeNamed(type);
    QVERIFY(recordType);

    RecordHandle first = makeRecord(*recordType);
    KeyValueMapping::fillFromJson(first.get(), *recordType, jsonValue(json));
    const QJsonObject written = KeyValueMapping::keyValues(first.get(), *recordType).toJson();
    RecordHandle second = makeRecord(*recordType);
    KeyValueMapping::fillFromJson(second.get(), *recordType, written);
    const QJsonObject rewritten = KeyValueMapping::keyValues(second.get(), *recordType).toJson();

    QCOMPARE(compact(rewritten), compact(written));
    // What went in comes out, besides the defaults that keyValues always writes.
    QVERIFY2(containsAll(jsonValue(json), written), compact(written).constData());
}

QTEST_GUILESS_MAIN(tst_KeyValueMapping)
#include "tst_KeyValueMapping.moc"
