#include "QuitSignals.h"

#include "AppWindow.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcSignals, "teacher.signals")

namespace {
int s_pipe[2] = {-1, -1};

void onSignal(int signal) {
    const char byte = char(signal);
    // Nothing else is safe inside a handler; a full pipe already holds a signal to act on.
    [[maybe_unused]] const ssize_t written = ::write(s_pipe[0], &byte, 1);
}
} // namespace

QuitSignals::QuitSignals(QObject *parent)
    : QObject(parent) {
    m_notifier = new QSocketNotifier(s_pipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        if (::read(s_pipe[1], &byte, 1) == 1)
            emit received(int(byte));
    });
    connect(this, &QuitSignals::received, this, [this](int signal) {
        static int count = 0;
        qCInfo(lcSignals) << "signal" << signal << "received";
        AppWindow *window = AppWindow::instance();
        if (++count > 1 || !window) {
            QCoreApplication::exit(128 + signal);
            return;
        }
        window->closeWhenSent(false);
    });
}

bool QuitSignals::install(QObject *parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, s_pipe) != 0) {
        qCWarning(lcSignals) << "no pipe for signals; they end the program at once";
        return false;
    }
    new QuitSignals(parent);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
    return true;
}
