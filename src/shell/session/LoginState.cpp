#include "LoginState.h"

#include "AnswerCache.h"
#include "ImageLoader.h"
#include "Session.h"

#include <limits>

LoginRsp &LoginRsp::shareRsp() {
    return Session::instance().login();
}

namespace LoginState {

void applySignedIn(const LoginRsp &answer) {
    LoginRsp &current = LoginRsp::shareRsp();
    current.collectionNum = answer.collectionNum;
    current.photo = answer.photo;
    current.uid = answer.uid;
    current.user = answer.user;
    current.isLogin = true;
    // What an earlier teacher read on this machine goes now; this teacher's reads are kept.
    AnswerCache::instance().openFor(answer.uid);
    ImageLoader::keepOnDiskFor(answer.uid);
}

void applyBindingRequired(const LoginRsp &answer) {
    LoginRsp::shareRsp().uid = answer.uid;
}

void applyMobileChanged(const QString &mobile) {
    qint64 number = 0;
    for (const QChar c : mobile) {
        const int digit = c.digitValue();
        if (digit < 0 || digit > 9 || number > (std::numeric_limits<qint64>::max() - 9) / 10) {
            number = 0;
            break;
        }
        number = number * 10 + digit;
    }
    LoginRsp &current = LoginRsp::shareRsp();
    if (!current.user)
        current.user = UserInfo();
    current.user->Mobile = number;
    current.user->UserName = mobile;
}

void reset() {
    LoginRsp::shareRsp() = LoginRsp();
}

} // namespace LoginState
