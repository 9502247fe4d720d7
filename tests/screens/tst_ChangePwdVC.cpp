#include "AccountFormHarness.h"
#include "AlertView.h"
#include "account/BindViewController.h"
#include "account/ChangePhoneVC.h"
#include "account/ChangePwdVC.h"
#include "account/ForgetPwdVC.h"
#include "account/ResetPwdVC.h"

#include <QLineEdit>
#include <QPushButton>

// The password change against the stub, and what the account forms share for the keyboard.
class tst_ChangePwdVC : public QObject {
    Q_OBJECT

    AccountFormHarness h;
    QPointer<ChangePwdVC> m_change;

    static constexpr const char *Path = "Mobile/SetNewPassword";

    void type(const QString &old, const QString &password, const QString &again) {
        m_change->oldTextField()->setText(old);
        m_change->pwdTextField()->setText(password);
        m_change->againTextField()->setText(again);
    }

    void sendAndWait() {
        QSignalSpy received(&h.server, &StubHttpServer::requestReceived);
        QTest::mouseClick(m_change->confirmButton(), Qt::LeftButton);
        QVERIFY(received.wait(5000));
    }

private slots:
    void initTestCase() { QVERIFY(h.start()); }
    void init() {
        h.reset();
        LoginRsp::shareRsp().uid = 7;
        UnitMetiodManager::saveTheUserPhoneNumAndPassword(
            LoginDataModel::rememberLoginPhoneNum("13800000001", "old", true));
        m_change = h.open(new ChangePwdVC, new NavigationController(new BasicVC));
    }
    void cleanup() {
        while (AlertView::current())
            delete AlertView::current();
        h.close();
    }

    void rulesInOrder_data() {
        QTest::addColumn<QString>("old");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("again");
        QTest::addColumn<QString>("toast");
        QTest::newRow("nothing") << ""
                                 << ""
                                 << ""
                                 << "请确认旧密码";
        QTest::newRow("no new password") << "o"
                                         << ""
                                         << ""
                                         << "请输入新密码";
        QTest::newRow("five characters") << "o"
                                         << "12345"
                                         << "12345"
                                         << "请输入6-20位密码";
        QTest::newRow("no confirmation") << "o"
                                         << "123456"
                                         << ""
                                         << "请确认新密码";
        QTest::newRow("differ") << "o"
                                << "123456"
                                << "12345 "
                                << "两次密码不一致";
    }
    void rulesInOrder() {
        QFETCH(QString, old);
        QFETCH(QString, password);
        QFETCH(QString, again);
        QFETCH(QString, toast);
        type(old, password, again);
        QTest::mouseClick(m_change->confirmButton(), Qt::LeftButton);
        QCOMPARE(Toast::currentText(), toast);
        QVERIFY(!ProgressHud::isVisible());
        QCOMPARE(m_change->againTextField()->text(), again);
    }

    void onlyTheNewPasswordFieldsStopAtTwenty() {
        for (QLineEdit *field :
             {m_change->oldTextField(), m_change->pwdTextField(), m_change->againTextField()})
            QTest::keyClicks(field, QString(22, 'b'));
        QCOMPARE(m_change->oldTextField()->text().size(), 22);
        QCOMPARE(m_change->pwdTextField()->text(), QString(20, 'b'));
        QCOMPARE(m_change->againTextField()->text(), QString(20, 'b'));
    }

    void changeForgetsThePasswordAndLeadsToTheLoginScreen() {
        h.answer(Path, R"({"result":1})", 200);
        type("1", "123456", "123456"); // the old password has no length rule
        QTest::mouseClick(m_change->confirmButton(), Qt::LeftButton);
        QVERIFY(ProgressHud::isBlocking());
        QCOMPARE(ProgressHud::status(), QStringLiteral("正在修改"));
        QTRY_VERIFY(AlertView::current());
        const auto form = h.lastForm();
        QCOMPARE(form.value("uid"), QStringLiteral("7"));
        QCOMPARE(form.value("type"), QStringLiteral("1"));
        QCOMPARE(form.value("NEWPassword"), QStringLiteral("123456"));
        QCOMPARE(form.value("oldPassword"), QStringLiteral("1"));
        const auto remembered = UnitMetiodManager::getTheSavedUserPhoneNumAndPassword();
        QCOMPARE(remembered, LoginDataModel::rememberLoginPhoneNum("13800000001", "", false));

        AlertView *alert = AlertView::current();
        QCOMPARE(alert->title(), QStringLiteral("密码修改成功，请重新登录"));
        QVERIFY(alert->message().isEmpty());
        QCOMPARE(alert->buttonTitles(), QStringList{QStringLiteral("重新登录")});
        alert->clickButton(0);
        auto *stack =
            qobject_cast<NavigationController *>(AppWindow::instance()->rootViewController());
        QVERIFY(stack);
        auto *login = qobject_cast<LoginViewController *>(stack->rootViewController());
        QVERIFY(login);
        QTRY_VERIFY(m_change.isNull());
        QCOMPARE(login->userNameTextField()->text(), QStringLiteral("13800000001"));
        QVERIFY(login->userPwdTextField()->text().isEmpty());

        // The next start shows the login screen instead of signing in.
        auto *next = qobject_cast<NavigationController *>(h.launch());
        QVERIFY(next && qobject_cast<LoginViewController *>(next->rootViewController()));
        QVERIFY(!ProgressHud::isVisible());
    }

    void failedOrLateChangeKeepsTheRememberedLogin_data() {
        QTest::addColumn<bool>("dropped");
        QTest::addColumn<bool>("closeFirst");
        QTest::addColumn<QString>("toast");
        QTest::newRow("refused") << false << false << "旧密码错误";
        QTest::newRow("no network") << true << false << "无网络连接";
        QTest::newRow("accepted after the screen closed") << false << true << "";
    }
    void failedOrLateChangeKeepsTheRememberedLogin() {
        QFETCH(bool, dropped);
        QFETCH(bool, closeFirst);
        QFETCH(QString, toast);
        StubHttpServer::Answer answer = StubHttpServer::Answer::json(
            closeFirst ? R"({"result":1})" : R"({"result":0,"msg":"旧密码错误"})");
        answer.delayMs = 300;
        h.server.setAnswer(Path, dropped ? StubHttpServer::Answer::dropped() : answer);
        const auto remembered = UnitMetiodManager::getTheSavedUserPhoneNumAndPassword();
        type("old", "123456", "123456");
        sendAndWait();
        if (closeFirst) {
            h.stack->popViewController(false);
            QTRY_VERIFY(m_change.isNull());
        }
        QTRY_VERIFY(!ProgressHud::isVisible());
        QCOMPARE(Toast::currentText(), toast);
        QVERIFY(!AlertView::current());
        QCOMPARE(UnitMetiodManager::getTheSavedUserPhoneNumAndPassword(), remembered);
    }

    void returnMovesOnAndSubmitsOnTheLastField() {
        QTest::keyClick(m_change->oldTextField(), Qt::Key_Return);
        QCOMPARE(m_change->window()->focusWidget(), m_change->pwdTextField());
        QTest::keyClick(m_change->pwdTextField(), Qt::Key_Return);
        QCOMPARE(m_change->window()->focusWidget(), m_change->againTextField());
        QVERIFY(!Toast::isShowing());
        QTest::keyClick(m_change->againTextField(), Qt::Key_Return);
        QCOMPARE(Toast::currentText(), QStringLiteral("请确认旧密码"));
    }

    void everyControlIsNamedAndReachable_data() {
        QTest::addColumn<QString>("screen");
        for (const char *name :
             {"ForgetPwdVC", "ResetPwdVC", "BindViewController", "ChangePhoneVC", "ChangePwdVC"})
            QTest::newRow(name) << name;
    }
    void everyControlIsNamedAndReachable() {
        QFETCH(QString, screen);
        std::unique_ptr<QWidget> form;
        if (screen == u"ForgetPwdVC")
            form = std::make_unique<ForgetPwdVC>();
        else if (screen == u"ResetPwdVC")
            form = std::make_unique<ResetPwdVC>();
        else if (screen == u"BindViewController")
            form = std::make_unique<BindViewController>();
        else if (screen == u"ChangePhoneVC")
            form = std::make_unique<ChangePhoneVC>();
        else
            form = std::make_unique<ChangePwdVC>();
        const auto controls = form->findChildren<QWidget *>();
        int count = 0;
        for (QWidget *control : controls) {
            if (!qobject_cast<QLineEdit *>(control) && !qobject_cast<QAbstractButton *>(control))
                continue;
            // A field's own clear button belongs to the field.
            if (qobject_cast<QLineEdit *>(control->parentWidget()))
                continue;
            ++count;
            QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
            QVERIFY2(control->focusPolicy() & Qt::TabFocus, qPrintable(control->objectName()));
        }
        QVERIFY(count >= 3);
    }
};

QTEST_MAIN(tst_ChangePwdVC)
#include "tst_ChangePwdVC.moc"
