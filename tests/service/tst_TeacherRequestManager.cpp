#include "BaseAFHttpManager.h"
#include "StubHttpServer.h"
#include "TeacherRequestManager.h"

#include <QJsonDocument>
#include <QtTest>

#include <functional>

// The catalogue against the real transport and an in-process stub: every operation posts its
// record to its own path and hands back the answer, or the failure text, untouched.
class tst_TeacherRequestManager : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void everyOperationHasACase();
    void operationPostsItsRecord_data();
    void operationPostsItsRecord();
    void failureTextPassesUnchanged_data();
    void failureTextPassesUnchanged();
    void answerWithoutValue();
    void bookListSendsEmptyName();
    void callByName();
    void unknownOperationFails();

private:
    StubHttpServer m_stub;
};

namespace {

using Form = QHash<QString, QString>;
using Invoke = std::function<void(ServiceCompletion, ServiceFailure)>;

struct Case {
    QString name;
    QString path;
    Invoke invoke;
    Form form;
};

template <class Req>
Invoke invoke(void (*method)(const Req &, ServiceCompletion, ServiceFailure), Req record) {
    return [method, record](ServiceCompletion completion, ServiceFailure failure) {
        method(record, std::move(completion), std::move(failure));
    };
}

QList<Case> cases() {
    using M = TeacherRequestManager;
    QList<Case> list;

    LoginReq login;
    login.userName = QStringLiteral("13800138000");
    login.password = QStringLiteral("p&ss wo=rd+#");
    list.append({"Login",
                 "Mobile/TeacherLogin",
                 invoke(&M::request_Login_WithParams, login),
                 {{"userName", "13800138000"}, {"password", "p&ss wo=rd+#"}}});

    SendVerificationReq send;
    send.uid = 15;
    send.mobile = QStringLiteral("13900139000");
    send.type = 1;
    send.stuType = 1;
    list.append({"SendVerification",
                 "Mobile/SendVerification",
                 invoke(&M::request_SendVerification_WithParams, send),
                 {{"uid", "15"}, {"mobile", "13900139000"}, {"type", "1"}, {"stuType", "1"}}});

    ChangeMobileReq change;
    change.uid = 15;
    change.code = QStringLiteral("0123");
    change.mobile = QStringLiteral("13900139000");
    change.stuType = 1;
    list.append({"ChangeMobile",
                 "Mobile/ChangeMobile",
                 invoke(&M::request_ChangeMobile_WithParams, change),
                 {{"uid", "15"}, {"code", "0123"}, {"mobile", "13900139000"}, {"stuType", "1"}}});

    GetPasswordForgetReq forget;
    forget.mobile = QStringLiteral("13800138000");
    forget.type = 1;
    list.append({"ForgetVerification",
                 "Mobile/GetPasswordForget",
                 invoke(&M::request_ForgetVerification_WithParams, forget),
                 {{"mobile", "13800138000"}, {"type", "1"}}});

    ConfirmVerificationReq confirm;
    confirm.code = QStringLiteral("5678");
    confirm.mobile = QStringLiteral("13800138000");
    confirm.type = 7;
    confirm.stuType = 1;
    list.append({"ConfirmVerification",
                 "Mobile/ConfirmVerification",
                 invoke(&M::request_ConfirmVerification_WithParams, confirm),
                 {{"uid", "0"},
                  {"code", "5678"},
                  {"mobile", "13800138000"},
                  {"type", "7"},
                  {"stuType", "1"}}});

    GetTeacherReportReq report;
    report.type = 1;
    report.schoolId = 3;
    report.term = 5;
    report.areaId = 12;
    report.year = QStringLiteral("2015-2016");
    list.append({"ChartList",
                 "Mobile/GetTeacherReport",
                 invoke(&M::request_ChartList_WithParams, report),
                 {{"type", "1"},
                  {"schoolId", "3"},
                  {"grade", "0"},
                  {"term", "5"},
                  {"cityId", "0"},
                  {"areaId", "12"},
                  {"year", "2015-2016"}}});

    list.append({"ChartTermList",
                 "Mobile/GetTermYear",
                 invoke(&M::request_ChartTermList_WithParams, GetTermYearReq()),
                 {}});

    GetCityListReq cities;
    cities.provinceId = 11;
    list.append({"ChartCityList",
                 "Mobile/GetCityList",
                 invoke(&M::request_ChartCityList_WithParams, cities),
                 {{"provinceId", "11"}}});

    GetAreaListReq areas;
    areas.cityId = 101;
    list.append({"ChartAreaList",
                 "Mobile/GetAreaList",
                 invoke(&M::request_ChartAreaList_WithParams, areas),
                 {{"cityId", "101"}}});

    GetTeacherInfoReq info;
    info.uid = 15;
    list.append({"GetTeacherInfo",
                 "Mobile/GetTeacherInfo",
                 invoke(&M::request_GetTeacherInfo_WithParams, info),
                 {{"uid", "15"}}});

    ChangeClassForTeacherReq changeClass;
    changeClass.uid = 15;
    changeClass.type = 1;
    changeClass.newClassId = 8;
    changeClass.classId = 7;
    list.append({"ChangeClassForTeacher",
                 "Mobile/ChangeClassForTeacher",
                 invoke(&M::request_ChangeClassForTeacher_WithParams, changeClass),
                 {{"uid", "15"}, {"type", "1"}, {"newClassId", "8"}, {"classId", "7"}}});

    SelectClassForTeacherReq selectClass;
    selectClass.schoolId = 3;
    list.append({"SelectClassForTeacher",
                 "Mobile/SelectClassForTeacher",
                 invoke(&M::request_SelectClassForTeacher_WithParams, selectClass),
                 {{"schoolId", "3"}, {"grade", "0"}}});

    GetTeacherCollectionsReq collections;
    collections.uid = 15;
    list.append({"GetTeacherCollections",
                 "Mobile/GetTeacherCollections",
                 invoke(&M::request_GetTeacherCollections_WithParams, collections),
                 {{"uid", "15"}}});

    GetMyCollectionInfoReq collectionInfo;
    collectionInfo.uid = 16;
    list.append({"GetMyCollectionInfo",
                 "Mobile/GetMyCollectionInfo",
                 invoke(&M::request_GetMyCollectionInfo_WithParams, collectionInfo),
                 {{"uid", "16"}}});

    list.append({"GetBookSortTree",
                 "Mobile/GetBookSortTree",
                 invoke(&M::request_GetBookSortTree_WithParams, GetBookSortTreeReq()),
                 {}});

    GetBookListReq books;
    books.gradeId = 2;
    books.name = QString();
    books.pageIndex = 1;
    books.pageSize = 9;
    books.orderbytype = 3;
    list.append({"GetBookList",
                 "Mobile/GetBookList",
                 invoke(&M::request_GetBookList_WithParams, books),
                 {{"gradeId", "2"},
                  {"sortId", "0"},
                  {"name", ""},
                  {"pageIndex", "1"},
                  {"pageSize", "9"},
                  {"orderbytype", "3"}}});

    GetBookDetailShowReq detail;
    detail.uid = 15;
    detail.bookId = 230;
    list.append({"GetBookDetailShow",
                 "Mobile/GetBookDetailShow",
                 invoke(&M::request_GetBookDetailShow_WithParams, detail),
                 {{"uid", "15"}, {"bookId", "230"}}});

    GetCommentShowReq comments;
    comments.bookId = 230;
    comments.pageIndex = 2;
    comments.pageSize = 9;
    list.append({"GetCommentShow",
                 "Mobile/GetCommentShow",
                 invoke(&M::request_GetCommentShow_WithParams, comments),
                 {{"bookId", "230"}, {"pageIndex", "2"}, {"pageSize", "9"}}});

    AddCommentReq comment;
    comment.uid = 15;
    comment.bookId = 230;
    comment.comment = QStringLiteral("\u597d \u4e66!");
    list.append(
        {"AddComment",
         "Mobile/AddComment",
         invoke(&M::request_AddComment_WithParams, comment),
         {{"uid", "15"}, {"bookId", "230"}, {"comment", QStringLiteral("\u597d \u4e66!")}}});

    GetRecommendBookListReq recommend;
    recommend.bookId = 230;
    recommend.top = 6;
    list.append({"GetRecommendBookList",
                 "Mobile/GetRecommendBookList",
                 invoke(&M::request_GetRecommendBookList_WithParams, recommend),
                 {{"bookId", "230"}, {"top", "6"}}});

    GetStudentPersonHomeIndexReq student;
    student.uid = 77;
    student.type = 2;
    student.pageSize = 9;
    student.pageIndex = 1;
    list.append({"GetStudentPersonHomeIndex",
                 "Mobile/GetStudentPersonHomeIndex",
                 invoke(&M::request_GetStudentPersonHomeIndex_WithParams, student),
                 {{"uid", "77"}, {"type", "2"}, {"pageSize", "9"}, {"pageIndex", "1"}}});

    const ParameterDictionary testBooks{{"uid", qint64(15)}, {"anything", QStringLiteral("x y")}};
    list.append({"GetTestBookList",
                 "Mobile/GetMyTestInfo",
                 [testBooks](ServiceCompletion completion, ServiceFailure failure) {
                     M::request_GetTestBookList_WithParams(testBooks, std::move(completion),
                                                           std::move(failure));
                 },
                 {{"uid", "15"}, {"anything", "x y"}}});

    AddBookCollectReq addCollect;
    addCollect.uid = 15;
    addCollect.bookId = 231;
    list.append({"AddBookCollect",
                 "Mobile/AddBookCollect",
                 invoke(&M::request_AddBookCollect_WithParams, addCollect),
                 {{"uid", "15"}, {"bookId", "231"}}});

    DeleteBookCollectReq deleteCollect;
    deleteCollect.uid = 15;
    deleteCollect.bookId = 232;
    list.append({"DeleteBookCollect",
                 "Mobile/DeleteBookCollect",
                 invoke(&M::request_DeleteBookCollect_WithParams, deleteCollect),
                 {{"uid", "15"}, {"bookId", "232"}}});

    AddGoodReq addGood;
    addGood.uid = 15;
    addGood.bookId = 233;
    list.append({"AddGood",
                 "Mobile/AddGood",
                 invoke(&M::request_AddGood_WithParams, addGood),
                 {{"uid", "15"}, {"bookId", "233"}}});

    CancelGoodReq cancelGood;
    cancelGood.uid = 15;
    cancelGood.bookId = 234;
    list.append({"CancelGood",
                 "Mobile/CancelGood",
                 invoke(&M::request_CancelGood_WithParams, cancelGood),
                 {{"uid", "15"}, {"bookId", "234"}}});

    GetFeelListReq feels;
    feels.uid = 15;
    feels.feelType = 1;
    list.append({"GetFeelList",
                 "Mobile/GetFeelList",
                 invoke(&M::request_GetFeelList_WithParams, feels),
                 {{"uid", "15"}, {"feelType", "1"}}});

    UpdateFeelReq grade;
    grade.uid = 15;
    grade.feelId = 9;
    grade.feelType = 4;
    list.append({"UpdateFeel",
                 "Mobile/UpdateFeel",
                 invoke(&M::request_UpdateFeel_WithParams, grade),
                 {{"uid", "15"}, {"feelId", "9"}, {"feelType", "4"}}});

    GetSingleFeelReq feel;
    feel.feelId = -9;
    list.append({"GetSingleFeel",
                 "Mobile/GetSingleFeel",
                 invoke(&M::request_GetSingleFeel_WithParams, feel),
                 {{"feelId", "-9"}}});

    GetMyClassDetailReq roster;
    roster.classId = 7;
    list.append({"GetMyClassDetail",
                 "Mobile/GetMyClassDetail",
                 invoke(&M::request_GetMyClassDetail_WithParams, roster),
                 {{"type", "0"}, {"classId", "7"}}});

    GetMyClassForTeacherReq classes;
    classes.uid = 9007199254740993LL;
    list.append({"GetMyClassForTeacher",
                 "Mobile/GetMyClassForTeacher",
                 invoke(&M::request_GetMyClassForTeacher_WithParams, classes),
                 {{"uid", "9007199254740993"}}});

    SetNewPasswordReq password;
    password.uid = 5;
    password.NEWPassword = QStringLiteral("new pass");
    list.append({"SetNewPassword",
                 "Mobile/SetNewPassword",
                 invoke(&M::request_SetNewPassword_WithParams, password),
                 {{"uid", "5"}, {"type", "0"}, {"NEWPassword", "new pass"}}});

    PhotoUpdateReq photo;
    photo.uid = 15;
    photo.imagedata = QStringLiteral("/9j/4AAQSkZJRg+ABAQ==");
    list.append({"PhotoUpdate",
                 "Mobile/PhotoUpdate",
                 invoke(&M::request_PhotoUpdate_WithParams, photo),
                 {{"uid", "15"}, {"imagedata", "/9j/4AAQSkZJRg+ABAQ=="}}});

    DeleteCommentReq deleteComment;
    deleteComment.uid = 15;
    deleteComment.commentId = 44;
    deleteComment.bookId = 230;
    list.append({"DeleteComment",
                 "Mobile/DeleteComment",
                 invoke(&M::request_DeleteComment_WithParams, deleteComment),
                 {{"uid", "15"}, {"commentId", "44"}, {"bookId", "230"}}});

    return list;
}

void addCaseRows() {
    QTest::addColumn<int>("index");
    const QList<Case> all = cases();
    for (int i = 0; i < all.size(); ++i)
        QTest::newRow(qPrintable(all[i].name)) << i;
}

struct Outcome {
    int completions = 0;
    int failures = 0;
    std::optional<QJsonValue> value;
    QString failureText;

    ServiceCompletion completion() {
        return [this](const std::optional<QJsonValue> &v) {
            ++completions;
            value = v;
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

void tst_TeacherRequestManager::everyOperationHasACase() {
    QStringList tested;
    for (const Case &c : cases())
        tested << c.name;
    QStringList catalogue;
    for (const ServiceOperation &op : TeacherRequestManager::operations())
        catalogue << QString::fromLatin1(op.name);
    QCOMPARE(catalogue.size(), 34);
    QCOMPARE(tested, catalogue);
}

void tst_TeacherRequestManager::operationPostsItsRecord_data() {
    addCaseRows();
}

void tst_TeacherRequestManager::operationPostsItsRecord() {
    QFETCH(int, index);
    const Case c = cases().at(index);

    const QByteArray answer = R"({"result":1,"msg":"","extra":null,"list":[1,"2",{"a":null}],)"
                              R"("big":9007199254740993,"real":2.5,"text":"\u4e66"})";
    m_stub.setAnswer(c.path, StubHttpServer::Answer::json(answer));

    Outcome outcome;
    c.invoke(outcome.completion(), outcome.failure());
    QCOMPARE(outcome.calls(), 0); // never inside the call itself
    QTRY_COMPARE(outcome.calls(), 1);
    QCOMPARE(outcome.failures, 0);

    QCOMPARE(m_stub.requests().size(), 1);
    const StubHttpServer::Recorded request = m_stub.lastRequest();
    QCOMPARE(request.method, QByteArray("POST"));
    QCOMPARE(request.path, c.path);
    QCOMPARE(request.form(), c.form);
    QCOMPARE(request.formPairs().size(), c.form.size());

    QVERIFY(outcome.value);
    QCOMPARE(*outcome.value, QJsonValue(QJsonDocument::fromJson(answer).object()));
    QVERIFY(outcome.value->toObject().value("extra").isNull());
}

void tst_TeacherRequestManager::failureTextPassesUnchanged_data() {
    addCaseRows();
}

void tst_TeacherRequestManager::failureTextPassesUnchanged() {
    QFETCH(int, index);
    const Case c = cases().at(index);
    m_stub.setAnswer(c.path, StubHttpServer::Answer::json(R"({"result":1})", 503));

    // What the transport itself reports for this answer is what the catalogue must pass on.
    Outcome direct;
    BaseAFHttpManager::postRequestOperationForHost(m_stub.baseUrl(), c.path, ParameterDictionary(),
                                                   direct.completion(), direct.failure());
    QTRY_COMPARE(direct.calls(), 1);
    QCOMPARE(direct.failures, 1);
    QVERIFY(!direct.failureText.isEmpty());

    Outcome outcome;
    c.invoke(outcome.completion(), outcome.failure());
    QTRY_COMPARE(outcome.calls(), 1);
    QCOMPARE(outcome.completions, 0);
    QCOMPARE(outcome.failureText, direct.failureText);
    QCOMPARE(m_stub.lastRequest().path, c.path);
}

void tst_TeacherRequestManager::answerWithoutValue() {
    // An empty body is not a failure: completion gets nothing, and mapping nothing gives nothing.
    m_stub.setAnswer("Mobile/GetFeelList", StubHttpServer::Answer::json(""));
    Outcome outcome;
    TeacherRequestManager::request_GetFeelList_WithParams(GetFeelListReq(), outcome.completion(),
                                                          outcome.failure());
    QTRY_COMPARE(outcome.calls(), 1);
    QCOMPARE(outcome.completions, 1);
    QVERIFY(!outcome.value);
    QVERIFY(!KeyValueMapping::objectWithKeyValues<GetFeelListRsp>(outcome.value));
}

void tst_TeacherRequestManager::bookListSendsEmptyName() {
    m_stub.setAnswer("Mobile/GetBookList", StubHttpServer::Answer::json(R"({"result":1})"));
    GetBookListReq books;
    books.name = QString();
    books.pageIndex = 1;
    books.pageSize = 9;
    Outcome outcome;
    TeacherRequestManager::request_GetBookList_WithParams(books, outcome.completion(),
                                                          outcome.failure());
    QTRY_COMPARE(outcome.calls(), 1);
    // "name=" with nothing after it, not a bare "name" and not left out.
    QVERIFY(m_stub.lastRequest().body.split('&').contains("name="));

    // A search text that was never set is not sent at all.
    books.name.reset();
    Outcome second;
    TeacherRequestManager::request_GetBookList_WithParams(books, second.completion(),
                                                          second.failure());
    QTRY_COMPARE(second.calls(), 1);
    QVERIFY(!m_stub.lastRequest().form().contains("name"));
}

void tst_TeacherRequestManager::callByName() {
    m_stub.setAnswer("Mobile/GetPasswordForget", StubHttpServer::Answer::json(R"({"uid":3})"));
    Outcome outcome;
    TeacherRequestManager::call(u"ForgetVerification", {{"mobile", QStringLiteral("1")}},
                                outcome.completion(), outcome.failure());
    QTRY_COMPARE(outcome.calls(), 1);
    QCOMPARE(outcome.completions, 1);
    QCOMPARE(m_stub.lastRequest().path, QStringLiteral("Mobile/GetPasswordForget"));
    QCOMPARE(m_stub.lastRequest().form(), (Form{{"mobile", "1"}}));

    // Names are the client's, not the paths.
    QVERIFY(!TeacherRequestManager::operation(u"GetPasswordForget"));
    QVERIFY(!TeacherRequestManager::operation(u"login"));
    QCOMPARE(QString::fromLatin1(TeacherRequestManager::operation(u"ChartTermList")->path),
             QStringLiteral("Mobile/GetTermYear"));
}

void tst_TeacherRequestManager::unknownOperationFails() {
    Outcome outcome;
    TeacherRequestManager::call(u"GetEverything", {}, outcome.completion(), outcome.failure());
    QCOMPARE(outcome.calls(), 0);
    QTRY_COMPARE(outcome.calls(), 1);
    QCOMPARE(outcome.failures, 1);
    QVERIFY(outcome.failureText.contains(QStringLiteral("GetEverything")));
    QVERIFY(m_stub.requests().isEmpty());
}

QTEST_GUILESS_MAIN(tst_TeacherRequestManager)
#include "tst_TeacherRequestManager.moc"
