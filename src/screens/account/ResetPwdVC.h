#pragma once

#include "NewPasswordVC.h"

#include <memory>

namespace Ui {
class ResetPwdVC;
}

// The second step of recovering a forgotten password: the new password twice, for the account
// that ForgetPwdVC proved. Success returns to the login screen; the remembered login stays.
class ResetPwdVC : public NewPasswordVC {
    Q_OBJECT
public:
    explicit ResetPwdVC(QWidget *parent = nullptr);
    ~ResetPwdVC() override;

    qint64 uid() const { return m_uid; }
    void setUid(qint64 uid) { m_uid = uid; }
    // Kept for the callers that know it; the flow does not use it.
    QString phoneStr() const { return m_phoneStr; }
    void setPhoneStr(const QString &phone) { m_phoneStr = phone; }

    void checkInputString() override;
    void requestTheChangePwdAction();

protected:
    void viewDidLoad() override;
    void retranslate() override;

private:
    std::unique_ptr<Ui::ResetPwdVC> m_ui;
    qint64 m_uid = 0;
    QString m_phoneStr;
};
