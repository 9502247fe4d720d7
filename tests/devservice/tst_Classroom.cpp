// Classes, rosters, pupils' homes, reflections with grading, and reports of the development
// service, over HTTP on the seeded demo data.

#include "ServiceTestClient.h"

#include "ServiceDatabase.h"

#include <QImage>
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
    void studentHomePagesHaveNoGapsOrRepeats_data();
    void studentHomePagesHaveNoGapsOrRepeats();
    void studentHomeHeader();
    void reflectionListsPartitionTheTeachersReflections();
    void gradingMovesAReflectionAndSetsItsText_data();
    void gradingMovesAReflectionAndSetsItsText();
    void gradingRefusals_data();
    void gradingRefusals();
    void reflectionPicturesHaveLargerVariants();
    void termsCitiesAndDistricts();
    void reportRowsAddUp_data();
    void reportRowsAddUp();
    void reportViewsAgree();

private:
    QJsonObject call(const QString &operation, const Form &form) {
        return m_client->post(QStringLiteral("Mobile/") + operation, form);
    }
    QJsonArray feels(qint64 uid, int type) {
        return call(QStringLiteral("GetFeelList"),
                    {{"uid", QString::number(uid)}, {"feelType", QString::number(type)}})
            .value(QStringLiteral("feelList"))
            .toArray();
    }
    QJsonArray roster(qint64 classId, int type) {
        return call(QStringLiteral("GetMyClassDetail"),
                    {{"type", QString::number(type)}, {"classId", QString::number(classId)}})
            .value(QStringLiteral("list"))
            .toArray();
    }
    QJsonArray classes(qint64 uid) {
        return call(QStringLiteral("GetMyClassForTeacher"), {{"uid", QString::number(uid)}})
            .value(QStringLiteral("classList"))
            .toArray();
    }
    QJsonObject home(qint64 pupil, int type, int pageIndex, int pageSize) {
        return call(QStringLiteral("GetStudentPersonHomeIndex"),
                    {{"uid", QString::number(pupil)},
                     {"type", QString::number(type)},
                     {"pageIndex", QString::number(pageIndex)},
                     {"pageSize", QString::number(pageSize)}});
    }
    QJsonObject report(int type, qint64 term, qint64 grade, qint64 areaId, qint64 cityId) {
        return call(QStringLiteral("GetTeacherReport"), {{"type", QString::number(type)},
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
        call(QStringLiteral("TeacherLogin"), {{"userName", Teacher1}, {"password", Password}});
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
        QVERIFY(text(c, "ClassName").endsWith(QStringLiteral("班")));
        QVERIFY(!text(c, "ClassName").contains(QStringLiteral("年级")));
        QCOMPARE(integer(c, "StudentNum"), roster(integer(c, "ClassId"), 0).size());
        QVERIFY(integer(c, "StudentNum") >= 20);
    }
    const QJsonObject none = call(QStringLiteral("GetMyClassForTeacher"), {{"uid", "3"}});
    QCOMPARE(resultOf(none), 1);
    QVERIFY(none.value(QStringLiteral("classList")).toArray().isEmpty());
}

void tst_Classroom::rosterOrders_data() {
    QTest::addColumn<int>("classIndex");
    QTest::addColumn<int>("type");
    for (int i = 0; i < 3; ++i) {
        QTest::addRow("class %d by name", i) << i << 0;
        QTest::addRow("class %d by level", i) << i << 1;
    }
}

void tst_Classroom::rosterOrders() {
    QFETCH(int, classIndex);
    QFETCH(int, type);
    const qint64 classId = integer(classes(m_uid).at(classIndex), "ClassId");
    const QJsonArray list = roster(classId, type);
    const QJsonArray other = roster(classId, 1 - type);
    QCOMPARE(list.size(), other.size());

    // Same pupils either way.
    QSet<qint64> ids, otherIds;
    for (qsizetype i = 0; i < list.size(); ++i) {
        ids.insert(integer(list.at(i), "UserId"));
        otherIds.insert(integer(other.at(i), "UserId"));
    }
    QCOMPARE(ids, otherIds);
    QCOMPARE(ids.size(), list.size());

    const QSqlDatabase db = m_client->service().context().db;
    auto pinyin = [&](qint64 id) {
        return ServiceDatabase::scalar(
                   db, QStringLiteral("SELECT name_pinyin FROM users WHERE id = ?"), {id})
            ->toString();
    };
    QHash<qint64, QString> titleOfFlowers;
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QJsonValue pupil = list.at(i);
        QVERIFY(!text(pupil, "RealName").isEmpty());
        QVERIFY(!text(pupil, "MyTitle").isEmpty());
        QVERIFY(
            text(pupil, "PhotoStr")
                .endsWith(QStringLiteral("/images/student/%1.png").arg(integer(pupil, "UserId"))));
        // A level is a function of the flowers.
        const qint64 flowers = integer(pupil, "FlowerNumber");
        QCOMPARE(titleOfFlowers.value(flowers, text(pupil, "MyTitle")), text(pupil, "MyTitle"));
        titleOfFlowers.insert(flowers, text(pupil, "MyTitle"));
        if (i == 0)
            continue;
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

    // The photos named are served.
    int status = 0;
    const QImage photo = QImage::fromData(
        m_client->get(QUrl(text(list.first(), "PhotoStr")).path().mid(1), &status));
    QCOMPARE(status, 200);
    QVERIFY(!photo.isNull());
}

void tst_Classroom::studentHomePagesHaveNoGapsOrRepeats_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("listKey");
    QTest::addColumn<QString>("countKey");
    QTest::newRow("tested books") << 1 << "testList"
                                  << "TestCount";
    QTest::newRow("collected books") << 2 << "bookList"
                                     << "BookCollectionNum";
}

void tst_Classroom::studentHomePagesHaveNoGapsOrRepeats() {
    QFETCH(int, type);
    QFETCH(QString, listKey);
    QFETCH(QString, countKey);
    // The pupil with the most collections or tests, so several pages are needed.
    const QString table =
        type == 1 ? QStringLiteral("pupil_tests") : QStringLiteral("book_collections");
    const qint64 pupil =
        ServiceDatabase::scalar(m_client->service().context().db,
                                QStringLiteral("SELECT user_id FROM %1 WHERE user_id > 10000 "
                                               "GROUP BY user_id ORDER BY COUNT(*) DESC LIMIT 1")
                                    .arg(table))
            ->toLongLong();
    const QJsonObject whole = home(pupil, type, 1, 100);
    QCOMPARE(resultOf(whole), 1);
    const QJsonArray all = whole.value(listKey).toArray();
    QVERIFY(all.size() >= 5);
    QCOMPARE(all.size(),
             integer(whole.value(QStringLiteral("user")), countKey.toLatin1().constData()));
    QVERIFY(!whole.contains(type == 1 ? QStringLiteral("bookList") : QStringLiteral("testList")));

    QJsonArray paged;
    for (int page = 1; page < 100; ++page) {
        const QJsonArray items = home(pupil, type, page, 2).value(listKey).toArray();
        QVERIFY(items.size() <= 2);
        if (items.isEmpty())
            break;
        for (const QJsonValue &item : items)
            paged.append(item);
    }
    QCOMPARE(paged, all);
    for (const QJsonValue &book : all)
        QVERIFY(text(book, "ImageUrl")
                    .endsWith(QStringLiteral("/images/cover/%1.png").arg(integer(book, "BookId"))));
}

void tst_Classroom::studentHomeHeader() {
    const qint64 pupil = busiestPupil();
    const QJsonObject answer = home(pupil, 1, 1, 9);
    QCOMPARE(resultOf(answer), 1);
    const QJsonValue user = answer.value(QStringLiteral("user"));
    QCOMPARE(integer(user, "UserId"), pupil);
    QVERIFY(text(user, "GradeStr").endsWith(QStringLiteral("年级")));
    QVERIFY(text(user, "ClassName").endsWith(QStringLiteral("班")));
    QVERIFY(!text(user, "SchoolName").isEmpty());
    QVERIFY(!text(user, "AreaName").isEmpty());
    const QJsonObject login =
        call(QStringLiteral("TeacherLogin"), {{"userName", Teacher1}, {"password", Password}});
    QCOMPARE(text(user, "TeacherName"), text(login.value(QStringLiteral("user")), "RealName"));
    // The roster and the pupil's home tell the same story.
    const QJsonArray list = roster(integer(classes(m_uid).first(), "ClassId"), 0);
    for (const QJsonValue &entry : list) {
        if (integer(entry, "UserId") != pupil)
            continue;
        QCOMPARE(text(entry, "RealName"), text(user, "RealName"));
        QCOMPARE(integer(entry, "FlowerNumber"), integer(user, "FlowerNumber"));
        QCOMPARE(text(entry, "MyTitle"), text(user, "MyTitle"));
        QVERIFY(integer(entry, "TestPassNum") <= integer(user, "TestCount"));
    }
}

void tst_Classroom::reflectionListsPartitionTheTeachersReflections() {
    const QJsonArray all = feels(m_uid, 0), waiting = feels(m_uid, 1), reviewed = feels(m_uid, 2);
    QVERIFY(waiting.size() >= 5);
    QVERIFY(reviewed.size() >= 5);
    QCOMPARE(all.size(), waiting.size() + reviewed.size());

    QSet<qint64> pupils;
    for (const QJsonValue &c : classes(m_uid)) {
        for (const QJsonValue &p : roster(integer(c, "ClassId"), 0))
            pupils.insert(integer(p, "UserId"));
    }
    const QStringList grades{QStringLiteral("优秀"), QStringLiteral("良好"), QStringLiteral("合格"),
                             QStringLiteral("不合格")};
    QSet<qint64> ids;
    for (qsizetype i = 0; i < all.size(); ++i) {
        const QJsonValue feel = all.at(i);
        ids.insert(integer(feel, "FeelId"));
        QVERIFY(pupils.contains(integer(feel, "UserId")));
        QVERIFY(!text(feel, "BookName").isEmpty());
        if (i > 0) // newest first
            QVERIFY(text(all.at(i - 1), "CreateTimeStr") >= text(feel, "CreateTimeStr"));
    }
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
    const QJsonObject none = call(QStringLiteral("GetFeelList"), {{"uid", "3"}, {"feelType", "0"}});
    QCOMPARE(resultOf(none), 1);
    QVERIFY(none.value(QStringLiteral("feelList")).toArray().isEmpty());
}

void tst_Classroom::gradingMovesAReflectionAndSetsItsText_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("grade");
    QTest::newRow("excellent") << 4 << QStringLiteral("优秀");
    QTest::newRow("good") << 3 << QStringLiteral("良好");
    QTest::newRow("pass") << 2 << QStringLiteral("合格");
    QTest::newRow("fail") << 1 << QStringLiteral("不合格");
}

void tst_Classroom::gradingMovesAReflectionAndSetsItsText() {
    QFETCH(int, code);
    QFETCH(QString, grade);
    const QJsonArray waitingBefore = feels(m_uid, 1);
    const qint64 reviewedBefore = feels(m_uid, 2).size();
    const qint64 feelId = integer(waitingBefore.at(waitingBefore.size() / 2), "FeelId");

    const QJsonObject answer =
        call(QStringLiteral("UpdateFeel"), {{"uid", QString::number(m_uid)},
                                            {"feelId", QString::number(feelId)},
                                            {"feelType", QString::number(code)}});
    QCOMPARE(resultOf(answer), 1);

    const QJsonArray waitingAfter = feels(m_uid, 1), reviewedAfter = feels(m_uid, 2);
    QCOMPARE(waitingAfter.size(), waitingBefore.size() - 1);
    QCOMPARE(reviewedAfter.size(), reviewedBefore + 1);
    for (const QJsonValue &feel : waitingAfter)
        QVERIFY(integer(feel, "FeelId") != feelId);
    bool listed = false;
    for (const QJsonValue &feel : reviewedAfter) {
        if (integer(feel, "FeelId") == feelId) {
            QCOMPARE(text(feel, "FeelTypeStr"), grade);
            listed = true;
        }
    }
    QVERIFY(listed);

    const QJsonValue detail =
        call(QStringLiteral("GetSingleFeel"), {{"feelId", QString::number(feelId)}})
            .value(QStringLiteral("feel"));
    QCOMPARE(text(detail, "FeelTypeStr"), grade);
    QCOMPARE(integer(detail, "FeelType"), code);
    QCOMPARE(integer(detail, "CheckUserId"), m_uid);
    QVERIFY(integer(detail, "Status") != 0);
    QVERIFY(!text(detail, "CheckTime").isEmpty());
}

void tst_Classroom::gradingRefusals_data() {
    QTest::addColumn<QString>("who");  // "own", "none", "neighbour"
    QTest::addColumn<QString>("feel"); // "waiting", "reviewed", "unknown"
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("message");

    QTest::newRow("teacher without classes") << "none"
                                             << "waiting"
                                             << "4"
                                             << "只能批阅自己班级学生的读后感";
    QTest::newRow("teacher of another class") << "neighbour"
                                              << "waiting"
                                              << "4"
                                              << "只能批阅自己班级学生的读后感";
    QTest::newRow("unknown reflection") << "own"
                                        << "unknown"
                                        << "4"
                                        << "读后感不存在";
    QTest::newRow("code 0") << "own"
                            << "waiting"
                            << "0"
                            << "批阅等级无效";
    QTest::newRow("code 5") << "own"
                            << "waiting"
                            << "5"
                            << "批阅等级无效";
    QTest::newRow("code -1") << "own"
                             << "waiting"
                             << "-1"
                             << "批阅等级无效";
    QTest::newRow("code as text") << "own"
                                  << "waiting" << QStringLiteral("优秀")
                                  << "参数格式错误：feelType";
    QTest::newRow("graded already") << "own"
                                    << "reviewed"
                                    << "4"
                                    << "该读后感已批阅";
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
    const QJsonObject answer =
        call(QStringLiteral("UpdateFeel"), {{"uid", QString::number(teacher)},
                                            {"feelId", QString::number(feelId)},
                                            {"feelType", code}});
    QCOMPARE(resultOf(answer), 0);
    QCOMPARE(msgOf(answer), message);
    if (!textBefore.isEmpty()) {
        const QJsonValue detail =
            call(QStringLiteral("GetSingleFeel"), {{"feelId", QString::number(feelId)}})
                .value(QStringLiteral("feel"));
        QCOMPARE(text(detail, "FeelTypeStr"), textBefore);
    }
}

void tst_Classroom::reflectionPicturesHaveLargerVariants() {
    int withPictures = 0;
    for (const QJsonValue &row : feels(m_uid, 0)) {
        const QJsonObject answer = call(QStringLiteral("GetSingleFeel"),
                                        {{"feelId", QString::number(integer(row, "FeelId"))}});
        QCOMPARE(resultOf(answer), 1);
        const QJsonValue detail = answer.value(QStringLiteral("feel"));
        QVERIFY(!text(detail, "Content").isEmpty());
        const QJsonArray urls = detail.toObject().value(QStringLiteral("ImgageUrlList")).toArray();
        QVERIFY(urls.size() <= 3);
        if (urls.isEmpty() || ++withPictures > 3)
            continue;
        for (const QJsonValue &url : urls) {
            const QString thumbnail = url.toString();
            QVERIFY(thumbnail.contains(QStringLiteral("thumbnail")));
            int status = 0;
            QByteArray type;
            const QImage small =
                QImage::fromData(m_client->get(QUrl(thumbnail).path().mid(1), &status, &type));
            QCOMPARE(status, 200);
            QCOMPARE(type, QByteArray("image/png"));
            QString larger = thumbnail;
            larger.replace(QStringLiteral("thumbnail"), QStringLiteral("bmiddle"));
            const QImage big = QImage::fromData(m_client->get(QUrl(larger).path().mid(1), &status));
            QCOMPARE(status, 200);
            QVERIFY(big.width() > small.width());
        }
        // One past the last picture does not exist.
        QString beyond = urls.last().toString();
        beyond.replace(QStringLiteral("_%1_").arg(urls.size()),
                       QStringLiteral("_%1_").arg(urls.size() + 1));
        int status = 0;
        m_client->get(QUrl(beyond).path().mid(1), &status);
        QCOMPARE(status, 404);
    }
    QVERIFY(withPictures > 0);
}

void tst_Classroom::termsCitiesAndDistricts() {
    const QJsonArray terms =
        call(QStringLiteral("GetTermYear"), {}).value(QStringLiteral("list")).toArray();
    QVERIFY(terms.size() >= 2);
    // The newest term is the one running today, not one fixed when the demo data was written.
    const QDate today = QDate::currentDate();
    const int firstYear = today.month() >= 9 ? today.year() : today.year() - 1;
    QCOMPARE(text(terms.at(0), "Year"), QStringLiteral("%1-%2").arg(firstYear).arg(firstYear + 1));
    QCOMPARE(text(terms.at(0), "TermName").endsWith(QStringLiteral("上学期")),
             today.month() >= 9 || today.month() == 1);
    for (qsizetype i = 0; i < terms.size(); ++i) {
        QVERIFY(text(terms.at(i), "TermName").startsWith(text(terms.at(i), "Year")));
        if (i > 0) // the current term first: the report starts with it
            QVERIFY(integer(terms.at(i - 1), "Id") > integer(terms.at(i), "Id"));
    }
    const QJsonArray cities = call(QStringLiteral("GetCityList"), {{"provinceId", "1"}})
                                  .value(QStringLiteral("cityList"))
                                  .toArray();
    QVERIFY(cities.size() >= 2);
    bool ownAreaFound = false;
    for (const QJsonValue &city : cities) {
        const QJsonArray areas = call(QStringLiteral("GetAreaList"),
                                      {{"cityId", QString::number(integer(city, "CityId"))}})
                                     .value(QStringLiteral("areaList"))
                                     .toArray();
        QVERIFY(!areas.isEmpty());
        for (const QJsonValue &area : areas)
            ownAreaFound |=
                integer(city, "CityId") == m_cityId && integer(area, "AreaId") == m_areaId;
    }
    QVERIFY(ownAreaFound);
}

void tst_Classroom::reportRowsAddUp_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("termIndex");
    QTest::newRow("grade, current term") << 0 << 0;
    QTest::newRow("grade, earlier term") << 0 << 2;
    QTest::newRow("school, current term") << 1 << 0;
    QTest::newRow("school, earlier term") << 1 << 1;
    QTest::newRow("region, current term") << 2 << 0;
    QTest::newRow("region, earlier term") << 2 << 3;
}

void tst_Classroom::reportRowsAddUp() {
    QFETCH(int, type);
    QFETCH(int, termIndex);
    const QJsonArray terms =
        call(QStringLiteral("GetTermYear"), {}).value(QStringLiteral("list")).toArray();
    const qint64 term = integer(terms.at(termIndex), "Id");
    const QJsonObject answer =
        report(type, term, type == 0 ? 3 : 0, type == 1 ? m_areaId : 0, type == 2 ? m_cityId : 0);
    QCOMPARE(resultOf(answer), 1);
    const QJsonArray rows = answer.value(QStringLiteral("classList")).toArray();
    QVERIFY(rows.size() >= 2);
    qint64 pupils = 0, flowers = 0;
    double previous = 1e18;
    for (const QJsonValue &row : rows) {
        QVERIFY(!text(row, "Name").isEmpty());
        QVERIFY(!row.toObject().contains(QStringLiteral("imageWidth")));
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
    if (type == 0) {
        for (const QJsonValue &row : rows)
            QVERIFY(text(row, "Name").startsWith(QStringLiteral("三年级")));
    }
}

void tst_Classroom::reportViewsAgree() {
    // The grade view counts the roster; the school view sums the grades; the region view sums
    // the schools; term 0 stands for the current term.
    const qint64 term = integer(
        call(QStringLiteral("GetTermYear"), {}).value(QStringLiteral("list")).toArray().first(),
        "Id");
    auto totals = [](const QJsonObject &answer, const QString &onlyName = {}) {
        qint64 pupils = 0, flowers = 0;
        for (const QJsonValue &row : answer.value(QStringLiteral("classList")).toArray()) {
            if (!onlyName.isEmpty() && text(row, "Name") != onlyName)
                continue;
            pupils += integer(row, "UserCount");
            flowers += integer(row, "FlowerCount");
        }
        return std::pair(pupils, flowers);
    };

    const QJsonArray own = classes(m_uid);
    const QJsonObject thirdGrade = report(0, term, 3, 0, 0);
    for (const QJsonValue &c : own) {
        if (text(c, "GradeStr") != QStringLiteral("三"))
            continue;
        const QString name = QStringLiteral("三年级") + text(c, "ClassName");
        QCOMPARE(totals(thirdGrade, name).first, roster(integer(c, "ClassId"), 0).size());
    }
    QCOMPARE(report(0, 0, 3, 0, 0), thirdGrade);

    qint64 schoolPupils = 0, schoolFlowers = 0;
    for (int grade = 1; grade <= 6; ++grade) {
        const auto [p, f] = totals(report(0, term, grade, 0, 0));
        schoolPupils += p;
        schoolFlowers += f;
    }
    const QString schoolName =
        text(call(QStringLiteral("TeacherLogin"), {{"userName", Teacher1}, {"password", Password}})
                 .value(QStringLiteral("user")),
             "SchoolName");
    const QJsonObject district = report(1, term, 0, m_areaId, 0);
    QCOMPARE(totals(district, schoolName), std::pair(schoolPupils, schoolFlowers));

    const QString areaName =
        text(call(QStringLiteral("TeacherLogin"), {{"userName", Teacher1}, {"password", Password}})
                 .value(QStringLiteral("user")),
             "AreaName");
    QCOMPARE(totals(report(2, term, 0, 0, m_cityId), areaName), totals(district));

    // Terms differ: the earlier term's totals are not the current one's.
    const qint64 earlier = integer(
        call(QStringLiteral("GetTermYear"), {}).value(QStringLiteral("list")).toArray().last(),
        "Id");
    QVERIFY(totals(report(1, earlier, 0, m_areaId, 0)) != totals(district));
}

QTEST_MAIN(tst_Classroom)
#include "tst_Classroom.moc"
