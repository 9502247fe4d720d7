#pragma once

#include "InputVC.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include <optional>

class QAbstractButton;

// The base of the screens that take a new password twice (the reset after a forgotten password,
// the change): both fields stop at 20 characters while typing, any button checks the fields, and
// Return walks the fields and submits on the last.
class NewPasswordVC : public InputVC {
    Q_OBJECT
public:
    // Whatever the button: checks the fields and, when they pass, sends.
    void btnClickAction(QAbstractButton *sender);
    virtual void checkInputString() = 0;
    void textFiledEditChanged(QLineEdit *sender) override;

    QLineEdit *pwdTextField() const { return m_pwdTextField; }
    QLineEdit *againTextField() const { return m_againTextField; }
    QPushButton *confirmButton() const { return m_confirmButton; }

protected:
    explicit NewPasswordVC(QWidget *parent = nullptr);

    // Called by the subclass right after setupUi: the fields in the order Return walks them,
    // ending with the new password and its confirmation, and the button.
    void adoptForm(const QList<QLineEdit *> &fields, QPushButton *confirm);
    // `first` (a rule the screen checks before the new password), then the new password's
    // rules, in order; the first broken one is shown.
    bool newPasswordPasses(std::optional<QString> first = std::nullopt) const;

private:
    QPointer<QLineEdit> m_pwdTextField;
    QPointer<QLineEdit> m_againTextField;
    QPointer<QPushButton> m_confirmButton;
};
