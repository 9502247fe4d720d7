#include "AccountFormHarness.h"
#include "NotificationCenter.h"
#include "RootTabbarController.h"
#include "account/BindViewController.h"
#include "account/ChangePhoneVC.h"

#include <QLineEdit>
#include <QPushButton>

// Binding a number (from the login screen) and changing it (signed in), against the stub.
class tst_PhoneBinding : public QObject {
    Q_OBJECT

    AccountFormHarness h;

    static constexpr const char *CodePath = "Mobile/SendVerification";
    static constexpr const char *BoundNumber = "13800000001";

    // Signed in as 13800000001 (uid 7), remembered with `autoLogin`.
    static void signIn(bool autoLogin) {
        LoginRsp answer;
        answer.uid = 7;
        answer.user = UserInfo();
        answer.user->Mobile = 13800000001;
        LoginState::applySignedIn(answer);
        UnitMetiodManager::saveTheUserPhoneNumAndPassword(
            LoginDataModel::rememberLoginPhoneNum(BoundNumber, "secret", autoLogin));
    }

    VerificationCodeVC *openScreen(bool change) {
        if (!change)
            return h.open(new BindViewController);
        return h.open(new ChangePhoneVC, new NavigationController(new BasicVC));
    }

    static void type(VerificationCodeVC *screen, const QString &phone, const QString &code) {
        screen->phoneTextField()->setText(phone);
        screen->verfyTextField()->setText(code);
    }

private slots:
    void initTestCase() { QVERIFY(h.start()); }
    void init() {
        h.reset();
        signIn(false);
    }
    void cleanup() { h.close(); }

    void brokenFieldsAreNamedInOrderAndNothingIsSent_data() {
        QTest::addColumn<bool>("change");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<QString>("phone");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("toast");
        for (bool change : {false, true}) {
            const char *s = change ? "change" : "bind";
            QTest::addRow("%s code: no number", s) << change << false << ""
                                                   << ""
                                                   << "请输入手机号";
            QTest::addRow("%s code: ten digits", s) << change << false << "1380000000"
                                                    << ""
                                                    << "请输入正确的手机号";
            QTest::addRow("%s confirm: no number", s) << change << true << ""
                                                      << "x"
                                                      << "请输入手机号";
            QTest::addRow("%s confirm: no code", s) << change << true << "13900000001"
                                                    << ""
                                                    << "请输入验证码";
        }
        QTest::newRow("change code: the bound number") << true << false << BoundNumber << ""
                                                       << "该手机号已被绑定";
        QTest::newRow("change confirm: the code is asked for first")
            << true << true << BoundNumber << ""
            << "请输入验证码";
        QTest::newRow("change confirm: the bound number") << true << true << BoundNumber << "1"
                                                          << "该手机号已被绑定";
    }
    void brokenFieldsAreNamedInOrderAndNothingIsSent() {
        QFETCH(bool, change);
        QFETCH(bool, confirm);
        QFETCH(QString, phone);
        QFETCH(QString, code);
        QFETCH(QString, toast);
        VerificationCodeVC *screen = openScreen(change);
        type(screen, phone, code);
        QTest::mouseClick(confirm ? screen->confirmButton() : screen->verificationBtn(),
                          Qt::LeftButton);
        QCOMPARE(Toast::currentText(), toast);
        QVERIFY(!ProgressHud::isVisible());
        QVERIFY(screen->verificationBtn()->isEnabled());
        QVERIFY(h.server.requests().isEmpty());
    }

    void codeRequestCarriesTheCurrentLogin_data() {
        QTest::addColumn<bool>("change");
        QTest::addColumn<QString>("phone");
        QTest::addColumn<QString>("type");
        QTest::newRow("bind: even the number already bound") << false << BoundNumber << "0";
        QTest::newRow("change") << true << "13900000002"
                                << "1";
    }
    void codeRequestCarriesTheCurrentLogin() {
        QFETCH(bool, change);
        QFETCH(QString, phone);
        QFETCH(QString, type);
        VerificationCodeVC *screen = openScreen(change);
        h.answer(CodePath, R"({"result":1})");
        this->type(screen, phone, {});
        QVERIFY(h.clickAndWait(screen->verificationBtn()));
        const auto form = h.lastForm();
        QCOMPARE(form.value("uid"), QStringLiteral("7"));
        QCOMPARE(form.value("type"), type);
        QCOMPARE(form.value("stuType"), QStringLiteral("1"));
        QCOMPARE(form.value("mobile"), phone);
        TickSource::advance(1000);
        QCOMPARE(screen->verificationBtn()->text(), QStringLiteral("(60)秒"));
    }

    void confirmedBindingSignsInAgainFromTheLoginScreen() {
        LoginState::reset();
        LoginRsp::shareRsp().uid = 55; // what a login answered with result 2 leaves
        auto *bind = h.open(new BindViewController);
        auto *login = qobject_cast<LoginViewController *>(h.stack->rootViewController());
        login->userNameTextField()->setText("13800000002");
        login->userPwdTextField()->setText("123456");
        h.answer("Mobile/ConfirmVerification", R"({"result":1})", 200);
        h.answer("Mobile/TeacherLogin", R"({"result":1,"uid":55})", 200);
        type(bind, "13900000002", "123456");
        QTest::keyClick(bind->verfyTextField(), Qt::Key_Return);
        QCOMPARE(ProgressHud::status(), QStringLiteral("正在绑定"));
        QTRY_COMPARE(h.server.requests().size(), 1);
        const auto form = h.lastForm();
        QCOMPARE(form.value("uid"), QStringLiteral("55"));
        QCOMPARE(form.value("type"), QStringLiteral("6"));
        QCOMPARE(form.value("stuType"), QStringLiteral("1"));
        QCOMPARE(form.value("code"), QStringLiteral("123456"));
        QTRY_VERIFY(
            qobject_cast<RootTabbarController *>(AppWindow::instance()->rootViewController()));
        QCOMPARE(h.lastForm().value("userName"), QStringLiteral("13800000002"));
        QCOMPARE(UnitMetiodManager::getTheSavedUserPhoneNumAndPassword(),
                 LoginDataModel::rememberLoginPhoneNum("13800000002", "123456", true));
    }

    void changedNumberIsTheOneSignedInWithNextTime_data() {
        QTest::addColumn<bool>("autoLoginBefore");
        QTest::newRow("auto-login was off") << false;
        QTest::newRow("auto-login was on") << true;
    }
    void changedNumberIsTheOneSignedInWithNextTime() {
        QFETCH(bool, autoLoginBefore);
        signIn(autoLoginBefore);
        auto *change = static_cast<ChangePhoneVC *>(openScreen(true));
        QPointer<ChangePhoneVC> guard(change);
        h.answer("Mobile/ChangeMobile", R"({"result":1,"mobile":"x","code":"y"})", 200);
        type(change, "13900000002", "654321");
        QTest::mouseClick(change->confirmButton(), Qt::LeftButton);
        QVERIFY(ProgressHud::isBlocking());
        QCOMPARE(ProgressHud::status(), QStringLiteral("正在修改"));
        QTRY_VERIFY(guard.isNull()); // popped
        const auto form = h.lastForm();
        QCOMPARE(h.server.lastRequest().path, QStringLiteral("Mobile/ChangeMobile"));
        QCOMPARE(form.value("uid"), QStringLiteral("7"));
        QCOMPARE(form.value("mobile"), QStringLiteral("13900000002"));
        QCOMPARE(form.value("code"), QStringLiteral("654321"));
        QCOMPARE(form.value("stuType"), QStringLiteral("1"));
        QCOMPARE(QString::number(LoginRsp::shareRsp().user->Mobile), QStringLiteral("13900000002"));
        QCOMPARE(LoginRsp::shareRsp().user->UserName, QStringLiteral("13900000002"));
        QVERIFY(LoginRsp::shareRsp().isLogin);
        QVERIFY(!Toast::isShowing());

        // The next start signs in by itself with the new number and the old password.
        h.answer("Mobile/TeacherLogin", R"({"result":1,"uid":7})");
        QVERIFY(qobject_cast<RootTabbarController *>(h.launch()));
        QTRY_COMPARE(h.server.lastRequest().path, QStringLiteral("Mobile/TeacherLogin"));
        QCOMPARE(h.lastForm().value("userName"), QStringLiteral("13900000002"));
        QCOMPARE(h.lastForm().value("password"), QStringLiteral("secret"));
    }

    void failedOrLateChangeLeavesBothLoginsAlone_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<bool>("closeFirst");
        QTest::newRow("refused") << QByteArray(R"({"result":0,"msg":"验证码错误"})") << false;
        QTest::newRow("accepted after the screen closed") << QByteArray(R"({"result":1})") << true;
    }
    void failedOrLateChangeLeavesBothLoginsAlone() {
        QFETCH(QByteArray, json);
        QFETCH(bool, closeFirst);
        const auto remembered = UnitMetiodManager::getTheSavedUserPhoneNumAndPassword();
        QPointer<VerificationCodeVC> change = openScreen(true);
        h.answer("Mobile/ChangeMobile", json, 300);
        type(change, "13900000002", "1");
        QSignalSpy received(&h.server, &StubHttpServer::requestReceived);
        QTest::mouseClick(change->confirmButton(), Qt::LeftButton);
        QVERIFY(received.wait(5000));
        if (closeFirst) {
            h.stack->popViewController(false);
            QTRY_VERIFY(change.isNull());
        }
        QTRY_VERIFY(!ProgressHud::isVisible());
        QCOMPARE(Toast::currentText(), closeFirst ? QString() : QStringLiteral("验证码错误"));
        QCOMPARE(LoginRsp::shareRsp().user->Mobile, 13800000001);
        QCOMPARE(UnitMetiodManager::getTheSavedUserPhoneNumAndPassword(), remembered);
    }
};

QTEST_MAIN(tst_PhoneBinding)
#include "tst_PhoneBinding.moc"
