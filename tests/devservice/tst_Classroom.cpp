// Classes, rosters, pupils' homes, reflections with grading, and reports of the development
// service, over HTTP on the seeded demo data.

#include "ServiceTestClient.h"

#include "ServiceDatabase.h"

#include <QJsonArray>
#include <QSqlQuery>
#include <QtTest>

namespace {

const QString Teacher1 = QStringLiteral("13800000001");
const QString Password = QStringLiteral("123456");

} // namespace

class tst_Classroom : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void teacherClasses();
    void rosterOrders_data();
    void rosterOrders();
    void studentHomeHeader();
    void reflectionListsPartitionTheTeachersReflections();
    void gradingMovesAReflectionAndSetsItsText_data();
    void gradingMovesAReflectionAndSetsItsText();
    void gradingRefusals_data();
    void gradingRefusals();
    void termsCitiesAndDistricts();
    void reportRowsAddUp_data();
    void reportRowsAddUp();

private:
    QJsonObject call(Operation operation, const Form &form) {
        return m_client->call(operation, form);
    }
    // The answer's array under key.
    QJsonArray list(Operation operation, const Form &form, const char *key) {
        return call(operation, form).value(QLatin1String(key)).toArray();
    }
    QJsonArray feels(qint64 uid, int type) {
        return list(Operation::GetFeelList,
                    {{"uid", QString::number(uid)}, {"feelType", QString::number(type)}},
                    "feelList");
    }
    QJsonArray roster(qint64 classId, int type) {
        return list(Operation::GetMyClassDetail,
                    {{"type", QString::number(type)}, {"classId", QString::number(classId)}},
                    "list");
    }
    QJsonArray classes(qint64 uid) {
        return list(Operation::GetMyClassForTeacher, {{"uid", QString::number(uid)}}, "classList");
    }
    QJsonObject home(qint64 pupil, int type, int pageIndex, int pageSize) {
        return call(Operation::GetStudentPersonHomeIndex,
                    {{"uid", QString::number(pupil)},
                     {"type", QString::number(type)},
                     {"pageIndex", QString::number(pageIndex)},
                     {"pageSize", QString::number(pageSize)}});
    }
    QJsonObject report(int type, qint64 term, qint64 grade, qint64 areaId, qint64 cityId) {
        return call(Operation::ChartList, {{"type", QString::number(type)},
                                           {"schoolId", QString::number(m_schoolId)},
                                           {"grade", QString::number(grade)},
                                           {"term", QString::number(term)},
                                           {"areaId", QString::number(areaId)},
                                           {"cityId", QString::number(cityId)},
                                           {"year", "2025-2026"}});
    }
    // The pupil of the teacher's first class with the most tests.
    qint64 busiestPupil();

    std::unique_ptr<ServiceTestClient> m_client;
    qint64 m_uid = 0;
    qint64 m_schoolId = 0, m_areaId = 0, m_cityId = 0;
};

void tst_Classroom::init() {
    m_client = std::make_unique<ServiceTestClient>();
    QVERIFY2(m_client->isReady(), qPrintable(m_client->startError()));
    const QJsonObject login =
        call(Operation::Login, {{"userName", Teacher1}, {"password", Password}});
    m_uid = login.value(QStringLiteral("uid")).toInteger();
    QVERIFY(m_uid > 0);
    const QJsonValue user = login.value(QStringLiteral("user"));
    m_schoolId = integer(user, "SchoolId");
    m_areaId = integer(user, "AreaId");
    m_cityId = integer(user, "CityId");
}

void tst_Classroom::cleanup() {
    m_client.reset();
}

qint64 tst_Classroom::busiestPupil() {
    return ServiceDatabase::scalar(
               m_client->service().context().db,
               QStringLiteral("SELECT t.user_id FROM pupil_tests t JOIN users u ON u.id = "
                              "t.user_id WHERE u.class_id = ? GROUP BY t.user_id "
                              "ORDER BY COUNT(*) DESC, t.user_id LIMIT 1"),
               {integer(classes(m_uid).first(), "ClassId")})
        .value_or(QVariant(0))
        .toLongLong();
}

void tst_Classroom::teacherClasses() {
    const QJsonArray list = classes(m_uid);
    QCOMPARE(list.size(), 3);
    for (const QJsonValue &c : list) {
        // The home screen writes "%@年级%@(%ld人)": the grade's numeral, the class's own name.
        QCOMPARE(text(c, "GradeStr").size(), 1);
        QVERIFY(!text(c, "ClassName").contains(QStringLiteral("年级")));
        QCOMPARE(integer(c, "StudentNum"), roster(integer(c, "ClassId"), 0).size());
    }
    QVERIFY(classes(3).isEmpty()); // a teacher without classes has none
}

void tst_Classroom::rosterOrders_data() {
    QTest::addColumn<int>("classIndex");
    QTest::addColumn<int>("type");
    QTest::newRow("name order wrong") << 0 << 0;
    QTest::newRow("level order wrong") << 2 << 1;
}

void tst_Classroom::rosterOrders() {
    QFETCH(int, classIndex);
    QFETCH(int, type);
    const qint64 classId = integer(classes(m_uid).at(classIndex), "ClassId");
    const QJsonArray list = roster(classId, type);
    QVERIFY(list.size() >= 20);
    const QSqlDatabase db = m_client->service().context().db;
    auto pinyin = [&](qint64 id) {
        return ServiceDatabase::scalar(
                   db, QStringLiteral("SELECT name_pinyin FROM users WHERE id = ?"), {id})
            ->toString();
    };
    for (qsizetype i = 1; i < list.size(); ++i) {
        const QJsonValue pupil = list.at(i);
        const qint64 flowers = integer(pupil, "FlowerNumber");
        const QJsonValue before = list.at(i - 1);
        if (type == 0) {
            // By reading; homophones by their characters, then by id.
            const auto key = [&](const QJsonValue &p) {
                return std::tuple(pinyin(integer(p, "UserId")), text(p, "RealName"),
                                  integer(p, "UserId"));
            };
            QVERIFY2(key(before) < key(pupil),
                     qPrintable(text(before, "RealName") + u'/' + text(pupil, "RealName")));
        } else {
            QVERIFY(integer(before, "FlowerNumber") >= flowers);
        }
    }
}

void tst_Classroom::studentHomeHeader() {
    const qint64 pupil = busiestPupil();
    const QJsonObject answer = home(pupil, 1, 1, 9);
    const QJsonValue user = answer.value(QStringLiteral("user"));
    QCOMPARE(integer(user, "UserId"), pupil);
    QVERIFY(text(user, "GradeStr").endsWith(QStringLiteral("年级")));
    // The home writes the area, then the school: the name must not say the area (nor lack it).
    QVERIFY(!text(user, "SchoolName").startsWith(text(user, "AreaName")));
}

void tst_Classroom::reflectionListsPartitionTheTeachersReflections() {
    const QJsonArray all = feels(m_uid, 0), waiting = feels(m_uid, 1), reviewed = feels(m_uid, 2);
    QVERIFY(waiting.size() >= 5);
    QVERIFY(reviewed.size() >= 5);
    QCOMPARE(all.size(), waiting.size() + reviewed.size());

    const QStringList grades{QStringLiteral("优秀"), QStringLiteral("良好"), QStringLiteral("合格"),
                             QStringLiteral("不合格")};
    QSet<qint64> ids;
    for (const QJsonValue &feel : all)
        ids.insert(integer(feel, "FeelId"));
    QCOMPARE(ids.size(), all.size());
    for (const QJsonValue &feel : waiting) {
        QCOMPARE(text(feel, "FeelTypeStr"), QStringLiteral("待批阅"));
        QVERIFY(ids.remove(integer(feel, "FeelId")));
    }
    for (const QJsonValue &feel : reviewed) {
        QVERIFY2(grades.contains(text(feel, "FeelTypeStr")), qPrintable(text(feel, "FeelTypeStr")));
        QVERIFY(ids.remove(integer(feel, "FeelId")));
    }
    QVERIFY(ids.isEmpty());

    // A teacher without classes sees nothing, and is not refused.
    const QJsonObject none = call(Operation::GetFeelList, {{"uid", "3"}, {"feelType", "0"}});
    QCOMPARE(resultOf(none), 1);
    QVERIFY(none.value(QStringLiteral("feelList")).toArray().isEmpty());
}

void tst_Classroom::gradingMovesAReflectionAndSetsItsText_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("grade");
    QTest::newRow("good") << 3 << QStringLiteral("良好");
    QTest::newRow("pass") << 2 << QStringLiteral("合格");
}

void tst_Classroom::gradingMovesAReflectionAndSetsItsText() {
    QFETCH(int, code);
    QFETCH(QString, grade);
    const QJsonArray waitingBefore = feels(m_uid, 1);
    const qint64 reviewedBefore = feels(m_uid, 2).size();
    const qint64 feelId = integer(waitingBefore.at(waitingBefore.size() / 2), "FeelId");

    const QJsonObject answer = call(Operation::UpdateFeel, {{"uid", QString::number(m_uid)},
                                                            {"feelId", QString::number(feelId)},
                                                            {"feelType", QString::number(code)}});
    QCOMPARE(resultOf(answer), 1);

    QCOMPARE(feels(m_uid, 1).size(), waitingBefore.size() - 1);
    const QJsonArray reviewedAfter = feels(m_uid, 2);
    QCOMPARE(reviewedAfter.size(), reviewedBefore + 1);
    for (const QJsonValue &feel : reviewedAfter) {
        if (integer(feel, "FeelId") == feelId)
            QCOMPARE(text(feel, "FeelTypeStr"), grade);
    }

    const QJsonValue detail = call(Operation::GetSingleFeel, {{"feelId", QString::number(feelId)}})
                                  .value(QStringLiteral("feel"));
    QCOMPARE(text(detail, "FeelTypeStr"), grade);
    QCOMPARE(integer(detail, "FeelType"), code);
    QCOMPARE(integer(detail, "CheckUserId"), m_uid);
}

void tst_Classroom::gradingRefusals_data() {
    QTest::addColumn<QString>("who");  // "own", "none", "neighbour"
    QTest::addColumn<QString>("feel"); // "waiting", "reviewed", "unknown"
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("message");

    // clang-format off
    QTest::newRow("other class's teacher grades") << "neighbour" << "waiting" << "4" << "只能批阅自己班级学生的读后感";
    QTest::newRow("unknown reflection graded") << "own" << "unknown" << "4" << "读后感不存在";
    QTest::newRow("grade 5 accepted") << "own" << "waiting" << "5" << "批阅等级无效";
    QTest::newRow("graded twice") << "own" << "reviewed" << "4" << "该读后感已批阅";
    // clang-format on
}

void tst_Classroom::gradingRefusals() {
    QFETCH(QString, who);
    QFETCH(QString, feel);
    QFETCH(QString, code);
    QFETCH(QString, message);
    const qint64 teacher = who == QStringLiteral("own")    ? m_uid
                           : who == QStringLiteral("none") ? 3
                                                           : 4;
    qint64 feelId = 999999;
    QString textBefore;
    if (feel != QStringLiteral("unknown")) {
        const QJsonValue row = feels(m_uid, feel == QStringLiteral("waiting") ? 1 : 2).first();
        feelId = integer(row, "FeelId");
        textBefore = text(row, "FeelTypeStr");
    }
    const QJsonObject answer = call(Operation::UpdateFeel, {{"uid", QString::number(teacher)},
                                                            {"feelId", QString::number(feelId)},
                                                            {"feelType", code}});
    QCOMPARE(resultOf(answer), 0);
    QCOMPARE(msgOf(answer), message);
    if (!textBefore.isEmpty()) {
        const QJsonValue detail =
            call(Operation::GetSingleFeel, {{"feelId", QString::number(feelId)}})
                .value(QStringLiteral("feel"));
        QCOMPARE(text(detail, "FeelTypeStr"), textBefore);
    }
}

void tst_Classroom::termsCitiesAndDistricts() {
    // The current term first (the report starts with it); the teacher's own area reachable.
    const QJsonArray terms = list(Operation::ChartTermList, {}, "list");
    QVERIFY(terms.size() >= 2);
    for (qsizetype i = 1; i < terms.size(); ++i)
        QVERIFY(integer(terms.at(i - 1), "Id") > integer(terms.at(i), "Id"));
    bool ownAreaFound = false;
    for (const QJsonValue &area :
         list(Operation::ChartAreaList, {{"cityId", QString::number(m_cityId)}}, "areaList"))
        ownAreaFound |= integer(area, "AreaId") == m_areaId;
    QVERIFY(ownAreaFound);
    QVERIFY(!list(Operation::ChartCityList, {{"provinceId", "1"}}, "cityList").isEmpty());
}

void tst_Classroom::reportRowsAddUp_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("termIndex");
    QTest::newRow("grade, current term") << 0 << 0;
    QTest::newRow("school, current term") << 1 << 0;
    QTest::newRow("region, current term") << 2 << 0;
}

void tst_Classroom::reportRowsAddUp() {
    QFETCH(int, type);
    QFETCH(int, termIndex);
    const QJsonArray terms = list(Operation::ChartTermList, {}, "list");
    const qint64 term = integer(terms.at(termIndex), "Id");
    const QJsonObject answer =
        report(type, term, type == 0 ? 3 : 0, type == 1 ? m_areaId : 0, type == 2 ? m_cityId : 0);
    QCOMPARE(resultOf(answer), 1);
    const QJsonArray rows = answer.value(QStringLiteral("classList")).toArray();
    QVERIFY(rows.size() >= 2);
    qint64 pupils = 0, flowers = 0;
    double previous = 1e18;
    for (const QJsonValue &row : rows) {
        const qint64 count = integer(row, "UserCount"), sum = integer(row, "FlowerCount");
        QVERIFY(count > 0);
        const double average = text(row, "AverageFlower").toDouble();
        QCOMPARE(text(row, "AverageFlower"), QString::number(double(sum) / double(count), 'f', 1));
        QVERIFY(average <= previous); // ranked, best first
        previous = average;
        pupils += count;
        flowers += sum;
    }
    QCOMPARE(answer.value(QStringLiteral("averageCount")).toString(),
             QString::number(double(flowers) / double(pupils), 'f', 1));
}

QTEST_MAIN(tst_Classroom)
#include "tst_Classroom.moc"
