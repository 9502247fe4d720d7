#pragma once

#include <QString>

#include <functional>

class QObject;

inline const QString NOTIFICATION_UPDATE_MAIN = QStringLiteral("NOTIFICATION_UPDATE_MAIN");
inline const QString NOTIFICATION_UPDATE_LOGIN = QStringLiteral("NOTIFICATION_UPDATE_LOGIN");
inline const QString NOTIFICATION_UPDATE_GRADE = QStringLiteral("NOTIFICATION_UPDATE_GRADE");
inline const QString NOTIFICATION_UPDATE_MYCOLLECT =
    QStringLiteral("NOTIFICATION_UPDATE_MYCOLLECT");

// Broadcasts by name without payload, delivered synchronously on the posting (main) thread. An
// observer is forgotten by itself when its QObject is destroyed, so a handler never runs for a
// screen that is gone.
class NotificationCenter {
public:
    // Registering the same observer twice for a name delivers twice, as the platform does.
    static void addObserver(QObject *observer, const QString &name, std::function<void()> handler);
    static void removeObserver(QObject *observer);
    static void removeObserver(QObject *observer, const QString &name);
    // Calls every handler registered for `name` at the moment of posting, except those whose
    // observer was removed or destroyed by an earlier handler of the same post.
    static void post(const QString &name);
    static int observerCount(const QString &name);
    // Forgets every observer of every name (process-wide reset).
    static void removeAllObservers();
};
