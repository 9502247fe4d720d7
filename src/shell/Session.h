#pragma once

#include "records/AccountRecords.h"

#include <QPointer>

#include <memory>

class ImageLoader;
class PasswordKeyring;
class ServiceConnection;

// What the program keeps for one sign-in and for the life of the process, held together the way
// a client library holds its connection: the connection to the service, the current login, the
// image loader and the keyring. The named fronts (LoginRsp::shareRsp(), ImageLoader::instance(),
// BaseAFHttpManager's static API) reach the parts through it; main thread only.
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

    // The session as a new program has it: no call in flight, nobody signed in, no image loaded,
    // the keyring chosen afresh.
    void resetForTests();

private:
    Session();
    ~Session();

    LoginRsp m_login;
    QPointer<ImageLoader> m_imageLoader;
    std::unique_ptr<PasswordKeyring> m_keyring;
    bool m_keyringChosen = false;
};
