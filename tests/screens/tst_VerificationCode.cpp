#include "AccountFormHarness.h"

#include <QPushButton>

// The get-code button of the three code screens: the request, the 60-second count on a driven
// clock, a refused or lost request, and leaving the screen.
class tst_VerificationCode : public QObject {
    Q_OBJECT

    AccountFormHarness h;

    VerificationCodeVC *openAndSend(const QString &screen, const QString &phone, int delayMs = 0) {
        auto *form = qobject_cast<VerificationCodeVC *>(h.open(screen));
        h.answer("Mobile/GetPasswordForget", R"({"result":1,"uid":42})", delayMs);
        h.answer("Mobile/SendVerification", R"({"result":1})", delayMs);
        form->phoneTextField()->setText(phone);
        // The keyboard reaches the button as the mouse does.
        QTest::keyClick(form->verificationBtn(), Qt::Key_Return);
        return form;
    }

private slots:
    void init() { QVERIFY(h.reset()); }
    void cleanup() { h.close(); }

    void codeRequestPerScreen_data() {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("phone");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("form");
        QTest::newRow("forgotten password") << "ForgetPwdVC"
                                            << "13800000001"
                                            << "Mobile/GetPasswordForget"
                                            << "mobile=13800000001;type=1";
        QTest::newRow("binding: no same-number check")
            << "BindViewController"
            << "13800000001"
            << "Mobile/SendVerification"
            << "mobile=13800000001;stuType=1;type=0;uid=7";
        QTest::newRow("phone change") << "ChangePhoneVC"
                                      << "13912345678"
                                      << "Mobile/SendVerification"
                                      << "mobile=13912345678;stuType=1;type=1;uid=7";
    }
    void codeRequestPerScreen() {
        QFETCH(QString, screen);
        QFETCH(QString, phone);
        QFETCH(QString, path);
        QFETCH(QString, form);
        VerificationCodeVC *vc = openAndSend(screen, phone, 200);
        QVERIFY(ProgressHud::isVisible());
        QVERIFY(!ProgressHud::isBlocking());
        QVERIFY(!vc->verificationBtn()->isEnabled());
        QTRY_VERIFY(!ProgressHud::isVisible());
        QCOMPARE(h.server.lastRequest().path, path);
        QStringList sent;
        for (const auto &[key, value] : h.server.lastRequest().formPairs())
            sent << key + '=' + value;
        QCOMPARE(sent.join(';'), form);
        QVERIFY(vc->verTimer());
    }

    void countsDownSixtySecondsThenReadyAgain() {
        auto *forget = static_cast<ForgetPwdVC *>(openAndSend("ForgetPwdVC", "13800000001"));
        QPushButton *button = forget->verificationBtn();
        QTRY_VERIFY(forget->verTimer());
        QCOMPARE(forget->uid(), 42);
        TickSource::advance(1000);
        QCOMPARE(button->text(), QStringLiteral("(60)秒"));
        TickSource::advance(59000);
        QCOMPARE(button->text(), QStringLiteral("(1)秒"));
        QVERIFY(!button->isEnabled());
        forget->sendCaptchaAction(); // nothing while counting
        QCOMPARE(h.server.requests().size(), 1);
        TickSource::advance(1000);
        QCOMPARE(button->text(), QStringLiteral("重新获取"));
        QVERIFY(button->isEnabled());
        QVERIFY(!forget->verTimer());
        TickSource::advance(5000);
        QCOMPARE(button->text(), QStringLiteral("重新获取"));
        // A second code counts afresh, at the normal pace.
        QVERIFY(h.clickAndWait(button));
        TickSource::advance(2000);
        QCOMPARE(button->text(), QStringLiteral("(59)秒"));
    }

    void refusedOrLostRequestMakesTheButtonUsableAgain_data() {
        QTest::addColumn<bool>("dropped");
        QTest::addColumn<QString>("toast");
        QTest::newRow("refused") << false << "发送太频繁";
        QTest::newRow("no network") << true << "无网络连接";
    }
    void refusedOrLostRequestMakesTheButtonUsableAgain() {
        QFETCH(bool, dropped);
        QFETCH(QString, toast);
        auto *forget = static_cast<ForgetPwdVC *>(h.open("ForgetPwdVC"));
        h.server.setAnswer(
            "Mobile/GetPasswordForget",
            dropped ? StubHttpServer::Answer::dropped()
                    : StubHttpServer::Answer::json(R"({"result":0,"msg":"发送太频繁","uid":9})"));
        forget->phoneTextField()->setText("13800000009");
        QVERIFY(h.clickAndWait(forget->verificationBtn()));
        QCOMPARE(Toast::currentText(), toast);
        QVERIFY(forget->verificationBtn()->isEnabled());
        QCOMPARE(forget->verificationBtn()->text(), QStringLiteral("重新获取"));
        QCOMPARE(forget->uid(), 0);
        QVERIFY(!forget->verTimer());
    }

    void leavingStopsTheCountWhereItIs() {
        auto *forget = static_cast<ForgetPwdVC *>(openAndSend("ForgetPwdVC", "13800000001"));
        QTRY_VERIFY(forget->verTimer());
        TickSource::advance(3000);
        h.stack->pushViewController(new ResetPwdVC, false);
        QVERIFY(!forget->verTimer());
        TickSource::advance(70000);
        h.stack->popViewController(false);
        QCOMPARE(forget->verificationBtn()->text(), QStringLiteral("(58)秒"));
        QVERIFY(!forget->verificationBtn()->isEnabled());
    }
};

QTEST_MAIN(tst_VerificationCode)
#include "tst_VerificationCode.moc"
