#include "ChangePwdVC.h"

#include "AlertView.h"
#include "AnswerHandling.h"
#include "AppDelegate.h"
#include "LoginState.h"
#include "ProgressHud.h"
#include "StyleTokens.h"
#include "TextRules.h"
#include "UnitMetiodManager.h"
#include "ui_ChangePwdVC.h"

ChangePwdVC::ChangePwdVC(QWidget *parent)
    : NewPasswordVC(parent)
    , m_ui(StyleTokens::makeForm<Ui::ChangePwdVC>(this)) {
    adoptForm({m_ui->oldTextField, m_ui->pwdTextField, m_ui->againTextField}, m_ui->confirmButton);
}

ChangePwdVC::~ChangePwdVC() = default;

QString ChangePwdVC::successTitle() {
    return tr("密码修改成功，请重新登录");
}

QString ChangePwdVC::signInAgainTitle() {
    return tr("重新登录");
}

QLineEdit *ChangePwdVC::oldTextField() const {
    return m_ui->oldTextField;
}

void ChangePwdVC::viewDidLoad() {
    NewPasswordVC::viewDidLoad();
    setTitle(tr("修改密码"));
}

void ChangePwdVC::retranslate() {
    m_ui->retranslateUi(this);
    setTitle(tr("修改密码"));
}

void ChangePwdVC::checkInputString() {
    if (newPasswordPasses(TextRules::checkOldPassword(m_ui->oldTextField->text())))
        requestTheChangePwdAction();
}

void ChangePwdVC::requestTheChangePwdAction() {
    SetNewPasswordReq request;
    request.uid = LoginRsp::shareRsp().uid;
    request.type = 1;
    request.NEWPassword = m_ui->pwdTextField->text();
    request.oldPassword = m_ui->oldTextField->text();

    ProgressHud::showWithStatus(tr("正在修改"));
    // The old password is void once the service accepts: it is forgotten and the teacher signs
    // in again, even when this screen was left before the answer.
    const auto answer = AnswerHandler<SetNewPasswordRsp>(this).dismissingHud().onAccepted(
        [](const SetNewPasswordRsp &) {
            const auto remembered = UnitMetiodManager::getTheSavedUserPhoneNumAndPassword();
            UnitMetiodManager::saveTheUserPhoneNumAndPassword(LoginDataModel::rememberLoginPhoneNum(
                remembered ? remembered->loginPhoneNum : QString(), QString(), false));
            AlertView::show(successTitle(), QString(), {signInAgainTitle()},
                            &ChangePwdVC::alertViewClickedButtonAtIndex);
        });
    answer.send(request);
}

void ChangePwdVC::alertViewClickedButtonAtIndex(int buttonIndex) {
    Q_UNUSED(buttonIndex)
    AppDelegate::makeLoginStackRoot();
}
