#include "Session.h"

#include "ImageLoader.h"
#include "ServiceConnection.h"

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

void Session::resetForTests() {
    dropImageLoader();
    connection().reset();
    m_login = LoginRsp();
}
