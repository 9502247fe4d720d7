#include "LoginState.h"

LoginRsp &LoginRsp::shareRsp() {
    // Created on first use and never replaced: screens may hold the reference.
    static LoginRsp current;
    return current;
}

namespace LoginState {

void applySignedIn(const LoginRsp &answer) {
    LoginRsp &current = LoginRsp::shareRsp();
    current.collectionNum = answer.collectionNum;
    current.photo = answer.photo;
    current.uid = answer.uid;
    current.user = answer.user;
    current.isLogin = true;
}

void applyBindingRequired(const LoginRsp &answer) {
    LoginRsp::shareRsp().uid = answer.uid;
}

void reset() {
    LoginRsp::shareRsp() = LoginRsp();
}

} // namespace LoginState
