#include "ResetPwdVC.h"

#include "AccountForm.h"
#include "AnswerHandling.h"
#include "NavigationController.h"
#include "ProgressHud.h"
#include "TeacherRequestManager.h"
#include "TextRules.h"
#include "ui_ResetPwdVC.h"

ResetPwdVC::ResetPwdVC(QWidget *parent)
    : InputVC(parent)
    , m_ui(std::make_unique<Ui::ResetPwdVC>()) {
    m_ui->setupUi(this);
    connect(m_ui->confirmButton, &QPushButton::clicked, this,
            [this] { btnClickAction(m_ui->confirmButton); });
    AccountForm::chainReturnKey({m_ui->pwdTextField, m_ui->againTextField},
                                [this] { checkInputString(); });
}

ResetPwdVC::~ResetPwdVC() = default;

QLineEdit *ResetPwdVC::pwdTextField() const {
    return m_ui->pwdTextField;
}

QLineEdit *ResetPwdVC::againTextField() const {
    return m_ui->againTextField;
}

QPushButton *ResetPwdVC::confirmButton() const {
    return m_ui->confirmButton;
}

void ResetPwdVC::viewDidLoad() {
    InputVC::viewDidLoad();
    setTitle(QStringLiteral("设置密码"));
}

void ResetPwdVC::btnClickAction(QAbstractButton *sender) {
    Q_UNUSED(sender)
    checkInputString();
}

void ResetPwdVC::textFiledEditChanged(QLineEdit *sender) {
    if (sender == m_ui->pwdTextField || sender == m_ui->againTextField)
        TextRules::cutFieldToMaxPasswordLength(sender);
}

void ResetPwdVC::checkInputString() {
    const QString password = m_ui->pwdTextField->text();
    if (AccountForm::passes({TextRules::checkNewPassword(password),
                             TextRules::checkConfirmation(password, m_ui->againTextField->text())}))
        requestTheChangePwdAction();
}

void ResetPwdVC::requestTheChangePwdAction() {
    SetNewPasswordReq request;
    request.uid = m_uid;
    request.type = 0;
    request.NEWPassword = m_ui->pwdTextField->text();

    ProgressHud::showWithStatus(QStringLiteral("正在设置"));
    const auto answer = AnswerHandler<SetNewPasswordRsp>(this).dismissingHud().onSuccess(
        [this](const SetNewPasswordRsp &) {
            if (NavigationController *stack = navigationController())
                stack->popToRootViewController(true);
        });
    TeacherRequestManager::request_SetNewPassword_WithParams(request, answer.completion(),
                                                             answer.failure());
}
