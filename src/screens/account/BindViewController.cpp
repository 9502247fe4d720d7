#include "BindViewController.h"

#include "NotificationCenter.h"
#include "ProgressHud.h"
#include "StyleTokens.h"
#include "ui_BindViewController.h"

BindViewController::BindViewController(QWidget *parent)
    : VerificationCodeVC(parent)
    , m_ui(StyleTokens::makeForm<Ui::BindViewController>(this)) {
    adoptForm(*m_ui, [] { return tr("绑定手机"); });
}

BindViewController::~BindViewController() = default;

void BindViewController::requestCode(const QString &phone) {
    requestSendVerification(phone, 0);
}

void BindViewController::checkInputString() {
    if (phoneAndCodePass())
        requestTheLinkLoginTypeWithMobileNum();
}

void BindViewController::requestTheLinkLoginTypeWithMobileNum() {
    ConfirmVerificationReq request;
    request.uid = LoginRsp::shareRsp().uid;
    request.type = 6;
    request.stuType = 1;
    request.mobile = phoneTextField()->text();
    request.code = verfyTextField()->text();

    ProgressHud::showWithStatus(tr("正在绑定"));
    // The login screen beneath signs in again even when this screen was left before the answer.
    const auto answer = AnswerHandler<ConfirmVerificationRsp>(this).dismissingHud().onAccepted(
        [](const ConfirmVerificationRsp &) {
            NotificationCenter::post(NOTIFICATION_UPDATE_LOGIN);
        });
    answer.send(request);
}
