#pragma once

#include "LoginDataModel.h"

#include <optional>

// The two persisted things of the client: the remembered login (settings group "userLoginModel"
// with the keys "loginPhoneNum", "loginPassword", "isAutoLogin") and the first-launch flag
// ("showGuide"). Every write is flushed at once. A damaged value reads as nothing, never as a
// guess. The writers return false when the file could not be written.
class UnitMetiodManager {
public:
    static bool saveTheUserPhoneNumAndPassword(const LoginDataModel &model);
    static std::optional<LoginDataModel> getTheSavedUserPhoneNumAndPassword();
    static bool removeTheUserPhoneNumAndPassword();

    static bool saveShowGuideKey(bool shown);
    static bool getShowGuideKey();
};
