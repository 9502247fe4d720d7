#pragma once

#include "AppDelegate.h"
#include "AppWindow.h"
#include "BaseAFHttpManager.h"
#include "BasicVC.h"
#include "LoginState.h"
#include "NavigationController.h"
#include "ProgressHud.h"
#include "ScreenRegistration.h"
#include "ScreenTestFixture.h"
#include "TickSource.h"
#include "Toast.h"
#include "UnitMetiodManager.h"
#include "account/BindViewController.h"
#include "account/ChangePhoneVC.h"
#include "account/ChangePwdVC.h"
#include "account/ForgetPwdVC.h"
#include "account/LoginViewController.h"
#include "account/ResetPwdVC.h"

#include <QLineEdit>
#include <QtTest>

// What the account form tests share, on the screen-test fixture: a signed-in current login
// (uid 7, number 13800000001) remembered with the password "secret", the screen under test on a
// stack in the window, and a countdown clock that moves only when told.
struct AccountFormHarness {
    ScreenTestFixture fixture{ScreenRegistration::registerAll};
    StubHttpServer &server = fixture.server();
    std::unique_ptr<AppDelegate> delegate;
    QPointer<NavigationController> stack;

    bool reset(bool autoLogin = true) {
        close();
        if (!fixture.reset())
            return false;
        TickSource::setManual(true);
        LoginRsp signedIn;
        signedIn.uid = 7;
        signedIn.user.emplace().Mobile = 13800000001;
        LoginState::applySignedIn(signedIn);
        return UnitMetiodManager::saveTheUserPhoneNumAndPassword(
            LoginDataModel::rememberLoginPhoneNum("13800000001", "secret", autoLogin));
    }

    void close() {
        // A call still in flight (the tabs' own loading after a launch) must not take down the
        // next test's HUD.
        BaseAFHttpManager::abortPendingCalls();
        delegate.reset();
        fixture.closeWindow();
    }

    // The screen pushed where the client pushes it: on the login stack for the forgotten password
    // and the binding, on a signed-in stack for the others.
    ViewController *open(const QString &name) {
        const QHash<QString, std::function<ViewController *()>> make{
            {"ForgetPwdVC", [] { return new ForgetPwdVC; }},
            {"BindViewController", [] { return new BindViewController; }},
            {"ResetPwdVC", [] { return new ResetPwdVC; }},
            {"ChangePhoneVC", [] { return new ChangePhoneVC; }},
            {"ChangePwdVC", [] { return new ChangePwdVC; }}};
        ViewController *screen = make.value(name)();
        stack = name == u"ForgetPwdVC" || name == u"BindViewController"
                    ? LoginViewController::navigationControllerContainSelf()
                    : new NavigationController(new BasicVC);
        fixture.show(stack);
        stack->pushViewController(screen, false);
        stack->finishTransitions();
        return screen;
    }

    // "field=text;field=text" into the fields of that object name.
    static void fill(QWidget *screen, const QString &fields) {
        for (const QString &pair : fields.split(u';', Qt::SkipEmptyParts)) {
            const QString name = pair.section(u'=', 0, 0);
            auto *field = screen->findChild<QLineEdit *>(name);
            QVERIFY2(field, qPrintable(name));
            field->setText(pair.section(u'=', 1));
        }
    }

    void answer(const QString &path, const QByteArray &json, int delayMs = 0) {
        server.setAnswer(path, {.body = json, .delayMs = delayMs});
    }

    // Clicks and waits until the request has gone and its answer has been handled.
    bool clickAndWait(QWidget *button) {
        const auto before = server.requests().size();
        QTest::mouseClick(button, Qt::LeftButton);
        return QTest::qWaitFor([&] { return server.requests().size() > before; }) &&
               QTest::qWaitFor([] { return !ProgressHud::isVisible(); });
    }

    static LoginViewController *loginOnTop() {
        auto *stack =
            qobject_cast<NavigationController *>(AppWindow::instance()->rootViewController());
        return stack ? qobject_cast<LoginViewController *>(stack->rootViewController()) : nullptr;
    }

    // The next start of the client on the settings as they are now.
    ViewController *launch() {
        fixture.closeWindow();
        UnitMetiodManager::saveShowGuideKey(true);
        delegate = std::make_unique<AppDelegate>();
        delegate->didFinishLaunchingWithOptions();
        return AppWindow::instance()->rootViewController();
    }
};
