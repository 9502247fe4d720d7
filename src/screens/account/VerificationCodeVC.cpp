#include "VerificationCodeVC.h"

#include "AccountForm.h"
#include "FormWidth.h"
#include "ProgressHud.h"
#include "TextRules.h"
#include "TickSource.h"

#include <QLineEdit>
#include <QPushButton>

VerificationCodeVC::VerificationCodeVC(QWidget *parent)
    : InputVC(parent) {}

QString VerificationCodeVC::againTitle() {
    //: The get-code button once the countdown is over.
    return tr("重新获取");
}

QString VerificationCodeVC::countdownTitle(quint64 secondsLeft) {
    //: The get-code button while it waits: the seconds left before another code can be sent.
    return tr("(%1)秒").arg(secondsLeft);
}

void VerificationCodeVC::adoptForm(QLineEdit *phone, QLineEdit *code, QPushButton *codeButton,
                                   QPushButton *confirm) {
    FormWidth::keep(this);
    m_phoneTextField = phone;
    m_verfyTextField = code;
    m_verificationBtn = codeButton;
    m_confirmButton = confirm;
    m_firstCodeTitle = codeButton->text();
    setTag(codeButton, SendCodeTag);
    setTag(confirm, ConfirmTag);
    for (QPushButton *button : {codeButton, confirm})
        connect(button, &QPushButton::clicked, this, [this, button] { btnClickAction(button); });
    AccountForm::chainReturnKey({phone, code}, [this] { checkInputString(); });
    // Screen readers hear the button's state through its description, its name stays fixed.
    codeButton->setAccessibleDescription(codeButton->text());
}

void VerificationCodeVC::viewDidLoad() {
    InputVC::viewDidLoad();
    setTitle(m_title ? m_title() : QString());
}

void VerificationCodeVC::retranslate() {
    if (m_retranslateForm)
        m_retranslateForm();
    setTitle(m_title ? m_title() : QString());
    // retranslateUi has just put the form's first title back on the button.
    m_firstCodeTitle = m_verificationBtn->text();
    showCodeButtonState(m_codeButtonState, m_shownSecondsLeft);
    fitCodeButtonToItsTitles();
}

void VerificationCodeVC::btnClickAction(QAbstractButton *sender) {
    if (!sender)
        return;
    switch (tagOf(sender)) {
    case SendCodeTag:
        sendCaptchaAction();
        break;
    case ConfirmTag:
        checkInputString();
        break;
    default:
        break;
    }
}

std::optional<QString> VerificationCodeVC::checkCodeRecipient(const QString &phone) const {
    return TextRules::checkPhone(phone);
}

bool VerificationCodeVC::phoneAndCodePass(std::optional<QString> last) const {
    return AccountForm::passes({TextRules::checkPhone(m_phoneTextField->text()),
                                TextRules::checkVerificationCode(m_verfyTextField->text()),
                                std::move(last)});
}

void VerificationCodeVC::sendCaptchaAction() {
    // A keyboard shortcut or a script may ask while the button is disabled.
    if (!m_verificationBtn->isEnabled())
        return;
    const QString phone = m_phoneTextField->text();
    if (!AccountForm::passes({checkCodeRecipient(phone)}))
        return;
    m_verificationBtn->setEnabled(false);
    ProgressHud::show();
    requestCode(phone);
}

void VerificationCodeVC::requestSendVerification(const QString &phone, qint64 type) {
    SendVerificationReq request;
    request.uid = LoginRsp::shareRsp().uid;
    request.type = type;
    request.stuType = 1;
    request.mobile = phone;
    const auto answer = codeAnswer<SendVerificationRsp>();
    answer.send(request);
}

void VerificationCodeVC::startCountdown() {
    // Never two timers: the count would run twice as fast.
    stopCountdown();
    m_verTimeLimit = CountdownStart;
    m_verTimer = TickSource::create(this);
    connect(m_verTimer, &TickSource::tick, this, &VerificationCodeVC::verUpdate);
    m_verTimer->start(CountdownIntervalMs);
}

void VerificationCodeVC::stopCountdown() {
    if (m_verTimer) {
        m_verTimer->stop();
        m_verTimer->deleteLater();
    }
    m_verTimer = nullptr;
}

void VerificationCodeVC::verUpdate() {
    if (m_verTimeLimit != 0) {
        m_verificationBtn->setEnabled(false);
        showCodeButtonState(CodeButtonState::Counting, m_verTimeLimit);
        --m_verTimeLimit;
    } else if (m_verTimer && m_verTimer->isActive()) {
        stopCountdown();
        readyAgain();
        // Wraps on purpose: nothing reads it before the next code starts a new count.
        --m_verTimeLimit;
    }
}

void VerificationCodeVC::readyAgain() {
    m_verificationBtn->setEnabled(true);
    showCodeButtonState(CodeButtonState::Again);
}

void VerificationCodeVC::showCodeButtonState(CodeButtonState state, quint64 secondsLeft) {
    m_codeButtonState = state;
    m_shownSecondsLeft = secondsLeft;
    QString title;
    switch (state) {
    case CodeButtonState::First:
        title = m_firstCodeTitle;
        break;
    case CodeButtonState::Counting:
        title = countdownTitle(secondsLeft);
        break;
    case CodeButtonState::Again:
        title = againTitle();
        break;
    }
    m_verificationBtn->setText(title);
    m_verificationBtn->setAccessibleDescription(title);
}

void VerificationCodeVC::viewWillAppear(bool animated) {
    InputVC::viewWillAppear(animated);
    // Measured here, once the screen's style sheet and the window's font apply to the button.
    fitCodeButtonToItsTitles();
}

void VerificationCodeVC::fitCodeButtonToItsTitles() {
    QPushButton *button = m_verificationBtn;
    const QString shown = button->text();
    QStringList titles{m_firstCodeTitle, againTitle()};
    // Digits need not be equally wide: every count is measured.
    for (quint64 left = 1; left <= CountdownStart; ++left)
        titles << countdownTitle(left);
    int widest = 0;
    for (const QString &title : std::as_const(titles)) {
        button->setText(title);
        widest = qMax(widest, button->sizeHint().width());
    }
    button->setText(shown);
    button->setFixedWidth(widest);
}
