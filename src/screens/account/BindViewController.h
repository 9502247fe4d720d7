#pragma once

#include "VerificationCodeVC.h"

#include <memory>

namespace Ui {
class BindViewController;
}

// Binds a mobile number to an account that has none, for the uid the login screen put into the
// current login. A confirmed code posts NOTIFICATION_UPDATE_LOGIN: the login screen beneath signs
// in again with its own fields.
class BindViewController : public VerificationCodeVC {
    Q_OBJECT
public:
    explicit BindViewController(QWidget *parent = nullptr);
    ~BindViewController() override;

    // Phone and code filled and the number valid: confirms the binding.
    void checkInputString() override;
    void requestTheLinkLoginTypeWithMobileNum();

protected:
    void requestCode(const QString &phone) override;

private:
    std::unique_ptr<Ui::BindViewController> m_ui;
};
