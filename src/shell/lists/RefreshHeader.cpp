#include "RefreshHeader.h"

#include "SettingsStore.h"

#include <QKeyEvent>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcRefresh, "teacher.refresh")

namespace {
std::function<QDateTime()> &headerClock() {
    static std::function<QDateTime()> c;
    return c;
}
} // namespace

RefreshHeader::RefreshHeader(QAbstractScrollArea *area)
    : PullControl(area, Edge::Top, Height, Threshold) {
    setObjectName(QStringLiteral("RefreshHeader"));
}

RefreshHeader *RefreshHeader::attach(QAbstractScrollArea *area, std::function<void()> action) {
    return attachTo<RefreshHeader>(area, Edge::Top, std::move(action));
}

RefreshHeader *RefreshHeader::of(const QAbstractScrollArea *area) {
    return qobject_cast<RefreshHeader *>(find(area, Edge::Top));
}

RefreshHeader::State RefreshHeader::state() const {
    // The states are the phases under this control's own names.
    static_assert(int(State::WillRefresh) == int(Phase::Armed) &&
                  int(State::Refreshing) == int(Phase::Busy));
    return State(int(phase()));
}

QString RefreshHeader::stateText() const {
    // Asked at every paint: the strip follows a language change by itself.
    return phaseText(tr("下拉可以刷新"), tr("松开立即刷新"), tr("刷新中..."));
}

QString RefreshHeader::lastUpdatedText() const {
    return lastUpdatedText(lastUpdated(), now());
}

QString RefreshHeader::lastUpdatedText(const QDateTime &last, const QDateTime &now) {
    //: %1 is when the list was last refreshed: a time, a date and time, or "无记录".
    const QString updated = tr("最后更新：%1");
    if (!last.isValid())
        //: The list was never refreshed.
        return updated.arg(tr("无记录"));
    // Both seen on this machine's calendar: "today" is the user's today.
    const QDateTime when = last.toLocalTime();
    const QDate today = now.toLocalTime().date();
    if (when.date() == today)
        //: %1 is a time of today, such as 09:30.
        return updated.arg(tr("今天 %1").arg(when.toString(QStringLiteral("HH:mm"))));
    if (when.date().year() == today.year())
        return updated.arg(when.toString(QStringLiteral("MM-dd HH:mm")));
    return updated.arg(when.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
}

QString RefreshHeader::settingsKey() {
    return QStringLiteral("RefreshHeader/lastUpdated");
}

QDateTime RefreshHeader::lastUpdated() {
    const QVariant stored = SettingsStore::settings().value(settingsKey());
    if (!stored.isValid())
        return {};
    const QDateTime when = QDateTime::fromString(stored.toString(), Qt::ISODateWithMs);
    if (!when.isValid())
        qCDebug(lcRefresh) << "unreadable last refresh time" << stored;
    return when;
}

void RefreshHeader::setClock(std::function<QDateTime()> clockFunction) {
    headerClock() = std::move(clockFunction);
}

QDateTime RefreshHeader::now() {
    if (headerClock()) {
        const QDateTime t = headerClock()();
        if (t.isValid())
            return t;
    }
    return QDateTime::currentDateTime();
}

void RefreshHeader::phaseChanged(Phase from, Phase to) {
    if (from == Phase::Busy && to == Phase::Idle) {
        // Stored with its UTC offset so a change of time zone still reads the same moment.
        const QDateTime t = now();
        SettingsStore::settings().setValue(
            settingsKey(), t.toOffsetFromUtc(t.offsetFromUtc()).toString(Qt::ISODateWithMs));
        SettingsStore::flushSoon();
    }
    emit stateChanged(state());
}

QStringList RefreshHeader::lines() const {
    return {stateText(), lastUpdatedText()};
}

bool RefreshHeader::refreshListShownIn(QWidget *window) {
    RefreshHeader *largest = listShownIn(window);
    if (!largest)
        return false;
    largest->beginRefreshing();
    return true;
}

RefreshHeader *RefreshHeader::listShownIn(QWidget *window) {
    RefreshHeader *largest = nullptr;
    qint64 largestArea = 0;
    for (RefreshHeader *header : window->findChildren<RefreshHeader *>()) {
        const QAbstractScrollArea *list = header->area();
        if (!list || !list->isVisible() || !list->isEnabled())
            continue;
        // The rows' part: a thin scroll bar lies over it and leaves nothing of the list's own.
        const QRect shown = list->viewport()->visibleRegion().boundingRect();
        const qint64 area = qint64(shown.width()) * shown.height();
        if (area > largestArea) {
            largest = header;
            largestArea = area;
        }
    }
    return largest;
}

bool RefreshHeader::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyPress && watched == static_cast<QObject *>(parent())) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_F5 && !key->isAutoRepeat()) {
            beginRefreshing();
            return true;
        }
    }
    return PullControl::eventFilter(watched, event);
}
