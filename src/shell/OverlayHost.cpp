#include "OverlayHost.h"

#include "AppWindow.h"

#include <QApplication>

namespace {
QPointer<QWidget> &explicitHost() {
    static QPointer<QWidget> host;
    return host;
}
} // namespace

QWidget *OverlayHost::host() {
    if (QWidget *host = explicitHost())
        return host;
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return nullptr;
    if (AppWindow *window = AppWindow::instance())
        return window;
    if (QWidget *active = QApplication::activeWindow())
        return active;
    // A tool or test showing a plain window: the first ordinary visible one.
    const auto tops = QApplication::topLevelWidgets();
    for (QWidget *top : tops) {
        const Qt::WindowType type = top->windowType();
        if (top->isVisible() && type != Qt::Popup && type != Qt::ToolTip &&
            type != Qt::SplashScreen)
            return top;
    }
    return nullptr;
}

void OverlayHost::setHost(QWidget *host) {
    explicitHost() = host;
}
