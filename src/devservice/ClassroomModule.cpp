#include "ClassroomModule.h"

#include "AccountModule.h"
#include "BookModule.h"
#include "DemoImages.h"
#include "RequestReader.h"
#include "RowRecords.h"
#include "SchoolWords.h"
#include "ServiceDatabase.h"
#include "ServiceHandlers.h"
#include "records/ContentRecords.h"

#include <QDateTime>
#include <QJsonArray>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlQuery>

#include <algorithm>

using DB = ServiceDatabase;

namespace {

QString feelPictureUrl(const ServiceContext &context, qint64 feelId, int n, bool thumbnail) {
    return context.publicBaseUrl +
           QStringLiteral("images/feel/%1_%2_%3.png")
               .arg(feelId)
               .arg(n)
               .arg(thumbnail ? QStringLiteral("thumbnail") : QStringLiteral("bmiddle"));
}

// ---- classes and pupils ----

ServiceAnswer myClassForTeacher(ServiceContext &context, const FormFields &fields) {
    const RequestReader in(fields);
    const qint64 uid = in.integer(QStringLiteral("uid"));
    AccountModule::requireTeacher(context.db, uid);
    QSqlQuery rows =
        DB::run(context.db,
                QStringLiteral("SELECT c.id, c.name, c.grade_id, (SELECT COUNT(*) FROM users u "
                               "WHERE u.class_id = c.id AND u.user_type = 2) FROM classes c "
                               "JOIN teacher_classes tc ON tc.class_id = c.id "
                               "WHERE tc.teacher_id = ? AND tc.approved = 1 "
                               "ORDER BY c.grade_id, c.name, c.id"),
                {uid});
    GetMyClassForTeacherRsp answer;
    answer.classList = RowRecords::collect(rows, [](const QSqlQuery &row) {
        MyClassListModel model;
        RowRecords::read(row, model.ClassId, model.ClassName, model.GradeId, model.StudentNum);
        // The screens write "%@年级%@": the grade's numeral alone.
        model.GradeStr = SchoolWords::gradeNumeral(model.GradeId);
        return model;
    });
    return ServiceAnswer::ok(KeyValueMapping::toJsonObject(answer));
}

ServiceAnswer myClassDetail(ServiceContext &context, const FormFields &fields) {
    const RequestReader in(fields);
    const qint64 type = in.integer(QStringLiteral("type"));
    const qint64 classId = in.integer(QStringLiteral("classId"));
    // 0: by name in pinyin order (the names' stored readings; code-point order of the name
    // for a pupil without one), 1: by level, most flowers first. Ties by user id.
    QString order;
    if (type == 0)
        order = QStringLiteral("COALESCE(u.name_pinyin, u.real_name), u.real_name, u.id");
    else if (type == 1)
        order = QStringLiteral("u.flower_number DESC, COALESCE(u.name_pinyin, u.real_name), u.id");
    else
        RequestReader::refuse(QStringLiteral("参数错误：type"));
    if (!DB::scalar(context.db, QStringLiteral("SELECT id FROM classes WHERE id = ?"), {classId}))
        RequestReader::refuse(QStringLiteral("班级不存在"));
    QSqlQuery rows =
        DB::run(context.db,
                QStringLiteral("SELECT u.id, u.real_name, u.sex, u.mobile, u.flower_number, "
                               "(SELECT COUNT(*) FROM pupil_tests t WHERE t.user_id = u.id "
                               "AND t.passed = 1) FROM users u WHERE u.class_id = ? AND "
                               "u.user_type = 2 ORDER BY ") +
                    order,
                {classId});
    GetMyClassDetailRsp answer;
    answer.list = RowRecords::collect(rows, [&](const QSqlQuery &row) {
        StudentListModel model;
        RowRecords::read(row, model.UserId, model.RealName, model.Sex, model.Mobile,
                         model.FlowerNumber, model.TestPassNum);
        model.MyTitle = SchoolWords::levelTitle(model.FlowerNumber);
        model.PhotoStr = AccountModule::studentPhotoUrl(context, model.UserId);
        return model;
    });
    return ServiceAnswer::ok(KeyValueMapping::toJsonObject(answer));
}

ServiceAnswer studentHome(ServiceContext &context, const FormFields &fields) {
    const RequestReader in(fields);
    const qint64 uid = in.integer(QStringLiteral("uid"));
    const qint64 type = in.integer(QStringLiteral("type"));
    const PageRequest page = in.page();
    if (type != 1 && type != 2)
        RequestReader::refuse(QStringLiteral("参数错误：type"));
    const QSqlDatabase &db = context.db;
    QSqlQuery pupil =
        DB::run(db,
                QStringLiteral("SELECT u.real_name, u.flower_number, c.grade_id, c.name, s.name, "
                               "a.name, ci.name, c.id FROM users u "
                               "JOIN classes c ON c.id = u.class_id "
                               "JOIN schools s ON s.id = c.school_id "
                               "JOIN areas a ON a.id = s.area_id "
                               "JOIN cities ci ON ci.id = a.city_id "
                               "WHERE u.id = ? AND u.user_type = 2"),
                {uid});
    if (!pupil.next())
        RequestReader::refuse(QStringLiteral("学生不存在"));

    StudentUseInfo user;
    user.UserId = uid;
    RowRecords::read(pupil, user.RealName, user.FlowerNumber, user.Grade, user.ClassName,
                     user.SchoolName, user.AreaName, user.CityName);
    user.GradeStr = SchoolWords::gradeName(user.Grade);
    user.MyTitle = SchoolWords::levelTitle(user.FlowerNumber);
    user.PhotoStr = AccountModule::studentPhotoUrl(context, uid);
    user.Photo = user.PhotoStr;
    user.TeacherName =
        DB::scalar(db,
                   QStringLiteral("SELECT t.real_name FROM teacher_classes tc JOIN users t ON "
                                  "t.id = tc.teacher_id WHERE tc.class_id = ? AND "
                                  "tc.approved = 1 ORDER BY t.id LIMIT 1"),
                   {pupil.value(7)})
            .value_or(QVariant(QString()))
            .toString();
    user.TestCount =
        DB::scalar(db, QStringLiteral("SELECT COUNT(*) FROM pupil_tests WHERE user_id = ?"), {uid})
            ->toLongLong();
    user.BookCollectionNum =
        DB::scalar(db, QStringLiteral("SELECT COUNT(*) FROM book_collections WHERE user_id = ?"),
                   {uid})
            ->toLongLong();

    GetStudentPersonHomeIndextRsp answer;
    answer.user = user;
    QSqlQuery rows =
        type == 1
            ? DB::run(db,
                      QStringLiteral(
                          "SELECT t.book_id, b.name, t.flowers FROM pupil_tests t JOIN books b ON "
                          "b.id = t.book_id WHERE t.user_id = ? ORDER BY t.tested_at DESC, "
                          "t.id DESC LIMIT ? OFFSET ?"),
                      {uid, page.size, page.offset()})
            : DB::run(
                  db,
                  QStringLiteral("SELECT k.book_id, b.name, b.flower_count FROM book_collections k "
                                 "JOIN books b ON b.id = k.book_id WHERE k.user_id = ? "
                                 "ORDER BY k.created_at DESC, k.book_id DESC LIMIT ? OFFSET ?"),
                  {uid, page.size, page.offset()});
    const RecordArray<StudentBookListModel> books = BookModule::pupilBooks(context, rows);
    if (type == 1)
        answer.testList = books;
    else
        answer.bookList = books;
    return ServiceAnswer::ok(KeyValueMapping::toJsonObject(answer));
}

// ---- reflections ----

QString feelTypeText(qint64 grade) {
    return SchoolWords::feelGradeText(grade).value_or(SchoolWords::waitingText());
}

ServiceAnswer feelList(ServiceContext &context, const FormFields &fields) {
    const RequestReader in(fields);
    const qint64 uid = in.integer(QStringLiteral("uid"));
    const qint64 feelType = in.integer(QStringLiteral("feelType"));
    if (feelType < 0 || feelType > 2)
        RequestReader::refuse(QStringLiteral("参数错误：feelType"));
    AccountModule::requireTeacher(context.db, uid);
    // The whole list in one answer, newest first: the screens do not page it.
    QSqlQuery rows =
        DB::run(context.db,
                QStringLiteral("SELECT r.id, r.user_id, u.real_name, b.name, r.created_at, r.grade "
                               "FROM reflections r JOIN users u ON u.id = r.user_id "
                               "JOIN teacher_classes tc ON tc.class_id = u.class_id "
                               "AND tc.teacher_id = ? AND tc.approved = 1 "
                               "LEFT JOIN books b ON b.id = r.book_id "
                               "WHERE ? = 0 OR (? = 1 AND r.grade = 0) OR (? = 2 AND r.grade > 0) "
                               "ORDER BY r.created_at DESC, r.id DESC"),
                {uid, feelType, feelType, feelType});
    GetFeelListRsp answer;
    answer.feelList = RowRecords::collect(rows, [](const QSqlQuery &row) {
        GradeListModel model;
        qint64 createdMs = 0;
        qint64 grade = 0;
        RowRecords::read(row, model.FeelId, model.UserId, model.RealName, model.BookName, createdMs,
                         grade);
        model.CreateTimeStr = SchoolWords::minuteText(createdMs);
        model.FeelTypeStr = feelTypeText(grade);
        return model;
    });
    return ServiceAnswer::ok(KeyValueMapping::toJsonObject(answer));
}

ServiceAnswer singleFeel(ServiceContext &context, const FormFields &fields) {
    const RequestReader in(fields);
    const qint64 feelId = in.integer(QStringLiteral("feelId"));
    QSqlQuery row =
        DB::run(context.db,
                QStringLiteral("SELECT book_id, content, picture_count, created_at, grade, "
                               "checked_by, checked_at FROM reflections WHERE id = ?"),
                {feelId});
    if (!row.next())
        RequestReader::refuse(QStringLiteral("读后感不存在"));
    FeelDetailRsp feel;
    feel.FeelId = feelId;
    int pictureCount = 0;
    qint64 createdMs = 0;
    RowRecords::read(row, feel.BookId, feel.Content, pictureCount, createdMs, feel.FeelType,
                     feel.CheckUserId);
    feel.CreateTime = SchoolWords::timeText(createdMs);
    feel.Status = feel.FeelType > 0 ? 1 : 0;
    feel.FeelTypeStr = feelTypeText(feel.FeelType);
    if (!row.value(6).isNull())
        feel.CheckTime = SchoolWords::timeText(row.value(6).toLongLong());
    QJsonArray pictures;
    for (int n = 1; n <= pictureCount; ++n)
        pictures.append(feelPictureUrl(context, feelId, n, true));
    feel.ImgageUrlList = pictures;
    GetSingleFeelRsp answer;
    answer.feel = feel;
    return ServiceAnswer::ok(KeyValueMapping::toJsonObject(answer));
}

ServiceAnswer updateFeel(ServiceContext &context, const FormFields &fields) {
    const RequestReader in(fields);
    const qint64 uid = in.integer(QStringLiteral("uid"));
    const qint64 feelId = in.integer(QStringLiteral("feelId"));
    const qint64 grade = in.integer(QStringLiteral("feelType"));
    AccountModule::requireTeacher(context.db, uid);
    if (!SchoolWords::feelGradeText(grade))
        RequestReader::refuse(QStringLiteral("批阅等级无效"));
    QSqlQuery row =
        DB::run(context.db,
                QStringLiteral("SELECT EXISTS(SELECT 1 FROM users u JOIN teacher_classes tc ON "
                               "tc.class_id = u.class_id WHERE u.id = r.user_id AND "
                               "tc.teacher_id = ? AND tc.approved = 1) FROM reflections r "
                               "WHERE r.id = ?"),
                {uid, feelId});
    if (!row.next())
        RequestReader::refuse(QStringLiteral("读后感不存在"));
    if (!row.value(0).toBool())
        RequestReader::refuse(QStringLiteral("只能批阅自己班级学生的读后感"));
    // A reflection is graded once: the first grade stands, and a second grading (from another
    // device, or a repeated tap) is told so instead of silently replacing it.
    QSqlQuery update =
        DB::run(context.db,
                QStringLiteral("UPDATE reflections SET grade = ?, checked_by = ?, checked_at = ? "
                               "WHERE id = ? AND grade = 0"),
                {grade, uid, context.now().toMSecsSinceEpoch(), feelId});
    if (update.numRowsAffected() != 1)
        RequestReader::refuse(QStringLiteral("该读后感已批阅"));
    return ServiceAnswer::ok();
}

// Named <reflection id>_<n>_<thumbnail|bmiddle>.png.
std::optional<QByteArray> feelPicture(ServiceContext &context,
                                      const QRegularExpressionMatch &name) {
    const qint64 feelId = name.captured(1).toLongLong();
    const int n = name.captured(2).toInt();
    QSqlQuery row =
        DB::run(context.db,
                QStringLiteral("SELECT r.picture_count, COALESCE(b.name, '') FROM reflections r "
                               "LEFT JOIN books b ON b.id = r.book_id WHERE r.id = ?"),
                {feelId});
    if (!row.next() || n < 1 || n > row.value(0).toInt())
        return std::nullopt;
    const QString caption = QStringLiteral("《%1》").arg(row.value(1).toString());
    return DemoImages::reflectionPicturePng(caption, int(feelId * 4 + n),
                                            name.captured(3) == QStringLiteral("thumbnail"));
}

// ---- reports ----

ServiceAnswer termYear(ServiceContext &context, const FormFields &) {
    QSqlQuery rows = DB::run(
        context.db, QStringLiteral("SELECT id, year, term_name FROM terms ORDER BY id DESC"));
    GetTermYearRsp answer;
    answer.list = RowRecords::all<TermListModel>(rows, &TermListModel::Id, &TermListModel::Year,
                                                 &TermListModel::TermName);
    return ServiceAnswer::ok(KeyValueMapping::toJsonObject(answer));
}

ServiceAnswer cityList(ServiceContext &context, const FormFields &fields) {
    const RequestReader in(fields);
    const qint64 provinceId = in.integer(QStringLiteral("provinceId"));
    if (!DB::scalar(context.db, QStringLiteral("SELECT id FROM provinces WHERE id = ?"),
                    {provinceId}))
        RequestReader::refuse(QStringLiteral("省份不存在"));
    QSqlQuery rows = DB::run(
        context.db, QStringLiteral("SELECT id, name FROM cities WHERE province_id = ? ORDER BY id"),
        {provinceId});
    GetCityListRsp answer;
    answer.cityList =
        RowRecords::all<CityListModel>(rows, &CityListModel::CityId, &CityListModel::CityName);
    return ServiceAnswer::ok(KeyValueMapping::toJsonObject(answer));
}

ServiceAnswer areaList(ServiceContext &context, const FormFields &fields) {
    const RequestReader in(fields);
    const qint64 cityId = in.integer(QStringLiteral("cityId"));
    if (!DB::scalar(context.db, QStringLiteral("SELECT id FROM cities WHERE id = ?"), {cityId}))
        RequestReader::refuse(QStringLiteral("城市不存在"));
    QSqlQuery rows = DB::run(
        context.db, QStringLiteral("SELECT id, name FROM areas WHERE city_id = ? ORDER BY id"),
        {cityId});
    GetAreaListRsp answer;
    answer.areaList =
        RowRecords::all<AreaListModel>(rows, &AreaListModel::AreaId, &AreaListModel::AreaName);
    return ServiceAnswer::ok(KeyValueMapping::toJsonObject(answer));
}

QString averageText(qint64 flowers, qint64 pupils) {
    return QString::number(pupils > 0 ? double(flowers) / double(pupils) : 0.0, 'f', 1);
}

ServiceAnswer teacherReport(ServiceContext &context, const FormFields &fields) {
    const RequestReader in(fields);
    const qint64 type = in.integer(QStringLiteral("type"));
    const qint64 schoolId = in.integerOr(QStringLiteral("schoolId"), 0);
    const qint64 grade = in.integerOr(QStringLiteral("grade"), 0);
    const qint64 cityId = in.integerOr(QStringLiteral("cityId"), 0);
    const qint64 areaId = in.integerOr(QStringLiteral("areaId"), 0);
    qint64 term = in.integerOr(QStringLiteral("term"), 0);
    const QSqlDatabase &db = context.db;

    // A client that never received the terms sends term 0: it gets the current term rather
    // than a refusal, so its pull-down still shows something sensible.
    if (term == 0)
        term = DB::scalar(db, QStringLiteral("SELECT MAX(id) FROM terms"))
                   .value_or(QVariant(0))
                   .toLongLong();
    else if (!DB::scalar(db, QStringLiteral("SELECT id FROM terms WHERE id = ?"), {term}))
        RequestReader::refuse(QStringLiteral("学期不存在"));

    QSqlQuery rows;
    switch (type) {
    case 0:
        if (!DB::scalar(db, QStringLiteral("SELECT id FROM schools WHERE id = ?"), {schoolId}))
            RequestReader::refuse(QStringLiteral("学校不存在"));
        if (grade < 1 || grade > 6)
            RequestReader::refuse(QStringLiteral("请选择年级"));
        rows =
            DB::run(db,
                    QStringLiteral(
                        "SELECT c.id, c.name, COUNT(u.id), COALESCE(SUM(f.flowers), 0) "
                        "FROM classes c LEFT JOIN users u ON u.class_id = c.id AND u.user_type = 2 "
                        "LEFT JOIN pupil_term_flowers f ON f.user_id = u.id AND f.term_id = ? "
                        "WHERE c.school_id = ? AND c.grade_id = ? GROUP BY c.id"),
                    {term, schoolId, grade});
        break;
    case 1:
        if (!DB::scalar(db, QStringLiteral("SELECT id FROM areas WHERE id = ?"), {areaId}))
            RequestReader::refuse(QStringLiteral("区域不存在"));
        rows = DB::run(
            db,
            QStringLiteral(
                "SELECT s.id, s.name, COUNT(u.id), COALESCE(SUM(f.flowers), 0) "
                "FROM schools s LEFT JOIN users u ON u.school_id = s.id AND u.user_type = 2 "
                "LEFT JOIN pupil_term_flowers f ON f.user_id = u.id AND f.term_id = ? "
                "WHERE s.area_id = ? GROUP BY s.id"),
            {term, areaId});
        break;
    case 2:
        if (!DB::scalar(db, QStringLiteral("SELECT id FROM cities WHERE id = ?"), {cityId}))
            RequestReader::refuse(QStringLiteral("城市不存在"));
        rows = DB::run(
            db,
            QStringLiteral("SELECT a.id, a.name, COUNT(u.id), COALESCE(SUM(f.flowers), 0) "
                           "FROM areas a LEFT JOIN schools s ON s.area_id = a.id "
                           "LEFT JOIN users u ON u.school_id = s.id AND u.user_type = 2 "
                           "LEFT JOIN pupil_term_flowers f ON f.user_id = u.id AND f.term_id = ? "
                           "WHERE a.city_id = ? GROUP BY a.id"),
            {term, cityId});
        break;
    default:
        RequestReader::refuse(QStringLiteral("参数错误：type"));
    }

    struct Row {
        qint64 id;
        QString name;
        qint64 pupils;
        qint64 flowers;
    };
    QList<Row> list;
    qint64 allPupils = 0, allFlowers = 0;
    while (rows.next()) {
        Row row{rows.value(0).toLongLong(), rows.value(1).toString(), rows.value(2).toLongLong(),
                rows.value(3).toLongLong()};
        if (type == 0)
            row.name = SchoolWords::gradeName(grade) + row.name;
        allPupils += row.pupils;
        allFlowers += row.flowers;
        list.append(row);
    }
    // Ranked by average, compared exactly as fractions; ties in name and id order.
    std::sort(list.begin(), list.end(), [](const Row &a, const Row &b) {
        const qint64 left = qint64(a.flowers) * qMax<qint64>(b.pupils, 1) * (a.pupils > 0);
        const qint64 right = qint64(b.flowers) * qMax<qint64>(a.pupils, 1) * (b.pupils > 0);
        if (left != right)
            return left > right;
        if (a.name != b.name)
            return a.name < b.name;
        return a.id < b.id;
    });

    GetTeacherReportRsp answer;
    answer.classList.emplace();
    for (const Row &row : std::as_const(list)) {
        ChartListModel model;
        model.Name = row.name;
        model.UserCount = row.pupils;
        model.FlowerCount = row.flowers;
        model.AverageFlower = averageText(row.flowers, row.pupils);
        answer.classList->append(model);
    }
    answer.averageCount = averageText(allFlowers, allPupils);
    QJsonObject body = KeyValueMapping::toJsonObject(answer);
    // imageWidth is the screen's own; strip it from every row.
    QJsonArray rowsJson = body.value(QStringLiteral("classList")).toArray();
    for (qsizetype i = 0; i < rowsJson.size(); ++i) {
        QJsonObject object = rowsJson.at(i).toObject();
        object.remove(QStringLiteral("imageWidth"));
        rowsJson.replace(i, object);
    }
    body.insert(QStringLiteral("classList"), rowsJson);
    return ServiceAnswer::ok(body);
}

// ---- demo data ----

const char16_t *const ReflectionTexts[] = {
    u"读完《%"
    u"1》，我最喜欢里面的主人公。他遇到困难从不放弃，一次又一次地想办法。我以后做题遇到难题，也要像"
    u"他一样多想一想，不轻易说“不会”。",
    u"《%"
    u"1》这本书让我明白了朋友之间要互相帮助。书里有一段写大家一起克服困难，我读了好几遍，觉得特别温"
    u"暖。",
    u"今天我读完了《%"
    u"1》。书里的故事很有趣，有的地方让我笑出声来，有的地方又让我有点难过。妈妈说好书就是这样，会让"
    u"人有很多感受。",
    u"我觉得《%"
    u"1》里最精彩的是结尾。我没有想到故事会这样结束，合上书以后我还一直在想，如果我是书里的人，我会"
    u"怎么做。",
    u"读了《%1》，我学到了很多以前不知道的知识。我把喜欢的句子抄在了摘抄本上，还讲给了弟弟听。",
    u"《%1》告诉我，做事情要有耐心。书里的小伙伴一开始总是着急，后来慢慢学会了坚持，最后成功了。",
    u"这个星期我读了《%1》。我最喜欢书里的插图，画得很漂亮。我也照着画了一幅，贴在了我的书桌旁边。",
    u"读《%1》的时候，我好像跟着书里的人去了很远的地方。我希望长大以后也能去看看书里写的风景。",
    u"《%1》里有一句话让我印象很深：“只要心里有光，就不怕黑夜。”我要把这句话送给我的好朋友。",
    u"我原来以为《%1》会很难懂，读了以后发现很好看。老师说得对，多读书才会发现书里的乐趣。",
    u"读完《%1》，我给故事续写了一个新的结尾。我想让主人公再去一次冒险，认识更多的新朋友。",
    u"《%1》让我懂得要爱护身边的小动物和大自然。我和爸爸约好了，周末一起去公园捡垃圾。",
};

struct Book {
    qint64 id;
    qint64 grade;
    QString name;
};

} // namespace

const ServiceHandler ServiceHandlers::GetMyClassForTeacher = myClassForTeacher;
const ServiceHandler ServiceHandlers::GetMyClassDetail = myClassDetail;
const ServiceHandler ServiceHandlers::GetStudentPersonHomeIndex = studentHome;
const ServiceHandler ServiceHandlers::GetFeelList = feelList;
const ServiceHandler ServiceHandlers::GetSingleFeel = singleFeel;
const ServiceHandler ServiceHandlers::UpdateFeel = updateFeel;
const ServiceHandler ServiceHandlers::ChartTermList = termYear;
const ServiceHandler ServiceHandlers::ChartCityList = cityList;
const ServiceHandler ServiceHandlers::ChartAreaList = areaList;
const ServiceHandler ServiceHandlers::ChartList = teacherReport;

void ClassroomModule::migrate(QSqlDatabase &db) {
    const int version = DB::schemaVersion(db, name());
    if (version < 1) {
        DB::script(db, QStringLiteral(R"(
CREATE TABLE terms(id INTEGER PRIMARY KEY, year TEXT NOT NULL, term_name TEXT NOT NULL);
CREATE TABLE pupil_term_flowers(user_id INTEGER NOT NULL REFERENCES users(id),
    term_id INTEGER NOT NULL REFERENCES terms(id), flowers INTEGER NOT NULL,
    PRIMARY KEY(user_id, term_id));
CREATE INDEX pupil_term_flowers_term ON pupil_term_flowers(term_id);
CREATE TABLE pupil_tests(id INTEGER PRIMARY KEY, user_id INTEGER NOT NULL REFERENCES users(id),
    book_id INTEGER NOT NULL, score INTEGER NOT NULL, passed INTEGER NOT NULL,
    flowers INTEGER NOT NULL, tested_at INTEGER NOT NULL);
CREATE INDEX pupil_tests_user ON pupil_tests(user_id, tested_at);
CREATE TABLE reflections(id INTEGER PRIMARY KEY, user_id INTEGER NOT NULL REFERENCES users(id),
    book_id INTEGER NOT NULL, content TEXT NOT NULL, picture_count INTEGER NOT NULL DEFAULT 0,
    created_at INTEGER NOT NULL, grade INTEGER NOT NULL DEFAULT 0, checked_by INTEGER,
    checked_at INTEGER);
CREATE INDEX reflections_user ON reflections(user_id, created_at)
)"));
        DB::setSchemaVersion(db, name(), 1);
    }
}

void ClassroomModule::seed(ServiceContext &context) {
    const QSqlDatabase &db = context.db;
    QRandomGenerator random(20250301);
    const qint64 now = context.now().toMSecsSinceEpoch();
    constexpr qint64 Day = 24 * 60 * 60 * 1000;

    // The last four terms up to the one running today: the autumn term (上学期) runs from
    // September to January, the spring term (下学期) from February to August.
    {
        const QDate today = context.now().date();
        int startYear = today.month() >= 9 ? today.year() : today.year() - 1;
        int half = (today.month() >= 9 || today.month() == 1) ? 0 : 1;
        QList<std::pair<int, int>> terms; // (first year of the school year, half)
        for (int i = 0; i < 4; ++i) {
            terms.prepend({startYear, half});
            if (half == 1) {
                half = 0;
            } else {
                half = 1;
                --startYear;
            }
        }
        DB::BatchInsert termRows(db, QStringLiteral("INSERT INTO terms(id, year, term_name)"), 3);
        qint64 id = 1;
        for (const auto &[first, termHalf] : terms) {
            const QString year = QStringLiteral("%1-%2").arg(first).arg(first + 1);
            termRows.add({id++, year,
                          year + (termHalf == 0 ? QStringLiteral("学年 上学期")
                                                : QStringLiteral("学年 下学期"))});
        }
    }

    QList<Book> books;
    {
        QSqlQuery rows =
            DB::run(db, QStringLiteral("SELECT id, grade_id, name FROM books ORDER BY id"));
        while (rows.next())
            books.append(
                {rows.value(0).toLongLong(), rows.value(1).toLongLong(), rows.value(2).toString()});
    }
    auto bookFor = [&](qint64 grade) -> const Book & {
        // Mostly books of the pupil's own grade, sometimes any book.
        for (int tries = 0;; ++tries) {
            const Book &book = books.at(random.bounded(int(books.size())));
            if (book.grade == grade || book.grade == 0 || tries >= 4)
                return book;
        }
    };

    DB::BatchInsert flowerRows(
        db, QStringLiteral("INSERT INTO pupil_term_flowers(user_id, term_id, flowers)"), 3);
    DB::BatchInsert testRows(
        db,
        QStringLiteral(
            "INSERT INTO pupil_tests(user_id, book_id, score, passed, flowers, tested_at)"),
        6);
    DB::BatchInsert collectionRows(
        db, QStringLiteral("INSERT OR IGNORE INTO book_collections(user_id, book_id, created_at)"),
        3);
    DB::BatchInsert reflectionRows(
        db,
        QStringLiteral("INSERT INTO reflections(user_id, book_id, content, picture_count, "
                       "created_at, grade, checked_by, checked_at)"),
        8);

    QSqlQuery pupils = DB::run(
        db, QStringLiteral("SELECT u.id, c.grade_id, c.school_id, (SELECT tc.teacher_id FROM "
                           "teacher_classes tc WHERE tc.class_id = c.id AND tc.approved = 1 "
                           "ORDER BY tc.teacher_id LIMIT 1) FROM users u JOIN classes c ON "
                           "c.id = u.class_id WHERE u.user_type = 2 ORDER BY u.id"));
    while (pupils.next()) {
        const qint64 id = pupils.value(0).toLongLong();
        const qint64 grade = pupils.value(1).toLongLong();
        const qint64 school = pupils.value(2).toLongLong();
        const QVariant teacher = pupils.value(3);

        // Keen readers earn more every term; schools differ a little, and the current term
        // is only half way through.
        const double keenness = 0.3 + random.bounded(1.4);
        const double schoolFactor = 0.8 + 0.06 * double((school * 7) % 6);
        for (qint64 term = 1; term <= 4; ++term) {
            const double base = (14.0 + 3.0 * double(grade)) * (term == 4 ? 0.55 : 1.0);
            const qint64 flowers =
                qint64(base * keenness * schoolFactor * (0.6 + random.bounded(0.8)));
            flowerRows.add({id, term, flowers});
        }
        if (books.isEmpty())
            continue;

        QList<const Book *> tested;
        const int tests = 1 + random.bounded(int(2 + keenness * 8));
        for (int i = 0; i < tests; ++i) {
            const Book &book = bookFor(grade);
            const int score = 45 + random.bounded(56);
            const bool passed = score >= 60;
            const int flowers = passed ? (score >= 90 ? 3 : score >= 75 ? 2 : 1) : 0;
            testRows.add({id, book.id, score, passed ? 1 : 0, flowers,
                          now - random.bounded(180) * Day - random.bounded(Day)});
            tested.append(&book);
        }
        const int collected = random.bounded(7);
        for (int i = 0; i < collected; ++i)
            collectionRows.add(
                {id, bookFor(grade).id, now - random.bounded(120) * Day - random.bounded(Day)});

        // Reflections in the demo school, on books the pupil was tested on.
        if (school != 1)
            continue;
        const int reflections = random.bounded(3);
        for (int i = 0; i < reflections; ++i) {
            const Book &book = *tested.at(random.bounded(int(tested.size())));
            const QString text =
                QString::fromUtf16(ReflectionTexts[random.bounded(int(std::size(ReflectionTexts)))])
                    .arg(book.name);
            const int pictureRoll = random.bounded(20);
            const int pictures = pictureRoll < 8    ? 0
                                 : pictureRoll < 13 ? 1
                                 : pictureRoll < 17 ? 2
                                                    : 3;
            const qint64 created = now - random.bounded(45) * Day - random.bounded(Day);
            const bool graded = !teacher.isNull() && random.bounded(10) < 6;
            const int gradeRoll = random.bounded(20);
            const qint64 code = gradeRoll < 7 ? 4 : gradeRoll < 14 ? 3 : gradeRoll < 18 ? 2 : 1;
            reflectionRows.add(
                {id, book.id, text, pictures, created, graded ? code : 0,
                 graded ? teacher : QVariant(),
                 graded ? QVariant(qMin(now, created + 1 + random.bounded(3) * Day)) : QVariant()});
        }
    }

    flowerRows.flush();
    testRows.flush();
    collectionRows.flush();
    reflectionRows.flush();
    DB::run(db, QStringLiteral(
                    "UPDATE users SET flower_number = (SELECT COALESCE(SUM(f.flowers), 0) FROM "
                    "pupil_term_flowers f WHERE f.user_id = users.id) WHERE user_type = 2"));

    // A few books in the demo teacher's collection, unless the book module gave some already.
    if (!books.isEmpty() &&
        DB::scalar(db, QStringLiteral("SELECT COUNT(*) FROM book_collections WHERE user_id = 1"))
                ->toLongLong() == 0) {
        for (int i = 0; i < 6; ++i)
            collectionRows.add({1, books.at((i * 37 + 5) % books.size()).id, now - i * Day});
        collectionRows.flush();
    }
}

void ClassroomModule::registerFiles(FileRegistry &registry) {
    registry.addFiles(
        QStringLiteral("images/feel/"),
        pictures(QStringLiteral("([0-9]{1,18})_([0-9]{1,2})_(thumbnail|bmiddle)\\.png"),
                 "image/png", feelPicture));
}

std::unique_ptr<ServiceModule> makeClassroomModule() {
    return std::make_unique<ClassroomModule>();
}
