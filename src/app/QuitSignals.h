#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP (the session ending, Ctrl+C, a closed terminal) end the program the
// way closing its window does: the grades given are sent and their answers awaited, up to the
// same limit, then it quits. A second signal while that runs quits at once. The handler only
// writes a byte into a pipe; the work happens on the main thread.
class QuitSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; false (and nothing installed) when the pipe cannot be made.
    static bool install(QObject *parent);

signals:
    void received(int signal);

private:
    explicit QuitSignals(QObject *parent);
    QSocketNotifier *m_notifier = nullptr;
};
