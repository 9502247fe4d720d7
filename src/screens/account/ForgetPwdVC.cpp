#include "ForgetPwdVC.h"

#include "NavigationController.h"
#include "ProgressHud.h"
#include "ResetPwdVC.h"
#include "StyleTokens.h"
#include "ui_ForgetPwdVC.h"

ForgetPwdVC::ForgetPwdVC(QWidget *parent)
    : VerificationCodeVC(parent)
    , m_ui(StyleTokens::makeForm<Ui::ForgetPwdVC>(this)) {
    adoptForm(*m_ui, [] { return tr("忘记密码"); });
}

ForgetPwdVC::~ForgetPwdVC() = default;

void ForgetPwdVC::requestCode(const QString &phone) {
    GetPasswordForgetReq request;
    request.type = 1;
    request.mobile = phone;
    const auto answer = codeAnswer<GetPasswordForgetRsp>(
        [this](const GetPasswordForgetRsp &rsp) { m_uid = rsp.uid; });
    answer.send(request);
}

void ForgetPwdVC::checkInputString() {
    if (phoneAndCodePass())
        requestTheComfirmWithMobileNum();
}

void ForgetPwdVC::requestTheComfirmWithMobileNum() {
    ConfirmVerificationReq request;
    request.uid = m_uid;
    request.type = 7;
    request.stuType = 1;
    request.mobile = phoneTextField()->text();
    request.code = verfyTextField()->text();

    ProgressHud::showWithStatus(tr("正在验证"));
    // The uid of the code that the service just accepted, not of one sent while waiting.
    const qint64 uid = m_uid;
    const auto answer = AnswerHandler<ConfirmVerificationRsp>(this).dismissingHud().onSuccess(
        [this, uid](const ConfirmVerificationRsp &) {
            auto *reset = new ResetPwdVC;
            reset->setUid(uid);
            if (NavigationController *stack = navigationController())
                stack->pushViewController(reset, true);
            else
                delete reset;
        });
    answer.send(request);
}
