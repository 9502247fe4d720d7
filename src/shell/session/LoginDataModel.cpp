#include "LoginDataModel.h"

LoginDataModel LoginDataModel::rememberLoginPhoneNum(const QString &phoneNum,
                                                     const QString &password, bool autoLogin) {
    LoginDataModel model;
    model.loginPhoneNum = phoneNum;
    model.loginPassword = password;
    model.isAutoLogin = autoLogin;
    return model;
}
