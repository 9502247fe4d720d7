#include "AccountFormHarness.h"

#include <QPushButton>

// The account forms' field rules in their order, the typing limit, the keyboard and the
// accessible names; nothing here may reach the service.
class tst_AccountFormRules : public QObject {
    Q_OBJECT

    AccountFormHarness h;

private slots:
    void init() { QVERIFY(h.reset()); }
    void cleanup() {
        QVERIFY(h.server.requests().isEmpty());
        h.close();
    }

    void firstBrokenRuleIsShownAndNothingSent_data() {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("fields");
        QTest::addColumn<QString>("toast");
        const QString code = "verificationBtn", ok = "confirmButton";
        for (const QString screen : {"ForgetPwdVC", "BindViewController", "ChangePhoneVC"}) {
            const QByteArray s = screen.toLatin1();
            QTest::addRow("%s code: no number", s.data()) << screen << code << ""
                                                          << "请输入手机号";
            QTest::addRow("%s code: five digits", s.data())
                << screen << code << "phoneTextField=13800"
                << "请输入正确的手机号";
            QTest::addRow("%s code: leading space", s.data())
                << screen << code << "phoneTextField= 13912345678"
                << "请输入正确的手机号";
            QTest::addRow("%s: nothing", s.data()) << screen << ok << ""
                                                   << "请输入手机号";
            QTest::addRow("%s: a bad number before the code", s.data())
                << screen << ok << "phoneTextField=2391234567"
                << "请输入正确的手机号";
            QTest::addRow("%s: no code", s.data()) << screen << ok << "phoneTextField=13912345678"
                                                   << "请输入验证码";
        }
        QTest::newRow("change phone code: the bound number")
            << "ChangePhoneVC" << code << "phoneTextField=13800000001"
            << "该手机号已被绑定";
        QTest::newRow("change phone: the code before the bound number")
            << "ChangePhoneVC" << ok << "phoneTextField=13800000001"
            << "请输入验证码";
        QTest::newRow("change phone: the bound number")
            << "ChangePhoneVC" << ok << "phoneTextField=13800000001;verfyTextField=1"
            << "该手机号已被绑定";
        for (const QString screen : {"ResetPwdVC", "ChangePwdVC"}) {
            const QByteArray s = screen.toLatin1();
            const QString old = screen == u"ChangePwdVC" ? "oldTextField=o;" : "";
            QTest::addRow("%s: no new password", s.data()) << screen << ok << old << "请输入新密码";
            QTest::addRow("%s: five characters", s.data())
                << screen << ok << old + "pwdTextField=12345;againTextField=12345"
                << "请输入6-20位密码";
            QTest::addRow("%s: no confirmation", s.data())
                << screen << ok << old + "pwdTextField=123456"
                << "请确认新密码";
            QTest::addRow("%s: differ", s.data())
                << screen << ok << old + "pwdTextField=123456;againTextField=123456 "
                << "两次密码不一致";
        }
        QTest::newRow("change password: the old one first")
            << "ChangePwdVC" << ok << "pwdTextField=1;againTextField=2"
            << "请确认旧密码";
    }
    void firstBrokenRuleIsShownAndNothingSent() {
        QFETCH(QString, screen);
        QFETCH(QString, button);
        QFETCH(QString, fields);
        QFETCH(QString, toast);
        ViewController *form = h.open(screen);
        h.fill(form, fields);
        auto *clicked = form->findChild<QPushButton *>(button);
        QTest::mouseClick(clicked, Qt::LeftButton);
        QCOMPARE(Toast::currentText(), toast);
        QVERIFY(!ProgressHud::isVisible());
        QVERIFY(clicked->isEnabled());
        QCOMPARE(h.stack->topViewController(), form);
    }

    void newPasswordFieldsStopAtTwenty_data() {
        QTest::addColumn<QString>("screen");
        QTest::newRow("reset") << "ResetPwdVC";
        QTest::newRow("change") << "ChangePwdVC";
    }
    void newPasswordFieldsStopAtTwenty() {
        QFETCH(QString, screen);
        ViewController *form = h.open(screen);
        for (QLineEdit *field : form->findChildren<QLineEdit *>()) {
            QTest::keyClicks(field, QString(22, 'b'));
            QCOMPARE(field->text().size(), field->objectName() == u"oldTextField" ? 22 : 20);
        }
    }

    void returnMovesOnAndSubmitsOnTheLastField() {
        auto *change = static_cast<ChangePwdVC *>(h.open("ChangePwdVC"));
        QTest::keyClick(change->oldTextField(), Qt::Key_Return);
        QCOMPARE(change->window()->focusWidget(), change->pwdTextField());
        QTest::keyClick(change->pwdTextField(), Qt::Key_Return);
        QCOMPARE(change->window()->focusWidget(), change->againTextField());
        QVERIFY(!Toast::isShowing());
        QTest::keyClick(change->againTextField(), Qt::Key_Return);
        QCOMPARE(Toast::currentText(), QStringLiteral("请确认旧密码"));
    }

    void everyControlIsNamedAndReachableByKeyboard() {
        for (const QString screen :
             {"ForgetPwdVC", "ResetPwdVC", "BindViewController", "ChangePhoneVC", "ChangePwdVC"}) {
            ViewController *form = h.open(screen);
            int controls = 0;
            for (QWidget *control : form->findChildren<QWidget *>()) {
                // A field's clear button (a tool button) is part of the field.
                if (!(qobject_cast<QLineEdit *>(control) || qobject_cast<QPushButton *>(control)))
                    continue;
                ++controls;
                QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
                QVERIFY2(control->focusPolicy() & Qt::TabFocus, qPrintable(control->objectName()));
            }
            QVERIFY(controls >= 3);
        }
    }
};

QTEST_MAIN(tst_AccountFormRules)
#include "tst_AccountFormRules.moc"
