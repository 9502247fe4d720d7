// The whole client driven by scripts against the development service: grading a reflection,
// commenting on, liking and collecting a book, and binding a number then changing the password.
// Each outcome is checked on screen (expect lines, dumps) and again through the service.

#include "CataloguePath.h"
#include "StubHttpServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

class tst_ScriptEndToEnd : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QProcess m_service;
    QString m_baseUrl;
    QNetworkAccessManager m_network;
    QString m_stderr; // of the last client run

    QJsonObject post(Operation operation, const QByteArray &form) {
        QNetworkRequest request(QUrl(m_baseUrl + TestCatalogue::pathOf(operation)));
        request.setHeader(QNetworkRequest::ContentTypeHeader,
                          QByteArrayLiteral("application/x-www-form-urlencoded"));
        QNetworkReply *reply = m_network.post(request, form);
        QSignalSpy finished(reply, &QNetworkReply::finished);
        finished.wait(20000);
        reply->deleteLater();
        return QJsonDocument::fromJson(reply->readAll()).object();
    }
    QJsonArray list(Operation operation, const QByteArray &form, const char *key) {
        return post(operation, form).value(QLatin1String(key)).toArray();
    }

    // Runs the script (or, given "--tour DIR", the tour) in a client of its own, from a first
    // launch and on no display; the driver's complaint, or an empty text when all went through.
    QString runScript(const QString &name, const QString &text, const QString &url = {},
                      const QStringList &options = {},
                      const std::function<void(QProcess &)> &alongside = {});
    // The development service on `port` (0: one the system picks), its address in m_baseUrl.
    bool startService(const QString &port);
    QString gradeOf(const QJsonValue &feel) {
        const QByteArray id = QByteArray::number(feel.toObject().value("FeelId").toInteger());
        return post(Operation::GetSingleFeel, "feelId=" + id)
            .value(QStringLiteral("feel"))
            .toObject()
            .value(QStringLiteral("FeelTypeStr"))
            .toString();
    }
    // A book that the demo teacher has neither collected nor liked and that a search by its
    // name lists first; its detail as the service describes it.
    QJsonObject untouchedBook();
    qsizetype collectionCount() {
        return list(Operation::GetTeacherCollections, "uid=1", "collectlist").size();
    }
    // The rows of the dumped screen whose texts contain every part.
    static QStringList rowsWith(const QString &dumpFile, const QStringList &parts);

private slots:
    void initTestCase();
    void cleanupTestCase();
    void gradesAWaitingReflectionAndFindsItReviewed();
    void gradesThreeFromTheKeyboardAndTakesOneBack();
    void commentsLikesAndCollectsAFoundBook();
    void bindsANumberAndSignsInWithAChangedPassword();
    void tourEndsAtARefusedSignIn();
    void quittingWithACallInFlightLeavesNoLeak();
    void quittingWithAHeldGradeSendsItAndLeavesNoLeak();
    void aSignalEndsTheRunAfterSendingTheHeldGrade();
    void readsTheRosterOfflineUntilTheServiceIsBack();
    void logsAnswersOnlyWhenVerbose();
};

// From the guide's last page to the signed-in tabs.
static QString signIn(const char *user, const char *password) {
    return QStringLiteral("wait\ntap enterButton\nwait\ntype userNameTextField %1\n"
                          "type userPwdTextField %2\ntap loginButton\nwait\n")
        .arg(QLatin1String(user), QLatin1String(password));
}

void tst_ScriptEndToEnd::initTestCase() {
    QVERIFY(m_dir.isValid());
    QVERIFY(startService(QStringLiteral("0")));
}

bool tst_ScriptEndToEnd::startService(const QString &port) {
    QString printed;
    connect(&m_service, &QProcess::readyReadStandardOutput, this,
            [&] { printed += QString::fromUtf8(m_service.readAllStandardOutput()); });
    // Every verification code is known and may be asked for at once.
    m_service.start(QStringLiteral(READING_SERVICE_BINARY),
                    {QStringLiteral("--port"), port, QStringLiteral("--db"),
                     m_dir.filePath(QStringLiteral("service.sqlite")),
                     QStringLiteral("--fixed-code"), QStringLiteral("123456"),
                     QStringLiteral("--code-interval"), QStringLiteral("0")});
    static const QRegularExpression address(
        QStringLiteral("listening on (http://127\\.0\\.0\\.1:[0-9]+/)"));
    // Seeding takes a while in sanitizer builds; the address comes once it is done.
    const bool listening =
        m_service.waitForStarted(10000) &&
        QTest::qWaitFor([&] { return address.match(printed).hasMatch(); }, 60000);
    disconnect(&m_service, nullptr, this, nullptr);
    if (listening)
        m_baseUrl = address.match(printed).captured(1);
    return listening;
}

void tst_ScriptEndToEnd::cleanupTestCase() {
    m_service.kill();
    m_service.waitForFinished(10000);
}

void tst_ScriptEndToEnd::gradesAWaitingReflectionAndFindsItReviewed() {
    const QJsonArray waiting = list(Operation::GetFeelList, "uid=1&feelType=1", "feelList");
    QVERIFY(!waiting.isEmpty());
    const qint64 feelId = waiting.first().toObject().value(QStringLiteral("FeelId")).toInteger();

    const QString waitingDump = m_dir.filePath(QStringLiteral("waiting.json"));
    const QString reviewedDump = m_dir.filePath(QStringLiteral("reviewed.json"));
    QCOMPARE(runScript(QStringLiteral("grade"),
                       signIn("13800000001", "123456") + QStringLiteral(R"(
tap gradeBtn
wait
# both other lists loaded before the grading, so only the notification can update them
tap SegmentedControl 2
wait
tap SegmentedControl 1
wait
row tableView 0
wait
tap rightButton
wait
tap unQualifiedBtn
tap decideButton
wait
back
wait
dump %1
tap SegmentedControl 2
wait
dump %2
)")
                                                             .arg(waitingDump, reviewedDump)),
             QString());

    // The service has the grade...
    const QJsonObject feel = post(Operation::GetSingleFeel, "feelId=" + QByteArray::number(feelId));
    QCOMPARE(feel.value(QStringLiteral("feel")).toObject().value(QStringLiteral("FeelTypeStr")),
             QJsonValue(QStringLiteral("不合格")));

    // ...and on screen it has left the waiting list for the reviewed one, with the fail icon.
    const QJsonObject graded = waiting.first().toObject();
    const QStringList identity = {graded.value(QStringLiteral("BookName")).toString(),
                                  graded.value(QStringLiteral("RealName")).toString(),
                                  graded.value(QStringLiteral("CreateTimeStr")).toString()};
    QVERIFY2(rowsWith(waitingDump, identity).isEmpty(), "still listed as waiting");
    const QStringList reviewed = rowsWith(reviewedDump, identity);
    QCOMPARE(reviewed.size(), 1);
    QVERIFY2(reviewed.first().contains(QStringLiteral("不合格")) &&
                 reviewed.first().contains(QStringLiteral("grade_fail_icon")),
             qPrintable(reviewed.first()));
}

// The review desk of a wide window: three keys grade three reflections, Ctrl+Z takes the third
// back before it is sent, and another key grades it again.
void tst_ScriptEndToEnd::gradesThreeFromTheKeyboardAndTakesOneBack() {
    const QJsonArray waiting = list(Operation::GetFeelList, "uid=1&feelType=1", "feelList");
    QVERIFY(waiting.size() >= 4);
    QCOMPARE(runScript(QStringLiteral("desk"), signIn("13800000001", "123456") + QStringLiteral(R"(
tap gradeBtn
wait
tap SegmentedControl 1
wait
row tableView 0
press 1
press 2
press 4
press Ctrl+Z
press 3
wait
)"),
                       {},
                       {QStringLiteral("--size"), QStringLiteral("1280x800"),
                        QStringLiteral("--hold-ms"), QStringLiteral("3000")}),
             QString());
    const QStringList grades = {gradeOf(waiting[0]), gradeOf(waiting[1]), gradeOf(waiting[2]),
                                gradeOf(waiting[3])};
    QCOMPARE(grades, QStringList({QStringLiteral("优秀"), QStringLiteral("良好"),
                                  QStringLiteral("合格"), QStringLiteral("待批阅")}));
}

void tst_ScriptEndToEnd::commentsLikesAndCollectsAFoundBook() {
    const QJsonObject book = untouchedBook();
    QVERIFY2(!book.isEmpty(), "no book that the teacher has left untouched");
    const QString name = book.value(QStringLiteral("BookName")).toString();
    const auto count = [&](const char *key) { return book.value(QLatin1String(key)).toInteger(); };
    const qsizetype collected = collectionCount();
    const QString comment = QStringLiteral("插图很美，孩子们读得很开心。");

    QCOMPARE(runScript(QStringLiteral("catalogue"),
                       signIn("13800000001", "123456") +
                           QStringLiteral(R"(
expect collectNumLabel %1
tab 1
wait
tap searchButton
wait
type searchTextField %2
key searchTextField Return
wait
row searchCollectionView 0
wait
expect bookNameLabel %2
tap commentButton
wait
tap publishCommonButton
wait
type commonText %3
tap submitButton
wait
expect commentCountLabel %4
tap catZanButton
wait
expect zanCountLabel %5
tap rightButton
wait
expect rightButton 已收藏
back
wait
back
wait
tab 0
wait
expect collectNumLabel %6
)")
                               .arg(QString::number(collected), name, comment,
                                    QString::number(count("CommentsCount") + 1),
                                    QString::number(count("GoodCount") + 1))
                               .arg(collected + 1)),
             QString());

    const QByteArray ids = "uid=1&bookId=" + QByteArray::number(count("BookId"));
    const QJsonObject after =
        post(Operation::GetBookDetailShow, ids).value(QStringLiteral("book")).toObject();
    QCOMPARE(after.value(QStringLiteral("IsCollect")).toInteger(), 1);
    QCOMPARE(after.value(QStringLiteral("IsGood")).toInteger(), 1);
    QCOMPARE(collectionCount(), collected + 1);
    const QJsonArray comments =
        list(Operation::GetCommentShow, ids + "&pageIndex=1&pageSize=9", "commentList");
    QVERIFY(std::any_of(comments.begin(), comments.end(), [&](const QJsonValue &row) {
        return row[QStringLiteral("Content")] == comment && row[QStringLiteral("UserId")] == 1;
    }));
}

void tst_ScriptEndToEnd::bindsANumberAndSignsInWithAChangedPassword() {
    const QString home = m_dir.filePath(QStringLiteral("home.json"));
    QCOMPARE(
        runScript(QStringLiteral("account"), signIn("13800000002", "123456") + QStringLiteral(R"(
expect confirmButton 绑定
type phoneTextField 13900000002
tap verificationBtn
wait
type verfyTextField 123456
tap confirmButton
wait
tab 3
wait
row userTableView 2
wait
row settingTableView 0
wait
type oldTextField 123456
type pwdTextField 654321
type againTextField 654321
tap confirmButton
wait
expect alertTitle 密码修改成功，请重新登录
tap alertButton0
wait
expect userNameTextField 13800000002
type userPwdTextField 654321
tap loginButton
wait
tab 3
wait
row userTableView 2
wait
tap loginOutButton
wait
expect loginButton 登录
type userPwdTextField 654321
tap loginButton
wait
dump %1
)")
                                                                                   .arg(home)),
        QString());

    QFile dump(home);
    QVERIFY(dump.open(QIODevice::ReadOnly));
    QCOMPARE(QJsonDocument::fromJson(dump.readAll())[QStringLiteral("screen")].toString(),
             QStringLiteral("MainViewController"));
    const auto login = [&](const QByteArray &password) {
        return post(Operation::Login, "userName=13800000002&password=" + password)
            .value(QStringLiteral("result"))
            .toInteger();
    };
    QCOMPARE(login("123456"), 0);
    QCOMPARE(login("654321"), 1);
}

QString tst_ScriptEndToEnd::runScript(const QString &name, const QString &text, const QString &url,
                                      const QStringList &options,
                                      const std::function<void(QProcess &)> &alongside) {
    const QString script = m_dir.filePath(name + QStringLiteral(".txt"));
    QFile file(script);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0)
        return QStringLiteral("cannot write ") + script;
    file.close();

    QProcess client;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *display : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QLatin1String(display));
    env.insert(QStringLiteral("TEACHER_SERVICE_URL"), url.isEmpty() ? m_baseUrl : url);
    env.insert(QStringLiteral("TEACHER_CLIENT_CONFIG_DIR"), m_dir.filePath(name + "-cfg"));
    env.insert(QStringLiteral("TEACHER_CLIENT_CACHE_DIR"), m_dir.filePath(name + "-cache"));
    client.setProcessEnvironment(env);
    client.start(QStringLiteral(TEACHER_CLIENT_BINARY),
                 text.startsWith(QLatin1String("--"))
                     ? text.split(u' ')
                     : QStringList{QStringLiteral("--script"), script} + options);
    if (alongside && client.waitForStarted(10000))
        alongside(client);
    // Bounded even under the sanitizers: every step of a script waits at most ten seconds.
    if (!client.waitForFinished(240000)) {
        client.kill();
        client.waitForFinished(10000);
        return QStringLiteral("the client did not finish ") + script;
    }
    m_stderr = QString::fromUtf8(client.readAllStandardError());
    if (client.exitStatus() == QProcess::NormalExit && client.exitCode() == 0)
        return {};
    // The driver's own lines, without the client's debug log.
    const QStringList errors = m_stderr.split(u'\n').filter(QStringLiteral("teacher-client: "));
    return QStringLiteral("exit %1: %2").arg(client.exitCode()).arg(errors.join(u'\n'));
}

// The tour stops there: no later chapter runs signed out.
void tst_ScriptEndToEnd::tourEndsAtARefusedSignIn() {
    const QString said = runScript(QStringLiteral("tour"),
                                   "--tour " + m_dir.filePath("tour") + " --password wrong1");
    QVERIFY2(said.contains(QStringLiteral("\"sign-in\": the sign-in as 13800000001 was not")) &&
                 !said.contains(QStringLiteral("\"roster\"")),
             qPrintable(said));
    // The screens it did see are timed both ways.
    QFile file(m_dir.filePath("tour/timings.json"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonArray screens = QJsonDocument::fromJson(file.readAll())["screens"].toArray();
    QCOMPARE(screens.size(), 3);
    for (const QJsonValue &screen : screens)
        QVERIFY2(screen["readyMs"].toInteger(-1) >= 0 && screen["settleMs"].toInteger(-1) >= 0,
                 QJsonDocument(screen.toObject()).toJson().constData());
}

// The script ends while the sign-in waits for its answer (this process answers nothing while it
// waits for the client): the sanitizer's leak check at the client's exit finds nothing of it.
void tst_ScriptEndToEnd::quittingWithACallInFlightLeavesNoLeak() {
    StubHttpServer stub;
    QVERIFY(stub.start());
    const QString text = signIn("13800000001", "123456").chopped(5); // no wait at the end
    QCOMPARE(runScript(QStringLiteral("quit"), text, stub.baseUrl()), QString());
}

// The roster read once is there with the service stopped, under the offline bar; with the
// service back, F5 brings it anew and the bar goes.
void tst_ScriptEndToEnd::readsTheRosterOfflineUntilTheServiceIsBack() {
    const auto file = [&](const char *name) { return m_dir.filePath(QLatin1String(name)); };
    const QString port = QString::number(QUrl(m_baseUrl).port());
    const QString said = runScript(
        QStringLiteral("offline"),
        signIn("13800000001", "123456") + QStringLiteral(R"(
tap classBtn
wait
dump %1
back
wait
await %2
tap classBtn
wait
dump %3
await %4
press F5
wait
dump %5
)")
                                              .arg(file("online.json"), file("stopped"),
                                                   file("offline.json"), file("started"),
                                                   file("back.json")),
        {}, {}, [&](QProcess &) {
            // A step that waits too long fails the script; the files it waits for are
            // made here.
            (void)QTest::qWaitFor([&] { return QFile::exists(file("online.json")); }, 120000);
            m_service.kill();
            m_service.waitForFinished(10000);
            QFile(file("stopped")).open(QIODevice::WriteOnly);
            (void)QTest::qWaitFor([&] { return QFile::exists(file("offline.json")); }, 60000);
            startService(port);
            QFile(file("started")).open(QIODevice::WriteOnly);
        });
    QVERIFY2(said.isEmpty(), qPrintable(said));

    const auto offline = [&](const char *dump) {
        QFile shown(file(dump));
        return shown.open(QIODevice::ReadOnly) && shown.readAll().contains("离线 · 数据更新于 ");
    };
    const QStringList pupil = {QStringLiteral("陈锦博"), QStringLiteral("阅读小苗")};
    QVERIFY(!offline("online.json") && offline("offline.json") && !offline("back.json"));
    QCOMPARE(rowsWith(file("offline.json"), pupil).size(), 1);
    QCOMPARE(rowsWith(file("back.json"), pupil).size(), 1);
}

// The grade goes out after the window has gone; the lists it makes ask again are cut.
void tst_ScriptEndToEnd::quittingWithAHeldGradeSendsItAndLeavesNoLeak() {
    const QJsonArray waiting = list(Operation::GetFeelList, "uid=1&feelType=1", "feelList");
    QVERIFY(!waiting.isEmpty());
    QCOMPARE(runScript(QStringLiteral("held"), signIn("13800000001", "123456") + QStringLiteral(R"(
tap gradeBtn
wait
tap SegmentedControl 1
wait
row tableView 0
press 4
)"),
                       {},
                       {QStringLiteral("--size"), QStringLiteral("1280x800"),
                        QStringLiteral("--hold-ms"), QStringLiteral("3000")}),
             QString());
    QCOMPARE(gradeOf(waiting[0]), QStringLiteral("不合格"));
}

// The session ends (SIGTERM) while a grade is in its undo window: it reaches the service, then
// the client exits cleanly.
void tst_ScriptEndToEnd::aSignalEndsTheRunAfterSendingTheHeldGrade() {
    const QJsonArray waiting = list(Operation::GetFeelList, "uid=1&feelType=1", "feelList");
    QVERIFY(waiting.size() > 1);
    const QString graded = m_dir.filePath(QStringLiteral("signal-graded.png"));
    const QString said = runScript(
        QStringLiteral("signal"),
        signIn("13800000001", "123456") + QStringLiteral(R"(
tap gradeBtn
wait
tap SegmentedControl 1
wait
row tableView 0
press 3
shot %1
await %2
)")
                                              .arg(graded, m_dir.filePath(QStringLiteral("never"))),
        {},
        {QStringLiteral("--size"), QStringLiteral("1280x800"), QStringLiteral("--hold-ms"),
         QStringLiteral("60000")},
        [&](QProcess &client) {
            (void)QTest::qWaitFor([&] { return QFile::exists(graded); }, 120000);
            ::kill(pid_t(client.processId()), SIGTERM);
        });
    QVERIFY2(said.isEmpty(), qPrintable(said));
    QCOMPARE(gradeOf(waiting[0]), QStringLiteral("合格"));
}

QJsonObject tst_ScriptEndToEnd::untouchedBook() {
    const QByteArray query = "gradeId=0&sortId=0&orderbytype=1&pageIndex=1&pageSize=9&name=";
    const QJsonArray books = list(Operation::GetBookList, query, "bookList");
    for (const QJsonValue &listed : books) {
        const QByteArray id = QByteArray::number(listed[QStringLiteral("BookId")].toInteger());
        const QJsonObject book = post(Operation::GetBookDetailShow, "uid=1&bookId=" + id)
                                     .value(QStringLiteral("book"))
                                     .toObject();
        const QByteArray name =
            QUrl::toPercentEncoding(book.value(QStringLiteral("BookName")).toString());
        const QJsonArray found = list(Operation::GetBookList, query + name, "bookList");
        if (book[QStringLiteral("IsCollect")] == 0 && book[QStringLiteral("IsGood")] == 0 &&
            !found.isEmpty() &&
            found.first()[QStringLiteral("BookId")] == listed[QStringLiteral("BookId")])
            return book;
    }
    return {};
}

QStringList tst_ScriptEndToEnd::rowsWith(const QString &dumpFile, const QStringList &parts) {
    QFile file(dumpFile); // written for sure: the script ran to its end
    file.open(QIODevice::ReadOnly);
    QStringList found;
    // Every row of the list on screen as one text: its display text and the model's named roles.
    const std::function<void(const QJsonObject &)> walk = [&](const QJsonObject &node) {
        for (const QJsonValue &row : node.value(QStringLiteral("rows")).toArray()) {
            const QString all = QString::fromUtf8(QJsonDocument(row.toObject()).toJson());
            if (std::all_of(parts.begin(), parts.end(),
                            [&](const QString &part) { return all.contains(part); }))
                found << all;
        }
        for (const QJsonValue &child : node.value(QStringLiteral("children")).toArray())
            walk(child.toObject());
    };
    walk(QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("tree")).toObject());
    return found;
}

// A desktop session keeps stderr in its journal: the sign-in's answer (the teacher's record) is
// written there only when asked for, and the password never.
void tst_ScriptEndToEnd::logsAnswersOnlyWhenVerbose() {
    for (const bool verbose : {false, true}) {
        QCOMPARE(runScript(verbose ? "verbose" : "quiet", signIn("13800000001", "123456"), {},
                           verbose ? QStringList{"--verbose"} : QStringList{}),
                 QString());
        QCOMPARE(m_stderr.contains(QLatin1String("\"result\"")), verbose);
        QVERIFY(!m_stderr.contains(QLatin1String("123456")));
    }
}

QTEST_MAIN(tst_ScriptEndToEnd)
#include "tst_ScriptEndToEnd.moc"
