#pragma once

#include <QString>

// The remembered login: what the next start-up signs in with, and what the login screen fills
// its fields from. The password is kept as typed; it may be the empty text.
struct LoginDataModel {
    QString loginPhoneNum;
    QString loginPassword;
    bool isAutoLogin = false;

    // A new record holding the three values; stores nothing.
    static LoginDataModel rememberLoginPhoneNum(const QString &phoneNum, const QString &password,
                                                bool autoLogin);

    friend bool operator==(const LoginDataModel &, const LoginDataModel &) = default;
};
