#include "ChangePwdVC.h"

#include "AccountForm.h"
#include "AlertView.h"
#include "AnswerHandling.h"
#include "AppDelegate.h"
#include "LoginState.h"
#include "ProgressHud.h"
#include "TeacherRequestManager.h"
#include "TextRules.h"
#include "UnitMetiodManager.h"
#include "ui_ChangePwdVC.h"

ChangePwdVC::ChangePwdVC(QWidget *parent)
    : InputVC(parent)
    , m_ui(std::make_unique<Ui::ChangePwdVC>()) {
    m_ui->setupUi(this);
    connect(m_ui->confirmButton, &QPushButton::clicked, this,
            [this] { btnClickAction(m_ui->confirmButton); });
    AccountForm::chainReturnKey({m_ui->oldTextField, m_ui->pwdTextField, m_ui->againTextField},
                                [this] { checkInputString(); });
}

ChangePwdVC::~ChangePwdVC() = default;

QLineEdit *ChangePwdVC::oldTextField() const {
    return m_ui->oldTextField;
}

QLineEdit *ChangePwdVC::pwdTextField() const {
    return m_ui->pwdTextField;
}

QLineEdit *ChangePwdVC::againTextField() const {
    return m_ui->againTextField;
}

QPushButton *ChangePwdVC::confirmButton() const {
    return m_ui->confirmButton;
}

void ChangePwdVC::viewDidLoad() {
    InputVC::viewDidLoad();
    setTitle(QStringLiteral("修改密码"));
}

void ChangePwdVC::btnClickAction(QAbstractButton *sender) {
    Q_UNUSED(sender)
    checkInputString();
}

void ChangePwdVC::textFiledEditChanged(QLineEdit *sender) {
    if (sender == m_ui->pwdTextField || sender == m_ui->againTextField)
        TextRules::cutFieldToMaxPasswordLength(sender);
}

void ChangePwdVC::checkInputString() {
    const QString password = m_ui->pwdTextField->text();
    if (AccountForm::passes({TextRules::checkOldPassword(m_ui->oldTextField->text()),
                             TextRules::checkNewPassword(password),
                             TextRules::checkConfirmation(password, m_ui->againTextField->text())}))
        requestTheChangePwdAction();
}

void ChangePwdVC::requestTheChangePwdAction() {
    SetNewPasswordReq request;
    request.uid = LoginRsp::shareRsp().uid;
    request.type = 1;
    request.NEWPassword = m_ui->pwdTextField->text();
    request.oldPassword = m_ui->oldTextField->text();

    ProgressHud::showWithStatus(QStringLiteral("正在修改"));
    const auto answer = AnswerHandler<SetNewPasswordRsp>(this).dismissingHud().onSuccess(
        [](const SetNewPasswordRsp &) {
            const auto remembered = UnitMetiodManager::getTheSavedUserPhoneNumAndPassword();
            UnitMetiodManager::saveTheUserPhoneNumAndPassword(LoginDataModel::rememberLoginPhoneNum(
                remembered ? remembered->loginPhoneNum : QString(), QString(), false));
            AlertView::show(SuccessTitle, QString(), {SignInAgainTitle},
                            &ChangePwdVC::alertViewClickedButtonAtIndex);
        });
    TeacherRequestManager::request_SetNewPassword_WithParams(request, answer.completion(),
                                                             answer.failure());
}

void ChangePwdVC::alertViewClickedButtonAtIndex(int buttonIndex) {
    Q_UNUSED(buttonIndex)
    AppDelegate::makeLoginStackRoot();
}
