#include "Driver.h"

#include "HeldChanges.h"
#include "ScriptRunner.h"
#include "TickSource.h"
#include "Tour.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTextStream>

namespace {
const char *const kDemoUser = "13800000001";
const char *const kDemoPassword = "123456";
// What the tour types as a verification code: the development service sends it when started with
// --fixed-code 123456.
const char *const kTourCode = "123456";

constexpr int kLongestHoldMs = 60000;

void say(const QString &line, bool failure) {
    QTextStream(failure ? stderr : stdout) << "teacher-client: " << line << "\n";
}
} // namespace

Driver::Driver() = default;
Driver::~Driver() = default;

void Driver::addOptions(QCommandLineParser *parser) {
    parser->addOption({QStringLiteral("script"),
                       QStringLiteral("Drive the window by the steps of a script file (verbs: %1) "
                                      "and exit: 0 when every step was done, 1 at the first "
                                      "step that could not be, 64 for a script with mistakes.")
                           .arg(Script::verbs().join(QStringLiteral(", "))),
                       QStringLiteral("file")});
    parser->addOption({QStringLiteral("tour"),
                       QStringLiteral("Sign in from fresh settings, visit every screen and save "
                                      "NN-Screen.png, NN-Screen.json and timings.json in the "
                                      "folder, then exit."),
                       QStringLiteral("dir")});
    parser->addOption({QStringLiteral("timings"),
                       QStringLiteral("With --script: write to the file, as JSON, when the script "
                                      "started (startedAtMs, since the epoch) and each wait's "
                                      "readyMs, keptMs and settleMs."),
                       QStringLiteral("file")});
    parser->addOption(
        {QStringLiteral("size"),
         QStringLiteral("Open the window at this size, e.g. 1280x800 (%1 to %2 wide, %3 to %4 "
                        "high) instead of the device's; the device still decides the look.")
             .arg(SmallestWindow.width())
             .arg(LargestWindow.width())
             .arg(SmallestWindow.height())
             .arg(LargestWindow.height()),
         QStringLiteral("WxH")});
    parser->addOption({QStringLiteral("hold-ms"),
                       QStringLiteral("How long a grade given with one key can be taken back "
                                      "before it is sent, in milliseconds (0 to %1, default %2); "
                                      "a script's wait lasts until held grades are answered.")
                           .arg(kLongestHoldMs)
                           .arg(HeldChanges::DefaultHoldMs),
                       QStringLiteral("ms")});
    parser->addOption({QStringLiteral("user"),
                       QStringLiteral("The account the tour signs in with (default %1).")
                           .arg(QLatin1String(kDemoUser)),
                       QStringLiteral("mobile")});
    parser->addOption({QStringLiteral("password"),
                       QStringLiteral("The tour account's password (default %1).")
                           .arg(QLatin1String(kDemoPassword)),
                       QStringLiteral("password")});
    parser->addOption({QStringLiteral("code"),
                       QStringLiteral("The verification code the tour types: the service's fixed "
                                      "code (reading-service --fixed-code CODE; default %1).")
                           .arg(QLatin1String(kTourCode)),
                       QStringLiteral("code")});
}

std::optional<QSize> Driver::windowSizeOf(const QString &text) {
    // At most five digits a side: no overflow reaches the bounds check.
    static const QRegularExpression form(QStringLiteral("^([0-9]{1,5})x([0-9]{1,5})$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QSize size(match.captured(1).toInt(), match.captured(2).toInt());
    if (size.width() < SmallestWindow.width() || size.width() > LargestWindow.width() ||
        size.height() < SmallestWindow.height() || size.height() > LargestWindow.height())
        return std::nullopt;
    return size;
}

std::optional<int> Driver::readOptions(const QCommandLineParser &parser) {
    if (parser.isSet(QStringLiteral("size"))) {
        const QString text = parser.value(QStringLiteral("size"));
        m_windowSize = windowSizeOf(text);
        if (!m_windowSize) {
            say(QStringLiteral("--size takes WIDTHxHEIGHT, %1 to %2 wide and %3 to %4 high "
                               "(e.g. 1280x800), not \"%5\"")
                    .arg(SmallestWindow.width())
                    .arg(LargestWindow.width())
                    .arg(SmallestWindow.height())
                    .arg(LargestWindow.height())
                    .arg(text),
                true);
            return 2;
        }
    }
    if (parser.isSet(QStringLiteral("hold-ms"))) {
        static const QRegularExpression digits(QStringLiteral("^[0-9]{1,5}$"));
        const QString text = parser.value(QStringLiteral("hold-ms"));
        if (!digits.match(text).hasMatch() || text.toInt() > kLongestHoldMs) {
            say(QStringLiteral("--hold-ms takes milliseconds from 0 to %1, not \"%2\"")
                    .arg(kLongestHoldMs)
                    .arg(text),
                true);
            return 2;
        }
        m_holdMs = text.toInt();
    }

    m_scriptFile = parser.value(QStringLiteral("script"));
    m_timingsFile = parser.value(QStringLiteral("timings"));
    if (parser.isSet(QStringLiteral("timings")) &&
        (m_scriptFile.isEmpty() || m_timingsFile.isEmpty())) {
        say(QStringLiteral("--timings needs a file and goes with --script"), true);
        return 2;
    }
    m_tourDir = parser.value(QStringLiteral("tour"));
    const bool account = parser.isSet(QStringLiteral("user")) ||
                         parser.isSet(QStringLiteral("password")) ||
                         parser.isSet(QStringLiteral("code"));
    if ((parser.isSet(QStringLiteral("script")) && m_scriptFile.isEmpty()) ||
        (parser.isSet(QStringLiteral("tour")) && m_tourDir.isEmpty())) {
        say(QStringLiteral("--script needs a file and --tour a folder"), true);
        return 2;
    }
    if (!m_scriptFile.isEmpty() && !m_tourDir.isEmpty()) {
        say(QStringLiteral("--script and --tour cannot go together"), true);
        return 2;
    }
    if (account && m_tourDir.isEmpty()) {
        say(QStringLiteral("--user, --password and --code go with --tour"), true);
        return 2;
    }
    if (isSet() && parser.isSet(QStringLiteral("screenshot"))) {
        say(QStringLiteral("--screenshot cannot go with --script or --tour"), true);
        return 2;
    }

    if (!m_scriptFile.isEmpty()) {
        QFile file(m_scriptFile);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            say(QStringLiteral("cannot read the script %1: %2")
                    .arg(m_scriptFile, file.errorString()),
                true);
            return Script::NoInputExitCode;
        }
        m_script = Script::parse(QString::fromUtf8(file.readAll()));
        if (!m_script.errors.isEmpty()) {
            for (const QString &error : std::as_const(m_script.errors))
                say(QStringLiteral("%1: %2").arg(m_scriptFile, error), true);
            say(QStringLiteral("%1: nothing was run").arg(m_scriptFile), true);
            return Script::UsageExitCode;
        }
        return std::nullopt;
    }

    if (!m_tourDir.isEmpty()) {
        m_user = parser.isSet(QStringLiteral("user")) ? parser.value(QStringLiteral("user"))
                                                      : QLatin1String(kDemoUser);
        m_password = parser.isSet(QStringLiteral("password"))
                         ? parser.value(QStringLiteral("password"))
                         : QLatin1String(kDemoPassword);
        m_code = parser.isSet(QStringLiteral("code")) ? parser.value(QStringLiteral("code"))
                                                      : QLatin1String(kTourCode);
        QTemporaryFile probe(QDir(m_tourDir).filePath(QStringLiteral("probe-XXXXXX")));
        if (!QDir().mkpath(m_tourDir) || !probe.open()) {
            say(QStringLiteral("cannot write into the tour folder %1").arg(m_tourDir), true);
            return CannotCreateExitCode;
        }
        m_tourDir = QFileInfo(m_tourDir).absoluteFilePath();
        // The tour starts like a first launch and never touches the user's own remembered login
        // or image cache.
        m_tourSettings = std::make_unique<QTemporaryDir>();
        if (!m_tourSettings->isValid()) {
            say(QStringLiteral("cannot make a temporary settings folder: %1")
                    .arg(m_tourSettings->errorString()),
                true);
            return CannotCreateExitCode;
        }
        qputenv("TEACHER_CLIENT_CONFIG_DIR", m_tourSettings->path().toLocal8Bit());
        qputenv("TEACHER_CLIENT_CACHE_DIR",
                m_tourSettings->filePath(QStringLiteral("cache")).toLocal8Bit());
    }
    return std::nullopt;
}

QString Driver::writeTimings(const ScriptRunner &runner, const QString &path) {
    QJsonArray waits;
    for (const ScriptRunner::Record &record : runner.records()) {
        if (record.settledMs < 0)
            continue;
        QJsonObject wait{{QStringLiteral("line"), record.line},
                         {QStringLiteral("readyMs"), record.readyMs},
                         {QStringLiteral("settleMs"), record.settledMs}};
        if (record.keptMs >= 0)
            wait.insert(QStringLiteral("keptMs"), record.keptMs);
        waits.append(wait);
    }
    const QJsonObject out{{QStringLiteral("startedAtMs"), runner.startedAtMs()},
                          {QStringLiteral("waits"), waits}};
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(QJsonDocument(out).toJson(QJsonDocument::Indented)) < 0 || !file.commit())
        return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return {};
}

void Driver::start() {
    // Countdowns move only by the script's tick steps, so a picture of one shows the same second
    // on every run.
    if (isSet())
        TickSource::setManual(true);
    auto done = [](int code, const QString &message) {
        say(message, code != 0);
        QCoreApplication::exit(code);
    };
    if (!m_scriptFile.isEmpty()) {
        auto runner = std::make_unique<ScriptRunner>(m_script.steps, m_scriptFile);
        if (!m_timingsFile.isEmpty()) {
            QObject::connect(runner.get(), &ScriptRunner::finished, runner.get(),
                             [runner = runner.get(), file = m_timingsFile] {
                                 if (const QString why = writeTimings(*runner, file);
                                     !why.isEmpty())
                                     say(why, true);
                             });
        }
        QObject::connect(runner.get(), &ScriptRunner::finished, runner.get(), done,
                         Qt::QueuedConnection);
        runner->start();
        m_running = std::move(runner);
    } else if (!m_tourDir.isEmpty()) {
        auto tour = std::make_unique<Tour>(m_tourDir, m_user, m_password, m_code);
        QObject::connect(tour.get(), &Tour::finished, tour.get(), done, Qt::QueuedConnection);
        tour->start();
        m_running = std::move(tour);
    }
}
