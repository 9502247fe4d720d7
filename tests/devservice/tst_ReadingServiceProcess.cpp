// The reading-service program itself: its command line, what it prints on start, and that a
// killed service comes back on its database with everything it had answered as done.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Form = QList<QPair<QString, QString>>;

} // namespace

class tst_ReadingServiceProcess : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startsPrintsAndSurvivesAKill();
    void refusesABadPort();

private:
    // Starts the program with the arguments; the base URL it printed, or empty.
    QString start(const QStringList &arguments);
    QJsonObject post(const QString &path, const Form &form);

    QTemporaryDir m_folder;
    std::unique_ptr<QProcess> m_process;
    QString m_printed;
    QString m_baseUrl;
    QNetworkAccessManager m_network;
};

void tst_ReadingServiceProcess::init() {
    QVERIFY(m_folder.isValid());
}

void tst_ReadingServiceProcess::cleanup() {
    if (m_process) {
        m_process->kill();
        m_process->waitForFinished(10000);
        m_process.reset();
    }
}

QString tst_ReadingServiceProcess::start(const QStringList &arguments) {
    m_process = std::make_unique<QProcess>();
    m_process->setProgram(QStringLiteral(READING_SERVICE_BINARY));
    m_process->setArguments(arguments);
    m_printed.clear();
    connect(m_process.get(), &QProcess::readyReadStandardOutput, this,
            [this] { m_printed += QString::fromUtf8(m_process->readAllStandardOutput()); });
    m_process->start();
    if (!m_process->waitForStarted(10000))
        return {};
    static const QRegularExpression address(
        QStringLiteral("listening on (http://127\\.0\\.0\\.1:[0-9]+/)"));
    QRegularExpressionMatch match;
    // Seeding takes a moment in sanitizer builds; the address line comes once it is done.
    for (int i = 0; i < 600 && m_process->state() == QProcess::Running; ++i) {
        match = address.match(m_printed);
        if (match.hasMatch() && m_printed.contains(QStringLiteral("13800000003")))
            return match.captured(1);
        QTest::qWait(50);
    }
    return {};
}

QJsonObject tst_ReadingServiceProcess::post(const QString &path, const Form &form) {
    QByteArray body;
    for (const auto &[key, value] : form)
        body += (body.isEmpty() ? "" : "&") + QUrl::toPercentEncoding(key) + '=' +
                QUrl::toPercentEncoding(value);
    QNetworkRequest request(QUrl(m_baseUrl + path));
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QByteArrayLiteral("application/x-www-form-urlencoded"));
    QNetworkReply *reply = m_network.post(request, body);
    QSignalSpy finished(reply, &QNetworkReply::finished);
    finished.wait(20000);
    const QJsonObject answer = QJsonDocument::fromJson(reply->readAll()).object();
    reply->deleteLater();
    return answer;
}

void tst_ReadingServiceProcess::startsPrintsAndSurvivesAKill() {
    const QString database = m_folder.filePath(QStringLiteral("service.sqlite"));
    m_baseUrl = start({QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--db"),
                       database, QStringLiteral("--reset"), QStringLiteral("--fixed-code"),
                       QStringLiteral("654321")});
    QVERIFY2(!m_baseUrl.isEmpty(), qPrintable(m_printed));
    QVERIFY(!m_baseUrl.endsWith(QStringLiteral(":0/")));
    QVERIFY(m_printed.contains(database));
    QVERIFY(m_printed.contains(QStringLiteral("seeded")));
    for (const char *account : {"13800000001", "13800000002", "13800000003"})
        QVERIFY(m_printed.contains(QLatin1String(account)));

    // The fixed code is every code.
    QCOMPARE(post(QStringLiteral("Mobile/SendVerification"),
                  {{"uid", "2"}, {"mobile", "13800000002"}, {"type", "0"}, {"stuType", "1"}})
                 .value(QStringLiteral("result"))
                 .toInteger(),
             1);
    QCOMPARE(post(QStringLiteral("Mobile/ConfirmVerification"), {{"uid", "2"},
                                                                 {"code", "654321"},
                                                                 {"mobile", "13800000002"},
                                                                 {"type", "6"},
                                                                 {"stuType", "1"}})
                 .value(QStringLiteral("result"))
                 .toInteger(),
             1);
    // Work that was answered as done...
    const QJsonArray waiting =
        post(QStringLiteral("Mobile/GetFeelList"), {{"uid", "1"}, {"feelType", "1"}})
            .value(QStringLiteral("feelList"))
            .toArray();
    QVERIFY(!waiting.isEmpty());
    const QString feelId =
        QString::number(waiting.first().toObject().value(QStringLiteral("FeelId")).toInteger());
    QCOMPARE(post(QStringLiteral("Mobile/UpdateFeel"),
                  {{"uid", "1"}, {"feelId", feelId}, {"feelType", "3"}})
                 .value(QStringLiteral("result"))
                 .toInteger(),
             1);

    // ...survives a kill without any chance to shut down.
    m_process->kill();
    QVERIFY(m_process->waitForFinished(10000));
    m_baseUrl =
        start({QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--db"), database});
    QVERIFY2(!m_baseUrl.isEmpty(), qPrintable(m_printed));
    QVERIFY(!m_printed.contains(QStringLiteral("seeded")));
    const QJsonObject feel = post(QStringLiteral("Mobile/GetSingleFeel"), {{"feelId", feelId}});
    QCOMPARE(feel.value(QStringLiteral("feel"))
                 .toObject()
                 .value(QStringLiteral("FeelTypeStr"))
                 .toString(),
             QStringLiteral("良好"));
    QCOMPARE(post(QStringLiteral("Mobile/TeacherLogin"),
                  {{"userName", "13800000002"}, {"password", "123456"}})
                 .value(QStringLiteral("result"))
                 .toInteger(),
             1);
}

void tst_ReadingServiceProcess::refusesABadPort() {
    QProcess process;
    process.start(QStringLiteral(READING_SERVICE_BINARY),
                  {QStringLiteral("--port"), QStringLiteral("70000"), QStringLiteral("--db"),
                   m_folder.filePath(QStringLiteral("unused.sqlite"))});
    QVERIFY(process.waitForFinished(20000));
    QCOMPARE(process.exitCode(), 2);
    QVERIFY(process.readAllStandardError().contains("--port"));
    QVERIFY(!QFile::exists(m_folder.filePath(QStringLiteral("unused.sqlite"))));
}

QTEST_MAIN(tst_ReadingServiceProcess)
#include "tst_ReadingServiceProcess.moc"
