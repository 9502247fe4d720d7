#pragma once

#include <QPointer>
#include <QtGlobal>

#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

// What the transport keeps for the whole process: the one network manager every call goes
// through, which calls are still waited for and the screen's scale named in the User-Agent.
// Main thread only. BaseAFHttpManager's static API is the front the rest of the program uses.
class ServiceConnection {
public:
    static ServiceConnection &instance();

    // Created on the first call, owned by the application object and living on the main thread,
    // so replies and their signals stay there too. Needs a QCoreApplication.
    QNetworkAccessManager *networkManager();

    // A call is stamped with the generation it starts in; abandonCalls() moves on to the next,
    // so a call from an earlier one is not delivered, even when its answer had already arrived
    // and was still being decoded.
    quint64 callGeneration() const { return m_callGeneration; }
    bool isCurrent(quint64 generation) const { return generation == m_callGeneration; }
    int callsInFlight() const { return m_callsInFlight; }
    void callStarted() { ++m_callsInFlight; }
    // An abandoned call left the count when it was abandoned.
    void callEnded(quint64 generation);

    // No call in flight is counted any more; each ends with a cancellation (its failure callback
    // with BaseAFHttpManager::CancelledText, on a later turn of the event loop), so whoever waits
    // on one learns that it was cut.
    void abandonCalls();
    // abandonCalls(), and every reply the network stack still holds is aborted and marked.
    void abortPendingCalls();
    static bool isAbandoned(const QNetworkReply *reply);
    // Whether a call of that generation, now abandoned, still tells its caller so. Calls dropped
    // by reset() do not: their callers belong to a test that has ended.
    bool cancellationIsDelivered(quint64 generation) const { return generation >= m_silentBelow; }

    double displayScale() const { return m_displayScale; }
    void setDisplayScale(double scale);

    // A sign-in the service has not confirmed: one answered from the kept sign-in because the
    // network failed (an offline start). Until a sign-in is accepted anew, changes are refused
    // before they leave, and the sign-in is never answered from the kept one again.
    bool signInUnverified() const { return m_signInUnverified; }
    void setSignInUnverified(bool unverified);
    // Runs (on the next turn of the event loop) whenever the service answers anew while the
    // sign-in is unverified: the moment to ask it to confirm the sign-in.
    void setOnServiceReached(std::function<void()> reached);
    void serviceReached();

    // The connection as a new program has it: no call waited for, scale 1, no sign-in
    // unverified. The calls it drops call nobody back.
    void reset();

private:
    ServiceConnection() = default;

    QPointer<QNetworkAccessManager> m_manager;
    quint64 m_callGeneration = 0;
    quint64 m_silentBelow = 0;
    int m_callsInFlight = 0;
    double m_displayScale = 1.0;
    bool m_signInUnverified = false;
    std::function<void()> m_onServiceReached;
};
