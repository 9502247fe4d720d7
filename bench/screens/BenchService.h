#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QString>

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

} // namespace BenchService
