#pragma once

#include "InputVC.h"

#include <memory>

class QAbstractButton;
class QPushButton;
namespace Ui {
class ResetPwdVC;
}

// The second step of recovering a forgotten password: the new password twice, for the account
// that ForgetPwdVC proved. Success returns to the login screen; the remembered login stays.
class ResetPwdVC : public InputVC {
    Q_OBJECT
public:
    explicit ResetPwdVC(QWidget *parent = nullptr);
    ~ResetPwdVC() override;

    qint64 uid() const { return m_uid; }
    void setUid(qint64 uid) { m_uid = uid; }
    // Kept for the callers that know it; the flow does not use it.
    QString phoneStr() const { return m_phoneStr; }
    void setPhoneStr(const QString &phone) { m_phoneStr = phone; }

    // Whatever the button: checks the fields and sets the password.
    void btnClickAction(QAbstractButton *sender);
    void checkInputString();
    void requestTheChangePwdAction();
    // Both password fields hold 20 characters at most.
    void textFiledEditChanged(QLineEdit *sender) override;

    QLineEdit *pwdTextField() const;
    QLineEdit *againTextField() const;
    QPushButton *confirmButton() const;

protected:
    void viewDidLoad() override;

private:
    std::unique_ptr<Ui::ResetPwdVC> m_ui;
    qint64 m_uid = 0;
    QString m_phoneStr;
};
