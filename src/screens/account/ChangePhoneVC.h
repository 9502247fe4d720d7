#pragma once

#include "VerificationCodeVC.h"

#include <memory>

namespace Ui {
class ChangePhoneVC;
}

// Replaces the signed-in teacher's number with a new one proved by a code. Success writes the
// new number into the current login and into the remembered login (with automatic sign-in on),
// then closes the screen; the teacher stays signed in.
class ChangePhoneVC : public VerificationCodeVC {
    Q_OBJECT
public:
    static QString alreadyBoundText();

    explicit ChangePhoneVC(QWidget *parent = nullptr);
    ~ChangePhoneVC() override;

    // Phone and code filled, the number valid and not the one already bound: changes it.
    void checkInputString() override;
    void requestTheLinkLoginTypeWithMobileNum();

protected:
    std::optional<QString> checkCodeRecipient(const QString &phone) const override;
    void requestCode(const QString &phone) override;

private:
    // The number the current login is bound to, compared as the service's integer in decimal.
    static std::optional<QString> checkNotBound(const QString &phone);

    std::unique_ptr<Ui::ChangePhoneVC> m_ui;
};
