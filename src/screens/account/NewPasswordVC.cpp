#include "NewPasswordVC.h"

#include "AccountForm.h"
#include "FormWidth.h"
#include "TextRules.h"

NewPasswordVC::NewPasswordVC(QWidget *parent)
    : InputVC(parent) {}

void NewPasswordVC::adoptForm(const QList<QLineEdit *> &fields, QPushButton *confirm) {
    FormWidth::keep(this);
    Q_ASSERT(fields.size() >= 2);
    m_pwdTextField = fields[fields.size() - 2];
    m_againTextField = fields.last();
    m_confirmButton = confirm;
    connect(confirm, &QPushButton::clicked, this, [this, confirm] { btnClickAction(confirm); });
    AccountForm::chainReturnKey(fields, [this] { checkInputString(); });
}

void NewPasswordVC::btnClickAction(QAbstractButton *sender) {
    Q_UNUSED(sender)
    checkInputString();
}

void NewPasswordVC::textFiledEditChanged(QLineEdit *sender) {
    if (sender && (sender == m_pwdTextField || sender == m_againTextField))
        TextRules::cutFieldToMaxPasswordLength(sender);
}

bool NewPasswordVC::newPasswordPasses(std::optional<QString> first) const {
    const QString password = m_pwdTextField->text();
    return AccountForm::passes({std::move(first), TextRules::checkNewPassword(password),
                                TextRules::checkConfirmation(password, m_againTextField->text())});
}
