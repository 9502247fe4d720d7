#pragma once

#include "NewPasswordVC.h"

#include <memory>

namespace Ui {
class ChangePwdVC;
}

// The signed-in teacher changes the password by giving the old one. Once the service accepts, the
// remembered password is forgotten (automatic sign-in off) and the only way on is the alert's
// "重新登录", which puts the login stack in place of everything.
class ChangePwdVC : public NewPasswordVC {
    Q_OBJECT
public:
    static QString successTitle();
    static QString signInAgainTitle();

    explicit ChangePwdVC(QWidget *parent = nullptr);
    ~ChangePwdVC() override;

    // The old password (no length rule), then the new one's rules.
    void checkInputString() override;
    void requestTheChangePwdAction();
    // The success alert's only button: the login stack becomes the window's root.
    static void alertViewClickedButtonAtIndex(int buttonIndex);

    QLineEdit *oldTextField() const;

protected:
    void viewDidLoad() override;
    void retranslate() override;

private:
    std::unique_ptr<Ui::ChangePwdVC> m_ui;
};
