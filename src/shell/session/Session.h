#pragma once

#include "records/AccountRecords.h"

#include <QPointer>

#include <functional>
#include <memory>

class ImageLoader;
class PasswordKeyring;
class QTimer;
class ServiceConnection;

// What the program keeps for one sign-in and for the life of the process, held together the way
// a client library holds its connection: the connection to the service, the current login, the
// image loader, the keyring and the check of a sign-in the service has not confirmed yet. The named
// fronts (LoginRsp::shareRsp(), ImageLoader::instance(), BaseAFHttpManager's static API) reach the
// parts through it; main thread only.
class Session {
public:
    static Session &instance();

    ServiceConnection &connection();
    // Never replaced, only overwritten: screens may hold the reference.
    LoginRsp &login() { return m_login; }
    // Created on first use.
    ImageLoader &imageLoader();
    // Drops the image loader (memory cache, requests in flight); the next imageLoader() starts
    // afresh on the same disk cache.
    void dropImageLoader();

    // Where the remembered password lives: the system keyring when the settings are the user's
    // own (PasswordKeyring::systemDefault()), or one a test put in place; null: none, the
    // settings file keeps it.
    PasswordKeyring *keyring();
    void setKeyring(std::unique_ptr<PasswordKeyring> keyring);

    // After an offline start (the sign-in answered from the kept one, so the connection's sign-in
    // is unverified): `confirm` puts the sign-in to the service again, at once whenever the service
    // answers anew and on a timer meanwhile (FirstRetryMs, doubling up to MaxRetryMs), until
    // endSignInCheck(). Each attempt ends in signInCheckFailed() (no answer) or endSignInCheck().
    static constexpr int FirstRetryMs = 5000;
    static constexpr int MaxRetryMs = 120000;
    void startSignInCheck(std::function<void()> confirm);
    bool isCheckingSignIn() const { return bool(m_confirmSignIn); }
    void signInCheckFailed();
    // The check ends and the connection's sign-in counts as confirmed: the service accepted it,
    // or the teacher is back at the login screen.
    void endSignInCheck();

    // The session as a new program has it: no call in flight, nobody signed in, no image loaded,
    // no sign-in checked, the keyring chosen afresh.
    void resetForTests();

private:
    Session();
    ~Session();
    void attemptSignInCheck(bool dueByTimer);

    LoginRsp m_login;
    QPointer<ImageLoader> m_imageLoader;
    std::unique_ptr<PasswordKeyring> m_keyring;
    bool m_keyringChosen = false;
    std::function<void()> m_confirmSignIn;
    QPointer<QTimer> m_signInTimer;
    int m_signInRetryMs = FirstRetryMs;
    bool m_signInAttemptOpen = false;
};
