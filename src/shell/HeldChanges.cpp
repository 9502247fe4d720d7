#include "HeldChanges.h"

#include "ProgressHud.h"
#include "Toast.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QTimer>

#include <algorithm>
#include <limits>

Q_LOGGING_CATEGORY(lcHeld, "teacher.held")

HeldChanges &HeldChanges::instance() {
    static HeldChanges *changes = new HeldChanges;
    return *changes;
}

void HeldChanges::setHoldMs(int ms) {
    m_holdMs = qBound(0, ms, 60'000);
}

void HeldChanges::hold(const QString &key, const QVariant &value, Send send) {
    if (!m_clock.isValid())
        m_clock.start();
    m_heldOrder.removeAll(key);
    m_heldOrder.append(key);
    Change &change = m_changes[key];
    change.value = value;
    change.state = State::Held;
    change.send = std::move(send);
    change.dueMs = m_clock.elapsed() + m_holdMs;
    change.ticket = m_nextTicket++;
    armTimer();
    emit changed(key);
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
    return int(m_heldOrder.size());
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
    // Oldest first, as the teacher gave them; a send may answer at once and change the list.
    const QList<QString> keys = m_heldOrder;
    for (const QString &key : keys)
        send(key);
}

int HeldChanges::settle(int timeoutMs) {
    sendAllNow();
    const QDeadlineTimer deadline(timeoutMs);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (sendingCount() == 0 || deadline.hasExpired())
            loop.quit();
    });
    poll.start(10);
    if (sendingCount() > 0)
        loop.exec();
    return sendingCount() + heldCount();
}

void HeldChanges::sendBeforeLeaving() {
    if (heldCount() + sendingCount() == 0)
        return;
    ProgressHud::showWithStatus(QStringLiteral("正在发送批阅结果…"));
    const int left = settle(LeavingWaitMs);
    ProgressHud::dismiss();
    if (left > 0) {
        qCWarning(lcHeld) << left << "changes were not answered before leaving";
        Toast::show(QStringLiteral("%1 项批阅未能发送").arg(left));
    }
}

void HeldChanges::send(const QString &key) {
    auto it = m_changes.find(key);
    if (it == m_changes.end() || it->state != State::Held)
        return;
    m_heldOrder.removeAll(key);
    it->state = State::Sending;
    const quint64 ticket = it->ticket;
    const Send sender = it->send;
    armTimer();
    emit changed(key);
    sender([this, key, ticket](bool accepted) {
        auto sent = m_changes.find(key);
        // A newer change of the key (held after this one went out) keeps its own state.
        if (sent == m_changes.end() || sent->ticket != ticket)
            return;
        if (accepted) {
            sent->state = State::Accepted;
            sent->send = nullptr;
        } else {
            m_changes.erase(sent);
        }
        emit changed(key);
    });
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
    for (const QString &key : keys) {
        if (m_changes.value(key).dueMs <= now)
            send(key);
    }
    armTimer();
}

void HeldChanges::resetForTests() {
    m_changes.clear();
    m_heldOrder.clear();
    if (m_timer)
        m_timer->stop();
    m_holdMs = DefaultHoldMs;
}
