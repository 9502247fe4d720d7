#pragma once

#include "AppDelegate.h"
#include "AppWindow.h"
#include "LoginState.h"
#include "NavigationController.h"
#include "ProgressHud.h"
#include "ScreenRegistration.h"
#include "SettingsStore.h"
#include "StubHttpServer.h"
#include "TickSource.h"
#include "Toast.h"
#include "UnitMetiodManager.h"
#include "account/LoginViewController.h"

#include <QAbstractButton>
#include <QTemporaryDir>
#include <QtTest>

// What the account form tests share: the stub service, a fresh settings file and current login
// per test, a window whose stack holds the screen under test, and a countdown clock that only
// moves when the test says so.
struct AccountFormHarness {
    StubHttpServer server;
    QTemporaryDir config;
    std::unique_ptr<AppWindow> window;
    std::unique_ptr<AppDelegate> delegate;
    QPointer<NavigationController> stack;

    bool start() {
        ScreenRegistration::registerAll();
        TickSource::setManual(true);
        if (!server.start())
            return false;
        qputenv("TEACHER_SERVICE_URL", server.baseUrl().toUtf8());
        return true;
    }

    void reset() {
        static int n = 0;
        qputenv("TEACHER_CLIENT_CONFIG_DIR", config.filePath(QString::number(++n)).toUtf8());
        SettingsStore::reset();
        LoginState::reset();
        server.clearRequests();
    }

    void close() {
        delegate.reset();
        window.reset();
        Toast::hide();
        ProgressHud::dismiss();
    }

    // A window whose stack is `root`'s (the login stack when null) with `screen` pushed on it.
    template <class Screen> Screen *open(Screen *screen, NavigationController *root = nullptr) {
        window = std::make_unique<AppWindow>();
        window->resize(375, 667);
        stack = root ? root : LoginViewController::navigationControllerContainSelf();
        window->setRootViewController(stack);
        window->show();
        stack->pushViewController(screen, false);
        stack->finishTransitions();
        return screen;
    }

    void answer(const QString &path, const QByteArray &json, int delayMs = 0) {
        StubHttpServer::Answer a = StubHttpServer::Answer::json(json);
        a.delayMs = delayMs;
        server.setAnswer(path, a);
    }

    // Clicks and waits until a request has come and its answer has been handled.
    bool clickAndWait(QAbstractButton *button) {
        const auto before = server.requests().size();
        QTest::mouseClick(button, Qt::LeftButton);
        return QTest::qWaitFor([&] { return server.requests().size() > before; }) &&
               QTest::qWaitFor([] { return !ProgressHud::isVisible(); });
    }

    QHash<QString, QString> lastForm() const { return server.lastRequest().form(); }

    // The next start of the client on the settings as they are now.
    ViewController *launch() {
        window.reset();
        UnitMetiodManager::saveShowGuideKey(true);
        delegate = std::make_unique<AppDelegate>();
        delegate->didFinishLaunchingWithOptions();
        return AppWindow::instance()->rootViewController();
    }
};
