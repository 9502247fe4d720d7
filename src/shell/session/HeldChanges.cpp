#include "HeldChanges.h"

#include "ProgressHud.h"
#include "Toast.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <limits>
#include <utility>

Q_LOGGING_CATEGORY(lcHeld, "teacher.held")

HeldChanges &HeldChanges::instance() {
    static HeldChanges *changes = new HeldChanges;
    return *changes;
}

void HeldChanges::setHoldMs(int ms) {
    m_holdMs = qBound(0, ms, 60'000);
}

void HeldChanges::hold(const QString &key, const QVariant &value, Send send) {
    add(key, value, std::move(send), true);
}

void HeldChanges::submit(const QString &key, const QVariant &value, Send send) {
    add(key, value, std::move(send), false);
}

void HeldChanges::add(const QString &key, const QVariant &value, Send send, bool undoable) {
    if (!m_clock.isValid())
        m_clock.start();
    m_waitedOut = false;
    m_heldOrder.removeAll(key);
    Change &change = m_changes[key];
    change.value = value;
    change.send = std::move(send);
    change.ticket = m_nextTicket++;
    change.undoable = undoable;
    if (undoable) {
        change.state = State::Held;
        change.dueMs = m_clock.elapsed() + m_holdMs;
        m_heldOrder.append(key);
        armTimer();
        emit changed(key);
        return;
    }
    enqueue(key);
    armTimer();
    emit changed(key);
    pump();
}

void HeldChanges::enqueue(const QString &key) {
    Change &change = m_changes[key];
    change.state = State::Queued;
    change.queuedOrder = m_nextQueued++;
    m_heldOrder.removeAll(key);
}

std::optional<QString> HeldChanges::takeBackLast() {
    if (m_heldOrder.isEmpty())
        return std::nullopt;
    const QString key = m_heldOrder.takeLast();
    m_changes.remove(key);
    armTimer();
    emit changed(key);
    return key;
}

std::optional<std::pair<QString, QVariant>> HeldChanges::lastHeld() const {
    if (m_heldOrder.isEmpty())
        return std::nullopt;
    return std::pair{m_heldOrder.last(), m_changes.value(m_heldOrder.last()).value};
}

HeldChanges::State HeldChanges::state(const QString &key) const {
    const auto it = m_changes.constFind(key);
    return it == m_changes.cend() ? State::None : it->state;
}

QVariant HeldChanges::value(const QString &key) const {
    return m_changes.value(key).value;
}

int HeldChanges::heldCount() const {
    return int(std::count_if(m_changes.cbegin(), m_changes.cend(), [](const Change &c) {
        return c.state == State::Held || c.state == State::Queued;
    }));
}

int HeldChanges::sendingCount() const {
    return int(std::count_if(m_changes.cbegin(), m_changes.cend(),
                             [](const Change &c) { return c.state == State::Sending; }));
}

int HeldChanges::acceptedCount() const {
    return int(std::count_if(m_changes.cbegin(), m_changes.cend(),
                             [](const Change &c) { return c.state == State::Accepted; }));
}

void HeldChanges::forgetAccepted() {
    m_changes.removeIf([](const auto &it) { return it.value().state == State::Accepted; });
}

void HeldChanges::sendAllNow() {
    // Oldest first, as the teacher gave them.
    const QList<QString> keys = m_heldOrder;
    for (const QString &key : keys)
        enqueue(key);
    armTimer();
    for (const QString &key : keys)
        emit changed(key);
    pump();
}

void HeldChanges::pump() {
    while (sendingCount() < MaxInFlight) {
        QString next;
        quint64 order = std::numeric_limits<quint64>::max();
        for (auto it = m_changes.cbegin(); it != m_changes.cend(); ++it) {
            if (it->state == State::Queued && it->queuedOrder < order) {
                order = it->queuedOrder;
                next = it.key();
            }
        }
        if (next.isEmpty())
            return;
        Change &change = m_changes[next];
        change.state = State::Sending;
        const quint64 ticket = change.ticket;
        const Send sender = change.send;
        emit changed(next);
        // The sender may answer at once (a refusal before any network): the change is then gone
        // before the next one is picked.
        sender([this, next, ticket](bool accepted, const QString &reason) {
            answered(next, ticket, accepted, reason);
        });
    }
}

void HeldChanges::answered(const QString &key, quint64 ticket, bool accepted,
                           const QString &reason) {
    const auto sent = m_changes.find(key);
    // A newer change of the key (given after this one went out) keeps its own state.
    if (sent != m_changes.end() && sent->ticket == ticket) {
        if (accepted) {
            sent->state = State::Accepted;
            sent->send = nullptr;
            emit changed(key);
        } else {
            const QVariant value = sent->value;
            m_changes.erase(sent);
            qCInfo(lcHeld).noquote() << key << "was not accepted:" << reason;
            emit changed(key);
            emit failed(key, value, reason);
        }
    }
    pump();
    if (sendingCount() == 0 &&
        std::none_of(m_changes.cbegin(), m_changes.cend(),
                     [](const Change &c) { return c.state == State::Queued; }))
        emit quiet();
}

int HeldChanges::settle(int timeoutMs) {
    sendAllNow();
    const QDeadlineTimer deadline(timeoutMs);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (pendingCount() == 0 || deadline.hasExpired())
            loop.quit();
    });
    poll.start(10);
    if (pendingCount() > 0)
        loop.exec();
    return pendingCount();
}

void HeldChanges::settleThen(int timeoutMs, QObject *context, std::function<void(int left)> done) {
    sendAllNow();
    auto once = std::make_shared<std::function<void(int)>>(std::move(done));
    const auto finish = [once](int left) {
        if (auto run = std::exchange(*once, nullptr))
            run(left);
    };
    if (pendingCount() == 0) {
        QTimer::singleShot(0, context, [finish] { finish(0); });
        return;
    }
    auto *waiting = new QObject(context);
    connect(this, &HeldChanges::quiet, waiting, [this, finish, waiting] {
        if (pendingCount() > 0)
            return;
        waiting->deleteLater();
        finish(0);
    });
    QTimer::singleShot(timeoutMs, waiting, [this, finish, waiting] {
        waiting->deleteLater();
        finish(pendingCount());
    });
}

void HeldChanges::sendBeforeLeaving() {
    if (pendingCount() == 0)
        return;
    ProgressHud::showWithStatus(tr("正在发送批阅结果…"));
    const int left = settle(LeavingWaitMs);
    ProgressHud::dismiss();
    if (left > 0) {
        qCWarning(lcHeld) << left << "changes were not answered before leaving";
        Toast::show(tr("%n 篇批阅未得到服务的回答，已放回待批阅", nullptr, left));
        // Those still waiting for a place go back now; those on their way when the sign-out
        // cuts their calls. Nothing is sent after the teacher has left.
        const QString reason = tr("已退出登录");
        const QList<QString> keys = m_changes.keys();
        for (const QString &key : keys) {
            const Change change = m_changes.value(key);
            if (change.state != State::Held && change.state != State::Queued)
                continue;
            m_changes.remove(key);
            m_heldOrder.removeAll(key);
            emit changed(key);
            emit failed(key, change.value, reason);
        }
        armTimer();
    }
}

void HeldChanges::armTimer() {
    if (!m_timer) {
        m_timer = new QTimer(this);
        m_timer->setSingleShot(true);
        connect(m_timer, &QTimer::timeout, this, &HeldChanges::due);
    }
    if (m_heldOrder.isEmpty()) {
        m_timer->stop();
        return;
    }
    qint64 first = std::numeric_limits<qint64>::max();
    for (const QString &key : std::as_const(m_heldOrder))
        first = qMin(first, m_changes.value(key).dueMs);
    m_timer->start(int(std::clamp<qint64>(first - m_clock.elapsed(), 0, m_holdMs)));
}

void HeldChanges::due() {
    const qint64 now = m_clock.elapsed();
    const QList<QString> keys = m_heldOrder;
    QList<QString> ended;
    for (const QString &key : keys) {
        if (m_changes.value(key).dueMs <= now) {
            enqueue(key);
            ended.append(key);
        }
    }
    armTimer();
    for (const QString &key : std::as_const(ended))
        emit changed(key);
    pump();
}

void HeldChanges::resetForTests() {
    m_changes.clear();
    m_heldOrder.clear();
    if (m_timer)
        m_timer->stop();
    m_holdMs = DefaultHoldMs;
    m_waitedOut = false;
}
