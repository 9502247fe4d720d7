#include "ServiceConnection.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QThread>
#include <QTimer>

namespace {

// Nothing a call receives may follow the next call around: sessions are the service's business,
// carried in the parameters, never in cookies.
class NoCookieJar : public QNetworkCookieJar {
public:
    using QNetworkCookieJar::QNetworkCookieJar;
    QList<QNetworkCookie> cookiesForUrl(const QUrl &) const override { return {}; }
    bool setCookiesFromUrl(const QList<QNetworkCookie> &, const QUrl &) override { return false; }
};

// Set on a reply whose caller no longer waits for it (abortPendingCalls).
constexpr char AbandonedProperty[] = "teacherAbandoned";

// A reply the manager still holds when the program quits, or when the manager goes, is aborted
// first: a request dropped half-way inside the network stack leaves its objects behind.
class TransportManager : public QNetworkAccessManager {
public:
    using QNetworkAccessManager::QNetworkAccessManager;
    ~TransportManager() override { abortBeforeTheEnd(); }

    // The number of replies aborted.
    qsizetype abortReplies() {
        const QList<QNetworkReply *> replies = findChildren<QNetworkReply *>();
        qsizetype aborted = 0;
        for (QNetworkReply *reply : replies) {
            if (reply->isFinished())
                continue;
            reply->setProperty(AbandonedProperty, true);
            reply->abort();
            ++aborted;
        }
        return aborted;
    }

    void abortBeforeTheEnd() {
        ServiceConnection::instance().abandonCalls();
        // The stack takes an aborted request apart on its own thread, which it stops, work done
        // or not, as soon as the manager goes; it tells nobody when it is done, so it is given a
        // moment. Only a program quitting in the middle of a call waits for it.
        if (abortReplies() > 0)
            QThread::msleep(100);
    }
};

} // namespace

ServiceConnection &ServiceConnection::instance() {
    static ServiceConnection connection;
    return connection;
}

QNetworkAccessManager *ServiceConnection::networkManager() {
    if (!m_manager) {
        QCoreApplication *app = QCoreApplication::instance();
        auto *manager = new TransportManager(app);
        manager->setCookieJar(new NoCookieJar(manager));
        // Redirects are followed by the transport's own rules, never by the stack.
        manager->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
        // Replies aborted here are released by the deferred deletes the event loop runs after
        // this signal; the callers are gone with the program.
        QObject::connect(app, &QCoreApplication::aboutToQuit, manager,
                         [manager] { manager->abortBeforeTheEnd(); });
        m_manager = manager;
    }
    return m_manager;
}

void ServiceConnection::callEnded(quint64 generation) {
    if (isCurrent(generation))
        --m_callsInFlight;
}

void ServiceConnection::abandonCalls() {
    ++m_callGeneration;
    m_callsInFlight = 0;
}

void ServiceConnection::abortPendingCalls() {
    abandonCalls();
    if (auto *manager = static_cast<TransportManager *>(m_manager.data()))
        manager->abortReplies();
}

bool ServiceConnection::isAbandoned(const QNetworkReply *reply) {
    return reply->property(AbandonedProperty).toBool();
}

void ServiceConnection::setDisplayScale(double scale) {
    if (scale > 0 && scale < 100)
        m_displayScale = scale;
}

void ServiceConnection::setSignInUnverified(bool unverified) {
    m_signInUnverified = unverified;
}

void ServiceConnection::setOnServiceReached(std::function<void()> reached) {
    m_onServiceReached = std::move(reached);
}

void ServiceConnection::serviceReached() {
    if (!m_signInUnverified || !m_onServiceReached || !QCoreApplication::instance())
        return;
    // Not inside the answer being delivered: whatever the handler starts comes after it.
    QTimer::singleShot(0, QCoreApplication::instance(), [] {
        ServiceConnection &connection = instance();
        if (connection.m_signInUnverified && connection.m_onServiceReached)
            connection.m_onServiceReached();
    });
}

void ServiceConnection::reset() {
    abortPendingCalls();
    m_silentBelow = m_callGeneration;
    m_displayScale = 1.0;
    m_signInUnverified = false;
    m_onServiceReached = nullptr;
}
