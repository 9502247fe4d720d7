#pragma once

#include "VerificationCodeVC.h"

#include <memory>

namespace Ui {
class ForgetPwdVC;
}

// The first step of recovering a forgotten password: a code sent to the account's number proves
// ownership, then ResetPwdVC takes the new password. The account's uid comes with the code.
class ForgetPwdVC : public VerificationCodeVC {
    Q_OBJECT
public:
    explicit ForgetPwdVC(QWidget *parent = nullptr);
    ~ForgetPwdVC() override;

    // Phone and code filled and the number valid: confirms the code.
    void checkInputString() override;
    // Confirms the code under the blocking HUD; accepted, it pushes ResetPwdVC for the kept uid.
    void requestTheComfirmWithMobileNum();

    // The account of the last code sent from this screen; 0 until one was sent.
    qint64 uid() const { return m_uid; }

protected:
    void requestCode(const QString &phone) override;

private:
    std::unique_ptr<Ui::ForgetPwdVC> m_ui;
    qint64 m_uid = 0;
};
