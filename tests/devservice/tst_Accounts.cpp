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
    void forgottenPasswordReset();
    void passwordChange_data();
    void passwordChange();
    void mobileChange();
    void teacherInfoListsOwnClasses();
    void changeClassAddSwapRemove();
    void requestsApprovedAfterTheDelay_data();
    void requestsApprovedAfterTheDelay();
    void approvingPendingDropsRequestsForTakenClasses();
    void photoUpload_data();
    void photoUpload();

private:
    QJsonObject call(Operation operation, const Form &form) {
        return m_client->call(operation, form);
    }
    QJsonObject sendCode(qint64 uid, const QString &mobile, int type) {
        return call(Operation::SendVerification, {{"uid", QString::number(uid)},
                                                  {"mobile", mobile},
                                                  {"type", QString::number(type)},
                                                  {"stuType", "1"}});
    }
    QJsonObject confirm(qint64 uid, const QString &mobile, const QString &code, int type) {
        return call(Operation::ConfirmVerification, {{"uid", QString::number(uid)},
                                                     {"code", code},
                                                     {"mobile", mobile},
                                                     {"type", QString::number(type)},
                                                     {"stuType", "1"}});
    }
    QJsonObject classesOfSchool(int grade = 0) {
        return call(Operation::SelectClassForTeacher,
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
    qint64 approvalExists(qint64 classId) {
        return classWithId(classId).value(QStringLiteral("ApprovalExists")).toInteger();
    }
    // type 0 adds newClass, 1 swaps oldClass for it, 2 removes oldClass.
    QJsonObject changeClass(qint64 uid, int type, qint64 oldClass, qint64 newClass) {
        return call(Operation::ChangeClassForTeacher, {{"uid", QString::number(uid)},
                                                       {"type", QString::number(type)},
                                                       {"classId", QString::number(oldClass)},
                                                       {"newClassId", QString::number(newClass)}});
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
            call(Operation::GetMyClassForTeacher, {{"uid", QString::number(uid)}})
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
    QTest::newRow("must bind first") << Teacher2 << Password << qint64(2) << "请先绑定手机号";
    QTest::newRow("wrong password") << Teacher1 << "1234567" << qint64(0) << "密码错误";
    QTest::newRow("unknown number") << "13812345678" << Password << qint64(0) << "该手机号未注册";
    QTest::newRow("pupil account") << "xs10001" << Password << qint64(0) << "该账号不是教师账号";
    QTest::newRow("empty password") << Teacher1 << "" << qint64(0) << "请输入密码";
}

void tst_Accounts::login() {
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(qint64, result);
    QFETCH(QString, message);
    const QJsonObject answer = call(Operation::Login, {{"userName", user}, {"password", password}});
    QCOMPARE(resultOf(answer), result);
    QCOMPARE(msgOf(answer), message);
    // Only a sign-in that goes somewhere names the account.
    QCOMPARE(answer.value(QStringLiteral("uid")).toInteger() > 0, result != 0);
    QCOMPARE(answer.contains(QStringLiteral("user")), result == 1);
}

void tst_Accounts::loginAnswerCarriesTheProfile() {
    const QJsonObject answer =
        call(Operation::Login, {{"userName", Teacher1}, {"password", Password}});
    QCOMPARE(resultOf(answer), 1);
    QVERIFY(!answer.contains(QStringLiteral("isLogin")));
    const QJsonObject user = answer.value(QStringLiteral("user")).toObject();
    QCOMPARE(user.value(QStringLiteral("UserName")).toString(), Teacher1);
    QCOMPARE(user.value(QStringLiteral("Mobile")).toInteger(), Teacher1.toLongLong());
    QCOMPARE(user.value(QStringLiteral("UserId")).toInteger(),
             answer.value(QStringLiteral("uid")).toInteger());
    QCOMPARE(user.value(QStringLiteral("Password")).toInteger(), 0); // never the password
    // The photo URL is served.
    int status = 0;
    m_client->get(QUrl(answer.value(QStringLiteral("photo")).toString()).path().mid(1), &status);
    QCOMPARE(status, 200);
}

void tst_Accounts::bindingMakesLoginSucceed() {
    const QJsonObject first =
        call(Operation::Login, {{"userName", Teacher2}, {"password", Password}});
    QCOMPARE(resultOf(first), 2);
    const qint64 uid = first.value(QStringLiteral("uid")).toInteger();

    QCOMPARE(resultOf(sendCode(uid, Teacher2, 0)), 1);
    QJsonObject answer = confirm(uid, Teacher2, QStringLiteral("000000"), 6);
    QCOMPARE(msgOf(answer), WrongCode);
    QCOMPARE(m_client->login(Teacher2, Password), 0); // still unbound

    QCOMPARE(resultOf(confirm(uid, Teacher2, ServiceTestClient::FixedCode, 6)), 1);
    const QJsonObject signedIn =
        call(Operation::Login, {{"userName", Teacher2}, {"password", Password}});
    QCOMPARE(resultOf(signedIn), 1);
    QCOMPARE(integer(signedIn.value(QStringLiteral("user")), "Mobile"), Teacher2.toLongLong());
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

void tst_Accounts::forgottenPasswordReset() {
    const QJsonObject sent =
        call(Operation::ForgetVerification, {{"mobile", Teacher1}, {"type", "1"}});
    QCOMPARE(resultOf(sent), 1);
    const qint64 uid = sent.value(QStringLiteral("uid")).toInteger();
    QCOMPARE(uid, m_client->login(Teacher1, Password));

    const Form reset{{"uid", QString::number(uid)}, {"type", "0"}, {"NEWPassword", "abcdef"}};
    QCOMPARE(msgOf(call(Operation::SetNewPassword, reset)), QStringLiteral("请先验证手机号"));
    QCOMPARE(msgOf(confirm(0, Teacher1, ServiceTestClient::FixedCode, 7)),
             QStringLiteral("请先获取验证码"));
    QCOMPARE(msgOf(confirm(uid, Teacher1, QStringLiteral("000000"), 7)), WrongCode);
    QCOMPARE(resultOf(confirm(uid, Teacher1, ServiceTestClient::FixedCode, 7)), 1);

    QCOMPARE(msgOf(call(Operation::SetNewPassword,
                        {{"uid", QString::number(uid)}, {"type", "0"}, {"NEWPassword", "abcde"}})),
             QStringLiteral("请输入6-20位密码"));
    QCOMPARE(resultOf(call(Operation::SetNewPassword, reset)), 1);
    QCOMPARE(m_client->login(Teacher1, Password), 0);
    QCOMPARE(m_client->login(Teacher1, QStringLiteral("abcdef")), uid);
    // One confirmation allows one reset.
    QCOMPARE(msgOf(call(Operation::SetNewPassword, reset)), QStringLiteral("请先验证手机号"));
}

void tst_Accounts::passwordChange_data() {
    QTest::addColumn<Form>("form");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("passwordAfter");

    const auto change = [](const char *type, const char *oldPassword, const QString &password) {
        return Form{
            {"uid", "1"}, {"type", type}, {"oldPassword", oldPassword}, {"NEWPassword", password}};
    };
    // clang-format off
    QTest::newRow("twenty characters refused") << change("1", "123456", QString(20, u'x')) << "" << QString(20, u'x');
    QTest::newRow("old password not checked") << change("1", "12345", "new-pass") << "原密码错误" << "123456";
    QTest::newRow("21 characters accepted") << change("1", "123456", QString(21, u'x')) << "请输入6-20位密码" << "123456";
    QTest::newRow("type 2 taken for a change") << change("2", "123456", "abcdef") << "参数错误：type" << "123456";
    // clang-format on
}

void tst_Accounts::passwordChange() {
    QFETCH(Form, form);
    QFETCH(QString, message);
    QFETCH(QString, passwordAfter);
    const QJsonObject answer = call(Operation::SetNewPassword, form);
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
    QCOMPARE(msgOf(call(Operation::ChangeMobile, otherNumber)),
             QStringLiteral("手机号与接收验证码的号码不一致"));
    change.append(qMakePair(QStringLiteral("mobile"), QString(newNumber)));
    const QJsonObject answer = call(Operation::ChangeMobile, change);
    QCOMPARE(resultOf(answer), 1);
    QCOMPARE(answer.value(QStringLiteral("mobile")).toString(), newNumber);

    QCOMPARE(m_client->login(Teacher1, Password), 0);
    QCOMPARE(m_client->login(newNumber, Password), uid);
    // The old number is free again: another teacher may take it.
    QCOMPARE(resultOf(sendCode(2, Teacher1, 0)), 1);
}

void tst_Accounts::teacherInfoListsOwnClasses() {
    const qint64 uid = m_client->login(Teacher1, Password);
    const QJsonObject info = call(Operation::GetTeacherInfo, {{"uid", QString::number(uid)}});
    QCOMPARE(resultOf(info), 1);
    const QJsonArray classes = info.value(QStringLiteral("classList")).toArray();
    QCOMPARE(classes.size(), 3);
    QList<qint64> ids;
    for (const QJsonValue &value : classes) {
        const QJsonObject c = value.toObject();
        ids.append(c.value(QStringLiteral("ClassId")).toInteger());
        QCOMPARE(c.value(QStringLiteral("TeacherIsExists")).toInteger(), 1);
    }
    QCOMPARE(ids, teacherClassIds(uid));
    const QJsonObject user = info.value(QStringLiteral("user")).toObject();
    QCOMPARE(user.value(QStringLiteral("UserName")).toInteger(), Teacher1.toLongLong());
    const QJsonObject login =
        call(Operation::Login, {{"userName", Teacher1}, {"password", Password}});
    QCOMPARE(user.value(QStringLiteral("BookCollectionNum")).toInteger(),
             login.value(QStringLiteral("collectionNum")).toInteger());
}

void tst_Accounts::changeClassAddSwapRemove() {
    // Adding asks for approval: the class leaves the picker but not yet the teacher's list.
    const qint64 wanted = freeClass();
    QJsonObject answer = changeClass(3, 0, 0, wanted);
    QCOMPARE(resultOf(answer), 1);
    QVERIFY(!msgOf(answer).isEmpty()); // the screen always shows it
    QCOMPARE(approvalExists(wanted), 1);
    QVERIFY(teacherClassIds(3).isEmpty());
    QCOMPARE(msgOf(changeClass(1, 0, 0, wanted)), QStringLiteral("该班级正在审核中"));

    // Removing frees the class at once.
    const QList<qint64> own = teacherClassIds(1);
    QCOMPARE(resultOf(changeClass(1, 2, own.last(), 0)), 1);
    QCOMPARE(teacherClassIds(1), own.first(2));
    QCOMPARE(integer(classWithId(own.last()), "TeacherIsExists"), 0);
    QCOMPARE(approvalExists(own.last()), 0);

    // Swapping asks for the new class and keeps the old one, not to be swapped again, until the
    // approval takes it.
    const qint64 other = freeClass();
    QCOMPARE(resultOf(changeClass(1, 1, own.at(1), other)), 1);
    QCOMPARE(teacherClassIds(1), own.first(2));
    QCOMPARE(approvalExists(other), 1);
    QCOMPARE(msgOf(changeClass(1, 1, own.at(1), freeClass())),
             QStringLiteral("该班级的更换正在审核中"));
    m_client->service().approvePendingClassRequests();
    QCOMPARE(teacherClassIds(1), (QList<qint64>{other, own.first()}));
}

// --approve-after: an added class and the new class of a swap reach the teacher's list once the
// delay is over, not before; without the option they stay pending.
void tst_Accounts::requestsApprovedAfterTheDelay_data() {
    QTest::addColumn<int>("delaySeconds"); // -1: no approvals
    QTest::addColumn<int>("elapsedSeconds");
    QTest::addColumn<bool>("approved");
    QTest::newRow("never") << -1 << 30 * 24 * 3600 << false;
    QTest::newRow("at once") << 0 << 0 << true;
    QTest::newRow("before the delay") << 60 << 59 << false;
    QTest::newRow("when due") << 60 << 60 << true;
}

void tst_Accounts::requestsApprovedAfterTheDelay() {
    QFETCH(int, delaySeconds);
    QFETCH(int, elapsedSeconds);
    QFETCH(bool, approved);
    if (delaySeconds >= 0)
        m_client->service().context().approveClassRequestsAfterMs = delaySeconds * 1000LL;
    const qint64 added = freeClass();
    const qint64 swapped = freeClass(1);
    const QList<qint64> own = teacherClassIds(1);
    QCOMPARE(resultOf(changeClass(3, 0, 0, added)), 1);
    QCOMPARE(resultOf(changeClass(1, 1, own.first(), swapped)), 1);

    m_now = m_now.addSecs(elapsedSeconds);
    QCOMPARE(teacherClassIds(3).contains(added), approved);
    QCOMPARE(teacherClassIds(1).contains(swapped), approved);
    QCOMPARE(approvalExists(added), !approved);
}

// --approve-pending approves every request at once, except one whose class got a teacher by
// other means meanwhile: that one is dropped, never a second teacher.
void tst_Accounts::approvingPendingDropsRequestsForTakenClasses() {
    const qint64 taken = freeClass();
    const qint64 free = freeClass(1);
    for (qint64 wanted : {taken, free})
        QCOMPARE(resultOf(changeClass(3, 0, 0, wanted)), 1);
    ServiceDatabase::run(m_client->service().context().db,
                         QStringLiteral("INSERT INTO teacher_classes(teacher_id, class_id, "
                                        "approved) VALUES(4, ?, 1)"),
                         {taken});
    QString error;
    // The free class and the demo data's own pending request.
    QCOMPARE(m_client->service().approvePendingClassRequests(&error), 2);
    QCOMPARE(teacherClassIds(3), QList<qint64>{free});
    QCOMPARE(teacherClassIds(4).contains(taken), true);
    QCOMPARE(approvalExists(taken), 0);
    QCOMPARE(m_client->service().approvePendingClassRequests(&error), 0);
}

void tst_Accounts::photoUpload_data() {
    QTest::addColumn<QString>("data");
    QTest::addColumn<QString>("message");

    QTest::newRow("jpeg") << encodedImage(QSize(200, 200), "JPEG") << "";
    QTest::newRow("broken image stored")
        << encodedImage(QSize(200, 200), "JPEG").left(64) << "图片数据无效";
    QTest::newRow("too many pixels") << encodedImage(QSize(4097, 2), "PNG") << "图片太大";
}

void tst_Accounts::photoUpload() {
    QFETCH(QString, data);
    QFETCH(QString, message);
    const QJsonObject answer = call(Operation::PhotoUpdate, {{"uid", "1"}, {"imagedata", data}});
    QCOMPARE(msgOf(answer), message);
    QCOMPARE(resultOf(answer), message.isEmpty() ? 1 : 0);
    if (!message.isEmpty())
        return;
    QByteArray type;
    const QUrl url(answer.value(QStringLiteral("photo")).toString());
    const QImage served = QImage::fromData(m_client->get(url.path().mid(1), nullptr, &type));
    QCOMPARE(type, QByteArray("image/jpeg"));
    QCOMPARE(served.size(), QSize(200, 200));
}

QTEST_MAIN(tst_Accounts)
#include "tst_Accounts.moc"
