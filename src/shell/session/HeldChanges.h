#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

class QTimer;

// Changes a teacher made that the service has not confirmed yet (grades), kept for the process,
// not by the screen that made them, so nothing is lost with a screen. A change given with one key
// waits out a short undo window first (hold); one confirmed in a dialog or given to many at once
// goes out at once (submit). At most MaxInFlight are on their way together; the rest queue.
// Every change ends in exactly one way: accepted by the service, or gone again with the reason
// (failed), which puts the reflection back among the waiting. A call cut by a sign-out or the
// program quitting is a failure too. Keys name what a change is about ("feel:42"); the newest
// change of a key replaces an older one still held.
class HeldChanges : public QObject {
    Q_OBJECT
public:
    // Held: in its undo window. Queued: due, waiting for a place among those on their way.
    enum class State { None, Held, Queued, Sending, Accepted };
    // Sends the change; the sender calls `answered` exactly once: accepted, or not with the
    // reason in the teacher's words.
    using Answered = std::function<void(bool accepted, const QString &reason)>;
    using Send = std::function<void(Answered answered)>;

    static HeldChanges &instance();

    // How long a change waits; the driver shortens it for scripted runs.
    static constexpr int DefaultHoldMs = 5000;
    static constexpr int MaxInFlight = 4;
    int holdMs() const { return m_holdMs; }
    void setHoldMs(int ms);

    // Holds `value` for `key`, to be sent by `send` once the window ends; takeBackLast() can
    // still take it back until then.
    void hold(const QString &key, const QVariant &value, Send send);
    // Sends `value` for `key` as soon as a place is free; it cannot be taken back.
    void submit(const QString &key, const QVariant &value, Send send);
    // Takes back the newest change still in its window; its key, or nothing when none is.
    std::optional<QString> takeBackLast();
    // The key and value of the newest change still in its window.
    std::optional<std::pair<QString, QVariant>> lastHeld() const;

    State state(const QString &key) const;
    // The value of a change that has not failed.
    QVariant value(const QString &key) const;
    // Not yet sent (held or queued).
    int heldCount() const;
    int sendingCount() const;
    // Held, queued or on its way: what leaving would lose.
    int pendingCount() const { return heldCount() + sendingCount(); }
    // Accepted changes since the last forgetAccepted().
    int acceptedCount() const;
    // After a sign-out: what was accepted belongs to the old sign-in.
    void forgetAccepted();

    // Sends every held change as soon as a place is free.
    void sendAllNow();
    // Sends every held change now and waits, handling events, until every answer is in or
    // `timeoutMs` passed; the changes still unanswered then.
    int settle(int timeoutMs);
    // The same without waiting here: `done(left)` runs once every answer is in, or after
    // `timeoutMs` with the number still unanswered. The object `context` ends it unrun.
    void settleThen(int timeoutMs, QObject *context, std::function<void(int left)> done);

    // Before the teacher signs out: sends what is held, says so over the window while waiting up
    // to LeavingWaitMs, and tells how many could not be sent; those go back among the waiting
    // when the sign-out cuts their calls.
    static constexpr int LeavingWaitMs = 5000;
    void sendBeforeLeaving();
    // The teacher (or the session) waited LeavingWaitMs and left anyway: quitting now does not
    // wait a second time for the same answers. A change given after that clears it.
    void markWaitedOut() { m_waitedOut = true; }
    bool waitedOut() const { return m_waitedOut; }

    void resetForTests();

signals:
    // Any state changed; `key` names the change.
    void changed(const QString &key);
    // A change ended without being accepted; it is gone (State::None) when this is emitted.
    void failed(const QString &key, const QVariant &value, const QString &reason);
    // Nothing is queued or on its way any more (held changes may still wait out their window).
    void quiet();

private:
    HeldChanges() = default;
    struct Change {
        QVariant value;
        State state = State::None;
        Send send;
        qint64 dueMs = 0;
        quint64 ticket = 0;
        bool undoable = false;
        quint64 queuedOrder = 0;
    };
    void add(const QString &key, const QVariant &value, Send send, bool undoable);
    void enqueue(const QString &key);
    void pump();
    void answered(const QString &key, quint64 ticket, bool accepted, const QString &reason);
    void armTimer();
    void due();

    QHash<QString, Change> m_changes;
    QList<QString> m_heldOrder; // in their window, oldest first
    QElapsedTimer m_clock;
    QTimer *m_timer = nullptr;
    int m_holdMs = DefaultHoldMs;
    quint64 m_nextTicket = 1;
    quint64 m_nextQueued = 1;
    bool m_waitedOut = false;
};
