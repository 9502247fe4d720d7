#include "LoginViewController.h"

#include "AnswerHandling.h"
#include "AppDelegate.h"
#include "BindViewController.h"
#include "ForgetPwdVC.h"
#include "FormWidth.h"
#include "LoginState.h"
#include "NavigationController.h"
#include "NotificationCenter.h"
#include "ProgressHud.h"
#include "StyleTokens.h"
#include "Toast.h"
#include "UnitMetiodManager.h"
#include "ui_LoginViewController.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcLogin, "teacher.login")

LoginViewController::LoginViewController(QWidget *parent)
    : InputVC(parent)
    , m_ui(StyleTokens::makeForm<Ui::LoginViewController>(this)) {
    FormWidth::keep(this);
    for (QPushButton *button : {m_ui->loginButton, m_ui->forgetButton})
        connect(button, &QPushButton::clicked, this, [this, button] { btnClickAction(button); });
}

LoginViewController::~LoginViewController() = default;

QLineEdit *LoginViewController::userNameTextField() const {
    return m_ui->userNameTextField;
}

QLineEdit *LoginViewController::userPwdTextField() const {
    return m_ui->userPwdTextField;
}

QPushButton *LoginViewController::loginButton() const {
    return m_ui->loginButton;
}

QPushButton *LoginViewController::forgetButton() const {
    return m_ui->forgetButton;
}

NavigationController *LoginViewController::navigationControllerContainSelf() {
    auto *stack = new NavigationController(new LoginViewController);
    stack->setNavigationBarHidden(true, false);
    return stack;
}

void LoginViewController::viewDidLoad() {
    InputVC::viewDidLoad();
    applyTexts();
    NotificationCenter::addObserver(this, NOTIFICATION_UPDATE_LOGIN,
                                    [this] { updateLoginAction(); });
    if (const auto remembered = UnitMetiodManager::getTheSavedUserPhoneNumAndPassword()) {
        m_ui->userNameTextField->setText(remembered->loginPhoneNum);
        m_ui->userPwdTextField->setText(remembered->loginPassword);
    }
}

void LoginViewController::retranslate() {
    m_ui->retranslateUi(this);
    applyTexts();
}

void LoginViewController::applyTexts() {
    setTitle(tr("登录"));
    m_ui->userNameTextField->setAccessibleName(tr("手机号"));
    m_ui->userPwdTextField->setAccessibleName(tr("密码"));
    m_ui->loginButton->setAccessibleName(tr("登录"));
    m_ui->forgetButton->setAccessibleName(tr("忘记密码"));
}

void LoginViewController::viewWillAppear(bool animated) {
    InputVC::viewWillAppear(animated);
    if (NavigationController *stack = navigationController())
        stack->setNavigationBarHidden(true, true);
}

void LoginViewController::viewWillDisappear(bool animated) {
    InputVC::viewWillDisappear(animated);
    // The screens pushed from here show the bar with the back button.
    if (NavigationController *stack = navigationController())
        stack->setNavigationBarHidden(false, false);
}

void LoginViewController::btnClickAction(QAbstractButton *sender) {
    if (!sender)
        return;
    switch (tagOf(sender)) {
    case ForgotPasswordTag:
        if (NavigationController *stack = navigationController())
            stack->pushViewController(new ForgetPwdVC, true);
        break;
    case SignInTag:
        checkInputString();
        break;
    default:
        break;
    }
}

void LoginViewController::checkInputString() {
    if (m_ui->userNameTextField->text().isEmpty()) {
        Toast::show(tr("请输入用户名"));
        return;
    }
    if (m_ui->userPwdTextField->text().isEmpty()) {
        Toast::show(tr("请输入密码"));
        return;
    }
    loginAction();
}

void LoginViewController::loginAction() {
    // What is remembered on success is what the service accepted, not what the fields might
    // hold by the time the answer comes.
    const QString userName = m_ui->userNameTextField->text();
    const QString password = m_ui->userPwdTextField->text();
    LoginReq request;
    request.userName = userName;
    request.password = password;

    ProgressHud::showWithStatus(tr("正在登录"));
    const auto answer =
        AnswerHandler<LoginRsp>(this)
            .dismissingHud()
            .onSuccess([userName, password](const LoginRsp &rsp) {
                LoginState::applySignedIn(rsp);
                UnitMetiodManager::saveTheUserPhoneNumAndPassword(
                    LoginDataModel::rememberLoginPhoneNum(userName, password, true));
                // Replaces the whole login stack, this screen included.
                AppDelegate::makeTabBarRoot();
            })
            .onRefusal([this](const LoginRsp &rsp) {
                switch (rsp.result) {
                case 2:
                    LoginState::applyBindingRequired(rsp);
                    if (NavigationController *stack = navigationController())
                        stack->pushViewController(new BindViewController, true);
                    break;
                case 0:
                    AnswerHandling::showRefusal(rsp);
                    break;
                default:
                    qCDebug(lcLogin) << "login answered" << rsp.result << "; nothing to do";
                    break;
                }
            });
    answer.send(request);
}

void LoginViewController::updateLoginAction() {
    checkInputString();
}
