#pragma once

#include "LoginDataModel.h"

#include <QObject>

#include <memory>

class AppWindow;

// The application's delegate: owns the one window and decides at start what it shows (the
// registered first-launch screen, the login stack, or the tab bar with an automatic login behind
// it). The root switches of the whole client go through the two static helpers, so every flow
// replaces the root the same way.
class AppDelegate : public QObject {
    Q_OBJECT
public:
    explicit AppDelegate(QObject *parent = nullptr);
    ~AppDelegate() override;

    // Reports every problem of the screen registration, then creates and shows the window with
    // the chosen root. Always true.
    bool didFinishLaunchingWithOptions();
    // Signs in with the remembered login in the background (plain spinner). Result 1 fills the
    // current login and posts NOTIFICATION_UPDATE_MAIN; any other result shows the login stack
    // without a message; a transport failure leaves the tabs and shows "无网络连接", unless this
    // sign-in was accepted before on this machine: then the kept answer signs the teacher in and
    // the screens show their kept answers under the offline bar. Such a sign-in is not yet the
    // service's word: changes are refused and the remembered login is put to the service again
    // (Session::startSignInCheck) until it answers; its refusal returns to the login stack. An
    // accepted sign-in moves a password the settings file still holds to the keyring. An answer
    // that arrives after the root it was started under has been replaced changes nothing.
    void autoLoginActionWithLoginData(const LoginDataModel &loginData);

    AppWindow *window() const { return m_window.get(); }
    // An interactive run without an explicit size or device opens the window where the last one
    // was closed. Off unless the program says so, so a script, the tour and tests never do.
    void setRemembersWindow(bool remembers) { m_remembersWindow = remembers; }

    // Make the window's root the login stack (ScreenFactory::makeLoginStack) or a new
    // RootTabbarController. False when there is no window or no login stack can be made.
    // Every return to the login screen (sign-out, a changed password, a refused automatic login)
    // comes through makeLoginStackRoot: the calls in flight belonged to the screens being left
    // and are dropped, the progress indicator goes with them, and so does every answer kept for
    // reading offline. At start-up the login stack comes through showLoginStack, which keeps
    // them for the teacher who signs in next.
    static bool makeLoginStackRoot();
    static bool makeTabBarRoot();
    // The teacher signs out (the settings screen's button, the menu): the next start does not sign
    // in by itself, though the number stays for the login form; then makeLoginStackRoot, which
    // sends the held grades first. False when there was no window or login screen to go to.
    static bool signOut();

private:
    static bool showLoginStack();

    std::unique_ptr<AppWindow> m_window;
    bool m_remembersWindow = false;
};
