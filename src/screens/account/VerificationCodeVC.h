#pragma once

#include "AnswerHandling.h"
#include "InputVC.h"
#include "TickSource.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include <functional>
#include <optional>

class QAbstractButton;

// The base of the screens that send a text-message code to a number and then check it
// (forgotten password, phone binding, phone change): the phone and code fields, the two tagged
// buttons and the get-code button's states: idle, sending (disabled), counting down from 60 once
// a second ("(%1)秒", disabled), ready again ("重新获取"). The count goes on while another screen
// covers this one (the reset after a forgotten password), so coming back shows where it really is.
// The button is as wide as the widest of its titles, so the code field beside it never moves.
class VerificationCodeVC : public InputVC {
    Q_OBJECT
public:
    enum ButtonTag { SendCodeTag = 0, ConfirmTag = 1 };
    static constexpr quint64 CountdownStart = 60;
    static constexpr int CountdownIntervalMs = 1000;
    static QString againTitle();
    static QString countdownTitle(quint64 secondsLeft);

    // By the sender's tag: 0 sends a code, 1 checks the fields and confirms; others nothing.
    void btnClickAction(QAbstractButton *sender);
    // A valid number: the button goes disabled and the code is asked for under the plain HUD.
    void sendCaptchaAction();
    virtual void checkInputString() = 0;
    // The countdown's tick.
    void verUpdate();

    quint64 verTimeLimit() const { return m_verTimeLimit; }
    // The running countdown's tick source, or nullptr.
    TickSource *verTimer() const { return m_verTimer; }

    QLineEdit *phoneTextField() const { return m_phoneTextField; }
    QLineEdit *verfyTextField() const { return m_verfyTextField; }
    QPushButton *verificationBtn() const { return m_verificationBtn; }
    QPushButton *confirmButton() const { return m_confirmButton; }

protected:
    explicit VerificationCodeVC(QWidget *parent = nullptr);

    // Called by the subclass right after its form is built: the form's outlets and the title
    // the screen shows once loaded, asked again in the language in force after a change.
    template <class Form> void adoptForm(Form &form, std::function<QString()> title) {
        m_title = std::move(title);
        m_retranslateForm = [this, &form] { form.retranslateUi(this); };
        adoptForm(form.phoneTextField, form.verfyTextField, form.verificationBtn,
                  form.confirmButton);
    }
    void adoptForm(QLineEdit *phone, QLineEdit *code, QPushButton *codeButton,
                   QPushButton *confirm);
    void viewDidLoad() override;
    // The number's rules, the code's, then `last` (a rule the screen adds); the first broken one
    // is shown.
    bool phoneAndCodePass(std::optional<QString> last = std::nullopt) const;
    // The rules a number must pass before a code is sent to it, as a toast text when broken.
    virtual std::optional<QString> checkCodeRecipient(const QString &phone) const;
    // Asks the service for a code; the answer goes through codeAnswer<Rsp>().
    virtual void requestCode(const QString &phone) = 0;
    // The code request of the signed-in account's number screens: 0 binds, 1 changes.
    void requestSendVerification(const QString &phone, qint64 type);

    // The answer to a code request: result 1 runs `sent` and starts the countdown; a refusal
    // (its msg in a toast) or a transport failure makes the button usable again.
    template <class Rsp> AnswerHandler<Rsp> codeAnswer(std::function<void(const Rsp &)> sent = {}) {
        return AnswerHandler<Rsp>(this)
            .dismissingHud()
            .onSuccess([this, sent](const Rsp &rsp) {
                if (sent)
                    sent(rsp);
                startCountdown();
            })
            .onRefusal([this](const Rsp &rsp) {
                AnswerHandling::showRefusal(rsp);
                readyAgain();
            })
            .onFailure([this] { readyAgain(); });
    }

    void viewWillAppear(bool animated) override;
    // The form's texts, the title and the code button's title of its present state.
    void retranslate() override;

private:
    enum class CodeButtonState { First, Counting, Again };

    void startCountdown();
    void stopCountdown();
    void readyAgain();
    void showCodeButtonState(CodeButtonState state, quint64 secondsLeft = 0);
    void fitCodeButtonToItsTitles();

    QPointer<QLineEdit> m_phoneTextField;
    QPointer<QLineEdit> m_verfyTextField;
    QPointer<QPushButton> m_verificationBtn;
    QPointer<QPushButton> m_confirmButton;
    QString m_firstCodeTitle;
    std::function<QString()> m_title;
    std::function<void()> m_retranslateForm;
    CodeButtonState m_codeButtonState = CodeButtonState::First;
    quint64 m_shownSecondsLeft = 0;
    quint64 m_verTimeLimit = 0;
    QPointer<TickSource> m_verTimer;
};
