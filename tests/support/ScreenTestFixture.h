#pragma once

#include "StubAnswers.h"
#include "StubHttpServer.h"

#include <QTemporaryDir>

#include <functional>
#include <memory>

class AppWindow;
class NavigationController;
class ViewController;

// What a screen test stands on: the stub service on 127.0.0.1 (TEACHER_SERVICE_URL points at
// it), a settings folder of its own for every case, and the client's window. Hold one as a member
// and call reset() from init(): it puts every process-wide state of the shell back, registers the
// screens again (when given a registration), forgets recorded requests and opens a new window.
class ScreenTestFixture {
public:
    explicit ScreenTestFixture(std::function<void()> registerScreens = {});
    ~ScreenTestFixture();

    // False when the stub could not listen.
    bool reset();
    // Makes `root` the window's root, shows the window and waits until it is on screen.
    bool show(ViewController *root);
    // A stack whose root is a plain screen, shown and the active window (shortcuts reach only the
    // active window), for a test to push its screen onto; null when the window did not come up.
    NavigationController *showStack();
    // Waits until no busy indicator is up, i.e. the answers in flight were handled. When it is
    // still up after the usual QTRY timeout the case fails (as QVERIFY would) and this is false.
    bool settle();
    // Closes the window and everything on it (cleanup(); reset() does it too).
    void closeWindow();

    StubHttpServer &server() { return m_server; }
    AppWindow *window() const { return m_window.get(); }

private:
    StubHttpServer m_server;
    QTemporaryDir m_config;
    std::unique_ptr<AppWindow> m_window;
    std::function<void()> m_registerScreens;
    int m_case = 0;
};
