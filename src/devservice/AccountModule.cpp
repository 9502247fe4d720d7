#include "AccountModule.h"

#include "DemoImages.h"
#include "DemoPeople.h"
#include "RequestReader.h"
#include "RowRecords.h"
#include "SchoolWords.h"
#include "ServiceDatabase.h"
#include "ServiceHandlers.h"
#include "ServiceLog.h"
#include "records/AccountRecords.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QJsonArray>
#include <QMutex>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QSqlQuery>

using DB = ServiceDatabase;

namespace {

// Verification code purposes, as stored.
enum CodePurpose : qint64 { BindCode = 0, ChangeCode = 1, ForgotCode = 7 };

const QString WrongCode = QStringLiteral("验证码错误或已过期");
const QString NumberTaken = QStringLiteral("该手机号已被绑定");
const QString AlreadyBound = QStringLiteral("该账号已绑定手机号");

qint64 nowMs(const ServiceContext &context) {
    return context.now().toMSecsSinceEpoch();
}

bool isMobileNumber(const QString &text) {
    static const QRegularExpression rule(QStringLiteral("^1[0-9]{10}$"));
    return rule.match(text).hasMatch();
}

void requireMobileNumber(const QString &text) {
    if (!isMobileNumber(text))
        RequestReader::refuse(QStringLiteral("请输入正确的手机号"));
}

void checkPasswordRule(const QString &password) {
    if (password.size() < 6 || password.size() > 20)
        RequestReader::refuse(QStringLiteral("请输入6-20位密码"));
}

// True when another account already signs in with the number or has it bound.
bool numberTakenByOther(const QSqlDatabase &db, const QString &number, qint64 userId) {
    return DB::scalar(
               db,
               QStringLiteral("SELECT id FROM users WHERE id <> ? AND (user_name = ? OR "
                              "(user_type = 1 AND mobile = ? AND mobile_bound = 1)) LIMIT 1"),
               {userId, number, number})
        .has_value();
}

QString newCode(const ServiceContext &context) {
    if (context.fixedVerificationCode)
        return *context.fixedVerificationCode;
    return QStringLiteral("%1").arg(QRandomGenerator::system()->bounded(1000000), 6, 10,
                                    QChar(u'0'));
}

constexpr qint64 DayMs = 24 * 60 * 60 * 1000;

// Refuses a new code while the number or the account had one within the interval, or already
// had the day's allowance.
void requireCodeAllowance(ServiceContext &context, qint64 userId, const QString &mobile) {
    const CodeLimits &limits = context.codeLimits;
    const qint64 now = nowMs(context);
    for (const auto &[column, value] :
         {std::pair<QString, QVariant>(QStringLiteral("mobile"), mobile),
          {QStringLiteral("user_id"), userId}}) {
        QSqlQuery row = DB::run(context.db,
                                QStringLiteral("SELECT COUNT(*), MAX(issued_at) FROM "
                                               "verification_codes WHERE %1 = ? AND issued_at > ?")
                                    .arg(column),
                                {value, now - DayMs});
        row.next();
        if (row.value(0).toLongLong() > 0 && row.value(1).toLongLong() > now - limits.intervalMs)
            RequestReader::refuse(QStringLiteral("验证码发送过于频繁，请稍后再试"));
        if (row.value(0).toLongLong() >= limits.perDay)
            RequestReader::refuse(QStringLiteral("今日获取验证码次数已达上限，请明天再试"));
    }
}

void issueCode(ServiceContext &context, qint64 userId, const QString &mobile, CodePurpose purpose) {
    const qint64 now = nowMs(context);
    // Codes older than a day count for no limit: dropping them keeps every count above small.
    DB::run(context.db, QStringLiteral("DELETE FROM verification_codes WHERE issued_at <= ?"),
            {now - DayMs});
    requireCodeAllowance(context, userId, mobile);
    // A new code replaces every earlier one of the same purpose.
    DB::run(
        context.db,
        QStringLiteral("UPDATE verification_codes SET used = 1 WHERE user_id = ? AND purpose = ? "
                       "AND used = 0"),
        {userId, qint64(purpose)});
    const QString code = newCode(context);
    DB::run(
        context.db,
        QStringLiteral("INSERT INTO verification_codes(user_id, mobile, purpose, code, issued_at, "
                       "expires_at) VALUES(?, ?, ?, ?, ?, ?)"),
        {userId, mobile, qint64(purpose), code, now, now + AccountModule::CodeLifetimeMs});
    // No text messages leave this service: the log is where a developer reads the code.
    qCInfo(lcReadingService).noquote() << "verification code" << code << "for user" << userId
                                       << "at" << mobile << "purpose" << qint64(purpose);
}

// Checks the latest live code of the purpose. A wrong code counts as a try and is written
// even though the answer is a refusal, so the caller must return (not throw) the refusal.
// Gives the code's row id when it matches.
std::optional<qint64> checkCode(ServiceContext &context, qint64 userId, const QString &mobile,
                                CodePurpose purpose, const QString &code, QString *refusal) {
    QSqlQuery row = DB::run(context.db,
                            QStringLiteral("SELECT id, mobile, code, expires_at, failed_attempts "
                                           "FROM verification_codes WHERE user_id = ? AND "
                                           "purpose = ? AND used = 0 AND confirmed_at IS NULL "
                                           "ORDER BY id DESC LIMIT 1"),
                            {userId, qint64(purpose)});
    *refusal = WrongCode;
    if (!row.next())
        return std::nullopt;
    const qint64 id = row.value(0).toLongLong();
    if (row.value(3).toLongLong() < nowMs(context)) {
        DB::run(context.db, QStringLiteral("UPDATE verification_codes SET used = 1 WHERE id = ?"),
                {id});
        return std::nullopt;
    }
    if (row.value(1).toString() != mobile) {
        *refusal = QStringLiteral("手机号与接收验证码的号码不一致");
        return std::nullopt;
    }
    // Wrong tries add up per number over every code of the day: asking for a new code does not
    // buy new guesses.
    const qint64 wrongToday =
        DB::scalar(context.db,
                   QStringLiteral("SELECT COALESCE(SUM(failed_attempts), 0) FROM "
                                  "verification_codes WHERE mobile = ? AND issued_at > ?"),
                   {mobile, nowMs(context) - DayMs})
            ->toLongLong();
    if (wrongToday >= context.codeLimits.wrongTriesPerDay) {
        *refusal = QStringLiteral("验证码错误次数过多，请明天再试");
        return std::nullopt;
    }
    if (row.value(2).toString() != code) {
        const int attempts = row.value(4).toInt() + 1;
        DB::run(context.db,
                QStringLiteral(
                    "UPDATE verification_codes SET failed_attempts = ?, used = ? WHERE id = ?"),
                {attempts, attempts >= AccountModule::CodeAttempts ? 1 : 0, id});
        return std::nullopt;
    }
    refusal->clear();
    return id;
}

struct Teacher {
    qint64 id = 0;
    QString userName;
    QString password;
    QString realName;
    QString mobile;
    bool mobileBound = false;
    qint64 schoolId = 0;
    qint64 sex = 0;
    QString email;
    qint64 createdAt = 0;
};

std::optional<Teacher> teacherWhere(const QSqlDatabase &db, const QString &condition,
                                    const QVariantList &values) {
    QSqlQuery row = DB::run(db,
                            QStringLiteral("SELECT id, user_name, password, real_name, mobile, "
                                           "mobile_bound, school_id, sex, email, created_at FROM "
                                           "users WHERE user_type = 1 AND ") +
                                condition + QStringLiteral(" LIMIT 1"),
                            values);
    if (!row.next())
        return std::nullopt;
    Teacher t;
    RowRecords::read(row, t.id, t.userName, t.password, t.realName, t.mobile, t.mobileBound,
                     t.schoolId, t.sex, t.email, t.createdAt);
    return t;
}

Teacher teacherOrRefuse(const QSqlDatabase &db, qint64 uid) {
    std::optional<Teacher> teacher = teacherWhere(db, QStringLiteral("id = ?"), {uid});
    if (!teacher)
        RequestReader::refuse(QStringLiteral("教师账号不存在"));
    return *teacher;
}

struct Place {
    qint64 provinceId = 0, cityId = 0, areaId = 0;
    QString provinceName, cityName, areaName, schoolName;
};

Place placeOfSchool(const QSqlDatabase &db, qint64 schoolId) {
    Place place;
    QSqlQuery row =
        DB::run(db,
                QStringLiteral("SELECT p.id, p.name, c.id, c.name, a.id, a.name, s.name "
                               "FROM schools s JOIN areas a ON a.id = s.area_id "
                               "JOIN cities c ON c.id = a.city_id "
                               "JOIN provinces p ON p.id = c.province_id WHERE s.id = ?"),
                {schoolId});
    if (row.next())
        RowRecords::read(row, place.provinceId, place.provinceName, place.cityId, place.cityName,
                         place.areaId, place.areaName, place.schoolName);
    return place;
}

// A class as the profile and the class picker list it.
SelectClassModel selectClassModel(const QSqlQuery &row) {
    // columns: id, grade_id, name, has_teacher, has_request
    SelectClassModel model;
    bool hasTeacher = false;
    bool hasRequest = false;
    RowRecords::read(row, model.ClassId, model.GradeId, model.ClassName, hasTeacher, hasRequest);
    model.gradeId = model.GradeId;
    model.GradeName = SchoolWords::gradeName(model.GradeId);
    model.TeacherIsExists = hasTeacher ? 1 : 0;
    model.ApprovalExists = hasRequest ? 1 : 0;
    return model;
}

const QString ClassColumns = QStringLiteral(
    "c.id, c.grade_id, c.name, "
    "EXISTS(SELECT 1 FROM teacher_classes t WHERE t.class_id = c.id AND t.approved = 1), "
    "EXISTS(SELECT 1 FROM teacher_classes t WHERE t.class_id = c.id AND t.approved = 0)");

RecordArray<SelectClassModel> teacherClasses(const QSqlDatabase &db, qint64 teacherId) {
    QSqlQuery rows =
        DB::run(db,
                QStringLiteral("SELECT ") + ClassColumns +
                    QStringLiteral(" FROM classes c JOIN teacher_classes tc ON "
                                   "tc.class_id = c.id WHERE tc.teacher_id = ? AND "
                                   "tc.approved = 1 ORDER BY c.grade_id, c.name, c.id"),
                {teacherId});
    return RowRecords::collect(rows, selectClassModel);
}

qint64 collectionCount(const QSqlDatabase &db, qint64 userId) {
    return DB::scalar(db, QStringLiteral("SELECT COUNT(*) FROM book_collections WHERE user_id = ?"),
                      {userId})
        .value_or(QVariant(0))
        .toLongLong();
}

QJsonObject withoutKeys(QJsonObject object, std::initializer_list<const char *> keys) {
    for (const char *key : keys)
        object.remove(QLatin1String(key));
    return object;
}

// ---- operations ----

ServiceAnswer teacherLogin(ServiceContext &context, const FormFields &fields) {
    const RequestReader in(fields);
    const QString userName = in.text(QStringLiteral("userName"));
    const QString password = in.text(QStringLiteral("password"));
    if (userName.isEmpty())
        RequestReader::refuse(QStringLiteral("请输入用户名"));
    if (password.isEmpty())
        RequestReader::refuse(QStringLiteral("请输入密码"));
    const QSqlDatabase &db = context.db;
    const auto kind = DB::scalar(
        db, QStringLiteral("SELECT user_type FROM users WHERE user_name = ?"), {userName});
    if (!kind)
        return ServiceAnswer::refuse(QStringLiteral("该手机号未注册"));
    if (kind->toLongLong() != 1)
        return ServiceAnswer::refuse(QStringLiteral("该账号不是教师账号"));
    const Teacher teacher = *teacherWhere(db, QStringLiteral("user_name = ?"), {userName});
    if (!AccountModule::passwordMatches(teacher.password, password))
        return ServiceAnswer::refuse(QStringLiteral("密码错误"));

    LoginRsp answer;
    answer.uid = teacher.id;
    if (!teacher.mobileBound) {
        // The client keeps only uid and opens the binding screen.
        QJsonObject binding;
        binding.insert(QStringLiteral("uid"), teacher.id);
        return ServiceAnswer::withResult(2, QStringLiteral("请先绑定手机号"), binding);
    }

    const Place place = placeOfSchool(db, teacher.schoolId);
    const RecordArray<SelectClassModel> classes = teacherClasses(db, teacher.id);
    QJsonArray classList;
    QStringList classNames;
    for (const SelectClassModel &c : classes) {
        const QString name = *c.GradeName + *c.ClassName;
        classNames.append(name);
        classList.append(QJsonObject{{QStringLiteral("ClassId"), c.ClassId},
                                     {QStringLiteral("ClassName"), name}});
    }
    answer.photo = AccountModule::teacherPhotoUrl(context, teacher.id);
    answer.classList = classList;
    answer.collectionNum = collectionCount(db, teacher.id);

    UserInfo user;
    user.ProvinceId = place.provinceId;
    user.ProvinceName = place.provinceName;
    user.CityId = place.cityId;
    user.CityName = place.cityName;
    user.AreaId = place.areaId;
    user.AreaName = place.areaName;
    user.AtSchool = 1;
    user.CensusRegister = place.provinceName + place.cityName;
    user.ClassId = classes.isEmpty() ? 0 : classes.first().ClassId;
    user.ClassName = classNames.isEmpty() ? QString() : classNames.first();
    user.ClassNames = classNames.join(u',');
    user.Country = QStringLiteral("中国");
    user.CreateTime = SchoolWords::timeText(teacher.createdAt);
    user.Email = teacher.email;
    user.Photo = answer.photo;
    user.EntityId = teacher.schoolId;
    user.Grade = classes.isEmpty() ? 0 : classes.first().GradeId;
    user.Mobile = teacher.mobile.toLongLong(); // digits only: checked when it was bound
    user.RealName = teacher.realName;
    user.SchoolId = teacher.schoolId;
    user.SchoolName = place.schoolName;
    user.Sex = teacher.sex;
    user.UserType = 1;
    user.UserName = teacher.userName;
    user.UserId = teacher.id;
    user.Status = 1;
    answer.user = user;
    // isLogin is the client's own flag; the password never leaves the service.
    return ServiceAnswer::ok(withoutKeys(KeyValueMapping::toJsonObject(answer), {"isLogin"}));
}

// Binding is for an account without a number, a change for one that has one: neither flow may
// stand in for the other.
void requireBindingState(const Teacher &teacher, bool bound) {
    if (teacher.mobileBound && !bound)
        RequestReader::refuse(AlreadyBound);
    if (!teacher.mobileBound && bound)
        RequestReader::refuse(QStringLiteral("请先绑定手机号"));
}

ServiceAnswer sendVerification(ServiceContext &context, const FormFields &fields) {
    const RequestReader in(fields);
    const qint64 uid = in.integer(QStringLiteral("uid"));
    const QString mobile = in.text(QStringLiteral("mobile"));
    const qint64 type = in.integer(QStringLiteral("type"));
    in.integerOr(QStringLiteral("stuType"), 1);
    if (type != 0 && type != 1)
        RequestReader::refuse(QStringLiteral("验证码类型错误"));
    const Teacher teacher = teacherOrRefuse(context.db, uid);
    requireMobileNumber(mobile);
    requireBindingState(teacher, type == 1);
    if (type == 1 && teacher.mobileBound && teacher.mobile == mobile)
        RequestReader::refuse(NumberTaken);
    if (numberTakenByOther(context.db, mobile, uid))
        RequestReader::refuse(NumberTaken);
    issueCode(context, uid, mobile, type == 0 ? BindCode : ChangeCode);
    return ServiceAnswer::ok();
}

ServiceAnswer passwordForget(ServiceContext &context, const FormFields &fields) {
    const RequestReader in(fields);
    const QString mobile = in.text(QStringLiteral("mobile"));
    in.integerOr(QStringLiteral("type"), 1);
    requireMobileNumber(mobile);
    const std::optional<Teacher> teacher = teacherWhere(
        context.db, QStringLiteral("(user_name = ? OR (mobile = ? AND mobile_bound = 1))"),
        {mobile, mobile});
    if (!teacher)
        return ServiceAnswer::refuse(QStringLiteral("该手机号未注册"));
    issueCode(context, teacher->id, mobile, ForgotCode);
    GetPasswordForgetRsp answer;
    answer.uid = teacher->id;
    return ServiceAnswer::ok(KeyValueMapping::toJsonObject(answer));
}

ServiceAnswer confirmVerification(ServiceContext &context, const FormFields &fields) {
    const RequestReader in(fields);
    const qint64 uid = in.integer(QStringLiteral("uid"));
    const QString code = in.text(QStringLiteral("code"));
    const QString mobile = in.text(QStringLiteral("mobile"));
    const qint64 type = in.integer(QStringLiteral("type"));
    in.integerOr(QStringLiteral("stuType"), 1);
    if (type != 6 && type != 7)
        RequestReader::refuse(QStringLiteral("验证码类型错误"));
    if (uid == 0 && type == 7)
        RequestReader::refuse(QStringLiteral("请先获取验证码"));
    const Teacher teacher = teacherOrRefuse(context.db, uid);
    if (code.isEmpty())
        RequestReader::refuse(QStringLiteral("请输入验证码"));

    QString refusal;
    const std::optional<qint64> codeId =
        checkCode(context, uid, mobile, type == 6 ? BindCode : ForgotCode, code, &refusal);
    if (!codeId)
        return ServiceAnswer::refuse(refusal);

    const qint64 now = nowMs(context);
    if (type == 6) {
        requireBindingState(teacher, false);
        // Checked again: another account may have taken the number since the code was sent.
        if (numberTakenByOther(context.db, mobile, uid))
            RequestReader::refuse(NumberTaken);
        DB::run(
            context.db,
            QStringLiteral("UPDATE verification_codes SET used = 1, confirmed_at = ? WHERE id = ?"),
            {now, *codeId});
        DB::run(context.db,
                QStringLiteral("UPDATE users SET mobile = ?, mobile_bound = 1 WHERE id = ?"),
                {mobile, uid});
    } else {
        // Left unused: the password reset that follows spends it.
        DB::run(context.db,
                QStringLiteral("UPDATE verification_codes SET confirmed_at = ? WHERE id = ?"),
                {now, *codeId});
    }
    return ServiceAnswer::ok();
}

ServiceAnswer changeMobile(ServiceContext &context, const FormFields &fields) {
    const RequestReader in(fields);
    const qint64 uid = in.integer(QStringLiteral("uid"));
    const QString code = in.text(QStringLiteral("code"));
    const QString mobile = in.text(QStringLiteral("mobile"));
    in.integerOr(QStringLiteral("stuType"), 1);
    const Teacher teacher = teacherOrRefuse(context.db, uid);
    requireMobileNumber(mobile);
    if (code.isEmpty())
        RequestReader::refuse(QStringLiteral("请输入验证码"));
    requireBindingState(teacher, true);
    if (teacher.mobileBound && teacher.mobile == mobile)
        RequestReader::refuse(NumberTaken);
    QString refusal;
    const std::optional<qint64> codeId =
        checkCode(context, uid, mobile, ChangeCode, code, &refusal);
    if (!codeId)
        return ServiceAnswer::refuse(refusal);
    if (numberTakenByOther(context.db, mobile, uid))
        RequestReader::refuse(NumberTaken);
    DB::run(context.db,
            QStringLiteral("UPDATE verification_codes SET used = 1, confirmed_at = ? WHERE id = ?"),
            {nowMs(context), *codeId});
    // The mobile number is the user name: the teacher signs in with the new one from now on.
    DB::run(
        context.db,
        QStringLiteral("UPDATE users SET user_name = ?, mobile = ?, mobile_bound = 1 WHERE id = ?"),
        {mobile, mobile, uid});
    ChangeMobileRsp answer;
    answer.mobile = mobile;
    return ServiceAnswer::ok(KeyValueMapping::toJsonObject(answer));
}

ServiceAnswer setNewPassword(ServiceContext &context, const FormFields &fields) {
    const RequestReader in(fields);
    const qint64 uid = in.integer(QStringLiteral("uid"));
    const qint64 type = in.integer(QStringLiteral("type"));
    const QString newPassword = in.text(QStringLiteral("NEWPassword"));
    if (type != 0 && type != 1)
        RequestReader::refuse(QStringLiteral("参数错误：type"));
    const Teacher teacher = teacherOrRefuse(context.db, uid);
    checkPasswordRule(newPassword);
    const qint64 now = nowMs(context);
    if (type == 0) {
        const auto codeId = DB::scalar(
            context.db,
            QStringLiteral(
                "SELECT id FROM verification_codes WHERE user_id = ? AND purpose = ? AND "
                "used = 0 AND confirmed_at IS NOT NULL AND confirmed_at >= ? "
                "ORDER BY id DESC LIMIT 1"),
            {uid, qint64(ForgotCode), now - AccountModule::ResetWindowMs});
        if (!codeId)
            RequestReader::refuse(QStringLiteral("请先验证手机号"));
        DB::run(context.db, QStringLiteral("UPDATE verification_codes SET used = 1 WHERE id = ?"),
                {codeId->toLongLong()});
    } else {
        const QString oldPassword = in.text(QStringLiteral("oldPassword"));
        if (!AccountModule::passwordMatches(teacher.password, oldPassword))
            RequestReader::refuse(QStringLiteral("原密码错误"));
    }
    DB::run(context.db, QStringLiteral("UPDATE users SET password = ? WHERE id = ?"),
            {AccountModule::hashPassword(newPassword), uid});
    return ServiceAnswer::ok();
}

ServiceAnswer getTeacherInfo(ServiceContext &context, const FormFields &fields) {
    const RequestReader in(fields);
    const Teacher teacher = teacherOrRefuse(context.db, in.integer(QStringLiteral("uid")));
    const Place place = placeOfSchool(context.db, teacher.schoolId);
    const RecordArray<SelectClassModel> classes = teacherClasses(context.db, teacher.id);

    GetTeacherInfoRsp answer;
    answer.photo = AccountModule::teacherPhotoUrl(context, teacher.id);
    answer.location = place.provinceName + place.cityName + place.areaName;
    answer.classList = classes;
    UserDetailInfo user;
    user.AreaName = place.areaName;
    user.BookCollectionNum = collectionCount(context.db, teacher.id);
    user.CityName = place.cityName;
    user.ClassName =
        classes.isEmpty() ? QString() : *classes.first().GradeName + *classes.first().ClassName;
    user.RealName = teacher.realName;
    user.SchoolName = place.schoolName;
    user.TeacherName = teacher.realName;
    user.Photo = answer.photo;
    user.EntityId = teacher.schoolId;
    user.Grade = classes.isEmpty() ? 0 : classes.first().GradeId;
    user.Sex = teacher.sex;
    user.UserName = teacher.userName.toLongLong();
    user.UserId = teacher.id;
    answer.user = user;
    return ServiceAnswer::ok(KeyValueMapping::toJsonObject(answer));
}

ServiceAnswer selectClassForTeacher(ServiceContext &context, const FormFields &fields) {
    const RequestReader in(fields);
    const qint64 schoolId = in.integer(QStringLiteral("schoolId"));
    const qint64 grade = in.integerOr(QStringLiteral("grade"), 0);
    if (!DB::scalar(context.db, QStringLiteral("SELECT id FROM schools WHERE id = ?"), {schoolId}))
        RequestReader::refuse(QStringLiteral("学校不存在"));
    QSqlQuery rows = DB::run(context.db,
                             QStringLiteral("SELECT ") + ClassColumns +
                                 QStringLiteral(" FROM classes c WHERE c.school_id = ? AND "
                                                "(? = 0 OR c.grade_id = ?) "
                                                "ORDER BY c.grade_id, c.name, c.id"),
                             {schoolId, grade, grade});
    SelectClassForTeacherRsp answer;
    answer.classList = RowRecords::collect(rows, selectClassModel);
    return ServiceAnswer::ok(KeyValueMapping::toJsonObject(answer));
}

ServiceAnswer changeClassForTeacher(ServiceContext &context, const FormFields &fields) {
    const RequestReader in(fields);
    const qint64 uid = in.integer(QStringLiteral("uid"));
    const qint64 type = in.integer(QStringLiteral("type"));
    const qint64 newClassId = in.integerOr(QStringLiteral("newClassId"), 0);
    const qint64 oldClassId = in.integerOr(QStringLiteral("classId"), 0);
    if (type < 0 || type > 2)
        RequestReader::refuse(QStringLiteral("参数错误：type"));
    const Teacher teacher = teacherOrRefuse(context.db, uid);
    const QSqlDatabase &db = context.db;
    const qint64 now = nowMs(context);

    auto requireOwnClass = [&] {
        if (!DB::scalar(db,
                        QStringLiteral("SELECT 1 FROM teacher_classes WHERE teacher_id = ? AND "
                                       "class_id = ? AND approved = 1"),
                        {uid, oldClassId}))
            RequestReader::refuse(QStringLiteral("您没有这个班级"));
    };
    // Only a class of the teacher's own school that has no teacher and no open request.
    auto requireFreeClass = [&] {
        QSqlQuery row = DB::run(db,
                                QStringLiteral("SELECT ") + ClassColumns +
                                    QStringLiteral(", c.school_id FROM classes c WHERE c.id = ?"),
                                {newClassId});
        if (!row.next())
            RequestReader::refuse(QStringLiteral("班级不存在"));
        if (row.value(5).toLongLong() != teacher.schoolId)
            RequestReader::refuse(QStringLiteral("只能选择本校的班级"));
        if (row.value(3).toLongLong())
            RequestReader::refuse(QStringLiteral("该班级已有老师"));
        if (row.value(4).toLongLong())
            RequestReader::refuse(QStringLiteral("该班级正在审核中"));
    };
    // `replaces`: the class that the approval takes away (an exchange), or null (an addition).
    auto request = [&](const QVariant &replaces) {
        DB::run(db,
                QStringLiteral("INSERT INTO teacher_classes(teacher_id, class_id, approved, "
                               "requested_at, replaces_class_id) VALUES(?, ?, 0, ?, ?)"),
                {uid, newClassId, now, replaces});
    };
    auto release = [&] {
        DB::run(db,
                QStringLiteral("DELETE FROM teacher_classes WHERE teacher_id = ? AND class_id = ?"),
                {uid, oldClassId});
    };

    switch (type) {
    case 0:
        requireFreeClass();
        request(QVariant());
        return ServiceAnswer::withResult(1, QStringLiteral("申请已提交，请等待学校审核"));
    case 1:
        requireOwnClass();
        if (newClassId == oldClassId)
            RequestReader::refuse(QStringLiteral("请选择其他班级"));
        requireFreeClass();
        if (DB::scalar(db,
                       QStringLiteral("SELECT 1 FROM teacher_classes WHERE teacher_id = ? AND "
                                      "replaces_class_id = ? AND approved = 0"),
                       {uid, oldClassId}))
            RequestReader::refuse(QStringLiteral("该班级的更换正在审核中"));
        // The new class waits for the school's approval like any addition, and the old one
        // stays the teacher's until then: a refused exchange leaves the pupils their teacher.
        request(oldClassId);
        return ServiceAnswer::withResult(1, QStringLiteral("更换申请已提交，请等待学校审核"));
    default:
        requireOwnClass();
        release();
        return ServiceAnswer::withResult(1, QStringLiteral("班级已删除"));
    }
}

ServiceAnswer photoUpdate(ServiceContext &context, const FormFields &fields) {
    const RequestReader in(fields);
    const qint64 uid = in.integer(QStringLiteral("uid"));
    const QString data = in.text(QStringLiteral("imagedata"));
    teacherOrRefuse(context.db, uid);
    const auto decoded =
        QByteArray::fromBase64Encoding(data.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    // toLatin1 would turn any non-Latin-1 character into '?', which Base64 rejects anyway.
    if (!decoded || decoded.decoded.isEmpty())
        RequestReader::refuse(QStringLiteral("图片数据无效"));
    QBuffer buffer;
    buffer.setData(decoded.decoded);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // The size comes from the header; the decoder may not allocate beyond what that allows,
    // should a file's data disagree with its header.
    reader.setAllocationLimit(AccountModule::MaximumPhotoSide * AccountModule::MaximumPhotoSide *
                              4 / (1024 * 1024));
    const QSize size = reader.size();
    if (!reader.canRead() || !size.isValid())
        RequestReader::refuse(QStringLiteral("图片数据无效"));
    if (size.width() > AccountModule::MaximumPhotoSide ||
        size.height() > AccountModule::MaximumPhotoSide)
        RequestReader::refuse(QStringLiteral("图片太大"));
    const QByteArray format = reader.format();
    const QImage image = reader.read();
    if (image.isNull())
        RequestReader::refuse(QStringLiteral("图片数据无效"));
    QByteArray jpeg = decoded.decoded;
    if (format != "jpeg" && format != "jpg") {
        // Served as images/teacher/<id>.jpg: keep that promise for other formats too.
        jpeg.clear();
        QBuffer out(&jpeg);
        out.open(QIODevice::WriteOnly);
        image.save(&out, "JPEG", 90);
    }
    DB::run(context.db,
            QStringLiteral("INSERT INTO teacher_photos(user_id, jpeg, version) VALUES(?, ?, 1) "
                           "ON CONFLICT(user_id) DO UPDATE SET jpeg = excluded.jpeg, "
                           "version = teacher_photos.version + 1"),
            {uid, jpeg});
    PhotoUpdateRsp answer;
    answer.photo = AccountModule::teacherPhotoUrl(context, uid);
    return ServiceAnswer::ok(KeyValueMapping::toJsonObject(answer));
}

// ---- pictures ----

// Named <id>.png.
std::optional<QByteArray> studentPhoto(ServiceContext &context,
                                       const QRegularExpressionMatch &name) {
    const qint64 id = name.captured(1).toLongLong();
    const auto realName = DB::scalar(
        context.db, QStringLiteral("SELECT real_name FROM users WHERE id = ? AND user_type = 2"),
        {id});
    if (!realName)
        return std::nullopt;
    return DemoImages::portraitPng(realName->toString(), int(id));
}

// Named <id>.jpg: the uploaded photo, else the generated portrait.
std::optional<QByteArray> teacherPhoto(ServiceContext &context,
                                       const QRegularExpressionMatch &name) {
    const qint64 id = name.captured(1).toLongLong();
    const auto realName = DB::scalar(
        context.db, QStringLiteral("SELECT real_name FROM users WHERE id = ? AND user_type = 1"),
        {id});
    if (!realName)
        return std::nullopt;
    if (const auto stored = DB::scalar(
            context.db, QStringLiteral("SELECT jpeg FROM teacher_photos WHERE user_id = ?"), {id}))
        return stored->toByteArray();

    // The generated portrait, converted once per teacher and name.
    static QMutex cacheLock;
    static QHash<QString, QByteArray> cache;
    const QString key = QString::number(id) + u'/' + realName->toString();
    QMutexLocker locker(&cacheLock);
    QByteArray &jpeg = cache[key];
    if (jpeg.isEmpty()) {
        QImage image;
        image.loadFromData(DemoImages::portraitPng(realName->toString(), int(id)), "PNG");
        QBuffer out(&jpeg);
        out.open(QIODevice::WriteOnly);
        image.convertToFormat(QImage::Format_RGB32).save(&out, "JPEG", 90);
    }
    return jpeg;
}

} // namespace

const ServiceHandler ServiceHandlers::Login = teacherLogin;
const ServiceHandler ServiceHandlers::SendVerification = sendVerification;
const ServiceHandler ServiceHandlers::ForgetVerification = passwordForget;
const ServiceHandler ServiceHandlers::ConfirmVerification = confirmVerification;
const ServiceHandler ServiceHandlers::ChangeMobile = changeMobile;
const ServiceHandler ServiceHandlers::SetNewPassword = setNewPassword;
const ServiceHandler ServiceHandlers::GetTeacherInfo = getTeacherInfo;
const ServiceHandler ServiceHandlers::SelectClassForTeacher = selectClassForTeacher;
const ServiceHandler ServiceHandlers::ChangeClassForTeacher = changeClassForTeacher;
const ServiceHandler ServiceHandlers::PhotoUpdate = photoUpdate;

// ---- public helpers ----

void AccountModule::requireTeacher(const QSqlDatabase &db, qint64 uid) {
    teacherOrRefuse(db, uid);
}

QString AccountModule::studentPhotoUrl(const ServiceContext &context, qint64 userId) {
    return context.publicBaseUrl + QStringLiteral("images/student/%1.png").arg(userId);
}

QString AccountModule::teacherPhotoUrl(const ServiceContext &context, qint64 userId) {
    const qint64 version =
        DB::scalar(context.db,
                   QStringLiteral("SELECT version FROM teacher_photos WHERE user_id = ?"), {userId})
            .value_or(QVariant(0))
            .toLongLong();
    return context.publicBaseUrl +
           QStringLiteral("images/teacher/%1.jpg?v=%2").arg(userId).arg(version);
}

QString AccountModule::hashPassword(const QString &password, const QByteArray &salt) {
    const QByteArray digest =
        QCryptographicHash::hash(salt + password.toUtf8(), QCryptographicHash::Sha256).toHex();
    return QStringLiteral("sha256:%1:%2")
        .arg(QString::fromLatin1(salt), QString::fromLatin1(digest));
}

QString AccountModule::hashPassword(const QString &password) {
    QByteArray salt(8, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(salt.data()), 2);
    return hashPassword(password, salt.toHex());
}

bool AccountModule::passwordMatches(const QString &stored, const QString &password) {
    const QStringList parts = stored.split(u':');
    if (parts.size() != 3 || parts.at(0) != QStringLiteral("sha256"))
        return false;
    return hashPassword(password, parts.at(1).toLatin1()) == stored;
}

// ---- module ----

void AccountModule::migrate(QSqlDatabase &db) {
    const int version = DB::schemaVersion(db, name());
    if (version < 1) {
        DB::script(db, QStringLiteral(R"(
CREATE TABLE provinces(id INTEGER PRIMARY KEY, name TEXT NOT NULL);
CREATE TABLE cities(id INTEGER PRIMARY KEY, province_id INTEGER NOT NULL REFERENCES provinces(id),
    name TEXT NOT NULL);
CREATE TABLE areas(id INTEGER PRIMARY KEY, city_id INTEGER NOT NULL REFERENCES cities(id),
    name TEXT NOT NULL);
CREATE TABLE schools(id INTEGER PRIMARY KEY, area_id INTEGER NOT NULL REFERENCES areas(id),
    name TEXT NOT NULL);
CREATE TABLE classes(id INTEGER PRIMARY KEY, school_id INTEGER NOT NULL REFERENCES schools(id),
    grade_id INTEGER NOT NULL, name TEXT NOT NULL);
CREATE INDEX classes_school ON classes(school_id, grade_id);
CREATE TABLE users(id INTEGER PRIMARY KEY, user_name TEXT UNIQUE, password TEXT,
    real_name TEXT NOT NULL, name_pinyin TEXT, user_type INTEGER NOT NULL, mobile TEXT,
    mobile_bound INTEGER NOT NULL DEFAULT 1, school_id INTEGER REFERENCES schools(id),
    class_id INTEGER REFERENCES classes(id), sex INTEGER NOT NULL DEFAULT 0,
    flower_number INTEGER NOT NULL DEFAULT 0, email TEXT, created_at INTEGER NOT NULL DEFAULT 0);
CREATE INDEX users_class ON users(class_id);
CREATE TABLE teacher_classes(teacher_id INTEGER NOT NULL REFERENCES users(id),
    class_id INTEGER NOT NULL REFERENCES classes(id), approved INTEGER NOT NULL,
    requested_at INTEGER NOT NULL DEFAULT 0, PRIMARY KEY(teacher_id, class_id));
CREATE INDEX teacher_classes_class ON teacher_classes(class_id);
CREATE TABLE verification_codes(id INTEGER PRIMARY KEY, user_id INTEGER NOT NULL REFERENCES users(id),
    mobile TEXT NOT NULL, purpose INTEGER NOT NULL, code TEXT NOT NULL, issued_at INTEGER NOT NULL,
    expires_at INTEGER NOT NULL, failed_attempts INTEGER NOT NULL DEFAULT 0, confirmed_at INTEGER,
    used INTEGER NOT NULL DEFAULT 0);
CREATE INDEX verification_codes_user ON verification_codes(user_id, purpose);
CREATE TABLE teacher_photos(user_id INTEGER PRIMARY KEY REFERENCES users(id), jpeg BLOB NOT NULL,
    version INTEGER NOT NULL)
)"));
        DB::setSchemaVersion(db, name(), 1);
    }
    if (version < 2) {
        // The issuing limits count a day of codes by number and by account; the purge finds
        // old codes by time.
        DB::script(db, QStringLiteral(R"(
CREATE INDEX verification_codes_mobile ON verification_codes(mobile, issued_at);
CREATE INDEX verification_codes_issued ON verification_codes(issued_at)
)"));
        DB::setSchemaVersion(db, name(), 2);
    }
    if (version < 3) {
        // An exchange keeps the old class until the new one is approved.
        DB::run(db, QStringLiteral("ALTER TABLE teacher_classes ADD COLUMN replaces_class_id "
                                   "INTEGER REFERENCES classes(id)"));
        DB::setSchemaVersion(db, name(), 3);
    }
}

void AccountModule::seed(ServiceContext &context) {
    const QSqlDatabase &db = context.db;
    QRandomGenerator random(20240901);
    const qint64 created = context.now().addYears(-1).toMSecsSinceEpoch();

    DB::run(db, QStringLiteral("INSERT INTO provinces(id, name) VALUES(1, '浙江省')"));
    // A school's name without its area: the screens show the area beside it.
    DB::script(
        db,
        QStringLiteral(
            "INSERT INTO cities(id, province_id, name) VALUES(1, 1, '杭州市'), (2, 1, '宁波市'), "
            "(3, 1, '温州市');"
            "INSERT INTO areas(id, city_id, name) VALUES(1, 1, '西湖区'), (2, 1, '拱墅区'), "
            "(3, 1, '滨江区'), (4, 2, '海曙区'), (5, 2, '鄞州区'), (6, 3, '鹿城区');"
            "INSERT INTO schools(id, area_id, name) VALUES(1, 1, '晨曦小学'), "
            "(2, 1, '书香实验小学'), (3, 2, '运河小学'), (4, 3, '星辰小学'), "
            "(5, 4, '月湖小学'), (6, 5, '启航小学'), (7, 6, '江心小学')"));

    // Classes: the demo school has two classes a grade (three in grade three), the others one.
    QSqlQuery addClass =
        DB::prepare(db, QStringLiteral("INSERT INTO classes(id, school_id, grade_id, name) "
                                       "VALUES(?, ?, ?, ?)"));
    QList<std::pair<qint64, qint64>> classes; // (class id, school id)
    qint64 classId = 100;
    for (qint64 school = 1; school <= 7; ++school) {
        for (qint64 grade = 1; grade <= 6; ++grade) {
            const int count = school == 1 ? (grade == 3 ? 3 : 2) : 1;
            for (int n = 1; n <= count; ++n) {
                ++classId;
                DB::exec(addClass, {classId, school, grade, QStringLiteral("%1班").arg(n)});
                classes.append({classId, school});
            }
        }
    }
    auto classOf = [&](qint64 school, qint64 grade, int n) {
        return DB::scalar(
                   db,
                   QStringLiteral(
                       "SELECT id FROM classes WHERE school_id = ? AND grade_id = ? AND name = ?"),
                   {school, grade, QStringLiteral("%1班").arg(n)})
            ->toLongLong();
    };

    QSqlQuery addUser = DB::prepare(
        db, QStringLiteral(
                "INSERT INTO users(id, user_name, password, real_name, name_pinyin, user_type, "
                "mobile, mobile_bound, school_id, class_id, sex, email, created_at) "
                "VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    QSqlQuery assign = DB::prepare(
        db, QStringLiteral("INSERT INTO teacher_classes(teacher_id, class_id, approved, "
                           "requested_at) VALUES(?, ?, ?, ?)"));
    // Every teacher's password is 123456; one salt for the seed keeps start-up fast.
    const QString password = hashPassword(QStringLiteral("123456"), QByteArrayLiteral("5eed5a17"));
    struct DemoTeacher {
        qint64 id;
        const char *userName;
        const char16_t *name;
        bool bound;
        qint64 school;
        qint64 sex;
    };
    const DemoTeacher teachers[] = {
        {1, "13800000001", u"王丽华", true, 1, 1}, {2, "13800000002", u"李建国", false, 1, 0},
        {3, "13800000003", u"陈思远", true, 1, 0}, {4, "13900000004", u"赵敏", true, 1, 1},
        {5, "13900000005", u"孙志强", true, 1, 0}, {6, "13900000006", u"周雅琴", true, 1, 1},
        {7, "13900000007", u"吴晓燕", true, 2, 1}, {8, "13900000008", u"郑伟", true, 3, 0},
        {9, "13900000009", u"冯静", true, 4, 1},   {10, "13900000010", u"何俊峰", true, 5, 0},
        {11, "13900000011", u"林慧", true, 6, 1},  {12, "13900000012", u"高明", true, 7, 0},
    };
    for (const DemoTeacher &t : teachers) {
        const QString userName = QString::fromLatin1(t.userName);
        DB::exec(addUser,
                 {t.id, userName, password, QString::fromUtf16(t.name), QVariant(), 1,
                  t.bound ? QVariant(userName) : QVariant(), t.bound ? 1 : 0, t.school, QVariant(),
                  t.sex, QStringLiteral("teacher%1@example.com").arg(t.id), created});
    }
    // The three demo classes of 13800000001, one class for 13800000002, none for 13800000003;
    // in the demo school some classes are taken, one awaits approval, the rest are free.
    DB::exec(assign, {1, classOf(1, 3, 1), 1, created});
    DB::exec(assign, {1, classOf(1, 3, 2), 1, created});
    DB::exec(assign, {1, classOf(1, 4, 1), 1, created});
    DB::exec(assign, {2, classOf(1, 5, 1), 1, created});
    DB::exec(assign, {4, classOf(1, 3, 3), 1, created});
    DB::exec(assign, {5, classOf(1, 1, 1), 1, created});
    DB::exec(assign, {6, classOf(1, 4, 2), 0, created});
    // The other schools' classes each have a teacher, for the reports.
    for (const auto &[id, school] : std::as_const(classes)) {
        if (school != 1)
            DB::exec(assign, {5 + school, id, 1, created});
    }

    ServiceDatabase::BatchInsert pupilRows(
        db,
        QStringLiteral(
            "INSERT INTO users(id, user_name, password, real_name, name_pinyin, user_type, "
            "mobile, mobile_bound, school_id, class_id, sex, email, created_at)"),
        13);
    qint64 pupilId = 10000;
    for (const auto &[id, school] : std::as_const(classes)) {
        Q_UNUSED(school);
        const int size = 26 + random.bounded(8);
        QSet<QString> used;
        for (int i = 0; i < size; ++i) {
            const qint64 sex = random.bounded(2);
            DemoName name = DemoPeople::childName(random, sex);
            while (used.contains(name.name))
                name = DemoPeople::childName(random, sex);
            used.insert(name.name);
            ++pupilId;
            const QVariant mobile =
                random.bounded(10) < 7 ? QVariant(DemoPeople::mobileNumber(random)) : QVariant();
            pupilRows.add({pupilId, QStringLiteral("xs%1").arg(pupilId), QVariant(), name.name,
                           name.pinyin, 2, mobile, 1, school, id, sex, QVariant(), created});
        }
    }
}

void AccountModule::beforeOperation(ServiceContext &context) {
    if (context.approveClassRequestsAfterMs)
        approveClassRequests(context.db, nowMs(context) - *context.approveClassRequestsAfterMs);
}

int AccountModule::approveClassRequests(const QSqlDatabase &db, qint64 requestedUpTo) {
    QSqlQuery pending = DB::run(db,
                                QStringLiteral("SELECT teacher_id, class_id, replaces_class_id "
                                               "FROM teacher_classes "
                                               "WHERE approved = 0 AND requested_at <= ? "
                                               "ORDER BY requested_at, teacher_id, class_id"),
                                {requestedUpTo});
    QList<std::tuple<qint64, qint64, QVariant>> requests;
    while (pending.next())
        requests.append(
            {pending.value(0).toLongLong(), pending.value(1).toLongLong(), pending.value(2)});
    int approved = 0;
    for (const auto &[teacherId, classId, replaces] : std::as_const(requests)) {
        const bool taken =
            DB::scalar(db,
                       QStringLiteral("SELECT 1 FROM teacher_classes WHERE class_id = ? AND "
                                      "approved = 1"),
                       {classId})
                .has_value();
        if (taken) {
            qCInfo(lcReadingService) << "class" << classId << "has its teacher: the request of"
                                     << teacherId << "is dropped";
            DB::run(db,
                    QStringLiteral("DELETE FROM teacher_classes WHERE teacher_id = ? AND "
                                   "class_id = ? AND approved = 0"),
                    {teacherId, classId});
            continue;
        }
        DB::run(db,
                QStringLiteral("UPDATE teacher_classes SET approved = 1, replaces_class_id = NULL "
                               "WHERE teacher_id = ? AND class_id = ?"),
                {teacherId, classId});
        // An exchange gives up its old class now, if the teacher still has it.
        if (!replaces.isNull())
            DB::run(db,
                    QStringLiteral("DELETE FROM teacher_classes WHERE teacher_id = ? AND "
                                   "class_id = ? AND approved = 1"),
                    {teacherId, replaces});
        ++approved;
    }
    return approved;
}

void AccountModule::registerFiles(FileRegistry &registry) {
    registry.addFiles(QStringLiteral("images/student/"),
                      pictures(QStringLiteral("([0-9]{1,18})\\.png"), "image/png", studentPhoto));
    registry.addFiles(QStringLiteral("images/teacher/"),
                      pictures(QStringLiteral("([0-9]{1,18})\\.jpg"), "image/jpeg", teacherPhoto));
}

std::unique_ptr<ServiceModule> makeAccountModule() {
    return std::make_unique<AccountModule>();
}
