// Account operations of the development service over HTTP: sign-in results, verification codes
// (binding, number change, forgotten password), password changes, the teacher's profile, class
// selection and photo upload.

#include "ServiceTestClient.h"

#include "ServiceDatabase.h"

#include <QBuffer>
#include <QImage>
#include <QJsonArray>
#include <QtTest>

namespace {

QString encodedImage(const QSize &size, const char *format) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(200, 80, 40));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return QString::fromLatin1(bytes.toBase64());
}

const QString Teacher1 = QStringLiteral("13800000001");
const QString Teacher2 = QStringLiteral("13800000002");
const QString Teacher3 = QStringLiteral("13800000003");
const QString Password = QStringLiteral("123456");
const QString WrongCode = QStringLiteral("验证码错误或已过期");

} // namespace

class tst_Accounts : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void login_data();
    void login();
    void loginAnswerCarriesTheProfile();
    void bindingMakesLoginSucceed();
    void codesExpireAfterTenMinutes();
    void fiveWrongTriesVoidACode();
    void newerCodeReplacesOlder();
    void codesAreSixRandomDigitsWithoutFixedCode();
    void forgottenPasswordReset();
    void resetNeedsARecentConfirmation();
    void passwordChange_data();
    void passwordChange();
    void mobileChange();
    void sendingCodesRefusesBadNumbers_data();
    void sendingCodesRefusesBadNumbers();
    void teacherInfoListsOwnClasses();
    void selectClassFlags();
    void changeClassRefusals_data();
    void changeClassRefusals();
    void changeClassAddSwapRemove();
    void photoUpload_data();
    void photoUpload();
    void uploadedPhotoIsServedWithANewVersion();

private:
    QJsonObject call(const QString &operation, const Form &form) {
        return m_client->post(QStringLiteral("Mobile/") + operation, form);
    }
    QJsonObject sendCode(qint64 uid, const QString &mobile, int type) {
        return call(QStringLiteral("SendVerification"), {{"uid", QString::number(uid)},
                                                         {"mobile", mobile},
                                                         {"type", QString::number(type)},
                                                         {"stuType", "1"}});
    }
    QJsonObject confirm(qint64 uid, const QString &mobile, const QString &code, int type) {
        return call(QStringLiteral("ConfirmVerification"), {{"uid", QString::number(uid)},
                                                            {"code", code},
                                                            {"mobile", mobile},
                                                            {"type", QString::number(type)},
                                                            {"stuType", "1"}});
    }
    QJsonObject classesOfSchool(int grade = 0) {
        return call(QStringLiteral("SelectClassForTeacher"),
                    {{"schoolId", "1"}, {"grade", QString::number(grade)}});
    }
    QJsonObject classWithId(qint64 classId) {
        const QJsonArray list = classesOfSchool().value(QStringLiteral("classList")).toArray();
        for (const QJsonValue &value : list) {
            if (value.toObject().value(QStringLiteral("ClassId")).toInteger() == classId)
                return value.toObject();
        }
        return {};
    }
    // A class of school 1 that nobody teaches or has asked for.
    qint64 freeClass(int skip = 0) {
        const QJsonArray list = classesOfSchool().value(QStringLiteral("classList")).toArray();
        for (const QJsonValue &value : list) {
            const QJsonObject c = value.toObject();
            if (c.value(QStringLiteral("ApprovalExists")).toInteger() == 0 &&
                c.value(QStringLiteral("TeacherIsExists")).toInteger() == 0 && skip-- == 0)
                return c.value(QStringLiteral("ClassId")).toInteger();
        }
        return 0;
    }
    QList<qint64> teacherClassIds(qint64 uid) {
        QList<qint64> ids;
        const QJsonArray list =
            call(QStringLiteral("GetMyClassForTeacher"), {{"uid", QString::number(uid)}})
                .value(QStringLiteral("classList"))
                .toArray();
        for (const QJsonValue &value : list)
            ids.append(value.toObject().value(QStringLiteral("ClassId")).toInteger());
        return ids;
    }

    std::unique_ptr<ServiceTestClient> m_client;
    QDateTime m_now;
};

void tst_Accounts::init() {
    m_client = std::make_unique<ServiceTestClient>();
    QVERIFY2(m_client->isReady(), qPrintable(m_client->startError()));
    m_now = QDateTime(QDate(2025, 10, 8), QTime(9, 0), Qt::UTC);
    m_client->service().context().now = [this] { return m_now; };
}

void tst_Accounts::cleanup() {
    m_client.reset();
}

void tst_Accounts::login_data() {
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<qint64>("result");
    QTest::addColumn<QString>("message");

    QTest::newRow("demo teacher") << Teacher1 << Password << qint64(1) << "";
    QTest::newRow("teacher without class") << Teacher3 << Password << qint64(1) << "";
    QTest::newRow("must bind first") << Teacher2 << Password << qint64(2) << "请先绑定手机号";
    QTest::newRow("wrong password") << Teacher1 << "1234567" << qint64(0) << "密码错误";
    QTest::newRow("password is case sensitive") << Teacher1 << "123456 " << qint64(0) << "密码错误";
    QTest::newRow("unbound teacher wrong password")
        << Teacher2 << "000000" << qint64(0) << "密码错误";
    QTest::newRow("unknown number") << "13812345678" << Password << qint64(0) << "该手机号未注册";
    QTest::newRow("number with blanks is sent as typed")
        << " 13800000001" << Password << qint64(0) << "该手机号未注册";
    QTest::newRow("pupil account") << "xs10001" << Password << qint64(0) << "该账号不是教师账号";
    QTest::newRow("empty user name") << "" << Password << qint64(0) << "请输入用户名";
    QTest::newRow("empty password") << Teacher1 << "" << qint64(0) << "请输入密码";
}

void tst_Accounts::login() {
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(qint64, result);
    QFETCH(QString, message);
    const QJsonObject answer =
        call(QStringLiteral("TeacherLogin"), {{"userName", user}, {"password", password}});
    QCOMPARE(resultOf(answer), result);
    QCOMPARE(msgOf(answer), message);
    // Only a sign-in that goes somewhere names the account.
    QCOMPARE(answer.value(QStringLiteral("uid")).toInteger() > 0, result != 0);
    QCOMPARE(answer.contains(QStringLiteral("user")), result == 1);
}

void tst_Accounts::loginAnswerCarriesTheProfile() {
    const QJsonObject answer =
        call(QStringLiteral("TeacherLogin"), {{"userName", Teacher1}, {"password", Password}});
    QCOMPARE(resultOf(answer), 1);
    QVERIFY(!answer.contains(QStringLiteral("isLogin")));
    const QJsonObject user = answer.value(QStringLiteral("user")).toObject();
    QCOMPARE(user.value(QStringLiteral("UserName")).toString(), Teacher1);
    QCOMPARE(user.value(QStringLiteral("Mobile")).toInteger(), Teacher1.toLongLong());
    QCOMPARE(user.value(QStringLiteral("UserId")).toInteger(),
             answer.value(QStringLiteral("uid")).toInteger());
    QCOMPARE(user.value(QStringLiteral("Password")).toInteger(), 0);
    QVERIFY(!user.value(QStringLiteral("RealName")).toString().isEmpty());
    QVERIFY(!user.value(QStringLiteral("SchoolName")).toString().isEmpty());

    // The ids the reports send back must lead somewhere.
    const QJsonObject cities = call(
        QStringLiteral("GetCityList"),
        {{"provinceId", QString::number(user.value(QStringLiteral("ProvinceId")).toInteger())}});
    QCOMPARE(resultOf(cities), 1);
    bool cityFound = false;
    for (const QJsonValue &city : cities.value(QStringLiteral("cityList")).toArray()) {
        cityFound |= city.toObject().value(QStringLiteral("CityName")).toString() ==
                     user.value(QStringLiteral("CityName")).toString();
    }
    QVERIFY(cityFound);

    // The photo URL is served.
    const QString photo = answer.value(QStringLiteral("photo")).toString();
    QVERIFY(photo.startsWith(m_client->baseUrl()));
    int status = 0;
    QByteArray type;
    const QByteArray bytes = m_client->get(photo.mid(m_client->baseUrl().size()), &status, &type);
    QCOMPARE(status, 200);
    QCOMPARE(type, QByteArray("image/jpeg"));
    QVERIFY(!QImage::fromData(bytes).isNull());
}

void tst_Accounts::bindingMakesLoginSucceed() {
    const QJsonObject first =
        call(QStringLiteral("TeacherLogin"), {{"userName", Teacher2}, {"password", Password}});
    QCOMPARE(resultOf(first), 2);
    const qint64 uid = first.value(QStringLiteral("uid")).toInteger();

    QCOMPARE(resultOf(sendCode(uid, Teacher2, 0)), 1);
    QJsonObject answer = confirm(uid, Teacher2, QStringLiteral("000000"), 6);
    QCOMPARE(msgOf(answer), WrongCode);
    QCOMPARE(m_client->login(Teacher2, Password), 0); // still unbound

    QCOMPARE(resultOf(confirm(uid, Teacher2, ServiceTestClient::FixedCode, 6)), 1);
    const QJsonObject signedIn =
        call(QStringLiteral("TeacherLogin"), {{"userName", Teacher2}, {"password", Password}});
    QCOMPARE(resultOf(signedIn), 1);
    QCOMPARE(signedIn.value(QStringLiteral("user"))
                 .toObject()
                 .value(QStringLiteral("Mobile"))
                 .toInteger(),
             Teacher2.toLongLong());
    // A spent code does not work twice.
    QCOMPARE(msgOf(confirm(uid, Teacher2, ServiceTestClient::FixedCode, 6)), WrongCode);
}

void tst_Accounts::codesExpireAfterTenMinutes() {
    const qint64 uid = 2;
    QCOMPARE(resultOf(sendCode(uid, Teacher2, 0)), 1);
    m_now = m_now.addSecs(10 * 60 + 1);
    QCOMPARE(msgOf(confirm(uid, Teacher2, ServiceTestClient::FixedCode, 6)), WrongCode);

    QCOMPARE(resultOf(sendCode(uid, Teacher2, 0)), 1);
    m_now = m_now.addSecs(10 * 60 - 1);
    QCOMPARE(resultOf(confirm(uid, Teacher2, ServiceTestClient::FixedCode, 6)), 1);
}

void tst_Accounts::fiveWrongTriesVoidACode() {
    QCOMPARE(resultOf(sendCode(2, Teacher2, 0)), 1);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(msgOf(confirm(2, Teacher2, QStringLiteral("99999%1").arg(i), 6)), WrongCode);
    // Four wrong tries leave the code usable...
    QCOMPARE(resultOf(confirm(2, Teacher2, ServiceTestClient::FixedCode, 6)), 1);

    // ...the fifth voids it.
    const qint64 uid = m_client->login(Teacher1, Password);
    QCOMPARE(resultOf(sendCode(uid, QStringLiteral("13911112222"), 1)), 1);
    const Form change{{"uid", QString::number(uid)}, {"mobile", "13911112222"}, {"stuType", "1"}};
    for (int i = 0; i < 5; ++i) {
        Form wrong = change;
        wrong.append(qMakePair(QStringLiteral("code"), QString(QStringLiteral("00000%1").arg(i))));
        QCOMPARE(msgOf(call(QStringLiteral("ChangeMobile"), wrong)), WrongCode);
    }
    Form right = change;
    right.append(qMakePair(QStringLiteral("code"), QString(ServiceTestClient::FixedCode)));
    QCOMPARE(msgOf(call(QStringLiteral("ChangeMobile"), right)), WrongCode);
}

void tst_Accounts::newerCodeReplacesOlder() {
    ServiceContext &context = m_client->service().context();
    context.fixedVerificationCode = QStringLiteral("111111");
    QCOMPARE(resultOf(sendCode(2, Teacher2, 0)), 1);
    context.fixedVerificationCode = QStringLiteral("222222");
    QCOMPARE(resultOf(sendCode(2, Teacher2, 0)), 1);
    QCOMPARE(msgOf(confirm(2, Teacher2, QStringLiteral("111111"), 6)), WrongCode);
    QCOMPARE(resultOf(confirm(2, Teacher2, QStringLiteral("222222"), 6)), 1);
}

void tst_Accounts::codesAreSixRandomDigitsWithoutFixedCode() {
    ServiceContext &context = m_client->service().context();
    context.fixedVerificationCode.reset();
    QSet<QString> codes;
    QString latest;
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(resultOf(sendCode(2, Teacher2, 0)), 1);
        latest = ServiceDatabase::scalar(context.db,
                                         QStringLiteral("SELECT code FROM verification_codes "
                                                        "ORDER BY id DESC LIMIT 1"))
                     ->toString();
        QVERIFY2(QRegularExpression(QStringLiteral("^[0-9]{6}$")).match(latest).hasMatch(),
                 qPrintable(latest));
        codes.insert(latest);
    }
    QVERIFY(codes.size() > 1); // four equal random codes: one chance in 10^18
    QCOMPARE(resultOf(confirm(2, Teacher2, latest, 6)), 1);
}

void tst_Accounts::forgottenPasswordReset() {
    QCOMPARE(msgOf(call(QStringLiteral("GetPasswordForget"),
                        {{"mobile", "13812345678"}, {"type", "1"}})),
             QStringLiteral("该手机号未注册"));
    QCOMPARE(msgOf(call(QStringLiteral("GetPasswordForget"), {{"mobile", "12345"}, {"type", "1"}})),
             QStringLiteral("请输入正确的手机号"));
    const QJsonObject sent =
        call(QStringLiteral("GetPasswordForget"), {{"mobile", Teacher1}, {"type", "1"}});
    QCOMPARE(resultOf(sent), 1);
    const qint64 uid = sent.value(QStringLiteral("uid")).toInteger();
    QCOMPARE(uid, m_client->login(Teacher1, Password));

    const Form reset{{"uid", QString::number(uid)}, {"type", "0"}, {"NEWPassword", "abcdef"}};
    QCOMPARE(msgOf(call(QStringLiteral("SetNewPassword"), reset)),
             QStringLiteral("请先验证手机号"));
    QCOMPARE(msgOf(confirm(0, Teacher1, ServiceTestClient::FixedCode, 7)),
             QStringLiteral("请先获取验证码"));
    QCOMPARE(msgOf(confirm(uid, Teacher1, QStringLiteral("000000"), 7)), WrongCode);
    QCOMPARE(resultOf(confirm(uid, Teacher1, ServiceTestClient::FixedCode, 7)), 1);

    QCOMPARE(msgOf(call(QStringLiteral("SetNewPassword"),
                        {{"uid", QString::number(uid)}, {"type", "0"}, {"NEWPassword", "abcde"}})),
             QStringLiteral("请输入6-20位密码"));
    QCOMPARE(resultOf(call(QStringLiteral("SetNewPassword"), reset)), 1);
    QCOMPARE(m_client->login(Teacher1, Password), 0);
    QCOMPARE(m_client->login(Teacher1, QStringLiteral("abcdef")), uid);
    // One confirmation allows one reset.
    QCOMPARE(msgOf(call(QStringLiteral("SetNewPassword"), reset)),
             QStringLiteral("请先验证手机号"));
    // Another teacher's confirmation does not reset this one.
    QCOMPARE(
        resultOf(call(QStringLiteral("GetPasswordForget"), {{"mobile", Teacher3}, {"type", "1"}})),
        1);
    QCOMPARE(resultOf(confirm(3, Teacher3, ServiceTestClient::FixedCode, 7)), 1);
    QCOMPARE(msgOf(call(QStringLiteral("SetNewPassword"), reset)),
             QStringLiteral("请先验证手机号"));
}

void tst_Accounts::resetNeedsARecentConfirmation() {
    QCOMPARE(
        resultOf(call(QStringLiteral("GetPasswordForget"), {{"mobile", Teacher1}, {"type", "1"}})),
        1);
    QCOMPARE(resultOf(confirm(1, Teacher1, ServiceTestClient::FixedCode, 7)), 1);
    m_now = m_now.addSecs(31 * 60);
    QCOMPARE(msgOf(call(QStringLiteral("SetNewPassword"),
                        {{"uid", "1"}, {"type", "0"}, {"NEWPassword", "abcdef"}})),
             QStringLiteral("请先验证手机号"));
    QCOMPARE(m_client->login(Teacher1, Password), 1);
}

void tst_Accounts::passwordChange_data() {
    QTest::addColumn<Form>("form");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("passwordAfter");

    QTest::newRow("changed") << Form{{"uid", "1"},
                                     {"type", "1"},
                                     {"oldPassword", "123456"},
                                     {"NEWPassword", "new-pass"}}
                             << ""
                             << "new-pass";
    QTest::newRow("same as before is fine")
        << Form{{"uid", "1"}, {"type", "1"}, {"oldPassword", "123456"}, {"NEWPassword", "123456"}}
        << ""
        << "123456";
    QTest::newRow("twenty characters") << Form{{"uid", "1"},
                                               {"type", "1"},
                                               {"oldPassword", "123456"},
                                               {"NEWPassword", QString(20, u'x')}}
                                       << "" << QString(20, u'x');
    QTest::newRow("chinese password") << Form{{"uid", "1"},
                                              {"type", "1"},
                                              {"oldPassword", "123456"},
                                              {"NEWPassword", QString::fromUtf8("我的新密码好")}}
                                      << "" << QString::fromUtf8("我的新密码好");
    QTest::newRow("wrong old password")
        << Form{{"uid", "1"}, {"type", "1"}, {"oldPassword", "12345"}, {"NEWPassword", "new-pass"}}
        << "原密码错误"
        << "123456";
    QTest::newRow("no old password")
        << Form{{"uid", "1"}, {"type", "1"}, {"NEWPassword", "new-pass"}} << "缺少参数：oldPassword"
        << "123456";
    QTest::newRow("too long") << Form{{"uid", "1"},
                                      {"type", "1"},
                                      {"oldPassword", "123456"},
                                      {"NEWPassword", QString(21, u'x')}}
                              << "请输入6-20位密码"
                              << "123456";
    QTest::newRow("too short") << Form{{"uid", "1"},
                                       {"type", "1"},
                                       {"oldPassword", "123456"},
                                       {"NEWPassword", "12345"}}
                               << "请输入6-20位密码"
                               << "123456";
    QTest::newRow("unknown type") << Form{{"uid", "1"},
                                          {"type", "2"},
                                          {"oldPassword", "123456"},
                                          {"NEWPassword", "abcdef"}}
                                  << "参数错误：type"
                                  << "123456";
    QTest::newRow("pupil") << Form{{"uid", "10001"},
                                   {"type", "1"},
                                   {"oldPassword", "123456"},
                                   {"NEWPassword", "abcdef"}}
                           << "教师账号不存在"
                           << "123456";
}

void tst_Accounts::passwordChange() {
    QFETCH(Form, form);
    QFETCH(QString, message);
    QFETCH(QString, passwordAfter);
    const QJsonObject answer = call(QStringLiteral("SetNewPassword"), form);
    QCOMPARE(msgOf(answer), message);
    QCOMPARE(resultOf(answer), message.isEmpty() ? 1 : 0);
    QCOMPARE(m_client->login(Teacher1, passwordAfter), 1);
}

void tst_Accounts::mobileChange() {
    const qint64 uid = m_client->login(Teacher1, Password);
    const QString newNumber = QStringLiteral("13911112222");
    QCOMPARE(resultOf(sendCode(uid, newNumber, 1)), 1);

    Form change{
        {"uid", QString::number(uid)}, {"code", ServiceTestClient::FixedCode}, {"stuType", "1"}};
    Form otherNumber = change;
    otherNumber.append(qMakePair(QStringLiteral("mobile"), QString("13911113333")));
    QCOMPARE(msgOf(call(QStringLiteral("ChangeMobile"), otherNumber)),
             QStringLiteral("手机号与接收验证码的号码不一致"));
    change.append(qMakePair(QStringLiteral("mobile"), QString(newNumber)));
    const QJsonObject answer = call(QStringLiteral("ChangeMobile"), change);
    QCOMPARE(resultOf(answer), 1);
    QCOMPARE(answer.value(QStringLiteral("mobile")).toString(), newNumber);

    QCOMPARE(m_client->login(Teacher1, Password), 0);
    QCOMPARE(m_client->login(newNumber, Password), uid);
    const QJsonObject info =
        call(QStringLiteral("GetTeacherInfo"), {{"uid", QString::number(uid)}});
    QCOMPARE(
        info.value(QStringLiteral("user")).toObject().value(QStringLiteral("UserName")).toInteger(),
        newNumber.toLongLong());
    // The old number is free again: another teacher may take it.
    QCOMPARE(resultOf(sendCode(2, Teacher1, 0)), 1);
}

void tst_Accounts::sendingCodesRefusesBadNumbers_data() {
    QTest::addColumn<qint64>("uid");
    QTest::addColumn<QString>("mobile");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("message");

    QTest::newRow("own number for a change") << qint64(1) << Teacher1 << 1 << "该手机号已被绑定";
    QTest::newRow("another teacher's number") << qint64(1) << Teacher3 << 1 << "该手机号已被绑定";
    QTest::newRow("binding another's number") << qint64(2) << Teacher1 << 0 << "该手机号已被绑定";
    QTest::newRow("too short") << qint64(1) << "1391111222" << 1 << "请输入正确的手机号";
    QTest::newRow("not starting with 1") << qint64(1) << "23911112222" << 1 << "请输入正确的手机号";
    QTest::newRow("full-width digits")
        << qint64(1) << QString::fromUtf8("１３９１１１１２２２２") << 1 << "请输入正确的手机号";
    QTest::newRow("unknown type") << qint64(1) << "13911112222" << 3 << "验证码类型错误";
    QTest::newRow("unknown account") << qint64(999) << "13911112222" << 1 << "教师账号不存在";
    QTest::newRow("binding own user name is fine") << qint64(2) << Teacher2 << 0 << "";
}

void tst_Accounts::sendingCodesRefusesBadNumbers() {
    QFETCH(qint64, uid);
    QFETCH(QString, mobile);
    QFETCH(int, type);
    QFETCH(QString, message);
    const QJsonObject answer = sendCode(uid, mobile, type);
    QCOMPARE(msgOf(answer), message);
    QCOMPARE(resultOf(answer), message.isEmpty() ? 1 : 0);
}

void tst_Accounts::teacherInfoListsOwnClasses() {
    const qint64 uid = m_client->login(Teacher1, Password);
    const QJsonObject info =
        call(QStringLiteral("GetTeacherInfo"), {{"uid", QString::number(uid)}});
    QCOMPARE(resultOf(info), 1);
    const QJsonArray classes = info.value(QStringLiteral("classList")).toArray();
    QCOMPARE(classes.size(), 3);
    QList<qint64> ids;
    for (const QJsonValue &value : classes) {
        const QJsonObject c = value.toObject();
        ids.append(c.value(QStringLiteral("ClassId")).toInteger());
        QCOMPARE(c.value(QStringLiteral("TeacherIsExists")).toInteger(), 1);
        QVERIFY(c.value(QStringLiteral("GradeName")).toString().endsWith(QStringLiteral("年级")));
    }
    QCOMPARE(ids, teacherClassIds(uid));
    const QJsonObject user = info.value(QStringLiteral("user")).toObject();
    QCOMPARE(user.value(QStringLiteral("UserName")).toInteger(), Teacher1.toLongLong());
    const QJsonObject login =
        call(QStringLiteral("TeacherLogin"), {{"userName", Teacher1}, {"password", Password}});
    QCOMPARE(user.value(QStringLiteral("BookCollectionNum")).toInteger(),
             login.value(QStringLiteral("collectionNum")).toInteger());
    QCOMPARE(user.value(QStringLiteral("RealName")).toString(),
             login.value(QStringLiteral("user"))
                 .toObject()
                 .value(QStringLiteral("RealName"))
                 .toString());

    const QJsonObject none = call(QStringLiteral("GetTeacherInfo"), {{"uid", "3"}});
    QCOMPARE(resultOf(none), 1);
    QVERIFY(none.value(QStringLiteral("classList")).toArray().isEmpty());
}

void tst_Accounts::selectClassFlags() {
    const QJsonArray all = classesOfSchool().value(QStringLiteral("classList")).toArray();
    QVERIFY(all.size() > 6);
    int taken = 0, pending = 0, free = 0;
    for (const QJsonValue &value : all) {
        const QJsonObject c = value.toObject();
        const bool hasTeacher = c.value(QStringLiteral("TeacherIsExists")).toInteger();
        const bool awaiting = c.value(QStringLiteral("ApprovalExists")).toInteger();
        taken += hasTeacher;
        pending += awaiting;
        free += !hasTeacher && !awaiting;
        QCOMPARE(c.value(QStringLiteral("GradeId")).toInteger(),
                 c.value(QStringLiteral("gradeId")).toInteger());
    }
    QVERIFY(taken >= 3 && pending >= 1 && free >= 2);
    for (qint64 id : teacherClassIds(1))
        QCOMPARE(classWithId(id).value(QStringLiteral("TeacherIsExists")).toInteger(), 1);

    const QJsonArray third = classesOfSchool(3).value(QStringLiteral("classList")).toArray();
    QVERIFY(!third.isEmpty());
    for (const QJsonValue &value : third)
        QCOMPARE(value.toObject().value(QStringLiteral("GradeId")).toInteger(), 3);
}

void tst_Accounts::changeClassRefusals_data() {
    QTest::addColumn<qint64>("uid");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>(
        "which"); // "free", "taken", "pending", "other school", "unknown", "own"
    QTest::addColumn<QString>("message");

    QTest::newRow("add a taught class") << qint64(3) << 0 << "taken"
                                        << "该班级已有老师";
    QTest::newRow("add a pending class") << qint64(3) << 0 << "pending"
                                         << "该班级正在审核中";
    QTest::newRow("add another school's class") << qint64(3) << 0 << "other school"
                                                << "只能选择本校的班级";
    QTest::newRow("add an unknown class") << qint64(3) << 0 << "unknown"
                                          << "班级不存在";
    QTest::newRow("remove a class not held") << qint64(3) << 2 << "taken"
                                             << "您没有这个班级";
    QTest::newRow("swap a class not held") << qint64(3) << 1 << "free"
                                           << "您没有这个班级";
    QTest::newRow("swap for the same class") << qint64(1) << 1 << "own"
                                             << "请选择其他班级";
    QTest::newRow("unknown action") << qint64(1) << 3 << "free"
                                    << "参数错误：type";
    QTest::newRow("pupil") << qint64(10001) << 0 << "free"
                           << "教师账号不存在";
}

void tst_Accounts::changeClassRefusals() {
    QFETCH(qint64, uid);
    QFETCH(int, type);
    QFETCH(QString, which);
    QFETCH(QString, message);
    qint64 classId = 0;
    const QJsonArray all = classesOfSchool().value(QStringLiteral("classList")).toArray();
    for (const QJsonValue &value : all) {
        const QJsonObject c = value.toObject();
        if ((which == QStringLiteral("taken") &&
             c.value(QStringLiteral("TeacherIsExists")).toInteger()) ||
            (which == QStringLiteral("pending") &&
             c.value(QStringLiteral("ApprovalExists")).toInteger())) {
            classId = c.value(QStringLiteral("ClassId")).toInteger();
            break;
        }
    }
    if (which == QStringLiteral("free"))
        classId = freeClass();
    else if (which == QStringLiteral("own"))
        classId = teacherClassIds(1).first();
    else if (which == QStringLiteral("unknown"))
        classId = 987654;
    else if (which == QStringLiteral("other school"))
        classId = ServiceDatabase::scalar(
                      m_client->service().context().db,
                      QStringLiteral("SELECT id FROM classes WHERE school_id <> 1 LIMIT 1"))
                      ->toLongLong();
    QVERIFY(classId > 0);
    const qint64 oldClass = type == 0 ? 0 : classId;
    const qint64 newClass = type == 2 ? 0 : classId;
    const QJsonObject answer =
        call(QStringLiteral("ChangeClassForTeacher"), {{"uid", QString::number(uid)},
                                                       {"type", QString::number(type)},
                                                       {"classId", QString::number(oldClass)},
                                                       {"newClassId", QString::number(newClass)}});
    QCOMPARE(msgOf(answer), message);
    QCOMPARE(resultOf(answer), 0);
}

void tst_Accounts::changeClassAddSwapRemove() {
    auto change = [&](qint64 uid, int type, qint64 oldClass, qint64 newClass) {
        return call(QStringLiteral("ChangeClassForTeacher"),
                    {{"uid", QString::number(uid)},
                     {"type", QString::number(type)},
                     {"classId", QString::number(oldClass)},
                     {"newClassId", QString::number(newClass)}});
    };
    // Adding asks for approval: the class leaves the picker but not yet the teacher's list.
    const qint64 wanted = freeClass();
    QJsonObject answer = change(3, 0, 0, wanted);
    QCOMPARE(resultOf(answer), 1);
    QVERIFY(!msgOf(answer).isEmpty()); // the screen always shows it
    QCOMPARE(classWithId(wanted).value(QStringLiteral("ApprovalExists")).toInteger(), 1);
    QVERIFY(teacherClassIds(3).isEmpty());
    QCOMPARE(msgOf(change(1, 0, 0, wanted)), QStringLiteral("该班级正在审核中"));

    // Removing frees the class at once.
    const QList<qint64> own = teacherClassIds(1);
    QCOMPARE(resultOf(change(1, 2, own.last(), 0)), 1);
    QCOMPARE(teacherClassIds(1), own.first(2));
    const QJsonObject released = classWithId(own.last());
    QCOMPARE(released.value(QStringLiteral("TeacherIsExists")).toInteger(), 0);
    QCOMPARE(released.value(QStringLiteral("ApprovalExists")).toInteger(), 0);

    // Swapping gives up the old class and asks for the new one.
    const qint64 other = freeClass();
    QCOMPARE(resultOf(change(1, 1, own.at(1), other)), 1);
    QCOMPARE(teacherClassIds(1), own.first(1));
    QCOMPARE(classWithId(other).value(QStringLiteral("ApprovalExists")).toInteger(), 1);
    QCOMPARE(classWithId(own.at(1)).value(QStringLiteral("TeacherIsExists")).toInteger(), 0);
}

void tst_Accounts::photoUpload_data() {
    QTest::addColumn<QString>("data");
    QTest::addColumn<QString>("message");

    QTest::newRow("jpeg") << encodedImage(QSize(200, 200), "JPEG") << "";
    QTest::newRow("png becomes jpeg") << encodedImage(QSize(40, 30), "PNG") << "";
    QTest::newRow("not base64") << "@@@@"
                                << "图片数据无效";
    QTest::newRow("line breaks") << encodedImage(QSize(20, 20), "JPEG").insert(8, u'\n')
                                 << "图片数据无效";
    QTest::newRow("base64 of text")
        << QString::fromLatin1(QByteArray("hello, this is no picture").toBase64())
        << "图片数据无效";
    QTest::newRow("truncated jpeg")
        << encodedImage(QSize(200, 200), "JPEG").left(64) << "图片数据无效";
    QTest::newRow("empty") << ""
                           << "图片数据无效";
    QTest::newRow("chinese text") << QString::fromUtf8("图片") << "图片数据无效";
    QTest::newRow("too many pixels") << encodedImage(QSize(4097, 2), "PNG") << "图片太大";
}

void tst_Accounts::photoUpload() {
    QFETCH(QString, data);
    QFETCH(QString, message);
    const QJsonObject answer =
        call(QStringLiteral("PhotoUpdate"), {{"uid", "1"}, {"imagedata", data}});
    QCOMPARE(msgOf(answer), message);
    QCOMPARE(resultOf(answer), message.isEmpty() ? 1 : 0);
    if (!message.isEmpty())
        return;
    const QString url = answer.value(QStringLiteral("photo")).toString();
    int status = 0;
    QByteArray type;
    const QImage served = QImage::fromData(m_client->get(QUrl(url).path().mid(1), &status, &type));
    QCOMPARE(status, 200);
    QCOMPARE(type, QByteArray("image/jpeg"));
    QCOMPARE(served.size(), QImage::fromData(QByteArray::fromBase64(data.toLatin1())).size());
}

void tst_Accounts::uploadedPhotoIsServedWithANewVersion() {
    const QString before = call(QStringLiteral("GetTeacherInfo"), {{"uid", "1"}})
                               .value(QStringLiteral("photo"))
                               .toString();
    const QString jpeg = encodedImage(QSize(64, 64), "JPEG");
    const QString first = call(QStringLiteral("PhotoUpdate"), {{"uid", "1"}, {"imagedata", jpeg}})
                              .value(QStringLiteral("photo"))
                              .toString();
    const QString second = call(QStringLiteral("PhotoUpdate"), {{"uid", "1"}, {"imagedata", jpeg}})
                               .value(QStringLiteral("photo"))
                               .toString();
    QVERIFY(before != first && first != second);
    QCOMPARE(QUrl(first).path(), QUrl(second).path());
    // Every place that names the photo names the newest one; the bytes are the upload's.
    QCOMPARE(call(QStringLiteral("GetTeacherInfo"), {{"uid", "1"}})
                 .value(QStringLiteral("photo"))
                 .toString(),
             second);
    QCOMPARE(call(QStringLiteral("TeacherLogin"), {{"userName", Teacher1}, {"password", Password}})
                 .value(QStringLiteral("photo"))
                 .toString(),
             second);
    QCOMPARE(m_client->get(QUrl(second).path().mid(1)), QByteArray::fromBase64(jpeg.toLatin1()));
}

QTEST_MAIN(tst_Accounts)
#include "tst_Accounts.moc"
