#include "ChangePhoneVC.h"

#include "LoginState.h"
#include "NavigationController.h"
#include "ProgressHud.h"
#include "StyleTokens.h"
#include "TextRules.h"
#include "UnitMetiodManager.h"
#include "ui_ChangePhoneVC.h"

ChangePhoneVC::ChangePhoneVC(QWidget *parent)
    : VerificationCodeVC(parent)
    , m_ui(StyleTokens::makeForm<Ui::ChangePhoneVC>(this)) {
    adoptForm(*m_ui, [] { return tr("修改手机号"); });
}

ChangePhoneVC::~ChangePhoneVC() = default;

QString ChangePhoneVC::alreadyBoundText() {
    return tr("该手机号已被绑定");
}

std::optional<QString> ChangePhoneVC::checkNotBound(const QString &phone) {
    const LoginRsp &current = LoginRsp::shareRsp();
    const qint64 bound = current.user ? current.user->Mobile : 0;
    if (phone == QString::number(bound))
        return alreadyBoundText();
    return std::nullopt;
}

std::optional<QString> ChangePhoneVC::checkCodeRecipient(const QString &phone) const {
    if (auto broken = TextRules::checkPhone(phone))
        return broken;
    return checkNotBound(phone);
}

void ChangePhoneVC::requestCode(const QString &phone) {
    requestSendVerification(phone, 1);
}

void ChangePhoneVC::checkInputString() {
    if (phoneAndCodePass(checkNotBound(phoneTextField()->text())))
        requestTheLinkLoginTypeWithMobileNum();
}

void ChangePhoneVC::requestTheLinkLoginTypeWithMobileNum() {
    // What is written on success is the number the service accepted, whatever the field holds
    // by the time the answer comes.
    const QString phone = phoneTextField()->text();
    ChangeMobileReq request;
    request.mobile = phone;
    request.code = verfyTextField()->text();
    request.uid = LoginRsp::shareRsp().uid;
    request.stuType = 1;

    ProgressHud::showWithStatus(tr("正在修改"));
    // The number is the account's from now on, whether or not the screen is still there.
    const auto answer =
        AnswerHandler<ChangeMobileRsp>(this)
            .dismissingHud()
            .onAccepted([phone](const ChangeMobileRsp &) {
                LoginState::applyMobileChanged(phone);
                const auto remembered = UnitMetiodManager::getTheSavedUserPhoneNumAndPassword();
                UnitMetiodManager::saveTheUserPhoneNumAndPassword(
                    LoginDataModel::rememberLoginPhoneNum(
                        phone, remembered ? remembered->loginPassword : QString(), true));
            })
            .onSuccess([this](const ChangeMobileRsp &) {
                if (NavigationController *stack = navigationController())
                    stack->popViewController(true);
            });
    answer.send(request);
}
