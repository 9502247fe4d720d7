// How soon screens show their content on a slow school network: the development service answers
// every request `delay` ms late (reading-service --delay), on 127.0.0.1.
// - The tour (teacher-client --tour) at delay 0 and at delay 150, side by side. Every screen's
//   readyMs from its timings.json: the screens drawn from kept answers (keptMs, a second visit)
//   and the others (first visits, and screens that ask nothing), each with its median and worst,
//   and the screens beyond their budget: one delay + 50 ms for the others, 50 ms when kept.
//   readyMs counts pictures too: a screen whose pictures come after its answer needs a second
//   round trip for them.
// - A cold start at delay 1000: the demo teacher signed in once (so the program remembers the
//   login and keeps the answers), then the program started again; the time from the process's
//   start to the first frame with the home's content. Budget: 300 ms.
//
//   bench_instant
//
// Run it from a Release build; the tours take about a minute each.

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

const QString ClientBinary = QStringLiteral(TEACHER_CLIENT_BINARY);
const QString ServiceBinary = QStringLiteral(READING_SERVICE_BINARY);
constexpr int FirstVisitSlackMs = 50;
constexpr int KeptBudgetMs = 50;
constexpr int ColdStartBudgetMs = 300;
constexpr int ColdStartDelayMs = 1000;

struct Service {
    QProcess process;
    QString url;

    bool start(const QString &database, int delayMs) {
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(ServiceBinary, {QStringLiteral("--port"), QStringLiteral("0"),
                                      QStringLiteral("--db"), database, QStringLiteral("--reset"),
                                      QStringLiteral("--delay"), QString::number(delayMs),
                                      QStringLiteral("--fixed-code"), QStringLiteral("123456"),
                                      QStringLiteral("--code-interval"), QStringLiteral("0")});
        static const QRegularExpression listening(QStringLiteral("listening on (http://\\S+)"));
        QByteArray output;
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 60000 && process.state() != QProcess::NotRunning) {
            process.waitForReadyRead(500);
            output += process.readAll();
            if (const auto match = listening.match(QString::fromUtf8(output)); match.hasMatch()) {
                url = match.captured(1);
                return true;
            }
        }
        return false;
    }
    ~Service() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }
};

// The client with its own settings and caches, against `url`; its exit code, -1 when it did not
// finish within ten minutes.
int runClient(const QString &url, const QString &home, const QStringList &arguments) {
    QProcess client;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TEACHER_SERVICE_URL"), url);
    env.insert(QStringLiteral("TEACHER_CLIENT_CONFIG_DIR"), home + QStringLiteral("/config"));
    env.insert(QStringLiteral("TEACHER_CLIENT_CACHE_DIR"), home + QStringLiteral("/cache"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    client.setProcessEnvironment(env);
    client.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    client.setStandardOutputFile(QProcess::nullDevice());
    client.start(ClientBinary, arguments);
    if (!client.waitForFinished(10 * 60 * 1000)) {
        client.kill();
        client.waitForFinished();
        return -1;
    }
    return client.exitStatus() == QProcess::NormalExit ? client.exitCode() : -1;
}

std::optional<QJsonObject> readJson(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    return document.isObject() ? std::optional(document.object()) : std::nullopt;
}

struct Spread {
    QList<qint64> values;
    qint64 median() const {
        QList<qint64> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        return sorted.isEmpty() ? -1 : sorted.at(sorted.size() / 2);
    }
    qint64 worst() const {
        return values.isEmpty() ? -1 : *std::max_element(values.begin(), values.end());
    }
};

struct TourFigures {
    Spread all, first, kept;
    QStringList overFirst, overKept; // screens beyond their budget
};

std::optional<TourFigures> tourAt(int delayMs, const QString &scratch) {
    Service service;
    if (!service.start(scratch + QStringLiteral("/tour-%1.db").arg(delayMs), delayMs))
        return std::nullopt;
    const QString out = scratch + QStringLiteral("/tour-%1").arg(delayMs);
    const int code = runClient(service.url, scratch + QStringLiteral("/home-tour-%1").arg(delayMs),
                               {QStringLiteral("--tour"), out});
    const std::optional<QJsonObject> timings = readJson(out + QStringLiteral("/timings.json"));
    if (code != 0 || !timings) {
        std::fprintf(stderr, "the tour at delay %d failed (exit %d)\n", delayMs, code);
        return std::nullopt;
    }
    TourFigures figures;
    for (const QJsonValue &entry : timings->value(QStringLiteral("screens")).toArray()) {
        const QJsonObject screen = entry.toObject();
        const qint64 ready = screen.value(QStringLiteral("readyMs")).toInteger(-1);
        if (ready < 0)
            continue;
        const QString name = screen.value(QStringLiteral("screen")).toString();
        figures.all.values << ready;
        if (screen.contains(QStringLiteral("keptMs"))) {
            figures.kept.values << ready;
            if (ready > KeptBudgetMs)
                figures.overKept << QStringLiteral("%1 %2").arg(name).arg(ready);
        } else {
            figures.first.values << ready;
            if (ready > delayMs + FirstVisitSlackMs)
                figures.overFirst << QStringLiteral("%1 %2").arg(name).arg(ready);
        }
    }
    return figures;
}

// Process start to the home's content drawn, at ColdStartDelayMs, signed in from an earlier run.
std::optional<qint64> coldStart(const QString &scratch) {
    Service service;
    if (!service.start(scratch + QStringLiteral("/cold.db"), ColdStartDelayMs))
        return std::nullopt;
    const QString home = scratch + QStringLiteral("/home-cold");
    const QString signIn = scratch + QStringLiteral("/sign-in.txt");
    const QString wait = scratch + QStringLiteral("/wait.txt");
    {
        QFile file(signIn);
        QFile other(wait);
        if (!file.open(QIODevice::WriteOnly) || !other.open(QIODevice::WriteOnly))
            return std::nullopt;
        file.write("wait\ntap enterButton\nwait\ntype userNameTextField 13800000001\n"
                   "type userPwdTextField 123456\ntap loginButton\nwait\n");
        other.write("wait\n");
    }
    if (runClient(service.url, home, {QStringLiteral("--script"), signIn}) != 0)
        return std::nullopt;
    const QString timings = scratch + QStringLiteral("/cold.json");
    const qint64 spawned = QDateTime::currentMSecsSinceEpoch();
    if (runClient(service.url, home,
                  {QStringLiteral("--script"), wait, QStringLiteral("--timings"), timings}) != 0)
        return std::nullopt;
    const std::optional<QJsonObject> times = readJson(timings);
    if (!times)
        return std::nullopt;
    const QJsonObject first = times->value(QStringLiteral("waits")).toArray().first().toObject();
    const qint64 ready = first.value(QStringLiteral("readyMs")).toInteger(-1);
    if (ready < 0)
        return std::nullopt;
    return times->value(QStringLiteral("startedAtMs")).toInteger() + ready - spawned;
}

void printSpread(const char *what, const Spread &spread) {
    std::printf("  %-28s %3lld screens  median %5lld ms  worst %5lld ms\n", what,
                static_cast<long long>(spread.values.size()),
                static_cast<long long>(spread.median()), static_cast<long long>(spread.worst()));
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir scratch;
    if (!QFile::exists(ClientBinary) || !QFile::exists(ServiceBinary) || !scratch.isValid()) {
        std::fprintf(stderr, "bench_instant: needs %s and %s\n", TEACHER_CLIENT_BINARY,
                     READING_SERVICE_BINARY);
        return 1;
    }
    int failures = 0;
    for (const int delay : {0, 150}) {
        const std::optional<TourFigures> tour = tourAt(delay, scratch.path());
        if (!tour) {
            ++failures;
            continue;
        }
        std::printf("tour at delay %d ms: readyMs\n", delay);
        printSpread("every screen", tour->all);
        printSpread("not drawn from the keep", tour->first);
        printSpread("drawn from kept answers", tour->kept);
        std::printf("  beyond one delay + %d ms: %s\n", FirstVisitSlackMs,
                    qPrintable(tour->overFirst.join(QStringLiteral(", "))));
        std::printf("  kept beyond %d ms: %s\n", KeptBudgetMs,
                    qPrintable(tour->overKept.join(QStringLiteral(", "))));
    }
    if (const std::optional<qint64> cold = coldStart(scratch.path())) {
        std::printf("cold start at delay %d ms: content %lld ms after the process started "
                    "(budget %d ms)\n",
                    ColdStartDelayMs, static_cast<long long>(*cold), ColdStartBudgetMs);
    } else {
        std::fprintf(stderr, "the cold start could not be measured\n");
        ++failures;
    }
    return failures == 0 ? 0 : 1;
}
