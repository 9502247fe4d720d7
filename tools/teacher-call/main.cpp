#include "TeacherCall.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QTimer>

#include <cstdio>

namespace {

bool g_verbose = false;

// stdout carries only the answer; log lines go to stderr as bare text, debug ones only when
// asked for.
void messageHandler(QtMsgType type, const QMessageLogContext &, const QString &message) {
    if (type == QtDebugMsg && !g_verbose)
        return;
    const QByteArray bytes = message.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

} // namespace

int main(int argc, char *argv[]) {
    qInstallMessageHandler(messageHandler);
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    QCoreApplication app(argc, argv);

    TeacherCall call;
    if (!call.parse(app.arguments().mid(1)))
        return call.exitCode();

    if (call.verbose()) {
        g_verbose = true;
        // Only the transport's request and response lines, not Qt's own chatter.
        QLoggingCategory::setFilterRules(
            QStringLiteral("*.debug=false\nteacher.service.debug=true"));
    }

    // Start inside the event loop so an answer can never arrive before exec() is listening.
    QTimer::singleShot(0, &app,
                       [&call] { call.run([](int code) { QCoreApplication::exit(code); }); });
    return app.exec();
}
