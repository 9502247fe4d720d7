#include "ResetPwdVC.h"

#include "AnswerHandling.h"
#include "NavigationController.h"
#include "ProgressHud.h"
#include "StyleTokens.h"
#include "ui_ResetPwdVC.h"

ResetPwdVC::ResetPwdVC(QWidget *parent)
    : NewPasswordVC(parent)
    , m_ui(StyleTokens::makeForm<Ui::ResetPwdVC>(this)) {
    adoptForm({m_ui->pwdTextField, m_ui->againTextField}, m_ui->confirmButton);
}

ResetPwdVC::~ResetPwdVC() = default;

void ResetPwdVC::viewDidLoad() {
    NewPasswordVC::viewDidLoad();
    setTitle(tr("设置密码"));
}

void ResetPwdVC::retranslate() {
    m_ui->retranslateUi(this);
    setTitle(tr("设置密码"));
}

void ResetPwdVC::checkInputString() {
    if (newPasswordPasses())
        requestTheChangePwdAction();
}

void ResetPwdVC::requestTheChangePwdAction() {
    SetNewPasswordReq request;
    request.uid = m_uid;
    request.type = 0;
    request.NEWPassword = m_ui->pwdTextField->text();

    ProgressHud::showWithStatus(tr("正在设置"));
    const auto answer = AnswerHandler<SetNewPasswordRsp>(this).dismissingHud().onSuccess(
        [this](const SetNewPasswordRsp &) {
            if (NavigationController *stack = navigationController())
                stack->popToRootViewController(true);
        });
    answer.send(request);
}
