// Load on the development service: N requests kept in flight at once against GetBookList pages
// and GetFeelList, reporting requests per second and p50/p99 latency.
//
//   bench_service_load [--url http://127.0.0.1:8780/] [--requests 2000] [--concurrency 16]
//
// Without --url the service runs in-process, on its own thread and a fresh temporary database,
// on 127.0.0.1 with a port chosen by the system, so the figures measure the service and not
// the client's event loop.

#include "ReadingService.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRandomGenerator>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QUrlQuery>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace {

// The service on a thread of its own; its database connection lives and dies there.
class ServiceThread : public QThread {
public:
    explicit ServiceThread(QString databasePath)
        : m_databasePath(std::move(databasePath)) {}

    QString baseUrl() const { return m_baseUrl; }
    QString error() const { return m_error; }
    void waitUntilReady() { m_ready.acquire(); }

protected:
    void run() override {
        ReadingServiceOptions options;
        options.host = QStringLiteral("127.0.0.1");
        options.port = 0;
        options.databasePath = m_databasePath;
        options.reset = true;
        ReadingService service(options);
        const bool started = service.start(&m_error);
        m_baseUrl = service.baseUrl();
        m_ready.release();
        if (started)
            exec();
    }

private:
    QString m_databasePath;
    QString m_baseUrl;
    QString m_error;
    QSemaphore m_ready;
};

struct Scenario {
    QString name;
    QString path;
    std::function<QByteArray(QRandomGenerator &)> body;
};

struct Result {
    qint64 requests = 0;
    qint64 failures = 0;
    double seconds = 0;
    std::vector<double> latenciesMs;
};

QByteArray form(std::initializer_list<std::pair<const char *, QString>> fields) {
    QUrlQuery query;
    for (const auto &[key, value] : fields)
        query.addQueryItem(QString::fromLatin1(key), value);
    return query.toString(QUrl::FullyEncoded).toUtf8();
}

// Keeps `concurrency` requests in flight until `total` have been answered.
Result runScenario(const QString &baseUrl, const Scenario &scenario, int total, int concurrency) {
    // One manager per six requests in flight: a manager opens at most six connections a host.
    std::vector<std::unique_ptr<QNetworkAccessManager>> managers;
    for (int i = 0; i < (concurrency + 5) / 6; ++i)
        managers.push_back(std::make_unique<QNetworkAccessManager>());
    QRandomGenerator random(7);
    Result result;
    result.latenciesMs.reserve(size_t(total));
    int started = 0;
    QEventLoop loop;
    QElapsedTimer wall;
    wall.start();

    std::function<void(int)> launch = [&](int slot) {
        if (started >= total)
            return;
        ++started;
        QNetworkRequest request(QUrl(baseUrl + scenario.path));
        request.setHeader(QNetworkRequest::ContentTypeHeader,
                          QByteArrayLiteral("application/x-www-form-urlencoded"));
        auto timer = std::make_shared<QElapsedTimer>();
        timer->start();
        QNetworkReply *reply =
            managers.at(size_t(slot) % managers.size())->post(request, scenario.body(random));
        QObject::connect(reply, &QNetworkReply::finished, &loop, [&, reply, timer, slot] {
            result.latenciesMs.push_back(double(timer->nsecsElapsed()) / 1e6);
            const QJsonObject answer = QJsonDocument::fromJson(reply->readAll()).object();
            if (reply->error() != QNetworkReply::NoError ||
                answer.value(QStringLiteral("result")).toInteger() != 1)
                ++result.failures;
            reply->deleteLater();
            ++result.requests;
            if (result.requests == total)
                loop.quit();
            else
                launch(slot);
        });
    };
    for (int slot = 0; slot < concurrency; ++slot)
        launch(slot);
    loop.exec();
    result.seconds = double(wall.nsecsElapsed()) / 1e9;
    return result;
}

double percentile(std::vector<double> values, double p) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(p * double(values.size() - 1) + 0.5));
    return values.at(index);
}

} // namespace

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Load on the development service."));
    parser.addHelpOption();
    const QCommandLineOption urlOption(
        QStringLiteral("url"), QStringLiteral("A running service (default: one in-process)."),
        QStringLiteral("url"));
    const QCommandLineOption requestsOption(QStringLiteral("requests"),
                                            QStringLiteral("Requests per scenario (default 2000)."),
                                            QStringLiteral("n"), QStringLiteral("2000"));
    const QCommandLineOption concurrencyOption(QStringLiteral("concurrency"),
                                               QStringLiteral("Requests in flight (default 16)."),
                                               QStringLiteral("n"), QStringLiteral("16"));
    parser.addOptions({urlOption, requestsOption, concurrencyOption});
    parser.process(app);
    QTextStream out(stdout);
    QTextStream err(stderr);

    const int requests = parser.value(requestsOption).toInt();
    const int concurrency = parser.value(concurrencyOption).toInt();
    if (requests < 1 || concurrency < 1 || concurrency > 1000) {
        err << "bench_service_load: --requests must be at least 1, --concurrency 1 to 1000\n";
        return 2;
    }

    QTemporaryDir folder;
    std::unique_ptr<ServiceThread> serviceThread;
    QString baseUrl = parser.value(urlOption);
    if (baseUrl.isEmpty()) {
        serviceThread =
            std::make_unique<ServiceThread>(folder.filePath(QStringLiteral("load.sqlite")));
        serviceThread->start();
        serviceThread->waitUntilReady();
        if (!serviceThread->error().isEmpty()) {
            err << "bench_service_load: " << serviceThread->error() << '\n';
            serviceThread->wait();
            return 1;
        }
        baseUrl = serviceThread->baseUrl();
    } else if (!baseUrl.endsWith(u'/')) {
        baseUrl += u'/';
    }

    const std::vector<Scenario> scenarios = {
        {QStringLiteral("GetBookList (random order, page 1-20 of 9)"),
         QStringLiteral("Mobile/GetBookList"),
         [](QRandomGenerator &r) {
             return form({{"gradeId", QString::number(r.bounded(0, 7))},
                          {"sortId", QStringLiteral("0")},
                          {"name", QString()},
                          {"orderbytype", QString::number(r.bounded(1, 9))},
                          {"pageIndex", QString::number(r.bounded(1, 21))},
                          {"pageSize", QStringLiteral("9")}});
         }},
        {QStringLiteral("GetBookList (name search)"), QStringLiteral("Mobile/GetBookList"),
         [](QRandomGenerator &r) {
             static const QStringList words = {QStringLiteral("的"), QStringLiteral("小"),
                                               QStringLiteral("故事"), QStringLiteral("王")};
             return form({{"gradeId", QStringLiteral("0")},
                          {"sortId", QStringLiteral("0")},
                          {"name", words.at(r.bounded(int(words.size())))},
                          {"orderbytype", QStringLiteral("1")},
                          {"pageIndex", QStringLiteral("1")},
                          {"pageSize", QStringLiteral("9")}});
         }},
        {QStringLiteral("GetFeelList (teacher 1, all three lists)"),
         QStringLiteral("Mobile/GetFeelList"),
         [](QRandomGenerator &r) {
             return form(
                 {{"uid", QStringLiteral("1")}, {"feelType", QString::number(r.bounded(3))}});
         }},
    };

    out << "service " << baseUrl << ", " << requests << " requests a scenario, " << concurrency
        << " in flight\n";
    for (const Scenario &scenario : scenarios) {
        runScenario(baseUrl, scenario, qMin(requests, 50), concurrency); // warm-up
        const Result result = runScenario(baseUrl, scenario, requests, concurrency);
        out << QStringLiteral("%1\n  %2 req/s, p50 %3 ms, p99 %4 ms, max %5 ms, %6 failed of %7\n")
                   .arg(scenario.name)
                   .arg(double(result.requests) / result.seconds, 0, 'f', 0)
                   .arg(percentile(result.latenciesMs, 0.50), 0, 'f', 2)
                   .arg(percentile(result.latenciesMs, 0.99), 0, 'f', 2)
                   .arg(percentile(result.latenciesMs, 1.0), 0, 'f', 2)
                   .arg(result.failures)
                   .arg(result.requests);
        out.flush();
    }

    if (serviceThread) {
        serviceThread->quit();
        serviceThread->wait();
    }
    return 0;
}
