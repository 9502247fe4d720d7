#include "Session.h"

#include "ImageLoader.h"
#include "PasswordKeyring.h"
#include "ServiceConnection.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>

Session::Session() = default;
Session::~Session() = default;

Session &Session::instance() {
    static Session session;
    return session;
}

ServiceConnection &Session::connection() {
    return ServiceConnection::instance();
}

ImageLoader &Session::imageLoader() {
    if (!m_imageLoader)
        m_imageLoader = new ImageLoader();
    return *m_imageLoader;
}

void Session::dropImageLoader() {
    delete m_imageLoader.data();
    m_imageLoader = nullptr;
}

PasswordKeyring *Session::keyring() {
    if (!m_keyringChosen) {
        m_keyring = PasswordKeyring::systemDefault();
        m_keyringChosen = true;
    }
    return m_keyring.get();
}

void Session::setKeyring(std::unique_ptr<PasswordKeyring> keyring) {
    m_keyring = std::move(keyring);
    m_keyringChosen = true;
}

void Session::startSignInCheck(std::function<void()> confirm) {
    endSignInCheck();
    connection().setSignInUnverified(true);
    m_confirmSignIn = std::move(confirm);
    m_signInTimer = new QTimer(QCoreApplication::instance());
    m_signInTimer->setSingleShot(true);
    QObject::connect(m_signInTimer, &QTimer::timeout, [this] { attemptSignInCheck(true); });
    connection().setOnServiceReached([this] { attemptSignInCheck(false); });
    // The sign-in has just failed to reach the service: the first attempt waits a little.
    m_signInRetryMs = FirstRetryMs;
    m_signInTimer->start(m_signInRetryMs);
}

void Session::attemptSignInCheck(bool dueByTimer) {
    if (!m_confirmSignIn)
        return;
    if (!connection().signInUnverified()) {
        endSignInCheck(); // confirmed by a sign-in of its own
        return;
    }
    // The service heard from again while an attempt is out: that attempt will tell. The timer
    // sends another anyway, in case the first was lost with no callback at all.
    if (m_signInAttemptOpen && !dueByTimer)
        return;
    m_signInAttemptOpen = true;
    m_signInRetryMs = std::min(m_signInRetryMs * 2, MaxRetryMs);
    m_signInTimer->start(m_signInRetryMs);
    const std::function<void()> confirm = m_confirmSignIn; // it may end the check
    confirm();
}

void Session::signInCheckFailed() {
    m_signInAttemptOpen = false;
}

void Session::endSignInCheck() {
    connection().setSignInUnverified(false);
    connection().setOnServiceReached(nullptr);
    delete m_signInTimer.data();
    m_signInTimer = nullptr;
    m_confirmSignIn = nullptr;
    m_signInAttemptOpen = false;
}

void Session::resetForTests() {
    endSignInCheck();
    dropImageLoader();
    connection().reset();
    m_login = LoginRsp();
    m_keyring.reset();
    m_keyringChosen = false;
}
