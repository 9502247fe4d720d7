#include "AccountFormHarness.h"
#include "AlertView.h"
#include "CataloguePath.h"
#include "RootTabbarController.h"

#include <QPushButton>

// The account forms: their field rules in order, the get-code count on a driven clock, what
// each accepted request sends and does to the current and the remembered login, up to the next
// start.
class tst_AccountForms : public QObject {
    Q_OBJECT

    AccountFormHarness h;

    // Fills the fields, confirms and checks the blocking HUD's text; `leave` goes back before
    // the answer, which must have its effect all the same.
    void submit(QWidget *form, const QString &fields, const QString &hud, bool leave = false) {
        h.fill(form, fields);
        QTest::mouseClick(form->findChild<QPushButton *>("confirmButton"), Qt::LeftButton);
        QVERIFY(ProgressHud::isBlocking());
        QCOMPARE(ProgressHud::status(), hud);
        QPointer<QWidget> screen(form);
        if (leave && h.stack->popViewController(false))
            QTRY_VERIFY(!screen);
        QTRY_VERIFY(!ProgressHud::isVisible());
    }
    // The last request to `path` as "key=value&...", keys in the order sent.
    QString sent(const QString &path) const {
        const auto found = h.server.requestsTo(path);
        QStringList pairs;
        for (const auto &[key, value] : found.value(found.size() - 1).formPairs())
            pairs << key + '=' + value;
        return pairs.join('&');
    }
    static LoginDataModel remembered() {
        return UnitMetiodManager::getTheSavedUserPhoneNumAndPassword().value_or(LoginDataModel());
    }

private slots:
    void init() { QVERIFY(h.reset()); }
    void cleanup() {
        delete AlertView::current();
        h.close();
    }

    // The first broken rule is shown and nothing is sent. A field name as the button presses
    // Enter in it.
    void firstBrokenRule_data() {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("fields");
        QTest::addColumn<QString>("toast");
        const QString code = "verificationBtn", ok = "confirmButton", bad = "请输入正确的手机号";
        const QString phone = "phoneTextField=", bound = phone + "13800000001",
                      noCode = "请输入验证码";
        for (const QString screen : {"ForgetPwdVC", "BindViewController", "ChangePhoneVC"}) {
            const QByteArray s = screen.toLatin1();
            QTest::addRow("%s code", s.data()) << screen << code << phone + "13800" << bad;
            QTest::addRow("%s number first", s.data()) << screen << ok << phone + "2391" << bad;
            QTest::addRow("%s no code", s.data())
                << screen << ok << phone + "13912345678" << noCode;
        }
        const QString change = "ChangePhoneVC", taken = "该手机号已被绑定";
        QTest::newRow("bound: code button") << change << code << bound << taken;
        QTest::newRow("bound: code first") << change << ok << bound << noCode;
        QTest::newRow("bound") << change << ok << bound + ";verfyTextField=1" << taken;
        for (const QString screen : {"ResetPwdVC", "ChangePwdVC"}) {
            const QByteArray s = screen.toLatin1();
            const QString old = screen == u"ChangePwdVC" ? "oldTextField=o;" : "";
            const QString pwd = old + "pwdTextField=123456", last = "againTextField";
            QTest::addRow("%s: none", s.data()) << screen << ok << old << "请输入新密码";
            QTest::addRow("%s: five", s.data())
                << screen << ok << pwd.chopped(1) << "请输入6-20位密码";
            QTest::addRow("%s: unconfirmed", s.data()) << screen << ok << pwd << "请确认新密码";
            QTest::addRow("%s: differ", s.data())
                << screen << last << pwd + ";againTextField=1234567"
                << "两次密码不一致";
        }
        QTest::newRow("old password first") << "ChangePwdVC" << ok << "pwdTextField=1"
                                            << "请确认旧密码";
    }
    void firstBrokenRule() {
        QFETCH(QString, screen);
        QFETCH(QString, button);
        QFETCH(QString, fields);
        ViewController *form = h.open(screen);
        h.fill(form, fields);
        if (auto *field = form->findChild<QLineEdit *>(button))
            QTest::keyClick(field, Qt::Key_Return);
        else
            QTest::mouseClick(form->findChild<QPushButton *>(button), Qt::LeftButton);
        QTEST(Toast::currentText(), "toast");
        QVERIFY(h.server.requests().isEmpty());
    }

    void newPasswordFieldsStopAtTwenty() {
        for (const QString screen : {"ResetPwdVC", "ChangePwdVC"})
            for (QLineEdit *field : h.open(screen)->findChildren<QLineEdit *>()) {
                QTest::keyClicks(field, QString(22, 'b'));
                QCOMPARE(field->text().size(), field->objectName() == u"oldTextField" ? 22 : 20);
            }
    }

    void codeRequestPerScreen_data() {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("form");
        const QString send = TestCatalogue::pathOf(Operation::SendVerification),
                      to = "mobile=13800000002&";
        QTest::newRow("forgotten")
            << "ForgetPwdVC" << TestCatalogue::pathOf(Operation::ForgetVerification)
            << to + "type=1";
        QTest::newRow("binding") << "BindViewController" << send << to + "stuType=1&type=0&uid=7";
        QTest::newRow("phone change") << "ChangePhoneVC" << send << to + "stuType=1&type=1&uid=7";
    }
    void codeRequestPerScreen() {
        QFETCH(QString, screen);
        QFETCH(QString, path);
        auto *form = qobject_cast<VerificationCodeVC *>(h.open(screen));
        h.answer(path, StubAnswers::signedIn(42), 200);
        form->phoneTextField()->setText("13800000002");
        // The keyboard reaches the button as the mouse does.
        QTest::keyClick(form->verificationBtn(), Qt::Key_Return);
        QVERIFY(ProgressHud::isVisible() && !ProgressHud::isBlocking());
        QVERIFY(!form->verificationBtn()->isEnabled());
        QTRY_VERIFY(!ProgressHud::isVisible());
        QTEST(sent(path), "form");
    }

    // The count goes on under the reset screen, so a refused reset can ask for a new code; the
    // code field keeps its place whatever the button says.
    void countsDownSixtySecondsThenReadyAgain() {
        auto *forget = static_cast<ForgetPwdVC *>(h.open("ForgetPwdVC"));
        QPushButton *button = forget->verificationBtn();
        const QRect place = forget->verfyTextField()->geometry();
        forget->phoneTextField()->setText("13800000001");
        h.answer(TestCatalogue::pathOf(Operation::ForgetVerification), StubAnswers::signedIn(42));
        QVERIFY(h.clickAndWait(button));
        TickSource::advance(1000);
        QCOMPARE(button->text(), QStringLiteral("(60)秒"));
        h.stack->pushViewController(new ResetPwdVC, false);
        TickSource::advance(59000);
        h.stack->popViewController(false);
        QCOMPARE(button->text(), QStringLiteral("(1)秒"));
        QVERIFY(!button->isEnabled());
        TickSource::advance(1000);
        QCOMPARE(button->text(), QStringLiteral("重新获取"));
        QVERIFY(button->isEnabled());
        QCoreApplication::sendPostedEvents();
        QCOMPARE(forget->verfyTextField()->geometry(), place);
    }

    void forgottenPasswordIsResetAndTheLoginScreenReturns() {
        const LoginDataModel before = remembered();
        auto *forget = static_cast<ForgetPwdVC *>(h.open("ForgetPwdVC"));
        h.answer(TestCatalogue::pathOf(Operation::ForgetVerification), StubAnswers::signedIn(42));
        h.answer(TestCatalogue::pathOf(Operation::ConfirmVerification), StubAnswers::ok(), 100);
        h.answer(TestCatalogue::pathOf(Operation::SetNewPassword), StubAnswers::ok(), 100);
        forget->phoneTextField()->setText("13800000001");
        QVERIFY(h.clickAndWait(forget->verificationBtn()));
        submit(forget, "verfyTextField= 12a ", "正在验证");
        QCOMPARE(sent(TestCatalogue::pathOf(Operation::ConfirmVerification)),
                 "code= 12a &mobile=13800000001&stuType=1&type=7&uid=42");
        h.stack->finishTransitions();
        submit(h.stack->topViewController(), "pwdTextField=654321;againTextField=654321",
               "正在设置");
        QCOMPARE(sent(TestCatalogue::pathOf(Operation::SetNewPassword)),
                 "NEWPassword=654321&type=0&uid=42");
        h.stack->finishTransitions();
        QCOMPARE(h.stack->viewControllers().size(), 1);
        QCOMPARE(remembered(), before);
    }

    void confirmedBindingSignsInAgainFromTheLoginScreen() {
        LoginState::reset();
        LoginRsp::shareRsp().uid = 55; // what a login answered with result 2 leaves
        ViewController *bind = h.open("BindViewController");
        h.fill(h.stack->rootViewController(), "userNameTextField=13800000002;userPwdTextField=pw");
        h.answer(TestCatalogue::pathOf(Operation::ConfirmVerification), StubAnswers::ok(), 100);
        h.answer(TestCatalogue::pathOf(Operation::Login), StubAnswers::signedIn(55), 100);
        submit(bind, "phoneTextField=13912345678;verfyTextField=123456", "正在绑定", true);
        QVERIFY(
            sent(TestCatalogue::pathOf(Operation::ConfirmVerification)).contains("&type=6&uid=55"));
        QCOMPARE(sent(TestCatalogue::pathOf(Operation::Login)), "password=pw&userName=13800000002");
        QVERIFY(qobject_cast<RootTabbarController *>(AppWindow::instance()->rootViewController()));
    }

    void changedNumberIsSignedInWithNextTime() {
        for (const bool autoLoginBefore : {false, true}) {
            QVERIFY(h.reset(autoLoginBefore));
            QPointer<ViewController> change = h.open("ChangePhoneVC");
            h.answer(TestCatalogue::pathOf(Operation::ChangeMobile), StubAnswers::ok(), 100);
            submit(change, "phoneTextField=13912345678;verfyTextField=654321", "正在修改",
                   autoLoginBefore);
            QCOMPARE(sent(TestCatalogue::pathOf(Operation::ChangeMobile)),
                     "code=654321&mobile=13912345678&stuType=1&uid=7");
            QTRY_VERIFY(change.isNull());
            QCOMPARE(LoginRsp::shareRsp().user->Mobile, 13912345678);
            QCOMPARE(remembered(),
                     LoginDataModel::rememberLoginPhoneNum("13912345678", "secret", true));
        }
        h.answer(TestCatalogue::pathOf(Operation::Login), StubAnswers::signedIn(7));
        QVERIFY(qobject_cast<RootTabbarController *>(h.launch()));
        QTRY_COMPARE(sent(TestCatalogue::pathOf(Operation::Login)),
                     "password=secret&userName=13912345678");
    }

    void changedPasswordIsForgottenAndTheLoginScreenFollows() {
        ViewController *change = h.open("ChangePwdVC");
        h.answer(TestCatalogue::pathOf(Operation::SetNewPassword), StubAnswers::ok(), 100);
        // The old password has no length rule.
        submit(change, "oldTextField=1;pwdTextField=123456;againTextField=123456", "正在修改",
               true);
        QCOMPARE(sent(TestCatalogue::pathOf(Operation::SetNewPassword)),
                 "NEWPassword=123456&oldPassword=1&type=1&uid=7");
        QCOMPARE(remembered(), LoginDataModel::rememberLoginPhoneNum("13800000001", "", false));
        QCOMPARE(AlertView::current()->title(), QStringLiteral("密码修改成功，请重新登录"));
        // "重新登录" leaves what a sign-out leaves: no call in flight, no spinner.
        h.answer(TestCatalogue::pathOf(Operation::SetNewPassword), StubAnswers::refused("迟到"),
                 300);
        static_cast<ChangePwdVC *>(h.open("ChangePwdVC"))->requestTheChangePwdAction();
        AlertView::current()->clickButton(0);
        QVERIFY(h.loginOnTop());
        QVERIFY(!BaseAFHttpManager::callsInFlight() && !ProgressHud::isVisible());
        // The next start shows the login screen instead of signing in.
        h.launch();
        QVERIFY(h.loginOnTop());
    }
};

QTEST_MAIN(tst_AccountForms)
#include "tst_AccountForms.moc"
