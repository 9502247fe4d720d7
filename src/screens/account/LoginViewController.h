#pragma once

#include "InputVC.h"

#include <memory>

class NavigationController;
class QAbstractButton;
class QPushButton;
namespace Ui {
class LoginViewController;
}

// Sign-in with the mobile number and the password. The root of the login stack (bar hidden);
// from here the teacher reaches the forgotten-password flow and, when the service demands it,
// the phone binding, which signs in again through NOTIFICATION_UPDATE_LOGIN.
class LoginViewController : public InputVC {
    Q_OBJECT
public:
    // The buttons' tags.
    enum ButtonTag { SignInTag = 0, ForgotPasswordTag = 1 };

    explicit LoginViewController(QWidget *parent = nullptr);
    ~LoginViewController() override;

    // A new login screen in a new stack whose navigation bar is hidden.
    static NavigationController *navigationControllerContainSelf();

    // By the sender's tag: 0 signs in, 1 opens the forgotten-password screen, others nothing.
    void btnClickAction(QAbstractButton *sender);
    // Both fields filled: signs in; otherwise the first missing one is named in a toast. Only
    // emptiness is checked: the texts go out exactly as typed.
    void checkInputString();
    void loginAction();
    // NOTIFICATION_UPDATE_LOGIN: the binding was confirmed, sign in again with the same texts.
    void updateLoginAction();

    QLineEdit *userNameTextField() const;
    QLineEdit *userPwdTextField() const;
    QPushButton *loginButton() const;
    QPushButton *forgetButton() const;

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void retranslate() override;

private:
    void applyTexts();

    std::unique_ptr<Ui::LoginViewController> m_ui;
};
