#include "KeyValueMapping.h"
#include "RecordTestHelpers.h"
#include "records/AccountRecords.h"
#include "records/ContentRecords.h"

#include <QtTest>

using namespace RecordTestHelpers;

// The records as the service knows them: every record's base and its own fields in declared order
// with their kinds, written out independently of the record sources, so a field that is dropped,
// renamed, retyped or moved shows up here. Kinds: int64, bool, string, plain (plain array),
// a record type name (nested record), [T] (array of records of T).
class tst_Records : public QObject {
    Q_OBJECT

private slots:
    void fieldTables_data();
    void fieldTables();
    void tableCoversEveryRecord();
    void defaultRecordSendsOnlyNumbersAndFlags_data();
    void defaultRecordSendsOnlyNumbersAndFlags();
    void everyFieldHasItsOwnMember_data();
    void everyFieldHasItsOwnMember();

    void loginLeavesIsLoginToTheClient();
    void mobileNumberArrivingAsText_data();
    void mobileNumberArrivingAsText();
    void passwordResetSendsNoOldPassword();
    void selectClassKeepsBothGradeKeys();
    void reportRowNullElement();
    void reflectionPictureList();
    void teacherCollectionsReadOnlyItsKey_data();
    void teacherCollectionsReadOnlyItsKey();
    void studentHomeAnswer();
    void nestedRspIsNoEnvelope();
};

namespace {

struct TableRow {
    const char *name;
    const char *base;
    QStringList fields;
};

QList<TableRow> recordTable() {
    QList<TableRow> table;
    auto row = [&](const char *name, const char *base, QStringList fields) {
        table.append({name, base, std::move(fields)});
    };
    // clang-format off
    row("BaseReq", "", {});
    row("BaseRsp", "", {"msg:string", "result:int64"});
    row("LoginReq", "BaseReq", {"userName:string", "password:string"});
    row("LoginRsp", "BaseRsp", {"uid:int64", "photo:string", "classList:plain", "collectionNum:int64", "isLogin:bool", "user:UserInfo"});
    row("UserInfo", "", {"ProvinceId:int64", "ProvinceName:string", "AreaId:int64", "AreaName:string", "AtSchool:int64", "CensusRegister:string", "CityId:int64", "CityName:string", "ClassId:int64", "ClassName:string", "ClassNames:string", "Country:string", "CreateTime:string", "CreateUser:int64", "Deformity:int64", "Email:string", "Photo:string", "EntityId:int64", "FlowerNumber:int64", "Grade:int64", "Mobile:int64", "Password:int64", "RealName:string", "SchoolId:int64", "SchoolName:string", "Sex:int64", "UserType:int64", "UserName:string", "UserId:int64", "Status:int64"});
    row("SendVerificationReq", "BaseReq", {"uid:int64", "mobile:string", "type:int64", "stuType:int64"});
    row("SendVerificationRsp", "BaseRsp", {});
    row("ChangeMobileReq", "BaseReq", {"uid:int64", "code:string", "mobile:string", "stuType:int64"});
    row("ChangeMobileRsp", "BaseRsp", {"code:string", "mobile:string"});
    row("ConfirmVerificationReq", "BaseReq", {"uid:int64", "code:string", "mobile:string", "type:int64", "stuType:int64"});
    row("ConfirmVerificationRsp", "BaseRsp", {});
    row("GetPasswordForgetReq", "BaseReq", {"mobile:string", "type:int64"});
    row("GetPasswordForgetRsp", "BaseRsp", {"uid:int64"});
    row("SetNewPasswordReq", "BaseReq", {"uid:int64", "type:int64", "NEWPassword:string", "oldPassword:string"});
    row("SetNewPasswordRsp", "BaseRsp", {});
    row("GetTeacherInfoReq", "BaseReq", {"uid:int64"});
    row("GetTeacherInfoRsp", "BaseRsp", {"photo:string", "location:string", "classList:[SelectClassModel]", "user:UserDetailInfo"});
    row("UserDetailInfo", "", {"AreaName:string", "BookCollectionNum:int64", "CityName:string", "ClassName:string", "RealName:string", "SchoolName:string", "TeacherName:string", "Photo:string", "EntityId:int64", "FlowerNumber:int64", "Grade:int64", "Sex:int64", "UserName:int64", "UserId:int64"});
    row("ChangeClassForTeacherReq", "BaseReq", {"uid:int64", "type:int64", "newClassId:int64", "classId:int64"});
    row("ChangeClassForTeacherRsp", "BaseRsp", {});
    row("SelectClassForTeacherReq", "BaseReq", {"schoolId:int64", "grade:int64"});
    row("SelectClassForTeacherRsp", "BaseRsp", {"classList:[SelectClassModel]"});
    row("SelectClassModel", "", {"ClassId:int64", "ClassName:string", "GradeId:int64", "GradeName:string", "gradeId:int64", "ApprovalExists:int64", "TeacherIsExists:int64"});
    row("PhotoUpdateReq", "BaseReq", {"uid:int64", "imagedata:string"});
    row("PhotoUpdateRsp", "BaseRsp", {"photo:string"});
    row("GetTeacherReportReq", "BaseReq", {"type:int64", "schoolId:int64", "grade:int64", "term:int64", "cityId:int64", "areaId:int64", "year:string"});
    row("GetTeacherReportRsp", "BaseRsp", {"classList:[ChartListModel]", "averageCount:string"});
    row("ChartListModel", "", {"UserCount:int64", "FlowerCount:int64", "AverageFlower:string", "Name:string", "imageWidth:int64"});
    row("GetTermYearReq", "BaseReq", {});
    row("GetTermYearRsp", "BaseRsp", {"list:[TermListModel]"});
    row("TermListModel", "", {"Id:int64", "Year:string", "TermName:string"});
    row("GetCityListReq", "BaseReq", {"provinceId:int64"});
    row("GetCityListRsp", "BaseRsp", {"cityList:[CityListModel]"});
    row("CityListModel", "", {"CityName:string", "CityId:int64"});
    row("GetAreaListReq", "BaseReq", {"cityId:int64"});
    row("GetAreaListRsp", "BaseRsp", {"areaList:[AreaListModel]"});
    row("AreaListModel", "", {"AreaName:string", "AreaId:int64"});
    row("BookListModel", "", {"BookId:int64", "BookName:string", "ImageUrl:string", "Flower:int64"});
    row("GetTeacherCollectionsReq", "BaseReq", {"uid:int64"});
    row("GetTeacherCollectionsRsp", "BaseRsp", {"collectlist:[BookListModel]"});
    row("GetMyCollectionInfoReq", "BaseReq", {"uid:int64"});
    row("GetMyCollectionInfoRsp", "BaseRsp", {"collectionList:[BookListModel]"});
    row("GetBookSortTreeReq", "BaseReq", {});
    row("GetBookSortTreeRsp", "BaseRsp", {"sortList:[BookSortModel]"});
    row("BookSortModel", "", {"SortId:int64", "SortName:string", "gradeId:int64", "orderbytype:int64"});
    row("GetBookListReq", "BaseReq", {"gradeId:int64", "sortId:int64", "name:string", "pageIndex:int64", "pageSize:int64", "orderbytype:int64"});
    row("GetBookListRsp", "BaseRsp", {"totalCount:int64", "bookList:[BookListModel]"});
    row("GetBookDetailShowReq", "BaseReq", {"uid:int64", "bookId:int64"});
    row("GetBookDetailShowRsp", "BaseRsp", {"book:BookDetailModel"});
    row("BookDetailModel", "", {"BookId:int64", "BookName:string", "CommentsCount:int64", "FlowerCount:int64", "GoodCount:int64", "IsCollect:int64", "IsGood:int64", "ISBN:string", "ImageUrl:string", "Press:string", "Introduce:string"});
    row("AddBookCollectReq", "BaseReq", {"uid:int64", "bookId:int64"});
    row("DeleteBookCollectReq", "BaseReq", {"uid:int64", "bookId:int64"});
    row("AddBookCollectRsp", "BaseRsp", {});
    row("DeleteBookCollectRsp", "BaseRsp", {});
    row("AddGoodReq", "BaseReq", {"uid:int64", "bookId:int64"});
    row("CancelGoodReq", "BaseReq", {"uid:int64", "bookId:int64"});
    row("AddGoodRsp", "BaseRsp", {"goodCount:int64"});
    row("CancelGoodRsp", "BaseRsp", {"goodCount:int64"});
    row("GetCommentShowReq", "BaseReq", {"bookId:int64", "pageIndex:int64", "pageSize:int64"});
    row("GetCommentShowRsp", "BaseRsp", {"commentList:[BookCommentModel]"});
    row("BookCommentModel", "", {"CommentId:int64", "Content:string", "UserId:int64", "CreateTimeStr:string", "CreateTime:string", "Photo:string", "PhotoUrl:string", "RealName:string"});
    row("AddCommentReq", "BaseReq", {"uid:int64", "bookId:int64", "comment:string"});
    row("AddCommentRsp", "BaseRsp", {"commentCount:int64"});
    row("DeleteCommentReq", "BaseReq", {"uid:int64", "commentId:int64", "bookId:int64"});
    row("DeleteCommentRsp", "BaseRsp", {"commentCount:int64"});
    row("GetRecommendBookListReq", "BaseReq", {"bookId:int64", "top:int64"});
    row("GetRecommendBookListRsp", "BaseRsp", {"bookList:[BookListModel]"});
    row("GetMyClassForTeacherReq", "BaseReq", {"uid:int64"});
    row("GetMyClassForTeacherRsp", "BaseRsp", {"classList:[MyClassListModel]"});
    row("MyClassListModel", "", {"ClassId:int64", "ClassName:string", "GradeId:int64", "GradeStr:string", "StudentNum:int64"});
    row("GetMyClassDetailReq", "BaseReq", {"type:int64", "classId:int64"});
    row("GetMyClassDetailRsp", "BaseRsp", {"list:[StudentListModel]"});
    row("StudentListModel", "", {"UserId:int64", "RealName:string", "Sex:int64", "MyTitle:string", "Mobile:string", "PhotoStr:string", "TestPassNum:int64", "FlowerNumber:int64"});
    row("GetStudentPersonHomeIndexReq", "BaseReq", {"uid:int64", "type:int64", "pageSize:int64", "pageIndex:int64"});
    row("GetStudentPersonHomeIndextRsp", "BaseRsp", {"user:StudentUseInfo", "testList:[StudentBookListModel]", "bookList:[StudentBookListModel]"});
    row("StudentUseInfo", "", {"BookCollectionNum:int64", "AreaName:string", "FlowerNumber:int64", "Grade:int64", "GradeStr:string", "CityName:string", "ClassName:string", "Photo:string", "PhotoStr:string", "RealName:string", "SchoolName:string", "MyTitle:string", "TeacherName:string", "TestCount:int64", "UserId:int64"});
    row("StudentBookListModel", "", {"AdminUserId:int64", "BookName:string", "BookId:int64", "FlowerCount:int64", "ImageUrl:string"});
    row("GetFeelListReq", "BaseReq", {"uid:int64", "feelType:int64"});
    row("GetFeelListRsp", "BaseRsp", {"feelList:[GradeListModel]"});
    row("GradeListModel", "", {"UserId:int64", "RealName:string", "BookName:string", "CreateTimeStr:string", "FeelTypeStr:string", "FeelId:int64"});
    row("GetSingleFeelReq", "BaseReq", {"feelId:int64"});
    row("GetSingleFeelRsp", "BaseRsp", {"feel:FeelDetailRsp"});
    row("FeelDetailRsp", "", {"BookId:int64", "CheckTime:string", "CheckUserId:int64", "FeelId:int64", "FeelType:int64", "Status:int64", "Content:string", "CreateTime:string", "FeelTypeStr:string", "ImgageUrlList:plain"});
    row("UpdateFeelReq", "BaseReq", {"uid:int64", "feelId:int64", "feelType:int64"});
    row("UpdateFeelRsp", "BaseRsp", {});
    // clang-format on
    return table;
}

QString kindText(const FieldInfo &field) {
    switch (field.kind) {
    case FieldKind::Int64:
        return QStringLiteral("int64");
    case FieldKind::Bool:
        return QStringLiteral("bool");
    case FieldKind::String:
        return QStringLiteral("string");
    case FieldKind::PlainArray:
        return QStringLiteral("plain");
    case FieldKind::Record:
        return QLatin1StringView(field.elementType()->name).toString();
    case FieldKind::RecordArray:
        return u'[' + QLatin1StringView(field.elementType()->name).toString() + u']';
    }
    return QStringLiteral("?");
}

QStringList describe(const std::vector<const FieldInfo *> &fields) {
    QStringList out;
    for (const FieldInfo *field : fields)
        out << field->name + u':' + kindText(*field);
    return out;
}

void addTableRows() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QStringList>("fields");
    for (const TableRow &row : recordTable())
        QTest::newRow(row.name) << QString::fromLatin1(row.name) << QString::fromLatin1(row.base)
                                << row.fields;
}

QStringList baseFields(const QString &base) {
    for (const TableRow &row : recordTable()) {
        if (QLatin1StringView(row.name) == base)
            return row.fields;
    }
    return {};
}

} // namespace

void tst_Records::fieldTables_data() {
    addTableRows();
}

void tst_Records::fieldTables() {
    QFETCH(QString, name);
    QFETCH(QString, base);
    QFETCH(QStringList, fields);

    const RecordType *type = recordTypeNamed(name);
    QVERIFY2(type, "record type not reached from the catalogue");
    QCOMPARE(type->base ? QString::fromLatin1(type->base->name) : QString(), base);

    std::vector<const FieldInfo *> own;
    for (const FieldInfo &field : type->ownFields)
        own.push_back(&field);
    QCOMPARE(describe(own), fields);

    // Conversions see the base's fields first, then the record's own.
    QCOMPARE(describe(type->allFields()), baseFields(base) + fields);

    // The element types of list fields are exactly the record's array fields.
    QStringList arrays;
    for (const auto &[field, element] : type->objectClassInArray())
        arrays << field + QStringLiteral(":[") + QLatin1StringView(element->name).toString() + u']';
    QStringList expectedArrays;
    for (const QString &field : baseFields(base) + fields) {
        if (field.contains(u":["))
            expectedArrays << field;
    }
    QCOMPARE(arrays, expectedArrays);

    for (const QString &field : baseFields(base) + fields) {
        const QString fieldName = field.section(u':', 0, 0);
        QVERIFY(type->field(fieldName));
        QCOMPARE(type->field(fieldName)->name, fieldName);
    }
    QVERIFY(!type->field(u"noSuchField"));
}

void tst_Records::tableCoversEveryRecord() {
    QStringList inTable;
    for (const TableRow &row : recordTable())
        inTable << QString::fromLatin1(row.name);
    QStringList reached;
    for (const RecordType *type : allRecordTypes())
        reached << QString::fromLatin1(type->name);
    inTable.sort();
    reached.sort();
    QCOMPARE(reached, inTable);
}

void tst_Records::defaultRecordSendsOnlyNumbersAndFlags_data() {
    addTableRows();
}

void tst_Records::defaultRecordSendsOnlyNumbersAndFlags() {
    QFETCH(QString, name);
    QFETCH(QString, base);
    QFETCH(QStringList, fields);

    const RecordType *type = recordTypeNamed(name);
    QVERIFY(type);
    RecordHandle record = makeRecord(*type);
    const ParameterDictionary dict = KeyValueMapping::keyValues(record.get(), *type);

    qsizetype expected = 0;
    for (const QString &field : baseFields(base) + fields) {
        const QString fieldName = field.section(u':', 0, 0);
        const QString kind = field.section(u':', 1);
        const ParameterValue *value = dict.find(fieldName);
        if (kind == u"int64") {
            ++expected;
            QVERIFY2(value, qPrintable(fieldName));
            QCOMPARE(value->type(), ParameterValue::Type::Integer);
            QCOMPARE(value->integer(), qint64(0));
        } else if (kind == u"bool") {
            ++expected;
            QVERIFY2(value, qPrintable(fieldName));
            QCOMPARE(value->type(), ParameterValue::Type::Boolean);
            QVERIFY(!value->boolean());
        } else {
            QVERIFY2(!value, qPrintable(fieldName));
        }
    }
    QCOMPARE(dict.size(), expected);
}

void tst_Records::everyFieldHasItsOwnMember_data() {
    addTableRows();
}

void tst_Records::everyFieldHasItsOwnMember() {
    // Every field gets a value of its own; each must come back under its own key. A table row
    // that points two names at one member, or a name at the wrong kind of member, fails here.
    QFETCH(QString, name);
    QFETCH(QString, base);
    QFETCH(QStringList, fields);

    const RecordType *type = recordTypeNamed(name);
    QVERIFY(type);
    const QStringList all = baseFields(base) + fields;
    QJsonObject answer;
    for (qsizetype i = 0; i < all.size(); ++i) {
        const QString fieldName = all[i].section(u':', 0, 0);
        const QString kind = all[i].section(u':', 1);
        const qint64 n = 1000 + i;
        if (kind == u"int64")
            answer.insert(fieldName, n);
        else if (kind == u"bool")
            answer.insert(fieldName, true);
        else if (kind == u"string")
            answer.insert(fieldName, QStringLiteral("text %1").arg(n));
        else if (kind == u"plain")
            answer.insert(fieldName, QJsonArray{n, QStringLiteral("x")});
        else if (kind.startsWith(u'['))
            answer.insert(fieldName, QJsonArray{QJsonObject(), QJsonObject(), QJsonValue()});
        else
            answer.insert(fieldName, QJsonObject());
    }

    RecordHandle record = makeRecord(*type);
    KeyValueMapping::fillFromJson(record.get(), *type, answer);
    const QJsonObject back = KeyValueMapping::keyValues(record.get(), *type).toJson();
    QCOMPARE(back.size(), answer.size());
    for (auto it = answer.begin(); it != answer.end(); ++it) {
        const QJsonValue got = back.value(it.key());
        if (it.value().isArray() && it.value().toArray().size() == 3) {
            QCOMPARE(got.toArray().size(), 3);
            for (const QJsonValue &element : got.toArray())
                QVERIFY2(element.isObject(), qPrintable(it.key()));
        } else if (it.value().isObject()) {
            QVERIFY2(got.isObject(), qPrintable(it.key()));
        } else {
            QCOMPARE(got, it.value());
        }
    }
}

void tst_Records::loginLeavesIsLoginToTheClient() {
    const auto rsp = KeyValueMapping::objectWithKeyValues<LoginRsp>(
        jsonObject(R"({"result":1,"uid":42,"photo":"p","collectionNum":"3",
                       "classList":[{"ClassId":1}],"user":{"RealName":"T","SchoolId":"77"}})"));
    QVERIFY(rsp);
    QVERIFY(!rsp->isLogin);
    QCOMPARE(rsp->uid, qint64(42));
    QCOMPARE(rsp->collectionNum, qint64(3));
    QVERIFY(rsp->classList);
    QCOMPARE(rsp->classList->at(0).toObject().value("ClassId").toInt(), 1);
    QVERIFY(rsp->user);
    QCOMPARE(rsp->user->SchoolId, qint64(77));
    QCOMPARE(text(rsp->user->RealName), QStringLiteral("T"));
}

void tst_Records::mobileNumberArrivingAsText_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<qint64>("mobile");

    QTest::newRow("number") << QByteArray("13800138000") << qint64(13800138000);
    QTest::newRow("numeric text") << QByteArray("\"13800138000\"") << qint64(13800138000);
    QTest::newRow("text with dashes") << QByteArray("\"138-0013-8000\"") << qint64(0);
    QTest::newRow("text with spaces") << QByteArray("\"138 0013 8000\"") << qint64(0);
    QTest::newRow("text with country code") << QByteArray("\"(86)13800138000\"") << qint64(0);
    QTest::newRow("empty text") << QByteArray("\"\"") << qint64(0);
}

void tst_Records::mobileNumberArrivingAsText() {
    QFETCH(QByteArray, json);
    QFETCH(qint64, mobile);

    const auto rsp = KeyValueMapping::objectWithKeyValues<LoginRsp>(
        jsonObject("{\"user\":{\"Mobile\":" + json + ",\"UserName\":\"13800138000\"}}"));
    QVERIFY(rsp && rsp->user);
    QCOMPARE(rsp->user->Mobile, mobile);
    QCOMPARE(text(rsp->user->UserName), QStringLiteral("13800138000"));
}

void tst_Records::passwordResetSendsNoOldPassword() {
    SetNewPasswordReq reset;
    reset.uid = 5;
    reset.type = 0;
    reset.NEWPassword = QStringLiteral("secret1");
    const ParameterDictionary dict = KeyValueMapping::keyValues(reset);
    QCOMPARE(dict, (ParameterDictionary{{"uid", qint64(5)},
                                        {"type", qint64(0)},
                                        {"NEWPassword", QStringLiteral("secret1")}}));
    QVERIFY(!dict.contains("newPassword"));

    SetNewPasswordReq change = reset;
    change.type = 1;
    change.oldPassword = QStringLiteral("old");
    QCOMPARE(KeyValueMapping::keyValues(change).value("oldPassword").text(), QStringLiteral("old"));
}

void tst_Records::selectClassKeepsBothGradeKeys() {
    const auto rsp = KeyValueMapping::objectWithKeyValues<SelectClassForTeacherRsp>(
        jsonObject(R"({"result":1,"classList":[
            {"ClassId":1,"ClassName":"1\u73ed","GradeId":3,"gradeId":30,"GradeName":"\u4e09\u5e74\u7ea7",
             "ApprovalExists":0,"TeacherIsExists":"1"},
            {"GradeId":4},
            {"gradeId":5}]})"));
    QVERIFY(rsp && rsp->classList);
    const RecordArray<SelectClassModel> &list = *rsp->classList;
    QCOMPARE(list.size(), 3);
    QCOMPARE(list[0].GradeId, qint64(3));
    QCOMPARE(list[0].gradeId, qint64(30));
    QCOMPARE(list[0].TeacherIsExists, qint64(1));
    QCOMPARE(list[0].ApprovalExists, qint64(0));
    QCOMPARE(list[1].GradeId, qint64(4));
    QCOMPARE(list[1].gradeId, qint64(0));
    QCOMPARE(list[2].GradeId, qint64(0));
    QCOMPARE(list[2].gradeId, qint64(5));
}

void tst_Records::reportRowNullElement() {
    const auto rsp = KeyValueMapping::objectWithKeyValues<GetTeacherReportRsp>(
        jsonObject(R"({"result":1,"averageCount":12.5,
                       "classList":[{"Name":"A","AverageFlower":"3.25","UserCount":4},null]})"));
    QVERIFY(rsp && rsp->classList);
    QCOMPARE(text(rsp->averageCount), QStringLiteral("12.5"));
    QCOMPARE(rsp->classList->size(), 2);
    QCOMPARE(text(rsp->classList->at(0).AverageFlower), QStringLiteral("3.25"));
    const ChartListModel &empty = rsp->classList->at(1);
    QVERIFY(!empty.Name && !empty.AverageFlower);
    QCOMPARE(empty.UserCount, qint64(0));
    QCOMPARE(empty.FlowerCount, qint64(0));
    QCOMPARE(empty.imageWidth, qint64(0));
}

void tst_Records::reflectionPictureList() {
    const QJsonArray urls{QStringLiteral("http://h/a.jpg"), QStringLiteral("http://h/\u56fe.png")};
    QJsonObject feel{{"Content", "c"}, {"ImgageUrlList", urls}};
    auto rsp = KeyValueMapping::objectWithKeyValues<GetSingleFeelRsp>(
        QJsonObject{{"result", 1}, {"feel", feel}});
    QVERIFY(rsp && rsp->feel && rsp->feel->ImgageUrlList);
    QCOMPARE(*rsp->feel->ImgageUrlList, urls);

    // The key as an ordinary speller would write it is not the service's key.
    feel.remove("ImgageUrlList");
    feel.insert("ImageUrlList", urls);
    rsp = KeyValueMapping::objectWithKeyValues<GetSingleFeelRsp>(
        QJsonObject{{"result", 1}, {"feel", feel}});
    QVERIFY(rsp && rsp->feel);
    QVERIFY(!rsp->feel->ImgageUrlList);
    QCOMPARE(text(rsp->feel->Content), QStringLiteral("c"));
}

void tst_Records::teacherCollectionsReadOnlyItsKey_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("read");

    QTest::newRow("collectlist") << "collectlist" << true;
    QTest::newRow("collectionList") << "collectionList" << false;
    QTest::newRow("collectList") << "collectList" << false;
    QTest::newRow("bookList") << "bookList" << false;
}

void tst_Records::teacherCollectionsReadOnlyItsKey() {
    QFETCH(QString, key);
    QFETCH(bool, read);

    const QJsonArray books{QJsonObject{{"BookId", 3}, {"BookName", "b"}, {"Flower", 4}}};
    const auto rsp = KeyValueMapping::objectWithKeyValues<GetTeacherCollectionsRsp>(
        QJsonObject{{"result", 1}, {key, books}});
    QVERIFY(rsp);
    QCOMPARE(rsp->collectlist.has_value(), read);
    if (read) {
        QCOMPARE(rsp->collectlist->size(), 1);
        QCOMPARE(rsp->collectlist->at(0).Flower, qint64(4));
    }

    // The uncalled collection operation answers under the other key.
    const auto info = KeyValueMapping::objectWithKeyValues<GetMyCollectionInfoRsp>(
        QJsonObject{{"result", 1}, {key, books}});
    QVERIFY(info);
    QCOMPARE(info->collectionList.has_value(), key == u"collectionList");
}

void tst_Records::studentHomeAnswer() {
    const auto rsp = KeyValueMapping::objectWithKeyValues<GetStudentPersonHomeIndextRsp>(
        jsonObject(R"({"result":1,"msg":"",
            "user":{"RealName":"\u5c0f\u660e","TestCount":"12","PhotoStr":"http://p","GradeStr":"\u4e09\u5e74\u7ea7"},
            "testList":[{"BookId":1,"BookName":"A","FlowerCount":3,"AdminUserId":9}],
            "bookList":[]})"));
    QVERIFY(rsp && rsp->user && rsp->testList && rsp->bookList);
    QCOMPARE(rsp->result, qint64(1));
    QCOMPARE(text(rsp->msg), QString());
    QCOMPARE(rsp->user->TestCount, qint64(12));
    QCOMPARE(text(rsp->user->PhotoStr), QStringLiteral("http://p"));
    QVERIFY(!rsp->user->Photo);
    QCOMPARE(rsp->testList->size(), 1);
    QCOMPARE(rsp->testList->at(0).FlowerCount, qint64(3));
    QCOMPARE(rsp->testList->at(0).AdminUserId, qint64(9));
    QVERIFY(rsp->bookList->isEmpty());
}

void tst_Records::nestedRspIsNoEnvelope() {
    // FeelDetailRsp is nested: an envelope key inside it must not be taken for a field.
    const auto feel = KeyValueMapping::objectWithKeyValues<FeelDetailRsp>(
        jsonObject(R"({"result":1,"msg":"m","FeelId":3})"));
    QVERIFY(feel);
    const QJsonObject back = KeyValueMapping::toJsonObject(*feel);
    QVERIFY(!back.contains("result"));
    QVERIFY(!back.contains("msg"));
    QCOMPARE(back.value("FeelId").toInteger(), qint64(3));
}

QTEST_GUILESS_MAIN(tst_Records)
#include "tst_Records.moc"
