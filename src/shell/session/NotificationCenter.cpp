#include "NotificationCenter.h"

#include "FrameLog.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>

namespace {

struct Registration {
    quint64 id;
    QPointer<QObject> observer;
    QObject *key; // the observer's address, usable after it is gone
    QString name;
    std::function<void()> handler;
};

class Registry : public QObject {
public:
    QList<Registration> registrations;
    QHash<QObject *, QMetaObject::Connection> watched;
    quint64 nextId = 1;

    void forget(QObject *observer) {
        registrations.removeIf([observer](const Registration &r) { return r.key == observer; });
        const auto connection = watched.take(observer);
        if (connection)
            QObject::disconnect(connection);
    }
};

Registry &registry() {
    static Registry instance;
    return instance;
}

} // namespace

void NotificationCenter::addObserver(QObject *observer, const QString &name,
                                     std::function<void()> handler) {
    if (!observer || !handler || name.isEmpty()) {
        qCWarning(lcFrame) << "ignored an incomplete observer registration for" << name;
        return;
    }
    Registry &r = registry();
    r.registrations.append({r.nextId++, observer, observer, name, std::move(handler)});
    if (!r.watched.contains(observer)) {
        r.watched.insert(observer, QObject::connect(observer, &QObject::destroyed, &r,
                                                    [observer] { registry().forget(observer); }));
    }
}

void NotificationCenter::removeObserver(QObject *observer) {
    if (observer)
        registry().forget(observer);
}

void NotificationCenter::removeObserver(QObject *observer, const QString &name) {
    if (!observer)
        return;
    Registry &r = registry();
    r.registrations.removeIf(
        [&](const Registration &reg) { return reg.key == observer && reg.name == name; });
    const bool stillObserving =
        std::any_of(r.registrations.cbegin(), r.registrations.cend(),
                    [&](const Registration &reg) { return reg.key == observer; });
    if (!stillObserving)
        r.forget(observer);
}

void NotificationCenter::post(const QString &name) {
    Registry &r = registry();
    QList<quint64> ids;
    for (const Registration &reg : std::as_const(r.registrations)) {
        if (reg.name == name)
            ids.append(reg.id);
    }
    for (const quint64 id : std::as_const(ids)) {
        // Look again each time: an earlier handler may have removed or destroyed this observer.
        const auto it = std::find_if(r.registrations.cbegin(), r.registrations.cend(),
                                     [id](const Registration &reg) { return reg.id == id; });
        if (it == r.registrations.cend() || !it->observer)
            continue;
        const std::function<void()> handler = it->handler;
        handler();
    }
}

int NotificationCenter::observerCount(const QString &name) {
    const Registry &r = registry();
    return int(
        std::count_if(r.registrations.cbegin(), r.registrations.cend(),
                      [&](const Registration &reg) { return reg.name == name && reg.observer; }));
}

void NotificationCenter::removeAllObservers() {
    Registry &r = registry();
    const auto observers = r.watched.keys();
    for (QObject *observer : observers)
        r.forget(observer);
    r.registrations.clear();
}
