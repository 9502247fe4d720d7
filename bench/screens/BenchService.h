#pragma once

#include "AnswerHandling.h"
#include "LoginState.h"
#include "TeacherRequestManager.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

#include <functional>

// The development service the screen benchmarks run against.
namespace BenchService {

// The development service on a free port with fresh demo data; its base URL, empty without it.
inline QString startReadingService(QProcess &service, const QString &dbPath) {
    const QString binary = QStringLiteral(READING_SERVICE_BINARY);
    if (!QFile::exists(binary))
        return {};
    service.setProcessChannelMode(QProcess::MergedChannels);
    service.start(binary, {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--db"),
                           dbPath, QStringLiteral("--reset")});
    static const QRegularExpression listening(QStringLiteral("listening on (http://\\S+)"));
    QByteArray output;
    QElapsedTimer timer;
    timer.start();
    // Seeding the demo data takes a few seconds under the sanitizers, in silence.
    while (timer.elapsed() < 60000 && service.state() != QProcess::NotRunning) {
        service.waitForReadyRead(1000);
        output += service.readAll();
        const auto match = listening.match(QString::fromUtf8(output));
        if (match.hasMatch())
            return match.captured(1);
    }
    return {};
}

// Runs the event loop until `done` holds or `ms` pass; whether it held.
inline bool spinUntil(const std::function<bool()> &done, int ms = 20000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    return done();
}

// Signs the demo teacher 13800000001 in through the real transport; whether the service accepted.
inline bool signInAsDemoTeacher() {
    LoginReq request;
    request.userName = QStringLiteral("13800000001");
    request.password = QStringLiteral("123456");
    bool answered = false, accepted = false;
    const auto answer = AnswerHandler<LoginRsp>(nullptr)
                            .onSuccess([&](const LoginRsp &rsp) {
                                LoginState::applySignedIn(rsp);
                                accepted = true;
                                answered = true;
                            })
                            .onRefusal([&](const LoginRsp &) { answered = true; })
                            .onFailure([&] { answered = true; });
    TeacherRequestManager::request_Login_WithParams(request, answer.completion(), answer.failure());
    spinUntil([&] { return answered; });
    return accepted;
}

// A benchmark program's main() against the development service: settings, image caches and the
// service's database of this run only (the service address is read once, so it is set before
// anything asks for it), the demo teacher signed in, then the benchmarks of the command line.
// `signedIn` and `databasePath` are set before the benchmarks run.
inline int runSignedIn(int argc, char **argv, const QString &databaseName, bool *signedIn,
                       QString *databasePath = nullptr) {
    QTemporaryDir scratch;
    qputenv("TEACHER_CLIENT_CONFIG_DIR", scratch.filePath(QStringLiteral("config")).toUtf8());
    qputenv("TEACHER_CLIENT_CACHE_DIR", scratch.filePath(QStringLiteral("cache")).toUtf8());
    QApplication app(argc, argv);
    // Every answer of the run would be logged in full.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n*.info=false"));
    QProcess service;
    const QString database = scratch.filePath(databaseName);
    if (databasePath)
        *databasePath = database;
    const QString serviceUrl = startReadingService(service, database);
    if (!serviceUrl.isEmpty()) {
        qputenv("TEACHER_SERVICE_URL", serviceUrl.toUtf8());
        *signedIn = signInAsDemoTeacher();
    }
    if (!*signedIn)
        std::fprintf(stderr, "reading-service at %s: %s\n", READING_SERVICE_BINARY,
                     serviceUrl.isEmpty() ? "did not start" : "the demo teacher was refused");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (service.state() == QProcess::Running) {
        service.kill();
        service.waitForFinished();
    }
    return 0;
}

} // namespace BenchService
