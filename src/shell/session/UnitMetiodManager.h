#pragma once

#include "LoginDataModel.h"

#include <optional>

// The two persisted things of the client: the remembered login (settings group "userLoginModel"
// with the keys "loginPhoneNum", "loginPassword", "isAutoLogin") and the first-launch flag
// ("showGuide"). Every write is flushed at once. A damaged value reads as nothing, never as a
// guess. The writers return false when the file could not be written.
//
// Where a keyring answers (Session::keyring()) the password lives there, under the login name,
// and "loginPassword" is left out of the file; where none does, the owner-only file keeps it. A
// password still in the file moves to the keyring on the next save, and leaves the file only
// once the keyring has it.
class UnitMetiodManager {
public:
    static bool saveTheUserPhoneNumAndPassword(const LoginDataModel &model);
    // Reading the password from the keyring waits for it, once per run, for at most
    // PasswordKeyring::TimeoutMs; a keyring that did not answer reads as the empty password.
    static std::optional<LoginDataModel> getTheSavedUserPhoneNumAndPassword();
    static bool removeTheUserPhoneNumAndPassword();
    // After a sign-in the service accepted: a password the settings file still holds goes to the
    // keyring, when there is one.
    static void movePasswordToKeyring();

    static bool saveShowGuideKey(bool shown);
    static bool getShowGuideKey();
};
