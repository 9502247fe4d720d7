#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

class QTimer;

// Changes a teacher made that wait out a short undo window before they go to the service (a
// grade given with one key), then while their answer is on its way. Kept for the process, not by
// the screen that made them: a change is sent when its window ends, or at once when the teacher
// signs out or the program quits (settle()), so nothing accepted is lost with its screen.
// Keys name what a change is about ("feel:42"); the newest change of a key replaces a held one.
class HeldChanges : public QObject {
    Q_OBJECT
public:
    enum class State { None, Held, Sending, Accepted };
    // Sends the change; the sender calls `answered(accepted)` exactly once when the answer (or
    // the failure) is in.
    using Send = std::function<void(std::function<void(bool accepted)> answered)>;

    static HeldChanges &instance();

    // How long a change waits; the driver shortens it for scripted runs.
    static constexpr int DefaultHoldMs = 5000;
    int holdMs() const { return m_holdMs; }
    void setHoldMs(int ms);

    // Holds `value` for `key`, to be sent by `send` once the window ends.
    void hold(const QString &key, const QVariant &value, Send send);
    // Takes back the newest change still held; its key, or nothing when none is held.
    std::optional<QString> takeBackLast();
    // The key and value of the newest held change.
    std::optional<std::pair<QString, QVariant>> lastHeld() const;

    State state(const QString &key) const;
    // The value of a held, sending or accepted change.
    QVariant value(const QString &key) const;
    int heldCount() const;
    int sendingCount() const;
    // Accepted changes since the last forgetAccepted().
    int acceptedCount() const;
    // After a sign-out: what was accepted belongs to the old sign-in.
    void forgetAccepted();

    // Sends every held change now.
    void sendAllNow();
    // Sends every held change now and waits, handling events, until every answer is in or
    // `timeoutMs` passed; the changes still unanswered then.
    int settle(int timeoutMs);

    // Before the teacher leaves (signs out, closes the window): sends what is held, says so over
    // the window while waiting up to LeavingWaitMs, and tells how many could not be sent.
    static constexpr int LeavingWaitMs = 5000;
    void sendBeforeLeaving();

    void resetForTests();

signals:
    // Any state changed; `key` names the change.
    void changed(const QString &key);

private:
    HeldChanges() = default;
    struct Change {
        QVariant value;
        State state = State::None;
        Send send;
        qint64 dueMs = 0;
        quint64 ticket = 0;
    };
    void send(const QString &key);
    void armTimer();
    void due();

    QHash<QString, Change> m_changes;
    QList<QString> m_heldOrder; // oldest first
    QElapsedTimer m_clock;
    QTimer *m_timer = nullptr;
    int m_holdMs = DefaultHoldMs;
    quint64 m_nextTicket = 1;
};
