// The whole client driven by a script against the development service: a teacher signs in,
// opens a reflection waiting for review, grades it "不合格" and finds it under "已批阅".

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

class tst_ScriptEndToEnd : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QProcess m_service;
    QString m_baseUrl;
    QNetworkAccessManager m_network;

    QJsonObject post(const QString &path, const QByteArray &form) {
        QNetworkRequest request(QUrl(m_baseUrl + path));
        request.setHeader(QNetworkRequest::ContentTypeHeader,
                          QByteArrayLiteral("application/x-www-form-urlencoded"));
        QNetworkReply *reply = m_network.post(request, form);
        QSignalSpy finished(reply, &QNetworkReply::finished);
        finished.wait(20000);
        reply->deleteLater();
        return QJsonDocument::fromJson(reply->readAll()).object();
    }

    // The rows of the dumped screen whose texts contain every part.
    static QStringList rowsWith(const QString &dumpFile, const QStringList &parts);

private slots:
    void initTestCase();
    void cleanupTestCase();
    void gradesAWaitingReflectionAndFindsItReviewed();
};

void tst_ScriptEndToEnd::initTestCase() {
    QVERIFY(m_dir.isValid());
    QString printed;
    connect(&m_service, &QProcess::readyReadStandardOutput, this,
            [&] { printed += QString::fromUtf8(m_service.readAllStandardOutput()); });
    m_service.start(QStringLiteral(READING_SERVICE_BINARY),
                    {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--db"),
                     m_dir.filePath(QStringLiteral("service.sqlite"))});
    QVERIFY(m_service.waitForStarted(10000));
    static const QRegularExpression address(
        QStringLiteral("listening on (http://127\\.0\\.0\\.1:[0-9]+/)"));
    // Seeding takes a while in sanitizer builds; the address comes once it is done.
    QTRY_VERIFY_WITH_TIMEOUT(address.match(printed).hasMatch(), 60000);
    m_baseUrl = address.match(printed).captured(1);
    disconnect(&m_service, nullptr, this, nullptr);
}

void tst_ScriptEndToEnd::cleanupTestCase() {
    m_service.kill();
    m_service.waitForFinished(10000);
}

void tst_ScriptEndToEnd::gradesAWaitingReflectionAndFindsItReviewed() {
    const QJsonArray waiting = post(QStringLiteral("Mobile/GetFeelList"), "uid=1&feelType=1")
                                   .value(QStringLiteral("feelList"))
                                   .toArray();
    QVERIFY(!waiting.isEmpty());
    const qint64 feelId = waiting.first().toObject().value(QStringLiteral("FeelId")).toInteger();

    const QString waitingDump = m_dir.filePath(QStringLiteral("waiting.json"));
    const QString reviewedDump = m_dir.filePath(QStringLiteral("reviewed.json"));
    const QString script = m_dir.filePath(QStringLiteral("grade.txt"));
    QFile file(script);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral(R"(# a first launch: the guide, then the login screen
wait
tap enterButton
wait
type userNameTextField 13800000001
type userPwdTextField 123456
tap loginButton
wait
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
                   .arg(waitingDump, reviewedDump)
                   .toUtf8());
    file.close();

    QProcess client;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("TEACHER_SERVICE_URL"), m_baseUrl);
    env.insert(QStringLiteral("TEACHER_CLIENT_CONFIG_DIR"), m_dir.filePath(QStringLiteral("cfg")));
    env.insert(QStringLiteral("TEACHER_CLIENT_CACHE_DIR"), m_dir.filePath(QStringLiteral("cache")));
    client.setProcessEnvironment(env);
    client.start(QStringLiteral(TEACHER_CLIENT_BINARY), {QStringLiteral("--script"), script});
    QVERIFY(client.waitForFinished(120000));
    // The driver's own lines, without the client's debug log.
    const QStringList errors = QString::fromUtf8(client.readAllStandardError())
                                   .split(u'\n')
                                   .filter(QStringLiteral("teacher-client: "));
    QVERIFY2(client.exitCode() == 0, qPrintable(errors.join(u'\n')));

    // The service has the grade...
    const QJsonObject feel =
        post(QStringLiteral("Mobile/GetSingleFeel"), "feelId=" + QByteArray::number(feelId));
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

QTEST_MAIN(tst_ScriptEndToEnd)
#include "tst_ScriptEndToEnd.moc"
