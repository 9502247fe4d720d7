#include "ScreenTestFixture.h"

#include "AppWindow.h"
#include "BasicVC.h"
#include "FrameStyle.h"
#include "NavigationController.h"
#include "ProgressHud.h"
#include "ShellState.h"
#include "ViewController.h"

#include <QApplication>
#include <QFont>
#include <QTest>

ScreenTestFixture::ScreenTestFixture(std::function<void()> registerScreens)
    : m_registerScreens(std::move(registerScreens)) {
    // Chinese texts are measured in the font the client uses.
    QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC")));
}

ScreenTestFixture::~ScreenTestFixture() {
    closeWindow();
    ShellState::resetForTests();
}

bool ScreenTestFixture::reset() {
    closeWindow();
    ShellState::resetForTests();
    if (!m_server.port() && !m_server.start())
        return false;
    qputenv("TEACHER_SERVICE_URL", m_server.baseUrl().toUtf8());
    qputenv("TEACHER_CLIENT_CONFIG_DIR", m_config.filePath(QString::number(++m_case)).toUtf8());
    qputenv("TEACHER_CLIENT_CACHE_DIR", m_config.filePath(QStringLiteral("cache")).toUtf8());
    m_server.clearRequests();
    if (m_registerScreens)
        m_registerScreens();
    m_window = std::make_unique<AppWindow>();
    m_window->resize(FrameStyle::WindowWidth, FrameStyle::WindowHeight);
    return true;
}

bool ScreenTestFixture::show(ViewController *root) {
    if (!m_window)
        return false;
    if (root)
        m_window->setRootViewController(root);
    m_window->show();
    return QTest::qWaitForWindowExposed(m_window.get());
}

NavigationController *ScreenTestFixture::showStack() {
    auto *stack = new NavigationController(new BasicVC);
    if (!show(stack))
        return nullptr;
    m_window->activateWindow();
    return QTest::qWaitForWindowActive(m_window.get()) ? stack : nullptr;
}

bool ScreenTestFixture::settle() {
    return QTest::qVerify(QTest::qWaitFor([] { return !ProgressHud::isVisible(); }, 5000),
                          "!ProgressHud::isVisible()", "still busy", __FILE__, __LINE__);
}

void ScreenTestFixture::closeWindow() {
    m_window.reset();
}
