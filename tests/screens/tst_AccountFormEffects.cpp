#include "AccountFormHarness.h"
#include "AlertView.h"
#include "NotificationCenter.h"
#include "RootTabbarController.h"

#include <QPushButton>

// What each account form's accepted request sends and does to the current and the remembered
// login, up to the next start; refused and late answers change nothing.
class tst_AccountFormEffects : public QObject {
    Q_OBJECT

    AccountFormHarness h;

    // Fills the fields, clicks the confirm button and checks the blocking HUD's text.
    void submit(QWidget *form, const QString &fields, const QString &hud) {
        h.fill(form, fields);
        QTest::mouseClick(form->findChild<QPushButton *>("confirmButton"), Qt::LeftButton);
        QVERIFY(ProgressHud::isBlocking());
        QCOMPARE(ProgressHud::status(), hud);
        QTRY_VERIFY(!ProgressHud::isVisible());
    }
    // The last request to `path` as "key=value&...", keys in the order sent; the tabs that
    // a sign-in opens make requests of their own.
    QString sent(const QString &path) const {
        const auto requests = h.server.requests();
        for (auto it = requests.crbegin(); it != requests.crend(); ++it) {
            if (it->path != path)
                continue;
            QStringList pairs;
            for (const auto &[key, value] : it->formPairs())
                pairs << key + '=' + value;
            return pairs.join('&');
        }
        return {};
    }
    static LoginDataModel remembered() {
        return UnitMetiodManager::getTheSavedUserPhoneNumAndPassword().value_or(LoginDataModel());
    }

private slots:
    void init() { QVERIFY(h.reset()); }
    void cleanup() {
        while (AlertView::current())
            delete AlertView::current();
        h.close();
    }

    void forgottenPasswordIsResetAndTheLoginScreenReturns() {
        const LoginDataModel before = remembered();
        auto *forget = static_cast<ForgetPwdVC *>(h.open("ForgetPwdVC"));
        h.answer("Mobile/GetPasswordForget", R"({"result":1,"uid":42})");
        h.answer("Mobile/ConfirmVerification", R"({"result":1})", 100);
        h.answer("Mobile/SetNewPassword", R"({"result":1})", 100);
        forget->phoneTextField()->setText("13800000001");
        QVERIFY(h.clickAndWait(forget->verificationBtn()));
        submit(forget, "verfyTextField= 12a ", "正在验证");
        QCOMPARE(sent("Mobile/ConfirmVerification"), "code= 12a &mobile=13800000001&stuType=1&"
                                                     "type=7&uid=42");
        h.stack->finishTransitions();
        auto *reset = qobject_cast<ResetPwdVC *>(h.stack->topViewController());
        QVERIFY(reset);
        QCOMPARE(reset->title(), QStringLiteral("设置密码"));
        submit(reset, "pwdTextField=654321;againTextField=654321", "正在设置");
        QCOMPARE(sent("Mobile/SetNewPassword"), "NEWPassword=654321&type=0&uid=42");
        h.stack->finishTransitions();
        QCOMPARE(h.stack->viewControllers().size(), 1);
        QVERIFY(qobject_cast<LoginViewController *>(h.stack->topViewController()));
        QCOMPARE(remembered(), before);
    }

    void confirmingWithoutASentCodeSendsUidZero() {
        h.answer("Mobile/ConfirmVerification", R"({"result":1})", 100);
        submit(h.open("ForgetPwdVC"), "phoneTextField=13800000001;verfyTextField=1", "正在验证");
        QVERIFY(sent("Mobile/ConfirmVerification").endsWith("&uid=0"));
        h.stack->finishTransitions();
        QCOMPARE(qobject_cast<ResetPwdVC *>(h.stack->topViewController())->uid(), 0);
    }

    void confirmedBindingSignsInAgainFromTheLoginScreen() {
        LoginState::reset();
        LoginRsp::shareRsp().uid = 55; // what a login answered with result 2 leaves
        ViewController *bind = h.open("BindViewController");
        h.fill(h.stack->rootViewController(), "userNameTextField=13800000002;userPwdTextField=pw");
        h.answer("Mobile/ConfirmVerification", R"({"result":1})", 100);
        h.answer("Mobile/TeacherLogin", R"({"result":1,"uid":55})", 100);
        submit(bind, "phoneTextField=13912345678;verfyTextField=123456", "正在绑定");
        QVERIFY(sent("Mobile/ConfirmVerification").contains("&type=6&uid=55"));
        QCOMPARE(sent("Mobile/TeacherLogin"), "password=pw&userName=13800000002");
        QVERIFY(qobject_cast<RootTabbarController *>(AppWindow::instance()->rootViewController()));
        QCOMPARE(remembered(), LoginDataModel::rememberLoginPhoneNum("13800000002", "pw", true));
    }

    void changedNumberIsSignedInWithNextTime_data() {
        QTest::addColumn<bool>("autoLoginBefore");
        QTest::newRow("auto-login was off") << false;
        QTest::newRow("auto-login was on") << true;
    }
    void changedNumberIsSignedInWithNextTime() {
        QFETCH(bool, autoLoginBefore);
        QVERIFY(h.reset(autoLoginBefore));
        QPointer<ViewController> change = h.open("ChangePhoneVC");
        h.answer("Mobile/ChangeMobile", R"({"result":1,"mobile":"x","code":"y"})", 100);
        submit(change, "phoneTextField=13912345678;verfyTextField=654321", "正在修改");
        QCOMPARE(sent("Mobile/ChangeMobile"), "code=654321&mobile=13912345678&stuType=1&uid=7");
        QTRY_VERIFY(change.isNull());
        const LoginRsp &current = LoginRsp::shareRsp();
        QCOMPARE(QString::number(current.user->Mobile), QStringLiteral("13912345678"));
        QCOMPARE(current.user->UserName, QStringLiteral("13912345678"));
        QVERIFY(current.isLogin);
        QCOMPARE(remembered(),
                 LoginDataModel::rememberLoginPhoneNum("13912345678", "secret", true));

        h.answer("Mobile/TeacherLogin", R"({"result":1,"uid":7})");
        QVERIFY(qobject_cast<RootTabbarController *>(h.launch()));
        QTRY_COMPARE(sent("Mobile/TeacherLogin"), "password=secret&userName=13912345678");
    }

    void changedPasswordIsForgottenAndTheLoginScreenFollows() {
        ViewController *change = h.open("ChangePwdVC");
        h.answer("Mobile/SetNewPassword", R"({"result":1})", 100);
        // The old password has no length rule.
        submit(change, "oldTextField=1;pwdTextField=123456;againTextField=123456", "正在修改");
        QCOMPARE(sent("Mobile/SetNewPassword"), "NEWPassword=123456&oldPassword=1&type=1&uid=7");
        QCOMPARE(remembered(), LoginDataModel::rememberLoginPhoneNum("13800000001", "", false));
        AlertView *alert = AlertView::current();
        QVERIFY(alert);
        QCOMPARE(alert->title(), QStringLiteral("密码修改成功，请重新登录"));
        QVERIFY(alert->message().isEmpty());
        QCOMPARE(alert->buttonTitles(), QStringList{QStringLiteral("重新登录")});
        alert->clickButton(0);
        auto *stack =
            qobject_cast<NavigationController *>(AppWindow::instance()->rootViewController());
        auto *login = qobject_cast<LoginViewController *>(stack->rootViewController());
        QVERIFY(login);
        QCOMPARE(login->userNameTextField()->text(), QStringLiteral("13800000001"));
        QVERIFY(login->userPwdTextField()->text().isEmpty());
        // The next start shows the login screen instead of signing in.
        stack = qobject_cast<NavigationController *>(h.launch());
        QVERIFY(stack && qobject_cast<LoginViewController *>(stack->rootViewController()));
    }

    void refusedLostOrLateAnswersChangeNothing_data() {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("fields");
        QTest::addColumn<int>("how"); // 0 refused, 1 lost, 2 accepted after the screen closed
        const QString phone = "phoneTextField=13912345678;verfyTextField=1";
        const QString pwd = "oldTextField=o;pwdTextField=123456;againTextField=123456";
        for (int how : {0, 1, 2}) {
            const char *h = how == 0 ? "refused" : how == 1 ? "lost" : "late";
            QTest::addRow("change phone %s", h) << "ChangePhoneVC"
                                                << "Mobile/ChangeMobile" << phone << how;
            QTest::addRow("change password %s", h) << "ChangePwdVC"
                                                   << "Mobile/SetNewPassword" << pwd << how;
            QTest::addRow("forgotten password %s", h)
                << "ForgetPwdVC"
                << "Mobile/ConfirmVerification" << phone << how;
        }
        QTest::newRow("binding late") << "BindViewController"
                                      << "Mobile/ConfirmVerification" << phone << 2;
    }
    void refusedLostOrLateAnswersChangeNothing() {
        QFETCH(QString, screen);
        QFETCH(QString, path);
        QFETCH(QString, fields);
        QFETCH(int, how);
        const LoginDataModel before = remembered();
        int loginPosts = 0;
        QObject observer;
        NotificationCenter::addObserver(&observer, NOTIFICATION_UPDATE_LOGIN,
                                        [&] { ++loginPosts; });
        QPointer<ViewController> form = h.open(screen);
        StubHttpServer::Answer answer = StubHttpServer::Answer::json(
            how == 2 ? R"({"result":1})" : R"({"result":0,"msg":"不行"})");
        answer.delayMs = 300;
        h.server.setAnswer(path, how == 1 ? StubHttpServer::Answer::dropped() : answer);
        h.fill(form, fields);
        QSignalSpy received(&h.server, &StubHttpServer::requestReceived);
        QTest::mouseClick(form->findChild<QPushButton *>("confirmButton"), Qt::LeftButton);
        QVERIFY(received.wait(5000));
        if (how == 2)
            h.stack->popViewController(false);
        QTRY_VERIFY(!ProgressHud::isVisible());
        QCOMPARE(Toast::currentText(), how == 0 ? "不行" : how == 1 ? "无网络连接" : "");
        QCOMPARE(form.isNull(), how == 2);
        QCOMPARE(h.stack->viewControllers().size(), how == 2 ? 1 : 2);
        QVERIFY(!AlertView::current());
        QCOMPARE(loginPosts, 0);
        QCOMPARE(LoginRsp::shareRsp().user->Mobile, 13800000001);
        QCOMPARE(remembered(), before);
    }
};

QTEST_MAIN(tst_AccountFormEffects)
#include "tst_AccountFormEffects.moc"
