#include "AccountFormHarness.h"
#include "account/ForgetPwdVC.h"
#include "account/ResetPwdVC.h"

#include <QLineEdit>
#include <QPushButton>

// The forgotten-password flow (code, countdown, confirmation, new password) against the stub.
class tst_ForgetPwdVC : public QObject {
    Q_OBJECT

    AccountFormHarness h;
    QPointer<ForgetPwdVC> m_forget;

    static constexpr const char *CodePath = "Mobile/GetPasswordForget";
    static constexpr const char *ConfirmPath = "Mobile/ConfirmVerification";
    static constexpr const char *SetPath = "Mobile/SetNewPassword";

    void type(const QString &phone, const QString &code = {}) {
        m_forget->phoneTextField()->setText(phone);
        m_forget->verfyTextField()->setText(code);
    }
    QString codeTitle() const { return m_forget->verificationBtn()->text(); }

    // A code sent successfully for account 42; the countdown has not ticked yet.
    void sendCode() {
        h.answer(CodePath, R"({"result":1,"uid":42})");
        type("13800000001");
        QVERIFY(h.clickAndWait(m_forget->verificationBtn()));
    }

    ResetPwdVC *confirmToReset() {
        h.answer(ConfirmPath, R"({"result":1})");
        type("13800000001", "123456");
        if (!h.clickAndWait(m_forget->confirmButton()))
            return nullptr;
        h.stack->finishTransitions();
        return qobject_cast<ResetPwdVC *>(h.stack->topViewController());
    }

private slots:
    void initTestCase() { QVERIFY(h.start()); }
    void init() {
        h.reset();
        m_forget = h.open(new ForgetPwdVC);
    }
    void cleanup() { h.close(); }

    void brokenFieldsAreNamedInOrderAndNothingIsSent_data() {
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<QString>("phone");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("toast");
        QTest::newRow("code: no number") << false << ""
                                         << ""
                                         << "请输入手机号";
        QTest::newRow("code: five digits") << false << "13800"
                                           << ""
                                           << "请输入正确的手机号";
        QTest::newRow("code: leading space") << false << " 13800000001"
                                             << ""
                                             << "请输入正确的手机号";
        QTest::newRow("confirm: nothing") << true << ""
                                          << ""
                                          << "请输入手机号";
        QTest::newRow("confirm: bad number first") << true << "2380000000"
                                                   << ""
                                                   << "请输入正确的手机号";
        QTest::newRow("confirm: no code") << true << "13800000001"
                                          << ""
                                          << "请输入验证码";
    }
    void brokenFieldsAreNamedInOrderAndNothingIsSent() {
        QFETCH(bool, confirm);
        QFETCH(QString, phone);
        QFETCH(QString, code);
        QFETCH(QString, toast);
        type(phone, code);
        QTest::mouseClick(confirm ? m_forget->confirmButton() : m_forget->verificationBtn(),
                          Qt::LeftButton);
        QCOMPARE(Toast::currentText(), toast);
        QVERIFY(!ProgressHud::isVisible());
        QVERIFY(m_forget->verificationBtn()->isEnabled());
        QCOMPARE(m_forget->phoneTextField()->text(), phone);
        QCOMPARE(h.stack->topViewController(), m_forget.data());
    }

    void countdownRunsSixtySecondsOnTheClock() {
        h.answer(CodePath, R"({"result":1,"uid":42})", 200);
        type("13800000001");
        QTest::mouseClick(m_forget->verificationBtn(), Qt::LeftButton);
        QVERIFY(ProgressHud::isVisible());
        QVERIFY(!ProgressHud::isBlocking());
        QVERIFY(!m_forget->verificationBtn()->isEnabled());
        QTRY_VERIFY(!ProgressHud::isVisible());
        const auto form = h.lastForm();
        QCOMPARE(form.value("type"), QStringLiteral("1"));
        QCOMPARE(form.value("mobile"), QStringLiteral("13800000001"));
        QCOMPARE(m_forget->uid(), 42);

        TickSource::advance(1000);
        QCOMPARE(codeTitle(), QStringLiteral("(60)秒"));
        TickSource::advance(59000);
        QCOMPARE(codeTitle(), QStringLiteral("(1)秒"));
        QVERIFY(!m_forget->verificationBtn()->isEnabled());
        m_forget->sendCaptchaAction(); // no second code while counting
        QCOMPARE(h.server.requests().size(), 1);
        TickSource::advance(1000);
        QCOMPARE(codeTitle(), QStringLiteral("重新获取"));
        QVERIFY(m_forget->verificationBtn()->isEnabled());
        QVERIFY(!m_forget->verTimer());
        TickSource::advance(5000);
        QCOMPARE(codeTitle(), QStringLiteral("重新获取"));

        // A second code starts a fresh count at normal speed.
        sendCode();
        TickSource::advance(2000);
        QCOMPARE(codeTitle(), QStringLiteral("(59)秒"));
    }

    void refusedOrLostCodeMakesTheButtonUsableAgain_data() {
        QTest::addColumn<bool>("dropped");
        QTest::addColumn<QString>("toast");
        QTest::newRow("refused") << false << "手机号未注册";
        QTest::newRow("no network") << true << "无网络连接";
    }
    void refusedOrLostCodeMakesTheButtonUsableAgain() {
        QFETCH(bool, dropped);
        QFETCH(QString, toast);
        h.server.setAnswer(CodePath, dropped ? StubHttpServer::Answer::dropped()
                                             : StubHttpServer::Answer::json(
                                                   R"({"result":0,"msg":"手机号未注册","uid":9})"));
        type("13800000009");
        QVERIFY(h.clickAndWait(m_forget->verificationBtn()));
        QCOMPARE(Toast::currentText(), toast);
        QVERIFY(m_forget->verificationBtn()->isEnabled());
        QCOMPARE(codeTitle(), QStringLiteral("重新获取"));
        QCOMPARE(m_forget->uid(), 0);
        TickSource::advance(3000);
        QCOMPARE(codeTitle(), QStringLiteral("重新获取"));
    }

    void confirmSendsTheKeptUid_data() {
        QTest::addColumn<bool>("codeSent");
        QTest::addColumn<QString>("uid");
        QTest::newRow("no code sent from this screen") << false << "0";
        QTest::newRow("after a sent code") << true << "42";
    }
    void confirmSendsTheKeptUid() {
        QFETCH(bool, codeSent);
        QFETCH(QString, uid);
        if (codeSent)
            sendCode();
        h.answer(ConfirmPath, R"({"result":1})", 200);
        type("13800000001", " 12a ");
        QTest::mouseClick(m_forget->confirmButton(), Qt::LeftButton);
        QVERIFY(ProgressHud::isBlocking());
        QCOMPARE(ProgressHud::status(), QStringLiteral("正在验证"));
        QTRY_VERIFY(!ProgressHud::isVisible());
        const auto form = h.lastForm();
        QCOMPARE(h.server.lastRequest().path, QString(ConfirmPath));
        QCOMPARE(form.value("uid"), uid);
        QCOMPARE(form.value("type"), QStringLiteral("7"));
        QCOMPARE(form.value("stuType"), QStringLiteral("1"));
        QCOMPARE(form.value("mobile"), QStringLiteral("13800000001"));
        QCOMPARE(form.value("code"), QStringLiteral(" 12a "));
        h.stack->finishTransitions();
        auto *reset = qobject_cast<ResetPwdVC *>(h.stack->topViewController());
        QVERIFY(reset);
        QCOMPARE(reset->uid(), uid.toLongLong());
        QCOMPARE(reset->title(), QStringLiteral("设置密码"));
    }

    void leavingStopsTheCountWhereItIs() {
        sendCode();
        TickSource::advance(3000);
        QVERIFY(confirmToReset());
        QVERIFY(!m_forget->verTimer());
        TickSource::advance(70000);
        h.stack->popViewController(false);
        h.stack->finishTransitions();
        QCOMPARE(codeTitle(), QStringLiteral("(58)秒"));
        QVERIFY(!m_forget->verificationBtn()->isEnabled());
    }

    void resetRulesInOrder_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("again");
        QTest::addColumn<QString>("toast");
        QTest::newRow("nothing") << ""
                                 << ""
                                 << "请输入新密码";
        QTest::newRow("five characters") << "12345"
                                         << "12345"
                                         << "请输入6-20位密码";
        QTest::newRow("no confirmation") << "123456"
                                         << ""
                                         << "请确认新密码";
        QTest::newRow("differ") << "123456"
                                << "123457"
                                << "两次密码不一致";
    }
    void resetRulesInOrder() {
        QFETCH(QString, password);
        QFETCH(QString, again);
        QFETCH(QString, toast);
        ResetPwdVC *reset = confirmToReset();
        QVERIFY(reset);
        const int before = h.server.requests().size();
        reset->pwdTextField()->setText(password);
        reset->againTextField()->setText(again);
        QTest::keyClick(reset->againTextField(), Qt::Key_Return);
        QCOMPARE(Toast::currentText(), toast);
        QCOMPARE(h.server.requests().size(), before);
    }

    void resetSetsThePasswordAndReturnsToTheLoginScreen() {
        const auto remembered = LoginDataModel::rememberLoginPhoneNum("13800000001", "old", true);
        UnitMetiodManager::saveTheUserPhoneNumAndPassword(remembered);
        sendCode();
        ResetPwdVC *reset = confirmToReset();
        QVERIFY(reset);
        // Typing stops at 20 characters in both fields.
        QTest::keyClicks(reset->pwdTextField(), QString(21, 'a'));
        QTest::keyClicks(reset->againTextField(), QString(25, 'a'));
        QCOMPARE(reset->pwdTextField()->text(), QString(20, 'a'));
        QCOMPARE(reset->againTextField()->text(), QString(20, 'a'));

        h.answer(SetPath, R"({"result":0,"msg":"验证已过期"})");
        QVERIFY(h.clickAndWait(reset->confirmButton()));
        QCOMPARE(Toast::currentText(), QStringLiteral("验证已过期"));
        QCOMPARE(h.stack->topViewController(), reset);

        h.answer(SetPath, R"({"result":1})", 200);
        QTest::mouseClick(reset->confirmButton(), Qt::LeftButton);
        QCOMPARE(ProgressHud::status(), QStringLiteral("正在设置"));
        QTRY_VERIFY(!ProgressHud::isVisible());
        const auto form = h.lastForm();
        QCOMPARE(form.value("uid"), QStringLiteral("42"));
        QCOMPARE(form.value("type"), QStringLiteral("0"));
        QCOMPARE(form.value("NEWPassword"), QString(20, 'a'));
        QVERIFY(!form.contains("oldPassword"));
        h.stack->finishTransitions();
        QCOMPARE(h.stack->viewControllers().size(), 1);
        QVERIFY(qobject_cast<LoginViewController *>(h.stack->topViewController()));
        QCOMPARE(UnitMetiodManager::getTheSavedUserPhoneNumAndPassword(), remembered);
    }

    void lateConfirmationAfterTheScreenIsGone() {
        h.answer(ConfirmPath, R"({"result":1})", 300);
        type("13800000001", "1");
        QSignalSpy received(&h.server, &StubHttpServer::requestReceived);
        QTest::mouseClick(m_forget->confirmButton(), Qt::LeftButton);
        QVERIFY(received.wait(5000));
        h.stack->popViewController(false);
        QTRY_VERIFY(m_forget.isNull());
        QTRY_VERIFY(!ProgressHud::isVisible());
        QCOMPARE(h.stack->viewControllers().size(), 1);
    }
};

QTEST_MAIN(tst_ForgetPwdVC)
#include "tst_ForgetPwdVC.moc"
