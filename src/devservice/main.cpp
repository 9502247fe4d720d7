#include "ReadingService.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QTextStream>

#include <cstdio>
#include <utility>

int main(int argc, char *argv[]) {
    // Pictures are drawn with QPainter on QImage: no display is needed, so default to the
    // offscreen platform unless the caller chose one.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("reading-service"));
    QCoreApplication::setApplicationVersion(QStringLiteral(READING_SERVICE_VERSION));
    QGuiApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC")));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Development service of the teacher client, with demo data."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption hostOption(
        QStringLiteral("host"),
        QStringLiteral("Address to listen on (default 127.0.0.1). Any other address "
                       "lets every program that reaches it act as any teacher."),
        QStringLiteral("address"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption portOption(
        QStringLiteral("port"), QStringLiteral("Port to listen on, 0 for any (default 8780)."),
        QStringLiteral("port"), QStringLiteral("8780"));
    const QCommandLineOption dbOption(QStringLiteral("db"), QStringLiteral("Database file."),
                                      QStringLiteral("path"));
    const QCommandLineOption resetOption(QStringLiteral("reset"),
                                         QStringLiteral("Drop the database and seed it afresh."));
    const QCommandLineOption codeOption(
        QStringLiteral("fixed-code"), QStringLiteral("Use this value for every verification code."),
        QStringLiteral("code"));
    const QCommandLineOption approveAfterOption(
        QStringLiteral("approve-after"),
        QStringLiteral("Approve a teacher's class request this many seconds after it was made, "
                       "as the school would (0: at once). Default: requests stay pending."),
        QStringLiteral("seconds"));
    const QCommandLineOption delayOption(
        QStringLiteral("delay"),
        QStringLiteral("Answer every request this many milliseconds after it came, from 0 to "
                       "10000, as a slow network would; other requests are answered meanwhile "
                       "(default 0)."),
        QStringLiteral("ms"), QStringLiteral("0"));
    const QCommandLineOption approvePendingOption(
        QStringLiteral("approve-pending"),
        QStringLiteral("Approve every pending class request in the database, then exit."));
    // Limits; the defaults are what a service reachable by other programs needs, smaller or
    // larger ones are for tests and load runs. Each is read into its value, in the option's unit.
    const ReadingServiceOptions defaults;
    int codeInterval = int(defaults.codeLimits.intervalMs / 1000);
    int codesPerDay = defaults.codeLimits.perDay;
    int wrongCodes = defaults.codeLimits.wrongTriesPerDay;
    int idleTimeout = defaults.idleTimeoutMs / 1000;
    int maxConnections = defaults.maxConnections;
    auto limit = [](const char *name, const char *text, const char *unit, int *value) {
        return std::pair(
            QCommandLineOption(
                QString::fromLatin1(name),
                QStringLiteral("%1 (default %2).").arg(QString::fromLatin1(text)).arg(*value),
                QString::fromLatin1(unit)),
            value);
    };
    const std::pair<QCommandLineOption, int *> limits[] = {
        limit("code-interval",
              "Seconds between two verification codes for one number or one account", "seconds",
              &codeInterval),
        limit("codes-per-day", "Verification codes per number and per account in a day", "count",
              &codesPerDay),
        limit("wrong-codes-per-day", "Wrong verification codes accepted per number in a day",
              "count", &wrongCodes),
        limit("idle-timeout", "Seconds after which an idle or half-sent connection is closed",
              "seconds", &idleTimeout),
        limit("max-connections", "Connections held at once; more are refused at once", "count",
              &maxConnections),
    };
    parser.addOptions({hostOption, portOption, dbOption, resetOption, codeOption,
                       approveAfterOption, delayOption, approvePendingOption});
    for (const auto &[option, value] : limits)
        parser.addOption(option);
    parser.process(app);

    QTextStream err(stderr);
    for (const auto &[option, value] : limits) {
        if (!parser.isSet(option))
            continue;
        bool ok = false;
        *value = parser.value(option).toInt(&ok);
        if (!ok || *value < 0 || *value > 1000000) {
            err << "reading-service: --" << option.names().constFirst()
                << " needs a whole number from 0 to 1000000\n";
            return 2;
        }
    }
    if (idleTimeout == 0 || maxConnections == 0) {
        err << "reading-service: --idle-timeout and --max-connections need a number above 0\n";
        return 2;
    }
    ReadingServiceOptions options;
    options.codeLimits = {qint64(codeInterval) * 1000, codesPerDay, wrongCodes};
    options.idleTimeoutMs = idleTimeout * 1000;
    options.maxConnections = maxConnections;
    options.host = parser.value(hostOption);
    bool portOk = false;
    const uint port = parser.value(portOption).toUInt(&portOk);
    if (!portOk || port > 65535) {
        err << "reading-service: --port needs a number from 0 to 65535\n";
        return 2;
    }
    options.port = quint16(port);
    options.reset = parser.isSet(resetOption);
    if (parser.isSet(codeOption)) {
        const QString code = parser.value(codeOption);
        if (code.isEmpty()) {
            err << "reading-service: --fixed-code needs a value\n";
            return 2;
        }
        options.fixedCode = code;
    }
    if (parser.isSet(approveAfterOption)) {
        bool ok = false;
        const int seconds = parser.value(approveAfterOption).toInt(&ok);
        if (!ok || seconds < 0 || seconds > 1000000) {
            err << "reading-service: --approve-after needs a whole number of seconds from 0 to "
                   "1000000\n";
            return 2;
        }
        options.approveAfterSeconds = seconds;
    }
    {
        bool ok = false;
        options.answerDelayMs = parser.value(delayOption).toInt(&ok);
        if (!ok || options.answerDelayMs < 0 ||
            options.answerDelayMs > ReadingServiceOptions::MaximumAnswerDelayMs) {
            err << "reading-service: --delay needs a whole number of milliseconds from 0 to "
                << ReadingServiceOptions::MaximumAnswerDelayMs << '\n';
            return 2;
        }
        // The idle clock runs while an answer is held back: it would close the connection first.
        if (options.answerDelayMs >= options.idleTimeoutMs) {
            err << "reading-service: --delay must be shorter than --idle-timeout\n";
            return 2;
        }
    }
    if (parser.isSet(dbOption)) {
        options.databasePath = QFileInfo(parser.value(dbOption)).absoluteFilePath();
    } else {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        options.databasePath = QDir(folder).filePath(QStringLiteral("reading-service.sqlite"));
    }

    ReadingService service(options);
    QString error;
    if (parser.isSet(approvePendingOption)) {
        const int approved = service.approvePendingClassRequests(&error);
        if (approved < 0) {
            err << "reading-service: " << error << '\n';
            return 1;
        }
        QTextStream(stdout) << "approved " << approved << " pending class request"
                            << (approved == 1 ? "" : "s") << " in " << service.databasePath()
                            << '\n';
        return 0;
    }
    if (!service.start(&error)) {
        err << "reading-service: " << error << '\n';
        return 1;
    }

    QTextStream out(stdout);
    out << "reading-service listening on " << service.baseUrl() << '\n'
        << "database: " << service.databasePath()
        << (service.seededOnStart() ? " (new, demo data seeded)" : "") << '\n'
        << "demo accounts (password 123456):\n"
        << "  13800000001  teacher with three classes\n"
        << "  13800000002  teacher who must bind a mobile number first\n"
        << "  13800000003  teacher with no class\n";
    if (options.fixedCode)
        out << "every verification code is " << *options.fixedCode << '\n';
    if (options.answerDelayMs > 0)
        out << "every answer is sent " << options.answerDelayMs << " ms after its request\n";
    if (options.approveAfterSeconds)
        out << "class requests are approved " << *options.approveAfterSeconds
            << " s after they are made\n";
    out.flush();
    std::fflush(stdout);
    return app.exec();
}
