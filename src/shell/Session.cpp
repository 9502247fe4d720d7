#include "Session.h"

#include "ImageLoader.h"
#include "PasswordKeyring.h"
#include "ServiceConnection.h"

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

void Session::resetForTests() {
    dropImageLoader();
    connection().reset();
    m_login = LoginRsp();
    m_keyring.reset();
    m_keyringChosen = false;
}
